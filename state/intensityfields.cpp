#include "state/intensityfields.h"

#include "formats/fieldreader.h"
#include "statistics/numeric.h"

#include <QJsonArray>

namespace {

QJsonValue Optional(const std::optional<double>& value) {
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

QString Field(const std::optional<double>& value) {
    return value ? ShortestReal(*value) : QString();
}

QJsonObject DurationObject(const DurationRainfall& d) {
    QJsonArray periods;
    for (const RainfallPeriod& p : d.periods)
        periods.append(QJsonObject{{QStringLiteral("T"), p.period},
                                   {QStringLiteral("depth"), Optional(p.depth)},
                                   {QStringLiteral("intensity"), Optional(p.intensity)},
                                   {QStringLiteral("error"), Optional(p.error)},
                                   {QStringLiteral("upper"), Optional(p.upper)}});
    return QJsonObject{
        {QStringLiteral("duration"), d.label},
        {QStringLiteral("minutes"), d.minutes},
        {QStringLiteral("model"), d.model ? QJsonValue(QString::fromLatin1(ModelKey(*d.model)))
                                          : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("slsc"), Optional(d.slsc)},
        {QStringLiteral("periods"), periods}};
}

} // namespace

QString IntensityDurationCsvHeader() {
    return QStringLiteral("duration,minutes,model,slsc,T,depth,intensity,error,upper,problem");
}

QStringList IntensityDurationCsvRows(const IntensityStudy& study) {
    QStringList rows;
    for (const DurationRainfall& d : study.durations)
        for (const RainfallPeriod& p : d.periods)
            rows << QStringList{DelimitedField(d.label),
                                QString::number(d.minutes),
                                d.model ? QString::fromLatin1(ModelKey(*d.model)) : QString(),
                                Field(d.slsc),
                                QString::number(p.period),
                                Field(p.depth),
                                Field(p.intensity),
                                Field(p.error),
                                Field(p.upper),
                                DelimitedField(d.problem)}
                        .join(QLatin1Char(','));
    return rows;
}

QString IntensityCsvHeader() {
    return QStringLiteral("T,formula,a,b,n,rmse,max_rel_error,best,problem");
}

QStringList IntensityCsvRows(const IntensityStudy& study) {
    QStringList rows;
    for (const PeriodFormulas& period : study.formulas)
        for (const FormulaFit& fit : period.fits)
            rows << QStringList{QString::number(period.period),
                                QString::fromLatin1(IntensityFormulaKey(fit.formula)),
                                Field(fit.a),
                                Field(fit.b),
                                Field(fit.n),
                                Field(fit.rmse),
                                Field(fit.maxRelativeError),
                                fit.best ? QStringLiteral("1") : QStringLiteral("0"),
                                DelimitedField(fit.problem)}
                        .join(QLatin1Char(','));
    return rows;
}

QJsonObject IntensityJsonObject(const IntensityStudy& study) {
    QJsonArray durations;
    for (const DurationRainfall& d : study.durations)
        durations.append(DurationObject(d));
    QJsonArray formulas;
    for (const PeriodFormulas& period : study.formulas)
        for (const FormulaFit& fit : period.fits)
            formulas.append(QJsonObject{
                {QStringLiteral("T"), period.period},
                {QStringLiteral("formula"), QString::fromLatin1(IntensityFormulaKey(fit.formula))},
                {QStringLiteral("a"), Optional(fit.a)},
                {QStringLiteral("b"), Optional(fit.b)},
                {QStringLiteral("n"), Optional(fit.n)},
                {QStringLiteral("rmse"), Optional(fit.rmse)},
                {QStringLiteral("max_rel_error"), Optional(fit.maxRelativeError)},
                {QStringLiteral("best"), fit.best},
                {QStringLiteral("problem"),
                 fit.applicable() ? QJsonValue(QJsonValue::Null) : QJsonValue(fit.problem)}});
    return QJsonObject{{QStringLiteral("durations"), durations},
                       {QStringLiteral("formulas"), formulas}};
}
