#pragma once

#include <QtGlobal>

// The monotonic clock in nanoseconds, and waits on it that end on time: the
// serial link's pause after every purge, the emulator's bytes at their line
// times, the scanner imitation's time stamps.
qint64 MonotonicNs();

// Sleeps until the clock reaches untilNs, not later by the thread's timer
// slack (50 us by default); waking up still takes what the system needs.
void SleepUntilNs(qint64 untilNs);

// Ends at untilNs, give or take a few microseconds: sleeps until shortly
// before, then watches the clock, since a wake-up from a sleep comes tens of
// microseconds late (on a virtual machine some 45 us as a rule, 70 us now and then).
void WaitUntilNs(qint64 untilNs);
