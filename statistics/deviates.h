#pragma once

#include "statistics/seriesdata.h"

// Standard normal deviate of probability p by lookup in steps of 0.001 on either side of 0.5.
// Throws DataError when the index leaves 0..512.
double DeviateAt(const DeviateTable& table, double p);
