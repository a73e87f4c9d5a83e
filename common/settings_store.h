#pragma once

// The suite's per-user settings and the per-user file-type classes, in the shape of a registry:
// keys holding named values and subkeys. Value and key names are compared without regard to case
// (a value written as "sfx" replaces one stored as "SFX"); texts, 32-bit integers and yes/no
// values (stored as the integers 1 and 0; any non-zero integer reads as yes). A key exists when
// the store holds a value or a subkey under it.
//
// Both stores are QSettings files in the native format: the settings under organisation
// "Tolvey Productions", application "Kestrix"; the classes under the same organisation,
// application "Classes" (on Windows, the user's own classes root). Tests point them at a
// folder of their own with useFolderForTesting().

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QSettings;

namespace kestrix {

// Name of the unnamed ("default") value of a key.
inline const QString kDefaultValue;

class RegistryKey {
public:
    enum class Store { Settings, Classes };

    // The suite's settings key, "\Software\Tolvey Productions\Kestrix" of the current user.
    static RegistryKey settings();
    // The root of the per-user classes store (".hqr", "Quarn_hqr_file", ...).
    static RegistryKey classesRoot();

    // Makes both stores live in `folder` from now on (QSettings' user-scope path).
    static void useFolderForTesting(const QString& folder);

    // The path of this key inside its store, "/" between names; "" for the store's root.
    const QString& path() const { return m_path; }
    // A key under this one; `name` may hold several names separated by "\" or "/".
    RegistryKey subkey(const QString& name) const;

    bool exists() const;
    QStringList valueNames() const;
    QStringList subkeyNames() const;

    bool hasValue(const QString& name) const;
    // Absent values give std::nullopt; an integer read from text that is not a number too.
    std::optional<QString> readText(const QString& name) const;
    std::optional<qint32> readInteger(const QString& name) const;
    std::optional<bool> readYesNo(const QString& name) const;

    void writeText(const QString& name, const QString& value);
    void writeInteger(const QString& name, qint32 value);
    void writeYesNo(const QString& name, bool value);
    void deleteValue(const QString& name);
    // Removes the key, its values and all its subkeys.
    void deleteKey();

    // Writes pending changes to the file; false when the store cannot be written.
    bool flush() const;

private:
    RegistryKey(Store store, QString path);
    std::unique_ptr<QSettings> open() const;
    // The stored spelling of a path or value name that matches `name` regardless of case.
    QString storedPath() const;
    QString storedValueName(QSettings& s, const QString& name) const;

    Store m_store;
    QString m_path;
};

}  // namespace kestrix
