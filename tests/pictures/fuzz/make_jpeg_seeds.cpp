#include "tests/pages/test_jpegs.h"

#include <QDir>
#include <QFile>

#include <cstdio>

// Writes the fuzzer's seed pictures into the folder given: small pictures of every colour
// space and both codings, so that the fuzzer starts from each path of the decoding.
int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_jpeg_seeds FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    const QByteArray progressive = MakeTestJpeg({48, 40}, {TestColour::Rgb, true});
    const struct {
        const char* name;
        QByteArray jpeg;
    } seeds[] = {
        {"rgb.jpg", MakeTestJpeg({48, 32})},
        {"fits.jpg", MakeTestJpeg({20, 30})},
        {"factor-zero.jpg", MakeTestJpeg({150, 160}, {TestColour::Grey, false})},
        {"grey.jpg", MakeTestJpeg({300, 100}, {TestColour::Grey, false})},
        {"cmyk.jpg", MakeTestJpeg({32, 300}, {TestColour::Cmyk, false})},
        {"ycck.jpg", MakeTestJpeg({40, 40}, {TestColour::Ycck, false})},
        {"progressive.jpg", progressive},
        {"progressive-truncated.jpg", progressive.left(progressive.size() / 2)},
        {"large-header.jpg", WithFrameSize(MakeTestJpeg({16, 16}), {1200, 900})},
    };
    for (const auto& seed : seeds) {
        QFile file(folder + "/" + seed.name);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(seed.jpeg) != seed.jpeg.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }
    return 0;
}
