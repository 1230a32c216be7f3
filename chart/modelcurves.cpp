#include "chart/modelcurves.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

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
        if (c.label.isEmpty())
            continue;
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
    size_t i = 0;
    for (const ModelCurve& curve : curves) {
        // A curve without a label (an interval's end) has no row.
        if (curve.label.isEmpty())
            continue;
        const double lineHeight = surface.TextHeight(curve.label);
        const double x = layout.topLeft.x() + layout.columnWidth * double(i % columns);
        const double y = layout.topLeft.y() +
                         lineHeight * kLegendSpacing * double(i / columns + layout.firstRow);
        DrawSample(surface, x, x + layout.sampleLength, y + lineHeight / 2, curve.pen);
        surface.SetCurrentX(static_cast<float>(x + layout.sampleLength + layout.gap));
        surface.SetCurrentY(static_cast<float>(y));
        surface.Print(curve.label);
        ++i;
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

std::optional<ShownInterval> ShownIntervalOf(const AppState& state) {
    const Study& study = state.study;
    if (!state.settings.showInterval || !study.bootstrap || study.series.recordCount == 0)
        return std::nullopt;
    const std::optional<ModelId> id =
        state.compared.highlighted ? state.compared.highlighted : study.models.selected;
    if (!id || !study.bootstrap->model(*id).hasFigures())
        return std::nullopt;
    return ShownInterval{*id,
                         &study.bootstrap->model(*id).band(study.bootstrap->settings.interval)};
}

QString IntervalLegendText(const AppState& state, ModelId model) {
    if (!state.study.bootstrap)
        return {};
    const BootstrapSettings& s = state.study.bootstrap->settings;
    return QStringLiteral("信頼区間：%1 %2 % %3")
        .arg(ModelName(model), QString::number(s.level * 100, 'g', 4),
             IntervalKindName(s.interval));
}

QString IntervalSettingsText(const AppState& state) {
    if (!state.study.bootstrap)
        return {};
    const BootstrapSettings& s = state.study.bootstrap->settings;
    return QStringLiteral("（ブートストラップ、B = %1、乱数の種 %2、%3）")
        .arg(s.replicates)
        .arg(s.seed)
        .arg(ResampleKindName(s.kind));
}
