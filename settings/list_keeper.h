#pragma once

#include <QString>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

class QIODevice;

// Writes the window's kept list on a thread of its own, so that the window never waits for the disk, however long
// the list: Keep hands over the file's path and a function that writes its text into the file (run on the keeper's
// thread), and returns at once. The thread writes the newest list it has been handed, whole (WriteBookListFile); one
// that a newer one replaced before the thread came to it is never written.
class ListKeeper {
public:
    // `onFailure` is told, on the keeper's thread, why a list could not be written; `onWritten` that one was.
    ListKeeper(std::function<void(const QString& reason)> onFailure, std::function<void()> onWritten = {});
    // Finish.
    ~ListKeeper();
    ListKeeper(const ListKeeper&) = delete;
    ListKeeper& operator=(const ListKeeper&) = delete;

    void Keep(const QString& path, std::function<void(QIODevice&)> write);
    // Returns once every list handed over has been written (or has failed).
    void Wait();
    // Waits, then ends the thread. Keep does nothing afterwards.
    void Finish();

private:
    struct Work {
        QString path;
        std::function<void(QIODevice&)> write;
    };

    void Run();

    std::function<void(const QString&)> onFailure_;
    std::function<void()> onWritten_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<Work> next_;
    bool writing_ = false;
    bool finishing_ = false;
    std::thread thread_;
};
