#pragma once

#include <QByteArray>

// The book's style sheet: every page shows its picture as large as the reader's page allows, keeping its
// proportions, centred, without margins.
QByteArray StyleSheetText();
