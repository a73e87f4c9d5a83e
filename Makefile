# Kestrix suite: one-command set-up, build, run and test on Debian.

JOBS ?= $(shell nproc)
PREFIX ?= /usr/local
FUZZ_SECONDS ?= 60
RELEASE_DIR := build/release
TEST_DIR := build/debug-asan
FUZZ_DIR := build/fuzz
CMAKE_GEN := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")

export XDG_RUNTIME_DIR ?= $(CURDIR)/build/runtime

.PHONY: all deps release run test bench fuzz install clean runtime-dir screenshots format-check

all: release

deps:
	@./scripts/install-deps.sh

runtime-dir:
	@mkdir -p $(XDG_RUNTIME_DIR) && chmod 700 $(XDG_RUNTIME_DIR)

# The release folder holds what users run; the tests build in TEST_DIR and the benchmarks are
# switched on by `make bench` when first asked for.
$(RELEASE_DIR)/CMakeCache.txt:
	cmake -S . -B $(RELEASE_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DKESTRIX_TESTS=OFF -DKESTRIX_BENCH=OFF

release: deps $(RELEASE_DIR)/CMakeCache.txt
	cmake --build $(RELEASE_DIR) -j $(JOBS)

# Builds only the program folder (programs, library, kestrix-cli, help files, sounds, demo data),
# so that a first run on a fresh machine is quick, and opens the extractor on the demo archive
# that the build makes with its own code (its explorer shows the other demo archives beside it).
run: deps $(RELEASE_DIR)/CMakeCache.txt runtime-dir
	cmake --build $(RELEASE_DIR) -j $(JOBS) --target program_folder
	$(RELEASE_DIR)/bin/Kestrix $(CURDIR)/$(RELEASE_DIR)/bin/demo/ress.hqr

# Every C++ file as the committed .clang-format has it (clang-format 14, dry run).
format-check: deps
	./scripts/check-format.sh

# Debug build with AddressSanitizer and UndefinedBehaviorSanitizer; every test through ctest.
test: deps runtime-dir format-check
	cmake -S . -B $(TEST_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DKESTRIX_SANITIZE=ON -DKESTRIX_BENCH=OFF
	cmake --build $(TEST_DIR) -j $(JOBS)
	cd $(TEST_DIR) && ctest --output-on-failure -j $(JOBS)

bench: deps $(RELEASE_DIR)/CMakeCache.txt
	cmake -S . -B $(RELEASE_DIR) -DKESTRIX_BENCH=ON
	cmake --build $(RELEASE_DIR) -j $(JOBS)
	@for b in $(RELEASE_DIR)/bench/*_bench; do echo "== $$b"; $$b || exit 1; done

# Each fuzz target runs for FUZZ_SECONDS (default 60) from the seed corpus in fuzz/corpus.
fuzz: deps
	cmake -S . -B $(FUZZ_DIR) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRIX_FUZZ=ON \
	  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang
	cmake --build $(FUZZ_DIR) -j $(JOBS)
	@for f in $(FUZZ_DIR)/fuzz/fuzz_*; do \
	  name=$$(basename $$f); mkdir -p fuzz-corpus/$$name; \
	  echo "== $$name for $(FUZZ_SECONDS) s"; \
	  $$f -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 -artifact_prefix=fuzz-corpus/$$name- \
	    fuzz-corpus/$$name fuzz/corpus/$$name || exit 1; \
	done

# Every window of the suite opened under Xvfb and written as build/screenshots/NAME.png.
screenshots: deps runtime-dir $(RELEASE_DIR)/CMakeCache.txt
	cmake --build $(RELEASE_DIR) -j $(JOBS) --target screenshots
	xvfb-run -a $(RELEASE_DIR)/tools/screenshots build/screenshots

install: release
	cmake --install $(RELEASE_DIR) --prefix $(PREFIX)

# The file-type and program icons, drawn by the script into the user's hicolor theme
# (ICONS_PREFIX=/usr/local puts them under /usr/local/share/icons instead).
.PHONY: icons
icons: deps
	/usr/bin/python3 tools/make_icons.py $(if $(ICONS_PREFIX),--prefix $(ICONS_PREFIX))

clean:
	rm -rf build
