#include "pictures/picture_info.h"

QSize PictureInfo::DisplayedSize() const
{
    return orientation >= 5 ? size.transposed() : size;
}

bool PictureInfo::CarriedAsIs() const
{
    return BookKind(kind) == kind && orientation == 1;
}
