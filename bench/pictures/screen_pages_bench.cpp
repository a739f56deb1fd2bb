#include "common/file_descriptor.h"
#include "pictures/file_output.h"
#include "pictures/picture_error.h"
#include "pictures/picture_inspection.h"
#include "pictures/picture_preparation.h"
#include "pictures/screen_pages.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

// Makes the pages of every picture of a folder for a screen, as a conversion makes them, a picture at a time on
// each of THREADS threads (by default one per core), into a folder of their own:
//
//   screen_pages_bench PICTURES TARGET WIDTHxHEIGHT [grey|colour] [THREADS]
//
// Grey or colour as the screen's own default when not given (a typed size is colour). One line:
// pictures=N pages=N ms=M

namespace {

FileDescriptor Create(const QString& path)
{
    FileDescriptor file(::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!file.IsOpen()) {
        std::perror(qPrintable(path));
        std::exit(1);
    }
    return file;
}

// The pages of the picture at `from`, written as `to`-1.jpg, `to`-2.jpg, ...; how many.
std::size_t MakePages(const QString& from, const QString& to, const PageOptions& options)
{
    const FileDescriptor picture(::open(QFile::encodeName(from).constData(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (!picture.IsOpen() || ::fstat(picture.Get(), &status) != 0) {
        std::perror(qPrintable(from));
        std::exit(1);
    }
    const PictureSource source(picture.Get(), status.st_size);
    const PictureInfo info = InspectPicture(source);
    const PagePlan plan = PlanPages(info, options);
    if (plan.unchanged) {
        const FileDescriptor target = Create(to + "-1" + BookExtension(info.kind));
        FileOutput output(target.Get());
        PrepareForBook(source, info, output);
        return 1;
    }
    std::vector<FileDescriptor> files;
    std::vector<FileOutput> outputs;
    for (std::size_t i = 0; i < plan.pages.size(); ++i) {
        files.push_back(Create(QStringLiteral("%1-%2.jpg").arg(to).arg(i + 1)));
    }
    for (const FileDescriptor& file : files) {
        outputs.emplace_back(file.Get());
    }
    std::vector<ByteOutput*> targets;
    for (FileOutput& output : outputs) {
        targets.push_back(&output);
    }
    return MakeScreenPages(source, info, options, targets).size();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4 || argc > 6) {
        std::fprintf(stderr, "usage: screen_pages_bench PICTURES TARGET WIDTHxHEIGHT [grey|colour] [THREADS]\n");
        return 2;
    }
    const QString from = QString::fromLocal8Bit(argv[1]);
    const QString to = QString::fromLocal8Bit(argv[2]);
    const std::optional<TargetScreen> screen = ParseScreenSize(QString::fromLocal8Bit(argv[3]));
    if (!screen) {
        std::fprintf(stderr, "not a screen size: %s\n", argv[3]);
        return 2;
    }
    PageOptions options = PageOptionsFor(*screen);
    if (argc >= 5) {
        options.grey = std::string(argv[4]) == "grey";
    }
    const unsigned threads =
        argc == 6 ? static_cast<unsigned>(std::atoi(argv[5])) : std::thread::hardware_concurrency();
    const QStringList names = QDir(from).entryList(QDir::Files, QDir::Name);
    QDir().mkpath(to);

    std::atomic<qsizetype> next = 0;
    std::atomic<std::size_t> pages = 0;
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> workers;
    for (unsigned i = 0; i < std::max(1u, threads); ++i) {
        workers.emplace_back([&] {
            for (qsizetype at = next++; at < names.size(); at = next++) {
                try {
                    pages += MakePages(from + "/" + names[at], to + "/" + names[at], options);
                } catch (const PictureError& error) {
                    std::fprintf(stderr, "%s: %s\n", qPrintable(names[at]), error.what());
                    std::exit(1);
                }
            }
        });
    }
    for (std::thread& worker : workers) {
        worker.join();
    }
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::printf("pictures=%lld pages=%zu ms=%.1f\n", static_cast<long long>(names.size()), pages.load(), ms);
    return 0;
}
