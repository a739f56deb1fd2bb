#include "tests/support/test_environment.h"

#include <QApplication>
#include <QByteArray>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

// A virtual X server of this test program's own, for as long as the object lives. Rows dragged in
// a list travel through the window system's drag protocol, which the offscreen window system does
// not have; Xvfb has it, and needs no screen.
class VirtualXServer {
public:
    VirtualXServer()
    {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0) {
            throw std::runtime_error("no pipe for the X server's display number");
        }
        pid_ = fork();
        if (pid_ == 0) {
            close(pipeEnds[0]);
            const std::string displayFd = std::to_string(pipeEnds[1]);
            // The server's chatter would only clutter the test output.
            std::freopen("/dev/null", "w", stderr);
            execlp("Xvfb", "Xvfb", "-displayfd", displayFd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(pipeEnds[1]);
        // Xvfb writes its display number once it is ready for clients.
        std::string display;
        char c = 0;
        while (read(pipeEnds[0], &c, 1) == 1 && c != '\n') {
            display += c;
        }
        close(pipeEnds[0]);
        if (pid_ < 0 || display.empty()) {
            Stop();
            throw std::runtime_error("Xvfb did not start; it comes with the Debian package xvfb");
        }
        setenv("DISPLAY", (":" + display).c_str(), 1);
    }

    ~VirtualXServer() { Stop(); }
    VirtualXServer(const VirtualXServer&) = delete;
    VirtualXServer& operator=(const VirtualXServer&) = delete;

private:
    void Stop()
    {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
    }

    pid_t pid_ = -1;
};

}  // namespace

// Window tests that need a real window system run on the X window system of a virtual X server.
int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("xcb"));
    PrepareTestEnvironment();
    try {
        const VirtualXServer server;
        QApplication application(argc, argv);
        ::testing::InitGoogleTest(&argc, argv);
        return RUN_ALL_TESTS();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
