#include "detect/octave_locator.h"

// Placeholder until the Start-menu search lands: no Octave is ever found.
int32_t OctaveLocator::FindOctaveTargets() {
  targets.Clear();
  return targets.count;
}

void OctaveLocator::SelectOctaveTarget(int32_t n) {
  const char* line = targets.First();
  for (int32_t i = 0; line; ++i) {
    chosen = line;
    if (i == n) return;
    line = targets.Next();
  }
}
