#pragma once

#include <QString>

// The file name of a book whose title is `title`, with the extension `extension` (".epub", with its dot). A title is
// text, never a path: the name holds no folder separator and nothing that e-readers' FAT storage refuses.
// `/ \ : * ? " < > |`, control characters and the characters that turn the direction of text become "_"; full
// stops and spaces at the start (a hidden book is lost to most libraries) and spaces at the end are dropped; and the
// name is cut to 255 bytes of UTF-8 with its extension, between two characters. A title that leaves nothing, such as
// "." or " ", gives "Untitled" and the extension. The book's own title, in its documents, stays as it was typed.
QString BookFileName(const QString& title, const QString& extension);
