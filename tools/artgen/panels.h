#pragma once

#include <QImage>

// The pictures of the light content panels: the preview's placeholder, the headings and
// backgrounds of the title and author fields, the background of the cover and output fields,
// and the line under the page list.

QImage PreviewPlaceholder();
QImage FillerUnderPreview();
QImage HeadingTitle();
QImage BackgroundTitle();
QImage HeadingAuthor();
QImage BackgroundAuthor();
QImage BackgroundFields();
QImage Separator();
