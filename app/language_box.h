#pragma once

#include <QComboBox>
#include <QString>

// The book's language: a field that offers every language by its own name with its tag ("Deutsch (Schweiz) —
// de-CH"), in the order of their names, and takes any tag typed by hand. Typing shows the languages whose name or
// tag holds what was typed, wherever it stands in them.
class LanguageBox : public QComboBox {
    Q_OBJECT

public:
    explicit LanguageBox(QWidget* parent = nullptr);

    // The tag the field holds: a chosen language's, or the text as typed, without blanks around it; empty when the
    // field is.
    QString Tag() const;
    // The field's text for `tag`: its language's name and tag where the list has it (letter case aside), else the
    // tag alone.
    QString TextFor(const QString& tag) const;
};
