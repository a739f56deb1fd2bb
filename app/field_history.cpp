#include "app/field_history.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QUndoCommand>
#include <QUndoStack>

#include <memory>

namespace {

// Steps of typing in one field merge into one; other steps never merge.
constexpr int kTypingId = 1;

bool IsUndoOrRedo(const QKeyEvent& key)
{
    return key.matches(QKeySequence::Undo) || key.matches(QKeySequence::Redo);
}

}  // namespace

// One change of a field's text. The first redo finds the text in place already (the person typed it, or SetByPerson
// has set it); undo and the redos after it set it through the history.
class FieldTextCommand : public QUndoCommand {
public:
    FieldTextCommand(FieldHistory& history, QLineEdit& field, QString before, QString after, const QString& text,
                     bool typing)
        : QUndoCommand(text),
          history_(history),
          field_(&field),
          before_(std::move(before)),
          after_(std::move(after)),
          typing_(typing)
    {}

    int id() const override { return typing_ ? kTypingId : -1; }

    bool mergeWith(const QUndoCommand* other) override
    {
        const auto* next = static_cast<const FieldTextCommand*>(other);
        if (next->field_ != field_) {
            return false;
        }
        after_ = next->after_;
        return true;
    }

    void redo() override
    {
        if (done_ && field_) {
            history_.Set(*field_, after_);
        }
        done_ = true;
    }

    void undo() override
    {
        if (field_) {
            history_.Set(*field_, before_);
        }
    }

private:
    FieldHistory& history_;
    QPointer<QLineEdit> field_;
    QString before_;
    QString after_;
    bool typing_;
    bool done_ = false;
};

FieldHistory::FieldHistory(QUndoStack& stack, QObject* parent) : QObject(parent), stack_(stack) {}

void FieldHistory::Follow(QLineEdit& field, const QString& name)
{
    known_[&field] = field.text();
    names_[&field] = name;
    field.installEventFilter(this);
    connect(&field, &QLineEdit::textEdited, this, [this, &field] {
        if (field.text() != known_.value(&field)) {
            Push(field, field.text(), QStringLiteral("Typing in ") + names_.value(&field), true);
        }
    });
    connect(&field, &QObject::destroyed, this, [this, fieldObject = &field] {
        known_.remove(fieldObject);
        names_.remove(fieldObject);
    });
}

void FieldHistory::Record(QLineEdit& field, const QString& step)
{
    if (field.text() != known_.value(&field)) {
        Push(field, field.text(), step, false);
    }
}

void FieldHistory::SetByPerson(QLineEdit& field, const QString& text, const QString& step)
{
    if (text == known_.value(&field)) {
        return;
    }
    field.setText(text);
    Push(field, text, step, false);
}

void FieldHistory::Set(QLineEdit& field, const QString& text)
{
    known_[&field] = text;
    if (field.text() != text) {
        field.setText(text);
    }
}

void FieldHistory::Push(QLineEdit& field, const QString& text, const QString& step, bool typing)
{
    const QString before = known_.value(&field);
    known_[&field] = text;
    stack_.push(new FieldTextCommand(*this, field, before, text, step, typing));
}

bool FieldHistory::eventFilter(QObject* watched, QEvent* event)
{
    auto* field = qobject_cast<QLineEdit*>(watched);
    if (field == nullptr) {
        return QObject::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Left unaccepted, the keys go to the window's Undo and Redo instead of the field's own history.
        return IsUndoOrRedo(static_cast<const QKeyEvent&>(*event));
    case QEvent::KeyPress:
        // With nothing to undo or redo the window's commands are off, and the field must not act either.
        return IsUndoOrRedo(static_cast<const QKeyEvent&>(*event));
    case QEvent::ContextMenu: {
        const std::unique_ptr<QMenu> menu(field->createStandardContextMenu());
        for (QAction* item : menu->actions()) {
            const bool undo = item->objectName() == QStringLiteral("edit-undo");
            if (undo || item->objectName() == QStringLiteral("edit-redo")) {
                item->disconnect();
                item->setEnabled(undo ? stack_.canUndo() : stack_.canRedo());
                connect(item, &QAction::triggered, &stack_, undo ? &QUndoStack::undo : &QUndoStack::redo);
            }
        }
        menu->exec(static_cast<const QContextMenuEvent&>(*event).globalPos());
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}
