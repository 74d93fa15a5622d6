#pragma once

#include <QtGlobal>

#include <ctime>

// Nanoseconds of the monotonic clock: scanner-emulator stamps its codes with
// it, and the scanner benchmark compares those stamps with its own readings.
inline qint64 MonotonicNs()
{
    timespec t {};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}
