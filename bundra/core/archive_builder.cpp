#include "archive_builder.h"

#include <algorithm>
#include <climits>
#include <filesystem>

#include <QFile>
#include <QFileInfo>

#include "compress.h"

namespace bundra {

const char kBlankPath[] = "{blank}";
const char kDoublePath[] = "{double}";
const char kEndReference[] = "{eof}";

namespace {

using kestrix::EntryType;

constexpr qint64 kCopyBlock = 1 << 20;
constexpr std::uint64_t kMaxArchive = 0xFFFFFFFFull;
// Compression is tried only on files that could shrink to what the extractor expands.
constexpr std::uint64_t kMaxCompressible = 9ull * kestrix::kMaxInMemoryEntry;

QString tempPathFor(const QString& output)
{
    const QFileInfo info(output);
    return info.path() + QStringLiteral("/$~") + info.fileName();
}

// Replaces `target` with `source` in one step where the platform allows it.
bool replaceFile(const QString& source, const QString& target, QString* error)
{
    std::error_code ec;
    std::filesystem::rename(std::filesystem::path(source.toStdU16String()),
                            std::filesystem::path(target.toStdU16String()), ec);
    if (ec) *error = QStringLiteral("%1: %2").arg(target, QString::fromStdString(ec.message()));
    return !ec;
}

// One file's entry as it will be stored: its compressed bytes, or the file's own bytes (held
// whole when they were read to try compressing them, else copied from the file in blocks).
struct PreparedEntry {
    EntryType type = EntryType::Stored;
    std::uint64_t diskSize = 0;
    std::vector<std::uint8_t> packed;  // a compressed type's bytes
    QByteArray whole;                  // a stored entry's bytes, when they were read whole

    std::uint64_t storedSize() const { return kestrix::isCompressed(type) ? packed.size() : diskSize; }
};

class Builder {
public:
    Builder(const std::vector<PackerItem>& items, const QString& output, BuildObserver& observer,
            const BuildOptions& options, BuildResult& result, QString& error)
        : m_items(items), m_output(output), m_observer(observer), m_options(options), m_result(result), m_error(error)
    {
    }

    bool run()
    {
        status(QStringLiteral("Creating file"));
        if (m_items.empty()) {
            problem(BuildProblem::ListEmpty, -1, QStringLiteral("List is empty"));
            m_error = QStringLiteral("List is empty");
            return false;
        }
        if (const int clash = outputAmongItems(); clash >= 0)
            return stop(clash, QStringLiteral("%1: the output is also one of the files to pack").arg(m_output));

        m_temp.setFileName(tempPathFor(m_output));
        if (!m_temp.open(QIODevice::ReadWrite | QIODevice::Truncate))
            return stop(-1, QStringLiteral("%1: %2").arg(m_temp.fileName(), m_temp.errorString()));
        const bool built = writeEntries() && writeTable();
        if (built) m_temp.close();
        const bool written = built && replaceFile(m_temp.fileName(), m_output, &m_error);
        if (!written) {
            m_temp.close();
            m_temp.remove();
        }
        if (m_progressShown) m_observer.progressEnd();
        status(QStringLiteral("Done..."));
        return written;
    }

private:
    // Each report lets the window process its pending messages, so the status bar repaints.
    void status(const QString& text)
    {
        m_observer.statusText(0, text);
        m_observer.pumpEvents();
    }

    void itemStarted(std::size_t index)
    {
        m_observer.statusText(1, QString::number(index + 1));
        m_observer.progressStep();
        m_observer.pumpEvents();
    }

    void problem(BuildProblem kind, int position, const QString& text)
    {
        ++m_result.problems;
        m_observer.buildProblem(kind, position, text);
    }

    bool stop(int item, const QString& message)
    {
        m_error = message;
        m_result.errorItem = item;
        return false;
    }

    // A file is the output when it resolves to the same path. Only items that share the output's
    // file name need resolving, which keeps long lists quick.
    int outputAmongItems() const
    {
        const QFileInfo out(m_output);
        const QString name = out.fileName();
        const QString canonical = out.canonicalFilePath();
        for (std::size_t i = 0; i < m_items.size(); ++i) {
            const PackerItem& item = m_items[i];
            if (item.isBlank() || item.isDouble() || !item.path.endsWith(name)) continue;
            const QFileInfo in(item.path);
            if (in.fileName() != name) continue;
            if ((!canonical.isEmpty() && in.canonicalFilePath() == canonical) ||
                in.absoluteFilePath() == out.absoluteFilePath())
                return static_cast<int>(i);
        }
        return -1;
    }

