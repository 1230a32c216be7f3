#include "tools/bench.h"

// STUB: the screen chart fills this in.
void BenchScreenChart() {}
