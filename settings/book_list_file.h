#pragma once

#include "common/reading_direction.h"
#include "common/user_error.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QIODevice;

// A page list with the book's details, as a small text file a person can read and edit: the window's "Save List..."
// and "Open List..." write and read it, the command line takes it with --list, and the window keeps its work in
// this form (KeptListSlot).
//
//     Tamboril page list
//     Title: The Saga
//     Author: Ann Example
//     Language: en
//     Series: The Saga
//     Number: 3
//     Cover: cover.jpg
//     Layout: fixed
//     Reading direction: right-to-left
//
//     page001.jpg
//     /home/ann/more/page002.jpg
//
// UTF-8 text, one item a line (LF; CR LF is read too). A file whose first line is "Tamboril page list" has header
// lines after it, "Name: value", up to the first empty line: the names above, in any order and letter case, each
// with its value (blanks around it do not count; an empty or missing one leaves that detail unset); lines
// beginning with "#" among them are comments. Every line after them that is not blank is the path of one picture,
// in book order. A file without that first line holds paths alone. A path that is not absolute, the cover's too,
// is taken from the list file's folder.
struct BookList {
    QString title;
    QString author;
    QString language;
    QString series;
    QString number;
    QString cover;
    QString layout;  // the word that names the kind of book, as the list gives it
    std::optional<ReadingDirection> direction;
    QStringList pictures;
};

// A page list file that cannot be read, written or understood; the text says which and why.
class BookListError : public UserError {
public:
    using UserError::UserError;
};

// The file's text for `list`, every header line written. A path inside `listFolder` (when that is not empty) is
// written relative to it, so that a folder moved with its list keeps working. Raises BookListError when a detail or
// a path holds a line break, which no line can hold.
QByteArray BookListText(const BookList& list, const QString& listFolder);

// Appends the line of one more picture to the text of a list (BookListText), as BookListText writes it: for a list
// written a picture at a time, without a list of every path beside it. Raises BookListError as BookListText does.
void AppendBookListPicture(QByteArray& text, const QString& picture, const QString& listFolder);

// The list that `text` holds, its relative paths taken from `listFolder`. Raises BookListError when the text is not
// UTF-8 or a header line is not understood, naming the line.
BookList ParseBookList(const QByteArray& text, const QString& listFolder);

// The list in the file at `path`. Raises BookListError, naming the file, when it cannot be read, is larger than any
// page list (64 MiB), or is not understood.
BookList ReadBookList(const QString& path);

// Writes `text` as the file at `path`, whole or not at all: into a new file beside it, flushed to the disk, then
// renamed over it. Raises BookListError, naming the file, when it cannot be written; an earlier file stays then.
void WriteBookListFile(const QString& path, const QByteArray& text);

// The same for a text that `write` writes into the new file a piece at a time, so that a long list is never held
// whole in memory. An error that `write` raises leaves the earlier file as it was too.
void WriteBookListFile(const QString& path, const std::function<void(QIODevice&)>& write);
