#include "base/random.h"

#include <cstdlib>

int Random(int lo, int hi) {
  const int span = hi - lo + 1;
  // An empty or reversed range has nothing to draw from; give lo rather than
  // divide by zero.
  if (span <= 0) return lo;
  return std::rand() % span + lo;
}
