#include "builder/fixed/fixed_format.h"
#include "builder/flowing/flowing_format.h"
#include "builder/names/picture_names.h"
#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

namespace {

// Names the pictures as a conversion does, each by its own file name, the cover after the pages.
PictureNames AssignPictureNames(const QStringList& rowPaths, const QString& coverPath)
{
    const std::unique_ptr<PictureNameRegistry> registry =
        FlowingFormat().PictureNaming(rowPaths.size(), !coverPath.isEmpty());
    PictureNames names;
    for (const QString& path : rowPaths) {
        names.pageNames << registry->NameFor(path, path.mid(path.lastIndexOf('/') + 1));
    }
    if (!coverPath.isEmpty()) {
        names.coverName = registry->NameFor(coverPath, coverPath.mid(coverPath.lastIndexOf('/') + 1));
    }
    return names;
}

TEST(PictureNamesTest, OwnNamesWhereFree)
{
    const PictureNames names = AssignPictureNames({"/a/x.jpg", "/b/y.jpeg"}, "/c/front.jpg");
    EXPECT_EQ(names.pageNames, QStringList({"x.jpg", "y.jpeg"}));
    EXPECT_EQ(names.coverName, "front.jpg");
}

TEST(PictureNamesTest, DifferentPicturesNeverShareAName)
{
    // Letters compare without case, and the cover takes its turn after the pages.
    const PictureNames names = AssignPictureNames({"/a/x.jpg", "/b/X.JPG", "/c/x.jpg", "/b/x-2.jpg"}, "/d/x.jpg");
    EXPECT_EQ(names.pageNames, QStringList({"x.jpg", "X-2.JPG", "x-3.jpg", "x-2-2.jpg"}));
    EXPECT_EQ(names.coverName, "x-4.jpg");
}

TEST(PictureNamesTest, TheSamePictureKeepsOneName)
{
    const PictureNames names = AssignPictureNames({"/a/x.jpg", "/a/./x.jpg", "/a/x.jpg"}, "/a/x.jpg");
    EXPECT_EQ(names.pageNames, QStringList({"x.jpg", "x.jpg", "x.jpg"}));
    EXPECT_EQ(names.coverName, "x.jpg");
}

TEST(PictureNamesTest, NamesOfTheConversionsOwnDocumentsAreTaken)
{
    const PictureNames names =
        AssignPictureNames({"/a/page2.html", "/a/FB.opf", "/a/fb.ncx", "/a/page5.html"}, "/a/cover.html");
    EXPECT_EQ(names.pageNames, QStringList({"page2-2.html", "FB-2.opf", "fb-2.ncx", "page5.html"}));
    EXPECT_EQ(AssignPictureNames({"/a/Stylesheet.css"}, "").pageNames, QStringList({"Stylesheet-2.css"}));
    EXPECT_EQ(names.coverName, "cover-2.html");
    // Without a cover, cover.html is a picture's name like any other.
    EXPECT_EQ(AssignPictureNames({"/a/cover.html"}, "").pageNames, QStringList({"cover.html"}));
    // A page's document is taken in any case; names the pages do not have stay free.
    EXPECT_EQ(AssignPictureNames({"/a/PAGE3.HTML", "/a/page03.html", "/a/page0.html", "/a/page.html"}, "").pageNames,
              QStringList({"PAGE3-2.HTML", "page03.html", "page0.html", "page.html"}));
}

TEST(PictureNamesTest, HiddenNamesLoseTheirLeadingDotsAndEmptyNamesStayEmpty)
{
    const PictureNames names = AssignPictureNames({"/a/.x.jpg", "/b/x.jpg", "/c/noext", "/c/dir/"}, "");
    EXPECT_EQ(names.pageNames, QStringList({"x.jpg", "x-2.jpg", "noext", ""}));
    EXPECT_EQ(AssignPictureNames({"/a/x"}, "/b/x").coverName, "x-2");

    // A name of full stops and an extension has no text before its extension: it keeps the extension's text and
    // gets the extension of its kind, whatever kind it holds.
    for (const PictureKind kind : {PictureKind::Jpeg, PictureKind::Png, PictureKind::Gif, PictureKind::Heif,
                                   PictureKind::WebpLossless, PictureKind::Tiff}) {
        const QString extension = BookExtension(kind);
        QStringList named;
        for (const char* name : {"..jpg", "...jpg", "..png", ".jpg", "..gif"}) {
            named << NameForKind(name, kind);
        }
        const QStringList paths = {"/a/..jpg", "/a/...jpg", "/a/..png", "/a/.jpg", "/a/..gif"};
        const std::unique_ptr<PictureNameRegistry> registry = FlowingFormat().PictureNaming(5, false);
        QStringList inBook;
        for (qsizetype i = 0; i < named.size(); ++i) {
            inBook << registry->NameFor(paths[i], named[i]);
        }
        EXPECT_EQ(inBook, QStringList({"jpg" + extension, "jpg-2" + extension, "png" + extension, "jpg-3" + extension,
                                       "gif" + extension}))
            << extension.toStdString();
    }
}

TEST(PictureNamesTest, CharactersABookCannotHoldInANameBecomeUnderscores)
{
    // On this system "\\" is a character of a name, but in a book it would separate folders; controls
    // and what the container format forbids cannot stand in a book's names, nor can "#", which
    // some readers take as a fragment; a final "." is forbidden too, and so are spaces that a URI's
    // whitespace rule would collapse. The result is numbered as usual.
    const PictureNames names =
        AssignPictureNames({"/a/..\\..\\esc.jpg", "/a/x\ny.jpg", "/a/x\u0001y.jpg", "/a/q?*:<>|\"^`{}#.jpg", "/a/end.",
                            QString::fromUtf8("/a/\xee\x80\x80 keep caf\xc3\xa9 \xe6\x97\xa5 & % ~.jpg"),
                            "/a/ two  spaces .jpg", "/a/tail "},
                           "");
    EXPECT_EQ(names.pageNames, QStringList({"_.._esc.jpg", "x_y.jpg", "x_y-2.jpg", "q____________.jpg", "end_",
                                            QString::fromUtf8("_ keep caf\xc3\xa9 \xe6\x97\xa5 & % ~.jpg"),
                                            "_two _spaces .jpg", "tail_"}));
}

TEST(PictureNamesTest, NamesThatUnicodeFoldsTogetherAreNumberedAndStoredComposed)
{
    const QString composed = QString::fromUtf8("\xC3\xA9");     // é as one character
    const QString decomposed = QString::fromUtf8("e\xCC\x81");  // e and a combining acute accent
    const PictureNames names = AssignPictureNames({QString::fromUtf8("/a/\xC3\x89.jpg"), "/b/" + composed + ".jpg",
                                                   "/c/" + decomposed + ".jpg",
                                                   QString::fromUtf8("/d/Stra\xC3\x9F"
                                                                     "e.jpg"),
                                                   "/e/STRASSE.JPG", "/f/" + decomposed + "x.jpg"},
                                                  "");
    // Full case folding makes "ß" of "ss", which simple folding leaves; every name is stored composed.
    EXPECT_EQ(names.pageNames, QStringList({QString::fromUtf8("\xC3\x89.jpg"), composed + "-2.jpg", composed + "-3.jpg",
                                            QString::fromUtf8("Stra\xC3\x9F"
                                                              "e.jpg"),
                                            "STRASSE-2.JPG", composed + "x.jpg"}));
}

TEST(PictureNamesTest, APictureIsNamedForTheKindTheBookHoldsBeforeItsNameIsGiven)
{
    // The extension of another kind is replaced, one of the same kind kept, any other extension kept too.
    EXPECT_EQ(NameForKind("download.jpg", PictureKind::Png), "download.png");
    EXPECT_EQ(NameForKind("photo.JPEG", PictureKind::Jpeg), "photo.JPEG");
    EXPECT_EQ(NameForKind("scan.001", PictureKind::Bmp), "scan.001.png");
    EXPECT_EQ(NameForKind("noext", PictureKind::Avif), "noext.jpg");

    // A PNG picture named .jpg meets a PNG picture of the name it takes.
    const std::unique_ptr<PictureNameRegistry> registry = FixedFormat().PictureNaming(2, false);
    EXPECT_EQ(registry->NameFor("/a/x.jpg", NameForKind("x.jpg", PictureKind::Png)), "x.png");
    EXPECT_EQ(registry->NameFor("/b/x.png", NameForKind("x.png", PictureKind::Png)), "x-2.png");
}

}  // namespace
