#include "builder/flowing/style_sheet.h"

namespace {

// The page's boxes fill the reader's page, and the picture takes the page's height, narrowed to
// the page's width when it would be wider. Readers of plain CSS 2.1 keep a picture's proportions
// when they size it so; web engines would stretch it to that box instead, and object-fit (which
// the others pass over) has them fit it inside the box with its proportions, centred.
constexpr char kStyleSheetText[] = R"(@page {
    margin: 0;
}
html, body {
    margin: 0;
    padding: 0;
    height: 100%;
}
div {
    margin: 0;
    padding: 0;
    height: 100%;
    text-align: center;
}
img {
    height: 100%;
    max-width: 100%;
    object-fit: contain;
}
)";

}  // namespace

QByteArray StyleSheetText()
{
    return QByteArray(kStyleSheetText);
}
