#include "chart/modelcurves.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A quarter of a line between a legend's rows, so a stroke does not run into the next label.
constexpr double kLegendSpacing = 1.25;

// Distinct on white and from the black points, in the order of the models.
constexpr QRgb kColours[] = {0xd62728, 0x1f77b4, 0x2ca02c, 0xff7f0e, 0x9467bd, 0x8c564b,
                             0xe377c2, 0x17becf, 0xbcbd22, 0x7f7f7f, 0x393b79};

// A horizontal stroke from x1 to x2 in the pen's pattern.
void DrawSample(DrawingSurface& surface, double x1, double x2, double y, const CurvePen& pen) {
    const float fy = static_cast<float>(y);
    if (!(pen.gap > 0) || !(pen.dash > 0)) {
        surface.Line(static_cast<float>(x1), fy, static_cast<float>(x2), fy, pen.colour);
        return;
    }
    for (double x = x1; x < x2; x += pen.dash + pen.gap)
        surface.Line(static_cast<float>(x), fy, static_cast<float>(std::min(x + pen.dash, x2)), fy,
                     pen.colour);
}

} // namespace

QColor ModelColour(ModelId id) {
    return QColor(kColours[static_cast<size_t>(id) % std::size(kColours)]);
}

std::vector<ModelCurve> ColouredCurves(const std::vector<const ModelComparison*>& models) {
    std::vector<ModelCurve> curves;
    for (const ModelComparison* row : models)
        curves.push_back({&row->curve, CurvePen{ModelColour(row->model.id())}, row->model.name()});
    return curves;
}

void DrawModelCurves(const ProbabilityPaper& paper, DrawingSurface& surface,
                     const std::vector<ModelCurve>& curves) {
    for (const ModelCurve& c : curves) {
        // A solid curve is one dash longer than any curve.
        const bool solid = !(c.pen.gap > 0);
        paper.DrawDashedCurve(surface, *c.points,
                              solid ? std::numeric_limits<double>::max() : c.pen.dash,
                              solid ? 0 : c.pen.gap, c.pen.colour);
    }
}

QSizeF CurveLegendSize(DrawingSurface& surface, const std::vector<ModelCurve>& curves,
                       double sampleLength, double gap) {
    double width = 0;
    double height = 0;
    for (const ModelCurve& c : curves) {
        width = std::max(width, sampleLength + gap + surface.TextWidth(c.label));
        height += surface.TextHeight(c.label) * kLegendSpacing;
    }
    return {width, height};
}

QPointF LegendCorner(const QRectF& frame, double seriesX, QSizeF size, double margin) {
    if (seriesX < frame.center().x())
        return {frame.right() - margin - size.width(), frame.bottom() - margin - size.height()};
    return {frame.left() + margin, frame.top() + margin};
}

void DrawCurveLegend(DrawingSurface& surface, const std::vector<ModelCurve>& curves,
                     const LegendLayout& layout) {
    const int columns = std::max(layout.columns, 1);
    for (size_t i = 0; i < curves.size(); ++i) {
        const double lineHeight = surface.TextHeight(curves[i].label);
        const double x = layout.topLeft.x() + layout.columnWidth * double(i % columns);
        const double y = layout.topLeft.y() + lineHeight * kLegendSpacing * double(i / columns);
        DrawSample(surface, x, x + layout.sampleLength, y + lineHeight / 2, curves[i].pen);
        surface.SetCurrentX(static_cast<float>(x + layout.sampleLength + layout.gap));
        surface.SetCurrentY(static_cast<float>(y));
        surface.Print(curves[i].label);
    }
}

std::vector<const ModelComparison*> ShownCurveModels(const AppState& state) {
    std::vector<const ModelComparison*> shown;
    if (!state.compared.show || state.study.series.recordCount == 0)
        return shown;
    for (const ModelId id : state.compared.models)
        if (const ModelComparison& row = state.study.models.model(id); row.applicable())
            shown.push_back(&row);
    return shown;
}
