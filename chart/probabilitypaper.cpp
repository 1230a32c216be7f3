#include "chart/probabilitypaper.h"

#include "formats/deviatetable.h"
#include "statistics/numeric.h"
#include "chart/clipping.h"

#include <algorithm>
#include <cmath>

namespace {

// The part of a..b inside frame, as parameters of the segment.
bool ClipToFrame(QPointF a, QPointF b, const QRectF& frame, double& t0, double& t1) {
    return ClipParameters(a.x(), a.y(), b.x() - a.x(), b.y() - a.y(), frame.left(), frame.top(),
                          frame.right(), frame.bottom(), t0, t1);
}

} // namespace

ProbabilityPaper::ProbabilityPaper(const PaperGeometry& geometry, const DeviateTable& table)
    : g_(geometry)
    , table_(table) {}

// The multiplication comes before the division, so whole decades land on whole units.
double ProbabilityPaper::GridX(double logValue) const {
    return g_.axisLeft + (logValue - g_.minExponent) * g_.axisLength / Decades();
}

double ProbabilityPaper::GridY(double deviate) const {
    return g_.medianY - deviate * g_.deviateUnit;
}

double ProbabilityPaper::SurfaceX(double gridX) const {
    return (gridX + g_.surfaceOrigin.x()) / g_.gridPerUnit;
}

double ProbabilityPaper::SurfaceY(double gridY) const {
    return (gridY + g_.surfaceOrigin.y()) / g_.gridPerUnit;
}

QPointF ProbabilityPaper::Position(double logValue, double deviate) const {
    return {SurfaceX(GridX(logValue)), SurfaceY(GridY(deviate))};
}

QPointF ProbabilityPaper::MarkPosition(double logValue, double deviate) const {
    return {MarkX(logValue - g_.minExponent), MarkY(deviate)};
}

// On a whole-unit paper the offsets from the axis start and the median are rounded, so every
// mark of the same value or deviate lands on the same unit wherever the frame lies. Far-off
// offsets are held to the generous range first, so rounding never fails.
double ProbabilityPaper::MarkX(double decades) const {
    const double offset = decades * g_.axisLength / Decades();
    if (!g_.wholeUnits)
        return SurfaceX(g_.axisLeft + offset);
    return SurfaceX(g_.axisLeft + R(LimitCoordinate(offset)));
}

double ProbabilityPaper::MarkY(double deviate) const {
    if (!g_.wholeUnits)
        return SurfaceY(GridY(deviate));
    return SurfaceY(g_.medianY - R(LimitCoordinate(deviate * g_.deviateUnit)));
}

double ProbabilityPaper::ProbabilityY(int i) const {
    return MarkY(DeviateAt(table_, kProbabilityLines[i].p));
}

double ProbabilityPaper::TopDeviate() const {
    return DeviateAt(table_, kProbabilityLines[std::size(kProbabilityLines) - 1].p);
}

double ProbabilityPaper::BottomDeviate() const {
    return DeviateAt(table_, kProbabilityLines[0].p);
}

double ProbabilityPaper::DecadeX(int k) const {
    // The axis start stands even on a paper without a decade.
    return k == 0 ? SurfaceX(g_.axisLeft) : MarkX(k);
}

double ProbabilityPaper::MinorX(int k, int j) const {
    const double fraction = std::log(double(j)) / std::log(10.0);
    if (!g_.wholeUnits)
        return MarkX(k - 1 + fraction);
    // The decade start and the offset are rounded apart, so every decade repeats the same
    // spacing.
    return DecadeX(k - 1) + R(fraction * g_.axisLength / Decades()) / g_.gridPerUnit;
}

QRectF ProbabilityPaper::Frame() const {
    return QRectF(QPointF(DecadeX(0), TopY()), QPointF(DecadeX(Decades()), BottomY()));
}

