#pragma once

#include "analysis/appstate.h"

#include <QString>

inline const QString kDeviateTableFileName = QStringLiteral("ndlist.txt");

// Reads ndlist.txt into deviateTable[0..499]; elements 500..512 are left at 0. The file is the
// first found of startDirectory/ndlist.txt and the installed copies by executableDirectory
// (FindDeviateTablePath). Throws DataError naming the condition (no file, naming every path
// tried; or what ReadDeviateTableFile finds wrong).
void LoadDeviateTable(AppState& state, const QString& executableDirectory = QString());

// Reads the table file at path into table, which changes only when the whole table is good.
// The file must be a regular file of at most kLargestInputFile bytes. Throws DataError naming
// the file and the problem.
void ReadDeviateTableFile(const QString& path, DeviateTable& table);

// Parses the table text into elements 0..499 of table (the rest are set to 0). The 500 numbers
// must be finite, none below 0, none below the one before and not all equal; otherwise DataError
// names the element and the problem, and table is left as it was.
void ParseDeviateTable(QByteArrayView bytes, DeviateTable& table);

// Standard normal deviate of probability p by lookup in steps of 0.001 on either side of 0.5.
// Throws DataError when the index leaves 0..512.
double DeviateAt(const DeviateTable& table, double p);
