// Counts what operator new hands out in this test program, so that a test can tell how much
// memory a store holds at its peak, the peak within one call included.

#include "HeapUse.h"

#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>

namespace {

std::atomic<std::size_t> g_inUse{0};
std::atomic<std::size_t> g_peak{0};

void* counted(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr)
        throw std::bad_alloc();
    const std::size_t inUse = g_inUse += ::malloc_usable_size(block);
    std::size_t peak = g_peak.load(std::memory_order_relaxed);
    while (inUse > peak && !g_peak.compare_exchange_weak(peak, inUse, std::memory_order_relaxed)) {
    }
    return block;
}

void released(void* block) noexcept {
    if (block == nullptr)
        return;
    g_inUse -= ::malloc_usable_size(block);
    std::free(block);
}

} // namespace

void* operator new(std::size_t size) {
    return counted(size);
}
void* operator new[](std::size_t size) {
    return counted(size);
}
void operator delete(void* block) noexcept {
    released(block);
}
void operator delete[](void* block) noexcept {
    released(block);
}
void operator delete(void* block, std::size_t) noexcept {
    released(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    released(block);
}

namespace zbpg::test {

std::size_t heapInUse() {
    return g_inUse;
}

std::size_t heapPeak() {
    return g_peak;
}

void resetHeapPeak() {
    g_peak = g_inUse.load();
}

} // namespace zbpg::test
