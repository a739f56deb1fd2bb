#include "pictures/picture_error.h"
#include "pictures/picture_inspection.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

// Copies every file of a folder into another folder as the staging copies a book's pictures (open,
// status, create, the kernel's copy, close), once as it is and once checking each picture on the way
// from the descriptor already open, and prints the median times of both:
//
//   check_bench PICTURES TARGET [REPEATS]
//
// One line: files=N copy_ms=M check_copy_ms=M ratio=R

namespace {

void Copy(const QString& from, const QString& to, bool check)
{
    const int source = ::open(QFile::encodeName(from).constData(), O_RDONLY | O_CLOEXEC);
    struct stat status {};
    if (source < 0 || ::fstat(source, &status) != 0) {
        std::perror("open");
        std::exit(1);
    }
    if (check) {
        try {
            InspectPicture(PictureSource(source, status.st_size));
        } catch (const PictureError& error) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(from), error.what());
            std::exit(1);
        }
    }
    const int target = ::open(QFile::encodeName(to).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (target < 0) {
        std::perror("create");
        std::exit(1);
    }
    while (::copy_file_range(source, nullptr, target, nullptr, 1 << 20, 0) > 0) {
    }
    ::close(target);
    ::close(source);
}

double TimeCopies(const QStringList& names, const QString& from, const QString& to, bool check)
{
    QDir(to).removeRecursively();
    QDir().mkpath(to);
    const auto start = std::chrono::steady_clock::now();
    for (const QString& name : names) {
        Copy(from + "/" + name, to + "/" + name, check);
    }
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: check_bench PICTURES TARGET [REPEATS]\n");
        return 2;
    }
    const QString from = QString::fromLocal8Bit(argv[1]);
    const QString to = QString::fromLocal8Bit(argv[2]);
    const int repeats = argc == 4 ? std::max(1, std::atoi(argv[3])) : 5;
    const QStringList names = QDir(from).entryList(QDir::Files, QDir::Name);
    std::vector<double> copies;
    std::vector<double> checkedCopies;
    // In turns, so that both meet the machine in the same moods.
    for (int i = 0; i < repeats; ++i) {
        copies.push_back(TimeCopies(names, from, to, false));
        checkedCopies.push_back(TimeCopies(names, from, to, true));
    }
    QDir(to).removeRecursively();
    const double copy = Median(copies);
    const double checkedCopy = Median(checkedCopies);
    std::printf("files=%lld copy_ms=%.1f check_copy_ms=%.1f ratio=%.3f\n", static_cast<long long>(names.size()), copy,
                checkedCopy, checkedCopy / copy);
    return 0;
}
