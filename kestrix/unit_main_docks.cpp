// The main window's six tool bars: the two docks of the right pane, the tool bar menu, the control
// panel under them, and the layout kept in the settings.

#include <QDataStream>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QToolBar>

#include <algorithm>
#include <map>

#include "kestrix_icons.h"
#include "settings_store.h"
#include "ui_unit_main.h"
#include "unit_main.h"

namespace kestrix {

namespace {

constexpr char kBottomDock[] = "dck_Top";
constexpr char kTopDock[] = "dck_TopControlsDock";
// Widths of the two tool windows when they start floating.
constexpr int kFileDirFloatingWidth = 314;
constexpr int kInfoFloatingWidth = 309;

// Where a bar stands in the right pane's layout, as the pane itself keeps it: the area's lines in
// order, hidden bars keeping their place.
struct BarLine {
    int dock = -1;  // kPaneTopArea or kPaneBottomArea
    int line = 0;
    bool floating = false;
};

// The pane's own number of its top and bottom tool bar areas.
constexpr int kPaneTopArea = 2;
constexpr int kPaneBottomArea = 3;

// Reads the lines of the pane's saved state (its tool bar part; the pane has no dock widgets).
// The pane counts the lines of an area from the window's edge outwards; `linesInDock` gets the
// number of lines of each area. Returns an empty map when the state is not in the form expected.
std::map<QString, BarLine> readBarLines(const QByteArray& state, std::map<int, int>& linesInDock)
{
    QDataStream in(state);
    in.setVersion(QDataStream::Qt_5_0);
    int versionMarker = 0;
    int version = 0;
    uchar marker = 0;
    in >> versionMarker >> version >> marker;
    if (versionMarker != 0xff || marker != 0xfd) return {};
    int dockAreas = 0;
    in >> dockAreas;
    if (dockAreas != 0) return {};
    QSize centralSize;
    in >> centralSize;
    for (int i = 0; i < 4; ++i) {
        int corner = 0;
        in >> corner;
    }
    in >> marker;
    if (marker != 0xfc) return {};
    int lines = 0;
    in >> lines;
    std::map<QString, BarLine> result;
    linesInDock.clear();
    for (int l = 0; l < lines && in.status() == QDataStream::Ok; ++l) {
        int dock = 0;
        int items = 0;
        in >> dock >> items;
        const int line = linesInDock[dock]++;
        for (int k = 0; k < items && in.status() == QDataStream::Ok; ++k) {
            QString name;
            uchar shown = 0;
            int pos = 0;
            int preferred = 0;
            uint geometry0 = 0;
            uint geometry1 = 0;
            in >> name >> shown >> pos >> preferred >> geometry0 >> geometry1;
            result[name] = BarLine{dock, line, (geometry0 & 1u) != 0};
        }
    }
    if (in.status() != QDataStream::Ok) return {};
    return result;
}

}  // namespace

QList<QToolBar*> Tfrm_Main::toolBars() const
{
    return {ui->tb_Command, ui->tw_FileDir, ui->tb_Options, ui->tb_OutputFilename, ui->tb_FromTo, ui->tw_Info};
}

void Tfrm_Main::setupToolBars()
{
    const QList<QToolBar*> bars = toolBars();
    m_lastRows.resize(static_cast<std::size_t>(bars.size()));
    for (int i = 0; i < bars.size(); ++i) {
        QToolBar* bar = bars[i];
        m_lastRows[static_cast<std::size_t>(i)] = i;
        bar->setIconSize(QSize(16, 16));
        bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        QAction* item = m_toolBarItems[i];
        item->setIcon(ToolBarMarkIcon(true));
        connect(item, &QAction::triggered, this, [this, i](bool checked) { toggleToolBar(i, checked); });
        connect(bar, &QToolBar::visibilityChanged, this, [this, bar, item] {
            // The bar's own state, not the window's: a hidden window hides its bars too.
            const bool shown = !bar->isHidden();
            item->setChecked(shown);
            item->setIcon(ToolBarMarkIcon(shown));
            updateControlPanel();
        });
    }
    // The tool bar buttons carry the names and help numbers of their commands.
    for (QAction* action : ui->tb_Command->actions())
        if (QWidget* button = ui->tb_Command->widgetForAction(action)) {
            button->setObjectName(action->objectName());
            button->setProperty("helpContext", action->property("helpContext"));
        }
    connect(ui->tw_FileDir, &QToolBar::topLevelChanged, this, [this](bool floating) {
        if (floating) ui->tw_FileDir->resize(kFileDirFloatingWidth, ui->tw_FileDir->height());
    });
    connect(ui->tw_Info, &QToolBar::topLevelChanged, this, [this](bool floating) {
        if (floating) ui->tw_Info->resize(kInfoFloatingWidth, ui->tw_Info->height());
    });

    auto showMenu = [this](QWidget* on, const QPoint& pos) { pm_ToolBars->popup(on->mapToGlobal(pos)); };
    connect(ui->pnl_Docks, &QWidget::customContextMenuRequested, this,
            [this, showMenu](const QPoint& pos) { showMenu(ui->pnl_Docks, pos); });
    connect(ui->pnl_Controlls, &QWidget::customContextMenuRequested, this,
            [this, showMenu](const QPoint& pos) { showMenu(ui->pnl_Controlls, pos); });
    ui->gp_Itm->hide();
    updateControlPanel();
}

void Tfrm_Main::toggleToolBar(int index, bool shown)
{
    QToolBar* bar = toolBars().at(index);
    bar->setVisible(shown);
    m_toolBarItems[index]->setChecked(!bar->isHidden());
    m_toolBarItems[index]->setIcon(ToolBarMarkIcon(!bar->isHidden()));
    updateControlPanel();
}

// With every bar hidden the panel under the list shows its caption, 20 pixels high, so that there
// is something to right-click; the progress bar shows under the docks while it runs.
void Tfrm_Main::updateControlPanel()
{
    bool anyShown = false;
    for (QToolBar* bar : toolBars()) anyShown = anyShown || !bar->isHidden();
    ui->lbl_Controlls->setVisible(!anyShown);
    ui->pnl_Controlls->setVisible(!anyShown || !ui->gp_Itm->isHidden());
}

std::vector<BarPlacement> Tfrm_Main::currentPlacements() const
{
    std::map<int, int> lineCounts;
    const std::map<QString, BarLine> lines = readBarLines(ui->pnl_Docks->saveState(), lineCounts);
    std::vector<BarPlacement> placements;
    const QList<QToolBar*> bars = toolBars();
    for (int i = 0; i < bars.size(); ++i) {
        QToolBar* bar = bars[i];
        BarPlacement place;
        place.bar = bar->objectName();
        place.visible = !bar->isHidden();
        // A dock's rows count from its top, in both docks.
        const auto found = lines.find(bar->objectName());
        if (found == lines.end())
            place.dockRow = m_lastRows[static_cast<std::size_t>(i)];
        else if (found->second.dock == kPaneBottomArea)
            place.dockRow = lineCounts[kPaneBottomArea] - 1 - found->second.line;
        else
            place.dockRow = found->second.line;
        if (!bar->isFloating())
            place.dockedTo =
                QString::fromLatin1(ui->pnl_Docks->toolBarArea(bar) == Qt::TopToolBarArea ? kTopDock : kBottomDock);
        placements.push_back(place);
    }
    return placements;
}

void Tfrm_Main::SaveDockLayout()
{
    const std::vector<BarPlacement> placements = currentPlacements();
    const bool anyFloating =
        std::any_of(placements.begin(), placements.end(), [](const BarPlacement& p) { return p.isFloating(); });
    RegistryKey key = RegistryKey::settings();
    kestrix::SaveDockLayout(key, placements, anyFloating ? ui->pnl_Docks->saveState() : QByteArray());
}

void Tfrm_Main::RestoreDockLayout()
{
    QStringList names;
    for (QToolBar* bar : toolBars()) names << bar->objectName();
    const DockLayout layout = kestrix::RestoreDockLayout(RegistryKey::settings(), names);
    if (layout.bars.empty()) return;
    applyPlacements(layout.bars, layout.floatingState);
}

// Puts the bars where `bars` says (the first bars in order; the others stay as designed). A bar
// stored as floating floats when the saved state brings it back so; otherwise it stays docked.
void Tfrm_Main::applyPlacements(const std::vector<BarPlacement>& bars, const QByteArray& floatingState)
{
    const QList<QToolBar*> all = toolBars();
    const bool anyFloating =
        std::any_of(bars.begin(), bars.end(), [](const BarPlacement& p) { return p.isFloating(); });
    if (anyFloating && !floatingState.isEmpty()) ui->pnl_Docks->restoreState(floatingState);

    struct Place {
        QToolBar* bar;
        Qt::ToolBarArea area;
        int row;
        int order;
        bool visible;
    };
    std::vector<Place> docked;
    std::vector<std::pair<QToolBar*, bool>> visibility;
    for (int i = 0; i < all.size(); ++i) {
        QToolBar* bar = all[i];
        const bool restored = static_cast<std::size_t>(i) < bars.size();
        const bool visible = restored ? bars[static_cast<std::size_t>(i)].visible : !bar->isHidden();
        visibility.emplace_back(bar, visible);
        if (restored && bars[static_cast<std::size_t>(i)].isFloating()) {
            if (bar->isFloating()) continue;
        }
        Place place{bar, Qt::BottomToolBarArea, i, i, visible};
        if (restored) {
            const BarPlacement& stored = bars[static_cast<std::size_t>(i)];
            place.row = stored.dockRow;
            if (stored.dockedTo == QLatin1String(kTopDock)) place.area = Qt::TopToolBarArea;
        } else {
            place.area = bar->isFloating() ? Qt::BottomToolBarArea : ui->pnl_Docks->toolBarArea(bar);
        }
        m_lastRows[static_cast<std::size_t>(i)] = place.row;
        docked.push_back(place);
    }
    // Lines are added from the window's edge outwards: the top dock from its first row down, the
    // bottom dock from its last row up.
    std::sort(docked.begin(), docked.end(), [](const Place& a, const Place& b) {
        if (a.area != b.area) return a.area < b.area;
        if (a.row != b.row) return a.area == Qt::BottomToolBarArea ? a.row > b.row : a.row < b.row;
        return a.order < b.order;
    });
    for (const Place& place : docked) ui->pnl_Docks->removeToolBar(place.bar);
    bool first = true;
    Qt::ToolBarArea area = Qt::NoToolBarArea;
    int row = 0;
    for (const Place& place : docked) {
        if (!first && place.area == area && place.row != row) ui->pnl_Docks->addToolBarBreak(area);
        ui->pnl_Docks->addToolBar(place.area, place.bar);
        first = false;
        area = place.area;
        row = place.row;
    }
    for (const auto& [bar, visible] : visibility) bar->setVisible(visible);
    for (int i = 0; i < all.size(); ++i) {
        m_toolBarItems[i]->setChecked(!all[i]->isHidden());
        m_toolBarItems[i]->setIcon(ToolBarMarkIcon(!all[i]->isHidden()));
    }
    updateControlPanel();
}

}  // namespace kestrix
