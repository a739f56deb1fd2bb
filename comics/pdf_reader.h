#pragma once

#include "comics/comic_reader.h"

#include <memory>
#include <vector>

// qpdf's headers stay out of this one, which the rest of the library includes (see CMakeLists.txt).
class QPDF;
class QPDFPageObjectHelper;
struct PdfPagePicture;

// A PDF of scanned pages read with qpdf: each page must show one picture and nothing else, which is taken out as
// it is stored (JPEG) or as the picture it becomes (PNG or JPEG).
class PdfReader final : public ComicReader {
public:
    // Opens the PDF and finds its pages; throws ComicError when it is protected by a password, damaged, or has
    // more pages than the limit.
    PdfReader(const QString& path, const ComicLimits& limits);
    ~PdfReader() override;

    ComicListing List() override;
    QByteArray Read(const ComicMember& member) override;

private:
    // The picture of the page numbered `index` from 0; throws ComicError naming the page when it is not one picture.
    PdfPagePicture PagePicture(int index);
    // What the picture Read gives for the page is, read from its dictionary and its data as stored.
    PictureInfo InspectPagePicture(const PdfPagePicture& picture);
    QByteArray PictureBytes(const PdfPagePicture& picture);
    // The most samples of a JPEG 2000 picture that are decoded.
    qint64 MaxJpeg2000Samples() const;
    // The picture's data as stored, at most the limit of one member.
    QByteArray StoredBytes(const PdfPagePicture& picture);
    // Runs `work`, turning qpdf's errors into ComicError naming the member (none for the PDF as a whole).
    template <typename Work>
    auto Guarded(const QString& memberPath, Work work) -> decltype(work());

    QString path_;
    ComicLimits limits_;
    std::unique_ptr<QPDF> pdf_;
    std::vector<QPDFPageObjectHelper> pages_;
};
