#include "statistics/models/modelfit.h"
#include "statistics/models/modelunit.h"

// The two-parameter log-normal from the moments of ln x: p = {μ, σ}.

namespace {

constexpr ModelId kId = ModelId::Ln2Pm;

FittedModel Fit(const Sample& s, double, const FittedModel*) {
    const models::Moments m = models::MomentsOf(s.ln);
    if (!(m.sd > 0))
        return models::Refuse(kId, NoSpreadText());
    return models::Made(kId, {m.mean, m.sd}, 2);
}

} // namespace

const ModelUnit models::kLn2Pm{
    {"ln2_pm", "対数正規分布2母数（積率法）", "LN2PM", {"mu", "sigma", nullptr}},
    2,
    {Fit, models::LogNormalQuantile, models::LogNormalCdf, models::LogNormalStandardVariable}};
