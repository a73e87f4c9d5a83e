#include "packer_list_model.h"

#include <algorithm>

namespace bundra {

PackerListModel::PackerListModel(QObject* parent) : QAbstractTableModel(parent) {}

int PackerListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_items.size());
}

int PackerListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PackerListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const PackerItem& item = m_items[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        switch (index.column()) {
        case PositionColumn:
            return QString::number(index.row() + 1);
        case FilenameColumn:
            return item.path;
        case SizeColumn:
            return item.size;
        case OffsetColumn:
            return item.reference;
        default:
            return {};
        }
    }
    if (role == Qt::TextAlignmentRole && (index.column() == SizeColumn || index.column() == OffsetColumn))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant PackerListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal) return {};
    if (role == Qt::DisplayRole) {
        static const char* const captions[ColumnCount] = {"", "Filename", "File Size", "Offset"};
        return section >= 0 && section < ColumnCount ? QString::fromLatin1(captions[section]) : QVariant();
    }
    if (role == Qt::TextAlignmentRole && (section == SizeColumn || section == OffsetColumn))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

void PackerListModel::insertItems(int row, const std::vector<PackerItem>& items)
{
    if (items.empty()) return;
    row = std::clamp(row, 0, rowCount());
    const int last = row + static_cast<int>(items.size()) - 1;
    // The positions of the rows after the new ones change with them.
    beginInsertRows({}, row, last);
    m_items.insert(m_items.begin() + row, items.begin(), items.end());
    endInsertRows();
    if (last + 1 < rowCount()) emit dataChanged(index(last + 1, PositionColumn), index(rowCount() - 1, PositionColumn));
}

void PackerListModel::removeItem(int row)
{
    if (row < 0 || row >= rowCount()) return;
    beginRemoveRows({}, row, row);
    m_items.erase(m_items.begin() + row);
    endRemoveRows();
    if (row < rowCount()) emit dataChanged(index(row, PositionColumn), index(rowCount() - 1, PositionColumn));
}

void PackerListModel::clear()
{
    beginResetModel();
    m_items.clear();
    endResetModel();
}

void PackerListModel::moveItem(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= rowCount() || to >= rowCount()) return;
    // Qt counts the destination before the move: moving down names the row after the target.
    beginMoveRows({}, from, from, {}, to > from ? to + 1 : to);
    PackerItem item = std::move(m_items[static_cast<std::size_t>(from)]);
    m_items.erase(m_items.begin() + from);
    m_items.insert(m_items.begin() + to, std::move(item));
    endMoveRows();
    emit dataChanged(index(std::min(from, to), PositionColumn), index(std::max(from, to), PositionColumn));
}

}  // namespace bundra
