// File-type associations: the classes store as the routines leave it, the twelve rows of the
// settings window, and what the desktop's own tools (xdg-mime, shared-mime-info, Qt's MIME
// database) make of the files written for them.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>

#include "FileExtFuncs.h"
#include "desktop_integration.h"
#include "file_types.h"
#include "settings_store.h"

// Readable failures: QString as text.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

using kestrix::FileTypeStates;
using kestrix::kDefaultValue;
using kestrix::RegistryKey;

namespace {

// Qt keeps its MIME database for a few seconds once read, so a fresh process of this program
// answers: with KESTRIX_MIME_PROBE=FILE-NAME it prints the type, comment and icon of that name
// and exits before any test runs.
const bool kMimeProbe = [] {
    const QByteArray name = qgetenv("KESTRIX_MIME_PROBE");
    if (name.isEmpty()) return false;
    const QMimeType type = QMimeDatabase().mimeTypeForFile(QString::fromLocal8Bit(name), QMimeDatabase::MatchExtension);
    std::printf("%s\n%s\n%s\n", qPrintable(type.name()), qPrintable(type.comment()), qPrintable(type.iconName()));
    std::fflush(stdout);
    std::_Exit(0);
}();

QString text(const char* s)
{
    return QString::fromUtf8(s);
}

std::optional<QString> defaultOf(const QString& keyPath)
{
    return RegistryKey::classesRoot().subkey(keyPath).readText(kDefaultValue);
}

void setDefault(const QString& keyPath, const QString& value)
{
    RegistryKey::classesRoot().subkey(keyPath).writeText(kDefaultValue, value);
}

FileTypeStates allRows(bool checked)
{
    FileTypeStates states{};
    states.fill(checked);
    return states;
}

class AssociationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        RegistryKey::useFolderForTesting(m_dir.filePath(QStringLiteral("store")));
        for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME"}) m_savedEnv.emplace_back(name, qgetenv(name));
        qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("data")).toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toLocal8Bit());
        m_bin = m_dir.filePath(QStringLiteral("bin"));
        m_extractor = makeProgram(m_bin, QStringLiteral("Kestrix"));
        makeProgram(m_bin, QStringLiteral("Pictor"));
        makeProgram(m_bin, QStringLiteral("Tessel"));
    }
    void TearDown() override
    {
        RegistryKey::classesRoot().deleteKey();
        for (const auto& [name, value] : m_savedEnv) {
            if (value.isNull())
                qunsetenv(name);
            else
                qputenv(name, value);
        }
    }

    // An executable script standing in for one of the programs (xdg-mime looks for the binary).
    static QString makeProgram(const QString& folder, const QString& name)
    {
        QDir().mkpath(folder);
        const QString path = folder + QLatin1Char('/') + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\nexit 0\n");
        file.close();
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
        return path;
    }

    QString program(const char* name) const { return m_bin + QLatin1Char('/') + text(name); }
    QString command(const char* name) const { return program(name) + QStringLiteral(" \"%1\""); }
    QString dataFile(const QString& name) const { return m_dir.filePath(QStringLiteral("data/") + name); }

    QTemporaryDir m_dir;
    QString m_bin;
    QString m_extractor;
    std::vector<std::pair<const char*, QByteArray>> m_savedEnv;
};

// ---- The routines on the classes store -------------------------------------------------------

TEST_F(AssociationTest, AssociateWritesTheRegistryShape)
{
    kestrix::Associate(QStringLiteral("hqr"), command("Kestrix"), QStringLiteral("open"),
                       QStringLiteral("Quarn_hqr_file"));
    kestrix::SetTypeDescription(QStringLiteral("hqr"), QStringLiteral("Quarn resource file"));
    kestrix::SetTypeIcon(QStringLiteral("hqr"), m_extractor + QStringLiteral(",1"));
    kestrix::SetDefaultVerb(QStringLiteral("hqr"), QStringLiteral("open"));

    EXPECT_EQ(defaultOf(QStringLiteral(".hqr")), QStringLiteral("Quarn_hqr_file"));
    EXPECT_EQ(defaultOf(QStringLiteral("Quarn_hqr_file")), QStringLiteral("Quarn resource file"));
    EXPECT_EQ(defaultOf(QStringLiteral("Quarn_hqr_file\\DefaultIcon")), m_extractor + QStringLiteral(",1"));
    EXPECT_EQ(defaultOf(QStringLiteral("Quarn_hqr_file\\shell")), QStringLiteral("open"));
    EXPECT_EQ(defaultOf(QStringLiteral("Quarn_hqr_file\\shell\\open\\command")), command("Kestrix"));
}

