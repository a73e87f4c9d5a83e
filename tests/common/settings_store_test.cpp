// The registry-shaped settings stores: names without case, typed values, keys that exist only
// when they hold something, subkeys, and the files they live in.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "settings_store.h"
#include "suite_settings.h"

using kestrix::RegistryKey;

namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { RegistryKey::useFolderForTesting(m_dir.path()); }
    void TearDown() override
    {
        RegistryKey::settings().deleteKey();
        RegistryKey::classesRoot().deleteKey();
    }
    QTemporaryDir m_dir;
};

TEST_F(SettingsStoreTest, NamesAreComparedWithoutCase)
{
    RegistryKey key = RegistryKey::settings();
    key.writeYesNo(QStringLiteral("SFX"), true);
    key.writeYesNo(QStringLiteral("sfx"), false);  // replaces, does not add
    EXPECT_EQ(key.valueNames(), QStringList{QStringLiteral("SFX")});
    EXPECT_EQ(key.readYesNo(QStringLiteral("Sfx")), false);
    EXPECT_TRUE(key.hasValue(QStringLiteral("sFX")));

    key.subkey(QStringLiteral("tb")).writeText(QStringLiteral("Bar"), QStringLiteral("1"));
    EXPECT_EQ(key.subkey(QStringLiteral("TB")).readText(QStringLiteral("bar")), QStringLiteral("1"));
    EXPECT_EQ(key.subkeyNames(), QStringList{QStringLiteral("tb")});
}

TEST_F(SettingsStoreTest, ValuesKeepTheirTypesAndAbsentOnesReadAsNothing)
{
    RegistryKey key = RegistryKey::settings();
    EXPECT_FALSE(key.exists());  // opening without creating
    EXPECT_FALSE(key.readText(QStringLiteral("Default Output")).has_value());
    EXPECT_FALSE(key.readYesNo(QStringLiteral("Show Info")).has_value());

    key.writeText(QStringLiteral("Default Output"), QStringLiteral("/home/ann/out/"));
    key.writeInteger(QStringLiteral("File Explorer View"), -3);
    key.writeInteger(QStringLiteral("Odd"), 7);
    key.writeText(QStringLiteral("Word"), QStringLiteral("seven"));
    EXPECT_TRUE(key.exists());
    EXPECT_EQ(key.readText(QStringLiteral("default output")), QStringLiteral("/home/ann/out/"));
    EXPECT_EQ(key.readInteger(QStringLiteral("File Explorer View")), -3);
    EXPECT_EQ(key.readYesNo(QStringLiteral("Odd")), true);  // any non-zero integer is yes
    EXPECT_FALSE(key.readInteger(QStringLiteral("Word")).has_value());
    EXPECT_FALSE(key.readYesNo(QStringLiteral("Word")).has_value());

    key.deleteValue(QStringLiteral("WORD"));
    EXPECT_FALSE(key.hasValue(QStringLiteral("Word")));
}

TEST_F(SettingsStoreTest, DefaultValuesSubkeysAndDeletingKeys)
{
    RegistryKey root = RegistryKey::classesRoot();
    root.subkey(QStringLiteral(".hqr")).writeText(kestrix::kDefaultValue, QStringLiteral("Quarn_hqr_file"));
    root.subkey(QStringLiteral("Quarn_hqr_file\\shell\\open\\command"))
        .writeText({}, QStringLiteral("/opt/k/Kestrix \"%1\""));
    EXPECT_EQ(root.subkey(QStringLiteral(".HQR")).readText({}), QStringLiteral("Quarn_hqr_file"));
    EXPECT_EQ(root.subkey(QStringLiteral("quarn_hqr_file/Shell/Open/Command")).readText({}),
              QStringLiteral("/opt/k/Kestrix \"%1\""));
    EXPECT_EQ(root.subkey(QStringLiteral(".hqr")).valueNames(), QStringList{QString()});
    EXPECT_TRUE(root.subkey(QStringLiteral("Quarn_hqr_file\\shell")).exists());
    EXPECT_FALSE(root.subkey(QStringLiteral("Quarn_hqr_file\\DefaultIcon")).exists());

    root.subkey(QStringLiteral("quarn_HQR_file")).deleteKey();
    EXPECT_FALSE(root.subkey(QStringLiteral("Quarn_hqr_file\\shell\\open\\command")).exists());
    EXPECT_TRUE(root.subkey(QStringLiteral(".hqr")).exists());
    // The classes are a store of their own.
    EXPECT_FALSE(RegistryKey::settings().exists());
}

TEST_F(SettingsStoreTest, TheStoresAreFilesInTheUsersFolder)
{
    RegistryKey::settings().writeYesNo(QStringLiteral("SFX"), true);
    RegistryKey::classesRoot().subkey(QStringLiteral(".qim")).writeText({}, QStringLiteral("Quarn_qim_file"));
    ASSERT_TRUE(RegistryKey::settings().flush());
    ASSERT_TRUE(RegistryKey::classesRoot().flush());
    const QString settingsFile = m_dir.filePath(QStringLiteral("Tolvey Productions/Kestrix.conf"));
    ASSERT_TRUE(QFile::exists(settingsFile));
    QSettings raw(settingsFile, QSettings::IniFormat);
    EXPECT_EQ(raw.value(QStringLiteral("SFX")).toInt(), 1);
    EXPECT_TRUE(QFile::exists(m_dir.filePath(QStringLiteral("Tolvey Productions/Classes.conf"))));
}

}  // namespace

namespace {

TEST_F(SettingsStoreTest, SuiteSettingsTakeTheirDefaultsWhereAbsent)
{
    using namespace kestrix::settings;
    const SuiteSettings none = ReadSuiteSettings();
    EXPECT_FALSE(none.keyExisted);
    EXPECT_FALSE(RegistryKey::settings().exists());  // reading did not create it
    EXPECT_EQ(none.defaultOutput, ProgramFolder());
    EXPECT_TRUE(none.defaultOutput.endsWith(QLatin1Char('/')));
    EXPECT_EQ(none.defaultStartUp, ProgramFolder());
    EXPECT_EQ(none.defaultPalette, QStringLiteral("#resource{quarn1}"));
    EXPECT_TRUE(none.showInfo);
    EXPECT_FALSE(none.sfx || none.hideFileExplorer || none.traceFileExplorer || none.promptForFile ||
                 none.deleteFileAfterRun);
    EXPECT_FALSE(none.fileExplorerView || none.fileSorting || none.version);

    RegistryKey key = RegistryKey::settings();
    key.writeText(QStringLiteral("default output"), QStringLiteral("/data/out/"));
    key.writeText(QStringLiteral("Default Palette"), QStringLiteral("/data/p.pal"));
    key.writeInteger(QStringLiteral("SFX"), 2);
    key.writeYesNo(QStringLiteral("Show Info"), false);
    key.writeInteger(QStringLiteral("File Explorer View"), 2);
    key.writeText(QStringLiteral("version"), QStringLiteral("2.0 beta"));
    const SuiteSettings stored = ReadSuiteSettings();
    EXPECT_TRUE(stored.keyExisted);
    EXPECT_EQ(stored.defaultOutput, QStringLiteral("/data/out/"));
    EXPECT_EQ(stored.defaultStartUp, ProgramFolder());
    EXPECT_EQ(stored.defaultPalette, QStringLiteral("/data/p.pal"));
    EXPECT_TRUE(stored.sfx);
    EXPECT_FALSE(stored.showInfo);
    EXPECT_EQ(stored.fileExplorerView, 2);
    EXPECT_EQ(stored.version, QStringLiteral("2.0 beta"));
}

}  // namespace
