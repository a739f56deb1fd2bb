#include "settings/list_keeper.h"

#include "settings/book_list_file.h"

#include <utility>

ListKeeper::ListKeeper(std::function<void(const QString&)> onFailure, std::function<void()> onWritten)
    : onFailure_(std::move(onFailure)),
      onWritten_(std::move(onWritten)),
      thread_([this] { Run(); })
{}

ListKeeper::~ListKeeper()
{
    Finish();
}

void ListKeeper::Keep(const QString& path, std::function<void(QIODevice&)> write)
{
    {
        const std::lock_guard lock(mutex_);
        if (finishing_) {
            return;
        }
        next_ = Work{path, std::move(write)};
    }
    changed_.notify_all();
}

void ListKeeper::Wait()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !next_ && !writing_; });
}

void ListKeeper::Finish()
{
    {
        const std::lock_guard lock(mutex_);
        finishing_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
}

void ListKeeper::Run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return next_ || finishing_; });
        if (!next_) {
            return;
        }
        Work work = std::move(*next_);
        next_.reset();
        writing_ = true;
        lock.unlock();
        try {
            WriteBookListFile(work.path, work.write);
            if (onWritten_) {
                onWritten_();
            }
        } catch (const BookListError& error) {
            onFailure_(error.Text());
        }
        // The work's copy of the list goes here, on this thread, rather than wherever the next one comes from.
        work = Work();
        lock.lock();
        writing_ = false;
        changed_.notify_all();
    }
}