TEST_F(AssociationTest, StepsOnAnExtensionWithoutClassDoNothing)
{
    kestrix::SetTypeDescription(QStringLiteral("qim"), QStringLiteral("Quarn image"));
    kestrix::SetTypeIcon(QStringLiteral("qim"), QStringLiteral("x,1"));
    kestrix::SetDefaultVerb(QStringLiteral("qim"), QStringLiteral("open"));
    kestrix::RemoveAssociation(QStringLiteral("qim"));
    kestrix::Associate(QString(), command("Pictor"), QStringLiteral("open"), QStringLiteral("Quarn_qim_file"));
    EXPECT_FALSE(RegistryKey::classesRoot().exists());

    // A verb the class does not have is not made the default.
    kestrix::Associate(QStringLiteral("qim"), command("Pictor"), QStringLiteral("open"),
                       QStringLiteral("Quarn_qim_file"));
    kestrix::SetDefaultVerb(QStringLiteral("qim"), QStringLiteral("print"));
    EXPECT_FALSE(defaultOf(QStringLiteral("Quarn_qim_file\\shell")).has_value());
}

struct IsAssociatedCase {
    const char* name;
    const char* extensionClass;  // default value of ".hqr"; nullptr: no key
    const char* command;         // of "Quarn_hqr_file\shell\open\command"; nullptr: no key
    const char* program;
    const char* verb;
    bool expected;
};

const IsAssociatedCase kIsAssociatedCases[] = {
    {"NoExtensionKey", nullptr, "/opt/k/Kestrix \"%1\"", "/opt/k/Kestrix", "open", false},
    {"ExtensionNamesNoClass", "", "/opt/k/Kestrix \"%1\"", "/opt/k/Kestrix", "open", false},
    {"ClassWithoutCommand", "Quarn_hqr_file", nullptr, "/opt/k/Kestrix", "open", false},
    {"CommandHoldsProgram", "Quarn_hqr_file", "/opt/k/Kestrix \"%1\"", "/opt/k/Kestrix", "open", true},
    {"CaseIsIgnored", "quarn_HQR_file", "/OPT/K/KESTRIX \"%1\"", "/opt/k/Kestrix", "OPEN", true},
    {"AnotherProgram", "Quarn_hqr_file", "/usr/bin/viewer \"%1\"", "/opt/k/Kestrix", "open", false},
    {"AnotherVerb", "Quarn_hqr_file", "/opt/k/Kestrix \"%1\"", "/opt/k/Kestrix", "edit", false},
    {"EmptyVerbNamesNoCommand", "Quarn_hqr_file", "/opt/k/Kestrix \"%1\"", "", "", false},
};

class IsAssociatedTest : public AssociationTest, public ::testing::WithParamInterface<IsAssociatedCase> {};

