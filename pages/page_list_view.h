#pragma once

#include <QObject>
#include <QPoint>
#include <QStringList>
#include <QTreeWidget>

class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QKeyEvent;

// The page list's control: a list of rows in report style whose rows are dragged by pressing and
// moving the pointer, and which takes pictures dropped from the file manager.
//
// It reports drags to its owner instead of moving rows itself: every drag that moves over it is
// accepted and reported by dragOver, and a drop by dragDrop, with the drag's source (the list itself
// for its own rows) and the point in the viewport. The owner decides what a drop does. Files and
// folders dropped from outside the program are reported by filesDropped instead, already turned
// into the pictures they add (PicturesAmong); they are taken as copies, so the file manager never
// moves or deletes the originals.
//
// A mouse click on a row is reported by the clicked signal of every item view: a left press and
// release on the same row, with no drag in between. Clicks on empty space below the rows are no
// clicks. The keys are reported too: Delete by deletePressed, and a move of the current row by the
// arrow keys, Page Up, Page Down, Home or End by currentMovedByKey, once the row has moved.
//
// A path too long for its column is shortened in the middle, so that its file name stays in view;
// the pointer resting on a row shows the row's whole path.
//
// In-place editing (F2, or a click on a row that is already selected) always edits the first
// column of the row.
class PageListView : public QTreeWidget {
    Q_OBJECT

public:
    explicit PageListView(QWidget* parent = nullptr);

signals:
    void dragOver(QObject* source, QPoint pos);
    void dragDrop(QObject* source, QPoint pos);
    void filesDropped(const QStringList& paths, const QStringList& undecodable);
    void deletePressed();
    void currentMovedByKey();

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void AcceptDrag(QDragMoveEvent& event);
};
