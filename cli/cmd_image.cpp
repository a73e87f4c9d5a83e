// kestrix-cli image convert and palette convert.

#include <QFileInfo>

#include "cli_args.h"
#include "commands.h"
#include "game_image.h"
#include "memory_stream.h"
#include "palette.h"
#include "picture_files.h"

namespace cli {
namespace {

// quarn1 / quarn2 or a palette file; any failure ends the command.
pictor::Palette paletteOrThrow(const QString& source)
{
    QString name = source;
    if (source == QLatin1String("quarn1")) name = QString::fromLatin1(pictor::kQuarn1Palette);
    if (source == QLatin1String("quarn2")) name = QString::fromLatin1(pictor::kQuarn2Palette);
    const pictor::PaletteLoad load = pictor::LoadPalette(name);
    switch (load.status) {
    case pictor::PaletteLoad::Status::Loaded:
        return load.palette;
    case pictor::PaletteLoad::Status::Nothing:
        throw Failure{QStringLiteral("%1: no such palette file").arg(source)};
    case pictor::PaletteLoad::Status::Invalid:
        throw Failure{withDetail(load.error, source)};
    case pictor::PaletteLoad::Status::Error:
        throw Failure{namingFile(load.error, source)};
    }
    throw Failure{QStringLiteral("%1: the palette could not be loaded").arg(source)};
}

enum class Target { Bmp8, Bmp24, Gif, Jpeg, Tga, Png, Qim };

Target targetFor(const QString& format)
{
    if (format == QLatin1String("bmp8")) return Target::Bmp8;
    if (format == QLatin1String("bmp24")) return Target::Bmp24;
    if (format == QLatin1String("gif")) return Target::Gif;
    if (format == QLatin1String("jpeg")) return Target::Jpeg;
    if (format == QLatin1String("tga")) return Target::Tga;
    if (format == QLatin1String("png")) return Target::Png;
    if (format == QLatin1String("qim")) return Target::Qim;
    throw UsageError{
        QStringLiteral("--format: expected bmp8, bmp24, gif, jpeg, tga, png or qim, got \"%1\"").arg(format)};
}

Target targetForName(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("bmp")) return Target::Bmp8;
    if (suffix == QLatin1String("gif")) return Target::Gif;
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")) return Target::Jpeg;
    if (suffix == QLatin1String("tga")) return Target::Tga;
    if (suffix == QLatin1String("png")) return Target::Png;
    if (suffix == QLatin1String("qim")) return Target::Qim;
    throw UsageError{QStringLiteral("%1: the extension names no format; give --format").arg(path)};
}

bool isOrdinaryPicture(const QString& path)
{
    static const QStringList kSuffixes{"bmp", "gif", "jpg", "pcx", "tga", "png"};
    return kSuffixes.contains(QFileInfo(path).suffix().toLower());
}

pictor::CustomLayout customLayout(const QString& text)
{
    // WxH or WxH+OFFSET
    pictor::CustomLayout layout;
    const QStringList sizeAndOffset = text.split(u'+');
    const QStringList dims = sizeAndOffset.first().split(u'x', Qt::KeepEmptyParts, Qt::CaseInsensitive);
    if (sizeAndOffset.size() > 2 || dims.size() != 2)
        throw UsageError{QStringLiteral("--custom: expected WxH or WxH+OFFSET, got \"%1\"").arg(text)};
    layout.custom = true;
    layout.width = static_cast<int>(parseNumber(dims[0], "--custom", 0, 65535));
    layout.height = static_cast<int>(parseNumber(dims[1], "--custom", 0, 65535));
    layout.begin =
        sizeAndOffset.size() == 2 ? static_cast<int>(parseNumber(sizeAndOffset[1], "--custom", 0, INT32_MAX)) : 0;
    return layout;
}

int runImageConvert(const QStringList& argv)
{
    const Args args = parseArgs(argv, {{"--palette", OptionValue::Required},
                                       {"--format", OptionValue::Required},
                                       {"--custom", OptionValue::Required}});
    if (args.positional().size() != 2) throw UsageError{QStringLiteral("image convert needs IN and OUT")};
    const QString in = args.positional()[0];
    const QString out = args.positional()[1];
    const Target target = args.has("--format") ? targetFor(args.value("--format")) : targetForName(out);
    const pictor::CustomLayout layout =
        args.has("--custom") ? customLayout(args.value("--custom")) : pictor::CustomLayout{};

    QImage image;
    if (isOrdinaryPicture(in) && !layout.custom) {
        if (!QFileInfo(in).isFile()) throw Failure{QStringLiteral("%1: No such file or directory").arg(in)};
        const pictor::PictureOpen opened = pictor::openPicture(in);
        if (!opened.notice.isEmpty()) warn(opened.notice);
        if (opened.status != pictor::PictureOpen::Status::Loaded) throw Failure{namingFile(opened.error, in)};
        image = opened.image;
    } else {
        pictor::Palette palette =
            paletteOrThrow(args.has("--palette") ? args.value("--palette") : QStringLiteral("quarn1"));
        const pictor::GameImageLoad loaded = pictor::LoadGameImage(in, palette, layout);
        switch (loaded.status) {
        case pictor::GameImageLoad::Status::Nothing:
            if (loaded.paletteLoad.status == pictor::PaletteLoad::Status::Nothing && QFileInfo(in).isFile())
                throw Failure{QStringLiteral("%1: the batch file's palette does not exist").arg(in)};
            throw Failure{QStringLiteral("%1: No such file or directory").arg(in)};
        case pictor::GameImageLoad::Status::NoRule:
            throw Failure{QStringLiteral("%1: no rule gives this file's dimensions (a game picture is recognised by "
                                         "its size or a .qsp/.qsr extension; --custom WxH gives them)")
                              .arg(in)};
        case pictor::GameImageLoad::Status::Error:
            // A batch file's invalid palette comes with the palette's fixed text alone.
            if (loaded.paletteLoad.status == pictor::PaletteLoad::Status::Invalid)
                throw Failure{withDetail(loaded.error, QStringLiteral("the palette that %1 names").arg(in))};
            throw Failure{namingFile(loaded.error, in)};
        case pictor::GameImageLoad::Status::Loaded:
            break;
        }
        if (loaded.image.isNull())
            throw Failure{QStringLiteral("%1: the picture is empty (0 pixels wide or high)").arg(in)};
        image = loaded.image;
    }

    if (target == Target::Qim) {
        const pictor::QimSave saved = pictor::SaveAsQim(image, out, true);
        if (saved.status == pictor::QimSave::Status::Not8Bit)
            throw Failure{withDetail(
                saved.error,
                QStringLiteral("%1 is a %2-bit picture; %3 not written").arg(in).arg(image.depth()).arg(out))};
        if (saved.status != pictor::QimSave::Status::Written) throw Failure{namingFile(saved.error, out)};
        return kExitOk;
    }
    static const pictor::ExportFormat kFormats[] = {pictor::ExportFormat::Bmp8, pictor::ExportFormat::Bmp24,
                                                    pictor::ExportFormat::Gif,  pictor::ExportFormat::Jpeg,
                                                    pictor::ExportFormat::Tga,  pictor::ExportFormat::Png};
    QString error;
    if (!pictor::exportPicture(image, out, kFormats[static_cast<int>(target)], &error))
        throw Failure{namingFile(error, out)};
    return kExitOk;
}

int runPaletteConvert(const QStringList& argv)
{
    const Args args = parseArgs(argv, {{"--format", OptionValue::Required}});
    if (args.positional().size() != 2) throw UsageError{QStringLiteral("palette convert needs IN and OUT")};
    if (!args.has("--format")) throw UsageError{QStringLiteral("palette convert needs --format raw|riff|jasc")};
    const QString format = args.value("--format");
    if (format != QLatin1String("raw") && format != QLatin1String("riff") && format != QLatin1String("jasc"))
        throw UsageError{QStringLiteral("--format: expected raw, riff or jasc, got \"%1\"").arg(format)};
    const pictor::Palette palette = paletteOrThrow(args.positional()[0]);
    const QByteArray bytes = format == QLatin1String("raw")    ? palette.toRaw()
                             : format == QLatin1String("riff") ? palette.toRiff()
                                                               : palette.toJasc();
    QString error;
    if (!kestrix::writeFileAtomically(args.positional()[1], bytes, &error))
        throw Failure{namingFile(error, args.positional()[1])};
    return kExitOk;
}

}  // namespace

