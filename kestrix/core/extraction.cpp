#include "extraction.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QTime>

#include "decompress.h"
#include "hqr_archive.h"
#include "memory_stream.h"
#include "operation_observer.h"

namespace kestrix {

const char kNotEnoughSpaceMessage[] = "There is not enough free space available on the selected output harddisk";
// "to large", "automaticaly" and "manualy" are the notice's own spelling, kept on purpose.
const char kLargeCompressedNotice[] =
    "This file is compressed and is to large to decompress automaticaly.\r\n"
    "You have to decompress the file manualy. Select file->decompress\r\n"
    "and select the file to decompress";

namespace {

constexpr qint64 kCopyBlock = 8192;
constexpr Sound kEndSound = Sound::OperationEnd;

// "^^ Extract [hh:mm:ss]": the log line that ends every extraction, Run's included.
QString extractLogLine()
{
    return QStringLiteral("^^ Extract [%1]").arg(QTime::currentTime().toString(QStringLiteral("hh:mm:ss")));
}

QString withSlash(const QString& folder)
{
    if (folder.isEmpty() || folder.endsWith(u'/')) return folder;
    return folder + u'/';
}

// Free bytes of the file system that holds `folder`, asked of its nearest existing ancestor
// (a folder that does not exist yet has no file system of its own); -1 when it cannot be told.
qint64 freeBytes(const QString& folder)
{
    QFileInfo info(folder.isEmpty() ? QStringLiteral(".") : folder);
    QString path = info.absoluteFilePath();
    while (!QFileInfo::exists(path)) {
        const QString parent = QFileInfo(path).absolutePath();
        if (parent == path) break;
        path = parent;
    }
    const QStorageInfo storage(path);
    return storage.isValid() ? storage.bytesAvailable() : -1;
}

const std::vector<EntryRow> kNoRows;

const std::vector<EntryRow>& rowsOf(const ExtractionContext& context)
{
    return context.archive ? context.archive->rows() : kNoRows;
}

class ExtractionRun {
public:
    ExtractionRun(const ExtractionContext& context)
        : m_context(context),
          m_rows(rowsOf(context)),
          m_archivePath(context.archive ? context.archive->path : QString()),
          m_naming(context.naming),
          m_outputDir(withSlash(context.outputDir)),
          m_observer(context.observer ? *context.observer : m_quiet)
    {
        m_archiveCanonical = QFileInfo(m_archivePath).canonicalFilePath();
    }

    // Visits `indexes` (list order). With `markers`, writes blank and double markers; `all` says
    // whether every row is selected.
    ExtractionStats run(const std::vector<std::size_t>& indexes, bool markers, bool all)
    {
        if (m_rows.empty()) return m_stats;
        if (!CheckFreeSpace(m_context, totalDiskSize(indexes))) {
            m_stats.refused = true;
            return m_stats;
        }

        const bool progress = markers && indexes.size() > 100;
        begin(progress, indexes.size());
        QElapsedTimer timer;
        timer.start();
        visitRows(indexes, markers, markers && all && m_context.archive->options.useEntryNumbers, progress);
        if (progress) m_observer.progressEnd();
        if (!markers || !all) m_observer.statusText(1, QString::number(m_rows.size()));
        m_stats.elapsedMs = timer.elapsed();
        m_archive.close();
        m_observer.setBusy(false);
        if (m_stats.error.isEmpty()) logSummary();
        return m_stats;
    }

    // Run: the free-space check over `selected`, then the first of them extracted on its own.
    RunExtraction runOne(const std::vector<std::size_t>& selected)
    {
        RunExtraction result;
        if (m_rows.empty() || selected.empty()) return result;
        if (!CheckFreeSpace(m_context, totalDiskSize(selected))) {
            result.stats.refused = true;
            return result;
        }
        const std::size_t index = *std::min_element(selected.begin(), selected.end());
        begin(false, 1);
        m_observer.statusText(0, QStringLiteral("Searching..."));
        m_observer.pumpEvents();
        m_observer.statusText(0, QStringLiteral("Extracting..."));
        m_observer.pumpEvents();
        if (m_stats.error.isEmpty()) {
            std::unordered_set<std::uint32_t> extracted;
            extractRow(m_rows[index], false, extracted);
        }
        m_archive.close();
        m_observer.setBusy(false);
        result.stats = m_stats;
        if (m_stats.error.isEmpty()) result.path = m_written;
        return result;
    }

private:
    std::uint64_t totalDiskSize(const std::vector<std::size_t>& indexes) const
    {
        std::uint64_t total = 0;
        for (std::size_t i : indexes) total += m_rows[i].diskSize;
        return total;
    }

