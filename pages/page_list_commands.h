#pragma once

#include "pages/page_list_model.h"

#include <QList>
#include <QString>
#include <QUndoCommand>

// The changes a person makes to the page list, one undoable step each. Each keeps only what it
// needs to go back and forth: the rows it added or took away, a move's two positions, a sort's
// order; never a copy of the whole list beside the list.

// Rows added at the end of the list: by Add, Add Folder, a drop from the file manager, or the
// program's arguments.
class AppendPagesCommand : public QUndoCommand {
public:
    AppendPagesCommand(PageListModel& pages, PageRows rows, const QString& text);
    void redo() override;
    void undo() override;

private:
    PageListModel& pages_;
    PageRows rows_;
    int position_;
};

// Rows taken away: the selected ones, or all of them. Undone, they come back where they were.
class RemovePagesCommand : public QUndoCommand {
public:
    RemovePagesCommand(PageListModel& pages, RowRanges ranges, const QString& text);
    void redo() override;
    void undo() override;

private:
    PageListModel& pages_;
    RowRanges ranges_;
    PageRows removed_;
};

// One row moved to another position: a drop of a dragged row, or a page number typed over it.
class MovePageCommand : public QUndoCommand {
public:
    MovePageCommand(PageListModel& pages, int from, int to, const QString& text);
    void redo() override;
    void undo() override;

private:
    PageListModel& pages_;
    int from_;
    int to_;
};

// The rows put into a new order, as Sort by File Name does.
class ReorderPagesCommand : public QUndoCommand {
public:
    ReorderPagesCommand(PageListModel& pages, QList<int> order, const QString& text);
    void redo() override;
    void undo() override;

private:
    PageListModel& pages_;
    QList<int> order_;
};
