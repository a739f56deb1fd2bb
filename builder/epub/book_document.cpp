#include "builder/epub/book_document.h"

#include <utility>

namespace {

// A batch of pages takes a few milliseconds to build and write.
constexpr int kPagesPerBatch = 256;

}  // namespace

void PrepareBookDocument(TXMLDocument& document)
{
    document.SetStandalone(QStringLiteral("yes"));
    document.SetVersion(QStringLiteral("1.0"));
    document.SetEncoding(QStringLiteral("UTF-8"));
    document.SetNodeIndentStr(QStringLiteral("\t"));
    document.SetOptions(kDefaultXMLDocOptions | doNodeAutoIndent);
}

BookDocumentWriter::BookDocumentWriter(QIODevice& out, const QString& name, PauseBetweenPages pause)
    : writer_(document_, out, name),
      pause_(std::move(pause))
{
    PrepareBookDocument(document_);
}

void BookDocumentWriter::PageDone()
{
    if (++pages_ % kPagesPerBatch != 0) {
        return;
    }
    writer_.Flush();
    if (pause_) {
        pause_();
    }
}

void BookDocumentWriter::Finish()
{
    writer_.Finish();
}
