#include "pages/page_row_delegate.h"

#include "pages/page_list_model.h"
#include "preview/thumbnail_loader.h"

#include <QApplication>
#include <QPainter>

namespace {

// Room around the box, and between the box and the number.
constexpr int kMargin = 2;
constexpr int kGap = 5;

}  // namespace

PageRowDelegate::PageRowDelegate(const PageListModel& pages, ThumbnailLoader& thumbnails, QObject* parent)
    : QStyledItemDelegate(parent),
      pages_(pages),
      thumbnails_(thumbnails)
{}

QRect PageRowDelegate::BoxIn(const QRect& cell) const
{
    const QSize box = thumbnails_.BoxSize();
    return QRect(QPoint(cell.left() + kMargin, cell.top() + (cell.height() - box.height()) / 2), box);
}

QRect PageRowDelegate::TextIn(const QRect& cell) const
{
    return cell.adjusted(BoxIn(cell).right() + 1 - cell.left() + kGap, 0, 0, 0);
}

void PageRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (index.column() != kPageColumn) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    // The cell's background and selection as every cell has them, the number beside the box.
    QStyleOptionViewItem text = option;
    initStyleOption(&text, index);
    const QWidget* view = option.widget;
    QStyle* style = view != nullptr ? view->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &text, painter, view);
    text.rect = TextIn(option.rect);
    text.backgroundBrush = Qt::NoBrush;
    text.state &= ~QStyle::State_HasFocus;
    style->drawControl(QStyle::CE_ItemViewItem, &text, painter, view);

    const QRect box = BoxIn(option.rect);
    QImage thumbnail;
    const QColor frame = option.palette.color(QPalette::Mid);
    painter->save();
    switch (thumbnails_.Find(pages_.Path(index.row()), &thumbnail)) {
    case ThumbnailLoader::Status::Ready: {
        const QRect picture(
            box.topLeft() + QPoint((box.width() - thumbnail.width()) / 2, (box.height() - thumbnail.height()) / 2),
            thumbnail.size());
        painter->drawImage(picture, thumbnail);
        break;
    }
    case ThumbnailLoader::Status::Failed:
        painter->setPen(QPen(QColor(0xc0, 0x30, 0x30), 2));
        painter->drawLine(box.topLeft() + QPoint(5, 5), box.bottomRight() - QPoint(5, 5));
        painter->drawLine(box.topRight() + QPoint(-5, 5), box.bottomLeft() + QPoint(5, -5));
        painter->setPen(frame);
        painter->drawRect(box.adjusted(0, 0, -1, -1));
        break;
    case ThumbnailLoader::Status::NotYet:
        painter->setPen(frame);
        painter->drawRect(box.adjusted(2, 0, -3, -1));
        break;
    }
    painter->restore();
}

QSize PageRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QSize text = QStyledItemDelegate::sizeHint(option, index);
    const int height = std::max(text.height(), thumbnails_.BoxSize().height() + 2 * kMargin);
    if (index.column() != kPageColumn) {
        return QSize(text.width(), height);
    }
    return QSize(text.width() + thumbnails_.BoxSize().width() + kMargin + kGap, height);
}

void PageRowDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                           const QModelIndex& index) const
{
    QStyledItemDelegate::updateEditorGeometry(editor, option, index);
    if (index.column() == kPageColumn) {
        editor->setGeometry(TextIn(editor->geometry()));
    }
}
