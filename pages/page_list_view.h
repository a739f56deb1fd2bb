#pragma once

#include <QList>
#include <QObject>
#include <QPersistentModelIndex>
#include <QPoint>
#include <QStringList>
#include <QTreeView>

#include <utility>

class PageListModel;
class PageRowDelegate;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QFocusEvent;
class QKeyEvent;
class QTimer;
class ThumbnailLoader;

// The page list's control: the pages of its own PageListModel in report style, one line per row,
// whose rows are dragged by pressing and moving the pointer, and which takes pictures dropped from
// the file manager.
//
// It changes no row itself; it reports what the person does to its owner, who decides:
// - every drag that moves over it is accepted and reported by dragOver, and a drop by dragDrop, with
//   the drag's source (the list itself for its own rows) and the point in the viewport;
// - files and folders dropped from outside the program by filesDropped, already turned into the
//   pictures they add (PicturesAmong); they are taken as copies, so the file manager never moves or
//   deletes the originals;
// - a page number typed over a row (F2, or a click on a row already selected, always edits the Page
//   column) by pageNumberTyped, with the row and the text as typed;
// - a move of the current row by the arrow keys, Page Up, Page Down, Home or End by
//   currentMovedByKey, once the row has moved;
// - the menu key, and Shift+F10, by customContextMenuRequested at the current row, as a right click
//   there would.
// A mouse click on a row is reported by the clicked signal of every item view: a left press and
// release on the same row, with no drag in between. Clicks on empty space below the rows are no
// clicks.
//
// Each row begins with its picture's thumbnail (PageRowDelegate), decoded off the window's thread for the rows in
// view and a screen above and below them (ThumbnailLoader): as the list scrolls or changes, it asks for those alone.
//
// Entering the list with Tab selects its current row (the first row when there is none) unless rows
// are selected already, so that a key like Delete acts at once. A path too long for its column is
// shortened in the middle, so that its file name stays in view; the pointer resting on a row shows
// the row's whole path.
class PageListView : public QTreeView {
    Q_OBJECT

public:
    explicit PageListView(QWidget* parent = nullptr);

    PageListModel& Pages() const;
    ThumbnailLoader& Thumbnails() const;
    // The rows in view, as the first and the last; (-1, -1) when none is.
    std::pair<int, int> RowsInView() const;

    // The positions of the selected rows, in ascending order: a row is selected when any of its
    // cells is.
    QList<int> SelectedPositions() const;
    // The first selected row in list order (not in the order the rows were selected); -1 when no row
    // is selected.
    int FirstSelectedPosition() const;
    // The row at the height `y` of the viewport, wherever the point lies across the row; -1 below
    // the last row.
    int RowAtHeight(int y) const;
    // The rectangle of a whole row in the viewport, across every column.
    QRect RowRect(int row) const;

signals:
    void dragOver(QObject* source, QPoint pos);
    void dragDrop(QObject* source, QPoint pos);
    void filesDropped(const QStringList& paths, const QStringList& undecodable);
    void pageNumberTyped(int row, const QString& text);
    void currentMovedByKey();

protected:
    bool event(QEvent* event) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void commitData(QWidget* editor) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void AcceptDrag(QDragMoveEvent& event);
    void OpenMenuAtCurrentRow();
    void WantThumbnails();
    void ShowThumbnail(const QString& path);

    PageListModel* pages_;
    ThumbnailLoader* thumbnails_;
    PageRowDelegate* rowDelegate_;
    // Asks for the thumbnails of the rows in view once the event that moved them is done with.
    QTimer* wantThumbnails_;
    // The row whose page number is being edited.
    QPersistentModelIndex editedRow_;
    // The current cell (column, row) as a reset of the rows began.
    QPoint placeBeforeReset_;
};
