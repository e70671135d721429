#include "HeapPeak.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long long> liveBytes{0};
std::atomic<long long> peakBytes{0};
std::atomic<long long> baseBytes{0};

void noteAllocated(void* p)
{
    const long long now = liveBytes += static_cast<long long>(malloc_usable_size(p));
    long long peak = peakBytes.load();
    while (now > peak && !peakBytes.compare_exchange_weak(peak, now)) {}
}

} // namespace

void* operator new(std::size_t n)
{
    void* p = std::malloc(n == 0 ? 1 : n);
    if (!p)
        throw std::bad_alloc();
    noteAllocated(p);
    return p;
}
void operator delete(void* p) noexcept
{
    if (p)
        liveBytes -= static_cast<long long>(malloc_usable_size(p));
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    operator delete(p);
}

namespace lookups_test {

void resetHeapPeak()
{
    baseBytes = liveBytes.load();
    peakBytes = baseBytes.load();
}

long long heapPeakGrowth()
{
    return peakBytes.load() - baseBytes.load();
}

} // namespace lookups_test
