#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <string>

#include "system_info.h"
#include "test_support.h"

using namespace testing_support;
using varnel::CpuIdentity;

namespace {

void writeText(const QString& path, const QByteArray& text)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(text);
}

// A machine made of files in a temporary folder.
struct FakeMachine {
    TempFolder temp;
    varnel::SystemSources sources;
    int measured = 0;

    FakeMachine()
    {
        QDir().mkpath(temp.path(QStringLiteral("dmi")));
        writeText(temp.path(QStringLiteral("dmi/bios_vendor")), "Harbour Firmware Works\n");
        writeText(temp.path(QStringLiteral("dmi/bios_version")), "2.07.1\n");
        writeText(temp.path(QStringLiteral("dmi/bios_date")), "04/17/2023\n");
        writeText(temp.path(QStringLiteral("os-release")),
                  "NAME=\"Islandix\"\nPRETTY_NAME=\"Islandix 7 (lagoon)\"\nVERSION_ID=\"7\"\n");
        writeText(temp.path(QStringLiteral("machine-id")), "0123456789abcdef0123456789abcdef\n");
        writeText(temp.path(QStringLiteral("meminfo")), "MemTotal:        8000000 kB\nMemFree:  123 kB\n");
        sources.dmiFolder = temp.path(QStringLiteral("dmi"));
        sources.osReleasePath = temp.path(QStringLiteral("os-release"));
        sources.machineIdPath = temp.path(QStringLiteral("machine-id"));
        sources.memInfoPath = temp.path(QStringLiteral("meminfo"));
        sources.kernelRelease = QStringLiteral("6.1.70000-18-amd64");
        sources.windowsFolder = QStringLiteral("/etc");
        sources.systemLibraryFolder = QStringLiteral("/usr/lib/x86_64-linux-gnu");
        sources.cpuid = [] { return CpuIdentity{"GenuineIntel", 6, 7, 0, 9, QStringLiteral("Intel(R) Core(TM) i5")}; };
        sources.measureMhz = [this] {
            ++measured;
            return std::optional<double>(2394.4567);
        };
    }
};

}  // namespace

TEST(SystemInformationTest, LinesInTheirOrder)
{
    FakeMachine machine;
    const std::vector<varnel::ProgramVersion> programs = {
        {QStringLiteral("Kestrix"), QStringLiteral("/opt/kestrix/Kestrix"), QStringLiteral("1.3.0")},
        {QStringLiteral("Tessel"), QStringLiteral("/opt/kestrix/Tessel"), QStringLiteral("unknown")},
    };
    const QStringList lines = varnel::SystemInformationLines(machine.sources, {1920, 1080, 24}, programs,
                                                             QStringLiteral("1.3.0"), QStringLiteral("6.4.2"));
    const QString dashes(166, u'-');
    const QStringList expected = {
        "Bios : Harbour Firmware Works",
        "Bios version : 2.07.1",
        "Bios date : 04/17/2023",
        "CPU : Intel(R) Core(TM) i5",  // the brand already names the maker
        "Speed : 2394.46 MHz",
        "RAM : 8192.000 MB",  // 8000000 KiB = 8192000000 bytes
        dashes,
        "Islandix 7 (lagoon)",
        "Version : 6.1",
        "Build number : 4464",  // 70000 & 0xFFFF
        "PID : 0123456789abcdef0123456789abcdef",
        "Windows directory : /etc",
        "System directory : /usr/lib/x86_64-linux-gnu",
        dashes,
        "Screen size : 1920x1080",
        "Colors : 24 bits",
        dashes,
        "",
        "Kestrix",
        "Path : /opt/kestrix/Kestrix",
        "Version : 1.3.0",
        "",
        "Tessel",
        "Path : /opt/kestrix/Tessel",
        "Version : unknown",
        "",
        "Varnel",
        "Version : 1.3.0",
        "",
        "Qt",
        "Version : 6.4.2",
        "",
    };
    EXPECT_EQ(lines.join(u'\n').toStdString(), expected.join(u'\n').toStdString());
    EXPECT_EQ(machine.measured, 1);
}

TEST(SystemInformationTest, UnreadableSourcesLeaveTheCaptions)
{
    FakeMachine machine;
    machine.sources.dmiFolder = machine.temp.path(QStringLiteral("no-such-folder"));
    machine.sources.osReleasePath.clear();
    machine.sources.machineIdPath = machine.temp.path(QStringLiteral("missing"));
    machine.sources.memInfoPath = machine.temp.path(QStringLiteral("missing"));
    machine.sources.kernelRelease.clear();
    machine.sources.cpuid = {};
    machine.sources.measureMhz = {};
    const QStringList lines =
        varnel::SystemInformationLines(machine.sources, {}, {}, QStringLiteral("unknown"), QStringLiteral("6.4.2"));
    ASSERT_EQ(lines.size(), 24);
    EXPECT_EQ(lines[0], "Bios : ");
    EXPECT_EQ(lines[1], "Bios version : ");
    EXPECT_EQ(lines[2], "Bios date : ");
    EXPECT_EQ(lines[3], "CPU : unknown unkown");
    EXPECT_EQ(lines[4], "Speed : unknown MHz");
    EXPECT_EQ(lines[5], "RAM : ");
    EXPECT_EQ(lines[7], "");
    EXPECT_EQ(lines[10], "PID : ");
    // With no registered programs the list ends with Varnel and the runtime.
    EXPECT_EQ(lines.mid(18).join(u'|').toStdString(), "Varnel|Version : unknown||Qt|Version : 6.4.2|");
}

struct CpuCase {
    const char* name;
    CpuIdentity cpu;
    const char* cpuLine;
    bool speedMeasured;
};

