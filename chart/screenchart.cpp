#include "chart/screenchart.h"

#include "chart/modelcurves.h"
#include "chart/probabilitypaper.h"
#include "platform/widgets.h"
#include "statistics/distributions.h"
#include "statistics/fitmeasures.h"
#include "statistics/numeric.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// The plot frame on the 4000 x 5000 scale: the value axis runs over 3000 units from x = 700,
// one deviate is 700 units with the median at y = 2300.
constexpr int kFrameLeft = 700;
constexpr int kFrameWidth = 3000;
constexpr int kTickLength = 30;
constexpr float kPointRadius = 20;
// A legend's stroke and the space after it.
constexpr double kLegendSample = 200;
constexpr double kLegendGap = 50;

struct Caption {
    const char* text;
    int x;
    int y;
};

// "Non-exceedance probability" spelt downwards, then the unit.
constexpr Caption kCaption[] = {
    {"非", 100, 1000}, {"超", 100, 1500}, {"過", 100, 2000},
    {"確", 100, 2500}, {"率", 100, 3000}, {"(%)", 70, 3500},
};

int Decades(const AppState& state) {
    return state.settings.scaleMaxIndex - state.settings.scaleMinIndex;
}

// Offsets from the frame's left edge and the median line, at whole units.
ProbabilityPaper ScreenPaper(const AppState& state) {
    PaperGeometry g;
    g.axisLength = kFrameWidth;
    g.minExponent = state.settings.scaleMinIndex;
    g.maxExponent = state.settings.scaleMaxIndex;
    g.deviateUnit = 700;
    g.surfaceOrigin = QPointF(kFrameLeft, 2300);
    g.wholeUnits = true;
    return ProbabilityPaper(g, state.deviateTable);
}

float F(double v) {
    return static_cast<float>(v);
}

} // namespace

void DrawScreenAxes(const AppState& state, DrawingSurface& surface) {
    const ProbabilityPaper paper = ScreenPaper(state);
    surface.SetFontSize(8);
    surface.SetFontName(kFaceMincho);
    surface.SetFontSize(8);

    DrawProbabilityGrid(paper, surface, kFrameLeft, kFrameLeft + kFrameWidth, kTickLength);

    surface.SetFontSize(9);
    for (const Caption& caption : kCaption) {
        surface.SetCurrentX(caption.x);
        surface.SetCurrentY(caption.y);
        surface.Print(QString::fromUtf8(caption.text));
    }

    surface.SetFontSize(8);
    DrawDecadeGrid(paper, surface, kTickLength);

    // The title is centred for its width at 8 points but printed at 9, so it sits a little right
    // of the middle.
    const int titleWidth = R(surface.TextWidth(state.settings.axisTitle));
    surface.SetCurrentX(static_cast<float>(kFrameLeft + (kFrameWidth - titleWidth) / 2.0));
    surface.SetCurrentY(4800);
    surface.SetFontSize(9);
    surface.Print(state.settings.axisTitle);
}

void DrawScreenPoints(const AppState& state, DrawingSurface& surface) {
    surface.SetFillStyle(kFillSolid);
    // Without a decade there is no value axis to place anything on.
    if (Decades(state) <= 0)
        return;
    const ProbabilityPaper paper = ScreenPaper(state);

    const int count = std::clamp(state.study.series.recordCount, 0, kMaxRecords);
    for (int i = 0; i < count; ++i) {
        const double v = state.study.analysis.logValues[static_cast<size_t>(i)];
        const double z = state.study.analysis.deviates[static_cast<size_t>(i)];
        // No clipping to the frame: a value off the scale is drawn where the mapping puts it.
        if (std::isfinite(v) && std::isfinite(z)) {
            const QPointF at = paper.MarkPosition(v, z);
            surface.Circle(F(at.x()), F(at.y()), kPointRadius);
        }
    }

    if (state.settings.analysisMode < 1)
        return;
    const std::optional<QLineF> line =
        paper.FittedLine(state.study.analysis.logMean, state.study.analysis.slope);
    if (!line)
        return;
    surface.SetDrawWidth(1);
    surface.Line(F(line->x1()), F(line->y1()), F(line->x2()), F(line->y2()), QBColor(12));
}

void DrawScreenBand(const AppState& state, DrawingSurface& surface) {
    if (!state.settings.showErrorBand || state.settings.analysisMode < 1 || Decades(state) <= 0)
        return;
    const std::optional<ErrorBand> band = ErrorBandCurves(state.study.paper);
    if (!band)
        return;
    // Unrounded positions: the curve bends at every return period and should not zigzag.
    const ProbabilityPaper paper = ScreenPaper(state);
    surface.SetDrawWidth(1);
    surface.SetDrawStyle(kDrawStyleSolid);
    for (const BandCurve* curve : {&band->lower, &band->upper})
        paper.DrawDashedCurve(surface, *curve, 60, 40, QBColor(12));
}

void DrawScreenInterval(const AppState& state, DrawingSurface& surface) {
    if (Decades(state) <= 0)
        return;
    const std::optional<ShownInterval> interval = ShownIntervalOf(state);
    if (!interval)
        return;
    const ProbabilityPaper paper = ScreenPaper(state);
    surface.SetDrawWidth(1);
    surface.SetDrawStyle(kDrawStyleSolid);
    for (const Curve* curve : {&interval->band->low, &interval->band->high})
        paper.DrawDashedCurve(surface, *curve, 15, 45, ModelColour(interval->model));
}

void DrawScreenCurves(const AppState& state, DrawingSurface& surface) {
    if (Decades(state) <= 0)
        return;
    const std::vector<const ModelComparison*> models = ShownCurveModels(state);
    if (models.empty())
        return;
    std::vector<ModelCurve> curves;
    for (const ModelComparison* row : models) {
        const ModelId id = row->model.id();
        curves.push_back({&row->curve, ModelPen(id, 90, 45), ModelShortName(id)});
    }
    const ProbabilityPaper paper = ScreenPaper(state);
    const QRectF frame = paper.Frame();
    const float fontSize = surface.FontSize();
    surface.SetDrawWidth(1);
    surface.SetDrawStyle(kDrawStyleSolid);
    DrawModelCurves(paper, surface, curves);
    surface.SetFontSize(8);
    const QSizeF size = CurveLegendSize(surface, curves, kLegendSample, kLegendGap);
    const double seriesX = paper.Position(state.study.analysis.logMean, 0).x();
    DrawCurveLegend(surface, curves,
                    {LegendCorner(frame, seriesX, size, 60), 1, 0, kLegendSample, kLegendGap});
    surface.SetFontSize(fontSize);
}

void DrawScreenChart(const AppState& state, DrawingSurface& surface) {
    DrawScreenAxes(state, surface);
    DrawScreenCurves(state, surface);
    DrawScreenPoints(state, surface);
    DrawScreenBand(state, surface);
    DrawScreenInterval(state, surface);
}
