#pragma once

#include <QString>

// A file name as a relative URL of one path segment: its UTF-8 bytes percent-encoded, all but the
// unreserved characters of RFC 3986 (ASCII letters and digits, "-", ".", "_", "~"). Readers then
// find the file whatever its name holds: "#" would start a fragment, "%41" would mean "A".
QString UriPathSegment(const QString& fileName);
