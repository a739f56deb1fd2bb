#include "builder/workflow/volumes.h"

std::vector<VolumeOfPages> PlanVolumes(const std::vector<qint64>& pageBytes, qint64 bytesOfEveryVolume, qint64 limit)
{
    std::vector<VolumeOfPages> volumes;
    qint64 filled = 0;
    for (qsizetype page = 0; page < static_cast<qsizetype>(pageBytes.size()); ++page) {
        const qint64 bytes = pageBytes[static_cast<size_t>(page)];
        if (bytesOfEveryVolume + bytes > limit) {
            return {};
        }
        if (volumes.empty() || filled + bytes > limit) {
            volumes.push_back({page, page});
            filled = bytesOfEveryVolume;
        }
        filled += bytes;
        volumes.back().end = page + 1;
    }
    return volumes;
}
