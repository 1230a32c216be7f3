#include "chart/screenchart.h"

#include "analysis/fitmeasures.h"
#include "analysis/numeric.h"
#include "chart/probabilitypaper.h"
#include "platform/widgets.h"

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

    const int yBottom = R(paper.BottomY()); // 0.1 %
    const int yTop = R(paper.TopY());       // 99.9 %
    for (size_t i = 0; i < std::size(kProbabilityLines); ++i) {
        const QString label = QString::fromUtf8(kProbabilityLines[i].label);
        const int y = R(paper.ProbabilityY(static_cast<int>(i)));
        // The line starts left of the frame, forming the tick mark.
        surface.Line(kFrameLeft - kTickLength, y, kFrameLeft + kFrameWidth, y);
        // The label ends a quarter of its own width left of the frame, centred on its line.
        surface.SetCurrentX(kFrameLeft - R(double(surface.TextWidth(label)) * 5 / 4));
        surface.SetCurrentY(y - R(double(surface.TextHeight(label)) / 2));
        surface.Print(label);
    }

    surface.SetFontSize(9);
    for (const Caption& caption : kCaption) {
        surface.SetCurrentX(caption.x);
        surface.SetCurrentY(caption.y);
        surface.Print(QString::fromUtf8(caption.text));
    }

    // Value labels are centred under their lines, their top half a text line below the lowest
    // probability line; the decade lines reach a tick length below it. Dotted lines mark 2 to 9
    // times each decade's left-hand power of ten.
    surface.SetFontSize(8);
    const int decades = Decades(state);
    for (int v = 0; v <= std::max(decades, 0); ++v) {
        const QString label = PowerOfTenText(state.settings.scaleMinIndex + v);
        const int x = R(paper.DecadeX(v));
        surface.Line(x, yTop, x, yBottom + kTickLength);
        surface.SetCurrentX(x - R(double(surface.TextWidth(label)) / 2));
        surface.SetCurrentY(yBottom + R(double(surface.TextHeight(label)) / 2));
        surface.Print(label);
        if (v < 1)
            continue;
        for (int k = 2; k <= 9; ++k) {
            surface.SetDrawStyle(kDrawStyleDotted);
            const int xk = R(paper.MinorX(v, k));
            surface.Line(xk, yTop, xk, yBottom, QBColor(1));
        }
        surface.SetDrawStyle(kDrawStyleSolid);
    }

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

    const int count = std::clamp(state.series.recordCount, 0, kMaxRecords);
    for (int i = 0; i < count; ++i) {
        const double v = state.analysis.logValues[static_cast<size_t>(i)];
        const double z = state.analysis.deviates[static_cast<size_t>(i)];
        // No clipping to the frame: a value off the scale is drawn where the mapping puts it.
        if (std::isfinite(v) && std::isfinite(z)) {
            const QPointF at = paper.MarkPosition(v, z);
            surface.Circle(F(at.x()), F(at.y()), kPointRadius);
        }
    }

    if (state.settings.analysisMode < 1)
        return;
    const std::optional<QLineF> line =
        paper.FittedLine(state.analysis.logMean, state.analysis.slope);
    if (!line)
        return;
    surface.SetDrawWidth(1);
    surface.Line(F(line->x1()), F(line->y1()), F(line->x2()), F(line->y2()), QBColor(12));
}

void DrawScreenBand(const AppState& state, DrawingSurface& surface) {
    if (!state.settings.showErrorBand || state.settings.analysisMode < 1 || Decades(state) <= 0)
        return;
    const std::optional<ErrorBand> band = ErrorBandCurves(ComputeFitMeasures(state));
    if (!band)
        return;
    // Unrounded positions: the curve bends at every return period and should not zigzag.
    const ProbabilityPaper paper = ScreenPaper(state);
    surface.SetDrawWidth(1);
    surface.SetDrawStyle(kDrawStyleSolid);
    for (const BandCurve* curve : {&band->lower, &band->upper})
        paper.DrawDashedCurve(surface, *curve, 60, 40, QBColor(12));
}

void DrawScreenChart(const AppState& state, DrawingSurface& surface) {
    DrawScreenAxes(state, surface);
    DrawScreenPoints(state, surface);
    DrawScreenBand(state, surface);
}
