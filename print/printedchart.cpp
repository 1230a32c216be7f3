#include "print/printedchart.h"

#include "chart/clipping.h"
#include "chart/modelcurves.h"
#include "chart/probabilitypaper.h"
#include "formats/deviatetable.h"
#include "platform/widgets.h"
#include "state/loading.h"
#include "statistics/distributions.h"
#include "statistics/fitmeasures.h"
#include "statistics/numeric.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

struct CaptionRow {
    const char* text;
    double u;
    double v;
};

constexpr std::array<CaptionRow, 6> kCaptionRows{{
    {"非", kPrintAxisLeft - 200, 700},
    {"超", kPrintAxisLeft - 200, 900},
    {"過", kPrintAxisLeft - 200, 1100},
    {"確", kPrintAxisLeft - 200, 1300},
    {"率", kPrintAxisLeft - 200, 1500},
    {"(%)", kPrintAxisLeft - 215, 1700},
}};

const QColor kBlack = QColor(0, 0, 0);

// Size, face, size: the size holds whatever the face change does to it.
void SetPrintFont(DrawingSurface& surface, float points, const QString& face = kFaceMincho) {
    surface.SetFontSize(points);
    surface.SetFontName(face);
    surface.SetFontSize(points);
}

void PrintAt(DrawingSurface& surface, double x, double y, const QString& text) {
    surface.SetCurrentX(static_cast<float>(x));
    surface.SetCurrentY(static_cast<float>(y));
    surface.Print(text);
}

void SolidPen(const AppState& state, DrawingSurface& surface) {
    surface.SetDrawWidth(state.settings.solidLineWidth);
    surface.SetDrawStyle(kDrawStyleSolid);
}

// The paper on the design grid, moved by the print offsets, in millimetres on the page.
ProbabilityPaper PrintPaper(const AppState& state) {
    PaperGeometry g;
    g.axisLeft = kPrintAxisLeft + state.settings.printOffsetX;
    g.axisLength = kPrintAxisLength;
    g.minExponent = state.settings.scaleMinIndex;
    g.maxExponent = state.settings.scaleMaxIndex;
    g.medianY = kPrintMedianLine - state.settings.printOffsetY;
    g.deviateUnit = kPrintDeviateUnit;
    g.gridPerUnit = 10;
    return ProbabilityPaper(g, state.deviateTable);
}

float F(double v) {
    return static_cast<float>(v);
}

} // namespace

double PrintPageX(const AppState& state, double u) {
    return (u + state.settings.printOffsetX) / 10;
}

double PrintPageY(const AppState& state, double v) {
    return (v - state.settings.printOffsetY) / 10;
}

QString FormatPrintedResult(double value) {
    // Whole digits without an exponent, so results beyond the 32-bit range print as themselves;
    // from 10^15 on, where the digits would run off the page, in the default form's exponent.
    const double rounded = RoundHalfEven(value);
    if (std::fabs(rounded) >= 1e15)
        return FormatReal(rounded);
    const QString digits = QString::number(rounded, 'f', 0);
    if (rounded <= 9)
        return QStringLiteral("   ") + digits;
    if (rounded <= 99)
        return QStringLiteral("  ") + digits;
    if (rounded <= 999)
        return QStringLiteral(" ") + digits;
    return digits;
}

QString PrintedYearLabel(int32_t year) {
    return QString::number(year).right(2);
}

