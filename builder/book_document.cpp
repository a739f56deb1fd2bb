#include "builder/book_document.h"

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

BookDocumentFile::BookDocumentFile(const QString& path, PauseBetweenPages pause)
    : file_(document_, path),
      pause_(std::move(pause))
{
    PrepareBookDocument(document_);
}

void BookDocumentFile::PageDone()
{
    if (++pages_ % kPagesPerBatch != 0) {
        return;
    }
    file_.Flush();
    if (pause_) {
        pause_();
    }
}

void BookDocumentFile::Finish()
{
    file_.Finish();
}
