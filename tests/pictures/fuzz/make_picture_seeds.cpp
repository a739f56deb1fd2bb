#include "tests/pictures/test_pictures.h"

#include <QDir>
#include <QFile>

#include <cstdio>

// Writes the picture fuzzer's seeds into the folder given: a small picture of every kind, so that the
// fuzzer starts from each reader.
int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_picture_seeds FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    int number = 0;
    for (const TestPicture& picture : MakeEveryKind({24, 16}, folder + "/made")) {
        QFile file(QStringLiteral("%1/seed-%2").arg(folder).arg(++number));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || file.write(picture.bytes) != picture.bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }
    QDir(folder + "/made").removeRecursively();
    return 0;
}
