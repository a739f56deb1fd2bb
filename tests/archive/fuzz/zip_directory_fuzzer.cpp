// libFuzzer entry point: the reading of an existing archive's directory, which may hold any bytes at all.
#include "archive/byte_source.h"
#include "archive/zip_directory_reader.h"
#include "archive/zip_errors.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const MemorySource source(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    try {
        // Whatever the reader accepts must lie inside the input, as the merge copies it from there.
        for (const StoredEntry& entry : ReadZipDirectory(source)) {
            if (entry.dataOffset < 0 || entry.dataOffset > source.Size()
                || entry.header.compressedSize > static_cast<quint64>(source.Size() - entry.dataOffset)) {
                __builtin_trap();
            }
        }
    } catch (const ZipError&) {
        // Refusing the input is the expected answer to most of them.
    }
    return 0;
}
