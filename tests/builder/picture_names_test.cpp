#include "builder/picture_names.h"
#include "tests/support/qt_printers.h"

#include <gtest/gtest.h>

namespace {

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
}

TEST(PictureNamesTest, HiddenNamesLoseTheirLeadingDotsAndEmptyNamesStayEmpty)
{
    const PictureNames names = AssignPictureNames({"/a/.x.jpg", "/b/x.jpg", "/c/noext", "/c/dir/"}, "");
    EXPECT_EQ(names.pageNames, QStringList({"x.jpg", "x-2.jpg", "noext", ""}));
    EXPECT_EQ(AssignPictureNames({"/a/x"}, "/b/x").coverName, "x-2");
}

TEST(PictureNamesTest, CharactersABookCannotHoldInANameBecomeUnderscores)
{
    // On this system "\\" is a character of a name, but in a book it would separate folders; controls
    // and what the container format forbids cannot stand in a book's names, nor can "#", which
    // some readers take as a fragment; a final "." is forbidden too. The result is numbered as usual.
    const PictureNames names =
        AssignPictureNames({"/a/..\\..\\esc.jpg", "/a/x\ny.jpg", "/a/x\u0001y.jpg", "/a/q?*:<>|\"^`{}#.jpg", "/a/end.",
                            QString::fromUtf8("/a/\xee\x80\x80 keep caf\xc3\xa9 \xe6\x97\xa5 & % ~.jpg")},
                           "");
    EXPECT_EQ(names.pageNames, QStringList({"_.._esc.jpg", "x_y.jpg", "x_y-2.jpg", "q____________.jpg", "end_",
                                            QString::fromUtf8("_ keep caf\xc3\xa9 \xe6\x97\xa5 & % ~.jpg")}));
}

}  // namespace
