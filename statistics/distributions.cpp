#include "statistics/distributions.h"
#include "statistics/distributionfits.h"
#include "statistics/models/modelfit.h"
#include "statistics/models/modelunit.h"

#include <cmath>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

} // namespace

const char* ModelKey(ModelId id) {
    return Unit(id).names.key;
}

QString ModelName(ModelId id) {
    return QString::fromUtf8(Unit(id).names.name);
}

QString ModelShortName(ModelId id) {
    return QString::fromUtf8(Unit(id).names.shortName);
}

QString ModelNote(ModelId id) {
    return QString::fromUtf8(Unit(id).names.note);
}

std::vector<ModelParameter> FittedModel::parameters() const {
    std::vector<ModelParameter> list;
    if (!applicable())
        return list;
    const std::array<const char*, 3>& names = Unit(id_).names.parameters;
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i])
            list.push_back({names[i], p_[i]});
    return list;
}

double FittedModel::rawQuantile(double F) const {
    if (!(F > 0 && F < 1) || !applicable())
        return kNaN;
    return Unit(id_).functions.quantile(p_, F);
}

double FittedModel::rawStandardVariable(double x) const {
    if (!applicable())
        return kNaN;
    return Unit(id_).functions.standardVariable(p_, x);
}

double FittedModel::rawCdf(double x) const {
    if (!std::isfinite(x) || !applicable())
        return kNaN;
    return Unit(id_).functions.cdf(p_, x);
}

std::optional<double> FittedModel::quantile(double F) const {
    const double x = rawQuantile(F);
    if (!std::isfinite(x))
        return std::nullopt;
    return x;
}

std::optional<double> FittedModel::standardVariable(double x) const {
    const double s = rawStandardVariable(x);
    if (!std::isfinite(s))
        return std::nullopt;
    return s;
}

std::optional<double> FittedModel::cdf(double x) const {
    const double F = rawCdf(x);
    if (std::isnan(F))
        return std::nullopt;
    return F;
}

FittedModel FitSample(ModelId id, const Sample& s, double alpha, const FittedModel* start) {
    const ModelUnit& unit = Unit(id);
    if (s.x.size() < static_cast<size_t>(unit.minimumRecords))
        return models::Refuse(id, models::TooFewText(unit.minimumRecords));
    if (!HasSpread(s.x))
        return models::Refuse(id, NoSpreadText());
    // Boost.Math is told not to throw; this is the net under anything else (a full memory).
    try {
        return unit.functions.fit(s, alpha, start);
    } catch (const std::exception&) {
        return models::Refuse(id, QStringLiteral("計算中に問題が起きたため当てはめられません。"));
    }
}

FittedModel FitModel(ModelId id, std::span<const double> sorted) {
    const SampleArrays arrays(sorted, 0.5);
    return FitSample(id, arrays.of(sorted), 0.5);
}
