#include "archive/dos_time.h"

namespace {

constexpr int kTmYearBase = 1900;
constexpr int kDosYearFirst = 1980;
constexpr int kDosYearLast = 2107;
constexpr quint32 kDosEarliest = (1u << 5 | 1u) << 16;  // 1980-01-01 00:00:00
constexpr quint32 kDosLatest =
    ((127u << 9 | 12u << 5 | 31u) << 16) | (23u << 11 | 59u << 5 | 29u);  // 2107-12-31 23:59:58

}  // namespace

quint32 DosDateTime(std::time_t moment)
{
    std::tm local{};
    if (localtime_r(&moment, &local) == nullptr) {
        return kDosTimeUnknown;
    }
    const int year = local.tm_year + kTmYearBase;
    if (year < kDosYearFirst) {
        return kDosEarliest;
    }
    if (year > kDosYearLast) {
        return kDosLatest;
    }
    const quint32 date = static_cast<quint32>((year - kDosYearFirst) << 9 | (local.tm_mon + 1) << 5 | local.tm_mday);
    const quint32 time = static_cast<quint32>(local.tm_hour << 11 | local.tm_min << 5 | local.tm_sec / 2);
    return date << 16 | time;
}
