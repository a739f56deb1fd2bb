#pragma once

// The program's own memory as the system counts it, for the benchmarks.

// A field of /proc/self/status such as "VmRSS" (resident now) or "VmHWM" (peak resident), in kiB;
// -1 when it cannot be read.
long long StatusKiB(const char* field);

// Lets the peak resident memory start again from the present one; false where the system refuses.
bool ResetPeakResident();
