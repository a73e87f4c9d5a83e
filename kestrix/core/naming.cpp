#include "naming.h"

#include <string_view>

#include <QFileInfo>

namespace kestrix {

const char* const MovieNames[34] = {
    "ASCENSEU.SMK", "ASRETOUR.SMK", "BALDINO.SMK", "BOAT1.SMK",   "BOAT2.SMK",  "BOAT3.SMK",   "BOAT4.SMK",
    "BU.SMK",       "CRASH.SMK",    "DARK.SMK",    "DELUGE.SMK",  "END.SMK",    "END2.SMK",    "ENFA.SMK",
    "FRAGMENT.SMK", "GROTTE.SMK",   "INTRO.SMK",   "LUNES1.SMK",  "LUNES2.SMK", "MONTCH.SMK",  "MOON.SMK",
    "PASSEUR.SMK",  "PUB1.SMK",     "PUB2.SMK",    "PUB3.SMK",    "PUB4A6.SMK", "SENDELL.SMK", "SORT.SMK",
    "SURSAUT.SMK",  "TAXI.SMK",     "TAXI_J.SMK",  "VOYAGEZ.SMK", "ZEELP.SMK",  "BABY.SMK",
};

std::optional<QString> movieName(std::uint32_t number)
{
    if (number < 1 || number > 34) return std::nullopt;
    return QString::fromLatin1(MovieNames[number - 1]);
}

void ArchiveDefaults(const QString& archivePath, bool hasIff, std::size_t rowCount, NamingConfig& naming)
{
    const QString name = QFileInfo(archivePath).fileName().toLower();
    naming.archiveFileName = name;
    naming.rowCount = rowCount;
    naming.baseName = name.left(std::max<qsizetype>(0, name.size() - 4));
    naming.extension = QStringLiteral("qdc");

    naming.movieNamesShown = name == QLatin1String("video.hqr");
    naming.useMovieNames = naming.movieNamesShown;
    if (naming.movieNamesShown) naming.extension = QStringLiteral("smk");

    naming.quarn2Vox = false;
    naming.quarn1Vox = false;
    naming.voiceBoxesShown = name.endsWith(QLatin1String(".vox"));
    if (naming.voiceBoxesShown) {
        naming.extension = hasIff ? QStringLiteral("wav") : QStringLiteral("voc");
        (hasIff ? naming.quarn2Vox : naming.quarn1Vox) = true;
    }

    if (name == QLatin1String("text.hqr"))
        naming.extension = QStringLiteral("qbt");
    else if (name == QLatin1String("samples.hqr"))
        naming.extension = hasIff ? QStringLiteral("wav") : QStringLiteral("voc");
    else if (name == QLatin1String("midi_sb.hqr") || name == QLatin1String("midi_mi.hqr"))
        naming.extension = QStringLiteral("xmi");
    else if (name == QLatin1String("spriraw.hqr"))
        naming.extension = QStringLiteral("qsr");
    else if (name == QLatin1String("sprites.hqr"))
        naming.extension = QStringLiteral("qsp");
    else if (name == QLatin1String("flasamp.hqr"))
        naming.extension = QStringLiteral("voc");
}

QString ClassifyEntry(const std::uint8_t* bytes, std::size_t size, std::uint32_t number, const QString& archiveFileName)
{
    QString ext;
    const std::string_view view(reinterpret_cast<const char*>(bytes), size);
    if (view.find("XMIDFORM") != std::string_view::npos) ext = QStringLiteral("xmi");
    if (view.find("SMK") != std::string_view::npos) ext = QStringLiteral("smk");
    if (size == 768) ext = QStringLiteral("pal");
    if (size == 65536 || size == 307200) ext = QStringLiteral("qim");
    if (archiveFileName == QLatin1String("text.hqr"))
        ext = number % 2 == 1 ? QStringLiteral("qdc") : QStringLiteral("qbt");
    return ext;
}

QString PadEntryNumber(const QString& number, std::size_t rowCount)
{
    const qsizetype digits = QString::number(static_cast<qulonglong>(rowCount)).size();
    return number.size() < digits ? QString(digits - number.size(), u'0') + number : number;
}

QString BuildOutputName(const NamingConfig& naming, std::uint32_t number, const std::optional<QString>& extension)
{
    if (naming.useMovieNames) {
        if (const auto movie = movieName(number)) return *movie;
    }
    const QString ext = extension && !extension->isEmpty() ? *extension : naming.extension;
    return naming.baseName + PadEntryNumber(QString::number(number), naming.rowCount) + u'.' + ext;
}

QString BuildMarkerName(const NamingConfig& naming, std::uint32_t number, const QString& markerExtension)
{
    if (naming.useMovieNames) {
        if (const auto movie = movieName(number)) return QFileInfo(*movie).completeBaseName() + u'.' + markerExtension;
    }
    return BuildOutputName(naming, number, markerExtension);
}

void applyVoiceFix(std::uint8_t* bytes, std::size_t size, bool quarn2Vox, bool quarn1Vox)
{
    if (size == 0) return;
    if (quarn2Vox) bytes[0] = 0x52;  // "R" of "RIFF"
    if (quarn1Vox) bytes[0] = 0x43;  // "C" of "Creative Voice File"
}

}  // namespace kestrix
