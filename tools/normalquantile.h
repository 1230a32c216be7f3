#pragma once

#include <string>

// Inverse of the standard normal distribution function (Wichura's AS241, PPND16), accurate to
// about 1e-16 for 0 < p < 1.
double NormalQuantile(double p);

// The deviate table file: 500 lines, line i holding the deviate of 0.5 + i/1000 with 17
// significant digits, each ending in CR LF.
std::string GenerateDeviateList();
