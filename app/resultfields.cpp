#include "app/resultfields.h"

#include "analysis/numeric.h"
#include "print/printedchart.h"

#include <QJsonArray>
#include <QStringList>

namespace {

// A box's text as a number; the box shows the default real-to-text form already.
QJsonValue Box(const QString& text) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? QJsonValue(value) : QJsonValue(QJsonValue::Null);
}

// A real as the boxes show it, so the CSV and the JSON give the same digits.
QJsonValue Real(double value) {
    return Box(FormatReal(value));
}

// A dry or wet value as the printed page gives it.
QJsonValue Printed(double value) {
    return Box(FormatPrintedResult(value).trimmed());
}

QJsonValue Records(const ResultSource& source) {
    const AppState& state = source.state;
    QJsonArray records;
    for (int i = 0; i < state.series.recordCount; ++i)
        records.append(
            QJsonObject{{QStringLiteral("year"), state.series.years[i]},
                        {QStringLiteral("value"), Real(state.series.values[i])},
                        {QStringLiteral("rank"), state.analysis.ranks[i]},
                        {QStringLiteral("probability"), Real(state.analysis.probabilities[i])},
                        {QStringLiteral("deviate"), Real(state.analysis.deviates[i])}});
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

using S = const ResultSource&;
const ResultColumn kColumns[] = {
    {"file", [](S s) { return QJsonValue(s.file); }, true, true},
    {"records", [](S s) { return QJsonValue(s.state.series.recordCount); }, true, false},
    {"alpha", [](S s) { return Real(s.state.settings.alpha); }, true, true},
    {"arith_mean", [](S s) { return Box(s.boxes.arithMean); }, true, true},
    {"geo_mean", [](S s) { return Box(s.boxes.geoMean); }, true, true},
    {"max", [](S s) { return Box(s.boxes.maximum); }, true, true},
    {"min", [](S s) { return Box(s.boxes.minimum); }, true, true},
    {"log_mean", [](S s) { return Real(s.state.analysis.logMean); }, true, true},
    {"slope", [](S s) { return Real(s.state.analysis.slope); }, true, true},
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
    {"records", Records, false, true},
    {"periods", Periods, false, true},
};

QString CsvField(const QJsonValue& value) {
    switch (value.type()) {
    case QJsonValue::Double:
        return FormatReal(value.toDouble());
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

ResultSource MakeResultSource(const QString& file, const AppState& state,
                              const ResultTexts& boxes) {
    return ResultSource{file, state, boxes, ComputeDryWetValues(state), ComputeFitMeasures(state)};
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
    for (const ResultColumn& column : ResultColumns())
        if (column.inJson)
            object.insert(QString::fromLatin1(column.name), column.value(source));
    return object;
}
