#pragma once

#include <QString>

// The book's style sheet, beside the page documents that link it.
inline const QString kStyleSheetName = QStringLiteral("stylesheet.css");

// Writes the style sheet into `oebpsDir`: every page shows its picture as large as the reader's
// page allows, keeping its proportions, centred, without margins. Raises ConversionError when the
// file cannot be written.
void WriteStyleSheet(const QString& oebpsDir);
