#pragma once

// The program works on a few big texts at a time (a configuration of 1.5 MB is
// some 8 MB in memory while it is loaded or saved), and then lets them go. By
// default the C library gives such blocks back to the system at once, and the
// next load or save takes fresh pages, each a page fault; on a virtual machine
// a fault costs 10-15 microseconds, which makes a save three times slower.
// Kept by the process instead, freed blocks are reused. Call once, first thing
// in main; elsewhere than glibc nothing changes.
void KeepFreedMemory();
