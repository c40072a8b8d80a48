// Counts the bytes a test program holds through operator new, and the most it
// held since the last ResetPeak(). Link allocation_meter.cpp into the test
// program to use it; it replaces the global operator new and delete.
#pragma once

#include <cstddef>

namespace vesk::testing {

std::size_t LiveHeapBytes();
std::size_t PeakHeapBytes();
// The peak starts again from what is held now.
void ResetHeapPeak();

}  // namespace vesk::testing
