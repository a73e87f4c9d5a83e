#include "hqr_archive.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include <QElapsedTimer>
#include <QFile>
#include <QIODevice>

#include "StreamSearch.h"
#include "operation_observer.h"

namespace kestrix {
namespace {

constexpr std::size_t kTableChunk = 64 * 1024;
constexpr std::size_t kHeaderBlock = 8 * 1024;

std::uint32_t le32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Reads ranges of a device through a small block cache, so that entry headers lying close
// together cost one read between them and scattered ones cost one small read each.
class BlockReader {
public:
    BlockReader(QIODevice& device, std::uint64_t fileSize, std::size_t blockSize)
        : m_device(device), m_fileSize(fileSize), m_block(blockSize)
    {
    }

    // Copies `count` bytes at `offset` into `out`; false when they are not all in the file.
    bool read(std::uint64_t offset, std::size_t count, std::uint8_t* out)
    {
        if (offset > m_fileSize || count > m_fileSize - offset) return false;
        if (offset < m_start || offset + count > m_start + m_filled) {
            if (!m_device.seek(static_cast<qint64>(offset))) return false;
            const qint64 got =
                m_device.read(reinterpret_cast<char*>(m_block.data()), static_cast<qint64>(m_block.size()));
            m_start = offset;
            m_filled = got > 0 ? static_cast<std::size_t>(got) : 0;
            if (count > m_filled) return false;
        }
        std::memcpy(out, m_block.data() + (offset - m_start), count);
        return true;
    }

private:
    QIODevice& m_device;
    std::uint64_t m_fileSize;
    std::vector<std::uint8_t> m_block;
    std::uint64_t m_start = 0;
    std::size_t m_filled = 0;
};

}  // namespace

QString megabytesText(std::uint64_t bytes)
{
    return QString::asprintf("%.3f MB", static_cast<double>(bytes) / 1024.0 / 1024.0);
}

QString ArchiveScan::sizeText() const
{
    return megabytesText(fileSize);
}
QString ArchiveScan::extractedSizeText() const
{
    return megabytesText(extractedSize);
}

bool scanArchive(QIODevice& device, const QString& name, const ScanOptions& options, OperationObserver* observer,
                 ArchiveScan* scan, QString* error)
{
    OperationObserver quiet;
    OperationObserver& obs = observer ? *observer : quiet;
    *scan = ArchiveScan{};
    QElapsedTimer timer;
    timer.start();

    const qint64 size = device.size();
    scan->fileSize = static_cast<std::uint64_t>(std::max<qint64>(size, 0));
    if (size > static_cast<qint64>(UINT32_MAX)) {
        if (error)
            *error = QStringLiteral(
                         "%1: not an archive: it is larger than 4 GiB, which an offset table "
                         "cannot describe")
                         .arg(name);
        return false;
    }
    const auto fileSize = static_cast<std::uint32_t>(size);

    // The estimate: where the file size first occurs as a 32-bit value, at any byte position.
    device.seek(0);
    if (SearchInteger(device, static_cast<std::int32_t>(fileSize), 3))
        scan->estimate = static_cast<std::uint32_t>(device.pos() / 4);
    obs.statusText(2, QStringLiteral("Estimated number of entries : %1").arg(scan->estimate));
    scan->rows.reserve(scan->estimate);

    BlockReader headers(device, fileSize, kHeaderBlock);
    std::vector<std::uint8_t> table;
    std::uint64_t tableStart = 0;  // file offset of table[0]
    std::unordered_set<std::uint32_t> seen;
    bool cancelled = false;
    bool terminated = false;
    for (std::uint64_t i = 0;; ++i) {
        if (i % 5 == 0) {
            obs.statusText(1, QString::number(scan->rows.size()));
            obs.pumpEvents();
            cancelled = obs.isCancelRequested();
        }
        const std::uint64_t slotOffset = 4 * i;
        if (slotOffset + 4 > fileSize) break;  // the table ran into the end of the file
        if (slotOffset + 4 > tableStart + table.size()) {
            // Read the table in bulk, a chunk at a time.
            const std::size_t want =
                static_cast<std::size_t>(std::min<std::uint64_t>(kTableChunk, fileSize - slotOffset));
            table.resize(want);
            device.seek(static_cast<qint64>(slotOffset));
            const qint64 got = device.read(reinterpret_cast<char*>(table.data()), static_cast<qint64>(want));
            table.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
            tableStart = slotOffset;
            if (table.size() < 4) break;
        }
        const std::uint32_t v = le32(table.data() + (slotOffset - tableStart));
        if (v == fileSize) {
            terminated = true;
            break;
        }
        if (cancelled) break;
        const auto slot = static_cast<std::uint32_t>(i + 1);
        scan->slotCount = slot;
        if (v == 0) continue;                                          // blank entry
        if (!options.keepDoubles && !seen.insert(v).second) continue;  // double: listed once

        EntryRow row;
        row.number = options.useEntryNumbers ? slot : static_cast<std::uint32_t>(scan->rows.size() + 1);
        row.offset = v;
        std::uint8_t header[9];
        // A slot pointing where no whole entry header lies keeps sizes and type 0; extracting it
        // reports the problem.
        if (fileSize >= kEntryHeaderSize && v <= fileSize - kEntryHeaderSize && headers.read(v, 9, header)) {
            row.diskSize = le32(header);
            row.archiveSize = le32(header + 4);
            row.type = header[8];
        }
        scan->extractedSize += row.diskSize;
        scan->rows.push_back(row);
    }

    if (!terminated && !cancelled) {
        scan->rows.clear();
        if (error)
            *error = QStringLiteral(
                         "%1: not an archive: its offset table never reaches a slot equal to the "
                         "file size (%2 bytes)")
                         .arg(name)
                         .arg(fileSize);
        return false;
    }
    scan->cancelled = cancelled;
    scan->elapsedMs = timer.elapsed();
    obs.statusText(1, QString::number(scan->rows.size()));
    obs.statusText(2, QString::asprintf("Time taken : %.3f sec.", static_cast<double>(scan->elapsedMs) * 0.001));

    // Speech archives holding wave files show "IFF" early on.
    device.seek(0);
    const QByteArray head = device.read(kIffProbeSize);
    scan->hasIff = head.contains("IFF");
    return true;
}

bool scanArchiveFile(const QString& path, const ScanOptions& options, OperationObserver* observer, ArchiveScan* scan,
                     QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        *scan = ArchiveScan{};
        if (error) *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return scanArchive(file, path, options, observer, scan, error);
}

MemoryStream ReadEntryData(const EntryRow& row, QIODevice& archive, QString* problem)
{
    MemoryStream buffer;
    if (problem) problem->clear();
    if (row.archiveSize > kMaxInMemoryEntry) return buffer;

    const qint64 fileSize = archive.size();
    const std::uint64_t dataStart = std::uint64_t{row.offset} + kEntryHeaderSize;
    const std::uint64_t available =
        static_cast<std::uint64_t>(fileSize) > dataStart ? static_cast<std::uint64_t>(fileSize) - dataStart : 0;
    const std::size_t wanted = row.archiveSize;
    std::size_t got = 0;
    if (available > 0 && archive.seek(static_cast<qint64>(dataStart))) {
        buffer.setSize(static_cast<std::size_t>(std::min<std::uint64_t>(wanted, available)));
        while (got < buffer.size()) {
            const qint64 n =
                archive.read(reinterpret_cast<char*>(buffer.data()) + got, static_cast<qint64>(buffer.size() - got));
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        buffer.setSize(got);
    }
    if (dataStart > static_cast<std::uint64_t>(fileSize) && problem) {
        *problem = QStringLiteral("entry %1 at offset %2 lies beyond the end of the file (%3 bytes)")
                       .arg(row.number)
                       .arg(row.offset)
                       .arg(fileSize);
    } else if (got < wanted && problem) {
        *problem = QStringLiteral("entry %1 at offset %2 claims %3 bytes, but the file ends at %4")
                       .arg(row.number)
                       .arg(row.offset)
                       .arg(row.archiveSize)
                       .arg(fileSize);
    }
    return buffer;
}

}  // namespace kestrix
