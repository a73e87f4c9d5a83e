#include "settings_store.h"

#include <QSettings>

namespace kestrix {

namespace {

const char kOrganisation[] = "Tolvey Productions";
const char kApplication[] = "Kestrix";
const char kClassesApplication[] = "Classes";
// The unnamed value of a key is kept under this name, which no caller uses for a named value.
const char kDefaultName[] = "(Default)";

QString storedName(const QString& name)
{
    return name.isEmpty() ? QString::fromLatin1(kDefaultName) : name;
}

QStringList splitPath(const QString& path)
{
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return p.split(QLatin1Char('/'), Qt::SkipEmptyParts);
}

QString findIgnoringCase(const QStringList& names, const QString& name)
{
    for (const QString& n : names)
        if (n.compare(name, Qt::CaseInsensitive) == 0) return n;
    return {};
}

}  // namespace

RegistryKey::RegistryKey(Store store, QString path) : m_store(store), m_path(std::move(path)) {}

RegistryKey RegistryKey::settings()
{
    return RegistryKey(Store::Settings, {});
}

RegistryKey RegistryKey::classesRoot()
{
    return RegistryKey(Store::Classes, {});
}

void RegistryKey::useFolderForTesting(const QString& folder)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
}

RegistryKey RegistryKey::subkey(const QString& name) const
{
    QStringList parts = splitPath(m_path);
    parts += splitPath(name);
    return RegistryKey(m_store, parts.join(QLatin1Char('/')));
}

std::unique_ptr<QSettings> RegistryKey::open() const
{
#ifdef Q_OS_WIN
    if (m_store == Store::Classes)
        return std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\Software\\Classes"),
                                           QSettings::NativeFormat);
#endif
    return std::make_unique<QSettings>(
        QSettings::NativeFormat, QSettings::UserScope, QString::fromLatin1(kOrganisation),
        QString::fromLatin1(m_store == Store::Settings ? kApplication : kClassesApplication));
}

QString RegistryKey::storedPath() const
{
    // Walk down the stored groups, taking each name in the spelling the store already has.
    std::unique_ptr<QSettings> s = open();
    QStringList stored;
    bool found = true;
    for (const QString& part : splitPath(m_path)) {
        const QString match = found ? findIgnoringCase(s->childGroups(), part) : QString();
        found = !match.isEmpty();
        stored << (found ? match : part);
        s->beginGroup(stored.last());
    }
    return stored.join(QLatin1Char('/'));
}

QString RegistryKey::storedValueName(QSettings& s, const QString& name) const
{
    const QString match = findIgnoringCase(s.childKeys(), storedName(name));
    return match.isEmpty() ? storedName(name) : match;
}

bool RegistryKey::exists() const
{
    if (m_path.isEmpty()) {
        std::unique_ptr<QSettings> s = open();
        return !s->allKeys().isEmpty();
    }
    std::unique_ptr<QSettings> s = open();
    s->beginGroup(storedPath());
    return !s->childKeys().isEmpty() || !s->childGroups().isEmpty();
}

QStringList RegistryKey::valueNames() const
{
    std::unique_ptr<QSettings> s = open();
    s->beginGroup(storedPath());
    QStringList names = s->childKeys();
    for (QString& n : names)
        if (n == QLatin1String(kDefaultName)) n.clear();
    return names;
}

QStringList RegistryKey::subkeyNames() const
{
    std::unique_ptr<QSettings> s = open();
    s->beginGroup(storedPath());
    return s->childGroups();
}

bool RegistryKey::hasValue(const QString& name) const
{
    std::unique_ptr<QSettings> s = open();
    s->beginGroup(storedPath());
    return !findIgnoringCase(s->childKeys(), storedName(name)).isEmpty();
}

std::optional<QString> RegistryKey::readText(const QString& name) const
{
    std::unique_ptr<QSettings> s = open();
    s->beginGroup(storedPath());
    const QString key = findIgnoringCase(s->childKeys(), storedName(name));
    if (key.isEmpty()) return std::nullopt;
    return s->value(key).toString();
}

std::optional<qint32> RegistryKey::readInteger(const QString& name) const
{
    const std::optional<QString> text = readText(name);
    if (!text) return std::nullopt;
    bool ok = false;
    const qint32 value = text->trimmed().toInt(&ok);
    if (!ok) return std::nullopt;
    return value;
}

std::optional<bool> RegistryKey::readYesNo(const QString& name) const
{
    const std::optional<qint32> value = readInteger(name);
    if (!value) return std::nullopt;
    return *value != 0;
}

void RegistryKey::writeText(const QString& name, const QString& value)
{
    std::unique_ptr<QSettings> s = open();
    s->beginGroup(storedPath());
    s->setValue(storedValueName(*s, name), value);
}

void RegistryKey::writeInteger(const QString& name, qint32 value)
{
    std::unique_ptr<QSettings> s = open();
    s->beginGroup(storedPath());
    s->setValue(storedValueName(*s, name), value);
}

void RegistryKey::writeYesNo(const QString& name, bool value)
{
    writeInteger(name, value ? 1 : 0);
}

void RegistryKey::deleteValue(const QString& name)
{
    std::unique_ptr<QSettings> s = open();
    s->beginGroup(storedPath());
    const QString key = findIgnoringCase(s->childKeys(), storedName(name));
    if (!key.isEmpty()) s->remove(key);
}

void RegistryKey::deleteKey()
{
    std::unique_ptr<QSettings> s = open();
    if (m_path.isEmpty()) {
        s->clear();
        return;
    }
    s->remove(storedPath());
}

bool RegistryKey::flush() const
{
    std::unique_ptr<QSettings> s = open();
    s->sync();
    return s->status() == QSettings::NoError;
}

}  // namespace kestrix