TEST_P(IsAssociatedTest, ReadsTheStore)
{
    const IsAssociatedCase& c = GetParam();
    if (c.extensionClass) setDefault(QStringLiteral(".hqr"), text(c.extensionClass));
    if (c.command) setDefault(QStringLiteral("Quarn_hqr_file\\shell\\open\\command"), text(c.command));
    EXPECT_EQ(kestrix::IsAssociated(QStringLiteral("hqr"), text(c.program), text(c.verb)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, IsAssociatedTest, ::testing::ValuesIn(kIsAssociatedCases),
                         [](const ::testing::TestParamInfo<IsAssociatedCase>& p) { return std::string(p.param.name); });

// ---- The twelve rows -------------------------------------------------------------------------

TEST_F(AssociationTest, CheckedRowsReadBackCheckedWithTheirPrograms)
{
    FileTypeStates checked{};
    for (int i = 0; i < kestrix::kFileTypeRowCount; i += 2) checked[i] = true;  // .hqr, .ile, .qim, ...
    checked[11] = true;
    kestrix::ApplyAssociations(checked, m_extractor);
    EXPECT_EQ(kestrix::LoadAssociationStates(m_extractor), checked);

    EXPECT_EQ(defaultOf(QStringLiteral("Quarn_hqr_file\\shell\\open\\command")), command("Kestrix"));
    EXPECT_EQ(defaultOf(QStringLiteral("Quarn_qim_file\\shell\\open\\command")), command("Pictor"));
    EXPECT_EQ(defaultOf(QStringLiteral("Quarn_qim_file\\DefaultIcon")), m_extractor + QStringLiteral(",13"));
    EXPECT_EQ(defaultOf(QStringLiteral("Quarn_qim_file")), QStringLiteral("Quarn image"));
    EXPECT_EQ(defaultOf(QStringLiteral("Quarn_raw_sprite")), QStringLiteral("Quarn RAW sprite"));
    EXPECT_FALSE(defaultOf(QStringLiteral(".vox")).has_value());

    // The same store read for an extractor in another folder: no row with a program is ours.
    const FileTypeStates elsewhere = kestrix::LoadAssociationStates(QStringLiteral("/elsewhere/Kestrix"));
    for (int i = 0; i < 10; ++i) EXPECT_FALSE(elsewhere[i]) << "row " << i;
    EXPECT_TRUE(elsewhere[11]);  // linked to its class, whoever linked it
}

TEST_F(AssociationTest, QbtOpensInTesselFromTheExtractorsFolder)
{
    FileTypeStates checked{};
    checked[8] = true;
    kestrix::ApplyAssociations(checked, m_extractor);
    EXPECT_EQ(defaultOf(QStringLiteral("Quarn_text_file\\shell\\open\\command")), command("Tessel"));
    EXPECT_TRUE(kestrix::IsAssociated(QStringLiteral("qbt"), program("Tessel"), QStringLiteral("open")));
    EXPECT_FALSE(kestrix::IsAssociated(QStringLiteral("qbt"), m_extractor, QStringLiteral("open")));
}

TEST_F(AssociationTest, AnotherProgramsClassGetsOurCommandIconAndDescriptionAndKeepsItsName)
{
    setDefault(QStringLiteral(".hqr"), QStringLiteral("OtherTool.Archive"));
    setDefault(QStringLiteral("OtherTool.Archive"), QStringLiteral("Other archive"));
    setDefault(QStringLiteral("OtherTool.Archive\\DefaultIcon"), QStringLiteral("/usr/bin/other,0"));
    setDefault(QStringLiteral("OtherTool.Archive\\shell\\open\\command"), QStringLiteral("/usr/bin/other \"%1\""));

    FileTypeStates checked{};
    checked[0] = true;
    kestrix::ApplyAssociations(checked, m_extractor);

    EXPECT_EQ(defaultOf(QStringLiteral(".hqr")), QStringLiteral("OtherTool.Archive"));
    EXPECT_EQ(defaultOf(QStringLiteral("OtherTool.Archive\\shell\\open\\command")), command("Kestrix"));
    EXPECT_EQ(defaultOf(QStringLiteral("OtherTool.Archive\\DefaultIcon")), m_extractor + QStringLiteral(",1"));
    EXPECT_EQ(defaultOf(QStringLiteral("OtherTool.Archive")), QStringLiteral("Quarn resource file"));
    EXPECT_EQ(defaultOf(QStringLiteral("OtherTool.Archive\\shell")), QStringLiteral("open"));
    EXPECT_FALSE(RegistryKey::classesRoot().subkey(QStringLiteral("Quarn_hqr_file")).exists());
    EXPECT_TRUE(kestrix::LoadAssociationStates(m_extractor)[0]);
}

TEST_F(AssociationTest, UncheckingRemovesOnlyTheLink)
{
    kestrix::ApplyAssociations(allRows(true), m_extractor);
    FileTypeStates checked = allRows(true);
    checked[0] = false;
    checked[10] = false;
    kestrix::ApplyAssociations(checked, m_extractor);

    EXPECT_FALSE(defaultOf(QStringLiteral(".hqr")).has_value());
    EXPECT_FALSE(defaultOf(QStringLiteral(".q3d")).has_value());
    EXPECT_EQ(defaultOf(QStringLiteral("Quarn_hqr_file\\shell\\open\\command")), command("Kestrix"));
    EXPECT_EQ(defaultOf(QStringLiteral("Quarn_hqr_file")), QStringLiteral("Quarn resource file"));
    EXPECT_EQ(defaultOf(QStringLiteral("Quarn_3D_object")), QStringLiteral("Quarn 3D object"));
    EXPECT_EQ(kestrix::LoadAssociationStates(m_extractor), checked);
}

TEST_F(AssociationTest, AnAssociatedRowIsLeftAsItIs)
{
    // Our program, but another class, description and icon: "Set" changes none of them.
    setDefault(QStringLiteral(".pal"), QStringLiteral("My_Palettes"));
    setDefault(QStringLiteral("My_Palettes"), QStringLiteral("My palettes"));
    setDefault(QStringLiteral("My_Palettes\\DefaultIcon"), QStringLiteral("/icons/pal.png,0"));
    setDefault(QStringLiteral("My_Palettes\\shell\\open\\command"), command("Pictor") + QStringLiteral(" -dev"));

    kestrix::ApplyAssociations(allRows(true), m_extractor);
    EXPECT_EQ(defaultOf(QStringLiteral(".pal")), QStringLiteral("My_Palettes"));
    EXPECT_EQ(defaultOf(QStringLiteral("My_Palettes")), QStringLiteral("My palettes"));
    EXPECT_EQ(defaultOf(QStringLiteral("My_Palettes\\DefaultIcon")), QStringLiteral("/icons/pal.png,0"));
    EXPECT_EQ(defaultOf(QStringLiteral("My_Palettes\\shell\\open\\command")),
              command("Pictor") + QStringLiteral(" -dev"));
    EXPECT_FALSE(defaultOf(QStringLiteral("My_Palettes\\shell")).has_value());
}

TEST_F(AssociationTest, RowsWithoutProgramLinkDescribeAndWriteNoCommand)
{
    FileTypeStates checked{};
    checked[10] = checked[11] = true;
    kestrix::ApplyAssociations(checked, m_extractor);
    EXPECT_EQ(defaultOf(QStringLiteral(".q3d")), QStringLiteral("Quarn_3D_object"));
    EXPECT_EQ(defaultOf(QStringLiteral("Quarn_3D_object")), QStringLiteral("Quarn 3D object"));
    EXPECT_EQ(defaultOf(QStringLiteral("Quarn_3D_object\\DefaultIcon")), m_extractor + QStringLiteral(",6"));
    EXPECT_EQ(defaultOf(QStringLiteral("Quarn_decomp_file\\DefaultIcon")), m_extractor + QStringLiteral(",12"));
    EXPECT_FALSE(RegistryKey::classesRoot().subkey(QStringLiteral("Quarn_3D_object\\shell")).exists());
    EXPECT_FALSE(RegistryKey::classesRoot().subkey(QStringLiteral("Quarn_decomp_file\\shell")).exists());
    const FileTypeStates states = kestrix::LoadAssociationStates(m_extractor);
    EXPECT_TRUE(states[10]);
    EXPECT_TRUE(states[11]);

    // Linked to another class, the row reads unchecked.
    setDefault(QStringLiteral(".qdc"), QStringLiteral("Disassembly"));
    EXPECT_FALSE(kestrix::LoadAssociationStates(m_extractor)[11]);
}

TEST_F(AssociationTest, UncheckedRowsKeepOtherProgramsLinksAndDropOurStaleOnes)
{
    setDefault(QStringLiteral(".pal"), QStringLiteral("PaintTool.Palette"));
    setDefault(QStringLiteral("PaintTool.Palette\\shell\\open\\command"), QStringLiteral("/usr/bin/paint \"%1\""));
    setDefault(QStringLiteral(".qdc"), QStringLiteral("Disassembly"));
    // Ours from an earlier installation in another folder.
    setDefault(QStringLiteral(".hqr"), QStringLiteral("Quarn_hqr_file"));
    setDefault(QStringLiteral("Quarn_hqr_file\\shell\\open\\command"), QStringLiteral("/old/Kestrix \"%1\""));

    kestrix::ApplyAssociations(allRows(false), m_extractor);
    EXPECT_EQ(defaultOf(QStringLiteral(".pal")), QStringLiteral("PaintTool.Palette"));
    EXPECT_EQ(defaultOf(QStringLiteral(".qdc")), QStringLiteral("Disassembly"));
    EXPECT_FALSE(defaultOf(QStringLiteral(".hqr")).has_value());
}

// Each row as the settings window shows it and as "Set extentions" leaves the store, written out
// here independently of the code's own table (misspellings and backslashes are the real ones).
struct RowCase {
    const char* caption;
    const char* extension;
    const char* program;  // file name in the extractor's folder; nullptr: no program
    const char* className;
    const char* description;
    const char* icon;  // index into the extractor's icons
};

const RowCase kRowCases[] = {
    {"(.hqr) Quarn resource files", "hqr", "Kestrix", "Quarn_hqr_file", "Quarn resource file", "1"},
    {"(.vox) Quarn voice files", "vox", "Kestrix", "Quarn_vox_file", "Quarn voice file", "2"},
    {"(.ile) Quarn island files", "ile", "Kestrix", "Quarn_ile_file", "Quarn island file", "14"},
    {"(.obl) Quarn island object files", "obl", "Kestrix", "Quarn_obl_file", "Quarn island object file", "15"},
    {"(.qim) Quarn image files", "qim", "Pictor", "Quarn_qim_file", "Quarn image", "13"},
    {"(.pal) Palette files", "pal", "Pictor", "Palette_3x256_file", "3x256 Palette file", "5"},
    {"(.qsr) Quarn Raw sprites", "qsr", "Pictor", "Quarn_raw_sprite", "Quarn RAW sprite", "3"},
    {"(.qsp) Quarn sprites", "qsp", "Pictor", "Quarn_sprite", "Quarn sprite file", "4"},
    {"(.qbt) Quarn text files", "qbt", "Tessel", "Quarn_text_file", "Quarn text file", "11"},
    {"(.qbc) Image\\Palette batch file", "qbc", "Pictor", "Quarn_batch", "Quarn Image\\Palette batch file", "20"},
    {"(.q3d) Quarn 3D object", "q3d", nullptr, "Quarn_3D_object", "Quarn 3D object", "6"},
    {"(.qdc) Unkown DeCompiled file", "qdc", nullptr, "Quarn_decomp_file", "Quarn decompiled file", "12"},
};

class RowTest : public AssociationTest, public ::testing::WithParamInterface<int> {};

TEST_P(RowTest, CaptionAndWhatSetExtentionsWrites)
{
    const int index = GetParam();
    const RowCase& c = kRowCases[index];
    EXPECT_EQ(text(kestrix::FileTypeRows()[index].caption), text(c.caption));

    FileTypeStates checked{};
    checked[index] = true;
    kestrix::ApplyAssociations(checked, m_extractor);

    const QString cls = text(c.className);
    EXPECT_EQ(defaultOf(QLatin1Char('.') + text(c.extension)), cls);
    EXPECT_EQ(defaultOf(cls), text(c.description));
    EXPECT_EQ(defaultOf(cls + QStringLiteral("\\DefaultIcon")), m_extractor + QLatin1Char(',') + text(c.icon));
    if (c.program) {
        EXPECT_EQ(defaultOf(cls + QStringLiteral("\\shell\\open\\command")), command(c.program));
        EXPECT_EQ(defaultOf(cls + QStringLiteral("\\shell")), QStringLiteral("open"));
    } else {
        EXPECT_FALSE(RegistryKey::classesRoot().subkey(cls + QStringLiteral("\\shell")).exists());
    }
    // Only this row was applied.
    for (const RowCase& other : kRowCases) {
        if (&other != &c) {
            EXPECT_FALSE(defaultOf(QLatin1Char('.') + text(other.extension)).has_value()) << other.extension;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, RowTest, ::testing::Range(0, kestrix::kFileTypeRowCount),
                         [](const ::testing::TestParamInfo<int>& p) {
                             return std::string(kRowCases[p.param].extension);
                         });

// ---- The desktop's files ---------------------------------------------------------------------

struct ToolRun {
    int exitCode = -1;
    QString out;
};

ToolRun runTool(const QString& program, const QStringList& arguments,
                const std::function<void(QProcessEnvironment&)>& adjust = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // xdg-mime asks a running desktop's own tools when it finds one; the files are what we test.
    for (const char* name : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION", "KDE_SESSION_VERSION",
                             "GNOME_DESKTOP_SESSION_ID", "MATE_DESKTOP_SESSION_ID", "XDG_MENU_PREFIX"})
        env.remove(QString::fromLatin1(name));
    if (adjust) adjust(env);
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    ToolRun run;
    if (!process.waitForFinished(30000)) return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    return run;
}

class DesktopTest : public AssociationTest {
protected:
    void SetUp() override
    {
        for (const char* tool : {"xdg-mime", "update-mime-database", "mimetype"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                GTEST_SKIP() << tool << " is missing (xdg-utils, shared-mime-info, libfile-mimeinfo-perl)";
        AssociationTest::SetUp();
    }

    QString fileType(const QString& ext) const
    {
        const QString path = m_dir.filePath(QStringLiteral("sample.") + ext);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) file.write("\x01\x02\x03 sample bytes");
        file.close();
        return runTool(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("filetype"), path}).out;
    }
    static QString defaultApp(const QString& type)
    {
        return runTool(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), type}).out;
    }
    // Type name, comment and icon name as a fresh Qt process sees the file name.
    static QStringList qtMime(const QString& fileName)
    {
        const ToolRun run =
            runTool(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget(), {},
                    [&](QProcessEnvironment& env) { env.insert(QStringLiteral("KESTRIX_MIME_PROBE"), fileName); });
        return run.out.split(QLatin1Char('\n'));
    }
    QStringList entryLines(const QString& name) const
    {
        QFile file(dataFile(QStringLiteral("applications/") + name));
        if (!file.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
};

struct DesktopCase {
    const char* extension;
    const char* type;
    const char* entry;  // "" for the rows without a program
    const char* comment;
};

const DesktopCase kDesktopCases[] = {
    {"hqr", "application/x-quarn-hqr", "kestrix-kestrix.desktop", "Quarn resource file"},
    {"obl", "application/x-quarn-obl", "kestrix-kestrix.desktop", "Quarn island object file"},
    {"qim", "application/x-quarn-qim", "kestrix-pictor.desktop", "Quarn image"},
    {"pal", "application/x-quarn-pal", "kestrix-pictor.desktop", "3x256 Palette file"},
    {"qbt", "application/x-quarn-qbt", "kestrix-tessel.desktop", "Quarn text file"},
    {"q3d", "application/x-quarn-q3d", "", "Quarn 3D object"},
};

TEST_F(DesktopTest, AFileManagerOpensEachTypeInItsProgram)
{
    kestrix::ApplyAssociations(allRows(true), m_extractor);
    for (const DesktopCase& c : kDesktopCases) {
        SCOPED_TRACE(c.extension);
        EXPECT_EQ(fileType(text(c.extension)), text(c.type));
        EXPECT_EQ(defaultApp(text(c.type)), text(c.entry));
        const QStringList qt = qtMime(QStringLiteral("x.") + text(c.extension).toUpper());
        ASSERT_EQ(qt.size(), 3) << qPrintable(qt.join(QLatin1Char('|')));
        EXPECT_EQ(qt[0], text(c.type));
        EXPECT_EQ(qt[1], text(c.comment));
        EXPECT_EQ(qt[2], QString(text(c.type)).replace(QLatin1Char('/'), QLatin1Char('-')));
    }
    const QStringList pictor = entryLines(QStringLiteral("kestrix-pictor.desktop"));
    EXPECT_TRUE(pictor.contains(QStringLiteral("Exec=") + program("Pictor") + QStringLiteral(" %f")));
    EXPECT_TRUE(pictor.contains(QStringLiteral("Icon=pictor")));
    EXPECT_TRUE(
        pictor.contains(QStringLiteral("MimeType=application/x-quarn-pal;application/x-quarn-qbc;"
                                       "application/x-quarn-qim;application/x-quarn-qsp;"
                                       "application/x-quarn-qsr;")));
}

TEST_F(DesktopTest, RemovingUndoesTheDesktopFilesAndKeepsOtherLines)
{
    QDir().mkpath(m_dir.filePath(QStringLiteral("config")));
    QFile list(m_dir.filePath(QStringLiteral("config/mimeapps.list")));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write(
        "[Default Applications]\ntext/plain=editor.desktop;\n\n[Added Associations]\nimage/png=viewer.desktop;\n");
    list.close();

    FileTypeStates checked{};
    checked[0] = checked[1] = checked[4] = true;  // .hqr, .vox in Kestrix, .qim in Pictor
    kestrix::ApplyAssociations(checked, m_extractor);
    ASSERT_EQ(defaultApp(QStringLiteral("application/x-quarn-hqr")), QStringLiteral("kestrix-kestrix.desktop"));

    kestrix::RemoveAssociation(QStringLiteral("hqr"));
    EXPECT_NE(fileType(QStringLiteral("hqr")), QStringLiteral("application/x-quarn-hqr"));
    EXPECT_EQ(defaultApp(QStringLiteral("application/x-quarn-hqr")), QString());
    EXPECT_NE(qtMime(QStringLiteral("x.hqr")).value(0), QStringLiteral("application/x-quarn-hqr"));
    EXPECT_FALSE(QFile::exists(dataFile(QStringLiteral("mime/packages/kestrix-hqr.xml"))));
    EXPECT_TRUE(entryLines(QStringLiteral("kestrix-kestrix.desktop"))
                    .contains(QStringLiteral("MimeType=application/x-quarn-vox;")));
    EXPECT_EQ(defaultApp(QStringLiteral("application/x-quarn-vox")), QStringLiteral("kestrix-kestrix.desktop"));

    // Unchecking the rest: the entries that open nothing go, other programs' lines stay.
    kestrix::ApplyAssociations(allRows(false), m_extractor);
    EXPECT_NE(fileType(QStringLiteral("qim")), QStringLiteral("application/x-quarn-qim"));
    EXPECT_FALSE(QFile::exists(dataFile(QStringLiteral("applications/kestrix-kestrix.desktop"))));
    EXPECT_FALSE(QFile::exists(dataFile(QStringLiteral("applications/kestrix-pictor.desktop"))));
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    EXPECT_EQ(
        list.readAll(),
        QByteArray(
            "[Default Applications]\ntext/plain=editor.desktop;\n\n[Added Associations]\nimage/png=viewer.desktop;\n"));
}

TEST_F(DesktopTest, ATypeMovesWithItsCommand)
{
    FileTypeStates checked{};
    checked[4] = true;
    kestrix::ApplyAssociations(checked, m_extractor);
    ASSERT_EQ(defaultApp(QStringLiteral("application/x-quarn-qim")), QStringLiteral("kestrix-pictor.desktop"));

    kestrix::Associate(QStringLiteral("qim"), command("Tessel"), QStringLiteral("open"),
                       QStringLiteral("Quarn_qim_file"));
    EXPECT_EQ(defaultApp(QStringLiteral("application/x-quarn-qim")), QStringLiteral("kestrix-tessel.desktop"));
    EXPECT_FALSE(QFile::exists(dataFile(QStringLiteral("applications/kestrix-pictor.desktop"))));
}

TEST_F(DesktopTest, DesktopFilesMissingForAnAssociatedRowAreWrittenAgain)
{
    FileTypeStates checked{};
    checked[0] = true;
    kestrix::ApplyAssociations(checked, m_extractor);
    ASSERT_TRUE(QDir(m_dir.filePath(QStringLiteral("data"))).removeRecursively());
    QFile::remove(m_dir.filePath(QStringLiteral("config/mimeapps.list")));

    kestrix::ApplyAssociations(checked, m_extractor);
    EXPECT_EQ(fileType(QStringLiteral("hqr")), QStringLiteral("application/x-quarn-hqr"));
    EXPECT_EQ(defaultApp(QStringLiteral("application/x-quarn-hqr")), QStringLiteral("kestrix-kestrix.desktop"));
}

TEST_F(DesktopTest, AProgramFolderWithBlanksIsQuotedInExec)
{
    const QString folder = m_dir.filePath(QStringLiteral("my \"apps\" $1"));
    const QString extractor = makeProgram(folder, QStringLiteral("Kestrix"));
    FileTypeStates checked{};
    checked[0] = true;
    kestrix::ApplyAssociations(checked, extractor);
    QString escaped = extractor;
    escaped.replace(QLatin1Char('"'), QStringLiteral("\\\"")).replace(QLatin1Char('$'), QStringLiteral("\\$"));
    escaped.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));  // the string value's own escape
    EXPECT_TRUE(entryLines(QStringLiteral("kestrix-kestrix.desktop"))
                    .contains(QStringLiteral("Exec=\"") + escaped + QStringLiteral("\" %f")));
    EXPECT_EQ(fileType(QStringLiteral("hqr")), QStringLiteral("application/x-quarn-hqr"));
}

TEST_F(DesktopTest, AnExtensionThatIsNoSafeFileNameGetsNoDesktopFiles)
{
    kestrix::Associate(QStringLiteral("../../x"), command("Kestrix"), QStringLiteral("open"), QStringLiteral("Odd"));
    EXPECT_EQ(defaultOf(QStringLiteral("Odd\\shell\\open\\command")), command("Kestrix"));
    EXPECT_FALSE(QDir(m_dir.filePath(QStringLiteral("data"))).exists());
    EXPECT_FALSE(QFile::exists(m_dir.filePath(QStringLiteral("config/mimeapps.list"))));
}

struct FolderCase {
    const char* name;
    const char* dataValue;  // XDG_DATA_HOME; nullptr: unset
    const char* expected;   // under HOME when it starts with "~"
};

const FolderCase kFolderCases[] = {
    {"Set", "/srv/share", "/srv/share"},
    {"Unset", nullptr, "~/.local/share"},
    {"Empty", "", "~/.local/share"},
    {"RelativeIsIgnored", "share", "~/.local/share"},
};

class XdgFolderTest : public AssociationTest, public ::testing::WithParamInterface<FolderCase> {};

TEST_P(XdgFolderTest, DataHomeFollowsTheBaseDirectoryRules)
{
    const FolderCase& c = GetParam();
    if (c.dataValue)
        qputenv("XDG_DATA_HOME", c.dataValue);
    else
        qunsetenv("XDG_DATA_HOME");
    QString expected = text(c.expected);
    if (expected.startsWith(QLatin1Char('~'))) expected.replace(0, 1, QDir::homePath());
    EXPECT_EQ(kestrix::desktop::dataHome(), expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, XdgFolderTest, ::testing::ValuesIn(kFolderCases),
                         [](const ::testing::TestParamInfo<FolderCase>& p) { return std::string(p.param.name); });

}  // namespace
