// One heap state for every benchmark, set before the first one runs.
#pragma once

// Fixes glibc's mmap and trim thresholds (see heap_state.cpp for why).
void FixHeapState();
