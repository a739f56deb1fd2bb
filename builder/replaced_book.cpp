#include "builder/replaced_book.h"

#include <QFile>
#include <QFileInfo>

#include <utility>

namespace {

// A free hidden name in the book's folder, so that the move is a rename on the same file system.
QString FreeAsideName(const QString& bookPath)
{
    const QFileInfo book(bookPath);
    const QString stem = book.path() + QStringLiteral("/.") + book.fileName() + QStringLiteral(".replaced");
    QString candidate = stem;
    for (int number = 2; QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink(); ++number) {
        candidate = stem + QString::number(number);
    }
    return candidate;
}

}  // namespace

ReplacedBook::ReplacedBook(QString bookPath) : bookPath_(std::move(bookPath)) {}

ReplacedBook::~ReplacedBook()
{
    if (!asidePath_.isEmpty()) {
        QFile::rename(asidePath_, bookPath_);
    }
}

bool ReplacedBook::Exists() const
{
    const QFileInfo book(bookPath_);
    return (book.exists() || book.isSymLink()) && !book.isDir();
}

void ReplacedBook::MoveAside()
{
    const QString aside = FreeAsideName(bookPath_);
    if (QFile::rename(bookPath_, aside)) {
        asidePath_ = aside;
    }
}

void ReplacedBook::Discard()
{
    if (!asidePath_.isEmpty()) {
        QFile::remove(asidePath_);
        asidePath_.clear();
    }
}
