// The main of every Google Benchmark program here: the heap state is fixed
// before anything allocates, then the benchmarks run as usual.
#include <benchmark/benchmark.h>

#include "heap_state.h"

int main(int argc, char** argv) {
  FixHeapState();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
