// kestrix-cli extract and pack.

#include <QDir>
#include <QFileInfo>

#include "archive_builder.h"
#include "cli_args.h"
#include "commands.h"
#include "extraction.h"
#include "hqr_archive.h"
#include "operation_observer.h"

namespace cli {
namespace {

// Per-entry problems and notices become warnings on stderr.
class WarningObserver : public kestrix::OperationObserver {
public:
    void notice(const QString& text) override
    {
        warn(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral(" ")));
    }
    void problem(const QString& text) override { warn(text); }
};

// "1,3,5-7" into 0-based list indexes; positions outside 1 .. rowCount fail.
std::vector<std::size_t> parseRows(const QString& text, std::size_t rowCount)
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
            throw Failure{QStringLiteral("--rows: position %1 is beyond the list's %2 rows").arg(to).arg(rowCount)};
        for (std::int64_t p = from; p <= to; ++p) indexes.push_back(static_cast<std::size_t>(p - 1));
    }
    return indexes;
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
    std::uint32_t rangeFrom = 0, rangeTo = 0;
    if (args.has("--range")) {
        const QStringList ends = args.value("--range").split(u'-');
        if (ends.size() != 2)
            throw UsageError{QStringLiteral("--range: expected FROM-TO, got \"%1\"").arg(args.value("--range"))};
        rangeFrom = static_cast<std::uint32_t>(parseNumber(ends[0], "--range", 0, UINT32_MAX));
        rangeTo = static_cast<std::uint32_t>(parseNumber(ends[1], "--range", 0, UINT32_MAX));
        if (rangeTo < rangeFrom)
            throw UsageError{QStringLiteral("--range: %1 runs backwards").arg(args.value("--range"))};
    }
    const QString archive = args.positional().first();

    kestrix::ScanOptions scanOptions;
    scanOptions.useEntryNumbers = args.has("--entry-numbers");
    scanOptions.keepDoubles = args.has("--keep-doubles");
    kestrix::ArchiveScan scan;
    QString error;
    if (!kestrix::scanArchiveFile(archive, scanOptions, nullptr, &scan, &error)) throw Failure{error};

    kestrix::NamingConfig naming;
    kestrix::ArchiveDefaults(archive, scan.hasIff, scan.rows.size(), naming);
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

    const QString outputDir = args.has("-o") ? args.value("-o") : QStringLiteral(".");
    if (!QDir().mkpath(outputDir)) throw Failure{QStringLiteral("%1: cannot create the folder").arg(outputDir)};

    WarningObserver observer;
    QString lastOutput;
    kestrix::ExtractionContext context;
    context.archivePath = archive;
    context.rows = &scan.rows;
    context.slotCount = scan.slotCount;
    context.useEntryNumbers = scanOptions.useEntryNumbers;
    context.naming = naming;
    context.outputDir = outputDir;
    context.lastOutputFile = &lastOutput;
    context.observer = &observer;

    kestrix::ExtractionStats stats;
    if (args.has("--range"))
        stats = kestrix::ExtractRange(context, rangeFrom, rangeTo);
    else if (args.has("--rows"))
        stats = kestrix::ExtractEntries(context, parseRows(args.value("--rows"), scan.rows.size()), false);
    else
        stats = kestrix::ExtractEntries(context, {}, true);

    if (stats.refused) throw Failure{QString::fromLatin1(kestrix::kNotEnoughSpaceMessage)};
    if (!stats.error.isEmpty()) throw Failure{stats.error};
    QStringList lines = stats.statisticsLines().mid(0, 3);
    writeOut(lines.join(u'\n') + u'\n');
    if (stats.problems > 0) warn(QStringLiteral("%1 entries had problems").arg(stats.problems));
    return kExitOk;
}

const char kPackHelp[] =
    "Usage: kestrix-cli pack OUT ITEM... [--compress 1|2]\n"
    "\n"
    "Builds an archive from the items in the given order. A file ending in \".blank\" is a blank\n"
    "slot; a file ending in \".double\" (as the extractor writes them) makes its slot share the\n"
    "entry of the position it names; any other file becomes an entry.\n"
    "\n"
    "  --compress T   compress entries as type 1 (length bias 2) or type 2 (bias 3) where that makes\n"
    "                 them smaller; by default every entry is stored\n"
    "\n"
    "Problems go to stderr naming the item. \"Double is incorrect\" is a warning (the slot becomes\n"
    "blank); a missing file abandons the build, and an earlier OUT stays untouched (exit 1).\n";

int runPack(const QStringList& argv)
{
    const Args args = parseArgs(argv, {{"--compress", OptionValue::Required}});
    if (args.positional().size() < 2) throw UsageError{QStringLiteral("pack needs OUT and at least one ITEM")};
    bundra::BuildOptions options;
    if (args.has("--compress"))
        options.compression = static_cast<int>(parseNumber(args.value("--compress"), "--compress", 1, 2));
    const QString output = args.positional().first();
    const QStringList paths = args.positional().mid(1);

    std::vector<bundra::PackerItem> items;
    for (const QString& path : paths) {
        bundra::PackerItem item;
        QString error;
        if (!bundra::makePackerItem(path, true, &item, &error)) {
            if (QFileInfo::exists(path)) throw Failure{error};
            // Left for the builder, which reports "File does not exist" for it.
            item.path = path;
            item.size = QStringLiteral("0");
            item.reference = QString::fromLatin1(bundra::kEndReference);
        }
        items.push_back(item);
    }

    const bundra::BuildResult result = bundra::BuildArchive(
        items, output,
        [&](const QString& text, bundra::ReportKind kind, int item) {
            if (kind != bundra::ReportKind::Problem) return;
            if (text == QLatin1String("File does not exist")) return;  // reported with the failure below
            warn(item >= 0 ? QStringLiteral("%1: %2").arg(paths[item], text) : text);
        },
        options);
    if (!result.written) throw Failure{result.error};
    return kExitOk;
}

}  // namespace cli
