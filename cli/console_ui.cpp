#include "cli/console_ui.h"

#include "cli/interruption.h"

#include <QTextStream>

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <optional>

namespace {

void PrintLine(FILE* stream, const QString& text)
{
    QTextStream(stream) << text << Qt::endl;
}

bool IsYes(const QString& answer)
{
    const QString word = answer.trimmed().toLower();
    return word == u"y" || word == u"yes";
}

// The line the person types at the terminal, without its line end; nothing when an interrupting signal comes
// first. The wait ends at once on the signal, however long the person takes.
std::optional<QString> ReadAnswer()
{
    QByteArray line;
    pollfd waited[2] = {{STDIN_FILENO, POLLIN, 0}, {InterruptionDescriptor(), POLLIN, 0}};
    for (;;) {
        if (InterruptingSignal() != 0) {
            return std::nullopt;
        }
        if (::poll(waited, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            // A terminal that cannot be waited on gives no answer, which is No.
            return QString();
        }
        if ((waited[1].revents & POLLIN) != 0) {
            return std::nullopt;
        }
        char c = 0;
        const ssize_t got = ::read(STDIN_FILENO, &c, 1);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0 || c == '\n') {
            return QString::fromUtf8(line);
        }
        line += c;
    }
}

}  // namespace

ConsoleUi::ConsoleUi(bool replaceWithoutAsking, bool showProgress)
    : replaceWithoutAsking_(replaceWithoutAsking),
      progress_(stderr, showProgress)
{}

void ConsoleUi::ShowMessage(const QString& text, const QString& caption)
{
    progress_.Clear();
    // The plain messages are the missing settings ("Note!") and the short-read notice, whose
    // caption is the file it concerns.
    if (caption == kNoteCaption) {
        PrintLine(stderr, text);
    } else {
        PrintLine(stderr, caption + QStringLiteral(": ") + text);
    }
}

void ConsoleUi::ShowSuccess(const QString& text, const QString& /*caption*/)
{
    progress_.Clear();
    PrintLine(stdout, text);
}

void ConsoleUi::ShowError(const QString& text)
{
    progress_.Clear();
    PrintLine(stderr, text);
}

bool ConsoleUi::AskOverwrite(const QString& text, const QString& /*caption*/)
{
    progress_.Clear();
    QTextStream err(stderr);
    if (replaceWithoutAsking_) {
        return true;
    }
    err << text << " [y/N] " << Qt::flush;
    if (isatty(STDIN_FILENO) == 0) {
        err << "n (no terminal to answer; -y replaces without asking)" << Qt::endl;
        return false;
    }
    const std::optional<QString> answer = ReadAnswer();
    if (!answer) {
        // The terminal's cursor stays after the question; what follows starts on a line of its own.
        err << Qt::endl;
        return false;
    }
    return IsYes(*answer);
}

void ConsoleUi::SetBusy(bool busy)
{
    if (!busy) {
        progress_.Clear();
    }
}

void ConsoleUi::OpenFolder(const QString& /*folder*/, const QString& /*bookPath*/) {}

bool ConsoleUi::CancelRequested()
{
    return InterruptingSignal() != 0;
}

void ConsoleUi::ReportStagingProgress(qsizetype picturesDone, qsizetype picturesTotal)
{
    progress_.ShowStaged(picturesDone, picturesTotal);
}

void ConsoleUi::ReportPackingProgress(qint64 bytesDone, qint64 bytesTotal)
{
    progress_.ShowPacked(bytesDone, bytesTotal);
}
