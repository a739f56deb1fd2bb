#pragma once

// The two kinds of book a conversion can write. A flowing book (EPUB 2) lets the reader size its pages; a
// fixed-layout book (EPUB 3, pre-paginated) gives every page its picture's size, so readers show one picture per
// screen and facing pages side by side.
enum class BookLayout { Flowing, Fixed };

// The order in which a book's pages are read: left to right, or right to left as manga are.
enum class ReadingDirection { LeftToRight, RightToLeft };
