// The process's peak resident memory, from the kernel's own counters: how
// much a call made the process grow at its highest, whatever it freed
// before returning.
#pragma once

#include <cstdint>

// AddressSanitizer keeps freed blocks resident for a while (its quarantine)
// and adds shadow memory of its own, so under it a peak says little about
// the program's: bounds that count freed memory are checked only without it.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool peakMemoryCountsFreedBlocks = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool peakMemoryCountsFreedBlocks = true;
#else
constexpr bool peakMemoryCountsFreedBlocks = false;
#endif
#else
constexpr bool peakMemoryCountsFreedBlocks = false;
#endif

// Starts a measurement: the peak is set back to what is resident now. False
// where the kernel does not allow it (then nothing can be measured).
bool ResetPeakMemory();
// How far the peak rose above the resident memory at the last reset, in bytes.
uint64_t PeakMemoryGrowth();
