#pragma once

#include "archive/archive_list.h"
#include "builder/workflow/book_pictures.h"

#include "builder/workflow/conversion_error.h"

#include <memory>

// A picture that cannot go into the book, found only when its entry was made: "Cannot read picture: <path>
// (<reason>)".
class UnusablePicture : public ConversionError {
public:
    using ConversionError::ConversionError;
};

// The content of a picture's entry in the book, opened on a packing worker: the picture file is opened (its date goes
// into the entry), and while the entry is packed it is read, proven whole (CheckPictureWhole) and written as it is,
// or turned upright or converted as the book holds it (PrepareForBook), which proves it by reading all of its data.
// A picture that can no longer be read, is damaged, or is no longer what the conversion found it to be (another
// kind, size or orientation) fails the packing with an UnusablePicture error that names it and says why. Several
// pictures may be opened and written at once on different threads.
std::unique_ptr<EntryContent> OpenPictureContent(const SurveyedPicture& picture);
