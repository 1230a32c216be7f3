#pragma once

#include "statistics/distributionfits.h"
#include "statistics/distributions.h"
#include "statistics/models/modelfit.h"

#include <array>

// Everything about one candidate distribution: its names, its fit and its three functions.
// FittedModel evaluates through these, so a model is one file of its own plus its line in the
// registry.

// What a model is called.
struct ModelNames {
    const char* key;       // in JSON and CSV: "gumbel"
    const char* name;      // the window's, page's and CSV's: "グンベル分布"
    const char* shortName; // a chart's legend, where the full name does not fit: "Gumbel"
    // The parameters' JSON names; the unused ones are null.
    std::array<const char*, 3> parameters;
    // What the comparison's note says of the method when nothing else is to be said; null for
    // nothing.
    const char* note = nullptr;
};

// What a model computes.
struct ModelFunctions {
    // The fit to a sample of at least minimumRecords values; alpha is the plotting-position
    // parameter and start the whole series' fit when this is a resampled one (or null).
    FittedModel (*fit)(const Sample& sample, double alpha, const FittedModel* start);
    // x(F) for 0 < F < 1: NaN or an infinity where it does not exist.
    double (*quantile)(const ModelParameters& p, double F);
    // F(x) for a finite x: 0 below the support, 1 above it.
    double (*cdf)(const ModelParameters& p, double x);
    // s(x), the standard variable SLSC compares.
    double (*standardVariable)(const ModelParameters& p, double x);
};

struct ModelUnit {
    ModelNames names;
    // Fewer records than this are refused before the fit is tried.
    int minimumRecords;
    ModelFunctions functions;
};

namespace models {
extern const ModelUnit kLn2Paper;
extern const ModelUnit kLn2Pm;
extern const ModelUnit kLn2Lm;
extern const ModelUnit kLn3Iwai;
extern const ModelUnit kLn3Q;
extern const ModelUnit kLn3Lm;
extern const ModelUnit kLp3;
extern const ModelUnit kExp;
extern const ModelUnit kGumbel;
extern const ModelUnit kSqrtet;
extern const ModelUnit kGev;
} // namespace models

// The unit of a model, from the registry.
const ModelUnit& Unit(ModelId id);
