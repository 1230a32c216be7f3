#include "tools/bench.h"

void BenchAnalysis() {}
