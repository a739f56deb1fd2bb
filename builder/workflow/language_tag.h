#pragma once

#include <QString>

// Items of locale information that the book documents ask of the system default locale.
enum class LocaleInfoItem {
    Iso639LanguageName,  // "en" of en_US
    Iso3166CountryName,  // "US" of en_US
};

// One item of the system default locale, or empty when the locale cannot supply it. The system
// default locale is the one named by LC_ALL, or by LANG when LC_ALL is unset or empty; the C and
// POSIX locales supply neither item. A text longer than 18 characters, or one that is not a plain
// language or country code, counts as not supplied.
QString GetLocaleText(LocaleInfoItem item);

// The language tag of the system default locale: language, "-", country (en-US); the language
// alone when the locale names no country (de); "und" (undetermined) in place of a language the
// locale cannot supply (und, und-US). A tag never begins or ends with a hyphen.
QString GetLanguageTag();