    // Marks the observer busy, starts the progress bar and opens the archive; an archive that
    // cannot be opened ends the command before the first row.
    void begin(bool progress, std::size_t rowCount)
    {
        m_observer.setBusy(true);
        if (progress) m_observer.progressStart(static_cast<int>(rowCount));
        m_archive.setFileName(m_archivePath);
        if (!m_archive.open(QIODevice::ReadOnly))
            m_stats.error = QStringLiteral("%1: %2").arg(m_archivePath, m_archive.errorString());
    }

    // Extracts the rows in turn until one fails. With `blankMarkers`, the slots without a row
    // (blanks, doubles left out of the list) get empty markers, so that packing the folder again
    // keeps every slot number: from slot 1 before the first row, up to the end of the table after
    // the last.
    void visitRows(const std::vector<std::size_t>& indexes, bool markers, bool blankMarkers, bool progress)
    {
        std::unordered_set<std::uint32_t> extracted;
        std::uint32_t previousNumber = 0;
        for (std::size_t n = 0; n < indexes.size() && m_stats.error.isEmpty(); ++n) {
            const std::size_t index = indexes[n];
            const EntryRow& row = m_rows[index];
            announceRow(index, progress);
            if (blankMarkers) createBlankMarkers(previousNumber + 1, row.number);
            previousNumber = row.number;
            if (!m_stats.error.isEmpty()) break;
            extractRow(row, markers, extracted);
        }
        if (blankMarkers && m_stats.error.isEmpty())
            createBlankMarkers(previousNumber + 1, m_context.archive->scan.slotCount + 1);
    }

    void announceRow(std::size_t index, bool progress)
    {
        m_observer.statusText(0, QStringLiteral("Searching..."));
        m_observer.statusText(1, QString::number(index + 1));
        m_observer.pumpEvents();
        if (progress) m_observer.progressStep();
        m_observer.statusText(0, QStringLiteral("Extracting..."));
    }

    // One row: a raw copy when it is too large to read whole, a double marker when its entry was
    // written already by this command, else its bytes, expanded when compressed.
    void extractRow(const EntryRow& row, bool markers, std::unordered_set<std::uint32_t>& extracted)
    {
        ++m_stats.files;
        m_stats.bytes += row.diskSize;
        m_observer.pumpEvents();
        if (row.archiveSize > kMaxInMemoryEntry) {
            CopyLargeEntry(row);
            return;
        }
        if (markers && extracted.count(row.offset)) {
            WriteDoubleMarker(row);
            return;
        }
        QString problem;
        MemoryStream packed = ReadEntryData(row, m_archive, &problem);
        const bool truncated = !problem.isEmpty();
        if (truncated) reportProblem(row, problem);
        if (row.isCompressed())
            DecompressEntry(packed, row, truncated);
        else
            SaveEntry(packed, row.number);
        if (markers) extracted.insert(row.offset);
    }

    void logSummary()
    {
        m_observer.logLine(extractLogLine());
        m_observer.logLine(QStringLiteral("files : %1").arg(m_stats.files));
        m_observer.logLine(QStringLiteral("size : %1").arg(m_stats.bytes));
        m_observer.logLine(QStringLiteral("time : %1").arg(m_stats.elapsedMs));
        m_observer.statusText(0, QStringLiteral("Done !"));
        m_observer.soundRequest(kEndSound);
    }

    // Empty blank markers for the slot numbers `from` up to but not including `to`; stops at the
    // first that cannot be written.
    void createBlankMarkers(std::uint32_t from, std::uint32_t to)
    {
        for (std::uint32_t k = from; k < to && m_stats.error.isEmpty(); ++k) CreateBlankMarker(k);
    }

    void reportProblem(const EntryRow& row, const QString& text)
    {
        if (m_problemRows.insert(&row).second) ++m_stats.problems;
        m_observer.problem(QStringLiteral("%1: %2").arg(m_archivePath, text));
    }

    // A file of entry (or marker) `number` that could not be written: the command ends, and the
    // observer hears which entry and which file.
    void reportWriteFailure(std::uint32_t number, const QString& error)
    {
        m_stats.error = error;
        ++m_stats.problems;
        m_observer.problem(QStringLiteral("%1: entry %2: %3").arg(m_archivePath).arg(number).arg(error));
    }

