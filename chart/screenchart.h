#pragma once

#include "chart/drawingsurface.h"
#include "state/appstate.h"

// The chart on the 4000 x 5000 screen scale: the probability paper, the compared models' curves
// when asked for, then the points and, in analysis modes 1 and 2, the fitted line. The scale must
// span at least one decade.
void DrawScreenChart(const AppState& state, DrawingSurface& surface);
void DrawScreenAxes(const AppState& state, DrawingSurface& surface);
void DrawScreenPoints(const AppState& state, DrawingSurface& surface);
// With the error band asked for and the fitted line shown: the fitted values plus and minus one
// jackknife standard error, as two red dashed curves inside the frame.
void DrawScreenBand(const AppState& state, DrawingSurface& surface);
// The bootstrap interval of the selected (or highlighted) model, two dotted curves in its colour,
// apart from the models' solid and dashed ones.
void DrawScreenInterval(const AppState& state, DrawingSurface& surface);
// With the compared curves asked for: the ticked models' curves in their colours, cut to the
// frame, and their short names in a legend in the corner of the frame the points leave clear.
void DrawScreenCurves(const AppState& state, DrawingSurface& surface);
