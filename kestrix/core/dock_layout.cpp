#include "dock_layout.h"

#include <optional>

#include "settings_store.h"

namespace kestrix {

namespace {

QString visibleValue(const QString& bar)
{
    return bar + QStringLiteral(".Visible");
}

QString dockRowValue(const QString& bar)
{
    return bar + QStringLiteral(".DockRow");
}

QString dockedToValue(const QString& bar)
{
    return bar + QStringLiteral(".DockedTo");
}

}  // namespace

void SaveDockLayout(RegistryKey& settingsKey, const std::vector<BarPlacement>& bars, const QByteArray& floatingState)
{
    RegistryKey key = settingsKey.subkey(QString::fromLatin1(kDockLayoutKey));
    for (const BarPlacement& bar : bars) {
        key.writeYesNo(visibleValue(bar.bar), bar.visible);
        key.writeInteger(dockRowValue(bar.bar), bar.dockRow);
        key.writeText(dockedToValue(bar.bar), bar.dockedTo);
    }
    if (floatingState.isEmpty())
        key.deleteValue(QString::fromLatin1(kFloatingStateValue));
    else
        key.writeText(QString::fromLatin1(kFloatingStateValue), QString::fromLatin1(floatingState.toBase64()));
}

DockLayout RestoreDockLayout(const RegistryKey& settingsKey, const QStringList& barOrder)
{
    DockLayout layout;
    const RegistryKey key = settingsKey.subkey(QString::fromLatin1(kDockLayoutKey));
    if (!key.exists()) return layout;

    layout.complete = true;
    for (const QString& bar : barOrder) {
        const std::optional<bool> visible = key.readYesNo(visibleValue(bar));
        const std::optional<qint32> dockRow = key.readInteger(dockRowValue(bar));
        const std::optional<QString> dockedTo = key.readText(dockedToValue(bar));
        if (!visible || !dockRow || !dockedTo) {
            layout.complete = false;
            break;
        }
        layout.bars.push_back({bar, *visible, *dockRow, *dockedTo});
    }

    if (const std::optional<QString> state = key.readText(QString::fromLatin1(kFloatingStateValue))) {
        const QByteArray::FromBase64Result decoded =
            QByteArray::fromBase64Encoding(state->toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (decoded) layout.floatingState = *decoded;
    }
    return layout;
}

}  // namespace kestrix