    // Writes one entry's bytes (after the voice fix) under its name; see the naming rules.
    void SaveEntry(MemoryStream& bytes, std::uint32_t number)
    {
        applyVoiceFix(bytes.data(), bytes.size(), m_naming.quarn2Vox, m_naming.quarn1Vox);
        QString ext;
        if (m_naming.smartExtension && !m_naming.quarn2Vox && !m_naming.quarn1Vox)
            ext = ClassifyEntry(bytes.data(), bytes.size(), number, m_naming.archiveFileName);

        QString& last = *m_lastOutputFile;
        if (m_naming.batchFilesActive() && ext == QLatin1String("pal") &&
            QFileInfo(last).suffix().toLower() == QLatin1String("qim")) {
            // A palette right after an image: a batch file beside the image names both.
            const QFileInfo image(last);
            const QString batch = image.path() + u'/' + image.completeBaseName() + QStringLiteral(".qbc");
            const QByteArray text = (BuildOutputName(m_naming, number, QStringLiteral("pal")) + QStringLiteral("\r\n") +
                                     image.fileName() + QStringLiteral("\r\n"))
                                        .toUtf8();
            if (!writeFile(number, batch, text.constData(), static_cast<std::size_t>(text.size()))) return;
        }
        last = m_outputDir + BuildOutputName(m_naming, number, ext);
        if (writeFile(number, last, bytes.data(), bytes.size())) m_written = last;
    }

    void DecompressEntry(const MemoryStream& packed, const EntryRow& row, bool truncated)
    {
        m_observer.logLine(QStringLiteral("Decompress entry : %1").arg(row.number));
        m_observer.statusText(0, QStringLiteral("Expanding..."));
        MemoryStream expanded;
        const varnel::DecodeResult result =
            varnel::decompressInto(expanded, packed.data(), packed.size(), row.diskSize, row.lengthBias());
        // Data cut by the end of the file has been reported already; its stream runs short too.
        if (result.isDamaged() && !truncated)
            reportProblem(row, QStringLiteral("entry %1 at offset %2: damaged compressed data: %3; the rest is zero")
                                   .arg(row.number)
                                   .arg(row.offset)
                                   .arg(varnel::describeDecodeProblem(result, row.diskSize, packed.size())));
        SaveEntry(expanded, row.number);
    }

    // Copies the stored bytes of an entry too large to be read whole, in blocks, as they are,
    // through a temporary file like every other output.
    void CopyLargeEntry(const EntryRow& row)
    {
        const QString path = m_outputDir + BuildOutputName(m_naming, row.number);
        if (isArchiveItself(path)) return;
        ReplacingFile out(path);
        if (!out.open()) {
            reportWriteFailure(row.number, out.errorString());
            return;
        }
        std::uint64_t left = row.archiveSize;
        std::vector<char> block(kCopyBlock);
        if (m_archive.seek(static_cast<qint64>(row.offset) + kEntryHeaderSize)) {
            while (left > 0) {
                const qint64 want = static_cast<qint64>(std::min<std::uint64_t>(left, kCopyBlock));
                const qint64 got = m_archive.read(block.data(), want);
                if (got <= 0) break;
                if (!out.write(block.data(), static_cast<std::size_t>(got))) {
                    reportWriteFailure(row.number, out.errorString());
                    return;
                }
                left -= static_cast<std::uint64_t>(got);
            }
        }
        if (!out.commit()) {
            reportWriteFailure(row.number, out.errorString());
            return;
        }
        m_written = path;
        if (left > 0)
            reportProblem(row, QStringLiteral("entry %1 at offset %2 claims %3 bytes, but the file ends at %4")
                                   .arg(row.number)
                                   .arg(row.offset)
                                   .arg(row.archiveSize)
                                   .arg(m_archive.size()));
        if (row.type != EntryType::Stored) m_observer.notice(QString::fromLatin1(kLargeCompressedNotice));
    }

    void WriteDoubleMarker(const EntryRow& row)
    {
        m_observer.statusText(0, QStringLiteral("Searching double..."));
        if (m_firstRowAt.empty())
            for (std::size_t i = m_rows.size(); i-- > 0;) m_firstRowAt[m_rows[i].offset] = i;
        const EntryRow& holder = m_rows[m_firstRowAt.at(row.offset)];
        const QByteArray text = QStringLiteral("%1\r\n%2\r\n%3\r\nCREATED BY Kestrix\r\nDO NOT MODIFY !!\r\n")
                                    .arg(holder.number)
                                    .arg(holder.offset)
                                    .arg(holder.diskSize)
                                    .toLatin1();
        writeFile(row.number, m_outputDir + BuildMarkerName(m_naming, row.number, QStringLiteral("double")),
                  text.constData(), static_cast<std::size_t>(text.size()));
    }

    void CreateBlankMarker(std::uint32_t number)
    {
        writeFile(number, m_outputDir + BuildMarkerName(m_naming, number, QStringLiteral("blank")), nullptr, 0);
    }

    // Output that would replace the archive being read is refused: the archive is never written.
    bool isArchiveItself(const QString& path)
    {
        if (QFileInfo(path).fileName() != QFileInfo(m_archivePath).fileName()) return false;
        const QString canonical = QFileInfo(path).canonicalFilePath();
        if (canonical.isEmpty() || canonical != m_archiveCanonical) return false;
        m_stats.error = QStringLiteral("%1: refusing to write over the archive being read").arg(path);
        return true;
    }

