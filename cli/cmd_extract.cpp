// kestrix-cli extract and pack.

#include <algorithm>

#include <QDir>
#include <QFileInfo>

#include "archive_builder.h"
#include "cli_args.h"
#include "commands.h"
#include "extraction.h"
#include "folder_items.h"
#include "hqr_archive.h"
#include "naming.h"
#include "operation_observer.h"

namespace cli {
namespace {

// What `extract` was asked to do, read from its arguments.
struct ExtractRequest {
    enum class Selection { All, Rows, Range };

    QString archive;
    QString outputDir;
    kestrix::ScanOptions scan;
    Selection selection = Selection::All;
    QString rows;  // "1,3,5-7" with Selection::Rows
    std::uint32_t rangeFrom = 0, rangeTo = 0;
    Args args;  // for the naming overrides, applied once the archive's defaults are known
};

// Per-entry problems and notices become warnings on stderr. The notice about a compressed entry
// too large to expand is followed by the entry and the command that expands it; the row comes
// from the list position the extraction shows while it works on it.
class WarningObserver : public kestrix::OperationObserver {
public:
    WarningObserver(const ExtractRequest& request, const kestrix::ArchiveScan& scan,
                    const kestrix::NamingConfig& naming)
        : m_request(request), m_scan(scan), m_naming(naming)
    {
    }

    void statusText(int panel, const QString& text) override
    {
        if (panel == 1) m_position = text.toULongLong();
    }
    void notice(const QString& text) override
    {
        if (text == QLatin1String(kestrix::kLargeCompressedNotice) && m_position >= 1 &&
            m_position <= m_scan.rows.size())
            warn(withDetail(text, largeEntryDetail(m_scan.rows[m_position - 1])));
        else
            warn(text);
    }
    void problem(const QString& text) override { warn(text); }

private:
    QString largeEntryDetail(const kestrix::EntryRow& row) const
    {
        const QString copy = QDir(m_request.outputDir).filePath(kestrix::BuildOutputName(m_naming, row.number));
        return QStringLiteral(
                   "entry %1 at offset %2 (%3 stored bytes, type %4, %5 expanded) was copied as it is to "
                   "%6; to expand it run kestrix-cli rip %7 -o %8 --offset %9 --size %10 --type %11 "
                   "--disk-size %12")
            .arg(row.number)
            .arg(row.offset)
            .arg(row.archiveSize)
            .arg(kestrix::typeNumber(row.type))
            .arg(row.diskSize)
            .arg(copy, shellWord(m_request.archive), shellWord(copy))
            .arg(static_cast<std::uint64_t>(row.offset) + kestrix::kEntryHeaderSize)
            .arg(row.archiveSize)
            .arg(kestrix::typeNumber(row.type))
            .arg(row.diskSize);
    }

