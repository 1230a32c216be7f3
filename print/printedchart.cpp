#include "print/printedchart.h"

#include "analysis/deviatetable.h"
#include "analysis/fitmeasures.h"
#include "analysis/numeric.h"
#include "analysis/series.h"
#include "chart/clipping.h"
#include "chart/dashedcurve.h"
#include "platform/widgets.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

struct ProbabilityRow {
    double p;
    const char* label;
};

// Bottom to top. The labels are padded to four characters so they right-align on the grid.
constexpr std::array<ProbabilityRow, 15> kProbabilityRows{{
    {0.001, " 0.1"},
    {0.01, "   1"},
    {0.05, "   5"},
    {0.1, "  10"},
    {0.2, "  20"},
    {0.3, "  30"},
    {0.4, "  40"},
    {0.5, "  50"},
    {0.6, "  60"},
    {0.7, "  70"},
    {0.8, "  80"},
    {0.9, "  90"},
    {0.95, "  95"},
    {0.99, "  99"},
    {0.999, "99.9"},
}};

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

double ValueAxisScale(const AppState& state) {
    return kPrintAxisLength / (state.settings.scaleMaxIndex - state.settings.scaleMinIndex);
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
    const DeviateTable& table = state.deviateTable;
    const double xL = PrintPageX(state, kPrintAxisLeft - 15);
    const double xR = PrintPageX(state, kPrintAxisLeft + kPrintAxisLength);
    const double yBottom =
        PrintPageY(state, kPrintMedianLine - kPrintDeviateUnit * DeviateAt(table, 0.001));
    const double yTop =
        PrintPageY(state, kPrintMedianLine - kPrintDeviateUnit * DeviateAt(table, 0.999));

    SolidPen(state, surface);
    surface.SetFontSize(10);

    // Probability lines, each labelled right-aligned an eighth of the label's width left of
    // the line's end and centred on it.
    for (const ProbabilityRow& row : kProbabilityRows) {
        const QString label = QString::fromLatin1(row.label);
        const double y =
            PrintPageY(state, kPrintMedianLine - kPrintDeviateUnit * DeviateAt(table, row.p));
        surface.Line(static_cast<float>(xL), static_cast<float>(y), static_cast<float>(xR),
                     static_cast<float>(y), kBlack);
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
    const int n = state.settings.scaleMaxIndex - state.settings.scaleMinIndex;
    const double decade = ValueAxisScale(state);
    for (int k = 0; k <= n; ++k) {
        const double x = PrintPageX(state, kPrintAxisLeft + k * decade);
        const QString label = PowerOfTenText(state.settings.scaleMinIndex + k);
        surface.Line(static_cast<float>(x), static_cast<float>(yTop), static_cast<float>(x),
                     static_cast<float>(yBottom + 1.5), kBlack);
        PrintAt(surface, x - surface.TextWidth(label) / 2,
                yBottom + 1.5 + surface.TextHeight(label) / 4, label);
        if (k < 1)
            continue;
        surface.SetDrawWidth(state.settings.dashedLineWidth);
        surface.SetDrawStyle(kDrawStyleDotted);
        for (int j = 2; j <= 9; ++j) {
            const double log10j = std::log(static_cast<double>(j)) / std::log(10.0);
            const double xj =
                PrintPageX(state, kPrintAxisLeft + (k - 1) * decade + log10j * decade);
            surface.Line(static_cast<float>(xj), static_cast<float>(yTop), static_cast<float>(xj),
                         static_cast<float>(yBottom), kBlack);
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
    const double minIndex = state.settings.scaleMinIndex;
    const double maxIndex = state.settings.scaleMaxIndex;
    double zHi = 3;
    double lHi = state.analysis.slope * 3 + state.analysis.logMean;
    if (lHi > maxIndex) {
        // A level line above the axis never meets it.
        if (state.analysis.slope == 0)
            return std::nullopt;
        lHi = maxIndex;
        zHi = (maxIndex - state.analysis.logMean) / state.analysis.slope;
    }
    double zLo = -3;
    double lLo = state.analysis.slope * -3 + state.analysis.logMean;
    if (lLo < minIndex) {
        if (state.analysis.slope == 0)
            return std::nullopt;
        lLo = minIndex;
        zLo = (minIndex - state.analysis.logMean) / state.analysis.slope;
    }
    const double uS = kPrintAxisLeft + state.settings.printOffsetX;
    const double vS = kPrintMedianLine - state.settings.printOffsetY;
    const double scale = ValueAxisScale(state);
    // A nearly level line puts its cut far off the sheet: as on the screen, only the part
    // within the generous range of the design grid is drawn, along the same line.
    const auto line = ClipSegment({uS + (lHi - minIndex) * scale, vS - zHi * kPrintDeviateUnit,
                                   uS + (lLo - minIndex) * scale, vS - zLo * kPrintDeviateUnit});
    if (!line)
        return std::nullopt;
    // Rounded to whole design units, then to whole millimetres.
    const double ua = RoundHalfEven(line->x1);
    const double va = RoundHalfEven(line->y1);
    const double ub = RoundHalfEven(line->x2);
    const double vb = RoundHalfEven(line->y2);
    return PrintedLineEnds{RoundHalfEven(ua / 10), RoundHalfEven(va / 10), RoundHalfEven(ub / 10),
                           RoundHalfEven(vb / 10)};
}

void DrawPrintedPoints(const AppState& state, DrawingSurface& surface) {
    const double uS = kPrintAxisLeft + state.settings.printOffsetX;
    const double vS = kPrintMedianLine - state.settings.printOffsetY;
    const double scale = ValueAxisScale(state);
    const int count = std::clamp(state.series.recordCount, 0, kMaxRecords);
    auto pageX = [&](int i) {
        return (uS + (state.analysis.logValues[i] - state.settings.scaleMinIndex) * scale) / 10;
    };
    auto pageY = [&](int i) { return (vS - kPrintDeviateUnit * state.analysis.deviates[i]) / 10; };

    // The labels go first so the discs lie over them. The printer draws text on a transparent
    // background, so a label never blanks out the grid or a neighbouring point.
    SetPrintFont(surface, 7, kFaceGothic);
    for (int i = 0; i < count; ++i)
        PrintAt(surface, pageX(i) + 0.5, pageY(i) + 0.3, PrintedYearLabel(state.series.years[i]));

    surface.SetFontName(kFaceMincho);
    surface.SetFillStyle(kFillSolid);
    surface.SetFillColor(QBColor(0));
    for (int i = 0; i < count; ++i) {
        const float x = static_cast<float>(pageX(i));
        const float y = static_cast<float>(pageY(i));
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
    const std::optional<ErrorBand> band = ErrorBandCurves(ComputeFitMeasures(state));
    if (!band)
        return;
    const double uS = kPrintAxisLeft + state.settings.printOffsetX;
    const double vS = kPrintMedianLine - state.settings.printOffsetY;
    const double scale = ValueAxisScale(state);
    auto toPage = [&](const BandCurve& curve) {
        std::vector<std::optional<QPointF>> points;
        for (const std::optional<BandPoint>& p : curve) {
            if (p)
                points.emplace_back(
                    QPointF((uS + (p->logValue - state.settings.scaleMinIndex) * scale) / 10,
                            (vS - kPrintDeviateUnit * p->deviate) / 10));
            else
                points.emplace_back(std::nullopt);
        }
        return points;
    };
    const DeviateTable& table = state.deviateTable;
    const QRectF frame(
        QPointF(PrintPageX(state, kPrintAxisLeft),
                PrintPageY(state, kPrintMedianLine - kPrintDeviateUnit * DeviateAt(table, 0.999))),
        QPointF(PrintPageX(state, kPrintAxisLeft + kPrintAxisLength),
                PrintPageY(state, kPrintMedianLine - kPrintDeviateUnit * DeviateAt(table, 0.001))));
    // The dashed-line print width: the band is the page's other dashed line.
    surface.SetDrawWidth(state.settings.dashedLineWidth);
    surface.SetDrawStyle(kDrawStyleSolid);
    for (const BandCurve* curve : {&band->lower, &band->upper})
        DrawDashedCurve(surface, toPage(*curve), frame, 2.0, 1.5, kBlack);
}
