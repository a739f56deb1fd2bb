#pragma once

#include <QString>

// Draws the whole window from the pictures in `artFolder`, every picture where the window puts
// it, with stand-ins for the buttons, fields and page list; below it the window buttons in
// their three states and the icons, enlarged. Saved as a PNG to `outputPath`, for judging the
// art by eye. Throws when a picture is missing or the file cannot be written.
void WritePreview(const QString& artFolder, const QString& outputPath);
