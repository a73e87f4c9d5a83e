#pragma once

#include <QAbstractTableModel>

#include "hqr_archive.h"

namespace kestrix {

// The entry list's rows as a table: "Nr", "Offset", "Archive size", "Disk size", "Type", numbers
// right-aligned and the type centred. It reads the rows of the loaded archive it is given and
// holds no copy, so a list of 65,535 rows costs nothing to show.
class EntryListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    enum Column { Nr, Offset, ArchiveSize, DiskSize, Type, ColumnCount };

    // Shows the rows of `archive` (borrowed; must stay alive and unchanged until the next call);
    // null shows an empty list.
    void setArchive(const LoadedArchive* archive);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The column widths of the list: 30, 75, 75, 75, 40.
    static int columnWidth(int column);

private:
    const LoadedArchive* m_archive = nullptr;
};

}  // namespace kestrix
