#include "cli/progress_line.h"

#include <QLocale>

namespace {

// Often enough to look alive, seldom enough not to slow the work down.
constexpr qint64 kRedrawIntervalMs = 100;
constexpr double kBytesPerMegabyte = 1e6;
// Back to the start of the line, and everything to its end erased.
constexpr char kRewriteLine[] = "\r\x1b[K";

int Percent(qint64 done, qint64 total)
{
    return total > 0 ? static_cast<int>(qBound<qint64>(0, done, total) * 100 / total) : 0;
}

}  // namespace

ProgressLine::ProgressLine(std::FILE* terminal, bool enabled) : terminal_(terminal), enabled_(enabled) {}

void ProgressLine::ShowStaged(qsizetype picturesDone, qsizetype picturesTotal)
{
    Draw(QStringLiteral("Preparing the pages: %1 of %2 (%3%)")
             .arg(picturesDone)
             .arg(picturesTotal)
             .arg(Percent(picturesDone, picturesTotal)),
         picturesDone == picturesTotal);
}

void ProgressLine::ShowPacked(qint64 bytesDone, qint64 bytesTotal)
{
    if (!sincePackingBegan_.isValid()) {
        sincePackingBegan_.start();
    }
    const double seconds = static_cast<double>(sincePackingBegan_.elapsed()) / 1000;
    const double rate = seconds > 0 ? static_cast<double>(bytesDone) / kBytesPerMegabyte / seconds : 0;
    const QLocale c = QLocale::c();
    Draw(QStringLiteral("Packing the book: %1 of %2 MB (%3%), %4 MB/s")
             .arg(c.toString(static_cast<double>(bytesDone) / kBytesPerMegabyte, 'f', 1),
                  c.toString(static_cast<double>(bytesTotal) / kBytesPerMegabyte, 'f', 1))
             .arg(Percent(bytesDone, bytesTotal))
             .arg(c.toString(rate, 'f', 1)),
         bytesDone >= bytesTotal);
}

void ProgressLine::Clear()
{
    if (drawn_) {
        std::fputs(kRewriteLine, terminal_);
        std::fflush(terminal_);
        drawn_ = false;
    }
}

void ProgressLine::Draw(const QString& text, bool finalState)
{
    if (!enabled_ || (drawn_ && !finalState && sinceDrawn_.elapsed() < kRedrawIntervalMs)) {
        return;
    }
    std::fputs(kRewriteLine, terminal_);
    std::fputs(text.toLocal8Bit().constData(), terminal_);
    std::fflush(terminal_);
    drawn_ = true;
    sinceDrawn_.start();
}
