#include "pages/page_list.h"

#include "pages/picture_files.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QTreeWidget>

#include <algorithm>

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

}  // namespace

void AppendPages(QTreeWidget& list, const QStringList& paths)
{
    for (const QString& path : paths) {
        list.addTopLevelItem(NewRow(QString::number(list.topLevelItemCount() + 1), path));
    }
}

void RenumberPages(QTreeWidget& list, int firstRow)
{
    for (int row = std::max(firstRow, 0); row < list.topLevelItemCount(); ++row) {
        list.topLevelItem(row)->setText(kPageColumn, QString::number(row + 1));
    }
}

QTreeWidgetItem* FirstSelectedRow(const QTreeWidget& list)
{
    for (int row = 0; row < list.topLevelItemCount(); ++row) {
        if (list.topLevelItem(row)->isSelected()) {
            return list.topLevelItem(row);
        }
    }
    return nullptr;
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
    copy->setText(kPathColumn, dragged.text(kPathColumn));
    copy->setFlags(dragged.flags());
    list.insertTopLevelItem(targetRow, copy);
    copy->setText(kPageColumn, QString::number(targetRow + 1));

    QTreeWidgetItem* selected = FirstSelectedRow(list);
    const int selectedRow = list.indexOfTopLevelItem(selected);
    delete selected;
    RenumberPages(list, std::min(targetRow, selectedRow));
}

QStringList PagePaths(const QTreeWidget& list)
{
    QStringList paths;
    for (int row = 0; row < list.topLevelItemCount(); ++row) {
        paths << list.topLevelItem(row)->text(kPathColumn);
    }
    return paths;
}

QStringList JpegFilesAmong(const QList<QUrl>& urls)
{
    QStringList paths;
    for (const QUrl& url : urls) {
        if (url.isLocalFile() && IsJpegFileName(url.fileName()) && !QFileInfo(url.toLocalFile()).isDir()) {
            paths << url.toLocalFile();
        }
    }
    return paths;
}
