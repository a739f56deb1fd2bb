#pragma once

#include <QCache>
#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

// The thumbnails of the page list's rows: decoded on threads of their own (MakeThumbnail), never on the window's,
// and kept in a cache of a fixed size, the pictures used longest ago leaving first.
//
// The list says which pictures it wants now (Want), those in view first: those not held are decoded in that order,
// and those wanted before but not now are passed over, so that a list scrolled quickly decodes only what comes to
// rest in view. Each thumbnail that arrives, or fails, is announced by thumbnailReady on the window's thread. A
// picture that cannot be decoded is held as failed, so that it is not tried again while it is held.
//
// Its threads end when it is destroyed: what is waiting is dropped, and the decodes under way are waited for.
class ThumbnailLoader : public QObject {
    Q_OBJECT

public:
    // What the cache may hold, in bytes of pixels and bookkeeping: 4 MiB, some 1,600 thumbnails of 24 x 24.
    static constexpr qint64 kDefaultBudget = 4LL * 1024 * 1024;

    ThumbnailLoader(QSize boxSize, qint64 budgetBytes = kDefaultBudget, QObject* parent = nullptr);
    ~ThumbnailLoader() override;

    QSize BoxSize() const;

    enum class Status { NotYet, Ready, Failed };
    // What the cache holds for the picture at `path`; `thumbnail` is set when it is Ready. Counts as a use.
    Status Find(const QString& path, QImage* thumbnail = nullptr);

    // The pictures wanted now, most wanted first; replaces what was wanted before.
    void Want(const QStringList& paths);

    // The bytes the cache holds now, at most the budget.
    qint64 CachedBytes() const;
    // Changes the budget, dropping the thumbnails used longest ago where they no longer fit.
    void SetBudget(qint64 budgetBytes);

signals:
    void thumbnailReady(const QString& path);

private:
    struct Entry {
        QImage thumbnail;  // null for a picture that failed
    };

    void Work();
    void Store(const QString& path, const QImage& thumbnail);

    const QSize boxSize_;
    QCache<QString, Entry> cache_;

    std::mutex mutex_;
    std::condition_variable wanted_;
    std::deque<QString> waiting_;
    QStringList decoding_;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};
