#include "desktop_integration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <utility>

#include "memory_stream.h"
#include "settings_store.h"
#include "shell_command.h"

// The desktops that follow the freedesktop.org (XDG) conventions: every Unix but macOS.
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
#define KESTRIX_XDG_DESKTOP 1
#endif

namespace kestrix::desktop {

namespace {

const char kEntryPrefix[] = "kestrix-";
const char kDefaultSection[] = "[Default Applications]";

bool isSafeExtension(const QString& ext)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z0-9_+-]+$"));
    return pattern.match(ext).hasMatch();
}

QString xdgFolder(const char* variable, const QString& fallback)
{
    // Relative values are ignored, as the XDG base directory rules say.
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value)) return QDir::cleanPath(value);
    return QDir::homePath() + fallback;
}

QString programName(const QString& programPath)
{
    QString name = QFileInfo(programPath).fileName();
    if (name.endsWith(QLatin1String(".exe"), Qt::CaseInsensitive)) name.chop(4);
    return name;
}

// Icon name of a program ("kestrix", "pictor"): its file name in lower case, with anything that
// icon themes and desktop file names do not like turned into '-'.
QString programIconName(const QString& programPath)
{
    QString name = programName(programPath).toLower();
    static const QRegularExpression unsafe(QStringLiteral("[^a-z0-9_+-]"));
    name.replace(unsafe, QStringLiteral("-"));
    return name.isEmpty() ? QStringLiteral("program") : name;
}

#ifdef KESTRIX_XDG_DESKTOP

// The class that ".ext" names in the classes store, "" when none: the record the desktop files
// follow, read here directly so that this service needs nothing of the programs' own code.
QString associatedClass(const QString& ext)
{
    return RegistryKey::classesRoot().subkey(QLatin1Char('.') + ext).readText(kDefaultValue).value_or(QString());
}

// A fallback icon of the right family for themes without our own type icons.
QString genericIconFor(const QString& programPath)
{
    const QString name = programIconName(programPath);
    if (name == QLatin1String("kestrix")) return QStringLiteral("package-x-generic");
    if (name == QLatin1String("pictor")) return QStringLiteral("image-x-generic");
    if (name == QLatin1String("tessel")) return QStringLiteral("text-x-generic");
    return QStringLiteral("application-x-generic");
}

// Escapes for a desktop entry's string values: backslash, newline, tab, carriage return.
QString escapeValue(const QString& text)
{
    QString out;
    for (const QChar c : text) {
        if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else if (c == QLatin1Char('\t'))
            out += QStringLiteral("\\t");
        else if (c == QLatin1Char('\r'))
            out += QStringLiteral("\\r");
        else
            out += c;
    }
    return out;
}

