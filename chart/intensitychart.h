#pragma once

#include "chart/drawingsurface.h"
#include "statistics/intensity.h"

#include <QRectF>

#include <optional>

// The log-log chart of the T-year intensities against duration: the screen window and the
// printed page draw it alike.

// The axes: duration in minutes across, intensity in mm/h up, each from the largest m·10^k
// (m = 1 … 9) at or below the smallest T-year value the study has to the smallest at or above
// the largest, so the points fill the chart; 10 to 1000 minutes and 1 to 100 mm/h when it has
// none.
struct IntensityAxes {
    double minMinutes = 10;
    double maxMinutes = 1000;
    double minIntensity = 1;
    double maxIntensity = 100;
};
IntensityAxes IntensityAxesOf(const IntensityStudy& study);

// The colour of a period's points and curve, the same in every chart and legend.
QColor PeriodColour(size_t periodIndex);

// The chart within frame (in the surface's units): decade grid lines with their labels, the
// points of every period (filled for the durations fitted, open for the others), the curves of
// formula (nothing: the best formula of each period) over the durations fitted, cut to the
// axes, and a legend naming each period and the formula. unit is the surface's length of one
// screen pixel (1 on the screen, about 0.265 on a page in millimetres): margins, gaps and points
// are laid out in it, text by its point size.
void DrawIntensityChart(const IntensityStudy& study, std::optional<IntensityFormula> formula,
                        DrawingSurface& surface, const QRectF& frame, double unit = 1);

// The area the axes take inside frame: frame less the room of the labels and titles.
QRectF IntensityPlotArea(const QRectF& frame, double unit = 1);
