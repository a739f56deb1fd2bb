#include "pages/page_list_commands.h"

#include <utility>

AppendPagesCommand::AppendPagesCommand(PageListModel& pages, PageRows rows, const QString& text)
    : QUndoCommand(text),
      pages_(pages),
      rows_(std::move(rows)),
      position_(pages.rowCount())
{}

void AppendPagesCommand::redo()
{
    pages_.InsertRows(position_, rows_);
}

void AppendPagesCommand::undo()
{
    pages_.RemoveRanges({{position_, static_cast<int>(rows_.size())}});
}

RemovePagesCommand::RemovePagesCommand(PageListModel& pages, RowRanges ranges, const QString& text)
    : QUndoCommand(text),
      pages_(pages),
      ranges_(std::move(ranges))
{}

void RemovePagesCommand::redo()
{
    removed_ = pages_.RemoveRanges(ranges_);
}

void RemovePagesCommand::undo()
{
    pages_.InsertRanges(ranges_, removed_);
    // The list holds them again; this step need not.
    removed_.clear();
}

MovePageCommand::MovePageCommand(PageListModel& pages, int from, int to, const QString& text)
    : QUndoCommand(text),
      pages_(pages),
      from_(from),
      to_(to)
{}

void MovePageCommand::redo()
{
    pages_.MoveRow(from_, to_);
}

void MovePageCommand::undo()
{
    pages_.MoveRow(to_, from_);
}

ReorderPagesCommand::ReorderPagesCommand(PageListModel& pages, QList<int> order, const QString& text)
    : QUndoCommand(text),
      pages_(pages),
      order_(std::move(order))
{}

void ReorderPagesCommand::redo()
{
    pages_.Reorder(order_);
}

void ReorderPagesCommand::undo()
{
    // The order that takes each row back to where it was.
    QList<int> back(order_.size());
    for (qsizetype position = 0; position < order_.size(); ++position) {
        back[order_[position]] = static_cast<int>(position);
    }
    pages_.Reorder(back);
}
