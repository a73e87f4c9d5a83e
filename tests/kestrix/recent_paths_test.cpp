// The recent-archives and favourite-folder lists: their order, their limit and how they are kept
// in the settings store.

#include "recent_paths.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "settings_store.h"

using namespace kestrix;

namespace {

struct AddCase {
    const char* name;
    int maximum;
    std::vector<RecentPath> added;     // in the order they are added
    std::vector<RecentPath> expected;  // menu order, the newest first
};

QString archive(int n)
{
    return QStringLiteral("/games/a%1.hqr").arg(n);
}

std::vector<RecentPath> numbered(int from, int to)
{
    std::vector<RecentPath> paths;
    for (int n = from; from <= to ? n <= to : n >= to; n += from <= to ? 1 : -1) paths.push_back({archive(n), n});
    return paths;
}

const AddCase kAddCases[] = {
    {"NewestFirst", 10, {{"/a.hqr", 0}, {"/b.vox", 1}}, {{"/b.vox", 1}, {"/a.hqr", 0}}},
    {"AddedAgainMovesUpWithItsNewImage",
     10,
     {{"/a.hqr", 0}, {"/b.vox", 1}, {"/c.ile", 2}, {"/a.hqr", 3}},
     {{"/a.hqr", 3}, {"/c.ile", 2}, {"/b.vox", 1}}},
    {"PathsDifferingInCaseAreTwo", 10, {{"/a.hqr", 0}, {"/A.hqr", 0}}, {{"/A.hqr", 0}, {"/a.hqr", 0}}},
    {"EmptyIgnored", 10, {{"/a.hqr", 0}, {"", 1}}, {{"/a.hqr", 0}}},
    {"FullListLosesItsOldest", 10, numbered(1, 11), numbered(11, 2)},
    {"SmallerMaximum", 3, numbered(1, 5), numbered(5, 3)},
    {"MaximumCappedAtTen", 50, numbered(1, 12), numbered(12, 3)},
    {"MaximumAtLeastOne", 0, numbered(1, 2), numbered(2, 2)},
};

class RecentPathsAddTest : public ::testing::TestWithParam<AddCase> {};

TEST_P(RecentPathsAddTest, KeepsTheNewestOnTop)
{
    const AddCase& c = GetParam();
    RecentPaths list(c.maximum);
    for (const RecentPath& p : c.added) list.add(p.path, p.image);
    EXPECT_EQ(list.items(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Adds, RecentPathsAddTest, ::testing::ValuesIn(kAddCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(RecentPathsTest, ReplaceKeepsMenuOrderWithoutRepeatsOrBlanks)
{
    RecentPaths list(3);
    list.add("/old.hqr", 0);
    list.replace({{"/b", -2}, {"", -2}, {"/a", -2}, {"/b", 0}, {"/c", -2}, {"/d", -2}});
    EXPECT_EQ(list.items(), (std::vector<RecentPath>{{"/b", -2}, {"/a", -2}, {"/c", -2}}));
    EXPECT_EQ(list.paths(), (QStringList{"/b", "/a", "/c"}));
    list.clear();
    EXPECT_TRUE(list.isEmpty());
}

class RecentPathsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { RegistryKey::useFolderForTesting(m_dir.path()); }
    void TearDown() override { RegistryKey::settings().deleteKey(); }
    QTemporaryDir m_dir;
};

TEST_F(RecentPathsStoreTest, RestoredListMatchesTheSavedOne)
{
    RegistryKey settings = RegistryKey::settings();
    RecentPaths saved;
    for (const RecentPath& p : numbered(1, 12)) saved.add(p.path, p.image);
    saved.add("/Games/Ünïcode/Ress.HQR", 0);
    saved.save(settings, "History");

    RecentPaths restored;
    restored.add("/stale.hqr", 0);
    ASSERT_TRUE(restored.restore(RegistryKey::settings(), "history"));
    EXPECT_EQ(restored.items(), saved.items());

    // A shorter list saved later replaces the whole stored one.
    RecentPaths shorter;
    shorter.add("/only.vox", 1);
    shorter.save(settings, "History");
    ASSERT_TRUE(restored.restore(settings, "History"));
    EXPECT_EQ(restored.items(), shorter.items());
}

TEST_F(RecentPathsStoreTest, AbsentListLeavesTheMenuAsItWas)
{
    RegistryKey settings = RegistryKey::settings();
    settings.writeText("Default Output", "/out/");
    RecentPaths list;
    list.add("/a.hqr", 0);
    EXPECT_FALSE(list.restore(settings, "History"));
    EXPECT_EQ(list.paths(), QStringList{"/a.hqr"});
    EXPECT_FALSE(settings.subkey("History").exists());  // restoring creates nothing
}

TEST_F(RecentPathsStoreTest, DamagedStoreGivesWhatCanBeRead)
{
    RegistryKey stored = RegistryKey::settings().subkey("Favorites");
    stored.writeInteger("Count", 40);
    for (int i = 0; i < 12; ++i) {
        if (i == 1) continue;  // a path gone from the store
        stored.writeText(QStringLiteral("Item%1").arg(i), archive(i));
        if (i != 2) stored.writeInteger(QStringLiteral("Image%1").arg(i), -2);
    }

    RecentPaths list;
    ASSERT_TRUE(list.restore(RegistryKey::settings(), "Favorites"));
    std::vector<RecentPath> expected = {{archive(0), -2}, {archive(2), 0}};
    for (int i = 3; i < 10; ++i) expected.push_back({archive(i), -2});
    EXPECT_EQ(list.items(), expected);
}

}  // namespace
