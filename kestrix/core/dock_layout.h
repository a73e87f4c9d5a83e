#pragma once

// The stored tool bar layout of the extractor's main window, under the settings key's subkey "tb":
// for each bar, in a fixed order, "<bar>.Visible" (yes/no), "<bar>.DockRow" (integer, the bar's
// line in its dock) and "<bar>.DockedTo" (text, the dock's name; "" when the bar floats). One more
// value, "FloatingState", may hold the window's own saved state (base64), used only to put floating
// bars back where they were.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace kestrix {

class RegistryKey;

inline constexpr char kDockLayoutKey[] = "tb";
inline constexpr char kFloatingStateValue[] = "FloatingState";

struct BarPlacement {
    QString bar;  // the bar's name, "tb_Command"
    bool visible = true;
    int dockRow = 0;
    QString dockedTo;  // "dck_Top", "dck_TopControlsDock", or "" when floating

    bool isFloating() const { return dockedTo.isEmpty(); }
    friend bool operator==(const BarPlacement&, const BarPlacement&) = default;
};

struct DockLayout {
    // The bars restored, in bar order; a restore that stopped early holds the bars before the stop.
    std::vector<BarPlacement> bars;
    // The window's saved state when stored (empty otherwise).
    QByteArray floatingState;
    // True when every bar asked for was read.
    bool complete = false;
};

// Writes the three values of each bar in the order given, and `floatingState` (when not empty;
// removed when empty), under `settingsKey`'s subkey "tb", creating it.
void SaveDockLayout(RegistryKey& settingsKey, const std::vector<BarPlacement>& bars, const QByteArray& floatingState);

// Reads the bars named in `barOrder`, in that order, from the subkey "tb" without creating it.
// Absent key: an empty layout, not complete. A missing or unreadable value (a DockRow that is not a
// number, a Visible that is not yes/no) ends the restore at that bar: the bars before it are
// returned. The floating state is read whatever happened (empty when absent or not base64).
DockLayout RestoreDockLayout(const RegistryKey& settingsKey, const QStringList& barOrder);

}  // namespace kestrix
