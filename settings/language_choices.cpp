#include "settings/language_choices.h"

#include <QHash>
#include <QLocale>
#include <QSet>

#include <algorithm>

namespace {

QString Tag(QStringList subtags)
{
    subtags.removeAll(QString());
    return subtags.join(u'-');
}

}  // namespace

QList<LanguageChoice> LanguageChoices()
{
    const QList<QLocale> locales =
        QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    QHash<QLocale::Language, QSet<QLocale::Script>> scripts;
    // A language on its own goes by the shortest of the names its locales give it: "English" rather than
    // "American English", "español" rather than "español de España".
    QHash<QLocale::Language, QString> plainNames;
    for (const QLocale& locale : locales) {
        scripts[locale.language()].insert(locale.script());
        QString& plain = plainNames[locale.language()];
        const QString name = locale.nativeLanguageName();
        if (!name.isEmpty() && (plain.isEmpty() || name.size() < plain.size())) {
            plain = name;
        }
    }
    QList<LanguageChoice> choices;
    QSet<QString> tags;
    const auto add = [&](const QString& name, const QString& tag) {
        if (!name.isEmpty() && !tags.contains(tag)) {
            tags.insert(tag);
            choices.append({name, tag});
        }
    };
    for (const QLocale& locale : locales) {
        if (locale.language() == QLocale::C) {
            continue;
        }
        const QString language = QLocale::languageToCode(locale.language());
        add(plainNames.value(locale.language()), language);
        const QString script =
            scripts[locale.language()].size() > 1 ? QLocale::scriptToCode(locale.script()) : QString();
        const QString territory = locale.nativeTerritoryName();
        if (!territory.isEmpty()) {
            add(locale.nativeLanguageName() + QStringLiteral(" (") + territory + u')',
                Tag({language, script, QLocale::territoryToCode(locale.territory())}));
        }
    }
    std::sort(choices.begin(), choices.end(), [](const LanguageChoice& a, const LanguageChoice& b) {
        const int byName = a.name.compare(b.name, Qt::CaseInsensitive);
        return byName != 0 ? byName < 0 : a.tag < b.tag;
    });
    return choices;
}
