#pragma once

#include "tests/cli/cli_program.h"
#include "tests/support/temp_folder_test.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <functional>
#include <memory>

// Runs of tamboril-cli that make the book "T" in the folder "out" of the test's folder, with the folder "tmp"
// there as their temporary folder, to see what they leave.
class CliRunTest : public TempFolderTest {
protected:
    void SetUp() override;

    QString Book() const;
    QProcessEnvironment Environment() const;

    // Starts tamboril-cli making the book with the other arguments; `prefix` runs it under another program
    // (setpriv, prlimit).
    std::unique_ptr<QProcess> Start(const QStringList& arguments, const QStringList& prefix = {});
    CliRun Run(const QStringList& arguments, const QStringList& prefix = {});

    // A small picture at `relativePath`, told apart from others by the note it carries (SmallJpeg).
    QString Picture(const QString& relativePath);

    // Whether the temporary book of a running conversion lies beside the book.
    bool TemporaryBookExists() const;

    // What the run leaves besides the book: the output folder holds the book alone, the temporary folder
    // nothing.
    void ExpectNothingLeftBehind();
};

// Waits until `moment` holds or the run ends; never longer than the run.
void WaitUntil(QProcess& process, const std::function<bool()>& moment);

// The names of the book's entries, as Info-ZIP's unzip lists them; empty when unzip finds a fault.
QStringList EntriesOfSoundBook(const QString& book);
