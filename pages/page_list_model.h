#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

inline constexpr int kPageColumn = 0;
inline constexpr int kPathColumn = 1;

// One page of the list: the path of its picture, kept as the folder and the file name, so that the
// pages of one folder share one copy of the folder's text. Tens of thousands of pages then take a
// few megabytes.
struct PageRow {
    QString folder;  // the path up to and including its last "/"; empty when it has none
    QString name;    // the rest: the picture's file name

    QString Path() const;
    bool operator==(const PageRow& other) const = default;
};
using PageRows = QList<PageRow>;

// Rows of consecutive positions, as (first position, count), in ascending order, none touching the
// next: how a set of rows is removed and put back.
using RowRanges = QList<std::pair<int, int>>;

// The pages of the book for the paths, in their order; paths of one folder share its text.
PageRows RowsForPaths(const QStringList& paths);

// The ranges that the positions form; the positions in ascending order, without repeats.
RowRanges RangesOfPositions(const QList<int>& positions);

// The order that puts the rows in natural order (NaturalLess) of their file names, and rows of the
// same file name in natural order of their whole paths; rows of the same path keep their order.
// Entry i is the current position of the row that goes to position i.
QList<int> FileNameOrder(const PageRows& rows);

// What a page number typed over a row asks for: the position, counted from 0, of a whole number from
// 1 to `rowCount` (blanks around it allowed); nothing for any other text.
std::optional<int> PositionOfTypedPageNumber(const QString& text, int rowCount);

// The page list, in book order: the one store of the pages, shown by the page list's control and
// read by the conversion. Two columns: "Page", the row's position counted from 1, and "Path", the
// picture's full path. The page number is always the row's position; the Page column offers it for
// editing as text, but a typed number is not stored here: it asks for a move (see
// PositionOfTypedPageNumber), which the owner of the list carries out with MoveRow.
//
// Every change goes through one of the functions below and is told to the views with Qt's range
// signals, one per range of rows, followed by one for the new page numbers of the rows below, so that
// a list of tens of thousands of pages stays quick. A change that touches many separate ranges at
// once is told as a reset instead: signalled range by range it would cost the views time in
// proportion to the rows for every range.
class PageListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    explicit PageListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    const PageRows& Rows() const;
    QString Path(int row) const;
    // The path of every row, in book order.
    QStringList Paths() const;

    // Inserts the rows before `position` (at the end when it is the number of rows).
    void InsertRows(int position, const PageRows& rows);
    // Removes the rows of the ranges and returns them, in list order.
    PageRows RemoveRanges(const RowRanges& ranges);
    // Puts rows back where RemoveRanges took them from: `rows` in list order, `ranges` the positions
    // they had then.
    void InsertRanges(const RowRanges& ranges, const PageRows& rows);
    // Moves one row so that it ends at position `to`; the rows between shift by one.
    void MoveRow(int from, int to);
    // Puts the rows in the given order: entry i is the current position of the row that goes to
    // position i. Views keep their selected and current rows wherever those move.
    void Reorder(const QList<int>& order);

private:
    void NumbersChangedFrom(int row);

    PageRows rows_;
};
