#include "state/studytexts.h"

#include "statistics/datachecks.h"

#include <algorithm>

QString Figure(const std::optional<double>& value, int decimals) {
    return value ? QString::number(*value, 'f', decimals) : QString();
}

QString MarkedFigure(const std::optional<double>& value, int decimals,
                     const FittedModel* estimateOf) {
    QString text = Figure(value, decimals);
    if (!value)
        return text;
    if (*value < 0)
        text += QLatin1Char(' ') + kNegativeMark;
    if (estimateOf) {
        const std::optional<double> F = estimateOf->cdf(*value);
        if (F && (*F <= 0 || *F >= 1))
            text += QLatin1Char(' ') + kOutsideMark;
    }
    return text;
}

QString NoSelectionText(const DistributionComparison& models) {
    const bool anyPasses = std::any_of(models.models.begin(), models.models.end(),
                                       [](const ModelComparison& m) { return m.passes; });
    if (!anyPasses)
        return kNoneSelectedText;
    return QStringLiteral("SLSC が 0.04 以下の分布はありますが、選ぶための誤差が求められないため、"
                          "どの分布も選んでいません。");
}

QString ModelRemark(const ModelComparison& m) {
    if (!m.applicable())
        return m.model.problem();
    return m.jackknifeProblem.isEmpty() ? ModelNote(m.model.id()) : m.jackknifeProblem;
}

const BootstrapPeriod* BootstrapOf(const Study& study, ModelId id, int period) {
    if (!study.bootstrap || !study.bootstrap->model(id).hasFigures())
        return nullptr;
    return study.bootstrap->model(id).period(period);
}

QString SeriesHeading(const SeriesData& series) {
    const SeriesOrigin& origin = series.origin;
    QString heading = SeriesKindName(origin.kind);
    if (!origin.item.isEmpty())
        heading += QStringLiteral("：") + origin.item;
    if (!origin.unit.isEmpty())
        heading += QStringLiteral("（%1）").arg(origin.unit);
    if (!origin.built.isEmpty())
        heading += QStringLiteral("　") + origin.built;
    return heading;
}

QStringList CheckLines(const Study& study, int n) {
    if (!study.checks)
        return {QStringLiteral("傾向と変化点の検定には %1 件以上の記録が必要です（記録は %2 件）")
                    .arg(kChecksMinRecords)
                    .arg(n)};
    const MannKendall& mk = study.checks->mannKendall;
    const Pettitt& pettitt = study.checks->pettitt;
    const QString unit = study.series.origin.unit;
    const QString perYear =
        unit.isEmpty() ? QStringLiteral("（1 年あたり）") : QStringLiteral(" %1/年").arg(unit);
    const auto fixed = [](double v) { return QString::number(v, 'f', 3); };
    return {QStringLiteral("Mann–Kendall 検定：S = %1、z = %2、p = %3　%4")
                .arg(mk.s)
                .arg(fixed(mk.z), fixed(mk.p), TrendSentence(mk)),
            QStringLiteral("Sen の傾き = ") +
                (study.checks->senSlope ? ThreeSignificant(*study.checks->senSlope) + perYear
                                        : kUnavailable),
            QStringLiteral("Pettitt 検定：K = %1、変化点の年 = %2、p = %3　%4")
                .arg(pettitt.k)
                .arg(pettitt.year)
                .arg(fixed(pettitt.p), ChangePointSentence(pettitt))};
}
