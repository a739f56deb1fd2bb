#include "pages/page_list_view.h"

#include "pages/page_list.h"
#include "pages/page_list_model.h"
#include "pages/page_row_delegate.h"
#include "preview/thumbnail_loader.h"

#include <QContextMenuEvent>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>

#include <algorithm>

namespace {

// The box of a row's thumbnail: a page's picture recognisable at a glance, six rows in the window's list.
constexpr QSize kThumbnailBox(24, 24);

// What a drag of the list's own rows carries: nothing another program could take, since a drop
// decides what moves from the list's own selection.
const QString kPageRowsFormat = QStringLiteral("application/x-tamboril-page-rows");

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

// The keys that open a context menu from the keyboard: the menu key, and Shift+F10.
bool OpensTheMenu(const QKeyEvent& event)
{
    return event.key() == Qt::Key_Menu || (event.key() == Qt::Key_F10 && event.modifiers() == Qt::ShiftModifier);
}

}  // namespace

PageListView::PageListView(QWidget* parent)
    : QTreeView(parent),
      pages_(new PageListModel(this)),
      thumbnails_(new ThumbnailLoader(kThumbnailBox, ThumbnailLoader::kDefaultBudget, this)),
      rowDelegate_(new PageRowDelegate(*pages_, *thumbnails_, this)),
      wantThumbnails_(new QTimer(this))
{
    setModel(pages_);
    setItemDelegate(rowDelegate_);
    wantThumbnails_->setSingleShot(true);
    wantThumbnails_->setInterval(0);
    connect(wantThumbnails_, &QTimer::timeout, this, &PageListView::WantThumbnails);
    const auto want = [this] { wantThumbnails_->start(); };
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, want);
    for (const auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
        connect(pages_, signal, this, want);
    }
    connect(pages_, &QAbstractItemModel::rowsMoved, this, want);
    connect(pages_, &QAbstractItemModel::layoutChanged, this, want);
    connect(pages_, &QAbstractItemModel::modelReset, this, want);
    connect(thumbnails_, &ThumbnailLoader::thumbnailReady, this, &PageListView::ShowThumbnail);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    // A row is dropped before the row under the pointer, which no drop indicator of Qt's shows.
    setDropIndicatorShown(false);
    // Every row is one line high: the list need not measure its rows after each change.
    setUniformRowHeights(true);
    setTextElideMode(Qt::ElideMiddle);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    // A change told as a reset takes the current row away with every other index; the same place in
    // the list becomes current again, so that the keys go on from where the person was.
    connect(pages_, &QAbstractItemModel::modelAboutToBeReset, this,
            [this] { placeBeforeReset_ = QPoint(currentIndex().column(), currentIndex().row()); });
    connect(pages_, &QAbstractItemModel::modelReset, this, [this] {
        if (placeBeforeReset_.y() >= 0 && pages_->rowCount() > 0) {
            const QModelIndex place =
                pages_->index(std::min(placeBeforeReset_.y(), pages_->rowCount() - 1), placeBeforeReset_.x());
            selectionModel()->setCurrentIndex(place, QItemSelectionModel::NoUpdate);
        }
    });
}

PageListModel& PageListView::Pages() const
{
    return *pages_;
}

ThumbnailLoader& PageListView::Thumbnails() const
{
    return *thumbnails_;
}

std::pair<int, int> PageListView::RowsInView() const
{
    const int first = RowAtHeight(0);
    if (first < 0) {
        return {-1, -1};
    }
    const int last = RowAtHeight(viewport()->height() - 1);
    return {first, last < 0 ? pages_->rowCount() - 1 : last};
}

void PageListView::WantThumbnails()
{
    const auto [first, last] = RowsInView();
    if (first < 0) {
        thumbnails_->Want({});
        return;
    }
    // The rows in view, then a screen below them (where a person usually scrolls), then a screen above.
    const int screen = last - first + 1;
    QStringList paths;
    const auto add = [&](int from, int to) {
        for (int row = std::max(from, 0); row <= std::min(to, pages_->rowCount() - 1); ++row) {
            paths.append(pages_->Path(row));
        }
    };
    add(first, last);
    add(last + 1, last + screen);
    add(first - screen, first - 1);
    thumbnails_->Want(paths);
}

void PageListView::ShowThumbnail(const QString& path)
{
    const auto [first, last] = RowsInView();
    for (int row = std::max(first, 0); row <= last; ++row) {
        if (pages_->Path(row) == path) {
            viewport()->update(visualRect(pages_->index(row, kPageColumn)));
        }
    }
}

void PageListView::resizeEvent(QResizeEvent* event)
{
    QTreeView::resizeEvent(event);
    wantThumbnails_->start();
}

