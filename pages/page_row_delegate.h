#pragma once

#include <QStyledItemDelegate>

class PageListModel;
class ThumbnailLoader;

// Draws the page list's Page column: the page's thumbnail in a box at the start of the row, then its number. A
// picture not decoded yet shows an empty frame in the box, one that cannot be decoded a cross; the page number's
// editor (F2) takes the place of the number, beside the box.
class PageRowDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    PageRowDelegate(const PageListModel& pages, ThumbnailLoader& thumbnails, QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

    // The thumbnail's box in a Page cell of `cell`.
    QRect BoxIn(const QRect& cell) const;

private:
    QRect TextIn(const QRect& cell) const;

    const PageListModel& pages_;
    ThumbnailLoader& thumbnails_;
};
