#pragma once

#include "archive/zip_records.h"

#include <optional>
#include <vector>

class ByteSource;

// One entry of an existing archive: its record as the central directory gives it, and where its data begins.
struct StoredEntry {
    TZipHeaderInfo header;
    qint64 dataOffset = 0;
};

// Reads the directory of an existing archive in its stored order. The bytes may come from anywhere: every offset
// and length is checked against the file before it is used, and nothing is allocated on a header's word alone.
// Raises ZipError("Not a valid zip file!") unless the bytes form one single-file zip archive (Zip64 included)
// whose entries each lie whole, without overlapping another, before the central directory.
std::vector<StoredEntry> ReadZipDirectory(const ByteSource& source);

// The first entry stored under `storedName`, after the same checks of the whole directory as ReadZipDirectory;
// nothing when no entry has that name. Keeps no other entry, so that finding one in a big archive takes little
// memory.
std::optional<StoredEntry> FindZipEntry(const ByteSource& source, const QByteArray& storedName);
