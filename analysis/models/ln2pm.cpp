#include "analysis/models/modelfit.h"
#include "analysis/models/modelunit.h"

// The two-parameter log-normal from the moments of ln x: p = {μ, σ}.

namespace {

constexpr ModelId kId = ModelId::Ln2Pm;

FittedModel Fit(const Sample& s, double, const FittedModel*) {
    const models::Moments m = models::MomentsOf(s.ln);
    if (!(m.sd > 0))
        return models::Refuse(kId, models::NoSpreadText());
    return models::Made(kId, {m.mean, m.sd}, 2);
}

} // namespace

const ModelUnit models::kLn2Pm{
    .key = "ln2_pm",
    .name = "対数正規分布2母数（積率法）",
    .shortName = "LN2PM",
    .parameters = {"mu", "sigma", nullptr},
    .minimumRecords = 2,
    .fit = Fit,
    .quantile = models::LogNormalQuantile,
    .cdf = models::LogNormalCdf,
    .standardVariable = models::LogNormalStandardVariable,
};
