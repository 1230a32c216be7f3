#pragma once

#include "analysis/appstate.h"

#include <QString>

inline const QString kDeviateTableFileName = QStringLiteral("ndlist.txt");

// Reads the first 500 numbers of ndlist.txt into deviateTable[0..499]; elements 500..512 are
// left at 0. The file is the first found of startDirectory/ndlist.txt and the installed copies
// by executableDirectory (FindDeviateTablePath). Throws DataError naming the condition (no file,
// naming every path tried; too few numbers).
void LoadDeviateTable(AppState& state, const QString& executableDirectory = QString());

// Parses the table text into elements 0..499 of table (the rest are set to 0).
void ParseDeviateTable(QByteArrayView bytes, DeviateTable& table);

// Standard normal deviate of probability p by lookup in steps of 0.001 on either side of 0.5.
// Throws DataError when the index leaves 0..512.
double DeviateAt(const DeviateTable& table, double p);
