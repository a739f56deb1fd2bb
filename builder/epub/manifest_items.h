#pragma once

#include "builder/epub/book_document.h"
#include "builder/names/picture_names.h"
#include "builder/workflow/book_format.h"
#include "xml/xml_document.h"

#include <QString>

// Appends an "item" of the package document's manifest; `properties` only when it is not empty.
void AppendManifestItem(TXMLNode& manifest, const QString& id, const QString& href, const QString& mediaType,
                        const QString& properties = {});

// The id of the manifest item of the first page's picture, which a book without a cover picture of its own names as
// its cover, so that libraries and readers show it on their shelves.
inline const QString kFirstPagePictureId = QStringLiteral("image1");

// Appends the items of the page documents as `format` names them ("page1", "page2", ...) and then of the pictures of
// the pages, each file once, without the cover picture ("image1", "image2", ...), with a pause of `file` after each.
// The first picture's item carries `firstPictureProperties` when they are not empty.
void AppendPageAndPictureItems(TXMLNode& manifest, const PictureNames& names, const BookFormat& format,
                               BookDocumentWriter& file, const QString& firstPictureProperties = {});
