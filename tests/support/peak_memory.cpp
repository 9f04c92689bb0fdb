#include "peak_memory.h"

#if defined(_WIN32) || defined(__EMSCRIPTEN__)

// Nothing can be measured (see the header).
bool ResetPeakMemory() { return false; }
uint64_t PeakMemoryGrowth() { return 0; }

#else

#include <fstream>
#include <string>

namespace {

uint64_t residentAtReset = 0;

// A "Vm...:  <n> kB" line of /proc/self/status, in bytes.
uint64_t StatusBytes(const std::string& key) {
  std::ifstream status("/proc/self/status");
  std::string name;
  uint64_t kilobytes = 0;
  std::string unit;
  while (status >> name) {
    if (name == key + ":" && status >> kilobytes >> unit) return kilobytes * 1024;
    status.ignore(1 << 16, '\n');
  }
  return 0;
}

}  // namespace

bool ResetPeakMemory() {
  // Writing 5 sets the peak (VmHWM) back to the present resident size.
  std::ofstream clear("/proc/self/clear_refs");
  if (!(clear << "5" << std::flush)) return false;
  residentAtReset = StatusBytes("VmRSS");
  return residentAtReset > 0;
}

uint64_t PeakMemoryGrowth() {
  const uint64_t peak = StatusBytes("VmHWM");
  return peak > residentAtReset ? peak - residentAtReset : 0;
}

#endif
