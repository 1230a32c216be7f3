#pragma once

#include "statistics/deviates.h"
#include "statistics/seriesdata.h"

#include <QByteArrayView>
#include <QString>

inline const QString kDeviateTableFileName = QStringLiteral("ndlist.txt");

// Reads the table file at path into table, which changes only when the whole table is good.
// The file must be a regular file of at most kLargestInputFile bytes. Throws DataError naming
// the file and the problem.
void ReadDeviateTableFile(const QString& path, DeviateTable& table);

// Parses the table text into elements 0..499 of table (the rest are set to 0). The 500 numbers
// must be finite, none below 0, none below the one before and not all equal; otherwise DataError
// names the element and the problem, and table is left as it was.
void ParseDeviateTable(QByteArrayView bytes, DeviateTable& table);

