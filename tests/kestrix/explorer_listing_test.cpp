// The file explorer's listing: which files and folders it shows, their pictures, the two sort
// orders and the folder path helpers.

#include "explorer_listing.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include <algorithm>

#include "test_support.h"

using namespace kestrix;
using namespace testing_support;

namespace {

struct ArchiveNameCase {
    const char* name;
    const char* path;
    bool listed;
    ExplorerImage image;
};

const ArchiveNameCase kArchiveNameCases[] = {
    {"Hqr", "/games/RESS.HQR", true, ExplorerImage::Archive},
    {"VoxWithoutCase", "en_gam.VoX", true, ExplorerImage::Speech},
    {"Ile", "citadel.ile", true, ExplorerImage::Island},
    {"Obl", "citadel.OBL", true, ExplorerImage::IslandObject},
    {"OtherExtensionIsAnArchivePictureButNotListed", "notes.txt", false, ExplorerImage::Archive},
    {"OnlyTheLastExtensionCounts", "ress.hqr.bak", false, ExplorerImage::Archive},
    {"NoExtension", "hqr", false, ExplorerImage::Archive},
    {"AFolderNamedLikeAnArchiveDoesNotLend", "/data.vox/readme", false, ExplorerImage::Archive},
};

class ArchiveNameTest : public ::testing::TestWithParam<ArchiveNameCase> {};

TEST_P(ArchiveNameTest, ExtensionDecidesListingAndPicture)
{
    const ArchiveNameCase& c = GetParam();
    EXPECT_EQ(IsExplorerArchive(QString::fromUtf8(c.path)), c.listed);
    EXPECT_EQ(ArchiveImage(QString::fromUtf8(c.path)), c.image);
}

INSTANTIATE_TEST_SUITE_P(Names, ArchiveNameTest, ::testing::ValuesIn(kArchiveNameCases),
                         [](const auto& param) { return std::string(param.param.name); });

QStringList captionsOf(const std::vector<ExplorerItem>& items)
{
    QStringList captions;
    for (const ExplorerItem& item : items) captions << item.caption;
    return captions;
}

TEST(ListExplorerFolderTest, ListsFoldersAndArchivesOnly)
{
    TempFolder dir;
    QDir root(dir.path());
    for (const char* folder : {"Sub", ".hidden", "data.hqr"}) ASSERT_TRUE(root.mkdir(QString::fromLatin1(folder)));
    for (const char* file : {"B.HQR", "a.vox", "c.ile", "d.obl", ".secret.hqr", "notes.txt", "noext"})
        writeFile(dir.path(QString::fromLatin1(file)), {1});
    ASSERT_TRUE(QFile::link(dir.path("B.HQR"), dir.path("link.hqr")));
    ASSERT_TRUE(QFile::link(dir.path("Sub"), dir.path("linked")));
    ASSERT_TRUE(QFile::link(dir.path("gone.hqr"), dir.path("dead.hqr")));  // broken: nothing to list

    std::vector<ExplorerItem> items = ListExplorerFolder(dir.path() + "/");
    SortExplorerItems(items, true);
    EXPECT_EQ(captionsOf(items), (QStringList{".secret.hqr", "[..]", "[.hidden]", "[data.hqr]", "[linked]", "[Sub]",
                                              "a.vox", "B.HQR", "c.ile", "d.obl", "link.hqr"}));

    const auto find = [&](const QString& caption) {
        return *std::find_if(items.begin(), items.end(), [&](const ExplorerItem& i) { return i.caption == caption; });
    };
    EXPECT_EQ(find("[Sub]"), (ExplorerItem{"[Sub]", ExplorerImage::Folder, true}));
    EXPECT_EQ(find("[Sub]").name(), "Sub");
    EXPECT_EQ(find("[..]").name(), "..");
    EXPECT_EQ(find("a.vox"), (ExplorerItem{"a.vox", ExplorerImage::Speech, false}));
    EXPECT_EQ(find("a.vox").name(), "a.vox");
    EXPECT_EQ(find("d.obl").image, ExplorerImage::IslandObject);
    EXPECT_EQ(ListExplorerFolder(dir.path()), ListExplorerFolder(dir.path() + "/"));
}

TEST(ListExplorerFolderTest, RootHasNoParentAndAMissingFolderNothing)
{
    const QStringList rootCaptions = captionsOf(ListExplorerFolder("/"));
    EXPECT_FALSE(rootCaptions.contains("[..]"));
    EXPECT_TRUE(rootCaptions.contains("[tmp]"));

    TempFolder dir;
    EXPECT_TRUE(ListExplorerFolder(dir.path("missing")).empty());
    writeFile(dir.path("file.hqr"), {1});
    EXPECT_TRUE(ListExplorerFolder(dir.path("file.hqr")).empty());
}

ExplorerItem folder(const char* name)
{
    return {QLatin1Char('[') + QString::fromLatin1(name) + QLatin1Char(']'), ExplorerImage::Folder, true};
}

ExplorerItem file(const char* name)
{
    return {QString::fromLatin1(name), ArchiveImage(QString::fromLatin1(name)), false};
}

struct SortCase {
    const char* name;
    bool byName;
    QStringList expected;
};

const SortCase kSortCases[] = {
    // Folders first, then the archives grouped by extension, each group by name; captions equal but
    // for case keep a fixed order.
    {"ByTypeGroupsByExtension",
     false,
     {"[..]", "[alpha]", "[Zeta]", "A.hqr", "c.HQR", "Same.hqr", "same.hqr", "a.ILE", "m.ile", "x.obl", "b.vox"}},
    // By name, the captions alone decide: "[" sorts before any letter.
    {"ByNameMixesKinds",
     true,
     {"[..]", "[alpha]", "[Zeta]", "A.hqr", "a.ILE", "b.vox", "c.HQR", "m.ile", "Same.hqr", "same.hqr", "x.obl"}},
};

class SortTest : public ::testing::TestWithParam<SortCase> {};

TEST_P(SortTest, OrderDoesNotDependOnTheListing)
{
    const SortCase& c = GetParam();
    std::vector<ExplorerItem> items = {file("b.vox"),    file("same.hqr"), folder("Zeta"), file("A.hqr"),
                                       file("m.ile"),    folder(".."),     file("x.obl"),  file("c.HQR"),
                                       file("Same.hqr"), folder("alpha"),  file("a.ILE")};
    for (int round = 0; round < 3; ++round) {
        std::vector<ExplorerItem> shuffled = items;
        if (round == 1) std::reverse(shuffled.begin(), shuffled.end());
        if (round == 2) std::rotate(shuffled.begin(), shuffled.begin() + 4, shuffled.end());
        SortExplorerItems(shuffled, c.byName);
        EXPECT_EQ(captionsOf(shuffled), c.expected) << "round " << round;
    }
}

INSTANTIATE_TEST_SUITE_P(Orders, SortTest, ::testing::ValuesIn(kSortCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(SortTest, ByTypeComparesFoldersAndFilesBothWays)
{
    EXPECT_TRUE(CompareByType(folder("zzz"), file("a.hqr")));
    EXPECT_FALSE(CompareByType(file("a.hqr"), folder("zzz")));
    EXPECT_FALSE(CompareByType(file("a.hqr"), file("a.hqr")));
    EXPECT_FALSE(CompareByName(folder("x"), folder("x")));
}

struct FolderPathCase {
    const char* name;
    const char* folder;
    const char* withSeparator;
    const char* parent;
};

const FolderPathCase kFolderPathCases[] = {
    {"Nested", "/a/b/", "/a/b/", "/a/"},
    {"NestedWithoutSeparator", "/a/b", "/a/b/", "/a/"},
    {"KeepsCase", "/Games/Quarn", "/Games/Quarn/", "/Games/"},
    {"SeveralSeparators", "/a/b//", "/a/b/", "/a/"},
    {"BelowRoot", "/a/", "/a/", "/"},
    {"Root", "/", "/", "/"},
    {"Empty", "", "", ""},
};

class FolderPathTest : public ::testing::TestWithParam<FolderPathCase> {};

TEST_P(FolderPathTest, TrailingSeparatorAndParent)
{
    const FolderPathCase& c = GetParam();
    EXPECT_EQ(WithTrailingSeparator(QString::fromLatin1(c.folder)), QString::fromLatin1(c.withSeparator));
    EXPECT_EQ(ParentFolder(QString::fromLatin1(c.folder)), QString::fromLatin1(c.parent));
}

INSTANTIATE_TEST_SUITE_P(Paths, FolderPathTest, ::testing::ValuesIn(kFolderPathCases),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
