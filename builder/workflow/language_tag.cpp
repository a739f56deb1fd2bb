#include "builder/workflow/language_tag.h"

#include "builder/workflow/book_settings.h"

#include <QByteArray>
#include <QtGlobal>

namespace {

// Longest text an item may have; longer ones count as not supplied.
constexpr qsizetype kMaxLocaleTextLength = 18;

// The name of the system default locale, such as "en_US.UTF-8".
QString SystemLocaleName()
{
    const QString all = qEnvironmentVariable("LC_ALL");
    return all.isEmpty() ? qEnvironmentVariable("LANG") : all;
}

bool IsAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool IsAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// A language code is ASCII letters only, a country code ASCII letters or digits. Anything else
// would end up unescaped in the page documents, so it is not taken.
bool IsPlainCode(const QString& text, bool digitsAllowed)
{
    if (text.isEmpty() || text.size() > kMaxLocaleTextLength) {
        return false;
    }
    for (const QChar c : text) {
        if (!IsAsciiLetter(c) && !(digitsAllowed && IsAsciiDigit(c))) {
            return false;
        }
    }
    return true;
}

}  // namespace

QString GetLocaleText(LocaleInfoItem item)
{
    // language[_territory][.codeset][@modifier]
    QString name = SystemLocaleName();
    name = name.left(name.indexOf(u'@'));
    name = name.left(name.indexOf(u'.'));
    if (name == u"C" || name == u"POSIX") {
        return {};
    }
    const qsizetype separator = name.indexOf(u'_');
    const QString language = name.left(separator);
    const QString country = separator < 0 ? QString() : name.mid(separator + 1);
    switch (item) {
    case LocaleInfoItem::Iso639LanguageName:
        return IsPlainCode(language, false) ? language : QString();
    case LocaleInfoItem::Iso3166CountryName:
        return IsPlainCode(country, true) ? country : QString();
    }
    return {};
}

QString GetLanguageTag()
{
    const QString language = GetLocaleText(LocaleInfoItem::Iso639LanguageName);
    const QString country = GetLocaleText(LocaleInfoItem::Iso3166CountryName);
    const QString tag = language.isEmpty() ? QStringLiteral("und") : language;
    return country.isEmpty() ? tag : tag + u'-' + country;
}

QString BookLanguage(const BookSettings& settings)
{
    return settings.language.isEmpty() ? GetLanguageTag() : settings.language;
}
