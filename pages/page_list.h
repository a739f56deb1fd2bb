#pragma once

#include "pages/picture_files.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

class QTreeWidget;
class QTreeWidgetItem;

// The page list is held by the window's list control alone: one row per page, in book order, with
// the page number in the first column and the picture's full path in the second. These functions
// keep its one rule: every row's page number is its position, counted from 1. Each of them takes
// time in proportion to the number of rows at most, so that a list of tens of thousands of pages
// stays quick.

inline constexpr int kPageColumn = 0;
inline constexpr int kPathColumn = 1;

// Appends one row per path, in the given order, each numbered with the count of rows it makes, and
// scrolls the list to the last of them. The page number of a new row can be retyped in place; its
// path cannot.
void AppendPages(QTreeWidget& list, const QStringList& paths);

// Sets the page number of every row from `firstRow` to the last to its position.
void RenumberPages(QTreeWidget& list, int firstRow = 0);

// Deletes every selected row, then numbers all rows again, even when none was selected. The current
// row, when deleted, passes to the nearest row kept above it (below it when none is above); no
// row is selected afterwards.
void RemoveSelectedPages(QTreeWidget& list);

// The position of the first selected row in list order (not in the order the rows were selected);
// -1 when no row is selected.
int FirstSelectedPosition(const QTreeWidget& list);

// The first selected row in list order; null when no row is selected.
QTreeWidgetItem* FirstSelectedRow(const QTreeWidget& list);

// The row at the height `y` of the list's viewport, wherever the point lies across the row; null
// below the last row.
QTreeWidgetItem* RowAtHeight(const QTreeWidget& list, int y);

// The drop of a dragged row on `target`: a copy of `dragged` (page number and path, not its
// selection) is inserted just before `target` and numbered with its new position; then the first
// selected row, which is the dragged one, is deleted and the rows from the lower of the two
// positions on are numbered again. Rows above both positions keep their texts. Expects the dragged
// row to be the first selected one, as it is during a drag from the list.
void MovePageBefore(QTreeWidget& list, const QTreeWidgetItem& dragged, QTreeWidgetItem& target);

// Puts the rows in natural order (NaturalLess) of their file names, the text after the last "/" of
// their paths, and rows of the same file name in natural order of their whole paths; rows of the
// same path keep their order. Then numbers every row. Selected rows stay selected and the current
// row stays current, wherever they move.
void SortPagesByFileName(QTreeWidget& list);

// The path of every row, in book order.
QStringList PagePaths(const QTreeWidget& list);

// What a drop from the file manager adds, in the order dropped: each local file that
// IsJpegFileName takes, and in the place of each local folder its pictures (PicturesInFolder). The
// pictures of those folders whose names are not UTF-8 are listed apart, as PicturesInFolder lists
// them. Everything else is passed over.
FolderPictures PicturesAmong(const QList<QUrl>& urls);
