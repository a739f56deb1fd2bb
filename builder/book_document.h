#pragma once

#include "xml/xml_document.h"
#include "xml/xml_writer.h"

#include <QString>

#include <functional>

// Sets up a document the way both of the book's XML documents are written: declaration version
// "1.0", encoding "UTF-8", standalone "yes"; one TAB per level of indentation; automatic
// indentation on top of the default options.
void PrepareBookDocument(TXMLDocument& document);

// What a document writer calls between batches of pages: the conversion lets the person's events
// through there, and may stop the writing by raising its cancellation.
using PauseBetweenPages = std::function<void()>;

// One of the book's XML documents, written to its file while it is built: after every batch of
// pages, what the tree holds goes to the file and the pause runs, so that a book of many pages
// never stands whole in memory and the person is never kept waiting long.
class BookDocumentFile {
public:
    // Creates the file (raising the XML writer's error when it cannot) and prepares the document.
    BookDocumentFile(const QString& path, PauseBetweenPages pause);

    TXMLDocument& Document() { return document_; }
    // The part of one page (or one picture) is in the document.
    void PageDone();
    // Writes the rest and puts the file in place.
    void Finish();

private:
    TXMLDocument document_;
    TXMLFileWriter file_;
    PauseBetweenPages pause_;
    int pages_ = 0;
};
