#pragma once

#include "builder/book_document.h"
#include "builder/picture_names.h"
#include "common/book_kind.h"
#include "xml/xml_document.h"

#include <QString>

// Appends an "item" of the package document's manifest; `properties` only when it is not empty.
void AppendManifestItem(TXMLNode& manifest, const QString& id, const QString& href, const QString& mediaType,
                        const QString& properties = {});

// Appends the items of the page documents of a book of `layout` ("page1", "page2", ...) and then of the pictures of
// the pages, each file once, without the cover picture ("image1", "image2", ...), with a pause of `file` after each.
void AppendPageAndPictureItems(TXMLNode& manifest, const PictureNames& names, BookLayout layout,
                               BookDocumentFile& file);
