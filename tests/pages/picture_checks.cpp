#include "tests/pages/picture_checks.h"

#include <QFile>
#include <QRegularExpression>

#include <cstdlib>

namespace {

// A "VmRSS:" or "VmHWM:" line of /proc/self/status, given in kiB.
long long StatusBytes(const char* field)
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QString text = QString::fromLatin1(status.readAll());
    const auto match = QRegularExpression(QString(field) + ":\\s+(\\d+) kB").match(text);
    return match.hasMatch() ? match.captured(1).toLongLong() * 1024 : -1;
}

}  // namespace

::testing::AssertionResult PixelNear(const QImage& image, int x, int y, QRgb expected, int tolerance)
{
    const QRgb actual = image.pixel(x, y);
    if (std::abs(qRed(actual) - qRed(expected)) <= tolerance && std::abs(qGreen(actual) - qGreen(expected)) <= tolerance
        && std::abs(qBlue(actual) - qBlue(expected)) <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is (" << qRed(actual) << ", "
                                         << qGreen(actual) << ", " << qBlue(actual) << "), expected (" << qRed(expected)
                                         << ", " << qGreen(expected) << ", " << qBlue(expected) << ")";
}

::testing::AssertionResult ShowsQuadrants(const QImage& image, TestColour colour)
{
    const int w = image.width();
    const int h = image.height();
    const int xs[] = {w / 4, w * 3 / 4};
    const int ys[] = {h / 4, h * 3 / 4};
    for (int quadrant = 0; quadrant < 4; ++quadrant) {
        auto result = PixelNear(image, xs[quadrant % 2], ys[quadrant / 2], QuadrantColour(colour, quadrant));
        if (!result) {
            return result << " in quadrant " << quadrant;
        }
    }
    return ::testing::AssertionSuccess();
}

long long ResidentBytes()
{
    return StatusBytes("VmRSS");
}

long long PeakResidentBytes()
{
    return StatusBytes("VmHWM");
}

bool ResetPeakResident()
{
    QFile clearRefs("/proc/self/clear_refs");
    return clearRefs.open(QIODevice::WriteOnly) && clearRefs.write("5") == 1 && clearRefs.flush();
}
