#pragma once

#include <QHash>
#include <QObject>
#include <QString>

class QLineEdit;
class QUndoStack;

// Makes the person's changes to the window's text fields steps of the window's one undo stack, beside the page
// list's changes, so that Undo takes back the person's last action whichever it was. Typing in one field makes one
// step until another step comes between; a choice made another way (a dialog, "Use as Cover", a language picked
// from the list) is a step of its own.
//
// The fields give up their own undo: Ctrl+Z and Ctrl+Shift+Z in a field, and Undo and Redo in its context menu,
// reach the window's stack, so that a page list command given from a field (Remove All while the title has the
// focus) is taken back there too.
//
// Every change the window makes to a field's text itself goes through Set, so that what the person does next is
// told apart from it.
class FieldHistory : public QObject {
    Q_OBJECT

public:
    FieldHistory(QUndoStack& stack, QObject* parent = nullptr);

    // Follows the field: its changes by the person become steps "Typing in <name>".
    void Follow(QLineEdit& field, const QString& name);
    // Takes the field's text as it now stands as a step named `step`, when it differs from the last one known: for
    // changes the person makes without typing.
    void Record(QLineEdit& field, const QString& step);
    // Sets the field's text as a step named `step`.
    void SetByPerson(QLineEdit& field, const QString& text, const QString& step);
    // Sets the field's text, no step of its own (loading, a step being undone or made again).
    void Set(QLineEdit& field, const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Push(QLineEdit& field, const QString& text, const QString& step, bool typing);

    QUndoStack& stack_;
    // What each field held after the last step or Set: the text a step takes back to.
    QHash<QLineEdit*, QString> known_;
    QHash<QLineEdit*, QString> names_;
};
