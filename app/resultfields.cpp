#include "app/resultfields.h"

#include "formats/fieldreader.h"
#include "print/printedchart.h"
#include "statistics/numeric.h"

#include <QJsonArray>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A real as computed: the JSON writer and the CSV both give its shortest exact form.
QJsonValue Real(double value) {
    return QJsonValue(value);
}

// A dry or wet value as the printed page gives it, a whole number.
QJsonValue Printed(double value) {
    bool ok = false;
    const double whole = FormatPrintedResult(value).trimmed().toDouble(&ok);
    return ok ? QJsonValue(whole) : QJsonValue(QJsonValue::Null);
}

QJsonValue Records(const ResultSource& source) {
    const AppState& state = source.state;
    QJsonArray records;
    for (int i = 0; i < state.study.series.recordCount; ++i)
        records.append(QJsonObject{
            {QStringLiteral("year"), state.study.series.years[i]},
            {QStringLiteral("value"), Real(state.study.series.values[i])},
            {QStringLiteral("rank"), state.study.analysis.ranks[i]},
            {QStringLiteral("probability"), Real(state.study.analysis.probabilities[i])},
            {QStringLiteral("deviate"), Real(state.study.analysis.deviates[i])}});
    return records;
}

// A figure that may be unavailable: null in JSON, an empty CSV field. Unrounded, as computed.
QJsonValue Optional(const std::optional<double>& value) {
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

const ReturnPeriodValues& PeriodOf(const ResultSource& source, int years) {
    for (const ReturnPeriodValues& period : source.fit.periods)
        if (period.period == years)
            return period;
    return source.fit.periods.front();
}

QJsonValue Periods(const ResultSource& source) {
    QJsonArray periods;
    for (const ReturnPeriodValues& period : source.fit.periods)
        periods.append(QJsonObject{{QStringLiteral("T"), period.period},
                                   {QStringLiteral("dry"), period.dry},
                                   {QStringLiteral("wet"), period.wet},
                                   {QStringLiteral("se_dry"), Optional(period.dryError)},
                                   {QStringLiteral("se_wet"), Optional(period.wetError)},
                                   {QStringLiteral("extrapolation"), period.extrapolation}});
    return periods;
}

// The data checks, null below the records they need. Unrounded, as computed.
QJsonValue Checks(const ResultSource& source) {
    const std::optional<DataChecks>& checks = source.state.study.checks;
    if (!checks)
        return QJsonValue(QJsonValue::Null);
    const MannKendall& mk = checks->mannKendall;
    const Pettitt& pettitt = checks->pettitt;
    return QJsonObject{{QStringLiteral("mann_kendall"),
                        QJsonObject{{QStringLiteral("S"), static_cast<qint64>(mk.s)},
                                    {QStringLiteral("z"), mk.z},
                                    {QStringLiteral("p"), mk.p}}},
                       {QStringLiteral("sen_slope"), Optional(checks->senSlope)},
                       {QStringLiteral("pettitt"),
                        QJsonObject{{QStringLiteral("K"), static_cast<qint64>(pettitt.k)},
                                    {QStringLiteral("year"), pettitt.year},
                                    {QStringLiteral("p"), pettitt.p}}}};
}

QJsonValue Selection(const ResultSource& source) {
    if (!source.distributions)
        return QJsonValue(QJsonValue::Undefined);
    const DistributionComparison& c = *source.distributions;
    return QJsonObject{{QStringLiteral("target"), QString::fromLatin1(TargetKey(c.target))},
                       {QStringLiteral("select_by"), QString::fromLatin1(SelectionRuleKey(
                                                         source.state.study.settings.selectBy))},
                       {QStringLiteral("selected"),
                        c.selected ? QJsonValue(QString::fromLatin1(ModelKey(*c.selected)))
                                   : QJsonValue(QJsonValue::Null)}};
}

QJsonValue Bound(const std::optional<Interval>& interval, bool low) {
    if (!interval)
        return QJsonValue(QJsonValue::Null);
    return low ? interval->low : interval->high;
}

// The six bootstrap figures of one side of a period, under names starting with side.
void InsertBootstrapFigures(QJsonObject& period, const QString& side,
                            const BootstrapFigures& figures) {
    period.insert(side + QStringLiteral("_bootstrap_mean"), Optional(figures.mean));
    period.insert(side + QStringLiteral("_bootstrap_error"), Optional(figures.error));
    period.insert(side + QStringLiteral("_low"), Bound(figures.percentile, true));
    period.insert(side + QStringLiteral("_high"), Bound(figures.percentile, false));
    period.insert(side + QStringLiteral("_bca_low"), Bound(figures.bca, true));
    period.insert(side + QStringLiteral("_bca_high"), Bound(figures.bca, false));
}

QJsonObject BootstrapObject(const BootstrapSettings& settings, const ModelBootstrap& model) {
    return QJsonObject{
        {QStringLiteral("kind"), QString::fromLatin1(ResampleKindKey(settings.kind))},
        {QStringLiteral("replicates"), settings.replicates},
        {QStringLiteral("fitted"), model.fitted},
        // The JSON writer keeps integers up to 2^63 − 1 exact; a larger seed goes as its digits.
        {QStringLiteral("seed"),
         settings.seed <= static_cast<uint64_t>(std::numeric_limits<qint64>::max())
             ? QJsonValue(static_cast<qint64>(settings.seed))
             : QJsonValue(QString::number(settings.seed))},
        {QStringLiteral("level"), settings.level},
        {QStringLiteral("problem"),
         model.hasFigures() ? QJsonValue(QJsonValue::Null) : QJsonValue(model.problem)}};
}

QJsonObject ModelObject(const ModelComparison& row, const BootstrapResult* bootstrap) {
    const bool applicable = row.applicable();
    const ModelBootstrap* resampled = bootstrap ? &bootstrap->model(row.model.id()) : nullptr;
    QJsonObject parameters;
    for (const ModelParameter& p : row.model.parameters())
        parameters.insert(QString::fromLatin1(p.name), p.value);
    QJsonArray periods;
    for (const ReturnPeriodValues& p : row.periods) {
        auto value = [&](double v) {
            return applicable ? QJsonValue(v) : QJsonValue(QJsonValue::Null);
        };
        QJsonObject period{{QStringLiteral("T"), p.period},
                           {QStringLiteral("dry"), value(p.dry)},
                           {QStringLiteral("wet"), value(p.wet)},
                           {QStringLiteral("dry_jackknife"), Optional(p.dryJackknife)},
                           {QStringLiteral("wet_jackknife"), Optional(p.wetJackknife)},
                           {QStringLiteral("dry_error"), Optional(p.dryError)},
                           {QStringLiteral("wet_error"), Optional(p.wetError)}};
        if (resampled) {
            const BootstrapPeriod* figures = resampled->period(p.period);
            InsertBootstrapFigures(period, QStringLiteral("dry"), figures->dry);
            InsertBootstrapFigures(period, QStringLiteral("wet"), figures->wet);
        }
        periods.append(period);
    }
    QJsonObject object{{QStringLiteral("id"), QString::fromLatin1(ModelKey(row.model.id()))},
                       {QStringLiteral("name"), row.model.name()},
                       {QStringLiteral("applicable"), applicable},
                       {QStringLiteral("problem"), applicable ? QJsonValue(QJsonValue::Null)
                                                              : QJsonValue(row.model.problem())},
                       {QStringLiteral("parameters"), parameters},
                       {QStringLiteral("slsc"), Optional(row.slsc)},
                       {QStringLiteral("x_cor"), Optional(row.xCor)},
                       {QStringLiteral("passes"), row.passes},
                       {QStringLiteral("selected"), row.selected},
                       {QStringLiteral("periods"), periods}};
    if (resampled)
        object.insert(QStringLiteral("bootstrap"),
                      BootstrapObject(bootstrap->settings, *resampled));
    return object;
}

QJsonValue Distributions(const ResultSource& source) {
    if (!source.distributions)
        return QJsonValue(QJsonValue::Undefined);
    QJsonArray models;
    for (const ModelComparison& row : source.distributions->models)
        models.append(ModelObject(row, source.bootstrap));
    return models;
}

// The file's own largest or smallest value: 10^log10(x) is not always x again (1946 comes back
// as 1946.0000000000002).
double Extreme(const ResultSource& s, const double* (*pick)(const double*, const double*)) {
    const double* first = s.state.study.series.values.data();
    const double* last = first + std::clamp(s.state.study.series.recordCount, 0, kMaxRecords);
    return first == last ? NAN : *pick(first, last);
}

// 10^logMean, kept between the file's own extremes that 10^log10(x) may miss by a bit.
double GeometricMean(const ResultSource& s) {
    const double mean = std::pow(10.0, s.state.study.analysis.logMean);
    const double low = Extreme(s, std::min_element<const double*>);
    const double high = Extreme(s, std::max_element<const double*>);
    return low <= high ? std::clamp(mean, low, high) : mean;
}

using S = const ResultSource&;
const ResultColumn kColumns[] = {
    {"file", [](S s) { return QJsonValue(s.file); }, true, true},
    {"records", [](S s) { return QJsonValue(s.state.study.series.recordCount); }, true, false},
    {"alpha", [](S s) { return Real(s.state.settings.alpha); }, true, true},
    {"arith_mean", [](S s) { return Real(s.state.study.analysis.arithMean); }, true, true},
    {"geo_mean", [](S s) { return Real(GeometricMean(s)); }, true, true},
    {"max", [](S s) { return Real(Extreme(s, std::max_element<const double*>)); }, true, true},
    {"min", [](S s) { return Real(Extreme(s, std::min_element<const double*>)); }, true, true},
    {"log_mean", [](S s) { return Real(s.state.study.analysis.logMean); }, true, true},
    {"slope", [](S s) { return Real(s.state.study.analysis.slope); }, true, true},
    {"dry10", [](S s) { return Printed(s.dryWet.dry10); }, true, true},
    {"dry100", [](S s) { return Printed(s.dryWet.dry100); }, true, true},
    {"wet10", [](S s) { return Printed(s.dryWet.wet10); }, true, true},
    {"wet100", [](S s) { return Printed(s.dryWet.wet100); }, true, true},
    {"r", [](S s) { return Optional(s.fit.correlation); }, true, true},
    {"slsc", [](S s) { return Optional(s.fit.slsc); }, true, true},
    {"se_dry10", [](S s) { return Optional(PeriodOf(s, 10).dryError); }, true, false},
    {"se_dry100", [](S s) { return Optional(PeriodOf(s, 100).dryError); }, true, false},
    {"se_wet10", [](S s) { return Optional(PeriodOf(s, 10).wetError); }, true, false},
    {"se_wet100", [](S s) { return Optional(PeriodOf(s, 100).wetError); }, true, false},
    // The page's four values unrounded: below 10 its whole numbers say little (0 and 1).
    {"value_dry10", [](S s) { return Real(s.dryWet.dry10); }, true, true},
    {"value_dry100", [](S s) { return Real(s.dryWet.dry100); }, true, true},
    {"value_wet10", [](S s) { return Real(s.dryWet.wet10); }, true, true},
    {"value_wet100", [](S s) { return Real(s.dryWet.wet100); }, true, true},
    {"records", Records, false, true},
    {"periods", Periods, false, true},
    {"checks", Checks, false, true},
    {"selection", Selection, false, true},
    {"distributions", Distributions, false, true},
};

QString CsvField(const QJsonValue& value) {
    switch (value.type()) {
    case QJsonValue::Double:
        return ShortestReal(value.toDouble());
    case QJsonValue::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QJsonValue::String:
        return DelimitedField(value.toString());
    default:
        return {};
    }
}

} // namespace

