#include "FileExtFuncs.h"

#include "desktop_integration.h"
#include "settings_store.h"

namespace kestrix {

namespace {

// "hqr" and ".hqr" both name the key ".hqr"; an empty extension names no key at all.
QString extensionKeyName(const QString& extension)
{
    QString ext = extension.trimmed();
    if (ext.startsWith(QLatin1Char('.'))) ext.remove(0, 1);
    return ext.isEmpty() ? QString() : QLatin1Char('.') + ext;
}

RegistryKey classKey(const QString& className)
{
    return RegistryKey::classesRoot().subkey(className);
}

RegistryKey commandKey(const QString& className, const QString& verb)
{
    return classKey(className).subkey(QStringLiteral("shell")).subkey(verb).subkey(QStringLiteral("command"));
}

void syncDesktop(const QString& extension)
{
    const QString keyName = extensionKeyName(extension);
    if (!keyName.isEmpty()) desktop::syncExtension(keyName.mid(1));
}

}  // namespace

QString AssociatedClass(const QString& extension)
{
    const QString keyName = extensionKeyName(extension);
    if (keyName.isEmpty()) return {};
    return RegistryKey::classesRoot().subkey(keyName).readText(kDefaultValue).value_or(QString());
}

bool IsAssociated(const QString& extension, const QString& program, const QString& verb)
{
    if (verb.isEmpty()) return false;
    const QString className = AssociatedClass(extension);
    if (className.isEmpty()) return false;
    const std::optional<QString> command = commandKey(className, verb).readText(kDefaultValue);
    if (!command) return false;
    return command->toLower().contains(program.toLower());
}

void Associate(const QString& extension, const QString& command, const QString& verb, const QString& className)
{
    const QString keyName = extensionKeyName(extension);
    if (keyName.isEmpty()) return;
    RegistryKey extKey = RegistryKey::classesRoot().subkey(keyName);
    QString target = extKey.readText(kDefaultValue).value_or(QString());
    if (target.isEmpty()) {
        if (className.isEmpty()) return;
        extKey.writeText(kDefaultValue, className);
        target = className;
    }
    if (!command.isEmpty() && !verb.isEmpty()) commandKey(target, verb).writeText(kDefaultValue, command);
    syncDesktop(extension);
}

void SetTypeDescription(const QString& extension, const QString& description)
{
    const QString className = AssociatedClass(extension);
    if (className.isEmpty()) return;
    classKey(className).writeText(kDefaultValue, description);
    syncDesktop(extension);
}

void SetTypeIcon(const QString& extension, const QString& iconText)
{
    const QString className = AssociatedClass(extension);
    if (className.isEmpty()) return;
    classKey(className).subkey(QStringLiteral("DefaultIcon")).writeText(kDefaultValue, iconText);
    syncDesktop(extension);
}

void SetDefaultVerb(const QString& extension, const QString& verb)
{
    const QString className = AssociatedClass(extension);
    if (className.isEmpty() || verb.isEmpty()) return;
    RegistryKey shell = classKey(className).subkey(QStringLiteral("shell"));
    if (!shell.subkey(verb).exists()) return;
    shell.writeText(kDefaultValue, verb);
    syncDesktop(extension);
}

void RemoveAssociation(const QString& extension)
{
    const QString keyName = extensionKeyName(extension);
    if (keyName.isEmpty()) return;
    RegistryKey extKey = RegistryKey::classesRoot().subkey(keyName);
    if (extKey.exists()) extKey.deleteValue(kDefaultValue);
    // Also without a link in the store: desktop files left from an earlier run go with it.
    syncDesktop(extension);
}

}  // namespace kestrix