// One Exec argument: quoted when it holds a reserved character, '%' doubled.
QString execArgument(const QString& argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool quote = argument.isEmpty();
    for (const QChar c : argument)
        if (reserved.contains(c)) quote = true;
    QString out;
    if (quote) out += QLatin1Char('"');
    for (const QChar c : argument) {
        if (quote &&
            (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\')))
            out += QLatin1Char('\\');
        out += c;
        if (c == QLatin1Char('%')) out += QLatin1Char('%');
    }
    if (quote) out += QLatin1Char('"');
    return out;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

// Writes `content` unless the file already holds it; true when the file changed.
bool writeIfChanged(const QString& path, const QByteArray& content)
{
    if (QFileInfo::exists(path) && readAll(path) == content) return false;
    QDir().mkpath(QFileInfo(path).absolutePath());
    return writeFileAtomically(path, content, nullptr);
}

QStringList readLines(const QString& path)
{
    QStringList lines = QString::fromUtf8(readAll(path)).split(QLatin1Char('\n'));
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty()) lines.removeLast();
    return lines;
}

QByteArray joinLines(const QStringList& lines)
{
    return lines.isEmpty() ? QByteArray() : (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
}

QByteArray packageXml(const QString& type, const QString& ext, const QString& comment, bool withIcon,
                      const QString& genericIcon)
{
    QString xml;
    xml += QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    xml += QStringLiteral("<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n");
    xml += QStringLiteral("  <mime-type type=\"%1\">\n").arg(type);
    xml += QStringLiteral("    <comment>%1</comment>\n").arg(comment.toHtmlEscaped());
    if (withIcon) {
        QString iconName = type;
        iconName.replace(QLatin1Char('/'), QLatin1Char('-'));
        xml += QStringLiteral("    <icon name=\"%1\"/>\n").arg(iconName);
    }
    xml += QStringLiteral("    <generic-icon name=\"%1\"/>\n").arg(genericIcon);
    xml += QStringLiteral("    <glob pattern=\"*.%1\"/>\n").arg(ext);
    xml += QStringLiteral("  </mime-type>\n</mime-info>\n");
    return xml.toUtf8();
}

QStringList mimeTypesOfEntry(const QStringList& lines)
{
    for (const QString& line : lines)
        if (line.startsWith(QLatin1String("MimeType="))) return line.mid(9).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    return {};
}

QByteArray desktopEntry(const QString& programPath, QStringList types)
{
    types.removeDuplicates();
    types.sort();
    QStringList lines;
    lines << QStringLiteral("[Desktop Entry]") << QStringLiteral("Type=Application")
          << QStringLiteral("Name=") + escapeValue(programName(programPath))
          << QStringLiteral("Exec=") + escapeValue(execArgument(programPath)) + QStringLiteral(" %f")
          << QStringLiteral("Icon=") + programIconName(programPath)
          << QStringLiteral("Terminal=false")
          // Only for opening files: the menus are an installation's business.
          << QStringLiteral("NoDisplay=true")
          << QStringLiteral("MimeType=") + types.join(QLatin1Char(';')) + QLatin1Char(';');
    return joinLines(lines);
}

// Takes `type` out of every entry of ours except `keep`; entries left with no type go.
void removeTypeFromOtherEntries(const QString& appsDir, const QString& type, const QString& keep)
{
    const QDir dir(appsDir);
    const QStringList names =
        dir.entryList({QString::fromLatin1(kEntryPrefix) + QStringLiteral("*.desktop")}, QDir::Files);
    for (const QString& name : names) {
        if (name == keep) continue;
        QStringList lines = readLines(dir.filePath(name));
        QStringList types = mimeTypesOfEntry(lines);
        if (!types.removeAll(type)) continue;
        if (types.isEmpty()) {
            QFile::remove(dir.filePath(name));
            continue;
        }
        for (QString& line : lines)
            if (line.startsWith(QLatin1String("MimeType=")))
                line = QStringLiteral("MimeType=") + types.join(QLatin1Char(';')) + QLatin1Char(';');
        writeIfChanged(dir.filePath(name), joinLines(lines));
    }
}

void addTypeToEntry(const QString& appsDir, const QString& entryName, const QString& programPath, const QString& type)
{
    const QString path = appsDir + QLatin1Char('/') + entryName;
    QStringList types = mimeTypesOfEntry(readLines(path));
    types << type;
    writeIfChanged(path, desktopEntry(programPath, types));
}

// Sets (or, with an empty entry, removes) the default application of `type` in mimeapps.list,
// leaving every other line as it is.
void setDefaultApplication(const QString& type, const QString& entryName)
{
    const QString path = configHome() + QStringLiteral("/mimeapps.list");
    if (entryName.isEmpty() && !QFileInfo::exists(path)) return;
    QStringList lines = readLines(path);
    const QString prefix = type + QLatin1Char('=');
    qsizetype section = -1;
    qsizetype sectionEnd = lines.size();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString trimmed = lines[i].trimmed();
        if (trimmed == QLatin1String(kDefaultSection)) {
            section = i;
        } else if (section >= 0 && trimmed.startsWith(QLatin1Char('['))) {
            sectionEnd = i;
            break;
        }
    }
    if (section >= 0) {
        for (qsizetype i = sectionEnd - 1; i > section; --i)
            if (lines[i].trimmed().startsWith(prefix)) {
                lines.removeAt(i);
                --sectionEnd;
            }
    }
    if (!entryName.isEmpty()) {
        const QString line = prefix + entryName + QLatin1Char(';');
        if (section < 0) {
            if (!lines.isEmpty()) lines << QString();
            lines << QString::fromLatin1(kDefaultSection) << line;
        } else {
            // After the section's last line, before the blank lines that part it from the next.
            qsizetype at = sectionEnd;
            while (at > section + 1 && lines[at - 1].trimmed().isEmpty()) --at;
            lines.insert(at, line);
        }
    }
    writeIfChanged(path, joinLines(lines));
}

// Open MimeUpdateBatch objects, and the MIME folders they still have to rebuild.
int g_batchDepth = 0;
QStringList& pendingMimeDirs()
{
    static QStringList dirs;
    return dirs;
}

void runUpdateMimeDatabase(const QString& mimeDir)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
    if (tool.isEmpty()) return;
    QProcess process;
    // Its note that the folder is not on the search path (tests) is of no use to anyone.
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(tool, {mimeDir});
    if (!process.waitForFinished(60000)) process.kill();
    process.waitForFinished(1000);
}

void updateMimeDatabase(const QString& mimeDir)
{
    if (g_batchDepth == 0) {
        runUpdateMimeDatabase(mimeDir);
    } else if (!pendingMimeDirs().contains(mimeDir)) {
        pendingMimeDirs().append(mimeDir);
    }
}

#endif  // KESTRIX_XDG_DESKTOP

}  // namespace

