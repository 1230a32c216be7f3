#include "chart/intensitychart.h"

#include "chart/clipping.h"
#include "platform/widgets.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <tuple>

namespace {

// Room for the intensity labels on the left, the axis title above and the duration labels and
// title below.
constexpr double kLeft = 44;
constexpr double kRight = 12;
constexpr double kTop = 32;
constexpr double kBottom = 40;
constexpr float kPointRadius = 3;
// Each curve is drawn as this many segments, even in log t.
constexpr int kCurveSegments = 120;

const QColor kMajorGrid(128, 128, 128);
const QColor kMinorGrid(215, 215, 215);

// The lines of the grid: every m·10^k inside low..high (with a little room for rounding), the
// decades marked.
struct GridLine {
    double value;
    bool decade;
};
std::vector<GridLine> GridLines(double low, double high) {
    std::vector<GridLine> lines;
    const int first = static_cast<int>(std::floor(std::log10(low)));
    const int last = static_cast<int>(std::ceil(std::log10(high)));
    for (int k = first; k <= last; ++k)
        for (int m = 1; m <= 9; ++m) {
            const double v = m * std::pow(10.0, k);
            if (v >= low * (1 - 1e-9) && v <= high * (1 + 1e-9))
                lines.push_back({v, m == 1});
        }
    return lines;
}

// Labels go on the decades, on 2 and 5 times them and on the axis ends, where there is room.
bool Labelled(double v, double low, double high) {
    const double m = v / std::pow(10.0, std::floor(std::log10(v) + 1e-9));
    const long digit = std::lround(m);
    return digit == 1 || digit == 2 || digit == 5 || v == low || v == high;
}

QString ValueLabel(double v) {
    return QString::number(v, 'g', 6);
}

// The largest m·10^k at or below v (down) or the smallest at or above it.
double OneDigit(double v, bool down) {
    const double power = std::pow(10.0, std::floor(std::log10(v)));
    const double m = v / power;
    const double digit = down ? std::floor(m + 1e-9) : std::ceil(m - 1e-9);
    return digit * power;
}

// The axis around lowest..highest, at least a factor of two wide.
std::pair<double, double> AxisOf(double lowest, double highest,
                                 std::pair<double, double> otherwise) {
    if (!(lowest > 0 && lowest <= highest && std::isfinite(highest)))
        return otherwise;
    lowest = std::clamp(lowest, 1e-6, 1e9);
    highest = std::clamp(highest, lowest, 1e9);
    double low = OneDigit(lowest, true);
    double high = OneDigit(highest, false);
    if (high < 2 * low) {
        low = OneDigit(low / 1.5, true);
        high = OneDigit(high * 1.5, false);
    }
    return {low, high};
}

struct LogMap {
    QRectF area;
    IntensityAxes axes;
    double x(double minutes) const {
        return area.left() + std::log10(minutes / axes.minMinutes) /
                                 std::log10(axes.maxMinutes / axes.minMinutes) * area.width();
    }
    double y(double intensity) const {
        return area.bottom() - std::log10(intensity / axes.minIntensity) /
                                   std::log10(axes.maxIntensity / axes.minIntensity) *
                                   area.height();
    }
};

// The fit a period's curve is drawn from: the formula chosen, or the period's best.
const FormulaFit* CurveFit(const PeriodFormulas& period, std::optional<IntensityFormula> formula) {
    for (const FormulaFit& fit : period.fits)
        if (fit.applicable() && (formula ? fit.formula == *formula : fit.best))
            return &fit;
    return nullptr;
}

void DrawGrid(const LogMap& map, DrawingSurface& surface, double unit) {
    const QRectF& a = map.area;
    const IntensityAxes& axes = map.axes;
    surface.SetDrawWidth(1);
    surface.SetDrawStyle(kDrawStyleSolid);
    const std::vector<GridLine> across = GridLines(axes.minMinutes, axes.maxMinutes);
    const std::vector<GridLine> up = GridLines(axes.minIntensity, axes.maxIntensity);
    // The minor lines first, so the decades lie over them.
    for (const bool decades : {false, true}) {
        for (const GridLine& line : across)
            if (line.decade == decades) {
                const float x = static_cast<float>(map.x(line.value));
                surface.Line(x, float(a.top()), x, float(a.bottom()),
                             decades ? kMajorGrid : kMinorGrid);
            }
        for (const GridLine& line : up)
            if (line.decade == decades) {
                const float y = static_cast<float>(map.y(line.value));
                surface.Line(float(a.left()), y, float(a.right()), y,
                             decades ? kMajorGrid : kMinorGrid);
            }
    }
    // The frame.
    surface.Line(float(a.left()), float(a.top()), float(a.right()), float(a.top()), Qt::black);
    surface.Line(float(a.right()), float(a.top()), float(a.right()), float(a.bottom()), Qt::black);
    surface.Line(float(a.right()), float(a.bottom()), float(a.left()), float(a.bottom()),
                 Qt::black);
    surface.Line(float(a.left()), float(a.bottom()), float(a.left()), float(a.top()), Qt::black);

    // A label that would touch the one before it is left out.
    double rightOfLast = -std::numeric_limits<double>::infinity();
    for (const GridLine& line : across) {
        if (!Labelled(line.value, axes.minMinutes, axes.maxMinutes))
            continue;
        const QString label = ValueLabel(line.value);
        const double width = surface.TextWidth(label);
        const double left = map.x(line.value) - width / 2;
        if (left < rightOfLast + 4 * unit)
            continue;
        surface.SetCurrentX(static_cast<float>(left));
        surface.SetCurrentY(static_cast<float>(a.bottom() + 3 * unit));
        surface.Print(label);
        rightOfLast = left + width;
    }
    double topOfLast = std::numeric_limits<double>::infinity();
    for (const GridLine& line : up) {
        if (!Labelled(line.value, axes.minIntensity, axes.maxIntensity))
            continue;
        const QString label = ValueLabel(line.value);
        const double height = surface.TextHeight(label);
        const double top = map.y(line.value) - height / 2;
        if (top + height > topOfLast)
            continue;
        surface.SetCurrentX(
            static_cast<float>(a.left() - 4 * unit - double(surface.TextWidth(label))));
        surface.SetCurrentY(static_cast<float>(top));
        surface.Print(label);
        topOfLast = top;
    }
}

void DrawTitles(const LogMap& map, DrawingSurface& surface, const QRectF& frame, double unit) {
    const QString across = QStringLiteral("継続時間 t（分）");
    surface.SetCurrentX(
        static_cast<float>(map.area.center().x() - double(surface.TextWidth(across)) / 2));
    surface.SetCurrentY(
        static_cast<float>(frame.bottom() - 2 * unit - double(surface.TextHeight(across))));
    surface.Print(across);
    const QString up = QStringLiteral("降雨強度 I（mm/h）");
    surface.SetCurrentX(static_cast<float>(frame.left() + 4 * unit));
    // Clear of the half of the top label that stands above the axis.
    surface.SetCurrentY(
        static_cast<float>(map.area.top() - 4 * unit - 1.5 * double(surface.TextHeight(up))));
    surface.Print(up);
}

void DrawCurve(const LogMap& map, DrawingSurface& surface, const FormulaFit& fit, double from,
               double to, const QColor& colour) {
    std::vector<DrawingSurface::Segment> segments;
    const double a = std::log10(from);
    const double b = std::log10(to);
    std::optional<QPointF> previous;
    for (int i = 0; i <= kCurveSegments; ++i) {
        const double t = std::pow(10.0, a + (b - a) * i / kCurveSegments);
        const std::optional<double> v = fit.intensityAt(t);
        if (!v || !(*v > 0)) {
            previous.reset();
            continue;
        }
        const QPointF at(map.x(t), map.y(*v));
        if (previous) {
            double enter = 0;
            double leave = 1;
            const QPointF d = at - *previous;
            if (ClipParameters(previous->x(), previous->y(), d.x(), d.y(), map.area.left(),
                               map.area.top(), map.area.right(), map.area.bottom(), enter, leave)) {
                const QPointF p = *previous + d * enter;
                const QPointF q = *previous + d * leave;
                segments.push_back({float(p.x()), float(p.y()), float(q.x()), float(q.y())});
            }
        }
        previous = at;
    }
    surface.Lines(segments, colour);
}

QString CurveLegend(std::optional<IntensityFormula> formula, bool anyCurve) {
    if (!anyCurve)
        return QStringLiteral("曲線：なし（式が求められません）");
    if (!formula)
        return QStringLiteral("曲線：確率年ごとに最良の式（◎）");
    return QStringLiteral("曲線：%1 %2")
        .arg(IntensityFormulaName(*formula), IntensityFormulaText(*formula));
}

void DrawLegend(const LogMap& map, DrawingSurface& surface, const std::vector<size_t>& periods,
                std::optional<IntensityFormula> formula, bool anyCurve, double unit) {
    if (periods.empty())
        return;
    QStringList lines;
    for (size_t k : periods)
        lines << QStringLiteral("T = %1 年").arg(kRainfallPeriods[k]);
    const QString curve = CurveLegend(formula, anyCurve);
    const double kSample = 20 * unit;
    const double kGap = 4 * unit;
    double width = surface.TextWidth(curve);
    for (const QString& line : lines)
        width = std::max(width, kSample + kGap + double(surface.TextWidth(line)));
    const double lineHeight = surface.TextHeight(curve);
    const double height = lineHeight * (lines.size() + 1);
    const double left = map.area.right() - width - 2 * kGap;
    const double top = map.area.top() + kGap;
    surface.FillBox(float(left), float(top), float(map.area.right() - kGap),
                    float(top + height + kGap), Qt::white);
    double y = top + kGap / 2;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QColor colour = PeriodColour(periods[static_cast<size_t>(i)]);
        const float mid = static_cast<float>(y + lineHeight / 2);
        if (anyCurve) {
            surface.SetDrawWidth(2);
            surface.Line(float(left + kGap), mid, float(left + kGap + kSample), mid, colour);
            surface.SetDrawWidth(1);
        }
        surface.SetFillStyle(kFillSolid);
        surface.SetFillColor(colour);
        surface.Circle(float(left + kGap + kSample / 2), mid, float(kPointRadius * unit), colour);
        surface.SetCurrentX(static_cast<float>(left + 2 * kGap + kSample));
        surface.SetCurrentY(static_cast<float>(y));
        surface.Print(lines[i]);
        y += lineHeight;
    }
    surface.SetCurrentX(static_cast<float>(left + kGap));
    surface.SetCurrentY(static_cast<float>(y));
    surface.Print(curve);
}

} // namespace

