// kestrix-cli: the command-line face of the suite's core, for batch work and scripting.

#include <cstdio>
#include <cstring>

#include <QCoreApplication>

#include "cli_args.h"
#include "commands.h"

namespace {

const cli::Command kCommands[] = {
    {"list", "list the entries of an archive", cli::kListHelp, cli::runList},
    {"extract", "extract entries of an archive, expanded, named and typed", cli::kExtractHelp, cli::runExtract},
    {"rip", "cut bytes out of any file, optionally expanding them", cli::kRipHelp, cli::runRip},
    {"decompress", "expand a compressed stream", cli::kDecompressHelp, cli::runDecompress},
    {"compress", "compress a file into the games' stream format", cli::kCompressHelp, cli::runCompress},
    {"savegame", "write the uncompressed copy of a Quarn 2 saved game", cli::kSavegameHelp, cli::runSavegame},
    {"search", "find bytes, a text or an integer in a file", cli::kSearchHelp, cli::runSearch},
    {"pack", "build an archive from files and markers", cli::kPackHelp, cli::runPack},
    {"textbank", "dump a text bank, or build one from a list of texts", cli::kTextbankHelp, cli::runTextbank},
    {"image", "convert a game picture or an ordinary picture", cli::kImageHelp, cli::runImage},
    {"palette", "convert a palette to RAW, RIFF or JASC", cli::kPaletteHelp, cli::runPalette},
};

QByteArray overview()
{
    QByteArray text =
        "Usage: kestrix-cli COMMAND [ARGUMENTS]\n"
        "\n"
        "Works with the resource archives of Quarn 1 and Quarn 2 from the command line.\n"
        "\n"
        "Commands:\n";
    for (const cli::Command& c : kCommands) text += "  " + QByteArray(c.name).leftJustified(12, ' ') + c.summary + '\n';
    text +=
        "\n"
        "kestrix-cli COMMAND --help describes a command's options.\n"
        "Exit status: 0 done, 1 the operation failed or found nothing, 2 wrong usage.\n";
    return text;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();

    if (args.isEmpty()) {
        std::fputs(overview().constData(), stderr);
        return cli::kExitUsage;
    }
    const QString name = args.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") || name == QLatin1String("help")) {
        cli::writeOut(overview());
        return cli::kExitOk;
    }
    if (name == QLatin1String("--version")) {
        cli::writeOut(QByteArray("kestrix-cli " KESTRIX_VERSION "\n"));
        return cli::kExitOk;
    }
    for (const cli::Command& c : kCommands) {
        if (name != QLatin1String(c.name)) continue;
        if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
            cli::writeOut(QByteArray(c.help));
            return cli::kExitOk;
        }
        try {
            const int code = c.run(args);
            std::fflush(stdout);
            return code;
        } catch (const cli::UsageError& e) {
            cli::warn(e.message);
            return cli::kExitUsage;
        } catch (const cli::Failure& e) {
            cli::warn(e.message);
            return cli::kExitFailed;
        } catch (const std::bad_alloc&) {
            cli::warn(QStringLiteral("out of memory"));
            return cli::kExitFailed;
        }
    }
    cli::warn(QStringLiteral("unknown command %1 (kestrix-cli --help lists the commands)").arg(name));
    return cli::kExitUsage;
}
