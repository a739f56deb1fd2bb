#pragma once

#include "builder/workflow/book_format.h"

#include <QByteArray>

// The page document of a fixed-layout book that shows one picture: an XHTML 5 document whose viewport, body and
// picture all have the picture's displayed size, so that a reader scales the whole page to its screen and shows the
// picture edge to edge. The picture is named by its file name as a URL, with the page's `altText`.
QByteArray FixedPageText(const PageOfBook& page);