QColor PeriodColour(size_t periodIndex) {
    static const QColor colours[] = {QColor(0, 0, 170),   QColor(0, 120, 200), QColor(0, 150, 150),
                                     QColor(0, 140, 0),   QColor(110, 160, 0), QColor(200, 160, 0),
                                     QColor(230, 110, 0), QColor(210, 40, 40), QColor(180, 0, 110),
                                     QColor(130, 0, 170), QColor(90, 60, 30),  QColor(0, 0, 0)};
    return colours[periodIndex % std::size(colours)];
}

IntensityAxes IntensityAxesOf(const IntensityStudy& study) {
    double shortest = std::numeric_limits<double>::infinity();
    double longest = -shortest;
    double lowest = shortest;
    double highest = -shortest;
    for (const DurationRainfall& d : study.durations)
        for (const RainfallPeriod& p : d.periods)
            if (p.intensity && *p.intensity > 0 && std::isfinite(*p.intensity) && d.minutes > 0) {
                shortest = std::min(shortest, double(d.minutes));
                longest = std::max(longest, double(d.minutes));
                lowest = std::min(lowest, *p.intensity);
                highest = std::max(highest, *p.intensity);
            }
    IntensityAxes axes;
    std::tie(axes.minMinutes, axes.maxMinutes) =
        AxisOf(shortest, longest, {axes.minMinutes, axes.maxMinutes});
    std::tie(axes.minIntensity, axes.maxIntensity) =
        AxisOf(lowest, highest, {axes.minIntensity, axes.maxIntensity});
    return axes;
}

