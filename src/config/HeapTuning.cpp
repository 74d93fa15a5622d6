#include "config/HeapTuning.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void KeepFreedMemory()
{
#if defined(__GLIBC__)
    // Blocks below 32 MB (the largest threshold glibc takes) come from the heap,
    // and up to 256 MB of free heap stay with the process.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
#endif
}