    // Writes a whole file for entry (or marker) `number`, replacing one of that name only when
    // complete. A failure ends the command and leaves the earlier file and no temporary behind.
    bool writeFile(std::uint32_t number, const QString& path, const void* data, std::size_t size)
    {
        if (isArchiveItself(path)) return false;
        QString error;
        if (replaceFile(path, data, size, &error)) return true;
        reportWriteFailure(number, error);
        return false;
    }

    const ExtractionContext& m_context;
    const std::vector<EntryRow>& m_rows;
    const QString m_archivePath;
    const NamingConfig m_naming;
    const QString m_outputDir;
    OperationObserver m_quiet;
    OperationObserver& m_observer;
    QString m_archiveCanonical;
    QString m_ownLastOutput;
    QString m_written;  // the last entry file or raw copy written (not markers or batch files)
    QString* m_lastOutputFile = m_context.lastOutputFile ? m_context.lastOutputFile : &m_ownLastOutput;
    QFile m_archive;
    ExtractionStats m_stats;
    std::unordered_set<const EntryRow*> m_problemRows;
    std::unordered_map<std::uint32_t, std::size_t> m_firstRowAt;
};

}  // namespace

QStringList ExtractionStats::statisticsLines() const
{
    QStringList lines{
        QStringLiteral("%1 files extracted").arg(files),
        QString::asprintf("used %.3f MB disk space", static_cast<double>(bytes) / 1024.0 / 1024.0),
        QString::asprintf("in %.2f seconds", static_cast<double>(elapsedMs) / 1000.0),
    };
    if (problems > 0) lines << QStringLiteral("%1 entries had problems").arg(problems);
    return lines;
}

QString ExtractionStats::statisticsText() const
{
    return statisticsLines().join(QStringLiteral("\r\n"));
}

bool CheckFreeSpace(const ExtractionContext& context, std::uint64_t totalBytes)
{
    if (rowsOf(context).empty()) return true;
    const qint64 available = context.freeSpace ? context.freeSpace(context.outputDir) : freeBytes(context.outputDir);
    // Unknown free space does not stop the command: a write that fails is reported for its entry.
    if (available < 0 || static_cast<std::uint64_t>(available) >= totalBytes) return true;
    // "engough" is how the log line has always read, kept on purpose.
    if (context.observer) context.observer->logLine(QStringLiteral("!! not engough disk space !!"));
    return false;
}

qint64 AvailableOutputBytes(const QString& outputDir)
{
    return freeBytes(outputDir);
}

ExtractionStats ExtractEntries(const ExtractionContext& context, const std::vector<std::size_t>& selected, bool all)
{
    const std::vector<EntryRow>& rows = rowsOf(context);
    std::vector<std::size_t> indexes;
    if (all) {
        indexes.resize(rows.size());
        for (std::size_t i = 0; i < indexes.size(); ++i) indexes[i] = i;
    } else {
        indexes = selected;
        std::sort(indexes.begin(), indexes.end());
        indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
        indexes.erase(std::remove_if(indexes.begin(), indexes.end(), [&](std::size_t i) { return i >= rows.size(); }),
                      indexes.end());
    }
    const bool everyRow = !rows.empty() && indexes.size() == rows.size();
    return ExtractionRun(context).run(indexes, true, everyRow);
}

ExtractionStats ExtractRange(const ExtractionContext& context, std::uint32_t from, std::uint32_t to)
{
    const auto count = static_cast<std::uint32_t>(rowsOf(context).size());
    const std::uint32_t first = std::max<std::uint32_t>(from, 1);
    const std::uint32_t last = std::min(to, count);
    if ((first != from || last != to) && context.observer) {
        context.observer->notice(
            first <= last
                ? QStringLiteral("The range %1 to %2 reaches outside the list of %3 rows: "
                                 "extracting rows %4 to %5")
                      .arg(from)
                      .arg(to)
                      .arg(count)
                      .arg(first)
                      .arg(last)
                : QStringLiteral("The range %1 to %2 holds none of the list's %3 rows").arg(from).arg(to).arg(count));
    }
    std::vector<std::size_t> indexes;
    for (std::uint32_t position = first; position <= last && position != 0; ++position) indexes.push_back(position - 1);
    if (indexes.empty()) return {};
    return ExtractionRun(context).run(indexes, false, false);
}

RunExtraction ExtractForRun(const ExtractionContext& context, const std::vector<std::size_t>& selected)
{
    std::vector<std::size_t> valid;
    for (std::size_t i : selected)
        if (i < rowsOf(context).size()) valid.push_back(i);
    return ExtractionRun(context).runOne(valid);
}

void FinishRun(OperationObserver* observer)
{
    if (!observer) return;
    observer->logLine(extractLogLine());
    observer->statusText(0, QStringLiteral("Done !"));
    observer->soundRequest(kEndSound);
}

}  // namespace kestrix
