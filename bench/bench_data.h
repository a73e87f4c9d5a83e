#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

// One input for the codec benchmarks: the bytes and a line saying where they came from.
struct DataSet {
    std::string name;
    std::string origin;
    std::vector<std::uint8_t> bytes;
};

// Real files nobody here wrote, back to back: the start of a system executable, the license
// texts under /usr/share/common-licenses and the raw pixels of a system icon, tiled to 1 MiB.
// Pieces that cannot be found are left out (the origin line says what was used); an empty
// result means none was found.
DataSet mixedData();

// Generated deterministically: an 8-bit picture with flat areas, bands and shapes, followed by
// repeated fixed-size records that differ in a counter and a few fields. Long matches dominate.
DataSet matchHeavyData();

// Both data sets, skipping an empty one (with a note on stderr).
std::vector<DataSet> allDataSets();

// zlib's deflate at `level` and inflate into a buffer of the known size; aborts on failure.
std::vector<std::uint8_t> zlibCompress(const std::vector<std::uint8_t>& data, int level);
std::vector<std::uint8_t> zlibInflate(const std::vector<std::uint8_t>& packed, std::size_t size);

// A rate as "123.4 MB/s" (MB = 10^6 bytes), or "not run" for 0 (a benchmark filtered out or
// failed), and a byte count with thousands separators.
std::string rateText(double bytesPerSecond);
std::string withSeparators(std::uint64_t value);

}  // namespace bench
