#pragma once

// The heap a piece of work takes at its peak, counted by the benchmark's own
// malloc and free (glibc only; elsewhere nothing is counted).
namespace HeapMeter {
bool available();
// Starts a new measurement from the heap in use now.
void reset();
// The most bytes in use above the start since reset().
long long peakSinceReset();
// The bytes in use now above the start: what the work still holds.
long long heldSinceReset();
} // namespace HeapMeter
