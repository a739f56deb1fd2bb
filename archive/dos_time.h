#pragma once

#include <QtGlobal>

#include <ctime>

// The value a record carries when the platform cannot tell a file's time.
inline constexpr quint32 kDosTimeUnknown = 0xFFFFFFFF;

// A moment as local time in DOS format: the time in the low 16 bits (seconds / 2, minutes, hours), the date in
// the high 16 bits (day, month, years since 1980). The form holds 1980 to 2107 with two-second resolution:
// earlier moments become 1980-01-01 00:00:00 and later ones 2107-12-31 23:59:58.
quint32 DosDateTime(std::time_t moment);
