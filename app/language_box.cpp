#include "app/language_box.h"

#include "settings/language_choices.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QLineEdit>

namespace {

// Between a language's name and its tag in the list; the tag is what follows the last one.
const QString kSeparator = QStringLiteral(" \u2014 ");
// The list is wider than the field, so that long names show whole.
constexpr int kListWidth = 300;

}  // namespace

LanguageBox::LanguageBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // The field has its place in the window; measuring a thousand names in a hundred scripts for a size it would
    // not take loads the fonts of every script.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(12);
    setMaxVisibleItems(15);
    QStringList items;
    for (const LanguageChoice& choice : LanguageChoices()) {
        items << choice.name + kSeparator + choice.tag;
    }
    addItems(items);
    view()->setMinimumWidth(kListWidth);
    auto* completer = new QCompleter(model(), this);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setFilterMode(Qt::MatchContains);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    completer->setMaxVisibleItems(15);
    completer->popup()->setMinimumWidth(kListWidth);
    setCompleter(completer);
    setCurrentIndex(-1);
}

QString LanguageBox::Tag() const
{
    const QString text = currentText();
    const qsizetype separator = text.lastIndexOf(kSeparator);
    return (separator < 0 ? text : text.mid(separator + kSeparator.size())).trimmed();
}

QString LanguageBox::TextFor(const QString& tag) const
{
    const int item = tag.isEmpty() ? -1 : findText(kSeparator + tag, Qt::MatchEndsWith);
    return item < 0 ? tag : itemText(item);
}
