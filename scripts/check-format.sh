#!/usr/bin/env bash
# Fails when a C++ file differs from what the committed .clang-format makes of it.
# The version is pinned: another clang-format release formats some constructs differently.
set -euo pipefail
cd "$(dirname "$0")/.."
formatter=clang-format-14
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h')
else
  mapfile -t files < <(find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
fi
existing=()
for f in "${files[@]}"; do [ -f "$f" ] && existing+=("$f"); done
if ! "$formatter" --dry-run --Werror --style=file "${existing[@]}"; then
  echo "check-format: the files above differ from .clang-format; run: $formatter -i --style=file FILE" >&2
  exit 1
fi