    // One pass: the table's space is reserved, the entries follow it, and the table is filled
    // in once every offset is known.
    bool writeEntries()
    {
        const std::uint64_t tableSize = kestrix::kSlotSize * (static_cast<std::uint64_t>(m_items.size()) + 1);
        if (tableSize > kMaxArchive)
            return stop(-1, QStringLiteral("%1: too many items for one archive").arg(m_output));
        m_tableSize = tableSize;
        const QByteArray zeros(static_cast<qsizetype>(tableSize), '\0');
        if (m_temp.write(zeros) != zeros.size()) return writeFailed(-1);
        m_end = tableSize;

        m_offsets.assign(m_items.size(), 0);
        m_observer.progressStart(static_cast<int>(std::min<std::size_t>(m_items.size(), INT_MAX)));
        m_progressShown = true;
        for (std::size_t i = 0; i < m_items.size(); ++i) {
            const PackerItem& item = m_items[i];
            itemStarted(i);
            if (item.isBlank()) continue;  // slot 0
            if (item.isDouble()) {
                if (!resolveDouble(i)) return false;
                continue;
            }
            if (!writeFileEntry(i)) return false;
        }
        return true;
    }

    bool resolveDouble(std::size_t i)
    {
        const int index = static_cast<int>(i);
        const PackerItem& item = m_items[i];
        const QString& ref = item.reference;
        bool ok = false;
        const qlonglong n = ref.size() >= 2 ? ref.mid(1, ref.size() - 2).toLongLong(&ok) : 0;
        if (!ok || n < 1 || n > static_cast<qlonglong>(m_items.size()))
            return stop(index,
                        QStringLiteral("{double} at position %1: its reference \"%2\" names no entry of the list")
                            .arg(i + 1)
                            .arg(ref));
        const std::size_t target = static_cast<std::size_t>(n - 1);
        if (item.size != m_items[target].size) {
            problem(BuildProblem::DoubleIncorrect, index, QStringLiteral("Double is incorrect"));
            return true;  // slot 0
        }
        if (target >= i)
            return stop(index, QStringLiteral("{double} at position %1: its reference \"%2\" names %3, which comes "
                                              "no earlier in the list")
                                   .arg(i + 1)
                                   .arg(ref)
                                   .arg(target == i ? QStringLiteral("itself") : QStringLiteral("a later entry")));
        m_offsets[i] = m_offsets[target];  // a blank's 0 stays 0
        return true;
    }

    // The entry of item `i`, an ordinary file: opened, compressed where asked and worth it, then
    // its header and bytes appended.
    bool writeFileEntry(std::size_t i)
    {
        const int index = static_cast<int>(i);
        QFile in(m_items[i].path);
        if (!openItemFile(index, in)) return false;
        PreparedEntry entry;
        entry.diskSize = static_cast<std::uint64_t>(in.size());
        if (m_end + kestrix::kEntryHeaderSize + entry.diskSize > kMaxArchive)
            return stop(index, QStringLiteral("%1: the archive would grow beyond 4 GiB").arg(in.fileName()));

        m_offsets[i] = static_cast<std::uint32_t>(m_end);
        if (!prepareEntry(index, in, &entry) || !writeEntryHeader(index, entry) || !writeEntryBytes(index, in, entry))
            return false;
        m_end += kestrix::kEntryHeaderSize + entry.storedSize();
        return true;
    }

    bool openItemFile(int index, QFile& in)
    {
        if (in.open(QIODevice::ReadOnly)) return true;
        const QString path = in.fileName();
        // Opening refuses folders as well; both count as no file.
        if (!QFileInfo(path).isFile()) {
            problem(BuildProblem::FileMissing, index, QStringLiteral("File does not exist"));
            return stop(index, QStringLiteral("%1: File does not exist").arg(path));
        }
        return stop(index, QStringLiteral("%1: %2").arg(path, in.errorString()));
    }

    // With compression on, reads the file whole and keeps the compressed form when it is smaller
    // and within what the extractor expands; otherwise the entry stays stored.
    bool prepareEntry(int index, QFile& in, PreparedEntry* entry)
    {
        const EntryType wanted = m_options.compression;
        if (!kestrix::isCompressed(wanted) || entry->diskSize == 0 || entry->diskSize > kMaxCompressible) return true;
        entry->whole = in.readAll();
        if (static_cast<std::uint64_t>(entry->whole.size()) != entry->diskSize)
            return stop(index, QStringLiteral("%1: %2").arg(in.fileName(), in.errorString()));
        std::vector<std::uint8_t> packed =
            varnel::compress(reinterpret_cast<const std::uint8_t*>(entry->whole.constData()), entry->diskSize,
                             kestrix::lengthBias(wanted));
        if (!packed.empty() && packed.size() < entry->diskSize && packed.size() <= kestrix::kMaxInMemoryEntry) {
            entry->type = wanted;
            entry->packed = std::move(packed);
        }
        return true;
    }

