#pragma once

#include <QByteArray>
#include <QtGlobal>

// Sets LC_ALL and LANG for the life of the object and puts the old values back afterwards.
// An empty value unsets the variable.
class LocaleEnvironment {
public:
    LocaleEnvironment(const QByteArray& lcAll, const QByteArray& lang)
        : oldLcAll_(qgetenv("LC_ALL")),
          oldLang_(qgetenv("LANG")),
          hadLcAll_(qEnvironmentVariableIsSet("LC_ALL")),
          hadLang_(qEnvironmentVariableIsSet("LANG"))
    {
        Set("LC_ALL", lcAll, !lcAll.isEmpty());
        Set("LANG", lang, !lang.isEmpty());
    }
    ~LocaleEnvironment()
    {
        Set("LC_ALL", oldLcAll_, hadLcAll_);
        Set("LANG", oldLang_, hadLang_);
    }
    LocaleEnvironment(const LocaleEnvironment&) = delete;
    LocaleEnvironment& operator=(const LocaleEnvironment&) = delete;

private:
    static void Set(const char* name, const QByteArray& value, bool present)
    {
        if (present) {
            qputenv(name, value);
        } else {
            qunsetenv(name);
        }
    }

    QByteArray oldLcAll_;
    QByteArray oldLang_;
    bool hadLcAll_;
    bool hadLang_;
};
