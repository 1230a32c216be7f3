#include "app/resultfields.h"

#include "print/printedchart.h"
#include "statistics/numeric.h"

#include <QJsonArray>
#include <QStringList>
#include <algorithm>
#include <cmath>

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

QJsonValue Selection(const ResultSource& source) {
    if (!source.distributions)
        return QJsonValue(QJsonValue::Undefined);
    const DistributionComparison& c = *source.distributions;
    return QJsonObject{{QStringLiteral("target"), QString::fromLatin1(TargetKey(c.target))},
                       {QStringLiteral("selected"),
                        c.selected ? QJsonValue(QString::fromLatin1(ModelKey(*c.selected)))
                                   : QJsonValue(QJsonValue::Null)}};
}

QJsonObject ModelObject(const ModelComparison& row) {
    const bool applicable = row.applicable();
    QJsonObject parameters;
    for (const ModelParameter& p : row.model.parameters())
        parameters.insert(QString::fromLatin1(p.name), p.value);
    QJsonArray periods;
    for (const ReturnPeriodValues& p : row.periods) {
        auto value = [&](double v) {
            return applicable ? QJsonValue(v) : QJsonValue(QJsonValue::Null);
        };
        periods.append(QJsonObject{{QStringLiteral("T"), p.period},
                                   {QStringLiteral("dry"), value(p.dry)},
                                   {QStringLiteral("wet"), value(p.wet)},
                                   {QStringLiteral("dry_jackknife"), Optional(p.dryJackknife)},
                                   {QStringLiteral("wet_jackknife"), Optional(p.wetJackknife)},
                                   {QStringLiteral("dry_error"), Optional(p.dryError)},
                                   {QStringLiteral("wet_error"), Optional(p.wetError)}});
    }
    return QJsonObject{{QStringLiteral("id"), QString::fromLatin1(ModelKey(row.model.id()))},
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
}

QJsonValue Distributions(const ResultSource& source) {
    if (!source.distributions)
        return QJsonValue(QJsonValue::Undefined);
    QJsonArray models;
    for (const ModelComparison& row : source.distributions->models)
        models.append(ModelObject(row));
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
    {"selection", Selection, false, true},
    {"distributions", Distributions, false, true},
};

QString CsvField(const QJsonValue& value) {
    switch (value.type()) {
    case QJsonValue::Double:
        return ShortestReal(value.toDouble());
    case QJsonValue::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QJsonValue::String: {
        QString text = value.toString();
        if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
            !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
            return text;
        text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
        return QLatin1Char('"') + text + QLatin1Char('"');
    }
    default:
        return {};
    }
}

} // namespace

ResultSource MakeResultSource(const QString& file, const AppState& state, bool distributions) {
    return {file, state, ComputeDryWetValues(state), state.study.paper,
            distributions ? &state.study.models : nullptr};
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
    // What the row was computed from, so that a row copied on its own still says it.
    {"records", [](M m) { return QJsonValue(m.source.state.study.series.recordCount); }},
    {"alpha", [](M m) { return Real(m.source.distributions->alpha); }},
    {"target",
     [](M m) {
         return QJsonValue(QString::fromLatin1(TargetKey(m.source.distributions->target)));
     }},
};

} // namespace

QString DistributionCsvHeader() {
    QStringList names;
    for (const DistributionColumn& column : kDistributionColumns)
        names << QString::fromLatin1(column.name);
    return names.join(QLatin1Char(','));
}

QStringList DistributionCsvRows(const ResultSource& source) {
    QStringList rows;
    if (!source.distributions)
        return rows;
    for (const ModelComparison& model : source.distributions->models) {
        const ModelRow row{source.file, model, source};
        QStringList fields;
        for (const DistributionColumn& column : kDistributionColumns)
            fields << CsvField(column.value(row));
        rows << fields.join(QLatin1Char(','));
    }
    return rows;
}
