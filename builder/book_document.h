#pragma once

class TXMLDocument;

// Sets up a document the way both of the book's XML documents are written: declaration version
// "1.0", encoding "UTF-8", standalone "yes"; one TAB per level of indentation; automatic
// indentation on top of the default options.
void PrepareBookDocument(TXMLDocument& document);
