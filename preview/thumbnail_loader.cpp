#include "preview/thumbnail_loader.h"

#include "common/user_error.h"
#include "preview/thumbnail.h"

#include <QThread>

#include <algorithm>
#include <new>

namespace {

// Bookkeeping of one entry besides its pixels: the path's text, the cache's node, the image's header.
qint64 EntryCost(const QString& path, const QImage& thumbnail)
{
    return thumbnail.sizeInBytes() + path.size() * qint64{sizeof(QChar)} + 160;
}

// One thread is plenty for the few rows in view; a second where there are cores to spare, never the window's share.
int WorkerCount()
{
    return std::clamp(QThread::idealThreadCount() - 1, 1, 2);
}

}  // namespace

ThumbnailLoader::ThumbnailLoader(QSize boxSize, qint64 budgetBytes, QObject* parent)
    : QObject(parent),
      boxSize_(boxSize),
      cache_(budgetBytes)
{
    for (int i = 0; i < WorkerCount(); ++i) {
        workers_.emplace_back([this] { Work(); });
    }
}

ThumbnailLoader::~ThumbnailLoader()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        waiting_.clear();
    }
    wanted_.notify_all();
    for (std::thread& worker : workers_) {
        worker.join();
    }
}

QSize ThumbnailLoader::BoxSize() const
{
    return boxSize_;
}

ThumbnailLoader::Status ThumbnailLoader::Find(const QString& path, QImage* thumbnail)
{
    const Entry* entry = cache_.object(path);
    if (entry == nullptr) {
        return Status::NotYet;
    }
    if (entry->thumbnail.isNull()) {
        return Status::Failed;
    }
    if (thumbnail != nullptr) {
        *thumbnail = entry->thumbnail;
    }
    return Status::Ready;
}

void ThumbnailLoader::Want(const QStringList& paths)
{
    std::deque<QString> missing;
    for (const QString& path : paths) {
        if (!cache_.contains(path) && std::find(missing.begin(), missing.end(), path) == missing.end()) {
            missing.push_back(path);
        }
    }
    {
        const std::lock_guard lock(mutex_);
        waiting_ = std::move(missing);
    }
    wanted_.notify_all();
}

qint64 ThumbnailLoader::CachedBytes() const
{
    return cache_.totalCost();
}

void ThumbnailLoader::SetBudget(qint64 budgetBytes)
{
    cache_.setMaxCost(budgetBytes);
}

void ThumbnailLoader::Work()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wanted_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
        if (stopping_) {
            return;
        }
        const QString path = waiting_.front();
        waiting_.pop_front();
        // The same picture on two rows, or wanted again while a thread decodes it, is decoded once.
        if (decoding_.contains(path)) {
            continue;
        }
        decoding_.append(path);
        lock.unlock();
        QImage thumbnail;
        try {
            thumbnail = MakeThumbnail(path, boxSize_);
        } catch (const UserError&) {
            // Shown as a mark on the row; the preview names the reason when the person looks at the picture.
        } catch (const std::bad_alloc&) {
            // A picture too large to decode here is marked the same way.
        }
        QMetaObject::invokeMethod(
            this, [this, path, thumbnail] { Store(path, thumbnail); }, Qt::QueuedConnection);
        lock.lock();
        decoding_.removeOne(path);
    }
}

void ThumbnailLoader::Store(const QString& path, const QImage& thumbnail)
{
    cache_.insert(path, new Entry{thumbnail}, EntryCost(path, thumbnail));
    emit thumbnailReady(path);
}
