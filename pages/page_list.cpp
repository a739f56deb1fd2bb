#include "pages/page_list.h"

#include "common/file_name.h"
#include "pages/picture_files.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelection>
#include <QItemSelectionModel>
#include <QSignalBlocker>
#include <QTreeWidget>

#include <algorithm>
#include <vector>

namespace {

QTreeWidgetItem* NewRow(const QString& page, const QString& path)
{
    auto* row = new QTreeWidgetItem;
    row->setText(kPageColumn, page);
    row->setText(kPathColumn, path);
    // Only the page number is edited in place; the list control edits the first column only.
    row->setFlags(row->flags() | Qt::ItemIsEditable);
    return row;
}

// Which rows are selected, by position: a row is when any of its cells is.
QList<bool> SelectedRows(const QTreeWidget& list)
{
    QList<bool> selected(list.topLevelItemCount(), false);
    for (const QItemSelectionRange& range : list.selectionModel()->selection()) {
        if (range.isValid() && !range.parent().isValid()) {
            std::fill(selected.begin() + range.top(), selected.begin() + range.bottom() + 1, true);
        }
    }
    return selected;
}

// Selects the rows marked in `selected`, in one step: a range for each run of marked rows.
void SelectRows(QTreeWidget& list, const QList<bool>& selected)
{
    QItemSelection selection;
    const auto rows = static_cast<int>(selected.size());
    for (int first = 0; first < rows; ++first) {
        if (!selected[first]) {
            continue;
        }
        int last = first;
        while (last + 1 < rows && selected[last + 1]) {
            ++last;
        }
        selection.select(list.model()->index(first, kPageColumn), list.model()->index(last, kPageColumn));
        first = last;
    }
    list.selectionModel()->select(selection, QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

// Where the current row is once the selected rows are gone, as the list itself would move it: the
// current row where it now stands when it stays; else the nearest row kept above it, or below it
// when none is above; -1 when there is no current row or no row is left.
int CurrentRowAfterRemoval(const QList<bool>& selected, int currentRow)
{
    if (currentRow < 0) {
        return -1;
    }
    const auto current = selected.begin() + currentRow;
    const auto keptAbove = static_cast<int>(std::count(selected.begin(), current, false));
    if (!*current) {
        return keptAbove;
    }
    if (keptAbove > 0) {
        return keptAbove - 1;
    }
    return std::find(current, selected.end(), false) != selected.end() ? 0 : -1;
}

}  // namespace

void AppendPages(QTreeWidget& list, const QStringList& paths)
{
    QList<QTreeWidgetItem*> rows;
    rows.reserve(paths.size());
    for (const QString& path : paths) {
        rows << NewRow(QString::number(list.topLevelItemCount() + rows.size() + 1), path);
    }
    list.addTopLevelItems(rows);
    if (!rows.isEmpty()) {
        list.scrollToItem(rows.last());
    }
}

void RenumberPages(QTreeWidget& list, int firstRow)
{
    const int first = std::max(firstRow, 0);
    const int last = list.topLevelItemCount() - 1;
    if (first > last) {
        return;
    }
    QAbstractItemModel& model = *list.model();
    {
        // Told of each row on its own, the model would look the row up by a search through the list,
        // once per row; it is told once, of the whole range, instead.
        const QSignalBlocker quiet(model);
        for (int row = first; row <= last; ++row) {
            list.topLevelItem(row)->setText(kPageColumn, QString::number(row + 1));
        }
    }
    emit model.dataChanged(model.index(first, kPageColumn), model.index(last, kPageColumn));
}

void RemoveSelectedPages(QTreeWidget& list)
{
    const QList<bool> selected = SelectedRows(list);
    if (std::find(selected.begin(), selected.end(), true) == selected.end()) {
        RenumberPages(list);
        return;
    }
    const QModelIndex current = list.currentIndex();
    const int currentRow = CurrentRowAfterRemoval(selected, current.row());

    // Every row leaves the list at once and the kept ones come back at once, numbered while they are
    // out: deleting the selected rows one by one would make the list update its selection and the
    // indexes it keeps once per deleted row. The selection goes first, in one step, for the same reason.
    list.selectionModel()->clearSelection();
    const QList<QTreeWidgetItem*> rows = list.invisibleRootItem()->takeChildren();
    QList<QTreeWidgetItem*> kept;
    kept.reserve(rows.size());
    for (qsizetype row = 0; row < rows.size(); ++row) {
        if (selected[row]) {
            delete rows[row];
        } else {
            rows[row]->setText(kPageColumn, QString::number(kept.size() + 1));
            kept << rows[row];
        }
    }
    list.addTopLevelItems(kept);
    if (currentRow >= 0) {
        list.selectionModel()->setCurrentIndex(list.model()->index(currentRow, current.column()),
                                               QItemSelectionModel::NoUpdate);
    }
}

int FirstSelectedPosition(const QTreeWidget& list)
{
    int first = -1;
    for (const QItemSelectionRange& range : list.selectionModel()->selection()) {
        if (range.isValid() && !range.parent().isValid() && (first < 0 || range.top() < first)) {
            first = range.top();
        }
    }
    return first;
}

QTreeWidgetItem* FirstSelectedRow(const QTreeWidget& list)
{
    const int row = FirstSelectedPosition(list);
    return row < 0 ? nullptr : list.topLevelItem(row);
}

QTreeWidgetItem* RowAtHeight(const QTreeWidget& list, int y)
{
    // Probe at the left edge of the first column, so that a point right of the last column, where
    // no cell lies, still finds its row.
    const int x = list.header()->sectionViewportPosition(kPageColumn);
    return list.itemAt(x, y);
}

void MovePageBefore(QTreeWidget& list, const QTreeWidgetItem& dragged, QTreeWidgetItem& target)
{
    const int targetRow = list.indexOfTopLevelItem(&target);
    auto* copy = new QTreeWidgetItem;
    copy->setText(kPageColumn, QString::number(targetRow + 1));
    copy->setText(kPathColumn, dragged.text(kPathColumn));
    copy->setFlags(dragged.flags());
    list.insertTopLevelItem(targetRow, copy);

    const int selectedRow = FirstSelectedPosition(list);
    delete list.topLevelItem(selectedRow);
    RenumberPages(list, std::min(targetRow, selectedRow));
}

void SortPagesByFileName(QTreeWidget& list)
{
    struct Row {
        QTreeWidgetItem* item;
        QString name;
        bool selected;
    };
    const QList<bool> selected = SelectedRows(list);
    const QModelIndex current = list.currentIndex();
    const QTreeWidgetItem* currentItem = list.itemFromIndex(current);

    // As in RemoveSelectedPages, the rows leave the list and come back at once.
    list.selectionModel()->clearSelection();
    const QList<QTreeWidgetItem*> items = list.invisibleRootItem()->takeChildren();
    std::vector<Row> rows;
    rows.reserve(static_cast<std::size_t>(items.size()));
    for (qsizetype row = 0; row < items.size(); ++row) {
        const QString path = items[row]->text(kPathColumn);
        rows.push_back({items[row], FileNamePart(path), selected[row]});
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        return a.name != b.name ? NaturalLess(a.name, b.name)
                                : NaturalLess(a.item->text(kPathColumn), b.item->text(kPathColumn));
    });

    QList<QTreeWidgetItem*> sorted;
    sorted.reserve(items.size());
    QList<bool> sortedSelected;
    sortedSelected.reserve(items.size());
    int currentRow = -1;
    for (const Row& row : rows) {
        if (row.item == currentItem) {
            currentRow = static_cast<int>(sorted.size());
        }
        row.item->setText(kPageColumn, QString::number(sorted.size() + 1));
        sorted << row.item;
        sortedSelected << row.selected;
    }
    list.addTopLevelItems(sorted);
    if (currentRow >= 0) {
        list.selectionModel()->setCurrentIndex(list.model()->index(currentRow, current.column()),
                                               QItemSelectionModel::NoUpdate);
    }
    SelectRows(list, sortedSelected);
}

QStringList PagePaths(const QTreeWidget& list)
{
    QStringList paths;
    for (int row = 0; row < list.topLevelItemCount(); ++row) {
        paths << list.topLevelItem(row)->text(kPathColumn);
    }
    return paths;
}

FolderPictures PicturesAmong(const QList<QUrl>& urls)
{
    FolderPictures pictures;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) {
            continue;
        }
        const QString path = url.toLocalFile();
        if (QFileInfo(path).isDir()) {
            const FolderPictures inFolder = PicturesInFolder(path);
            pictures.paths << inFolder.paths;
            pictures.undecodable << inFolder.undecodable;
        } else if (IsJpegFileName(url.fileName())) {
            pictures.paths << path;
        }
    }
    return pictures;
}
