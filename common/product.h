#pragma once

#include <QString>

// Fixed facts about the product that the window, the command line and the book documents share.

// The window text and the answer of "tamboril-cli --version".
inline const QString kProductTitle = QStringLiteral("Tamboril 3.3");

// The product's home page: opened by the Home command and written into every book as its source.
inline const QString kHomePageAddress = QStringLiteral("https://www.tamboril.org/");