    const ExtractRequest& m_request;
    const kestrix::ArchiveScan& m_scan;
    const kestrix::NamingConfig& m_naming;
    std::uint64_t m_position = 0;  // 1-based list position of the row being extracted
};

// "1,3,5-7" into 0-based list indexes; positions outside 1 .. rowCount fail.
std::vector<std::size_t> parseRows(const QString& text, std::size_t rowCount, const QString& archive)
{
    std::vector<std::size_t> indexes;
    for (const QString& part : text.split(u',')) {
        const QStringList ends = part.trimmed().split(u'-');
        if (ends.size() > 2 || ends.first().isEmpty())
            throw UsageError{QStringLiteral("--rows: expected positions such as 1,3,5-7, got \"%1\"").arg(text)};
        const std::int64_t from = parseNumber(ends.first(), "--rows", 1, INT32_MAX);
        const std::int64_t to = ends.size() == 2 ? parseNumber(ends.last(), "--rows", 1, INT32_MAX) : from;
        if (to < from) throw UsageError{QStringLiteral("--rows: %1 runs backwards").arg(part)};
        if (static_cast<std::uint64_t>(to) > rowCount)
            throw Failure{
                QStringLiteral("--rows: position %1 is beyond the %2 rows of %3").arg(to).arg(rowCount).arg(archive)};
        for (std::int64_t p = from; p <= to; ++p) indexes.push_back(static_cast<std::size_t>(p - 1));
    }
    return indexes;
}

ExtractRequest parseExtractOptions(const QStringList& argv)
{
    ExtractRequest request;
    const Args args = parseArgs(argv, {{"-o", OptionValue::Required},
                                       {"--rows", OptionValue::Required},
                                       {"--range", OptionValue::Required},
                                       {"--smart-ext", OptionValue::None},
                                       {"--batch-files", OptionValue::None},
                                       {"--entry-numbers", OptionValue::None},
                                       {"--keep-doubles", OptionValue::None},
                                       {"--base", OptionValue::Required},
                                       {"--ext", OptionValue::Required},
                                       {"--movie-names", OptionValue::None},
                                       {"--no-movie-names", OptionValue::None},
                                       {"--vox1", OptionValue::None},
                                       {"--vox2", OptionValue::None},
                                       {"--no-vox", OptionValue::None}});
    if (args.positional().size() != 1) throw UsageError{QStringLiteral("extract needs exactly one ARCHIVE")};
    if (args.has("--rows") && args.has("--range"))
        throw UsageError{QStringLiteral("--rows and --range exclude each other")};
    if (args.has("--movie-names") && args.has("--no-movie-names"))
        throw UsageError{QStringLiteral("--movie-names and --no-movie-names exclude each other")};
    if (args.has("--no-vox") && (args.has("--vox1") || args.has("--vox2")))
        throw UsageError{QStringLiteral("--no-vox excludes --vox1 and --vox2")};
    if (args.has("--range")) {
        const QStringList ends = args.value("--range").split(u'-');
        if (ends.size() != 2)
            throw UsageError{QStringLiteral("--range: expected FROM-TO, got \"%1\"").arg(args.value("--range"))};
        request.rangeFrom = static_cast<std::uint32_t>(parseNumber(ends[0], "--range", 0, UINT32_MAX));
        request.rangeTo = static_cast<std::uint32_t>(parseNumber(ends[1], "--range", 0, UINT32_MAX));
        if (request.rangeTo < request.rangeFrom)
            throw UsageError{QStringLiteral("--range: %1 runs backwards").arg(args.value("--range"))};
        request.selection = ExtractRequest::Selection::Range;
    } else if (args.has("--rows")) {
        request.rows = args.value("--rows");
        request.selection = ExtractRequest::Selection::Rows;
    }
    request.archive = args.positional().first();
    request.outputDir = args.has("-o") ? args.value("-o") : QStringLiteral(".");
    request.scan.useEntryNumbers = args.has("--entry-numbers");
    request.scan.keepDoubles = args.has("--keep-doubles");
    request.args = args;
    return request;
}

kestrix::LoadedArchive loadArchive(const ExtractRequest& request)
{
    kestrix::LoadedArchive loaded;
    QString error;
    if (!kestrix::loadArchiveFile(request.archive, request.scan, nullptr, &loaded, &error))
        throw Failure{namingFile(error, request.archive)};
    return loaded;
}

// The archive's defaults, then the flags that override them.
kestrix::NamingConfig namingFor(const ExtractRequest& request, const kestrix::ArchiveScan& scan)
{
    const Args& args = request.args;
    kestrix::NamingConfig naming;
    kestrix::ArchiveDefaults(request.archive, scan.hasIff, scan.rows.size(), naming);
    if (args.has("--base")) naming.baseName = args.value("--base");
    if (args.has("--ext")) naming.extension = args.value("--ext");
    naming.smartExtension = args.has("--smart-ext");
    naming.createBatchFiles = args.has("--batch-files");
    if (args.has("--movie-names")) naming.useMovieNames = true;
    if (args.has("--no-movie-names")) naming.useMovieNames = false;
    if (args.has("--vox1") || args.has("--vox2") || args.has("--no-vox")) {
        naming.quarn1Vox = args.has("--vox1");
        naming.quarn2Vox = args.has("--vox2");
    }
    return naming;
}

// The list indexes the command extracts (sorted, each once), for --rows and --range as the core
// will cut them; every row otherwise.
std::vector<std::size_t> chooseRows(const ExtractRequest& request, const kestrix::ArchiveScan& scan)
{
    std::vector<std::size_t> indexes;
    switch (request.selection) {
    case ExtractRequest::Selection::All:
        for (std::size_t i = 0; i < scan.rows.size(); ++i) indexes.push_back(i);
        break;
    case ExtractRequest::Selection::Rows:
        indexes = parseRows(request.rows, scan.rows.size(), request.archive);
        std::sort(indexes.begin(), indexes.end());
        indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
        break;
    case ExtractRequest::Selection::Range: {
        const std::uint64_t first = std::max<std::uint64_t>(request.rangeFrom, 1);
        const std::uint64_t last = std::min<std::uint64_t>(request.rangeTo, scan.rows.size());
        for (std::uint64_t p = first; p <= last; ++p) indexes.push_back(static_cast<std::size_t>(p - 1));
        break;
    }
    }
    return indexes;
}

// The refused free-space check, with what the chosen rows need and what the folder has.
QString notEnoughSpace(const ExtractRequest& request, const kestrix::ArchiveScan& scan,
                       const std::vector<std::size_t>& indexes)
{
    std::uint64_t needed = 0;
    for (std::size_t i : indexes) needed += scan.rows[i].diskSize;
    const qint64 available = kestrix::AvailableOutputBytes(request.outputDir);
    const QString free = available >= 0 ? bytesAndMegabytes(static_cast<std::uint64_t>(available)) + " free"
                                        : QStringLiteral("free space that could not be told");
    return withDetail(QString::fromLatin1(kestrix::kNotEnoughSpaceMessage),
                      QStringLiteral("%1 entries of %2 need %3, %4 has %5; nothing written")
                          .arg(indexes.size())
                          .arg(request.archive, bytesAndMegabytes(needed), request.outputDir, free));
}

kestrix::ExtractionStats runExtraction(const ExtractRequest& request, const kestrix::LoadedArchive& loaded,
                                       const kestrix::NamingConfig& naming, const std::vector<std::size_t>& indexes)
{
    WarningObserver observer(request, loaded.scan, naming);
    QString lastOutput;
    kestrix::ExtractionContext context;
    context.archive = &loaded;
    context.naming = naming;
    context.outputDir = request.outputDir;
    context.lastOutputFile = &lastOutput;
    context.observer = &observer;
    switch (request.selection) {
    case ExtractRequest::Selection::Range:
        return kestrix::ExtractRange(context, request.rangeFrom, request.rangeTo);
    case ExtractRequest::Selection::Rows:
        return kestrix::ExtractEntries(context, indexes, false);
    case ExtractRequest::Selection::All:
        break;
    }
    return kestrix::ExtractEntries(context, {}, true);
}

void printStatistics(const ExtractRequest& request, const kestrix::ExtractionStats& stats)
{
    const QStringList lines = stats.statisticsLines().mid(0, 3);
    writeOut(lines.join(u'\n') + u'\n');
    if (stats.problems > 0)
        warn(QStringLiteral("%1: %2 entries had problems").arg(request.archive).arg(stats.problems));
}

}  // namespace

const char kExtractHelp[] =
    "Usage: kestrix-cli extract ARCHIVE [-o DIR] [--rows LIST | --range FROM-TO] [options]\n"
    "\n"
    "Extracts entries, expanded, named and typed as the extractor does. The per-archive defaults\n"
    "apply first; the options below override them.\n"
    "\n"
    "  -o DIR             output folder (default: the current one; created when missing)\n"
    "  --rows LIST        extract these 1-based list positions, e.g. 1,3,5-7 (all positions = all)\n"
    "  --range FROM-TO    extract list positions FROM to TO, doubles as full copies, no markers\n"
    "                     (default: every row, with blank and double markers)\n"
    "  --entry-numbers    number entries by their slot in the table (blank markers for gaps)\n"
    "  --keep-doubles     list slots sharing an entry as rows of their own (double markers)\n"
    "  --smart-ext        choose extensions by looking at each entry's bytes\n"
    "  --batch-files      with --smart-ext: a .qbc batch file for a palette that follows an image\n"
    "  --base NAME        base of the output names (default: the archive's name)\n"
    "  --ext EXT          default extension, without dot\n"
    "  --movie-names, --no-movie-names   use (or not) the movie names of the video archive\n"
    "  --vox1, --vox2, --no-vox          the voice-file fix: Quarn 1 (\"C\"), Quarn 2 (\"R\"), none\n"
    "\n"
    "Prints \"N files extracted\", \"used X.XXX MB disk space\" and \"in S.SS seconds\".\n"
    "Problems with single entries are warnings on stderr; the extraction goes on.\n";

int runExtract(const QStringList& argv)
{
    const ExtractRequest request = parseExtractOptions(argv);
    const kestrix::LoadedArchive loaded = loadArchive(request);
    const kestrix::NamingConfig naming = namingFor(request, loaded.scan);
    const std::vector<std::size_t> indexes = chooseRows(request, loaded.scan);
    if (!QDir().mkpath(request.outputDir))
        throw Failure{QStringLiteral("%1: cannot create the folder").arg(request.outputDir)};

    const kestrix::ExtractionStats stats = runExtraction(request, loaded, naming, indexes);
    if (stats.refused) throw Failure{notEnoughSpace(request, loaded.scan, indexes)};
    if (!stats.error.isEmpty()) throw Failure{stats.error};
    printStatistics(request, stats);
    return kExitOk;
}

namespace {

// Build problems become warnings on stderr naming the item as it was given. A missing file is
// left out: the build stops on it, and the failure names the file.
class PackWarnings : public bundra::BuildObserver {
public:
    explicit PackWarnings(const QStringList& paths) : m_paths(paths) {}

