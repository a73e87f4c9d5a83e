// Taking back an extracted folder: the groups a folder offers, the order of the files, the files
// left out, the warnings for gaps and the refusal of two files with one number.

#include "folder_items.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cctype>

using namespace bundra;

namespace {

void touch(const QString& folder, const QString& name)
{
    QFile file(QDir(folder).filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << name.toStdString();
}

QStringList names(const QStringList& paths)
{
    QStringList out;
    for (const QString& path : paths) out << QFileInfo(path).fileName();
    return out;
}

struct GroupCase {
    const char* what;
    QStringList files;
    QString group;
    QStringList taken;  // in order
    int skipped;
    int gaps;
};

class SelectFolderFilesTest : public ::testing::TestWithParam<GroupCase> {};

TEST_P(SelectFolderFilesTest, TakesTheGroupInNumberOrder)
{
    const GroupCase& c = GetParam();
    QTemporaryDir dir;
    for (const QString& name : c.files) touch(dir.path(), name);
    const FolderSelection selection = SelectFolderFiles(dir.path(), c.group);
    EXPECT_TRUE(selection.isOk()) << selection.error.toStdString();
    EXPECT_EQ(names(selection.paths), c.taken);
    EXPECT_EQ(selection.skipped.size(), c.skipped) << selection.skipped.join(u'|').toStdString();
    EXPECT_EQ(selection.gaps.size(), c.gaps) << selection.gaps.join(u'|').toStdString();
    for (const QString& path : selection.paths) EXPECT_TRUE(QFileInfo(path).isAbsolute());
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SelectFolderFilesTest,
    ::testing::Values(
        // Numbers, not names, give the order; markers are entries like the rest.
        GroupCase{"number order",
                  {"sprites10.qsp", "sprites2.blank", "sprites1.qsp", "sprites3.double"},
                  "sprites",
                  {"sprites1.qsp", "sprites2.blank", "sprites3.double", "sprites10.qsp"},
                  0,
                  1},
        GroupCase{"padded numbers",
                  {"ress002.qdc", "ress001.pal", "ress003.qim"},
                  "ress",
                  {"ress001.pal", "ress002.qdc", "ress003.qim"},
                  0,
                  0},
        // A base that ends in a digit is named by the user: "level2007" is entry 7 of "level2".
        GroupCase{"typed base", {"level2007.qdc", "level2001.qdc"}, "level2", {"level2001.qdc", "level2007.qdc"}, 0, 1},
        GroupCase{"shorter base", {"level2007.qdc"}, "level", {"level2007.qdc"}, 0, 1},
        GroupCase{"base without regard to case", {"Text1.qbt", "text2.qbt"}, "text", {"Text1.qbt", "text2.qbt"}, 0, 0},
        // Batch files, other bases, names without digits and entry 0 are left out with a reason.
        GroupCase{"left out",
                  {"ress1.qim", "ress1.qbc", "readme.txt", "other1.qdc", "ress0.qdc", "ressx1.qdc", "ress2"},
                  "ress",
                  {"ress1.qim"},
                  6,
                  0},
        GroupCase{"gap at the start", {"a3.qdc", "a4.qdc"}, "a", {"a3.qdc", "a4.qdc"}, 0, 1},
        GroupCase{"two gaps", {"a1.qdc", "a3.qdc", "a7.qdc"}, "a", {"a1.qdc", "a3.qdc", "a7.qdc"}, 0, 2},
        // Movies come in the table's order, their markers with them.
        GroupCase{"movie table",
                  {"BOAT1.SMK", "ASCENSEU.SMK", "ASRETOUR.blank", "notes.txt"},
                  kMovieGroup,
                  {"ASCENSEU.SMK", "ASRETOUR.blank", "BOAT1.SMK"},
                  1,
                  1},
        GroupCase{"empty folder", {}, "ress", {}, 0, 0}),
    [](const ::testing::TestParamInfo<GroupCase>& param) {
        std::string name = param.param.what;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

TEST(SelectFolderFiles, TwoFilesWithOneNumberTakeNothingAndNameBoth)
{
    QTemporaryDir dir;
    for (const char* name : {"ress1.qim", "ress02.qdc", "ress2.blank", "ress3.qdc"}) touch(dir.path(), name);
    const FolderSelection selection = SelectFolderFiles(dir.path(), QStringLiteral("ress"));
    EXPECT_FALSE(selection.isOk());
    EXPECT_TRUE(selection.paths.isEmpty());
    EXPECT_TRUE(selection.error.contains(QLatin1String("ress02.qdc"))) << selection.error.toStdString();
    EXPECT_TRUE(selection.error.contains(QLatin1String("ress2.blank"))) << selection.error.toStdString();
    EXPECT_TRUE(selection.error.contains(QLatin1String("entry 2"))) << selection.error.toStdString();
}

TEST(SelectFolderFiles, GapWarningNamesTheMissingNumbers)
{
    QTemporaryDir dir;
    for (const char* name : {"a1.qdc", "a5.qdc"}) touch(dir.path(), name);
    const FolderSelection selection = SelectFolderFiles(dir.path(), QStringLiteral("a"));
    ASSERT_EQ(selection.gaps.size(), 1);
    EXPECT_TRUE(selection.gaps[0].startsWith(QLatin1String("entries 2 to 4 are missing")))
        << selection.gaps[0].toStdString();
}

TEST(FolderGroups, OffersEachBaseOnceThenTheMovies)
{
    QTemporaryDir dir;
    for (const char* name : {"sprites001.qsp", "sprites002.blank", "Sprites003.qsp", "level2007.qdc", "ress1.qbc",
                             "readme.txt", "INTRO.SMK", "007.qdc"})
        touch(dir.path(), name);
    QDir(dir.path()).mkdir(QStringLiteral("sub5.d"));
    EXPECT_EQ(FolderGroups(dir.path()), (QStringList{QString(), QStringLiteral("level"), QStringLiteral("sprites"),
                                                     QString::fromLatin1(kMovieGroup)}));
}

TEST(FolderGroups, MissingFolderOffersNothing)
{
    QTemporaryDir dir;
    EXPECT_TRUE(FolderGroups(dir.filePath(QStringLiteral("gone"))).isEmpty());
    EXPECT_TRUE(SelectFolderFiles(dir.filePath(QStringLiteral("gone")), QStringLiteral("a")).paths.isEmpty());
}

}  // namespace
