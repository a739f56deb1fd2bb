#include "tests/comics/comics_test.h"

#include "comics/comic_error.h"

#include "tests/support/test_files.h"

void ComicsTest::Run(const QString& command)
{
    QString output;
    QString errors;
    const int status =
        RunProgram(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("cd '%1' && %2").arg(Root(), command)},
                   &output, &errors);
    EXPECT_EQ(status, 0) << command.toStdString() << "\n" << output.toStdString() << errors.toStdString();
}

void ComicsTest::Make(const QStringList& arguments)
{
    QStringList quoted;
    for (const QString& argument : arguments) {
        quoted.append(u'\'' + argument + u'\'');
    }
    Run(QStringLiteral("'%1' '%2/tests/comics/make_test_files.py' %3")
            .arg(PythonProgram(), SourceFolder(), quoted.join(u' ')));
}

ComicListing ComicsTest::List(const QString& path, const ComicLimits& limits)
{
    return ComicReader::Open(path, limits)->List();
}

QString ComicsTest::Refusal(const QString& path, const ComicLimits& limits)
{
    try {
        List(path, limits);
    } catch (const ComicError& error) {
        return error.Text();
    }
    return {};
}

QStringList ComicsTest::PagePaths(const ComicListing& listing)
{
    QStringList paths;
    for (const ComicPage& page : listing.pages) {
        paths.append(page.member.path);
    }
    return paths;
}