void DrawPrintedChart(const AppState& state, DrawingSurface& surface) {
    const ProbabilityPaper paper = PrintPaper(state);
    // The probability lines start 1.5 mm left of the value axis.
    const double xL = PrintPageX(state, kPrintAxisLeft - 15);
    const double xR = paper.DecadeX(paper.Decades());
    const double yBottom = paper.BottomY();
    const double yTop = paper.TopY();

    SolidPen(state, surface);
    surface.SetFontSize(10);

    // Probability lines, each labelled right-aligned an eighth of the label's width left of
    // the line's end and centred on it.
    for (size_t i = 0; i < std::size(kProbabilityLines); ++i) {
        const QString label = QString::fromLatin1(kProbabilityLines[i].label);
        const double y = paper.ProbabilityY(static_cast<int>(i));
        surface.Line(F(xL), F(y), F(xR), F(y), kBlack);
        PrintAt(surface, xL - surface.TextWidth(label) * 9 / 8, y - surface.TextHeight(label) / 2,
                label);
    }

    // The probability caption, one character to a line.
    SetPrintFont(surface, 12);
    for (const CaptionRow& row : kCaptionRows)
        PrintAt(surface, PrintPageX(state, row.u), PrintPageY(state, row.v),
                QString::fromUtf8(row.text));

    SetPrintFont(surface, 10);
    SolidPen(state, surface);

    // Decade lines reach 1.5 mm below the 0.1 % line and carry their value; the eight lines
    // inside each decade are dotted and stop at the grid.
    for (int k = 0; k <= paper.Decades(); ++k) {
        const double x = paper.DecadeX(k);
        const QString label = PowerOfTenText(state.settings.scaleMinIndex + k);
        surface.Line(F(x), F(yTop), F(x), F(yBottom + 1.5), kBlack);
        PrintAt(surface, x - surface.TextWidth(label) / 2,
                yBottom + 1.5 + surface.TextHeight(label) / 4, label);
        if (k < 1)
            continue;
        surface.SetDrawWidth(state.settings.dashedLineWidth);
        surface.SetDrawStyle(kDrawStyleDotted);
        for (int j = 2; j <= 9; ++j) {
            const double xj = paper.MinorX(k, j);
            surface.Line(F(xj), F(yTop), F(xj), F(yBottom), kBlack);
        }
        SolidPen(state, surface);
    }

    // The axis title is centred by its width at 10 points but printed at 12.
    const double titleWidth = surface.TextWidth(state.settings.axisTitle);
    const double titleX = PrintPageX(state, kPrintAxisLeft + kPrintAxisLength / 2) - titleWidth / 2;
    SetPrintFont(surface, 12);
    PrintAt(surface, titleX, PrintPageY(state, 2250), state.settings.axisTitle);

    // The note ends at the right end of the grid, just above the 99.9 % line.
    SetPrintFont(surface, 10);
    const QString note = QStringLiteral("数字は西暦年の下２桁");
    PrintAt(surface, xR - surface.TextWidth(note), yTop - surface.TextHeight(note) * 11 / 10, note);

    if (state.settings.analysisMode <= 1)
        return;
    SetPrintFont(surface, 11);
    const DryWetValues results = ComputeDryWetValues(state);
    const double x = PrintPageX(state, kPrintAxisLeft);
    PrintAt(surface, x, PrintPageY(state, 2350), QStringLiteral("< 直線回帰による解析結果 >"));
    PrintAt(surface, x, PrintPageY(state, 2425),
            QStringLiteral("    1/10渇水年解析値 = ") + FormatPrintedResult(results.dry10) +
                QStringLiteral("    ") + QStringLiteral("    1/100渇水年解析値 = ") +
                FormatPrintedResult(results.dry100));
    PrintAt(surface, x, PrintPageY(state, 2500),
            QStringLiteral("    1/10豊水年解析値 = ") + FormatPrintedResult(results.wet10) +
                QStringLiteral("    ") + QStringLiteral("    1/100豊水年解析値 = ") +
                FormatPrintedResult(results.wet100));
    PrintAt(surface, x, PrintPageY(state, 2575),
            QStringLiteral("    非超過確率計算のα値 = ") + FormatReal(state.settings.alpha));
}

std::optional<PrintedLineEnds> PrintedRegressionLine(const AppState& state) {
    const auto line = PrintPaper(state).FittedLineOnGrid(state.study.analysis.logMean,
                                                         state.study.analysis.slope);
    if (!line)
        return std::nullopt;
    // Rounded to whole design units, then to whole millimetres.
    auto mm = [](double grid) { return RoundHalfEven(RoundHalfEven(grid) / 10); };
    return PrintedLineEnds{mm(line->x1()), mm(line->y1()), mm(line->x2()), mm(line->y2())};
}

void DrawPrintedPoints(const AppState& state, DrawingSurface& surface) {
    const ProbabilityPaper paper = PrintPaper(state);
    const int count = std::clamp(state.study.series.recordCount, 0, kMaxRecords);
    auto at = [&](int i) {
        return paper.Position(state.study.analysis.logValues[i], state.study.analysis.deviates[i]);
    };

    // The labels go first so the discs lie over them. The printer draws text on a transparent
    // background, so a label never blanks out the grid or a neighbouring point.
    SetPrintFont(surface, 7, kFaceGothic);
    for (int i = 0; i < count; ++i)
        PrintAt(surface, at(i).x() + 0.5, at(i).y() + 0.3,
                PrintedYearLabel(state.study.series.years[i]));

    surface.SetFontName(kFaceMincho);
    surface.SetFillStyle(kFillSolid);
    surface.SetFillColor(QBColor(0));
    for (int i = 0; i < count; ++i) {
        const float x = F(at(i).x());
        const float y = F(at(i).y());
        surface.SetCurrentX(x);
        surface.SetCurrentY(y);
        surface.Circle(x, y, 0.75f, QBColor(0));
    }

    if (state.settings.analysisMode <= 0)
        return;
    if (const auto line = PrintedRegressionLine(state)) {
        surface.SetDrawWidth(state.settings.regressionLineWidth);
        surface.Line(static_cast<float>(line->xa), static_cast<float>(line->ya),
                     static_cast<float>(line->xb), static_cast<float>(line->yb), kBlack);
    }
    surface.SetFillStyle(kFillTransparent);
}

