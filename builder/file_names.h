#pragma once

#include <QString>

// The file-name part of a path: the text after its last "/" (the whole text when it has none,
// empty when it ends in "/").
QString FileNamePart(const QString& path);

// A file name as a relative URL of one path segment: its UTF-8 bytes percent-encoded, all but the
// unreserved characters of RFC 3986 (ASCII letters and digits, "-", ".", "_", "~"). Readers then
// find the file whatever its name holds: "#" would start a fragment, "%41" would mean "A".
QString UriPathSegment(const QString& fileName);
