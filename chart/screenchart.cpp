#include "chart/screenchart.h"

#include "analysis/deviatetable.h"
#include "analysis/fitmeasures.h"
#include "analysis/numeric.h"
#include "chart/clipping.h"
#include "chart/dashedcurve.h"
#include "platform/widgets.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// The plot frame on the 4000 x 5000 scale: the value axis runs over 3000 units from x = 700,
// one deviate is 700 units with the median at y = 2300.
constexpr int kFrameLeft = 700;
constexpr int kFrameWidth = 3000;
constexpr int kMedianY = 2300;
constexpr int kUnitsPerDeviate = 700;
constexpr int kTickLength = 30;
constexpr float kPointRadius = 20;

struct Tick {
    double p;
    const char* label; // four characters, so the labels line up on their right edge
};

constexpr Tick kTicks[] = {
    {0.001, " 0.1"}, {0.01, "   1"}, {0.05, "   5"}, {0.1, "  10"},  {0.2, "  20"},
    {0.3, "  30"},   {0.4, "  40"},  {0.5, "  50"},  {0.6, "  60"},  {0.7, "  70"},
    {0.8, "  80"},   {0.9, "  90"},  {0.95, "  95"}, {0.99, "  99"}, {0.999, "99.9"},
};

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

// The offsets from the frame's left edge and from the median line, before rounding. The
// multiplication comes before the division, so whole decades land on whole units.
double ValueOffset(const AppState& state, double logValue) {
    return (logValue - state.settings.scaleMinIndex) * kFrameWidth / Decades(state);
}

double DeviateOffset(double z) {
    return z * kUnitsPerDeviate;
}

// Far-off positions are held to the generous range, so rounding never fails.
int DeviateY(double z) {
    return kMedianY - R(LimitCoordinate(DeviateOffset(z)));
}

int ValueX(const AppState& state, double logValue) {
    return kFrameLeft + R(LimitCoordinate(ValueOffset(state, logValue)));
}

} // namespace

