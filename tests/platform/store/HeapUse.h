#pragma once

#include <cstddef>

namespace zbpg::test {

// The bytes the store tests' program holds through operator new now, and the most it held
// since the peak was last reset (HeapUse.cpp counts them).
std::size_t heapInUse();
std::size_t heapPeak();
void resetHeapPeak();

} // namespace zbpg::test
