// Platform services: file versions as a reader finds them, the program registration values,
// RunProgram's ways of opening programs, documents and folders, the clock and the priority.

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <functional>

#include "process_priority.h"
#include "program_registry.h"
#include "settings_store.h"
#include "shell.h"
#include "system_clock.h"
#include "test_support.h"
#include "version_info.h"

using namespace kestrix;
using namespace testing_support;

namespace {

QString binPath(const char* name)
{
    return QStringLiteral(KESTRIX_BIN_DIR "/") + QLatin1String(name);
}

// ---- Version information

struct VersionCase {
    const char* name;
    std::function<QString(const TempFolder&)> file;
    bool suiteVersion;  // true: the suite's version, false: "unknown"
};

QString fileWith(const TempFolder& dir, const QByteArray& bytes)
{
    const QString path = dir.path(QStringLiteral("f.bin"));
    writeFile(path, Bytes(bytes.begin(), bytes.end()));
    return path;
}

const VersionCase kVersionCases[] = {
    {"CommandLineTool", [](const TempFolder&) { return binPath("kestrix-cli"); }, true},
    {"SharedLibrary", [](const TempFolder&) { return binPath("libVarnel.so"); }, true},
    {"ForeignProgram", [](const TempFolder&) { return QStringLiteral("/bin/sh"); }, false},
    {"MissingFile", [](const TempFolder& d) { return d.path(QStringLiteral("none")); }, false},
    {"EmptyFile", [](const TempFolder& d) { return fileWith(d, {}); }, false},
    {"MarkerAtTheEnd", [](const TempFolder& d) { return fileWith(d, "xxKESTRIX-FILEVERSION=1.2"); }, false},
    {"MarkerWithGarbage",
     [](const TempFolder& d) { return fileWith(d, QByteArray("KESTRIX-FILEVERSION=1.2\x01\x02", 25)); }, false},
};

class FileVersionTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(FileVersionTest, FindsTheStampOrSaysUnknown)
{
    TempFolder dir;
    const QString path = GetParam().file(dir);
    EXPECT_EQ(FileVersion(path), GetParam().suiteVersion ? SuiteVersion() : QStringLiteral("unknown"))
        << path.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Files, FileVersionTest, ::testing::ValuesIn(kVersionCases),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(FileVersion, StringsFindsItInOurBinaries)
{
    QProcess strings;
    strings.start(QStringLiteral("strings"), {binPath("kestrix-cli")});
    if (!strings.waitForStarted()) GTEST_SKIP() << "strings (binutils) is not installed";
    strings.waitForFinished(30000);
    EXPECT_TRUE(strings.readAllStandardOutput().contains("KESTRIX-FILEVERSION=" + SuiteVersion().toLatin1()));
    EXPECT_FALSE(SuiteVersion().isEmpty());
}

// ---- Settings-based services

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override { RegistryKey::useFolderForTesting(m_dir.path()); }
    void TearDown() override
    {
        RegistryKey::settings().deleteKey();
        RegistryKey::classesRoot().deleteKey();
    }
    TempFolder m_dir;
};

TEST_F(StoreTest, ProgramsAreRegisteredAsQuotedTitleAndPath)
{
    RegistryKey::settings().writeYesNo(QStringLiteral("SFX"), false);  // the key exists
    EXPECT_TRUE(RegisterProgram(4, QStringLiteral("Bundra"), QStringLiteral("/opt/kestrix suite/Bundra")));
    EXPECT_TRUE(RegisterProgram(0, QStringLiteral("Kestrix"), QStringLiteral("/opt/k/Kestrix")));
    RegistryKey::settings().writeText(QStringLiteral("{PROG-0007}"), QStringLiteral("odd value"));
    EXPECT_EQ(RegistryKey::settings().readText(QStringLiteral("{prog-0004}")),
              QStringLiteral("\"Bundra\",\"/opt/kestrix suite/Bundra\""));

    const std::vector<RegisteredProgram> programs = RegisteredPrograms();
    ASSERT_EQ(programs.size(), 3u);
    EXPECT_EQ(programs[0].number, 0);
    EXPECT_EQ(programs[0].title, QStringLiteral("Kestrix"));
    EXPECT_EQ(programs[0].path, QStringLiteral("/opt/k/Kestrix"));
    EXPECT_EQ(programs[1].number, 4);
    EXPECT_EQ(programs[1].path, QStringLiteral("/opt/kestrix suite/Bundra"));
    EXPECT_EQ(programs[2].title, QStringLiteral("odd value"));
    EXPECT_TRUE(programs[2].path.isEmpty());
}

struct RegisterCase {
    const char* name;
    const char* existing;  // a value stored before, "" for a settings key that does not exist
    bool written;
};

const RegisterCase kRegisterCases[] = {
    {"KeyWithAValue", "SFX", true},
    {"KeyWithAnotherProgram", "{PROG-0002}", true},
    {"NoKeyIsNeverCreated", "", false},
};

class RegisterProgramTest : public StoreTest, public ::testing::WithParamInterface<RegisterCase> {};

TEST_P(RegisterProgramTest, WritesOnlyIntoAnExistingKey)
{
    const RegisterCase& c = GetParam();
    const QString existing = QString::fromLatin1(c.existing);
    if (!existing.isEmpty()) RegistryKey::settings().writeText(existing, QStringLiteral("1"));
    EXPECT_EQ(RegisterProgram(1, QStringLiteral("Pictor"), QStringLiteral("/opt/k/Pictor")), c.written);
    ASSERT_TRUE(RegistryKey::settings().flush());
    EXPECT_EQ(RegistryKey::settings().exists(), c.written);
    EXPECT_EQ(RegistryKey::settings().readText(QStringLiteral("{PROG-0001}")),
              c.written ? std::optional<QString>(QStringLiteral("\"Pictor\",\"/opt/k/Pictor\"")) : std::nullopt);
    // Not even an empty settings file is left behind.
    if (!c.written) {
        EXPECT_FALSE(QFile::exists(m_dir.path(QStringLiteral("Tolvey Productions/Kestrix.conf"))));
    }
}

INSTANTIATE_TEST_SUITE_P(Keys, RegisterProgramTest, ::testing::ValuesIn(kRegisterCases),
                         [](const auto& p) { return std::string(p.param.name); });

// A script that notes its working folder and arguments in `log`, one per line.
QString recorder(const TempFolder& dir, const QString& name, const QString& log)
{
    const QString path = dir.path(name);
    const QString script = QStringLiteral(
                               "#!/bin/sh\n{ pwd; echo \"$#\"; for a in \"$@\"; do echo \"$a\"; done; } > '%1.tmp'\n"
                               "mv '%1.tmp' '%1'\n")
                               .arg(log);
    writeFile(path, bytesOf(script.toStdString()));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

QStringList waitForLog(const QString& log)
{
    QElapsedTimer timer;
    timer.start();
    while (!QFile::exists(log) && timer.elapsed() < 10000) QThread::msleep(20);
    QFile f(log);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

struct RunCase {
    const char* name;
    // Prepares the case; returns RunProgram's file argument. `bin` is on the search path and holds
    // a fake xdg-open; `log` is where the program that ran notes its folder and arguments.
    std::function<QString(const TempFolder& dir, const QString& log)> file;
    const char* parameters;
    bool inWorkFolder;  // RunProgram gets the folder "work"
    // Expected: the lines after the working folder (argument count, then the arguments).
    std::function<QStringList(const TempFolder& dir)> expected;
};

const RunCase kRunCases[] = {
    {"ProgramWithParametersPassedWhole",
     [](const TempFolder& d, const QString& log) { return recorder(d, QStringLiteral("prog"), log); },
     "/home/ann/game files/", true,
     [](const TempFolder&) {
         return QStringList{"1", "/home/ann/game files/"};
     }},
    {"ProgramWithoutParameters",
     [](const TempFolder& d, const QString& log) { return recorder(d, QStringLiteral("prog"), log); }, "", false,
     [](const TempFolder&) { return QStringList{"0"}; }},
    {"ProgramFoundOnTheSearchPath",
     [](const TempFolder& d, const QString& log) {
         recorder(d, QStringLiteral("bin/quarn-helper"), log);
         return QStringLiteral("quarn-helper");
     },
     "x", false,
     [](const TempFolder&) {
         return QStringList{"1", "x"};
     }},
    {"DocumentOfOurs",
     [](const TempFolder& d, const QString& log) {
         const QString viewer = recorder(d, QStringLiteral("Pictor"), log);
         RegistryKey root = RegistryKey::classesRoot();
         root.subkey(QStringLiteral(".qim")).writeText({}, QStringLiteral("Quarn_qim_file"));
         root.subkey(QStringLiteral("Quarn_qim_file\\shell\\open\\command"))
             .writeText({}, viewer + QStringLiteral(" \"%1\""));
         writeFile(d.path(QStringLiteral("work/a.qim")), Bytes(10, 1));
         return d.path(QStringLiteral("work/a.qim"));
     },
     "", true,
     [](const TempFolder& d) {
         return QStringList{"1", d.path(QStringLiteral("work/a.qim"))};
     }},
    {"DocumentOfNobodyGoesToTheDesktop",
     [](const TempFolder& d, const QString&) {
         writeFile(d.path(QStringLiteral("work/notes.txt")), bytesOf("hello"));
         return d.path(QStringLiteral("work/notes.txt"));
     },
     "", false,
     [](const TempFolder& d) {
         return QStringList{"1", d.path(QStringLiteral("work/notes.txt"))};
     }},
    {"AddressGoesToTheDesktop",
     [](const TempFolder&, const QString&) { return QStringLiteral("https://example.org/quarn"); }, "", false,
     [](const TempFolder&) {
         return QStringList{"1", "https://example.org/quarn"};
     }},
    {"FolderGoesToTheDesktop", [](const TempFolder& d, const QString&) { return d.path(QStringLiteral("work")); }, "",
     false,
     [](const TempFolder& d) {
         return QStringList{"1", d.path(QStringLiteral("work"))};
     }},
};

class RunProgramTest : public StoreTest, public ::testing::WithParamInterface<RunCase> {};

TEST_P(RunProgramTest, StartsWhatAShellWould)
{
    const RunCase& c = GetParam();
    TempFolder dir;
    QDir().mkpath(dir.path(QStringLiteral("bin")));
    QDir().mkpath(dir.path(QStringLiteral("work")));
    const QString log = dir.path(QStringLiteral("log"));
    recorder(dir, QStringLiteral("bin/xdg-open"), log);
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", dir.path(QStringLiteral("bin")).toLocal8Bit() + ':' + oldPath);

    const QString file = c.file(dir, log);
    RunProgram(file, QString::fromUtf8(c.parameters), c.inWorkFolder ? dir.path(QStringLiteral("work")) : QString(),
               10);
    const QStringList lines = waitForLog(log);
    qputenv("PATH", oldPath);

    ASSERT_FALSE(lines.isEmpty()) << "nothing ran";
    if (c.inWorkFolder) {
        EXPECT_EQ(QDir(lines[0]).canonicalPath(), QDir(dir.path(QStringLiteral("work"))).canonicalPath());
    }
    EXPECT_EQ(lines.mid(1), c.expected(dir));
}

INSTANTIATE_TEST_SUITE_P(Ways, RunProgramTest, ::testing::ValuesIn(kRunCases),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(StoreTest, AssociatedProgramReadsQuotedAndPlainCommands)
{
    RegistryKey root = RegistryKey::classesRoot();
    root.subkey(QStringLiteral(".hqr")).writeText({}, QStringLiteral("Quarn_hqr_file"));
    root.subkey(QStringLiteral("Quarn_hqr_file\\shell\\open\\command"))
        .writeText({}, QStringLiteral("\"/opt/my games/Kestrix\" \"%1\""));
    root.subkey(QStringLiteral(".qbt")).writeText({}, QStringLiteral("Quarn_text_file"));
    root.subkey(QStringLiteral("Quarn_text_file\\shell\\open\\command"))
        .writeText({}, QStringLiteral("/opt/my games/Tessel \"%1\""));
    EXPECT_EQ(AssociatedProgram(QStringLiteral("/x/RESS.HQR")), QStringLiteral("/opt/my games/Kestrix"));
    EXPECT_EQ(AssociatedProgram(QStringLiteral("a.qbt")), QStringLiteral("/opt/my games/Tessel"));
    EXPECT_EQ(AssociatedProgram(QStringLiteral("a.pal")), QString());
    EXPECT_EQ(AssociatedProgram(QStringLiteral("noextension")), QString());
}

// ---- Clock and priority

TEST(Clock, IsMonotonicAndCountsFromItsStart)
{
    const qint64 a = TickCount();
    const MonotonicClock own;
    QThread::msleep(15);
    EXPECT_GE(TickCount() - a, 10);
    EXPECT_GE(own.elapsedMs(), 10);
    // A clock made later has counted less than the process's clock, which started earlier.
    EXPECT_LT(own.elapsedMs(), SystemClock().elapsedMs() + 1);
    EXPECT_EQ(&SystemClock(), &SystemClock());
}

TEST(Priority, BusyAndBackToWhereItStarted)
{
    const int start = CurrentNiceness();
    SetBusyPriority(true);
    const int busy = CurrentNiceness();
    EXPECT_LE(busy, start);  // raised where allowed, unchanged where not
    SetBusyPriority(false);
    EXPECT_EQ(CurrentNiceness(), start);
}

}  // namespace
