#include "entry_list_model.h"

namespace kestrix {

void EntryListModel::setArchive(const LoadedArchive* archive)
{
    beginResetModel();
    m_archive = archive;
    endResetModel();
}

int EntryListModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !m_archive) return 0;
    return static_cast<int>(m_archive->rows().size());
}

int EntryListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant EntryListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !m_archive || index.row() >= rowCount()) return {};
    if (role == Qt::TextAlignmentRole) {
        if (index.column() == Nr) return int(Qt::AlignLeft | Qt::AlignVCenter);
        if (index.column() == Type) return int(Qt::AlignCenter);
        return int(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
    const EntryRow& row = m_archive->rows()[static_cast<std::size_t>(index.row())];
    switch (index.column()) {
    case Nr:
        return QString::number(row.number);
    case Offset:
        return QString::number(row.offset);
    case ArchiveSize:
        return QString::number(row.archiveSize);
    case DiskSize:
        return QString::number(row.diskSize);
    case Type:
        return QString::number(typeNumber(row.type));
    default:
        return {};
    }
}

QVariant EntryListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal) return {};
    if (role == Qt::TextAlignmentRole) {
        if (section == Nr) return int(Qt::AlignLeft | Qt::AlignVCenter);
        if (section == Type) return int(Qt::AlignCenter);
        return int(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole) return {};
    static const char* const kCaptions[ColumnCount] = {"Nr", "Offset", "Archive size", "Disk size", "Type"};
    if (section < 0 || section >= ColumnCount) return {};
    return QString::fromLatin1(kCaptions[section]);
}

int EntryListModel::columnWidth(int column)
{
    static const int kWidths[ColumnCount] = {30, 75, 75, 75, 40};
    return column >= 0 && column < ColumnCount ? kWidths[column] : 0;
}

}  // namespace kestrix