QRectF IntensityPlotArea(const QRectF& frame, double unit) {
    return QRectF(frame.left() + kLeft * unit, frame.top() + kTop * unit,
                  std::max(unit, frame.width() - (kLeft + kRight) * unit),
                  std::max(unit, frame.height() - (kTop + kBottom) * unit));
}

void DrawIntensityChart(const IntensityStudy& study, std::optional<IntensityFormula> formula,
                        DrawingSurface& surface, const QRectF& frame, double unit) {
    const LogMap map{IntensityPlotArea(frame, unit), IntensityAxesOf(study)};
    surface.SetFontName(kFaceMincho);
    surface.SetFontSize(8);
    DrawGrid(map, surface, unit);
    DrawTitles(map, surface, frame, unit);

    // The range of the curves: the durations fitted, inside which the formulas hold.
    double from = std::numeric_limits<double>::infinity();
    double to = -from;
    for (size_t i : study.fitted)
        if (i < study.durations.size()) {
            from = std::min(from, double(study.durations[i].minutes));
            to = std::max(to, double(study.durations[i].minutes));
        }
    std::vector<size_t> shown;
    bool anyCurve = false;
    for (size_t k = 0; k < kRainfallPeriodCount; ++k) {
        const QColor colour = PeriodColour(k);
        bool any = false;
        surface.SetDrawWidth(2);
        if (const FormulaFit* fit = CurveFit(study.formulas[k], formula); fit && from < to) {
            DrawCurve(map, surface, *fit, from, to, colour);
            any = true;
            anyCurve = true;
        }
        surface.SetDrawWidth(1);
        for (size_t i = 0; i < study.durations.size(); ++i) {
            const DurationRainfall& d = study.durations[i];
            const std::optional<double>& v = d.periods[k].intensity;
            if (!v || !(*v > 0) || d.minutes <= 0)
                continue;
            const bool fitted =
                std::find(study.fitted.begin(), study.fitted.end(), i) != study.fitted.end();
            surface.SetFillStyle(fitted ? kFillSolid : kFillTransparent);
            surface.SetFillColor(colour);
            const double x = LimitCoordinate(map.x(d.minutes));
            const double y = LimitCoordinate(map.y(*v));
            surface.Circle(float(x), float(y), float(kPointRadius * unit), colour);
            any = true;
        }
        if (any)
            shown.push_back(k);
    }
    surface.SetFillStyle(kFillTransparent);
    DrawLegend(map, surface, shown, formula, anyCurve, unit);
}
