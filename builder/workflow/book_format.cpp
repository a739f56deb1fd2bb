#include "builder/workflow/book_format.h"

#include "builder/workflow/conversion_error.h"

void WriteDocumentBytes(QIODevice& out, const QByteArray& bytes, const QString& name)
{
    if (out.write(bytes) != bytes.size()) {
        throw ConversionError(QStringLiteral("Cannot write file %1: %2").arg(name, out.errorString()));
    }
}
