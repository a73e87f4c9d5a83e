#pragma once

#include <cstdint>
#include <vector>

#include <QString>

#include "entry_row.h"
#include "hqr_format.h"
#include "memory_stream.h"

class QIODevice;

namespace kestrix {

class OperationObserver;

// Bytes at the start of an archive searched for "IFF" (speech archives with wave files).
constexpr qint64 kIffProbeSize = 3200;

struct ScanOptions {
    bool useEntryNumbers = false;  // number rows by slot (gaps for blanks and doubles)
    bool keepDoubles = false;      // list every slot that shares an entry with an earlier one
};

// What a scan of an archive found.
struct ArchiveScan {
    std::vector<EntryRow> rows;
    std::uint64_t fileSize = 0;
    std::uint32_t estimate = 0;       // first position of the file size as a 32-bit value, / 4
    std::uint32_t slotCount = 0;      // slots read before the terminating one
    std::uint64_t extractedSize = 0;  // sum of the listed rows' disk sizes
    bool hasIff = false;              // "IFF" within the first 3200 bytes
    bool cancelled = false;
    qint64 elapsedMs = 0;

    // Format "%.3f MB" of the file size and of the extracted size.
    QString sizeText() const;
    QString extractedSizeText() const;
};

// An archive as the entry list holds it: the path it was read from, the options of that load and
// what the scan found. Options changed after the load do not reach it; only a new load does, so
// extraction, which takes the numbering and the slot count from here, always matches the list.
struct LoadedArchive {
    QString path;
    ScanOptions options;
    ArchiveScan scan;

    const std::vector<EntryRow>& rows() const { return scan.rows; }
};

// Formats a byte count as "%.3f MB" (bytes / 1024 / 1024), with "." whatever the locale.
QString megabytesText(std::uint64_t bytes);

// Scans the offset table of the archive in `device` (open for reading) into rows: blank slots
// (0) give no row, a slot repeating an earlier offset gives no row unless doubles are kept. The
// table ends at the first slot equal to the file size; a file whose table reaches the end of the
// file first (or that is larger than 4 GiB) is not an archive: false, with `error` naming `name`.
// A slot pointing where no whole entry header lies gives a row with sizes and type 0. The
// observer hears the status texts, is pumped every fifth slot and may cancel; a cancelled scan
// keeps the rows read so far and still succeeds. The table is read in bulk.
bool scanArchive(QIODevice& device, const QString& name, const ScanOptions& options, OperationObserver* observer,
                 ArchiveScan* scan, QString* error);

// Opens `path` and scans it (see above); the error names the path when it cannot be opened.
bool scanArchiveFile(const QString& path, const ScanOptions& options, OperationObserver* observer, ArchiveScan* scan,
                     QString* error);

// Scans `path` with `options` (see scanArchiveFile) into a new LoadedArchive that records both.
// On failure `loaded` holds the path, the options and an empty scan, and `error` names the path.
bool loadArchiveFile(const QString& path, const ScanOptions& options, OperationObserver* observer,
                     LoadedArchive* loaded, QString* error);

// The row's stored bytes, read from `archive` at offset + 10. Rows whose archive size is above
// 4,000,000 give an empty buffer (they are copied by other means). When the file ends before
// the row's bytes do (or before its header does), the bytes that exist are returned and `problem`
// says so, naming the entry by number and offset; otherwise `problem` is left empty. The caller owns the buffer.
MemoryStream ReadEntryData(const EntryRow& row, QIODevice& archive, QString* problem = nullptr);

}  // namespace kestrix