void DrawScreenAxes(const AppState& state, DrawingSurface& surface) {
    surface.SetFontSize(8);
    surface.SetFontName(kFaceMincho);
    surface.SetFontSize(8);

    int yBottom = 0;
    int yTop = 0;
    for (size_t i = 0; i < std::size(kTicks); ++i) {
        const Tick& tick = kTicks[i];
        const QString label = QString::fromUtf8(tick.label);
        const int y = DeviateY(DeviateAt(state.deviateTable, tick.p));
        // The line starts left of the frame, forming the tick mark.
        surface.Line(kFrameLeft - kTickLength, y, kFrameLeft + kFrameWidth, y);
        // The label ends a quarter of its own width left of the frame, centred on its line.
        surface.SetCurrentX(kFrameLeft - R(double(surface.TextWidth(label)) * 5 / 4));
        surface.SetCurrentY(y - R(double(surface.TextHeight(label)) / 2));
        surface.Print(label);
        if (i == 0)
            yBottom = y; // 0.1 %
        yTop = y;        // ends at 99.9 %
    }

    surface.SetFontSize(9);
    for (const Caption& caption : kCaption) {
        surface.SetCurrentX(caption.x);
        surface.SetCurrentY(caption.y);
        surface.Print(QString::fromUtf8(caption.text));
    }

    // Value labels are centred under their lines, their top half a text line below the lowest
    // probability line; the decade lines reach a tick length below it.
    surface.SetFontSize(8);
    const QString leftLabel = PowerOfTenText(state.settings.scaleMinIndex);
    surface.Line(kFrameLeft, yTop, kFrameLeft, yBottom + kTickLength);
    surface.SetCurrentX(kFrameLeft - R(double(surface.TextWidth(leftLabel)) / 2));
    surface.SetCurrentY(yBottom + R(double(surface.TextHeight(leftLabel)) / 2));
    surface.Print(leftLabel);

    const int decades = Decades(state);
    for (int v = 1; v <= decades; ++v) {
        const QString label = PowerOfTenText(state.settings.scaleMinIndex + v);
        const int x = kFrameLeft + R(double(v) * kFrameWidth / decades);
        surface.Line(x, yTop, x, yBottom + kTickLength);
        surface.SetCurrentX(x - R(double(surface.TextWidth(label)) / 2));
        surface.SetCurrentY(yBottom + R(double(surface.TextHeight(label)) / 2));
        surface.Print(label);
        // Dotted lines at 2 to 9 times the decade's left-hand power of ten. The decade start and
        // the offset are rounded apart, so every decade repeats the same spacing.
        const int decadeLeft = kFrameLeft + R(double(v - 1) * kFrameWidth / decades);
        for (int k = 2; k <= 9; ++k) {
            surface.SetDrawStyle(kDrawStyleDotted);
            const int xk =
                decadeLeft + R((std::log(double(k)) / std::log(10.0)) * kFrameWidth / decades);
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

    const int count = std::clamp(state.series.recordCount, 0, kMaxRecords);
    for (int i = 0; i < count; ++i) {
        const double v = state.analysis.logValues[static_cast<size_t>(i)];
        const double z = state.analysis.deviates[static_cast<size_t>(i)];
        // No clipping to the frame: a value off the scale is drawn where the mapping puts it.
        if (std::isfinite(v) && std::isfinite(z))
            surface.Circle(ValueX(state, v), DeviateY(z), kPointRadius);
    }

    if (state.settings.analysisMode < 1)
        return;

    // The line runs between deviates -3 and +3 unless it leaves the frame through a side first;
    // only the right end of the upper half and the left end of the lower half are cut.
    double zHigh = 3;
    double vHigh = state.analysis.slope * 3 + state.analysis.logMean;
    double zLow = -3;
    double vLow = state.analysis.slope * -3 + state.analysis.logMean;
    if (vHigh > state.settings.scaleMaxIndex) {
        // A line of one constant value off the scale never meets the side: nothing to draw.
        if (state.analysis.slope == 0)
            return;
        vHigh = state.settings.scaleMaxIndex;
        zHigh = (state.settings.scaleMaxIndex - state.analysis.logMean) / state.analysis.slope;
    }
    if (vLow < state.settings.scaleMinIndex) {
        if (state.analysis.slope == 0)
            return;
        vLow = state.settings.scaleMinIndex;
        zLow = (state.settings.scaleMinIndex - state.analysis.logMean) / state.analysis.slope;
    }
    // A nearly level line puts its cut far beyond the picture: only the part within the
    // generous range is drawn, along the same line.
    const auto line = ClipSegment({ValueOffset(state, vHigh), DeviateOffset(zHigh),
                                   ValueOffset(state, vLow), DeviateOffset(zLow)});
    if (!line)
        return;
    surface.SetDrawWidth(1);
    surface.Line(kFrameLeft + R(line->x1), kMedianY - R(line->y1), kFrameLeft + R(line->x2),
                 kMedianY - R(line->y2), QBColor(12));
}

void DrawScreenBand(const AppState& state, DrawingSurface& surface) {
    if (!state.settings.showErrorBand || state.settings.analysisMode < 1 || Decades(state) <= 0)
        return;
    const std::optional<ErrorBand> band = ErrorBandCurves(ComputeFitMeasures(state));
    if (!band)
        return;
    // Unrounded positions: the curve bends at every return period and should not zigzag.
    auto toScreen = [&](const BandCurve& curve) {
        std::vector<std::optional<QPointF>> points;
        for (const std::optional<BandPoint>& p : curve) {
            if (p)
                points.emplace_back(
                    QPointF(kFrameLeft + (p->logValue - state.settings.scaleMinIndex) *
                                             kFrameWidth / Decades(state),
                            kMedianY - p->deviate * kUnitsPerDeviate));
            else
                points.emplace_back(std::nullopt);
        }
        return points;
    };
    const double top = DeviateY(DeviateAt(state.deviateTable, 0.999));
    const double bottom = DeviateY(DeviateAt(state.deviateTable, 0.001));
    const QRectF frame(QPointF(kFrameLeft, top), QPointF(kFrameLeft + kFrameWidth, bottom));
    surface.SetDrawWidth(1);
    surface.SetDrawStyle(kDrawStyleSolid);
    for (const BandCurve* curve : {&band->lower, &band->upper})
        DrawDashedCurve(surface, toScreen(*curve), frame, 60, 40, QBColor(12));
}

void DrawScreenChart(const AppState& state, DrawingSurface& surface) {
    DrawScreenAxes(state, surface);
    DrawScreenPoints(state, surface);
    DrawScreenBand(state, surface);
}
