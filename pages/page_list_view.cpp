#include "pages/page_list_view.h"

#include "pages/page_list.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QToolTip>

namespace {

// A drag from outside the program (the file manager) has no source object in this process.
bool ComesFromOutside(const QDropEvent& event)
{
    return event.source() == nullptr;
}

// The keys that move the current row through the list.
bool MovesThroughTheList(int key)
{
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        return false;
    }
}

}  // namespace

PageListView::PageListView(QWidget* parent) : QTreeWidget(parent)
{
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    // A row is dropped before the row under the pointer, which no drop indicator of Qt's shows.
    setDropIndicatorShown(false);
    // Every row is one line high: the list need not measure its rows after each change.
    setUniformRowHeights(true);
    setTextElideMode(Qt::ElideMiddle);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
}

bool PageListView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    return QTreeWidget::edit(index.siblingAtColumn(kPageColumn), trigger, event);
}

void PageListView::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Delete)) {
        event->accept();
        emit deletePressed();
        return;
    }
    const QModelIndex before = currentIndex();
    QTreeWidget::keyPressEvent(event);
    if (MovesThroughTheList(event->key()) && currentIndex() != before) {
        emit currentMovedByKey();
    }
}

bool PageListView::viewportEvent(QEvent* event)
{
    if (event->type() != QEvent::ToolTip) {
        return QTreeWidget::viewportEvent(event);
    }
    const auto& help = static_cast<const QHelpEvent&>(*event);
    const QTreeWidgetItem* row = RowAtHeight(*this, help.pos().y());
    if (row == nullptr) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(help.globalPos(), row->text(kPathColumn), viewport(), visualItemRect(row));
    }
    return true;
}

void PageListView::startDrag(Qt::DropActions)
{
    const QList<QTreeWidgetItem*> rows = selectedItems();
    if (rows.isEmpty()) {
        return;
    }
    // Qt's own drag would delete the selected rows after a drop that moved them; here the owner's
    // drop handler decides what moves, so the drag's result is not looked at.
    auto* drag = new QDrag(this);
    drag->setMimeData(mimeData(rows));
    const QRect rowRect = visualItemRect(FirstSelectedRow(*this));
    drag->setPixmap(viewport()->grab(rowRect));
    drag->setHotSpot(viewport()->mapFromGlobal(QCursor::pos()) - rowRect.topLeft());
    drag->exec(Qt::MoveAction);
}

void PageListView::dragEnterEvent(QDragEnterEvent* event)
{
    QTreeWidget::dragEnterEvent(event);
    setState(DraggingState);
    AcceptDrag(*event);
}

void PageListView::dragMoveEvent(QDragMoveEvent* event)
{
    // Qt's handling scrolls the list when the pointer nears its edges.
    QTreeWidget::dragMoveEvent(event);
    AcceptDrag(*event);
}

void PageListView::AcceptDrag(QDragMoveEvent& event)
{
    if (ComesFromOutside(event) && event.possibleActions().testFlag(Qt::CopyAction)) {
        event.setDropAction(Qt::CopyAction);
    }
    event.accept();
    emit dragOver(event.source(), event.position().toPoint());
}

void PageListView::dropEvent(QDropEvent* event)
{
    stopAutoScroll();
    setState(NoState);
    viewport()->update();
    if (ComesFromOutside(*event) && event->mimeData()->hasUrls()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
        const FolderPictures pictures = PicturesAmong(event->mimeData()->urls());
        if (!pictures.paths.isEmpty() || !pictures.undecodable.isEmpty()) {
            emit filesDropped(pictures.paths, pictures.undecodable);
        }
        return;
    }
    event->accept();
    emit dragDrop(event->source(), event->position().toPoint());
}