MimeUpdateBatch::MimeUpdateBatch()
{
#ifdef KESTRIX_XDG_DESKTOP
    ++g_batchDepth;
#endif
}

MimeUpdateBatch::~MimeUpdateBatch()
{
#ifdef KESTRIX_XDG_DESKTOP
    if (--g_batchDepth > 0) return;
    const QStringList dirs = std::exchange(pendingMimeDirs(), {});
    for (const QString& dir : dirs) runUpdateMimeDatabase(dir);
#endif
}

QString mimeTypeFor(const QString& extension)
{
    if (!isSafeExtension(extension)) return {};
    return QStringLiteral("application/x-quarn-") + extension.toLower();
}

QString desktopEntryFor(const QString& programPath)
{
    if (programPath.isEmpty()) return {};
    return QString::fromLatin1(kEntryPrefix) + programIconName(programPath) + QStringLiteral(".desktop");
}

QString dataHome()
{
    return xdgFolder("XDG_DATA_HOME", QStringLiteral("/.local/share"));
}

QString configHome()
{
    return xdgFolder("XDG_CONFIG_HOME", QStringLiteral("/.config"));
}

void syncExtension(const QString& extension)
{
#ifdef KESTRIX_XDG_DESKTOP
    const QString type = mimeTypeFor(extension);
    if (type.isEmpty()) return;
    const QString ext = extension.toLower();
    const QString mimeDir = dataHome() + QStringLiteral("/mime");
    const QString packagePath =
        mimeDir + QStringLiteral("/packages/") + QString::fromLatin1(kEntryPrefix) + ext + QStringLiteral(".xml");
    const QString appsDir = dataHome() + QStringLiteral("/applications");

    const QString className = associatedClass(ext);
    QString program;
    bool packageChanged = false;
    if (className.isEmpty()) {
        packageChanged = QFile::remove(packagePath);
    } else {
        const RegistryKey cls = RegistryKey::classesRoot().subkey(className);
        const RegistryKey shell = cls.subkey(QStringLiteral("shell"));
        QString verb = shell.readText(kDefaultValue).value_or(QString());
        if (verb.isEmpty()) verb = QStringLiteral("open");
        program = ProgramOfCommand(
            shell.subkey(verb).subkey(QStringLiteral("command")).readText(kDefaultValue).value_or(QString()));
        const QString description = cls.readText(kDefaultValue).value_or(QString());
        const bool withIcon =
            !cls.subkey(QStringLiteral("DefaultIcon")).readText(kDefaultValue).value_or(QString()).isEmpty();
        packageChanged = writeIfChanged(
            packagePath,
            packageXml(type, ext, description.isEmpty() ? className : description, withIcon, genericIconFor(program)));
    }

    const QString entryName = desktopEntryFor(program);
    removeTypeFromOtherEntries(appsDir, type, entryName);
    if (!entryName.isEmpty()) addTypeToEntry(appsDir, entryName, program, type);
    setDefaultApplication(type, entryName);
    if (packageChanged) updateMimeDatabase(mimeDir);
#else
    Q_UNUSED(extension);
#endif
}

}  // namespace kestrix::desktop
