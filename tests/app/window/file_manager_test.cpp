#include "app/desktop_opener.h"
#include "app/file_manager.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "tests/support/test_files.h"

namespace {

// Stands in for the desktop's file manager: answers ShowItems, or refuses it when told, and keeps
// the arguments of every call.
class FakeFileManager : public QDBusVirtualObject {
public:
    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        if (message.interface() != "org.freedesktop.FileManager1" || message.member() != "ShowItems") {
            return false;
        }
        const QMutexLocker lock(&mutex_);
        calls_ << message.arguments();
        connection.send(refuses_ ? message.createErrorReply(QDBusError::Failed, "cannot show that")
                                 : message.createReply());
        return true;
    }

    void Refuse()
    {
        const QMutexLocker lock(&mutex_);
        refuses_ = true;
    }

    QList<QVariantList> Calls()
    {
        const QMutexLocker lock(&mutex_);
        return calls_;
    }

private:
    QMutex mutex_;
    QList<QVariantList> calls_;
    bool refuses_ = false;
};

// A session bus of the test's own, which starts no service by itself, is the program's session bus.
class FileManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder_.isValid());
        const QString config = folder_.filePath("bus.conf");
        WriteTestFile(config, "<busconfig><type>session</type><listen>unix:tmpdir=" + folder_.path().toUtf8()
                                  + "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
                                    "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                                    "<allow own=\"*\"/></policy></busconfig>");
        bus_.start("dbus-daemon", {"--config-file=" + config, "--nofork", "--print-address"});
        if (!bus_.waitForStarted() || !bus_.waitForReadyRead(10000)) {
            GTEST_SKIP() << "dbus-daemon cannot be started: a session bus of the test's own is needed";
        }
        address_ = QString::fromUtf8(bus_.readLine().trimmed());
        qputenv("DBUS_SESSION_BUS_ADDRESS", address_.toUtf8());
    }

    void TearDown() override
    {
        bus_.kill();
        bus_.waitForFinished();
    }

    QString address_;

private:
    QTemporaryDir folder_;
    QProcess bus_;
};

TEST_F(FileManagerTest, TheBookIsShownThroughTheFileManagerAndEveryFailureAnswersFalse)
{
    const QString book = "/home/ann/My Books/Été 1.epub";
    EXPECT_FALSE(ShowFileInFileManager(book)) << "no file manager on the bus";

    FakeFileManager fileManager;
    QDBusConnection connection = QDBusConnection::connectToBus(address_, "file manager");
    ASSERT_TRUE(connection.registerVirtualObject("/org/freedesktop/FileManager1", &fileManager));
    ASSERT_TRUE(connection.registerService("org.freedesktop.FileManager1"));

    EXPECT_TRUE(ShowFileInFileManager(book));
    ASSERT_EQ(fileManager.Calls().size(), 1);
    // One URI, percent-encoded as URIs are, and no startup notification.
    EXPECT_EQ(fileManager.Calls().at(0),
              QVariantList({QStringList({"file:///home/ann/My%20Books/%C3%89t%C3%A9%201.epub"}), QString()}));

    fileManager.Refuse();
    EXPECT_FALSE(ShowFileInFileManager(book));

    connection.unregisterService("org.freedesktop.FileManager1");
    connection.unregisterObject("/org/freedesktop/FileManager1");
    QDBusConnection::disconnectFromBus("file manager");
}

}  // namespace

// The desktop's opener is known to have opened an address by how it ends, not by its start alone.
TEST(DesktopOpenerTest, AnOpenerThatEndsInFailureOrIsMissingAnswersFalse)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QByteArray path = qgetenv("PATH");
    const auto opener = [&](const QByteArray& script) {
        WriteTestFile(folder.filePath("xdg-open"), "#!/bin/sh\n" + script);
        QFile::setPermissions(folder.filePath("xdg-open"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    };
    qputenv("PATH", folder.path().toUtf8());
    opener("echo \"$1\" > \"${0%/*}/opened\"\nexit 0\n");
    EXPECT_TRUE(OpenWithDesktop(QUrl::fromLocalFile("/home/ann/My Books")));
    EXPECT_EQ(ReadTestFile(folder.filePath("opened")), "file:///home/ann/My%20Books\n");
    // xdg-open's own status when it finds no program to open with: "no method available".
    opener("exit 3\n");
    EXPECT_FALSE(OpenWithDesktop(QUrl("https://www.tamboril.org/")));
    QFile::remove(folder.filePath("xdg-open"));
    EXPECT_FALSE(OpenWithDesktop(QUrl("https://www.tamboril.org/")));
    qputenv("PATH", path);
}
