#pragma once

#include "chart/drawingsurface.h"
#include "state/appstate.h"

#include <QString>

#include <cstdint>
#include <optional>

// The printed page works on a grid of tenths of a millimetre: the value axis runs from u = 400
// to 1900, the 50 % line lies at v = 1200 and one standard deviate is 300.
inline constexpr double kPrintAxisLeft = 400;
inline constexpr double kPrintAxisLength = 1500;
inline constexpr double kPrintMedianLine = 1200;
inline constexpr double kPrintDeviateUnit = 300;

// Page position in millimetres of the design point (u, v), shifted by the print offsets
// (printOffsetY is positive upward).
double PrintPageX(const AppState& state, double u);
double PrintPageY(const AppState& state, double v);

// The probability grid with its labels and caption, the decade lines with their values and
// dotted minor lines, the axis title, the year note and, in analysis mode 2, the results
// block. The scale must span at least one decade.
void DrawPrintedChart(const AppState& state, DrawingSurface& surface);

// Year labels, the points as small black discs and, in analysis modes 1 and 2, the fitted
// line, drawn over the chart.
void DrawPrintedPoints(const AppState& state, DrawingSurface& surface);

// A result of the results block: the value rounded to a whole number, padded with blanks in
// front so that numbers below 10000 take four characters (" 631", "   7", "12345"). From 10^15
// on the default real-to-text form ("1E+15").
QString FormatPrintedResult(double value);

// The label beside a printed point: the last two characters of the year (1999 "99",
// 2000 "00", 7 "7").
QString PrintedYearLabel(int32_t year);

// With the error band asked for and the fitted line printed: the fitted values plus and minus
// one jackknife standard error, as two black dashed curves inside the grid.
void DrawPrintedBand(const AppState& state, DrawingSurface& surface);

// With the compared curves asked for: the ticked models' curves, cut to the grid, each in its
// colour and a dash pattern of its own so a page printed in black still tells them apart, with a
// legend of their names under the results block. The pen and font are left as they were found.
void DrawPrintedCurves(const AppState& state, DrawingSurface& surface);

// With the interval asked for and the bootstrap run: the selected (or highlighted) model's
// interval as two dotted curves in its colour, cut to the grid, and a legend line saying which
// model and interval, B, seed and level, under the curves' legend.
void DrawPrintedInterval(const AppState& state, DrawingSurface& surface);

// The design point where the legend of the curves starts, under the results block.
inline constexpr double kPrintLegendTop = 2650;

struct PrintedLineEnds {
    double xa, ya, xb, yb; // whole millimetres
};
// The fitted line from deviate +3 to -3, cut at the ends of the value axis and rounded to
// whole millimetres. A line reaching far off the sheet is clipped before rounding to a generous
// square of the design grid (kCoordinateLimit). Nothing when the line is level and lies wholly
// beyond the axis, or misses that square.
std::optional<PrintedLineEnds> PrintedRegressionLine(const AppState& state);
