#include "chart/modelcurves.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Okabe and Ito's colours that people with any common colour blindness tell apart, less the
// black of the points and the grid and the yellow that does not show on white: vermillion, blue,
// bluish green, reddish purple, orange, sky blue. The models after the sixth take them again,
// dashed.
constexpr QRgb kColours[] = {0xd55e00, 0x0072b2, 0x009e73, 0xcc79a7, 0xe69f00, 0x56b4e9};

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

// The legend's area cleared to white, half a gap around its rows, so no grid line runs through
// its labels.
// The rows of a legend: the curves with a label (an interval's ends have none).
std::vector<const ModelCurve*> LegendRows(const std::vector<ModelCurve>& curves) {
    std::vector<const ModelCurve*> rows;
    for (const ModelCurve& c : curves)
        if (!c.label.isEmpty())
            rows.push_back(&c);
    return rows;
}

void DrawLegendBackground(DrawingSurface& surface, const std::vector<const ModelCurve*>& rows,
                          const LegendLayout& layout, int columns) {
    if (rows.empty())
        return;
    const double top =
        layout.topLeft.y() +
        (layout.firstRow > 0 ? surface.TextHeight(rows[0]->label) * kLegendSpacing * layout.firstRow
                             : 0);
    double right = layout.topLeft.x();
    double bottom = top;
    for (size_t i = 0; i < rows.size(); ++i) {
        const double x = layout.topLeft.x() + layout.columnWidth * double(i % columns);
        const double lineHeight = surface.TextHeight(rows[i]->label);
        right = std::max(right,
                         x + layout.sampleLength + layout.gap + surface.TextWidth(rows[i]->label));
        bottom = std::max(bottom, top + lineHeight * kLegendSpacing * double(i / columns + 1));
    }
    const double pad = layout.gap / 2;
    surface.FillBox(static_cast<float>(layout.topLeft.x() - pad), static_cast<float>(top - pad),
                    static_cast<float>(right + pad), static_cast<float>(bottom + pad), Qt::white);
}

} // namespace

QColor ModelColour(ModelId id) {
    return QColor(kColours[static_cast<size_t>(id) % std::size(kColours)]);
}

bool ModelCurveDashed(ModelId id) {
    return static_cast<size_t>(id) >= std::size(kColours);
}

CurvePen ModelPen(ModelId id, double dash, double gap) {
    if (ModelCurveDashed(id))
        return {ModelColour(id), dash, gap};
    return {ModelColour(id)};
}

std::vector<ModelCurve> ColouredCurves(const std::vector<const ModelComparison*>& models) {
    std::vector<ModelCurve> curves;
    for (const ModelComparison* row : models)
        curves.push_back({&row->curve, ModelPen(row->model.id(), 8, 4), row->model.name()});
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
    const std::vector<const ModelCurve*> rows = LegendRows(curves);
    DrawLegendBackground(surface, rows, layout, columns);
    for (size_t i = 0; i < rows.size(); ++i) {
        const ModelCurve& curve = *rows[i];
        const double lineHeight = surface.TextHeight(curve.label);
        const double x = layout.topLeft.x() + layout.columnWidth * double(i % columns);
        const double y = layout.topLeft.y() +
                         lineHeight * kLegendSpacing * double(i / columns + layout.firstRow);
        DrawSample(surface, x, x + layout.sampleLength, y + lineHeight / 2, curve.pen);
        surface.SetCurrentX(static_cast<float>(x + layout.sampleLength + layout.gap));
        surface.SetCurrentY(static_cast<float>(y));
        surface.Print(curve.label);
    }
}

std::vector<ModelId> TickedCurveModels(const AppState& state) {
    std::vector<ModelId> ticked;
    if (state.study.series.recordCount == 0)
        return ticked;
    const DistributionComparison& models = state.study.models;
    for (const ModelId id : kModels) {
        const bool wanted = state.compared.chosen ? std::find(state.compared.models.begin(),
                                                              state.compared.models.end(),
                                                              id) != state.compared.models.end()
                                                  : models.selected == id;
        if (wanted && models.model(id).applicable())
            ticked.push_back(id);
    }
    return ticked;
}

std::vector<const ModelComparison*> ShownCurveModels(const AppState& state) {
    std::vector<const ModelComparison*> shown;
    if (!state.compared.show)
        return shown;
    for (const ModelId id : TickedCurveModels(state))
        shown.push_back(&state.study.models.model(id));
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
