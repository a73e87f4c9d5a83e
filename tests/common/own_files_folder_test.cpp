// Where our own files go: the program folder when files can be created there, else the per-user
// data folder, created on demand; and telling the user about the latter once per run.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <unistd.h>

#include "own_files_folder.h"
#include "test_support.h"

using namespace kestrix;
using namespace testing_support;

namespace {

class OwnFilesFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_oldDataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", m_home.path(QStringLiteral("data")).toLocal8Bit());
        QCoreApplication::setOrganizationName(QStringLiteral("Tolvey Productions"));
        QCoreApplication::setApplicationName(QStringLiteral("Kestrix"));
        QDir().mkpath(m_home.path(QStringLiteral("programs")));
    }
    void TearDown() override
    {
        qputenv("XDG_DATA_HOME", m_oldDataHome);
        QCoreApplication::setOrganizationName({});
        QCoreApplication::setApplicationName({});
    }
    QString programs() const { return m_home.path(QStringLiteral("programs")) + QLatin1Char('/'); }
    QString dataFolder() const
    {
        return m_home.path(QStringLiteral("data/Tolvey Productions/Kestrix")) + QLatin1Char('/');
    }

    TempFolder m_home;
    QByteArray m_oldDataHome;
};

struct PlaceCase {
    const char* name;
    bool programFolderWritable;  // what the injected check answers
    bool withSeparator;          // the program folder is given with a trailing "/"
    bool expectFallback;
};

const PlaceCase kPlaceCases[] = {
    {"WritableProgramFolder", true, false, false},
    {"WritableProgramFolderWithSeparator", true, true, false},
    {"ReadOnlyProgramFolderFallsBackToTheDataFolder", false, false, true},
};

class OwnFilesPlaceTest : public OwnFilesFolderTest, public ::testing::WithParamInterface<PlaceCase> {};

TEST_P(OwnFilesPlaceTest, AnswersTheFolderAndWhetherItIsTheFallback)
{
    const PlaceCase& c = GetParam();
    QStringList asked;
    const WritableCheck check = [&](const QString& folder) {
        asked << folder;
        return c.programFolderWritable;
    };
    QString given = programs();
    if (!c.withSeparator) given.chop(1);

    const OwnFilesFolder place = FolderForOwnFiles(given, check);
    EXPECT_EQ(asked, QStringList{programs()});
    EXPECT_EQ(place.isFallback, c.expectFallback);
    EXPECT_EQ(place.folder, c.expectFallback ? dataFolder() : programs());
    // The data folder is made only when it is the answer.
    EXPECT_EQ(QDir(dataFolder()).exists(), c.expectFallback);
}

INSTANTIATE_TEST_SUITE_P(Places, OwnFilesPlaceTest, ::testing::ValuesIn(kPlaceCases),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(OwnFilesFolderTest, TheRealCheckCreatesAFileAndLeavesNothing)
{
    EXPECT_TRUE(CanCreateFilesIn(programs()));
    EXPECT_TRUE(QDir(programs()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
    EXPECT_FALSE(CanCreateFilesIn(programs() + QStringLiteral("missing")));
    const OwnFilesFolder place = FolderForOwnFiles(programs());
    EXPECT_FALSE(place.isFallback);
    EXPECT_EQ(place.folder, programs());
    // A program folder that is gone cannot take files either.
    EXPECT_TRUE(FolderForOwnFiles(programs() + QStringLiteral("missing")).isFallback);
}

TEST_F(OwnFilesFolderTest, TheRealCheckRefusesAReadOnlyFolder)
{
    if (geteuid() == 0) GTEST_SKIP() << "running as root: a read-only folder still takes root's writes";
    QFile::setPermissions(programs(), QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_FALSE(CanCreateFilesIn(programs()));
    EXPECT_TRUE(FolderForOwnFiles(programs()).isFallback);
    QFile::setPermissions(programs(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(FallbackNotice, TellsOnceAndOnlyAboutTheFallback)
{
    const OwnFilesFolder program{QStringLiteral("/opt/k/"), false};
    const OwnFilesFolder fallback{QStringLiteral("/home/ann/.local/share/k/"), true};
    struct Step {
        const OwnFilesFolder* place;
        bool tell;
    };
    const Step steps[] = {{&program, false}, {&fallback, true}, {&fallback, false}, {&program, false}};
    FallbackNotice notice;
    int n = 0;
    for (const Step& step : steps) {
        EXPECT_EQ(notice.shouldTell(*step.place), step.tell) << "step " << n;
        ++n;
    }
    EXPECT_TRUE(notice.hasTold());
}

}  // namespace
