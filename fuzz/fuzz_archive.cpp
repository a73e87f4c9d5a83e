// The archive table: any bytes as an archive in memory, scanned with every option combination;
// every listed entry is read back and, when compressed, expanded as extraction would.

#include <cstring>
#include <optional>
#include <set>

#include <QBuffer>

#include "decompress.h"
#include "fuzz_check.h"
#include "hqr_archive.h"
#include "memory_stream.h"

namespace {

// Promises of a successful scan that hold whatever the options.
void checkScan(const kestrix::ArchiveScan& scan, const kestrix::ScanOptions& options, std::size_t size)
{
    FUZZ_CHECK(scan.fileSize == size);
    FUZZ_CHECK(scan.rows.size() <= scan.slotCount);
    std::uint64_t extracted = 0;
    std::uint32_t lastNumber = 0;
    std::set<std::uint32_t> offsets;
    for (const kestrix::EntryRow& row : scan.rows) {
        FUZZ_CHECK(row.number > lastNumber);
        FUZZ_CHECK(row.number <= scan.slotCount);
        lastNumber = row.number;
        FUZZ_CHECK(row.offset != 0 && row.offset != size);
        // No whole header at the offset: the row keeps sizes and type 0.
        if (size < kestrix::kEntryHeaderSize || row.offset > size - kestrix::kEntryHeaderSize)
            FUZZ_CHECK(row.diskSize == 0 && row.archiveSize == 0 && row.type == kestrix::EntryType::Stored);
        const bool fresh = offsets.insert(row.offset).second;
        if (!options.keepDoubles) FUZZ_CHECK(fresh);
        extracted += row.diskSize;
    }
    FUZZ_CHECK(extracted == scan.extractedSize);
}

void readEntries(const kestrix::ArchiveScan& scan, QBuffer& device, const std::uint8_t* data, std::size_t size)
{
    for (const kestrix::EntryRow& row : scan.rows) {
        QString problem;
        kestrix::MemoryStream bytes = kestrix::ReadEntryData(row, device, &problem);
        if (row.archiveSize > kestrix::kMaxInMemoryEntry) {
            FUZZ_CHECK(bytes.isEmpty());
            continue;
        }
        // A short read is reported, and so is a row whose data would start beyond the end.
        const std::uint64_t start = std::uint64_t{row.offset} + kestrix::kEntryHeaderSize;
        FUZZ_CHECK(bytes.size() <= row.archiveSize);
        FUZZ_CHECK(problem.isEmpty() == (bytes.size() == row.archiveSize && start <= size));
        if (!bytes.isEmpty()) {
            FUZZ_CHECK(start + bytes.size() <= size);
            FUZZ_CHECK(std::memcmp(bytes.data(), data + start, bytes.size()) == 0);
        }
        if (!row.isCompressed()) continue;
        kestrix::MemoryStream expanded;
        const varnel::DecodeResult r =
            varnel::decompressInto(expanded, bytes.data(), bytes.size(), row.diskSize, row.lengthBias());
        const std::uint64_t cap = varnel::maxExpandedSize(bytes.size());
        FUZZ_CHECK(expanded.size() == std::min<std::uint64_t>(row.diskSize, cap));
        FUZZ_CHECK(r.produced <= expanded.size() && r.consumed <= bytes.size());
        FUZZ_CHECK((r.status == varnel::DecodeStatus::SizeTooLarge) == (row.diskSize > cap));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer device(&bytes);
    if (!device.open(QIODevice::ReadOnly)) std::abort();

    kestrix::ArchiveScan plain;
    kestrix::ArchiveScan all;
    std::optional<bool> accepted;
    for (const bool numbers : {false, true}) {
        for (const bool doubles : {false, true}) {
            const kestrix::ScanOptions options{numbers, doubles};
            kestrix::ArchiveScan scan;
            QString error;
            const bool ok = kestrix::scanArchive(device, QStringLiteral("fuzz.hqr"), options, nullptr, &scan, &error);
            // The options change the rows, never whether the file is an archive.
            if (accepted) FUZZ_CHECK(*accepted == ok);
            accepted = ok;
            if (!ok) {
                FUZZ_CHECK(scan.rows.empty() && !error.isEmpty());
                continue;
            }
            checkScan(scan, options, size);
            if (!numbers && !doubles) plain = scan;
            if (numbers && doubles) all = scan;
        }
    }
    if (!*accepted) return 0;

    // Keeping doubles only adds rows: every entry listed once is also listed with them.
    std::set<std::uint32_t> allOffsets;
    for (const auto& row : all.rows) allOffsets.insert(row.offset);
    FUZZ_CHECK(all.rows.size() >= plain.rows.size());
    for (const auto& row : plain.rows) FUZZ_CHECK(allOffsets.count(row.offset) == 1);

    readEntries(plain, device, data, size);
    return 0;
}