ResultSource MakeResultSource(const QString& file, const AppState& state, bool distributions) {
    return {file,
            state,
            ComputeDryWetValues(state),
            state.study.paper,
            distributions ? &state.study.models : nullptr,
            distributions && state.study.bootstrap ? &*state.study.bootstrap : nullptr};
}

std::span<const ResultColumn> ResultColumns() {
    return kColumns;
}

QString ResultCsvHeader() {
    QStringList names;
    for (const ResultColumn& column : ResultColumns())
        if (column.inCsv)
            names << QString::fromLatin1(column.name);
    return names.join(QLatin1Char(','));
}

QString ResultCsvRow(const ResultSource& source) {
    QStringList fields;
    for (const ResultColumn& column : ResultColumns())
        if (column.inCsv)
            fields << CsvField(column.value(source));
    return fields.join(QLatin1Char(','));
}

QJsonObject ResultJsonObject(const ResultSource& source) {
    QJsonObject object;
    for (const ResultColumn& column : ResultColumns()) {
        if (!column.inJson)
            continue;
        const QJsonValue value = column.value(source);
        if (!value.isUndefined())
            object.insert(QString::fromLatin1(column.name), value);
    }
    return object;
}

namespace {

// One model of one file in the distributions' CSV.
struct ModelRow {
    const QString& file;
    const ModelComparison& model;
    const ResultSource& source;
    const ModelBootstrap* bootstrap = nullptr;
    IntervalKind interval = IntervalKind::Percentile;
};

QJsonValue Flag(bool value) {
    return QJsonValue(value ? 1 : 0);
}

// The fitted value of a target's period; nothing for a model that is not applicable.
QJsonValue TargetValue(const ModelComparison& row, Target target) {
    const ReturnPeriodValues* p = row.applicable() ? row.period(TargetPeriod(target)) : nullptr;
    if (!p)
        return QJsonValue(QJsonValue::Null);
    return TargetIsWet(target) ? p->wet : p->dry;
}

QJsonValue TargetJackknife(const ModelComparison& row, Target target) {
    const ReturnPeriodValues* p = row.applicable() ? row.period(TargetPeriod(target)) : nullptr;
    if (!p)
        return QJsonValue(QJsonValue::Null);
    return Optional(TargetIsWet(target) ? p->wetJackknife : p->dryJackknife);
}

using M = const ModelRow&;
struct DistributionColumn {
    const char* name;
    QJsonValue (*value)(M);
};
const DistributionColumn kDistributionColumns[] = {
    {"file", [](M m) { return QJsonValue(m.file); }},
    {"model", [](M m) { return QJsonValue(QString::fromLatin1(ModelKey(m.model.model.id()))); }},
    {"name", [](M m) { return QJsonValue(m.model.model.name()); }},
    {"applicable", [](M m) { return Flag(m.model.applicable()); }},
    {"slsc", [](M m) { return Optional(m.model.slsc); }},
    {"x_cor", [](M m) { return Optional(m.model.xCor); }},
    {"dry10", [](M m) { return TargetValue(m.model, Target::Dry10); }},
    {"dry100", [](M m) { return TargetValue(m.model, Target::Dry100); }},
    {"wet10", [](M m) { return TargetValue(m.model, Target::Wet10); }},
    {"wet100", [](M m) { return TargetValue(m.model, Target::Wet100); }},
    {"jk_dry10", [](M m) { return TargetJackknife(m.model, Target::Dry10); }},
    {"jk_dry100", [](M m) { return TargetJackknife(m.model, Target::Dry100); }},
    {"jk_wet10", [](M m) { return TargetJackknife(m.model, Target::Wet10); }},
    {"jk_wet100", [](M m) { return TargetJackknife(m.model, Target::Wet100); }},
    {"se_dry10", [](M m) { return Optional(m.model.targetError(Target::Dry10)); }},
    {"se_dry100", [](M m) { return Optional(m.model.targetError(Target::Dry100)); }},
    {"se_wet10", [](M m) { return Optional(m.model.targetError(Target::Wet10)); }},
    {"se_wet100", [](M m) { return Optional(m.model.targetError(Target::Wet100)); }},
    {"passes", [](M m) { return Flag(m.model.passes); }},
    {"selected", [](M m) { return Flag(m.model.selected); }},
    // One line per row: a reason of several lines is joined.
    {"problem",
     [](M m) {
         return m.model.applicable()
                    ? QJsonValue(QJsonValue::Null)
                    : QJsonValue(
                          m.model.model.problem().split(QLatin1Char('\n')).join(QLatin1Char(' ')));
     }},
};

// What the row was computed from, so that a row copied on its own still says it: the last
// columns, after the bootstrap's when it was run.
const DistributionColumn kContextColumns[] = {
    {"records", [](M m) { return QJsonValue(m.source.state.study.series.recordCount); }},
    {"alpha", [](M m) { return Real(m.source.distributions->alpha); }},
    {"target",
     [](M m) {
         return QJsonValue(QString::fromLatin1(TargetKey(m.source.distributions->target)));
     }},
};

// The bootstrap figures of a target's value; nothing where they do not exist.
const BootstrapFigures* TargetFigures(M m, Target target) {
    if (!m.bootstrap || !m.bootstrap->hasFigures())
        return nullptr;
    const BootstrapPeriod* p = m.bootstrap->period(TargetPeriod(target));
    return TargetIsWet(target) ? &p->wet : &p->dry;
}

QJsonValue TargetBootstrapError(M m, Target target) {
    const BootstrapFigures* f = TargetFigures(m, target);
    return f ? Optional(f->error) : QJsonValue(QJsonValue::Null);
}

QJsonValue TargetBound(M m, Target target, bool low) {
    const BootstrapFigures* f = TargetFigures(m, target);
    return f ? Bound(f->interval(m.interval), low) : QJsonValue(QJsonValue::Null);
}

const DistributionColumn kBootstrapColumns[] = {
    {"bs_fitted", [](M m) { return m.bootstrap ? QJsonValue(m.bootstrap->fitted) : QJsonValue(); }},
    {"bse_dry10", [](M m) { return TargetBootstrapError(m, Target::Dry10); }},
    {"bse_dry100", [](M m) { return TargetBootstrapError(m, Target::Dry100); }},
    {"bse_wet10", [](M m) { return TargetBootstrapError(m, Target::Wet10); }},
    {"bse_wet100", [](M m) { return TargetBootstrapError(m, Target::Wet100); }},
    {"low_dry10", [](M m) { return TargetBound(m, Target::Dry10, true); }},
    {"high_dry10", [](M m) { return TargetBound(m, Target::Dry10, false); }},
    {"low_dry100", [](M m) { return TargetBound(m, Target::Dry100, true); }},
    {"high_dry100", [](M m) { return TargetBound(m, Target::Dry100, false); }},
    {"low_wet10", [](M m) { return TargetBound(m, Target::Wet10, true); }},
    {"high_wet10", [](M m) { return TargetBound(m, Target::Wet10, false); }},
    {"low_wet100", [](M m) { return TargetBound(m, Target::Wet100, true); }},
    {"high_wet100", [](M m) { return TargetBound(m, Target::Wet100, false); }},
};

// The columns of the distributions' CSV, the bootstrap's when it was run.
std::vector<const DistributionColumn*> DistributionColumns(bool bootstrap) {
    std::vector<const DistributionColumn*> columns;
    for (const DistributionColumn& column : kDistributionColumns)
        columns.push_back(&column);
    if (bootstrap)
        for (const DistributionColumn& column : kBootstrapColumns)
            columns.push_back(&column);
    for (const DistributionColumn& column : kContextColumns)
        columns.push_back(&column);
    return columns;
}

} // namespace

QString DistributionCsvHeader(bool bootstrap) {
    QStringList names;
    for (const DistributionColumn* column : DistributionColumns(bootstrap))
        names << QString::fromLatin1(column->name);
    return names.join(QLatin1Char(','));
}

QStringList DistributionCsvRows(const ResultSource& source) {
    QStringList rows;
    if (!source.distributions)
        return rows;
    const std::vector<const DistributionColumn*> columns = DistributionColumns(source.bootstrap);
    for (const ModelComparison& model : source.distributions->models) {
        const ModelRow row{source.file, model, source,
                           source.bootstrap ? &source.bootstrap->model(model.model.id()) : nullptr,
                           source.bootstrap ? source.bootstrap->settings.interval
                                            : IntervalKind::Percentile};
        QStringList fields;
        for (const DistributionColumn* column : columns)
            fields << CsvField(column->value(row));
        rows << fields.join(QLatin1Char(','));
    }
    return rows;
}
