#include "hqr_archive.h"

#include <algorithm>
#include <cstring>
#include <optional>
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

// The offset table, read from the start of the file in bulk, a chunk at a time.
class OffsetTable {
public:
    OffsetTable(QIODevice& device, std::uint32_t fileSize) : m_device(device), m_fileSize(fileSize) {}

    // The value of slot `index`; nothing when the table runs into the end of the file there.
    std::optional<std::uint32_t> slot(std::uint64_t index)
    {
        const std::uint64_t slotOffset = kSlotSize * index;
        if (slotOffset + kSlotSize > m_fileSize) return std::nullopt;
        if (slotOffset + kSlotSize > m_chunkStart + m_chunk.size() && !readChunk(slotOffset)) return std::nullopt;
        return ByteReader(m_chunk).u32At(static_cast<std::size_t>(slotOffset - m_chunkStart));
    }

private:
    bool readChunk(std::uint64_t from)
    {
        const auto want = static_cast<std::size_t>(std::min<std::uint64_t>(kTableChunk, m_fileSize - from));
        m_chunk.resize(want);
        m_device.seek(static_cast<qint64>(from));
        const qint64 got = m_device.read(reinterpret_cast<char*>(m_chunk.data()), static_cast<qint64>(want));
        m_chunk.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        m_chunkStart = from;
        return m_chunk.size() >= kSlotSize;
    }

    QIODevice& m_device;
    std::uint64_t m_fileSize;
    std::vector<std::uint8_t> m_chunk;
    std::uint64_t m_chunkStart = 0;  // file offset of m_chunk[0]
};

// The header of the entry at `offset`; all zero when no whole header lies there (extracting such
// a row reports the problem).
EntryHeader headerAt(BlockReader& headers, std::uint32_t fileSize, std::uint32_t offset)
{
    std::uint8_t bytes[kEntryHeaderSize];
    if (fileSize < kEntryHeaderSize || offset > fileSize - kEntryHeaderSize ||
        !headers.read(offset, kEntryHeaderSize, bytes))
        return {};
    ByteReader reader(bytes, sizeof bytes);
    return readEntryHeader(reader);
}

// Where the file size first occurs as a 32-bit value, at any byte position, divided by 4: the
// number of entries the table probably holds.
std::uint32_t estimateEntryCount(QIODevice& device, std::uint32_t fileSize)
{
    device.seek(0);
    if (!SearchInteger(device, static_cast<std::int32_t>(fileSize), 3)) return 0;
    return static_cast<std::uint32_t>(device.pos() / 4);
}

// Speech archives holding wave files show "IFF" early on.
bool hasIffNearStart(QIODevice& device)
{
    device.seek(0);
    return device.read(kIffProbeSize).contains("IFF");
}

// Walks the offset table into rows, talking to the observer as it goes. The table ends at the
// first slot equal to the file size; a table that runs into the end of the file first leaves
// `terminated` false.
class TableScan {
public:
    TableScan(QIODevice& device, std::uint32_t fileSize, const ScanOptions& options, OperationObserver& observer,
              ArchiveScan& scan)
        : m_table(device, fileSize),
          m_headers(device, fileSize, kHeaderBlock),
          m_fileSize(fileSize),
          m_options(options),
          m_observer(observer),
          m_scan(scan)
    {
    }

    void run()
    {
        for (std::uint64_t i = 0;; ++i) {
            if (i % 5 == 0) pollObserver();
            const std::optional<std::uint32_t> value = m_table.slot(i);
            if (!value) return;  // the table ran into the end of the file
            if (*value == m_fileSize) {
                terminated = true;
                return;
            }
            if (cancelled) return;
            addSlot(static_cast<std::uint32_t>(i + 1), *value);
        }
    }

    bool terminated = false;
    bool cancelled = false;

private:
    void pollObserver()
    {
        m_observer.statusText(1, QString::number(m_scan.rows.size()));
        m_observer.pumpEvents();
        cancelled = m_observer.isCancelRequested();
    }

    // Slot number `slot` (1-based) holding `value`: blanks (0) give no row, nor do doubles
    // unless they are kept.
    void addSlot(std::uint32_t slot, std::uint32_t value)
    {
        m_scan.slotCount = slot;
        if (value == 0) return;
        if (!m_options.keepDoubles && !m_seen.insert(value).second) return;  // double: listed once

        const EntryHeader header = headerAt(m_headers, m_fileSize, value);
        EntryRow row;
        row.number = m_options.useEntryNumbers ? slot : static_cast<std::uint32_t>(m_scan.rows.size() + 1);
        row.offset = value;
        row.diskSize = header.diskSize;
        row.archiveSize = header.archiveSize;
        row.type = header.type;
        m_scan.extractedSize += row.diskSize;
        m_scan.rows.push_back(row);
    }

    OffsetTable m_table;
    BlockReader m_headers;
    const std::uint32_t m_fileSize;
    const ScanOptions& m_options;
    OperationObserver& m_observer;
    ArchiveScan& m_scan;
    std::unordered_set<std::uint32_t> m_seen;
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

    scan->estimate = estimateEntryCount(device, fileSize);
    obs.statusText(2, QStringLiteral("Estimated number of entries : %1").arg(scan->estimate));
    scan->rows.reserve(scan->estimate);

    TableScan table(device, fileSize, options, obs, *scan);
    table.run();
    if (!table.terminated && !table.cancelled) {
        scan->rows.clear();
        if (error)
            *error = QStringLiteral(
                         "%1: not an archive: its offset table never reaches a slot equal to the "
                         "file size (%2 bytes)")
                         .arg(name)
                         .arg(fileSize);
        return false;
    }
    scan->cancelled = table.cancelled;
    scan->elapsedMs = timer.elapsed();
    obs.statusText(1, QString::number(scan->rows.size()));
    obs.statusText(2, QString::asprintf("Time taken : %.3f sec.", static_cast<double>(scan->elapsedMs) * 0.001));
    scan->hasIff = hasIffNearStart(device);
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

bool loadArchiveFile(const QString& path, const ScanOptions& options, OperationObserver* observer,
                     LoadedArchive* loaded, QString* error)
{
    loaded->path = path;
    loaded->options = options;
    return scanArchiveFile(path, options, observer, &loaded->scan, error);
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
