#include "HeapMeter.h"

#include <atomic>
#include <cstddef>

#if defined(__GLIBC__)
#include <malloc.h>

extern "C" {
void *__libc_malloc(size_t size);
void *__libc_calloc(size_t count, size_t size);
void *__libc_realloc(void *p, size_t size);
void *__libc_memalign(size_t alignment, size_t size);
void __libc_free(void *p);
}

namespace {
std::atomic<long long> g_inUse { 0 };
std::atomic<long long> g_peak { 0 };

void Took(void *p)
{
    if (!p)
        return;
    const long long now = g_inUse += (long long)malloc_usable_size(p);
    long long peak = g_peak.load();
    while (now > peak && !g_peak.compare_exchange_weak(peak, now)) { }
}

void *Counted(void *p)
{
    Took(p);
    return p;
}

void Gave(void *p)
{
    if (p)
        g_inUse -= (long long)malloc_usable_size(p);
}
} // namespace

// Every allocation of the process, Qt's included, passes through these.
extern "C" {
void *malloc(size_t size)
{
    return Counted(__libc_malloc(size));
}

void *calloc(size_t count, size_t size)
{
    return Counted(__libc_calloc(count, size));
}

void *realloc(void *old, size_t size)
{
    const long long before = old ? (long long)malloc_usable_size(old) : 0;
    void *p = __libc_realloc(old, size);
    if (p || size == 0) {
        g_inUse -= before;
        Took(p);
    }
    return p;
}

void *memalign(size_t alignment, size_t size)
{
    return Counted(__libc_memalign(alignment, size));
}

void *aligned_alloc(size_t alignment, size_t size)
{
    return memalign(alignment, size);
}

int posix_memalign(void **out, size_t alignment, size_t size)
{
    *out = memalign(alignment, size);
    return *out ? 0 : 12; // ENOMEM
}

void free(void *p)
{
    Gave(p);
    __libc_free(p);
}
}

namespace {
long long g_base = 0;
}

bool HeapMeter::available()
{
    return true;
}

void HeapMeter::reset()
{
    g_base = g_inUse.load();
    g_peak = g_base;
}

long long HeapMeter::peakSinceReset()
{
    return g_peak.load() - g_base;
}

long long HeapMeter::heldSinceReset()
{
    return g_inUse.load() - g_base;
}
#else
bool HeapMeter::available()
{
    return false;
}

void HeapMeter::reset() { }

long long HeapMeter::peakSinceReset()
{
    return 0;
}

long long HeapMeter::heldSinceReset()
{
    return 0;
}
#endif
