#include "bench/support/process_memory.h"
#include "preview/preview_picture.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

// Makes the page preview of one JPEG file several times and prints how long it took and how
// far the resident memory rose above what the program held before its first preview:
//
//   preview_bench FILE [REPEATS]
//
// One line: median_ms=M min_ms=M above_baseline_kib=K decoded=WxH shown=WxH

namespace {

const QSize kBox(140, 168);

// Lets the peak resident memory start again from the present one, or says why the baseline is not.
void ResetPeakResidentOrWarn()
{
    if (!ResetPeakResident()) {
        std::fprintf(stderr, "warning: cannot reset the peak resident memory; the baseline is the start-up peak\n");
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: preview_bench FILE [REPEATS]\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    const int repeats = argc == 3 ? std::max(1, std::atoi(argv[2])) : 5;

    ResetPeakResidentOrWarn();
    const long long baseline = StatusKiB("VmRSS");
    std::vector<double> milliseconds;
    QSize decoded;
    QSize shown;
    try {
        for (int i = 0; i < repeats; ++i) {
            const auto start = std::chrono::steady_clock::now();
            JpegReader reader = JpegReader::OpenFile(path);
            shown = MakePreviewPicture(reader, kBox).size();
            milliseconds.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
            decoded = reader.DecoderOutputSize();
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    const long long peak = StatusKiB("VmHWM");

    std::sort(milliseconds.begin(), milliseconds.end());
    std::printf("median_ms=%.1f min_ms=%.1f above_baseline_kib=%lld decoded=%dx%d shown=%dx%d\n",
                milliseconds[milliseconds.size() / 2], milliseconds.front(), peak - baseline, decoded.width(),
                decoded.height(), shown.width(), shown.height());
    return 0;
}
