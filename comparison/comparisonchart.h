#pragma once

#include "chart/chartimage.h"
#include "chart/drawingsurface.h"
#include "chart/modelcurves.h"
#include "state/appstate.h"
#include "statistics/distributions.h"

#include <QSize>
#include <QSizeF>
#include <QWidget>

// The value axis of the comparison: whole decades around the smallest and largest value, at
// least one; 1 to 10 (exponents 0 and 1) when the series has no positive value.
struct DecadeRange {
    int minExponent = 0;
    int maxExponent = 1;
};
DecadeRange DecadesAround(const AppState& state);

// The comparison's chart drawn in the surface's own pixels, `size` of them: the probability
// paper filling the area, its probability axis the main chart's and its value axis the series'
// decades, with the series' points, the curves cut to the frame and their legend.
void DrawComparisonChart(const AppState& state, DrawingSurface& surface, QSizeF size,
                         const std::vector<ModelCurve>& curves = {});

// The size, in screen pixels, the chart is laid out at for an image: four by three, like a
// figure of a report.
inline constexpr QSize kComparisonPictureSize(800, 600);

// The chart as a widget that fills what its window gives it. Painting only draws what is
// already worked out, so a resize never refits anything.
class ComparisonChartView : public QWidget {
    Q_OBJECT
public:
    explicit ComparisonChartView(const AppState& state, QWidget* parent = nullptr);
    // The curves to draw; the models stay owned by the window.
    void SetCurves(std::vector<ModelCurve> curves);
    // The chart as saved and copied: laid out at kComparisonPictureSize, whatever the window's
    // shape.
    ChartPicture Picture() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const AppState& state_;
    std::vector<ModelCurve> curves_;
};
