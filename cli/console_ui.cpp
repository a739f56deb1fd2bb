#include "cli/console_ui.h"

#include "cli/interruption.h"

#include <QTextStream>

#include <cstdio>
#include <unistd.h>

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
    return IsYes(QTextStream(stdin).readLine());
}

void ConsoleUi::SetBusy(bool busy)
{
    if (!busy) {
        progress_.Clear();
    }
}

void ConsoleUi::OpenFolder(const QString& /*folder*/) {}

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
