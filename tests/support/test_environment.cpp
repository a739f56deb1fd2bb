#include "tests/support/test_environment.h"

#include <QByteArray>
#include <QtGlobal>

void PrepareTestEnvironment()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    }
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LC_NUMERIC", "LC_TIME", "LC_COLLATE", "LC_MESSAGES", "LANGUAGE"}) {
        qunsetenv(name);
    }
    qputenv("LANG", QByteArrayLiteral("en_US.UTF-8"));
}
