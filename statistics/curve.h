#pragma once

#include <optional>
#include <vector>

// A point of a curve on probability paper: the standard normal deviate and log10 of the value.
struct CurvePoint {
    double deviate;
    double logValue;
};
// A curve in the order it is drawn; a missing point breaks it there.
using Curve = std::vector<std::optional<CurvePoint>>;
