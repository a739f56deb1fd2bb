#pragma once

#include "comics/comic_reader.h"

#include "tests/support/temp_folder_test.h"

#include <QStringList>

// A temporary folder in which the tests make comic archives and PDFs with real tools.
class ComicsTest : public TempFolderTest {
protected:
    // Runs a shell command in the test's folder; fails the test when it fails.
    void Run(const QString& command);
    // Makes a file that no tool on Debian makes (tests/comics/make_test_files.py), in the test's folder.
    void Make(const QStringList& arguments);

    // The pages and what is left out of the container at `path`.
    static ComicListing List(const QString& path, const ComicLimits& limits = {});
    // The text of the ComicError that opening and listing the container gives; "" when there is none.
    static QString Refusal(const QString& path, const ComicLimits& limits = {});
    static QStringList PagePaths(const ComicListing& listing);
};
