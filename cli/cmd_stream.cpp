// kestrix-cli decompress, compress and savegame.

#include "cli_args.h"
#include "commands.h"
#include "compress.h"
#include "decompress.h"
#include "memory_stream.h"
#include "saved_game.h"

namespace cli {
namespace {

std::uint8_t biasOption(const Args& args)
{
    if (!args.has("--bias")) return 2;
    return static_cast<std::uint8_t>(parseNumber(args.value("--bias"), "--bias", 2, 3));
}

kestrix::MemoryStream loadOrThrow(const QString& path)
{
    kestrix::MemoryStream stream;
    QString error;
    if (!stream.loadFromFile(path, &error)) throw Failure{error};
    return stream;
}

void saveOrThrow(const QString& path, const void* data, std::size_t size)
{
    QString error;
    if (!kestrix::writeFileAtomically(path, data, size, &error)) throw Failure{error};
}

}  // namespace

const char kDecompressHelp[] =
    "Usage: kestrix-cli decompress IN OUT --size N [--bias 2|3]\n"
    "\n"
    "Expands the whole of IN as one compressed stream into exactly N bytes in OUT.\n"
    "\n"
    "  --size N     the expanded size (required)\n"
    "  --bias B     copy length bias: 2 for entry type 1 and saved games (default), 3 for type 2\n"
    "\n"
    "A damaged stream still writes N bytes (the rest zero) and warns. A size beyond what IN can\n"
    "possibly produce (more than 9 x its size + 144) is refused and nothing is written.\n";

int runDecompress(const QStringList& argv)
{
    const Args args = parseArgs(argv, {{"--size", OptionValue::Required}, {"--bias", OptionValue::Required}});
    if (args.positional().size() != 2) throw UsageError{QStringLiteral("decompress needs IN and OUT")};
    if (!args.has("--size")) throw UsageError{QStringLiteral("decompress needs --size N")};
    const auto size = static_cast<std::uint64_t>(parseNumber(args.value("--size"), "--size", 0, INT64_MAX));
    const std::uint8_t bias = biasOption(args);
    const QString in = args.positional()[0];
    const QString out = args.positional()[1];

    const kestrix::MemoryStream source = loadOrThrow(in);
    if (size > varnel::maxExpandedSize(source.size()))
        throw Failure{QStringLiteral("%1: a size of %2 bytes is more than %3 compressed bytes can hold (at most "
                                     "%4); nothing written")
                          .arg(in)
                          .arg(size)
                          .arg(source.size())
                          .arg(varnel::maxExpandedSize(source.size()))};
    kestrix::MemoryStream expanded;
    const varnel::DecodeResult result = varnel::decompressInto(expanded, source.data(), source.size(), size, bias);
    saveOrThrow(out, expanded.data(), expanded.size());
    if (result.isDamaged())
        warn(QStringLiteral("%1: damaged stream: %2; the rest of %3 is zero")
                 .arg(in, varnel::describeDecodeProblem(result, size, source.size()), out));
    return kExitOk;
}

const char kCompressHelp[] =
    "Usage: kestrix-cli compress IN OUT [--bias 2|3]\n"
    "\n"
    "Compresses IN into OUT; `kestrix-cli decompress OUT X --size (size of IN)` gives IN back.\n"
    "\n"
    "  --bias B     copy length bias: 2 for entry type 1 and saved games (default), 3 for type 2\n";

int runCompress(const QStringList& argv)
{
    const Args args = parseArgs(argv, {{"--bias", OptionValue::Required}});
    if (args.positional().size() != 2) throw UsageError{QStringLiteral("compress needs IN and OUT")};
    const std::uint8_t bias = biasOption(args);
    const QString in = args.positional()[0];
    const kestrix::MemoryStream source = loadOrThrow(in);
    if (source.size() > varnel::kMaxCompressInput)
        throw Failure{QStringLiteral("%1: too large to compress (%2 bytes)").arg(in).arg(source.size())};
    const std::vector<std::uint8_t> packed = varnel::compress(source.data(), source.size(), bias);
    saveOrThrow(args.positional()[1], packed.data(), packed.size());
    return kExitOk;
}

const char kSavegameHelp[] =
    "Usage: kestrix-cli savegame FILE\n"
    "\n"
    "Writes the uncompressed copy of a compressed Quarn 2 saved game beside it, named \"$\" + its\n"
    "file name, and prints the copy's path. FILE itself is never changed. Exit 1 when nothing was\n"
    "written; the message says why: FILE is not a compressed saved game, is damaged beyond use,\n"
    "cannot be read, or the copy cannot be written.\n";

namespace {

// Why a saved game gave no copy, in front of the message that names the file.
QString nothingWrittenReason(varnel::SavedGameResult::Status status)
{
    using Status = varnel::SavedGameResult::Status;
    switch (status) {
    case Status::Unreadable:
        return QStringLiteral("cannot read the saved game: ");
    case Status::Unwritable:
        return QStringLiteral("cannot write the copy: ");
    case Status::NotCompressed:  // the message says "not a compressed saved game" itself
    case Status::Damaged:        // and "damaged saved game"
    case Status::Written:
    case Status::WrittenDamaged:
        break;
    }
    return {};
}

}  // namespace

int runSavegame(const QStringList& argv)
{
    const Args args = parseArgs(argv, {});
    if (args.positional().size() != 1) throw UsageError{QStringLiteral("savegame needs exactly one FILE")};
    const varnel::SavedGameResult result = varnel::decompressSavedGame(args.positional().first());
    if (!result.isWritten()) throw Failure{nothingWrittenReason(result.status) + result.error};
    writeOut(result.outputPath + u'\n');
    if (result.status == varnel::SavedGameResult::Status::WrittenDamaged) warn(result.error);
    return kExitOk;
}

}  // namespace cli
