#include "statistics/mathfunctions.h"
#include "statistics/models/modelfit.h"
#include "statistics/models/modelunit.h"

#include <cmath>

// The two-parameter log-normal from the L-moments of x, its lower bound 0: p = {μ, σ}.

namespace {

constexpr ModelId kId = ModelId::Ln2Lm;

FittedModel Estimate(const LMoments& l) {
    const double sigma = 2 * ErfInverse(l.l2 / l.l1);
    return models::Made(kId, {std::log(l.l1) - sigma * sigma / 2, sigma}, 2);
}

FittedModel Fit(const Sample& s, double, const FittedModel*) {
    return models::FitByLMoments(kId, s, Estimate);
}

} // namespace

const ModelUnit models::kLn2Lm{
    {"ln2_lm", "対数正規分布2母数（L積率法）", "LN2LM", {"mu", "sigma", nullptr}},
    3,
    {Fit, models::LogNormalQuantile, models::LogNormalCdf, models::LogNormalStandardVariable}};
