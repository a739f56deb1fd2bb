#include "pages/page_list_model.h"

#include "pictures/picture_files.h"

#include <algorithm>
#include <numeric>

namespace {

// Above this many separate ranges a change is told to the views as a reset (see the class comment).
constexpr qsizetype kMostRangesSignalled = 8;

int Count(const PageRows& rows)
{
    return static_cast<int>(rows.size());
}

}  // namespace

QString PageRow::Path() const
{
    return folder + name;
}

PageRows RowsForPaths(const QStringList& paths)
{
    PageRows rows;
    rows.reserve(paths.size());
    QString folder;
    for (const QString& path : paths) {
        const qsizetype nameStart = path.lastIndexOf(u'/') + 1;
        const QStringView pathFolder = QStringView(path).left(nameStart);
        // Pictures come a folder at a time: the last row's folder is nearly always this one's.
        if (pathFolder != folder) {
            folder = pathFolder.toString();
        }
        rows.append({folder, path.mid(nameStart)});
    }
    return rows;
}

RowRanges RangesOfPositions(const QList<int>& positions)
{
    RowRanges ranges;
    for (const int position : positions) {
        if (!ranges.isEmpty() && ranges.last().first + ranges.last().second == position) {
            ++ranges.last().second;
        } else {
            ranges.append({position, 1});
        }
    }
    return ranges;
}

QList<int> FileNameOrder(const PageRows& rows)
{
    QList<int> order(rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&rows](int a, int b) {
        const PageRow& rowA = rows[a];
        const PageRow& rowB = rows[b];
        return rowA.name != rowB.name ? NaturalLess(rowA.name, rowB.name) : NaturalLess(rowA.Path(), rowB.Path());
    });
    return order;
}

std::optional<int> PositionOfTypedPageNumber(const QString& text, int rowCount)
{
    const QString number = text.trimmed();
    const bool digitsOnly =
        !number.isEmpty() && std::all_of(number.begin(), number.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    bool inRange = false;
    const int page = digitsOnly ? number.toInt(&inRange) : 0;
    if (!inRange || page < 1 || page > rowCount) {
        return std::nullopt;
    }
    return page - 1;
}

PageListModel::PageListModel(QObject* parent) : QAbstractTableModel(parent) {}

int PageListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Count(rows_);
}

int PageListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant PageListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) {
        return {};
    }
    if (index.column() == kPageColumn && (role == Qt::DisplayRole || role == Qt::EditRole)) {
        return QString::number(index.row() + 1);
    }
    if (index.column() == kPathColumn && (role == Qt::DisplayRole || role == Qt::ToolTipRole)) {
        return rows_[index.row()].Path();
    }
    return {};
}

QVariant PageListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return section == kPageColumn ? QStringLiteral("Page") : QStringLiteral("Path");
}

Qt::ItemFlags PageListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    return index.column() == kPageColumn ? flags | Qt::ItemIsEditable : flags;
}

const PageRows& PageListModel::Rows() const
{
    return rows_;
}

QString PageListModel::Path(int row) const
{
    return rows_.at(row).Path();
}

QStringList PageListModel::Paths() const
{
    QStringList paths;
    paths.reserve(rows_.size());
    for (const PageRow& row : rows_) {
        paths.append(row.Path());
    }
    return paths;
}

void PageListModel::InsertRows(int position, const PageRows& rows)
{
    InsertRanges({{position, Count(rows)}}, rows);
}

PageRows PageListModel::RemoveRanges(const RowRanges& ranges)
{
    PageRows removed;
    if (ranges.isEmpty()) {
        return removed;
    }
    const bool reset = ranges.size() > kMostRangesSignalled;
    if (reset) {
        beginResetModel();
    }
    // From the last range to the first, so that the positions of the ranges still to go hold.
    QList<PageRows> pieces(ranges.size());
    for (qsizetype range = ranges.size() - 1; range >= 0; --range) {
        const auto [first, count] = ranges[range];
        if (!reset) {
            beginRemoveRows(QModelIndex(), first, first + count - 1);
        }
        pieces[range] = rows_.mid(first, count);
        if (!reset) {
            rows_.remove(first, count);
            endRemoveRows();
        }
    }
    if (reset) {
        // The kept rows in one pass, rather than a move of the rest of the list for every range.
        PageRows kept;
        kept.reserve(rows_.size());
        int next = 0;
        for (const auto& [first, count] : ranges) {
            kept.append(rows_.mid(next, first - next));
            next = first + count;
        }
        kept.append(rows_.mid(next));
        rows_ = std::move(kept);
        endResetModel();
    }
    if (!reset) {
        NumbersChangedFrom(ranges.first().first);
    }
    for (const PageRows& piece : pieces) {
        removed.append(piece);
    }
    return removed;
}

void PageListModel::InsertRanges(const RowRanges& ranges, const PageRows& rows)
{
    const bool reset = ranges.size() > kMostRangesSignalled;
    if (reset) {
        beginResetModel();
        PageRows merged;
        merged.reserve(rows_.size() + rows.size());
        int kept = 0;
        int taken = 0;
        for (const auto& [first, count] : ranges) {
            // The kept rows that come before this range, then the range's own.
            const int before = first - Count(merged);
            merged.append(rows_.mid(kept, before));
            kept += before;
            merged.append(rows.mid(taken, count));
            taken += count;
        }
        merged.append(rows_.mid(kept));
        rows_ = std::move(merged);
        endResetModel();
        return;
    }
    // From the first range to the last: each range's position counts the ranges put back before it.
    int taken = 0;
    for (const auto& [first, count] : ranges) {
        if (count <= 0) {
            continue;
        }
        beginInsertRows(QModelIndex(), first, first + count - 1);
        const PageRows piece = rows.mid(taken, count);
        rows_.insert(first, count, PageRow());
        std::copy(piece.begin(), piece.end(), rows_.begin() + first);
        taken += count;
        endInsertRows();
    }
    if (!ranges.isEmpty()) {
        NumbersChangedFrom(ranges.first().first);
    }
}

void PageListModel::MoveRow(int from, int to)
{
    if (from == to) {
        return;
    }
    // Qt names the place a row moves to by the row it goes before, counted before the move.
    const int before = to > from ? to + 1 : to;
    beginMoveRows(QModelIndex(), from, from, QModelIndex(), before);
    rows_.move(from, to);
    endMoveRows();
    NumbersChangedFrom(std::min(from, to));
}

void PageListModel::NumbersChangedFrom(int row)
{
    // Every row from there on has a new position, so a new page number.
    if (row < rowCount()) {
        emit dataChanged(index(row, kPageColumn), index(rowCount() - 1, kPageColumn), {Qt::DisplayRole, Qt::EditRole});
    }
}

void PageListModel::Reorder(const QList<int>& order)
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    PageRows reordered;
    reordered.reserve(rows_.size());
    QList<int> newPosition(order.size());
    for (qsizetype position = 0; position < order.size(); ++position) {
        reordered.append(rows_[order[position]]);
        newPosition[order[position]] = static_cast<int>(position);
    }
    rows_ = std::move(reordered);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before) {
        after.append(this->index(newPosition[index.row()], index.column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
