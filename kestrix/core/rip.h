#pragma once

#include <cstdint>

#include <QString>

#include "hqr_format.h"

namespace kestrix {

// What to cut out of a file and how to store it.
struct RipRequest {
    QString sourcePath;
    QString outputPath;
    std::uint64_t offset = 0;
    std::uint64_t size = 0;              // 0: the whole file from its first byte, whatever the offset
    EntryType type = EntryType::Stored;  // Stored: as taken; Bias2, Bias3: expanded with that bias
    std::uint64_t diskSize = 0;          // expanded size for the compressed types
};

// What a rip that succeeded wrote.
struct RipResult {
    QString warning;  // written, but the compressed bytes were damaged (the rest is zero)
    std::uint64_t written = 0;
};

// Cuts `size` bytes at `offset` out of the source file, expands them when asked, and writes them
// to the output path (replacing a file of that name only when complete); `result` says what was
// written. An offset or size that reaches past the end of the file, an expanded size larger than
// the bytes can possibly produce, or a file that cannot be read or written stops the rip with
// nothing written: false, with `error` naming the file and the reason.
bool RipFromFile(const RipRequest& request, RipResult* result, QString* error);

}  // namespace kestrix
