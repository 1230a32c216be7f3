#pragma once

#include "statistics/seriesdata.h"

#include <QByteArrayView>
#include <QString>

// Parses annual (year, value) records. Throws DataError with the line and the problem.
SeriesData ParseDataFile(QByteArrayView bytes);

// Reads and parses a file. Throws DataError naming the file, the line and the problem.
SeriesData ReadDataFile(const QString& path);
