#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

// What the caller of the archive writer lets it reach while it packs. Every member may be empty.
struct PackingHooks {
    // Called at each event-dispatch point: the window lets its pending events through; the command line has none.
    std::function<void()> dispatchEvents;
    // Asked after each dispatch pass; true stops the packing with "User Aborted Operation".
    std::function<bool()> cancelRequested;
    // A source file came out shorter than its size when it was opened; the entry holds the bytes actually read.
    std::function<void(const QString& path, qint64 expected, qint64 actual)> shortRead;
    // Bytes of source data packed so far, out of the total size of the files found.
    std::function<void(qint64 bytesDone, qint64 bytesTotal)> progress;
};

// A message for the short-read event that tells the user which file came out shorter than expected.
QString ShortReadText(const QString& path, qint64 expected, qint64 actual);
