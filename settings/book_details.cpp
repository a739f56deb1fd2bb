#include "settings/book_details.h"

#include "builder/workflow/language_tag.h"

#include <QRegularExpression>

#include <unicode/uloc.h>

namespace {

// The longest tag taken: far beyond any real one, short enough for the parser's buffer below.
constexpr qsizetype kLongestTag = 128;

bool IsAsciiLetters(QStringView text)
{
    for (const QChar c : text) {
        if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'))) {
            return false;
        }
    }
    return true;
}

}  // namespace

QString DefaultLanguageTag()
{
    if (GetLocaleText(LocaleInfoItem::Iso639LanguageName).isEmpty()) {
        return QStringLiteral("en");
    }
    return GetLanguageTag();
}

QString LanguageTagProblem(const QString& tag)
{
    const QString notATag = QStringLiteral("is not a language tag such as en, pt-BR or zh-Hant");
    if (tag.isEmpty() || tag.size() > kLongestTag) {
        return notATag;
    }
    // ICU's parser reads a tag as far as it is well-formed; a tag that it reads to its end is well-formed.
    const QByteArray bytes = tag.toUtf8();
    char locale[4 * kLongestTag];
    int32_t parsed = 0;
    UErrorCode status = U_ZERO_ERROR;
    uloc_forLanguageTag(bytes.constData(), locale, sizeof locale, &parsed, &status);
    if (U_FAILURE(status) || parsed != bytes.size()) {
        return notATag;
    }
    const QStringView primary = QStringView(tag).left(tag.indexOf(u'-'));
    if (primary.size() >= 4 && IsAsciiLetters(primary)) {
        return QStringLiteral("is not a language tag: a language's code has two or three letters (en, pt, gsw)");
    }
    return {};
}

bool IsSeriesNumber(const QString& number)
{
    static const QRegularExpression form(QStringLiteral("^[0-9]{1,9}(\\.[0-9]{1,9})?$"));
    return form.match(number).hasMatch();
}
