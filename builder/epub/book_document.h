#pragma once

#include "builder/workflow/book_format.h"
#include "xml/xml_document.h"
#include "xml/xml_writer.h"

#include <QIODevice>
#include <QString>

// Sets up a document the way the book's XML documents are written: declaration version "1.0", encoding "UTF-8",
// standalone "yes"; one TAB per level of indentation; automatic indentation on top of the default options.
void PrepareBookDocument(TXMLDocument& document);

// One of the book's XML documents, written to its device while it is built: after every batch of pages, what the
// tree holds goes out and the pause runs, so that a book of many pages never stands whole in memory and the person
// is never kept waiting long.
class BookDocumentWriter {
public:
    // Prepares the document that goes to `out` (open for writing), named `name` in messages.
    BookDocumentWriter(QIODevice& out, const QString& name, PauseBetweenPages pause);

    TXMLDocument& Document() { return document_; }
    // The part of one page (or one picture) is in the document.
    void PageDone();
    // Writes the rest; raises the XML writer's error when the document could not be written.
    void Finish();

private:
    TXMLDocument document_;
    TXMLStreamWriter writer_;
    PauseBetweenPages pause_;
    int pages_ = 0;
};
