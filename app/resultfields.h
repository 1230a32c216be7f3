#pragma once

#include "state/appstate.h"
#include "state/loading.h"
#include "statistics/distributioncomparison.h"
#include "statistics/fitmeasures.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <span>

// One analysed file as the batch run reports it: the figures of its study.
struct ResultSource {
    QString file;
    const AppState& state;
    DryWetValues dryWet;
    const FitMeasures& fit;
    // The candidate distributions, when asked for, and their bootstrap when it was run.
    const DistributionComparison* distributions;
    const BootstrapResult* bootstrap = nullptr;
};

// The results of the study in state; with distributions, its candidate distributions too.
ResultSource MakeResultSource(const QString& file, const AppState& state, bool distributions);

// A figure of the results: its name, its value for a file, and where it goes. The CSV's
// "records" is the count; the JSON's is the array of the records themselves. A value that is
// undefined is left out of the JSON object.
struct ResultColumn {
    const char* name;
    QJsonValue (*value)(const ResultSource&);
    bool inCsv;
    bool inJson;
};

// Every figure in its order: the CSV columns and the members of each JSON object. A new
// figure is one more row in this table.
std::span<const ResultColumn> ResultColumns();

QString ResultCsvHeader();
// Reals in their shortest exact form, the dry and wet values as the printed page's whole
// numbers, the file name quoted where it needs to be.
QString ResultCsvRow(const ResultSource& source);
// With the distributions, the object also holds "selection" and "distributions".
QJsonObject ResultJsonObject(const ResultSource& source);

// The CSV of the distributions: one row per file and model, in the models' order; with the
// bootstrap, its columns follow "problem".
QString DistributionCsvHeader(bool bootstrap = false);
QStringList DistributionCsvRows(const ResultSource& source);
