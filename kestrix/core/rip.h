#pragma once

#include <cstdint>

#include <QString>

namespace kestrix {

// What to cut out of a file and how to store it.
struct RipRequest {
    QString sourcePath;
    QString outputPath;
    std::uint64_t offset = 0;
    std::uint64_t size = 0;      // 0: the whole file from its first byte, whatever the offset
    std::uint8_t type = 0;       // 0 none, 1 expand with length bias 2, 2 with length bias 3
    std::uint64_t diskSize = 0;  // expanded size for types 1 and 2
};

struct RipResult {
    bool ok = false;
    QString error;    // why nothing was written
    QString warning;  // written, but the compressed bytes were damaged (the rest is zero)
    std::uint64_t written = 0;
};

// Cuts `size` bytes at `offset` out of the source file, expands them when asked, and writes them
// to the output path (replacing a file of that name only when complete). An offset or size that
// reaches past the end of the file, an expanded size larger than the bytes can possibly produce,
// or a file that cannot be read or written stops the rip with nothing written.
RipResult RipFromFile(const RipRequest& request);

}  // namespace kestrix
