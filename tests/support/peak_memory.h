// The process's peak resident memory, from the kernel's own counters: how
// much a call made the process grow at its highest, whatever it freed
// before returning.
#pragma once

#include <cstdint>

// Starts a measurement: the peak is set back to what is resident now. False
// where the kernel does not allow it (then nothing can be measured).
bool ResetPeakMemory();
// How far the peak rose above the resident memory at the last reset, in bytes.
uint64_t PeakMemoryGrowth();