    void buildProblem(bundra::BuildProblem kind, int position, const QString& text) override
    {
        if (kind == bundra::BuildProblem::FileMissing) return;
        warn(position >= 0 && position < m_paths.size() ? QStringLiteral("%1: %2").arg(m_paths[position], text) : text);
    }

private:
    const QStringList& m_paths;
};

}  // namespace

const char kPackHelp[] =
    "Usage: kestrix-cli pack OUT ITEM... [--compress 1|2]\n"
    "       kestrix-cli pack OUT --folder DIR [--group NAME] [--compress 1|2]\n"
    "\n"
    "Builds an archive from the items in the given order. A file ending in \".blank\" is a blank\n"
    "slot; a file ending in \".double\" (as the extractor writes them) makes its slot share the\n"
    "entry of the position it names; any other file becomes an entry.\n"
    "\n"
    "  --folder DIR   the files the extractor wrote into DIR, in entry-number order, markers\n"
    "                 included: a file belongs to base B when its name is B, digits, \".\" and an\n"
    "                 extension, and its number is those digits\n"
    "  --group NAME   the base to take (needed when DIR holds several); \"movies\" takes the files\n"
    "                 named after the movie-name table, in its order\n"
    "  --compress T   compress entries as type 1 (length bias 2) or type 2 (bias 3) where that makes\n"
    "                 them smaller; by default every entry is stored\n"
    "\n"
    "With --folder, two files with one number stop the command (nothing is written); batch files\n"
    "(\".qbc\") and names that fit no rule are left out and listed; a gap in the numbers is a warning.\n"
    "Problems go to stderr naming the item. \"Double is incorrect\" is a warning (the slot becomes\n"
    "blank); a missing file abandons the build, and an earlier OUT stays untouched (exit 1).\n";

namespace {

// The files of --folder by the packer window's "Add folder" rule; left-out files and gaps are warnings.
QStringList folderItems(const Args& args)
{
    const QString folder = args.value("--folder");
    if (!QFileInfo(folder).isDir()) throw Failure{QStringLiteral("%1: no such folder").arg(folder)};
    QString group;
    if (args.has("--group")) {
        group = args.value("--group");
    } else {
        const QStringList groups = bundra::FolderGroups(folder);
        if (groups.size() > 1)
            throw UsageError{QStringLiteral("%1 holds several groups, choose one with --group: %2")
                                 .arg(folder, groups.join(QStringLiteral(", ")))};
        if (groups.isEmpty())
            throw Failure{QStringLiteral("%1: no file named as the extractor names entries").arg(folder)};
        group = groups.first();
    }
    const bundra::FolderSelection selection = bundra::SelectFolderFiles(folder, group);
    if (!selection.isOk()) throw Failure{selection.error};
    for (const QString& skipped : selection.skipped) warn(QStringLiteral("left out: %1").arg(skipped));
    for (const QString& gap : selection.gaps) warn(gap);
    if (selection.paths.isEmpty()) throw Failure{QStringLiteral("%1: no file of the group \"%2\"").arg(folder, group)};
    return selection.paths;
}

}  // namespace

int runPack(const QStringList& argv)
{
    const Args args = parseArgs(argv, {{"--compress", OptionValue::Required},
                                       {"--folder", OptionValue::Required},
                                       {"--group", OptionValue::Required}});
    const bool fromFolder = args.has("--folder");
    if (args.has("--group") && !fromFolder) throw UsageError{QStringLiteral("--group needs --folder")};
    if (fromFolder && args.positional().size() != 1)
        throw UsageError{QStringLiteral("pack with --folder takes OUT and no ITEM")};
    if (args.positional().isEmpty() || (!fromFolder && args.positional().size() < 2))
        throw UsageError{QStringLiteral("pack needs OUT and at least one ITEM")};
    bundra::BuildOptions options;
    if (args.has("--compress"))
        options.compression =
            static_cast<kestrix::EntryType>(parseNumber(args.value("--compress"), "--compress", 1, 2));
    const QString output = args.positional().first();
    const QStringList paths = fromFolder ? folderItems(args) : args.positional().mid(1);

    std::vector<bundra::PackerItem> items;
    for (const QString& path : paths) {
        bundra::PackerItem item;
        QString error;
        if (!bundra::makePackerItem(path, true, &item, &error)) {
            if (QFileInfo::exists(path)) throw Failure{namingFile(error, path)};
            // Left for the builder, which reports "File does not exist" for it.
            item.path = path;
            item.size = QStringLiteral("0");
            item.reference = QString::fromLatin1(bundra::kEndReference);
        }
        items.push_back(item);
    }

    PackWarnings warnings(paths);
    bundra::BuildResult result;
    QString error;
    const bool written = bundra::BuildArchive(items, output, &warnings, options, &result, &error);
    if (!written)
        throw Failure{result.errorItem >= 0 && result.errorItem < paths.size()
                          ? namingFile(error, paths[result.errorItem])
                          : namingFile(error, output)};
    return kExitOk;
}

}  // namespace cli
