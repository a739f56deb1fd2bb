#pragma once

#include "common/reading_direction.h"

#include <QList>
#include <QSize>

// Where a page of a fixed-layout book stands when a reader shows two pages side by side.
enum class PageSpread { Left, Right, Center };

// The place of each page, given the displayed sizes of the pages in reading order (the cover first, when the book
// has one). Pages pair as in a printed book: the first page stands alone on the recto (the right-hand side when
// reading left to right, the left-hand side when reading right to left), then each verso faces the next recto. A
// page wider than tall takes both sides by itself (Center), and the page after it begins a new pair on the verso.
QList<PageSpread> PageSpreads(const QList<QSize>& displayedSizes, ReadingDirection direction);
