#pragma once

// The order in which a book's pages are read: left to right, or right to left as manga are.
enum class ReadingDirection { LeftToRight, RightToLeft };
