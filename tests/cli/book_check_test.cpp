#include "tests/cli/cli_program.h"
#include "tests/support/temp_folder_test.h"
#include "tests/support/test_files.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

// Reads our books with tools nobody here wrote.
class BookCheckTest : public TempFolderTest {
protected:
    // A book of three pages and a cover, made of the sample pictures.
    QString MakeSampleBook()
    {
        const QString samples = SourceFolder() + "/samples/";
        const CliRun run = RunCli({"-t", "Sample", "-a", "Ann", "-c", samples + "cover.jpg", "-o", PathIn("out"),
                                   samples + "page1.jpg", samples + "page2.jpg", samples + "page3.jpg"});
        EXPECT_EQ(run.exitCode, 0) << run.standardError.toStdString();
        return PathIn("out/Sample.epub");
    }
};

// Python's zipfile reports every entry's record values, and tests every CRC by reading the data.
const char* const kZipfileReport = R"(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as book:
    bad = book.testzip()
    print("bad", bad)
    for e in book.infolist():
        print(e.filename, e.compress_type, e.flag_bits, e.create_version, e.create_system,
              e.extract_version, hex(e.external_attr), e.file_size > 0, len(e.extra), e.comment == b"")
)";

TEST_F(BookCheckTest, ZipToolsReadEveryEntryBack)
{
    const QString book = MakeSampleBook();
    QString unzipOutput;
    EXPECT_EQ(RunProgram("unzip", {"-t", book}, &unzipOutput), 0) << unzipOutput.toStdString();
    EXPECT_TRUE(unzipOutput.contains("No errors detected"));

    QString report;
    QString errors;
    ASSERT_EQ(RunProgram(PythonProgram(), {"-c", kZipfileReport, book}, &report, &errors), 0) << errors.toStdString();
    QStringList lines = report.split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.takeFirst(), "bad None");
    QStringList names;
    for (const QString& line : lines) {
        const QStringList fields = line.split(' ');
        ASSERT_EQ(fields.size(), 10) << line.toStdString();
        names << fields[0];
        // Deflated (the mimetype file stored), no flags (no data descriptor), made by version 4.5 on a
        // FAT-attribute host, needing version 2.0, the archive attribute only, no extra field, no comment.
        const QString method = fields[0] == "mimetype" ? "0" : "8";
        EXPECT_EQ(fields.mid(1), QStringList({method, "0", "45", "0", "20", "0x20", "True", "0", "True"}))
            << line.toStdString();
    }
    names.sort();
    EXPECT_EQ(names, QStringList({"META-INF/container.xml", "OEBPS/cover.html", "OEBPS/cover.jpg", "OEBPS/fb.ncx",
                                  "OEBPS/fb.opf", "OEBPS/page1.html", "OEBPS/page1.jpg", "OEBPS/page2.html",
                                  "OEBPS/page2.jpg", "OEBPS/page3.html", "OEBPS/page3.jpg", "mimetype"}));
}

// A finding of epubcheck that books of this format always carry, and why.
struct ExpectedFinding {
    QString code;
    QString fileEnd;  // the end of the path epubcheck names
    QString words;    // words of epubcheck's message
    QString reason;
};

// Every finding the book format necessarily produces; epubcheck reports each once per file named.
const QList<ExpectedFinding> kFindingsOfTheFormat = {
    {"PKG-007", "/mimetype", "should not be compressed", "every entry is deflated, the mimetype file too"},
    {"PKG-006", "", "not the first file",
     "entries follow the directory listing, which may yield mimetype after other names"},
    {"OPF-054", "/OEBPS/fb.opf", "Date value", "dc:date is the local short date form (12/7/26), not a W3C date"},
    {"OPF-053", "/OEBPS/fb.opf", "Date value", "the same short date, where epubcheck only warns"},
    {"RSC-005", "/OEBPS/fb.opf", "\"dc:identifier\"", "dc:identifier is written empty"},
    {"OPF-030", "/OEBPS/fb.opf", "\"BookId\"", "no element carries the id BookId that unique-identifier names"},
    {"OPF-032", "/OEBPS/fb.opf", "cover.jpg", "the guide's cover reference names the cover picture, not a page"},
    {"RSC-001", "", "stylesheet.css", "the manifest lists stylesheet.css, which the book does not hold"},
    {"RSC-005", ".html", "missing required element \"title\"", "pages have no title element"},
    {"RSC-005", ".html", "missing required attribute \"alt\"", "the img element of a page has no alt text"},
    {"RSC-007", ".html", "CCS\\stylesheet.css",
     "pages link the style sheet CCS\\stylesheet.css, which the book does not hold"},
    {"RSC-008", ".html", "not declared in the OPF manifest", "the page pictures are not listed in the manifest"},
    {"OPF-003", "", "not declared in the OPF manifest", "the page pictures are not listed in the manifest"},
};

// The expected finding that explains a finding of epubcheck, or none.
const ExpectedFinding* Explanation(const QString& code, const QString& file, const QString& message)
{
    for (const ExpectedFinding& finding : kFindingsOfTheFormat) {
        if (finding.code == code && file.endsWith(finding.fileEnd) && message.contains(finding.words)) {
            return &finding;
        }
    }
    return nullptr;
}

TEST_F(BookCheckTest, EpubcheckFindsOnlyWhatTheFormatNecessarilyProduces)
{
    const QString book = MakeSampleBook();
    QString output;
    QString errors;
    RunProgram("java", {"-jar", "/usr/share/java/epubcheck.jar", book}, &output, &errors);
    const QString report = output + errors;
    ASSERT_TRUE(report.contains("EPUBCheck completed")) << report.toStdString();
    EXPECT_FALSE(report.contains("FATAL")) << report.toStdString();

    // ERROR(RSC-005): /tmp/.../Sample.epub/OEBPS/page1.html(5,8): message
    const QRegularExpression finding(R"(^(ERROR|WARNING|USAGE|INFO)\(([A-Z]+-\d+)\): ([^(]*)\([-\d]+,[-\d]+\): (.*)$)",
                                     QRegularExpression::MultilineOption);
    int count = 0;
    for (auto match = finding.globalMatch(report); match.hasNext(); ++count) {
        const QRegularExpressionMatch m = match.next();
        const ExpectedFinding* explanation = Explanation(m.captured(2), m.captured(3), m.captured(4));
        if (explanation == nullptr) {
            ADD_FAILURE() << "unexpected: " << m.captured(0).toStdString();
        } else {
            RecordProperty(explanation->code.toStdString(), explanation->reason.toStdString());
        }
    }
    EXPECT_GT(count, 0) << report.toStdString();
}

}  // namespace
