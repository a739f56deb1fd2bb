#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <qpdf/Constants.h>
#include <qpdf/QPDFObjectHandle.hh>

// A PDF stream's data read into memory, never more than a limit however far it would inflate.
struct StreamData {
    QByteArray bytes;
    // Whether the stream holds more than the limit; `bytes` is then its first `limit` bytes.
    bool more = false;
    // Whether qpdf read it without error, and undid every one of its compressions down to `level`.
    bool whole = false;
};

// The data of `stream` decoded down to `level` (qpdf_dl_none: as stored), at most `limit` bytes of it.
StreamData ReadStreamData(QPDFObjectHandle stream, qpdf_stream_decode_level_e level, qint64 limit);
