#pragma once

#include "statistics/intensity.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

// The intensity figures as the command line and the window give them.

// "duration,minutes,model,slsc,T,depth,intensity,error,upper,problem".
QString IntensityDurationCsvHeader();
// One row per duration and period, the durations in the table's order; the model by its key,
// a figure that does not exist an empty field, the duration's problem on each of its rows.
QStringList IntensityDurationCsvRows(const IntensityStudy& study);

// "T,formula,a,b,n,rmse,max_rel_error,best,problem".
QString IntensityCsvHeader();
// One row per period and formula, the periods in order and the formulas in theirs; a constant
// the formula lacks and a figure that does not exist are empty fields, best is 1 or 0.
QStringList IntensityCsvRows(const IntensityStudy& study);
// {"durations": [...], "formulas": [...]}: every duration with its model, SLSC and periods, and
// the rows of the CSV as objects, null where a figure does not exist.
QJsonObject IntensityJsonObject(const IntensityStudy& study);