void DrawPrintedBand(const AppState& state, DrawingSurface& surface) {
    if (!state.settings.showErrorBand || state.settings.analysisMode <= 0)
        return;
    const std::optional<ErrorBand> band = ErrorBandCurves(state.study.paper);
    if (!band)
        return;
    // The dashed-line print width: the band is the page's other dashed line.
    surface.SetDrawWidth(state.settings.dashedLineWidth);
    surface.SetDrawStyle(kDrawStyleSolid);
    for (const BandCurve* curve : {&band->lower, &band->upper})
        PrintPaper(state).DrawDashedCurve(surface, *curve, 2.0, 1.5, kBlack);
}

void DrawPrintedInterval(const AppState& state, DrawingSurface& surface) {
    const std::optional<ShownInterval> interval = ShownIntervalOf(state);
    if (!interval)
        return;
    const int width = surface.DrawWidth();
    const int style = surface.DrawStyle();
    const float size = surface.FontSize();
    const QString face = surface.FontName();

    const CurvePen pen{ModelColour(interval->model), 0.3, 0.9};
    surface.SetDrawWidth(state.settings.dashedLineWidth);
    surface.SetDrawStyle(kDrawStyleSolid);
    const ProbabilityPaper paper = PrintPaper(state);
    for (const Curve* curve : {&interval->band->low, &interval->band->high})
        paper.DrawDashedCurve(surface, *curve, pen.dash, pen.gap, pen.colour);
    // One line under the two columns of the curves' legend.
    const int curveRows = static_cast<int>((ShownCurveModels(state).size() + 1) / 2);
    SetPrintFont(surface, 8);
    const Curve none;
    const QPointF topLeft(PrintPageX(state, kPrintAxisLeft), PrintPageY(state, kPrintLegendTop));
    const QString label = IntervalLegendText(state, interval->model);
    DrawCurveLegend(surface, {{&none, pen, label}}, {topLeft, 1, 0, 8, 2, curveRows});
    // The settings under the label: the whole would run off the sheet on one line.
    surface.SetCurrentX(static_cast<float>(topLeft.x() + 8 + 2));
    surface.SetCurrentY(static_cast<float>(topLeft.y() + surface.TextHeight(label) *
                                                             kLegendSpacing * (curveRows + 1)));
    surface.Print(IntervalSettingsText(state));

    surface.SetDrawWidth(width);
    surface.SetDrawStyle(style);
    surface.SetFontName(face);
    surface.SetFontSize(size);
}

void DrawPrintedCurves(const AppState& state, DrawingSurface& surface) {
    const std::vector<const ModelComparison*> models = ShownCurveModels(state);
    if (models.empty())
        return;
    // Solid, long dashes, short dashes, dots, in millimetres, in the order of the ticks.
    constexpr double kPatterns[][2] = {{1, 0}, {3, 1.5}, {1.2, 1}, {0.4, 0.8}};
    std::vector<ModelCurve> curves;
    for (size_t i = 0; i < models.size(); ++i) {
        const auto& pattern = kPatterns[i % std::size(kPatterns)];
        const FittedModel& model = models[i]->model;
        // The selected model is marked as the comparison marks it.
        const bool selected = state.study.models.selected == model.id();
        curves.push_back({&models[i]->curve,
                          CurvePen{ModelColour(model.id()), pattern[0], pattern[1]},
                          selected ? model.name() + QStringLiteral(" ◎") : model.name()});
    }
    const int width = surface.DrawWidth();
    const int style = surface.DrawStyle();
    const float size = surface.FontSize();
    const QString face = surface.FontName();

    surface.SetDrawWidth(state.settings.regressionLineWidth);
    surface.SetDrawStyle(kDrawStyleSolid);
    DrawModelCurves(PrintPaper(state), surface, curves);
    // Two columns across the value axis, clear of the results block above.
    SetPrintFont(surface, 8);
    DrawCurveLegend(surface, curves,
                    {QPointF(PrintPageX(state, kPrintAxisLeft), PrintPageY(state, kPrintLegendTop)),
                     2, kPrintAxisLength / 20, 8, 2});

    surface.SetDrawWidth(width);
    surface.SetDrawStyle(style);
    surface.SetFontSize(size);
    surface.SetFontName(face);
    surface.SetFontSize(size);
}
