#include "builder/fixed/fixed_format.h"
#include "builder/fixed/fixed_package_document.h"
#include "builder/workflow/book_settings.h"
#include "tests/builder/document_text.h"
#include "tests/support/temp_folder_test.h"
#include "tests/support/test_files.h"

#include <QDateTime>

#include <gtest/gtest.h>

namespace {

class FixedPackageDocumentTest : public TempFolderTest {};

TEST_F(FixedPackageDocumentTest, RightToLeftBookWithCoverAndAWidePageBetweenTallOnes)
{
    BookSettings settings{"Fish & Chips", "Ann", "/in/c.jpg", "/out"};
    settings.direction = ReadingDirection::RightToLeft;
    PictureNames names;
    names.coverName = "c.jpg";
    names.pageNames = {"a.jpg", "w #1.png", "a.jpg", "b.gif"};
    names.mediaTypes = {
        {"c.jpg", "image/jpeg"}, {"a.jpg", "image/jpeg"}, {"w #1.png", "image/png"}, {"b.gif", "image/gif"}};
    names.displayedSizes = {
        {"c.jpg", {300, 400}}, {"a.jpg", {300, 400}}, {"w #1.png", {800, 400}}, {"b.gif", {300, 400}}};
    const BookMoment made{QDateTime(QDate(2026, 12, 7), QTime(12, 0, 5), Qt::UTC), QDate(2026, 12, 7)};
    const QByteArray written = WrittenBytes([&](QIODevice& out) {
        WriteFixedPackageDocument(out, settings, names, "urn:uuid:3f1c2a9e-8d4b-4c6f-9a2e-5b7d1e0c4a68", FixedFormat(),
                                  made);
    });

    // The cover alone on the recto (left, reading right to left), the wide page a spread of its own, and the
    // next pair beginning on the verso after it.
    const QByteArray expected = CrLfLines({
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)",
        R"(<package xmlns="http://www.idpf.org/2007/opf" version="3.0" unique-identifier="BookId">)",
        R"(	<metadata xmlns:dc="http://purl.org/dc/elements/1.1/">)",
        R"(		<dc:identifier id="BookId">urn:uuid:3f1c2a9e-8d4b-4c6f-9a2e-5b7d1e0c4a68</dc:identifier>)",
        R"(		<dc:title>Fish &amp; Chips</dc:title>)",
        R"(		<dc:creator id="creator">Ann</dc:creator>)",
        R"(		<meta refines="#creator" property="role" scheme="marc:relators">aut</meta>)",
        R"(		<dc:language>en-US</dc:language>)",
        R"(		<dc:date>2026-12-07</dc:date>)",
        R"(		<meta property="dcterms:modified">2026-12-07T12:00:05Z</meta>)",
        R"(		<meta property="rendition:layout">pre-paginated</meta>)",
        R"(		<meta property="rendition:spread">landscape</meta>)",
        R"(		<meta property="rendition:orientation">auto</meta>)",
        R"(		<meta name="cover" content="cover-image"/>)",
        R"(		<meta name="fixed-layout" content="true"/>)",
        R"(		<meta name="original-resolution" content="300x400"/>)",
        R"(		<meta name="book-type" content="comic"/>)",
        R"(		<meta name="primary-writing-mode" content="horizontal-rl"/>)",
        R"(		<meta name="orientation-lock" content="none"/>)",
        R"(		<meta name="zero-gutter" content="true"/>)",
        R"(		<meta name="zero-margin" content="true"/>)",
        R"(	</metadata>)",
        R"(	<manifest>)",
        R"(		<item id="nav" href="nav.xhtml" media-type="application/xhtml+xml" properties="nav"/>)",
        R"(		<item id="ncx" href="fb.ncx" media-type="application/x-dtbncx+xml"/>)",
        R"(		<item id="cover" href="cover.xhtml" media-type="application/xhtml+xml"/>)",
        R"(		<item id="cover-image" href="c.jpg" media-type="image/jpeg" properties="cover-image"/>)",
        R"(		<item id="page1" href="page1.xhtml" media-type="application/xhtml+xml"/>)",
        R"(		<item id="page2" href="page2.xhtml" media-type="application/xhtml+xml"/>)",
        R"(		<item id="page3" href="page3.xhtml" media-type="application/xhtml+xml"/>)",
        R"(		<item id="page4" href="page4.xhtml" media-type="application/xhtml+xml"/>)",
        R"(		<item id="image1" href="a.jpg" media-type="image/jpeg"/>)",
        R"(		<item id="image2" href="w%20%231.png" media-type="image/png"/>)",
        R"(		<item id="image3" href="b.gif" media-type="image/gif"/>)",
        R"(	</manifest>)",
        R"(	<spine toc="ncx" page-progression-direction="rtl">)",
        R"(		<itemref idref="cover" properties="page-spread-left"/>)",
        R"(		<itemref idref="page1" properties="page-spread-right"/>)",
        R"(		<itemref idref="page2" properties="rendition:page-spread-center"/>)",
        R"(		<itemref idref="page3" properties="page-spread-right"/>)",
        R"(		<itemref idref="page4" properties="page-spread-left"/>)",
        R"(	</spine>)",
        R"(</package>)",
    });
    EXPECT_EQ(written, expected);
}

}  // namespace
