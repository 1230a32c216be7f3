#pragma once

#include "analysis/appstate.h"

#include <QByteArrayView>
#include <QString>

// A series as read from an annual data file, before it replaces the one in AppState.
struct SeriesData {
    int32_t recordCount = 0;
    std::array<int32_t, kMaxRecords> years{};
    std::array<double, kMaxRecords> values{};
};

// Parses annual (year, value) records. Throws DataError with the line and the problem.
SeriesData ParseDataFile(QByteArrayView bytes);

// Reads and parses a file. Throws DataError naming the file, the line and the problem.
SeriesData ReadDataFile(const QString& path);
