// The main window's stored tool bar layout: what is saved, and how far a damaged store is read.

#include "dock_layout.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "settings_store.h"

using namespace kestrix;

namespace {

const QStringList kBarOrder = {"tb_Command", "tw_FileDir", "tb_Options", "tb_OutputFilename", "tb_FromTo", "tw_Info"};

const std::vector<BarPlacement> kPlacements = {
    {"tb_Command", true, 0, "dck_Top"},
    {"tw_FileDir", true, 1, "dck_Top"},
    {"tb_Options", false, 0, "dck_TopControlsDock"},
    {"tb_OutputFilename", true, 2, "dck_TopControlsDock"},
    {"tb_FromTo", true, 0, ""},  // floating
    {"tw_Info", false, 3, "dck_Top"},
};

const QByteArray kWindowState("\x00\xff state", 8);

class DockLayoutTest : public ::testing::Test {
protected:
    void SetUp() override { RegistryKey::useFolderForTesting(m_dir.path()); }
    void TearDown() override { RegistryKey::settings().deleteKey(); }
    RegistryKey tb() const { return RegistryKey::settings().subkey(kDockLayoutKey); }
    QTemporaryDir m_dir;
};

TEST_F(DockLayoutTest, RestoreGivesBackWhatWasSaved)
{
    RegistryKey settings = RegistryKey::settings();
    SaveDockLayout(settings, kPlacements, kWindowState);
    EXPECT_EQ(tb().readText("tb_FromTo.DockedTo"), "");
    EXPECT_EQ(tb().readYesNo("tb_Options.Visible"), false);

    const DockLayout layout = RestoreDockLayout(settings, kBarOrder);
    EXPECT_TRUE(layout.complete);
    EXPECT_EQ(layout.bars, kPlacements);
    EXPECT_TRUE(layout.bars[4].isFloating());
    EXPECT_EQ(layout.floatingState, kWindowState);

    // Saving again without a window state takes the old one away.
    SaveDockLayout(settings, kPlacements, {});
    EXPECT_FALSE(tb().hasValue(kFloatingStateValue));
    EXPECT_TRUE(RestoreDockLayout(settings, kBarOrder).floatingState.isEmpty());
}

TEST_F(DockLayoutTest, AbsentKeyGivesAnEmptyLayout)
{
    RegistryKey::settings().writeText("Default Output", "/out/");
    const DockLayout layout = RestoreDockLayout(RegistryKey::settings(), kBarOrder);
    EXPECT_TRUE(layout.bars.empty());
    EXPECT_FALSE(layout.complete);
    EXPECT_TRUE(layout.floatingState.isEmpty());
    EXPECT_FALSE(tb().exists());
}

struct DamageCase {
    const char* name;
    const char* value;
    const char* text;  // nullptr: the value is removed
    std::size_t barsRestored;
};

const DamageCase kDamageCases[] = {
    {"MissingDockRowStopsAfterTheBarsBefore", "tb_Options.DockRow", nullptr, 2},
    {"DockRowNotANumber", "tb_FromTo.DockRow", "two", 4},
    {"VisibleNotYesNo", "tb_OutputFilename.Visible", "maybe", 3},
    {"MissingDockedToOfTheFirstBar", "tb_Command.DockedTo", nullptr, 0},
    {"MissingLastValue", "tw_Info.Visible", nullptr, 5},
};

class DockLayoutDamageTest : public DockLayoutTest, public ::testing::WithParamInterface<DamageCase> {};

TEST_P(DockLayoutDamageTest, RestoreStopsAtTheFirstUnreadableValue)
{
    const DamageCase& c = GetParam();
    RegistryKey settings = RegistryKey::settings();
    SaveDockLayout(settings, kPlacements, kWindowState);
    RegistryKey key = tb();
    if (c.text)
        key.writeText(c.value, c.text);
    else
        key.deleteValue(c.value);

    const DockLayout layout = RestoreDockLayout(settings, kBarOrder);
    EXPECT_FALSE(layout.complete);
    EXPECT_EQ(layout.bars, std::vector<BarPlacement>(kPlacements.begin(), kPlacements.begin() + c.barsRestored));
    EXPECT_EQ(layout.floatingState, kWindowState);
}

INSTANTIATE_TEST_SUITE_P(Damage, DockLayoutDamageTest, ::testing::ValuesIn(kDamageCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(DockLayoutTest, WindowStateThatIsNotBase64IsDropped)
{
    RegistryKey settings = RegistryKey::settings();
    SaveDockLayout(settings, kPlacements, kWindowState);
    tb().writeText(kFloatingStateValue, "not*base64!");
    const DockLayout layout = RestoreDockLayout(settings, kBarOrder);
    EXPECT_TRUE(layout.complete);
    EXPECT_TRUE(layout.floatingState.isEmpty());
}

}  // namespace
