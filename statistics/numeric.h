#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <string_view>

// Rounds to the nearest whole number, ties to even (2.5 gives 2, 3.5 gives 4).
// Leaves the upper halves of the AVX registers clean on a processor that has them. Some
// library the window's platform loads runs AVX code and returns with them dirty; every SSE
// instruction after that, in this thread and in each thread it starts, then pays a transition
// penalty, which made the models' fits twenty times slower. Called where a thread starts
// computing, it costs a cycle; elsewhere it does nothing.
void ClearUpperVectorState();

double RoundHalfEven(double a);

// R(): the one conversion from a real to a 32-bit integer. Throws DataError when the rounded
// value does not fit.
int32_t R(double a);

// The default real-to-text form: shortest general form with at most 15 significant digits,
// no grouping, "." as decimal point (0.5, 1000, 0.333333333333333, 1E+20).
QString FormatReal(double a);

// The shortest text that reads back as the same double, for output read by programs
// ("0.1", "2158.496730298151", "1e+20"); "." whatever the locale, and "0" for -0.
QString ShortestReal(double a);

// A plain decimal ("-12.5e3", no blanks) read with "." whatever the C locale. Beyond the double's
// range it gives infinity with the sign, below it zero; text that is no number gives 0.
double ReadDecimal(std::string_view number);
// True when a plain decimal is too large for a double rather than too small.
bool DecimalOverflows(std::string_view number);

// 10 to a whole power in the default form: the scale values 0.1, 1, 10 ... 100000.
QString PowerOfTenText(int exponent);

// Reads the number at the start of a text the way the settings boxes are read: blanks, tabs
// and line feeds anywhere are ignored, then an optional sign, digits, one decimal point and an
// optional exponent; reading stops at the first character that cannot continue the number.
// Full-width digits and signs count as their ASCII forms. No number at the start gives 0.
double ReadNumericPrefix(QStringView text);
