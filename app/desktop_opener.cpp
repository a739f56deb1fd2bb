#include "app/desktop_opener.h"

#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

namespace {

// Long enough for an opener to find and start the program it hands the address to.
constexpr int kVerdictTimeoutMilliseconds = 5000;

}  // namespace

bool OpenWithDesktop(const QUrl& address)
{
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        return false;
    }
    // The process goes once it has ended, whenever that is: an opener still at work when the verdict is given must
    // not be killed with an object of ours.
    auto* process = new QProcess;
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->start(opener, {address.toString(QUrl::FullyEncoded)});
    if (!process->waitForStarted()) {
        delete process;
        return false;
    }
    // The window keeps drawing itself while the opener works.
    QEventLoop loop;
    QTimer patience;
    patience.setSingleShot(true);
    QObject::connect(process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&patience, &QTimer::timeout, &loop, &QEventLoop::quit);
    patience.start(kVerdictTimeoutMilliseconds);
    loop.exec();
    // Still at work after a while: it has started what it opens with.
    return process->state() != QProcess::NotRunning
           || (process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0);
}
