#include "comparison/comparisonchart.h"

#include "chart/probabilitypaper.h"
#include "formats/deviatetable.h"
#include "platform/widgets.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Margins in pixels: the probability labels on the left, the value labels and the axis title
// below.
constexpr double kLeft = 48;
constexpr double kRight = 16;
constexpr double kTop = 24;
constexpr double kBottom = 44;
constexpr int kTick = 4;
constexpr float kPointRadius = 3;

ProbabilityPaper ComparisonPaper(const AppState& state, QSizeF size) {
    const DecadeRange range = DecadesAround(state);
    const double top = DeviateAt(state.deviateTable, kProbabilityLines[14].p);
    const double bottom = DeviateAt(state.deviateTable, kProbabilityLines[0].p);
    PaperGeometry g;
    g.axisLeft = kLeft;
    g.axisLength = std::max(1.0, size.width() - kLeft - kRight);
    g.minExponent = range.minExponent;
    g.maxExponent = range.maxExponent;
    const double span = top - bottom;
    g.deviateUnit = std::max(1.0, size.height() - kTop - kBottom) / (span > 0 ? span : 1.0);
    g.medianY = kTop + top * g.deviateUnit;
    return ProbabilityPaper(g, state.deviateTable);
}

} // namespace

DecadeRange DecadesAround(const AppState& state) {
    double lowest = std::numeric_limits<double>::infinity();
    double highest = -lowest;
    const int count = std::clamp(state.study.series.recordCount, 0, kMaxRecords);
    for (int i = 0; i < count; ++i) {
        const double v = state.study.series.values[static_cast<size_t>(i)];
        if (std::isfinite(v) && v > 0) {
            lowest = std::min(lowest, v);
            highest = std::max(highest, v);
        }
    }
    if (!(lowest <= highest))
        return {};
    // A value on a power of ten sits on the axis end, inside the frame.
    DecadeRange range{static_cast<int>(std::floor(std::log10(lowest))),
                      static_cast<int>(std::ceil(std::log10(highest)))};
    range.minExponent = std::clamp(range.minExponent, -300, 300);
    range.maxExponent = std::clamp(range.maxExponent, range.minExponent + 1, 301);
    return range;
}

void DrawComparisonChart(const AppState& state, DrawingSurface& surface, QSizeF size,
                         const std::vector<ModelCurve>& curves) {
    const ProbabilityPaper paper = ComparisonPaper(state, size);
    const QRectF frame = paper.Frame();
    surface.SetDrawWidth(1);
    surface.SetDrawStyle(kDrawStyleSolid);
    surface.SetFontName(kFaceMincho);
    surface.SetFontSize(8);
    DrawProbabilityGrid(paper, surface, static_cast<int>(std::lround(frame.left())),
                        static_cast<int>(std::lround(frame.right())), kTick);
    DrawDecadeGrid(paper, surface, kTick);
    // The probability axis' caption above its labels, the value axis' title under its labels.
    const QString caption = QStringLiteral("非超過確率 (%)");
    surface.SetCurrentX(4);
    surface.SetCurrentY(static_cast<float>(std::max(0.0, frame.top() - 20)));
    surface.Print(caption);
    const QString title = state.settings.axisTitle;
    surface.SetCurrentX(
        static_cast<float>(frame.center().x() - double(surface.TextWidth(title)) / 2));
    surface.SetCurrentY(static_cast<float>(size.height() - 2 - surface.TextHeight(title)));
    surface.Print(title);

    // The curves under the points, solid and cut to the frame; the legend in the corner the
    // points leave clear.
    surface.SetDrawWidth(2);
    DrawModelCurves(paper, surface, curves);
    const QSizeF legend = CurveLegendSize(surface, curves, 24, 6);
    const double seriesX = paper.Position(state.study.analysis.logMean, 0).x();
    DrawCurveLegend(surface, curves, {LegendCorner(frame, seriesX, legend, 8), 1, 0, 24, 6});
    surface.SetDrawWidth(1);

    surface.SetFillStyle(kFillSolid);
    surface.SetFillColor(Qt::black);
    const int count = std::clamp(state.study.series.recordCount, 0, kMaxRecords);
    for (int i = 0; i < count; ++i) {
        const double v = state.study.analysis.logValues[static_cast<size_t>(i)];
        const double z = state.study.analysis.deviates[static_cast<size_t>(i)];
        if (std::isfinite(v) && std::isfinite(z)) {
            const QPointF at = paper.Position(v, z);
            surface.Circle(static_cast<float>(at.x()), static_cast<float>(at.y()), kPointRadius);
        }
    }
}

ComparisonChartView::ComparisonChartView(const AppState& state, QWidget* parent)
    : QWidget(parent)
    , state_(state) {
    setObjectName(QStringLiteral("ComparisonChart"));
    setMinimumSize(240, 240);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ComparisonChartView::SetCurves(std::vector<ModelCurve> curves) {
    curves_ = std::move(curves);
    update();
}

ChartPicture ComparisonChartView::Picture() const {
    // The chart's own shape, whatever the window's.
    const QSize pixels = kComparisonPictureSize;
    const AppState& state = state_;
    return ChartPicture{[&state, pixels, curves = curves_](DrawingSurface& surface) {
                            DrawComparisonChart(state, surface, QSizeF(pixels), curves);
                        },
                        QSizeF(pixels), pixels, kFaceMincho};
}

void ComparisonChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    PainterSurface surface(painter, QSizeF(size()), QSizeF(size()), 1, kFaceMincho);
    surface.Cls();
    if (state_.study.series.recordCount > 0)
        DrawComparisonChart(state_, surface, QSizeF(size()), curves_);
}
