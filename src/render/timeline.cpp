#include "render/timeline.h"

#include "image/texture_bank.h"

int TimelineTextureSlot(int32_t tick) {
  const int32_t slot = tick / 100;
  // The holds before the second and third animations show their first
  // frame, the hold after the third its last, so the picture does not jump
  // at 71/72, 127/128 and 167/168.
  if (slot < 16) return TextureSlot::begin;
  if (slot < 56) return TextureSlot::anim1 + (slot - 16);
  if (slot < 72) return TextureSlot::anim2;
  if (slot < 112) return TextureSlot::anim2 + (slot - 72);
  if (slot < 128) return TextureSlot::anim3;
  if (slot < 168) return TextureSlot::anim3 + (slot - 128);
  if (slot < 184) return TextureSlot::anim3 + TextureSlot::animationFrames - 1;
  if (slot < 189) return TextureSlot::end1;
  if (slot < 194) return TextureSlot::end2;
  return TextureSlot::map4;
}