std::optional<QLineF> ProbabilityPaper::FittedLineOnGrid(double logMean, double slope) const {
    const double minimum = g_.minExponent;
    const double maximum = g_.maxExponent;
    // The line runs between deviates -3 and +3 unless it leaves the frame through a side first;
    // only the right end of the upper half and the left end of the lower half are cut.
    double zHigh = 3;
    double vHigh = slope * 3 + logMean;
    if (vHigh > maximum) {
        // A line of one constant value off the scale never meets the side: nothing to draw.
        if (slope == 0)
            return std::nullopt;
        vHigh = maximum;
        zHigh = (maximum - logMean) / slope;
    }
    double zLow = -3;
    double vLow = slope * -3 + logMean;
    if (vLow < minimum) {
        if (slope == 0)
            return std::nullopt;
        vLow = minimum;
        zLow = (minimum - logMean) / slope;
    }
    // A nearly level line puts its cut far beyond the picture: only the part within the
    // generous range is drawn, along the same line.
    const auto line = ClipSegment({GridX(vHigh), GridY(zHigh), GridX(vLow), GridY(zLow)});
    if (!line)
        return std::nullopt;
    return QLineF(line->x1, line->y1, line->x2, line->y2);
}

std::optional<QLineF> ProbabilityPaper::FittedLine(double logMean, double slope) const {
    const std::optional<QLineF> line = FittedLineOnGrid(logMean, slope);
    if (!line)
        return std::nullopt;
    auto place = [&](QPointF p) {
        if (g_.wholeUnits)
            p = QPointF(R(p.x()), R(p.y()));
        return QPointF(SurfaceX(p.x()), SurfaceY(p.y()));
    };
    return QLineF(place(line->p1()), place(line->p2()));
}

void ProbabilityPaper::DrawDashedCurve(DrawingSurface& surface, const Curve& curve, double dash,
                                       double gap, const QColor& colour) const {
    const QRectF frame = Frame();
    const double period = dash + gap;
    double travelled = 0; // along the curve, for the pattern's phase
    std::vector<DrawingSurface::Segment> segments;
    for (size_t i = 1; i < curve.size(); ++i) {
        if (!curve[i - 1] || !curve[i]) {
            travelled = 0;
            continue;
        }
        const QPointF a = Position(curve[i - 1]->logValue, curve[i - 1]->deviate);
        const QPointF b = Position(curve[i]->logValue, curve[i]->deviate);
        const double length = std::hypot(b.x() - a.x(), b.y() - a.y());
        if (!(length > 0) || !std::isfinite(length))
            continue;
        // Every dash that starts or runs into this segment.
        for (double start = -std::fmod(travelled, period); start < length; start += period) {
            double t0 = std::max(0.0, start) / length;
            double t1 = std::min(length, start + dash) / length;
            if (t1 <= t0 || !ClipToFrame(a, b, frame, t0, t1))
                continue;
            const QPointF p = a + (b - a) * t0;
            const QPointF q = a + (b - a) * t1;
            segments.push_back({static_cast<float>(p.x()), static_cast<float>(p.y()),
                                static_cast<float>(q.x()), static_cast<float>(q.y())});
        }
        travelled += length;
    }
    surface.Lines(segments, colour);
}

void DrawProbabilityGrid(const ProbabilityPaper& paper, DrawingSurface& surface, int frameLeft,
                         int frameRight, int tick) {
    for (size_t i = 0; i < std::size(kProbabilityLines); ++i) {
        const QString label = QString::fromUtf8(kProbabilityLines[i].label);
        const int y = R(paper.ProbabilityY(static_cast<int>(i)));
        // The line starts left of the frame, forming the tick mark.
        surface.Line(frameLeft - tick, y, frameRight, y);
        // The label ends a quarter of its own width left of the frame, centred on its line.
        surface.SetCurrentX(frameLeft - R(double(surface.TextWidth(label)) * 5 / 4));
        surface.SetCurrentY(y - R(double(surface.TextHeight(label)) / 2));
        surface.Print(label);
    }
}

void DrawDecadeGrid(const ProbabilityPaper& paper, DrawingSurface& surface, int tick) {
    // Value labels are centred under their lines, their top half a text line below the lowest
    // probability line; the decade lines reach a tick length below it. Dotted lines mark 2 to 9
    // times each decade's left-hand power of ten.
    const int yBottom = R(paper.BottomY()); // 0.1 %
    const int yTop = R(paper.TopY());       // 99.9 %
    for (int v = 0; v <= std::max(paper.Decades(), 0); ++v) {
        const QString label = PowerOfTenText(paper.MinExponent() + v);
        const int x = R(paper.DecadeX(v));
        surface.Line(x, yTop, x, yBottom + tick);
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
}
