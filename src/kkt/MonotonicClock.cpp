#include "kkt/MonotonicClock.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace {
constexpr qint64 kNsPerSecond = 1000000000;
// How long before its end a precise wait stops sleeping.
constexpr qint64 kWakeUpNs = 100000;
} // namespace

qint64 MonotonicNs()
{
    timespec t {};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * kNsPerSecond + t.tv_nsec;
}

void SleepUntilNs(qint64 untilNs)
{
#ifdef __linux__
    const int oldSlack = ::prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0);
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);
    const timespec until { time_t(untilNs / kNsPerSecond), long(untilNs % kNsPerSecond) };
    while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) { }
    if (oldSlack > 0)
        ::prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(oldSlack), 0, 0, 0);
#else
    // Without clock_nanosleep (macOS): the time left goes on after a signal.
    const qint64 ns = std::max<qint64>(0, untilNs - MonotonicNs());
    timespec left { time_t(ns / kNsPerSecond), long(ns % kNsPerSecond) };
    while (::nanosleep(&left, &left) != 0 && errno == EINTR) { }
#endif
}

void WaitUntilNs(qint64 untilNs)
{
    if (untilNs - MonotonicNs() > kWakeUpNs)
        SleepUntilNs(untilNs - kWakeUpNs);
    while (MonotonicNs() < untilNs) { }
}