QList<int> PageListView::SelectedPositions() const
{
    QList<bool> selected(pages_->rowCount(), false);
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        if (range.isValid() && !range.parent().isValid()) {
            std::fill(selected.begin() + range.top(), selected.begin() + range.bottom() + 1, true);
        }
    }
    QList<int> positions;
    for (qsizetype row = 0; row < selected.size(); ++row) {
        if (selected[row]) {
            positions.append(static_cast<int>(row));
        }
    }
    return positions;
}

int PageListView::FirstSelectedPosition() const
{
    int first = -1;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        if (range.isValid() && !range.parent().isValid() && (first < 0 || range.top() < first)) {
            first = range.top();
        }
    }
    return first;
}

int PageListView::RowAtHeight(int y) const
{
    // Probe at the left edge of the first column, so that a point right of the last column, where
    // no cell lies, still finds its row.
    return indexAt(QPoint(header()->sectionViewportPosition(kPageColumn), y)).row();
}

QRect PageListView::RowRect(int row) const
{
    return visualRect(pages_->index(row, kPageColumn)) | visualRect(pages_->index(row, kPathColumn));
}

bool PageListView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    const QModelIndex page = index.siblingAtColumn(kPageColumn);
    const bool editing = QTreeView::edit(page, trigger, event);
    if (editing) {
        editedRow_ = page;
    }
    return editing;
}

void PageListView::commitData(QWidget* editor)
{
    // The number is not written into the list: the owner moves the row, or keeps it where it is.
    const auto* field = qobject_cast<const QLineEdit*>(editor);
    if (field != nullptr && editedRow_.isValid()) {
        emit pageNumberTyped(editedRow_.row(), field->text());
    }
}

bool PageListView::event(QEvent* event)
{
    // Some window systems turn the menu key into a context menu request of their own, placed at the
    // pointer or at the middle of the current cell; from the keyboard, the menu opens at the row.
    if (event->type() == QEvent::ContextMenu
        && static_cast<const QContextMenuEvent&>(*event).reason() == QContextMenuEvent::Keyboard) {
        event->accept();
        OpenMenuAtCurrentRow();
        return true;
    }
    return QTreeView::event(event);
}

void PageListView::keyPressEvent(QKeyEvent* event)
{
    if (OpensTheMenu(*event)) {
        event->accept();
        OpenMenuAtCurrentRow();
        return;
    }
    const QModelIndex before = currentIndex();
    QTreeView::keyPressEvent(event);
    if (MovesThroughTheList(event->key()) && currentIndex() != before) {
        emit currentMovedByKey();
    }
}

void PageListView::OpenMenuAtCurrentRow()
{
    const QModelIndex current = currentIndex();
    const QRect row = current.isValid() ? RowRect(current.row()) : QRect();
    // Beside the start of the current row, where the person's eyes are; at the top without one.
    const QPoint at =
        row.isValid() && viewport()->rect().intersects(row) ? QPoint(row.left() + 20, row.bottom()) : QPoint(20, 0);
    emit customContextMenuRequested(at);
}

void PageListView::focusInEvent(QFocusEvent* event)
{
    QTreeView::focusInEvent(event);
    const bool byTab = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    if (!byTab || selectionModel()->hasSelection() || pages_->rowCount() == 0) {
        return;
    }
    const QModelIndex current = currentIndex().isValid() ? currentIndex() : pages_->index(0, kPageColumn);
    selectionModel()->setCurrentIndex(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

bool PageListView::viewportEvent(QEvent* event)
{
    if (event->type() != QEvent::ToolTip) {
        return QTreeView::viewportEvent(event);
    }
    const auto& help = static_cast<const QHelpEvent&>(*event);
    const int row = RowAtHeight(help.pos().y());
    if (row < 0) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(help.globalPos(), pages_->Path(row), viewport(), RowRect(row));
    }
    return true;
}

void PageListView::startDrag(Qt::DropActions)
{
    const int first = FirstSelectedPosition();
    if (first < 0) {
        return;
    }
    // Qt's own drag would delete the selected rows after a drop that moved them; here the owner's
    // drop handler decides what moves, so the drag's result is not looked at.
    auto* drag = new QDrag(this);
    auto* rows = new QMimeData;
    rows->setData(kPageRowsFormat, QByteArray());
    drag->setMimeData(rows);
    const QRect rowRect = RowRect(first);
    drag->setPixmap(viewport()->grab(rowRect));
    drag->setHotSpot(viewport()->mapFromGlobal(QCursor::pos()) - rowRect.topLeft());
    drag->exec(Qt::MoveAction);
}

void PageListView::dragEnterEvent(QDragEnterEvent* event)
{
    QTreeView::dragEnterEvent(event);
    setState(DraggingState);
    AcceptDrag(*event);
}

void PageListView::dragMoveEvent(QDragMoveEvent* event)
{
    // Qt's handling scrolls the list when the pointer nears its edges.
    QTreeView::dragMoveEvent(event);
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
