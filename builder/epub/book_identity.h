#pragma once

#include <QString>

// The id of the package document's identifier element, which its unique-identifier names.
inline const QString kBookIdentifierId = QStringLiteral("BookId");

// The identifier a book carries: "urn:uuid:" and a UUID. A book that replaces an earlier book
// keeps that book's identifier, so that readers keep their place in it and libraries update the
// book instead of adding a second one; any other book gets a new random (version 4) UUID.
//
// The earlier book is the one at `bookPath` (empty for none); its identifier is taken only when it
// is a book whose package document names a urn:uuid identifier. A file that is not such a book,
// or cannot be read, gets a new identifier.
QString BookIdentifierFor(const QString& bookPath);

// The book identifier that the package document `opf` names as its unique identifier, when it is a
// urn:uuid one; empty otherwise.
QString UuidIdentifierOf(const QByteArray& opf);
