// kestrix-cli list, rip and search.

#include <vector>

#include <QFile>

#include "StreamSearch.h"
#include "cli_args.h"
#include "commands.h"
#include "cp1252.h"
#include "hqr_archive.h"
#include "memory_stream.h"
#include "rip.h"

namespace cli {
const char kListHelp[] =
    "Usage: kestrix-cli list ARCHIVE [--entry-numbers] [--keep-doubles] [--json]\n"
    "\n"
    "Lists the entries of an archive (.hqr, .vox, .ile, .obl) as the extractor's load does.\n"
    "\n"
    "  --entry-numbers  number rows by their slot in the offset table (blanks and doubles leave gaps)\n"
    "  --keep-doubles   list slots that share an entry with an earlier slot as rows of their own\n"
    "  --json           print {\"file\", \"size\", \"extractedSize\", \"estimate\", \"entries\": [{\"nr\",\n"
    "                   \"offset\", \"archiveSize\", \"diskSize\", \"type\"}]} instead of the table\n"
    "\n"
    "Text output: the header Nr, Offset, Archive size, Disk size, Type (tab-separated), then one row\n"
    "per entry. A file whose offset table never reaches the file size is not an archive (exit 1).\n";

int runList(const QStringList& argv)
{
    const Args args = parseArgs(
        argv,
        {{"--entry-numbers", OptionValue::None}, {"--keep-doubles", OptionValue::None}, {"--json", OptionValue::None}});
    if (args.positional().size() != 1) throw UsageError{QStringLiteral("list needs exactly one ARCHIVE")};
    const QString path = args.positional().first();

    kestrix::ScanOptions options;
    options.useEntryNumbers = args.has("--entry-numbers");
    options.keepDoubles = args.has("--keep-doubles");
    kestrix::ArchiveScan scan;
    QString error;
    if (!kestrix::scanArchiveFile(path, options, nullptr, &scan, &error)) throw Failure{namingFile(error, path)};

    QByteArray out;
    out.reserve(static_cast<qsizetype>(scan.rows.size()) * 40 + 128);
    if (args.has("--json")) {
        out += "{\"file\": " + jsonString(path) + ", \"size\": " + QByteArray::number(qulonglong(scan.fileSize)) +
               ", \"extractedSize\": " + QByteArray::number(qulonglong(scan.extractedSize)) +
               ", \"estimate\": " + QByteArray::number(scan.estimate) + ", \"entries\": [";
        bool first = true;
        for (const kestrix::EntryRow& row : scan.rows) {
            if (!first) out += ", ";
            first = false;
            out += "{\"nr\": " + QByteArray::number(row.number) + ", \"offset\": " + QByteArray::number(row.offset) +
                   ", \"archiveSize\": " + QByteArray::number(row.archiveSize) +
                   ", \"diskSize\": " + QByteArray::number(row.diskSize) +
                   ", \"type\": " + QByteArray::number(kestrix::typeNumber(row.type)) + "}";
        }
        out += "]}\n";
    } else {
        out += "Nr\tOffset\tArchive size\tDisk size\tType\n";
        for (const kestrix::EntryRow& row : scan.rows) {
            out += QByteArray::number(row.number) + '\t' + QByteArray::number(row.offset) + '\t' +
                   QByteArray::number(row.archiveSize) + '\t' + QByteArray::number(row.diskSize) + '\t' +
                   QByteArray::number(kestrix::typeNumber(row.type)) + '\n';
        }
    }
    writeOut(out);
    return kExitOk;
}

const char kRipHelp[] =
    "Usage: kestrix-cli rip FILE -o OUT [--offset N] [--size N] [--type 0|1|2] [--disk-size N]\n"
    "\n"
    "Cuts bytes out of any file and writes them to OUT.\n"
    "\n"
    "  -o OUT          the file to write (required)\n"
    "  --offset N      first byte to take (default 0)\n"
    "  --size N        number of bytes to take; 0 (the default) takes the whole file from its first byte\n"
    "  --type T        0 store the bytes as they are (default); 1 expand them with length bias 2;\n"
    "                  2 expand them with length bias 3\n"
    "  --disk-size N   the expanded size, required with --type 1 and 2\n";

int runRip(const QStringList& argv)
{
    const Args args = parseArgs(argv, {{"-o", OptionValue::Required},
                                       {"--offset", OptionValue::Required},
                                       {"--size", OptionValue::Required},
                                       {"--type", OptionValue::Required},
                                       {"--disk-size", OptionValue::Required}});
    if (args.positional().size() != 1) throw UsageError{QStringLiteral("rip needs exactly one FILE")};
    if (!args.has("-o")) throw UsageError{QStringLiteral("rip needs -o OUT")};

    kestrix::RipRequest request;
    request.sourcePath = args.positional().first();
    request.outputPath = args.value("-o");
    // Any file may be ripped, archives or not, so offsets and sizes are not limited to 32 bits.
    constexpr std::int64_t kMax = INT64_MAX;
    if (args.has("--offset")) request.offset = parseNumber(args.value("--offset"), "--offset", 0, kMax);
    if (args.has("--size")) request.size = parseNumber(args.value("--size"), "--size", 0, kMax);
    if (args.has("--type"))
        request.type = static_cast<kestrix::EntryType>(parseNumber(args.value("--type"), "--type", 0, 2));
    if (request.type != kestrix::EntryType::Stored) {
        if (!args.has("--disk-size"))
            throw UsageError{QStringLiteral("--type %1 needs --disk-size").arg(kestrix::typeNumber(request.type))};
        request.diskSize = parseNumber(args.value("--disk-size"), "--disk-size", 0, kMax);
    }
    kestrix::RipResult result;
    QString error;
    if (!kestrix::RipFromFile(request, &result, &error)) throw Failure{error};
    if (!result.warning.isEmpty()) warn(result.warning);
    return kExitOk;
}

const char kSearchHelp[] =
    "Usage: kestrix-cli search FILE (--text TEXT | --bytes HEX | --int VALUE) [--type T] [--from POS] [--all]\n"
    "\n"
    "Prints the offset of the first match at or after POS, one decimal number per line.\n"
    "\n"
    "  --text TEXT   search for TEXT as its Windows-1252 bytes (the games' character set)\n"
    "  --bytes HEX   search for these bytes, for example E8030000 or \"e8 03 00 00\"\n"
    "  --int VALUE   search for a 32-bit integer (signed or unsigned decimal)\n"
    "  --type T      for --text: 1 letters without regard to case, 2 exact (default), -1 and -2 the\n"
    "                same with the text reversed; for --int: 1, 2, 3 (default) bytes least\n"
    "                significant first, -1, -2, -3 most significant first\n"
    "  --from POS    start at byte POS (default 0)\n"
    "  --all         print every match, overlapping ones included\n"
    "\n"
    "Nothing found: empty output, exit 1. An invalid type: exit 2.\n";

namespace {

// What `search` was asked to find, read from its arguments.
struct SearchRequest {
    QString path;
    kestrix::SearchPattern pattern;
    QString what;  // the pattern as given, for messages: --text "aa"
    std::int64_t from = 0;
    bool all = false;
};

// The type is a signed 8-bit value; a number outside that is reported like an invalid type.
std::int8_t parseSearchType(const Args& args)
{
    if (!args.has("--type")) return args.has("--text") ? 2 : 3;
    bool ok = false;
    const qlonglong t = args.value("--type").trimmed().toLongLong(&ok);
    if (!ok) throw UsageError{QStringLiteral("--type: expected a number, got \"%1\"").arg(args.value("--type"))};
    if (t < -128 || t > 127) throw UsageError{kestrix::invalidSearchTypeMessage(static_cast<std::int8_t>(t & 0xFF))};
    return static_cast<std::int8_t>(t);
}

// The bytes to look for: the text in Windows-1252, the integer in the type's byte order, or the
// hexadecimal bytes as they are. Wrong usage and invalid types throw UsageError.
kestrix::SearchPattern buildPattern(const Args& args, std::int8_t type)
{
    kestrix::SearchPattern pattern;
    QString typeError;
    if (args.has("--text")) {
        const auto bytes = kestrix::encodeCp1252(args.value("--text"));
        if (!bytes) throw UsageError{QStringLiteral("--text has characters outside Windows-1252; use --bytes")};
        if (!kestrix::textPattern(*bytes, type, &pattern, &typeError)) throw UsageError{typeError};
    } else if (args.has("--int")) {
        const std::int64_t v = parseNumber(args.value("--int"), "--int", INT32_MIN, UINT32_MAX);
        if (!kestrix::integerPattern(static_cast<std::int32_t>(static_cast<std::uint32_t>(v)), type, &pattern,
                                     &typeError))
            throw UsageError{typeError};
    } else {
        QString hex = args.value("--bytes");
        hex.remove(u' ').remove(u':');
        if (hex.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) hex = hex.mid(2);
        const QByteArray raw = QByteArray::fromHex(hex.toLatin1());
        if (hex.isEmpty() || hex.size() % 2 != 0 || raw.size() * 2 != hex.size() ||
            raw.toHex().compare(hex.toLatin1(), Qt::CaseInsensitive) != 0)
            throw UsageError{
                QStringLiteral("--bytes: expected pairs of hexadecimal digits, got \"%1\"").arg(args.value("--bytes"))};
        pattern.bytes = raw.toStdString();
    }
    return pattern;
}

SearchRequest parseSearchOptions(const QStringList& argv)
{
    const Args args = parseArgs(argv, {{"--text", OptionValue::Required},
                                       {"--bytes", OptionValue::Required},
                                       {"--int", OptionValue::Required},
                                       {"--type", OptionValue::Required},
                                       {"--from", OptionValue::Required},
                                       {"--all", OptionValue::None}});
    if (args.positional().size() != 1) throw UsageError{QStringLiteral("search needs exactly one FILE")};
    const int kinds = int(args.has("--text")) + int(args.has("--bytes")) + int(args.has("--int"));
    if (kinds != 1) throw UsageError{QStringLiteral("search needs exactly one of --text, --bytes and --int")};
    if (args.has("--bytes") && args.has("--type"))
        throw UsageError{QStringLiteral("--type applies to --text and --int, not to --bytes")};

    SearchRequest request;
    const std::int8_t type = parseSearchType(args);
    request.pattern = buildPattern(args, type);
    for (const char* option : {"--text", "--int", "--bytes"})
        if (args.has(option)) request.what = QStringLiteral("%1 \"%2\"").arg(QLatin1String(option), args.value(option));
    if (args.has("--type")) request.what += QStringLiteral(" (type %1)").arg(type);
    request.path = args.positional().first();
    request.from = args.has("--from") ? parseNumber(args.value("--from"), "--from", 0, INT64_MAX) : 0;
    request.all = args.has("--all");
    return request;
}

// The offsets of the first match at or after the start, or with `all` of every match
// (overlapping ones included: the search goes on one byte after each match).
std::vector<std::uint64_t> findMatches(const SearchRequest& request)
{
    const auto* p = reinterpret_cast<const std::uint8_t*>(request.pattern.bytes.data());
    const std::size_t n = request.pattern.bytes.size();
    std::vector<std::uint64_t> matches;
    if (request.all) {
        kestrix::MemoryStream stream;
        QString error;
        if (!stream.loadFromFile(request.path, &error)) throw Failure{namingFile(error, request.path)};
        if (static_cast<std::uint64_t>(request.from) > stream.size()) return matches;
        stream.setPosition(static_cast<std::size_t>(request.from));
        while (kestrix::SearchStream(stream, p, n, request.pattern.compare)) {
            matches.push_back(stream.position());
            stream.setPosition(stream.position() + 1);
        }
        return matches;
    }
    QFile file(request.path);
    if (!file.open(QIODevice::ReadOnly)) throw Failure{QStringLiteral("%1: %2").arg(request.path, file.errorString())};
    if (request.from <= file.size() && file.seek(request.from) &&
        kestrix::SearchStream(file, p, n, request.pattern.compare))
        matches.push_back(static_cast<std::uint64_t>(file.pos()));
    return matches;
}

void printMatches(const SearchRequest& request, const std::vector<std::uint64_t>& matches)
{
    if (matches.empty())
        throw Failure{
            QStringLiteral("%1: %2 not found at or after byte %3").arg(request.path, request.what).arg(request.from)};
    QByteArray out;
    for (std::uint64_t offset : matches) out += QByteArray::number(qulonglong(offset)) + '\n';
    writeOut(out);
}

}  // namespace

int runSearch(const QStringList& argv)
{
    const SearchRequest request = parseSearchOptions(argv);
    printMatches(request, findMatches(request));
    return kExitOk;
}

}  // namespace cli