const char kImageHelp[] =
    "Usage: kestrix-cli image convert IN OUT [--palette FILE|quarn1|quarn2]\n"
    "                                 [--format bmp8|bmp24|gif|jpeg|tga|png|qim] [--custom WxH[+OFFSET]]\n"
    "\n"
    "Converts a picture. IN is a game picture (a full-screen 307,200-byte, square 65,536-byte or wide\n"
    "131,884-byte file, a .qsp/.qsr sprite, or a .qbc batch file naming a palette and a picture) or an\n"
    "ordinary picture (bmp, gif, jpg, pcx, tga, png).\n"
    "\n"
    "  --palette P   the palette for game pictures: a RAW or RIFF palette file, quarn1 (the default)\n"
    "                or quarn2 (a batch file brings its own)\n"
    "  --format F    bmp8 (the picture as it is; 8-bit for game pictures), bmp24, gif, jpeg (quality\n"
    "                100), tga (8-bit pictures), png (indexed for 8-bit pictures) or qim (a headerless\n"
    "                game image, 8-bit pictures only); by default OUT's extension decides (.bmp = bmp8)\n"
    "  --custom WxH[+OFFSET]   read IN as W x H palette indices from byte OFFSET\n";

const char kPaletteHelp[] =
    "Usage: kestrix-cli palette convert IN OUT --format raw|riff|jasc\n"
    "\n"
    "Converts a palette. IN is a RAW (768 bytes) or RIFF palette file, or quarn1 / quarn2 (the\n"
    "built-in game palettes). raw writes 768 bytes of red, green, blue; riff a 1048-byte RIFF\n"
    "palette; jasc the 259-line JASC-PAL text.\n";

int runImage(const QStringList& argv)
{
    if (argv.isEmpty() || argv.first() != QLatin1String("convert"))
        throw UsageError{QStringLiteral("image needs convert")};
    return runImageConvert(argv.mid(1));
}

int runPalette(const QStringList& argv)
{
    if (argv.isEmpty() || argv.first() != QLatin1String("convert"))
        throw UsageError{QStringLiteral("palette needs convert")};
    return runPaletteConvert(argv.mid(1));
}

}  // namespace cli
