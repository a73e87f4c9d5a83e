#pragma once

// How the grid draws its cells: the text column wraps its text, a selected text cell is drawn in
// the highlight colours, and the current text cell carries an ellipsis button that opens the editor.

#include <QStyledItemDelegate>

namespace tessel {

class TextCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

    // The ellipsis button's place inside a cell's rectangle.
    static QRect buttonRect(const QRect& cell);

signals:
    // The ellipsis button of the text cell at `index` was clicked.
    void buttonClicked(const QModelIndex& index);
};

}  // namespace tessel
