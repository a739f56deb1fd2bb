#pragma once

#include <QList>
#include <QString>

// A language a person may choose for a book, named in its own language, with its BCP 47 tag.
struct LanguageChoice {
    QString name;  // "Deutsch", "português (Brasil)", "日本語 (日本)"
    QString tag;   // "de", "pt-BR", "ja-JP"
};

// Every language the system's locale data knows, each once on its own (Deutsch, de) and once for each country it
// is spoken in (Deutsch (Schweiz), de-CH); the script stands in the tag where a language is written in more than
// one (sr-Cyrl-RS, sr-Latn-RS). In the order of their names, ignoring case.
QList<LanguageChoice> LanguageChoices();
