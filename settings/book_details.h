#pragma once

#include <QString>

// The rules for the book's details that the window and the command line both apply: the language a book is in
// when nobody chose one, and the forms a language tag and a number in a series must have.

// The system's language as a BCP 47 tag, read from the locale as the book's documents have always read it
// (ja_JP.UTF-8 gives ja-JP, de gives de); English ("en") where the locale names no language, as C and POSIX do.
QString DefaultLanguageTag();

// What is wrong with `tag` as the language of a book: empty when it is a well-formed BCP 47 tag (en, pt-BR,
// zh-Hant-TW, sr-Latn-RS, es-419, x-private), else the reason, to follow the tag in a message. Blanks around it
// count as wrong; letter case does not matter, as in any tag. A primary language subtag of four to eight letters,
// which the tag's grammar reserves and no registered language has, is refused too: it is nearly always a
// language's name typed where its code belongs ("english").
QString LanguageTagProblem(const QString& tag);

// Whether `number` is a place in a series: a whole number, or one with a fraction after a point (3, 12, 3.5).
bool IsSeriesNumber(const QString& number);
