#include "app/file_manager.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QEventLoop>
#include <QFileInfo>
#include <QStringList>
#include <QUrl>

namespace {

const QString kService = QStringLiteral("org.freedesktop.FileManager1");
const QString kObjectPath = QStringLiteral("/org/freedesktop/FileManager1");
const QString kInterface = QStringLiteral("org.freedesktop.FileManager1");
const QString kShowItems = QStringLiteral("ShowItems");

// Long enough for the desktop to start a file manager that is not running yet.
constexpr int kAnswerTimeoutMilliseconds = 10000;

}  // namespace

bool ShowFileInFileManager(const QString& filePath)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return false;
    }
    // The items are URIs, percent-encoded; the second argument is a startup notification id, which we have none of.
    const QString uri = QString::fromUtf8(QUrl::fromLocalFile(QFileInfo(filePath).absoluteFilePath()).toEncoded());
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kObjectPath, kInterface, kShowItems);
    call << QStringList{uri} << QString();
    const QDBusPendingCall pending = bus.asyncCall(call, kAnswerTimeoutMilliseconds);

    // The window keeps drawing itself while the file manager answers.
    QDBusPendingCallWatcher watcher(pending);
    QEventLoop loop;
    QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
    if (!watcher.isFinished()) {
        loop.exec();
    }
    return !watcher.isError();
}
