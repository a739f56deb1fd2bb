#include "pictures/picture_check.h"
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
// from the descriptor already open, and prints the median times of both. Then reads every file whole,
// once plainly and once proving each picture whole (its inspection and CheckPictureWhole, which decodes
// all of its coded data), and prints the median times of those:
//
//   check_bench PICTURES TARGET [REPEATS]
//
// Two lines: files=N copy_ms=M check_copy_ms=M ratio=R
//            files=N read_ms=M whole_check_ms=M ratio=R

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

// Reads the file whole as a plain read does, or proves the picture in it whole.
void Read(const QString& path, bool prove)
{
    const int file = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    struct stat status {};
    if (file < 0 || ::fstat(file, &status) != 0) {
        std::perror("open");
        std::exit(1);
    }
    if (prove) {
        try {
            const PictureSource source(file, status.st_size);
            CheckPictureWhole(source, InspectPicture(source));
        } catch (const PictureError& error) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(path), error.what());
            std::exit(1);
        }
    } else {
        std::vector<char> bytes(static_cast<std::size_t>(status.st_size));
        for (std::size_t done = 0; done < bytes.size();) {
            const ssize_t got = ::read(file, bytes.data() + done, bytes.size() - done);
            if (got <= 0) {
                std::perror("read");
                std::exit(1);
            }
            done += static_cast<std::size_t>(got);
        }
    }
    ::close(file);
}

double TimeReads(const QStringList& names, const QString& from, bool prove)
{
    const auto start = std::chrono::steady_clock::now();
    for (const QString& name : names) {
        Read(from + "/" + name, prove);
    }
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
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
    std::vector<double> reads;
    std::vector<double> proofs;
    for (int i = 0; i < repeats; ++i) {
        reads.push_back(TimeReads(names, from, false));
        proofs.push_back(TimeReads(names, from, true));
    }
    const double read = Median(reads);
    const double proof = Median(proofs);
    std::printf("files=%lld read_ms=%.1f whole_check_ms=%.1f ratio=%.3f\n", static_cast<long long>(names.size()), read,
                proof, proof / read);
    return 0;
}
