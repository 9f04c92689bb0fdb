#include "slot_plan.h"

std::vector<int> PlanSlots(int pictures) {
  std::vector<int> plan;
  if (pictures <= 0) return plan;
  for (int slot = 0; slot < pictureSlots; ++slot) {
    // The slot's centre, mapped onto the pictures: both cases in one rule.
    plan.push_back(int((long(2 * slot + 1) * pictures) / (2L * pictureSlots)));
  }
  return plan;
}
