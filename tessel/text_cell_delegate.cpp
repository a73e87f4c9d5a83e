#include "text_cell_delegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

#include "caption_strip.h"
#include "text_grid_model.h"

namespace tessel {

namespace {

constexpr int kButtonWidth = 18;

bool isCurrentTextCell(const QStyleOptionViewItem& option, const QModelIndex& index)
{
    const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
    return index.column() == TextGridModel::Text_List && view && view->currentIndex() == index &&
           view->selectionModel() && view->selectionModel()->isSelected(index);
}

}  // namespace

QRect TextCellDelegate::buttonRect(const QRect& cell)
{
    return {cell.right() - kButtonWidth + 1, cell.top(), kButtonWidth, qMin(cell.height(), 18)};
}

void TextCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    // Horizontal lines only, under each row.
    const auto drawRule = [&] {
        painter->save();
        painter->setPen(opt.palette.mid().color());
        painter->drawLine(opt.rect.bottomLeft(), opt.rect.bottomRight());
        painter->restore();
    };
    if (index.column() != TextGridModel::Text_List) {
        QStyledItemDelegate::paint(painter, opt, index);
        drawRule();
        return;
    }
    const bool selected = opt.state & QStyle::State_Selected;
    painter->save();
    if (selected) painter->fillRect(opt.rect, kHighlightColour);
    painter->setPen(selected ? kHighlightTextColour : opt.palette.text().color());
    painter->setFont(opt.font);
    const bool withButton = isCurrentTextCell(option, index);
    // The button's place stays free also where it is not shown, so a text wraps the same way always.
    const QRect textRect = opt.rect.adjusted(2, 1, -kButtonWidth - 2, -1);
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, opt.text);
    painter->restore();
    drawRule();
    if (withButton) {
        QStyleOptionButton button;
        button.rect = buttonRect(opt.rect);
        button.text = QStringLiteral("...");
        button.state = QStyle::State_Enabled | QStyle::State_Raised;
        QApplication::style()->drawControl(QStyle::CE_PushButton, &button, painter, option.widget);
    }
}

bool TextCellDelegate::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                                   const QModelIndex& index)
{
    if (event->type() == QEvent::MouseButtonRelease && index.column() == TextGridModel::Text_List) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && isCurrentTextCell(option, index) &&
            buttonRect(option.rect).contains(mouse->position().toPoint())) {
            emit buttonClicked(index);
            return true;
        }
    }
    return QStyledItemDelegate::editorEvent(event, model, option, index);
}

}  // namespace tessel