    bool writeEntryHeader(int index, const PreparedEntry& entry)
    {
        QByteArray header;
        kestrix::QByteWriter writer(header);
        kestrix::writeEntryHeader(writer, {static_cast<std::uint32_t>(entry.diskSize),
                                           static_cast<std::uint32_t>(entry.storedSize()), entry.type});
        return m_temp.write(header) == header.size() || writeFailed(index);
    }

    bool writeEntryBytes(int index, QFile& in, const PreparedEntry& entry)
    {
        if (kestrix::isCompressed(entry.type)) {
            const auto size = static_cast<qint64>(entry.packed.size());
            return m_temp.write(reinterpret_cast<const char*>(entry.packed.data()), size) == size || writeFailed(index);
        }
        if (!entry.whole.isEmpty() || entry.diskSize == 0)
            return m_temp.write(entry.whole) == entry.whole.size() || writeFailed(index);
        // Stored files are copied in blocks, so a large file never sits in memory whole.
        std::uint64_t left = entry.diskSize;
        QByteArray block;
        while (left > 0) {
            block = in.read(static_cast<qint64>(std::min<std::uint64_t>(left, kCopyBlock)));
            if (block.isEmpty())
                return stop(index, QStringLiteral("%1: the file ended while being read").arg(in.fileName()));
            if (m_temp.write(block) != block.size()) return writeFailed(index);
            left -= static_cast<std::uint64_t>(block.size());
        }
        return true;
    }

    bool writeFailed(int index)
    {
        return stop(index, QStringLiteral("%1: %2").arg(m_temp.fileName(), m_temp.errorString()));
    }

    bool writeTable()
    {
        status(QStringLiteral("Writing final file"));
        QByteArray table;
        kestrix::QByteWriter writer(table);
        for (const std::uint32_t offset : m_offsets) writer.u32(offset);
        writer.u32(static_cast<std::uint32_t>(m_end));
        Q_ASSERT(static_cast<std::uint64_t>(table.size()) == m_tableSize);
        if (!m_temp.seek(0) || m_temp.write(table) != table.size() || !m_temp.flush()) return writeFailed(-1);
        m_result.size = m_end;
        return true;
    }

    const std::vector<PackerItem>& m_items;
    const QString m_output;
    BuildObserver& m_observer;
    const BuildOptions m_options;
    BuildResult& m_result;
    QString& m_error;
    QFile m_temp;
    std::vector<std::uint32_t> m_offsets;  // absolute slot values; 0 for blanks
    std::uint64_t m_tableSize = 0;
    std::uint64_t m_end = 0;
    bool m_progressShown = false;
};

}  // namespace

bool makePackerItem(const QString& path, bool recogniseDouble, PackerItem* item, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    const QString suffix = path.mid(path.lastIndexOf(u'.'));
    if (recogniseDouble && path.lastIndexOf(u'.') >= 0 && suffix == QLatin1String(".double")) {
        // Line 1: the position of the entry this one repeats; line 2 ignored; line 3: its size.
        const QList<QByteArray> lines = file.readAll().split('\n');
        if (lines.size() < 3) {
            if (error) *error = QStringLiteral("%1: a double marker needs three lines").arg(path);
            return false;
        }
        item->path = QString::fromLatin1(kDoublePath);
        item->size = QString::fromLatin1(lines[2].trimmed());
        item->reference = u'{' + QString::fromLatin1(lines[0].trimmed()) + u'}';
        return true;
    }
    if (path.lastIndexOf(u'.') >= 0 && suffix == QLatin1String(".blank")) {
        item->path = QString::fromLatin1(kBlankPath);
        item->size = QString::number(file.size());
        item->reference = QString::fromLatin1(kEndReference);
        return true;
    }
    item->path = QFileInfo(path).absoluteFilePath();
    item->size = QString::number(file.size());
    item->reference = QString::fromLatin1(kEndReference);
    return true;
}

bool BuildArchive(const std::vector<PackerItem>& items, const QString& outputPath, BuildObserver* observer,
                  const BuildOptions& options, BuildResult* result, QString* error)
{
    *result = BuildResult{};
    QString message;
    BuildObserver quiet;
    const bool written = Builder(items, outputPath, observer ? *observer : quiet, options, *result, message).run();
    if (error) *error = written ? QString() : message;
    return written;
}

}  // namespace bundra
