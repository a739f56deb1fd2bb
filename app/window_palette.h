#pragma once

#include <QPalette>

// The colours the window was drawn for: a light desktop's system colours (a light grey button face,
// white fields, black text, a blue selection). The window's art (the light backgrounds behind the
// fields and their labels, the dark banner under the white captions) is painted to go with them, so
// the window keeps them whatever palette the desktop sets: under a dark one, texts would otherwise
// turn white on the window's own light panels. Dialogs and menus are windows of their own and follow
// the desktop.
QPalette WindowPalette();
