#pragma once

#include <QString>

// An earlier book at the path a conversion writes to. Once the person agrees to replace it, it is
// moved aside rather than deleted, and deleted only when the new book is complete; if the new book
// fails, it goes back to its place. The earlier book is never lost.
class ReplacedBook {
public:
    explicit ReplacedBook(QString bookPath);
    ~ReplacedBook();
    ReplacedBook(const ReplacedBook&) = delete;
    ReplacedBook& operator=(const ReplacedBook&) = delete;

    // Whether a file (not a folder) lies at the book path.
    bool Exists() const;

    // Moves the earlier book to a hidden name beside it. When it cannot be moved it stays where
    // it is, and the packing meets it there.
    void MoveAside();

    // The new book is complete: deletes the earlier one for good.
    void Discard();

private:
    QString bookPath_;
    QString asidePath_;  // where the earlier book waits; empty when it is not aside
};