class CpuLineTest : public ::testing::TestWithParam<CpuCase> {};

TEST_P(CpuLineTest, MakerModelAndSpeed)
{
    const CpuCase& c = GetParam();
    FakeMachine machine;
    machine.sources.cpuid = [&c] { return c.cpu; };
    const QStringList lines = varnel::SystemInformationLines(machine.sources, {}, {}, {}, {});
    EXPECT_EQ(lines[3].toStdString(), c.cpuLine);
    EXPECT_EQ(lines[4].toStdString(), c.speedMeasured ? "Speed : 2394.46 MHz" : "Speed : unknown MHz");
    EXPECT_EQ(machine.measured, c.speedMeasured ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Processors, CpuLineTest,
    ::testing::Values(CpuCase{"intel486Dx2NotTimed", {"GenuineIntel", 4, 3, 0, 0, {}}, "CPU : Intel i80486DX2", false},
                      CpuCase{"intelP54c", {"GenuineIntel", 5, 2, 0, 0, {}}, "CPU : Intel P54C", true},
                      CpuCase{"intelPentiumII", {"GenuineIntel", 6, 3, 0, 0, {}}, "CPU : Intel PentiumII", true},
                      CpuCase{"amdK62", {"AuthenticAMD", 5, 8, 0, 0, {}}, "CPU : AMD K6-2", true},
                      CpuCase{"centaurC6", {"CentaurHauls", 5, 4, 0, 0, {}}, "CPU : Centaur C6", true},
                      CpuCase{"cyrixVendor", {"CyrixInstead", 5, 2, 0, 0, {}}, "CPU : Cyrix 6x86", true},
                      CpuCase{"nexgen", {"NexGenDriven", 5, 0, 0, 0, {}}, "CPU : NexGen Nx586", true},
                      CpuCase{"umc", {"UMC UMC UMC ", 4, 1, 0, 0, {}}, "CPU : UMC U5D", false},
                      // A modern processor of family 6 with an extended model is not a Pentium II.
                      CpuCase{"extendedModelUsesTheBrand",
                              {"GenuineIntel", 6, 3, 0, 9, QStringLiteral("  Lagoon Core 9  ")},
                              "CPU : Intel Lagoon Core 9",
                              true},
                      CpuCase{"extendedFamilyIsTimed",
                              {"AuthenticAMD", 15, 1, 8, 0, QStringLiteral("AMD Example 8-Core")},
                              "CPU : AMD Example 8-Core",
                              true},
                      CpuCase{
                          "unknownVendorWithoutBrand", {"SomeoneElse!", 5, 2, 0, 0, {}}, "CPU : unknown unkown", true},
                      CpuCase{"modelNotInTheTable", {"GenuineIntel", 5, 15, 0, 0, {}}, "CPU : Intel unkown", true}),
    [](const ::testing::TestParamInfo<CpuCase>& param) { return std::string(param.param.name); });

struct MakerBrandCase {
    const char* name;
    const char* vendor;
    const char* brand;
    const char* expected;
};

class CpuDescriptionTest : public ::testing::TestWithParam<MakerBrandCase> {};

// The maker is named once: left out when the brand begins with it as a word, kept otherwise.
TEST_P(CpuDescriptionTest, NamesTheMakerOnce)
{
    const MakerBrandCase& c = GetParam();
    const CpuIdentity cpu{c.vendor, 6, 0, 0, 1, QString::fromLatin1(c.brand)};
    EXPECT_EQ(varnel::CpuDescription(cpu).toStdString(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    MakerBrandPairs, CpuDescriptionTest,
    ::testing::Values(MakerBrandCase{"amdBrandStartsWithAmd", "AuthenticAMD", "AMD EPYC 7B13 64-Core Processor",
                                     "AMD EPYC 7B13 64-Core Processor"},
                      MakerBrandCase{"intelFollowedByMark", "GenuineIntel", "Intel(R) Xeon(R) CPU @ 2.20GHz",
                                     "Intel(R) Xeon(R) CPU @ 2.20GHz"},
                      MakerBrandCase{"makerInOtherCase", "AuthenticAMD", "amd Ryzen 5", "amd Ryzen 5"},
                      MakerBrandCase{"brandIsTheMakerAlone", "CentaurHauls", "Centaur", "Centaur"},
                      MakerBrandCase{"brandWithoutMaker", "AuthenticAMD", "Ryzen 7 5800X", "AMD Ryzen 7 5800X"},
                      MakerBrandCase{"makerInsideTheBrand", "GenuineIntel", "Genuine Intel(R) CPU",
                                     "Intel Genuine Intel(R) CPU"},
                      MakerBrandCase{"makerOnlyAsPrefixOfAWord", "AuthenticAMD", "AMDX 9000", "AMD AMDX 9000"},
                      MakerBrandCase{"unknownMakerNoBrand", "SomeoneElse!", "", "unknown unkown"}),
    [](const ::testing::TestParamInfo<MakerBrandCase>& param) { return std::string(param.param.name); });

TEST(SystemInformationTest, LiveMachineFillsEveryLine)
{
    varnel::SystemSources live = varnel::SystemSources::live();
    live.measureMhz = [] { return std::optional<double>(1000.0); };  // no half-second wait here
    const QStringList lines =
        varnel::SystemInformationLines(live, {800, 600, 32}, {}, QStringLiteral("x"), QStringLiteral("y"));
    ASSERT_EQ(lines.size(), 24);
    EXPECT_TRUE(lines[5].startsWith("RAM : ") && lines[5].endsWith(" MB")) << lines[5].toStdString();
    EXPECT_TRUE(QDir(lines[12].mid(QStringLiteral("System directory : ").size())).exists()) << lines[12].toStdString();
}
