// The process's peak resident memory, from the kernel's own counters: how
// much a call made the process grow at its highest, whatever it freed
// before returning.
#pragma once

#include <cstdint>

// The sanitizers keep memory of their own: AddressSanitizer holds freed
// blocks resident for a while (its quarantine) and both it and
// ThreadSanitizer map shadow memory for what the program touches. Under
// them a peak says little about the program's own, so tests check their
// bounds only without them.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool peakMemoryIsTheProgramsOwn = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool peakMemoryIsTheProgramsOwn = false;
#else
constexpr bool peakMemoryIsTheProgramsOwn = true;
#endif
#else
constexpr bool peakMemoryIsTheProgramsOwn = true;
#endif

// Windows keeps a process's peak but has no way to set it back, so no
// measurement can start there; under node the counters are node's, not the
// program's. Tests reset and check a peak only where peakMemoryIsMeasured.
#if defined(_WIN32) || defined(__EMSCRIPTEN__)
constexpr bool peakMemoryIsMeasured = false;
#else
constexpr bool peakMemoryIsMeasured = true;
#endif

// Starts a measurement: the peak is set back to what is resident now. False
// where the kernel does not allow it (then nothing can be measured).
bool ResetPeakMemory();
// How far the peak rose above the resident memory at the last reset, in bytes.
uint64_t PeakMemoryGrowth();
