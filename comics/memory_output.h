#pragma once

#include "pictures/byte_output.h"

#include <QByteArray>

// Collects in memory what the picture library writes.
class MemoryOutput final : public ByteOutput {
public:
    void Write(const void* data, std::size_t length) override
    {
        bytes_.append(static_cast<const char*>(data), static_cast<qsizetype>(length));
    }

    const QByteArray& Bytes() const { return bytes_; }

private:
    QByteArray bytes_;
};
