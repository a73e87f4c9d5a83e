#pragma once

// The packer's list as a table model over the builder's rows: the position (the row's place,
// counted from 1), "Filename", "File Size" and "Offset". Rows stay in position order, so every
// change of order is a move of rows and the positions follow by themselves.

#include <QAbstractTableModel>

#include <vector>

#include "archive_builder.h"

namespace bundra {

class PackerListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { PositionColumn, FilenameColumn, SizeColumn, OffsetColumn, ColumnCount };

    explicit PackerListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The rows in list order; the reference stays valid until the next change.
    const std::vector<PackerItem>& items() const { return m_items; }

    // Inserts `items` before row `row` (clamped to 0 .. rowCount()).
    void insertItems(int row, const std::vector<PackerItem>& items);
    // Removes row `row`; nothing for a row outside the list.
    void removeItem(int row);
    void clear();
    // Moves row `from` so that it becomes row `to` (both within the list).
    void moveItem(int from, int to);

private:
    std::vector<PackerItem> m_items;
};

}  // namespace bundra
