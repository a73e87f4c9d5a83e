#include "text_grid_model.h"

#include <QGuiApplication>
#include <QPalette>

namespace tessel {

const char kNoFileText[] = "No file loaded\r\n\r\n\r\nQuarn Reader v1.1";

TextGridModel::TextGridModel(QObject* parent) : QAbstractTableModel(parent)
{
    showNoFile();
}

void TextGridModel::showNoFile()
{
    beginResetModel();
    TextBankEntry start;
    start.text = QString::fromLatin1(kNoFileText);
    m_entries = {start};
    m_loaded = false;
    endResetModel();
}

void TextGridModel::setEntries(std::vector<TextBankEntry> entries)
{
    beginResetModel();
    m_entries = std::move(entries);
    m_loaded = true;
    endResetModel();
}

bool TextGridModel::applyEdit(int row, const QString& text, int frame, bool isQuarn1,
                              kestrix::OperationObserver* observer)
{
    if (!m_loaded || row < 0 || row >= rowCount()) return false;
    if (!ApplyTextEdit(m_entries, static_cast<std::size_t>(row), text, frame, isQuarn1, observer)) return false;
    emit dataChanged(index(row, Offset_List), index(rowCount() - 1, ID_Token));
    return true;
}

QString TextGridModel::offsetText(int row) const
{
    if (!m_loaded || row < 0 || row >= rowCount()) return {};
    return QString::number(m_entries[static_cast<std::size_t>(row)].offset);
}

QString TextGridModel::frameText(int row) const
{
    if (!m_loaded || row < 0 || row >= rowCount()) return {};
    const int frame = m_entries[static_cast<std::size_t>(row)].frame;
    return frame > 0 ? QString::number(frame) : QStringLiteral("n\\a");
}

int TextGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_entries.size());
}

int TextGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant TextGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        if (column == Offset_List) return offsetText(index.row());
        if (column == ID_Token) return frameText(index.row());
        // The grid wraps at line feeds; the row keeps its CR LF pairs.
        return QString(m_entries[static_cast<std::size_t>(index.row())].text).remove(QLatin1Char('\r'));
    case Qt::TextAlignmentRole:
        return column == Text_List ? QVariant(Qt::AlignLeft | Qt::AlignTop) : QVariant(Qt::AlignRight | Qt::AlignTop);
    case Qt::BackgroundRole:
        if (column != Text_List) return QGuiApplication::palette().button();
        return {};
    default:
        return {};
    }
}

QVariant TextGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal) return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole) {
        if (section == Offset_List) return QStringLiteral("Offset");
        if (section == Text_List) return QStringLiteral("Text");
        return QString();
    }
    if (role == Qt::TextAlignmentRole && section == Offset_List) return QVariant(Qt::AlignRight | Qt::AlignBottom);
    return {};
}

Qt::ItemFlags TextGridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    // Only the text column can be selected; the others are shown for reading.
    if (index.column() == Text_List) return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return Qt::ItemIsEnabled;
}

}  // namespace tessel
