// The extractor's command line: the three switches wherever they stand, and the first parameter
// as an archive when it names an existing file.

#include "command_line.h"

#include <gtest/gtest.h>

#include <QDir>

#include "test_support.h"

using namespace kestrix;
using namespace testing_support;

namespace {

struct CommandLineCase {
    const char* name;
    QStringList parameters;  // "<file>" and "<folder>" stand for an existing file and folder
    bool debug;
    bool developer;
    bool showHelp;
    const char* archive;  // expected archivePath(), with the same stand-ins
};

const CommandLineCase kCommandLineCases[] = {
    {"NoParameters", {}, false, false, false, ""},
    {"DebugThenDev", {"-debug", "-dev"}, true, true, false, ""},
    {"DevThenDebug", {"-dev", "-debug"}, true, true, false, ""},
    {"UpperCaseCounts", {"-DEBUG", "-Dev", "-?"}, true, true, true, ""},
    {"FileThenDebug", {"<file>", "-debug"}, true, false, false, "<file>"},
    {"SwitchBeforeFileLeavesNoArchive", {"-debug", "<file>"}, true, false, false, ""},
    {"FolderIsNoArchive", {"<folder>", "-dev"}, false, true, false, ""},
    {"MissingFileIsIgnored", {"<folder>/gone.hqr", "-?"}, false, false, true, ""},
    {"EmptyFirstParameter", {"", "-?"}, false, false, true, ""},
    {"NearMissesAreNoSwitches", {"<file>", "-debugx", "debug", "/dev", "-"}, false, false, false, "<file>"},
};

class CommandLineTest : public ::testing::TestWithParam<CommandLineCase> {
protected:
    QString expand(QString text) const
    {
        return text.replace("<file>", m_dir.path("ress.hqr")).replace("<folder>", m_dir.path("sub"));
    }
    TempFolder m_dir;
};

TEST_P(CommandLineTest, SwitchesAndArchive)
{
    const CommandLineCase& c = GetParam();
    writeFile(m_dir.path("ress.hqr"), {1});
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("sub"));
    QStringList parameters;
    for (const QString& p : c.parameters) parameters << expand(p);

    const KestrixCommandLine line = ParseKestrixCommandLine(parameters);
    EXPECT_EQ(line.debug, c.debug);
    EXPECT_EQ(line.developer, c.developer);
    EXPECT_EQ(line.showHelp, c.showHelp);
    EXPECT_EQ(line.hasParameters, !parameters.isEmpty());
    EXPECT_EQ(line.firstParameter, parameters.value(0));
    EXPECT_EQ(line.archivePath(), expand(QString::fromLatin1(c.archive)));
}

INSTANTIATE_TEST_SUITE_P(Parameters, CommandLineTest, ::testing::ValuesIn(kCommandLineCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(CommandLineHelpTest, ListsTheThreeSwitches)
{
    EXPECT_STREQ(kCommandLineHelpCaption, "Command line params");
    EXPECT_EQ(CommandLineHelpText().split("\r\n"),
              (QStringList{"-debug\tEnabled debug mode", "-dev\tShow developer options", "-?\tShow this message"}));
}

}  // namespace
