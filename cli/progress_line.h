#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QtGlobal>

#include <cstdio>

// One line on a terminal that shows how far a conversion is and rewrites itself as it goes: the
// pictures staged, then the bytes packed with the share done and the rate. It is redrawn at most
// a few times a second and cleared when the work ends or a message is to be printed.
class ProgressLine {
public:
    // Draws nothing when `enabled` is false.
    ProgressLine(std::FILE* terminal, bool enabled);

    void ShowStaged(qsizetype picturesDone, qsizetype picturesTotal);
    void ShowPacked(qint64 bytesDone, qint64 bytesTotal);
    // Removes the line, so that the next text starts on an empty line.
    void Clear();

private:
    void Draw(const QString& text, bool finalState);

    std::FILE* terminal_;
    bool enabled_;
    bool drawn_ = false;
    QElapsedTimer sinceDrawn_;
    QElapsedTimer sincePackingBegan_;
};
