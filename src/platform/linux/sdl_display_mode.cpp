#include "platform/linux/sdl_display_mode.h"

#include <climits>
#include <cstdlib>

namespace {

constexpr int paceRefreshRate = 60;

// Smaller is better: the distance from 60 Hz first, the depth second.
long long Distance(const SDL_DisplayMode& mode, int bits) {
  const long long rateDistance =
      mode.refresh_rate > 0 ? std::llabs(static_cast<long long>(mode.refresh_rate) - paceRefreshRate) : INT_MAX;
  return rateDistance * 2 + (int(SDL_BITSPERPIXEL(mode.format)) == bits ? 0 : 1);
}

}  // namespace

int ChooseDisplayMode(const SDL_DisplayMode* modes, int count, int width, int height, int bits) {
  int chosen = -1;
  for (int i = 0; i < count; ++i) {
    if (modes[i].w != width || modes[i].h != height) continue;
    if (chosen < 0 || Distance(modes[i], bits) < Distance(modes[chosen], bits)) chosen = i;
  }
  return chosen;
}
