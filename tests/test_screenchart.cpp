// The screen chart's coordinates, texts and pen state, recorded through a fixed-cell surface.
#include "chart/modelcurves.h"
#include "chart/screenchart.h"
#include "curveops.h"
#include "formats/deviatetable.h"
#include "platform/widgets.h"
#include "quantiletable.h"
#include "recordingsurface.h"
#include "state/loading.h"
#include "states.h"
#include "statistics/distributions.h"
#include "statistics/numeric.h"

#include <QFile>
#include <QTest>

#include <algorithm>
#include <cmath>

Q_DECLARE_METATYPE(ModelId)

using Kind = RecordingSurface::Kind;
using Op = RecordingSurface::Op;

namespace {

AppState ChartState(int minIndex = 1, int maxIndex = 3) {
    AppState state;
    state.deviateTable = QuantileTable();
    state.settings.scaleMinIndex = minIndex;
    state.settings.scaleMaxIndex = maxIndex;
    return state;
}

// The recording surface measures text as fixed cells: 100 x 200 units at 10 points, so at
// 8 points a character is 80 wide and a line 160 high.
constexpr int kCharAt8 = 80;
constexpr int kLineAt8 = 160;

const QColor kDarkBlue(0, 0, 128);
const QColor kRed(255, 0, 0);

QList<Op> DottedLines(const RecordingSurface& surface) {
    QList<Op> out;
    for (const Op& op : surface.lines())
        if (op.drawStyle == kDrawStyleDotted)
            out << op;
    return out;
}

// Solid vertical lines: the decade lines, plus a vertical fitted line if one is drawn.
QList<Op> DecadeLines(const RecordingSurface& surface) {
    QList<Op> out;
    for (const Op& op : surface.lines())
        if (op.x1 == op.x2 && op.drawStyle == kDrawStyleSolid && !op.color)
            out << op;
    return out;
}

QList<int> Ints(std::initializer_list<int> values) {
    return QList<int>(values);
}

} // namespace

class TestScreenChart : public QObject {
    Q_OBJECT

private slots:
    void probabilityLines_data();
    void probabilityLines();
    void probabilityGridIsSymmetricWithTheRealTable();
    void verticalCaption_data();
    void verticalCaption();
    void decadeLinesAndLabels_data();
    void decadeLinesAndLabels();
    void subDecadeOffsets_data();
    void subDecadeOffsets();
    void defaultScaleDottedLines();
    void axisTitle_data();
    void axisTitle();
    void points_data();
    void points();
    void fittedLine_data();
    void fittedLine();
    void stateLeftBehind_data();
    void stateLeftBehind();
    void scaleWithoutDecadeIsSafe_data();
    void scaleWithoutDecadeIsSafe();
    void bandOnlyAddsDashesInsideTheFrame_data();
    void bandOnlyAddsDashesInsideTheFrame();
    void comparedCurvesStayInTheFrame_data();
    void comparedCurvesStayInTheFrame();
};

void TestScreenChart::probabilityLines_data() {
    QTest::addColumn<int>("tick");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("y");
    const QStringList labels = {" 0.1", "   1", "   5", "  10", "  20", "  30", "  40", "  50",
                                "  60", "  70", "  80", "  90", "  95", "  99", "99.9"};
    const QList<int> ys = {4463, 3928, 3451, 3197, 2889, 2667, 2477, 2300,
                           2123, 1933, 1711, 1403, 1149, 672,  137};
    for (int i = 0; i < 15; ++i)
        QTest::addRow("tick %d", i + 1) << i << labels[i] << ys[i];
}

void TestScreenChart::probabilityLines() {
    QFETCH(int, tick);
    QFETCH(QString, label);
    QFETCH(int, y);
    RecordingSurface surface;
    DrawScreenAxes(ChartState(), surface);

    // The fifteen horizontal lines come first, one per tick, in table order.
    const Op line = surface.lines().at(tick);
    QCOMPARE(line.x1, 670.0f);
    QCOMPARE(line.x2, 3700.0f);
    QCOMPARE(line.y1, float(y));
    QCOMPARE(line.y2, float(y));
    QVERIFY(!line.color);
    QCOMPARE(line.drawWidth, 1);

    // Four characters at 8 points: 320 wide, so the label starts 400 left of the frame and is
    // centred on its line.
    const auto print = surface.printOf(label);
    QVERIFY(print);
    QCOMPARE(print->x1, float(700 - 4 * kCharAt8 * 5 / 4));
    QCOMPARE(print->y1, float(y - kLineAt8 / 2));
    QCOMPARE(print->fontSize, 8.0f);
    QCOMPARE(print->fontName, kFaceMincho);
}

void TestScreenChart::probabilityGridIsSymmetricWithTheRealTable() {
    AppState state = ChartState();
    state.deviateTable = RealDeviateTable();
    RecordingSurface surface;
    DrawScreenAxes(state, surface);
    const QList<Op> lines = surface.lines();
    QCOMPARE(lines.at(7).y1, 2300.0f);
    for (int i = 0; i < 7; ++i)
        QCOMPARE(lines.at(i).y1 - 2300, 2300 - lines.at(14 - i).y1);
    // Larger probabilities are higher on the screen.
    for (int i = 1; i < 15; ++i)
        QVERIFY(lines.at(i).y1 < lines.at(i - 1).y1);
}

void TestScreenChart::verticalCaption_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::newRow("非") << QStringLiteral("非") << 100 << 1000;
    QTest::newRow("超") << QStringLiteral("超") << 100 << 1500;
    QTest::newRow("過") << QStringLiteral("過") << 100 << 2000;
    QTest::newRow("確") << QStringLiteral("確") << 100 << 2500;
    QTest::newRow("率") << QStringLiteral("率") << 100 << 3000;
    QTest::newRow("(%)") << QStringLiteral("(%)") << 70 << 3500;
}

void TestScreenChart::verticalCaption() {
    QFETCH(QString, text);
    QFETCH(int, x);
    QFETCH(int, y);
    RecordingSurface surface;
    DrawScreenAxes(ChartState(), surface);
    const auto print = surface.printOf(text);
    QVERIFY(print);
    QCOMPARE(print->x1, float(x));
    QCOMPARE(print->y1, float(y));
    QCOMPARE(print->fontSize, 9.0f);
    QCOMPARE(print->fontName, kFaceMincho);
}

void TestScreenChart::decadeLinesAndLabels_data() {
    QTest::addColumn<int>("minIndex");
    QTest::addColumn<int>("maxIndex");
    QTest::addColumn<QList<int>>("xs");
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("default 10..1000")
        << 1 << 3 << Ints({700, 2200, 3700}) << QStringList{"10", "100", "1000"};
    QTest::newRow("one decade 100..1000")
        << 2 << 3 << Ints({700, 3700}) << QStringList{"100", "1000"};
    QTest::newRow("widest 0.1..100000")
        << -1 << 5 << Ints({700, 1200, 1700, 2200, 2700, 3200, 3700})
        << QStringList{"0.1", "1", "10", "100", "1000", "10000", "100000"};
    QTest::newRow("four decades 1..10000") << 0 << 4 << Ints({700, 1450, 2200, 2950, 3700})
                                           << QStringList{"1", "10", "100", "1000", "10000"};
}

void TestScreenChart::decadeLinesAndLabels() {
    QFETCH(int, minIndex);
    QFETCH(int, maxIndex);
    QFETCH(QList<int>, xs);
    QFETCH(QStringList, labels);
    RecordingSurface surface;
    DrawScreenAxes(ChartState(minIndex, maxIndex), surface);

    const QList<Op> decades = DecadeLines(surface);
    QCOMPARE(decades.size(), xs.size());
    for (int i = 0; i < xs.size(); ++i) {
        // From the 99.9 % line to a tick length below the 0.1 % line.
        QCOMPARE(decades[i].x1, float(xs[i]));
        QCOMPARE(decades[i].y1, 137.0f);
        QCOMPARE(decades[i].y2, 4493.0f);
        QCOMPARE(decades[i].drawWidth, 1);

        const auto print = surface.printOf(labels[i]);
        QVERIFY2(print, qPrintable(labels[i]));
        const int width = int(labels[i].size()) * kCharAt8;
        QCOMPARE(print->x1, float(xs[i] - width / 2));
        QCOMPARE(print->y1, float(4463 + kLineAt8 / 2));
        QCOMPARE(print->fontSize, 8.0f);
    }
    // Eight dotted lines per decade, none of them reaching below the 0.1 % line.
    const QList<Op> dotted = DottedLines(surface);
    QCOMPARE(dotted.size(), 8 * (xs.size() - 1));
    for (const Op& op : dotted) {
        QCOMPARE(op.y1, 137.0f);
        QCOMPARE(op.y2, 4463.0f);
        QCOMPARE(op.color, std::optional<QColor>(kDarkBlue));
    }
}

void TestScreenChart::subDecadeOffsets_data() {
    QTest::addColumn<int>("decades");
    QTest::addColumn<QList<int>>("offsets");
    QTest::newRow("D=1") << 1 << Ints({903, 1431, 1806, 2097, 2334, 2535, 2709, 2863});
    QTest::newRow("D=2") << 2 << Ints({452, 716, 903, 1048, 1167, 1268, 1355, 1431});
    QTest::newRow("D=3") << 3 << Ints({301, 477, 602, 699, 778, 845, 903, 954});
    QTest::newRow("D=4") << 4 << Ints({226, 358, 452, 524, 584, 634, 677, 716});
    QTest::newRow("D=5") << 5 << Ints({181, 286, 361, 419, 467, 507, 542, 573});
    QTest::newRow("D=6") << 6 << Ints({151, 239, 301, 349, 389, 423, 452, 477});
}

void TestScreenChart::subDecadeOffsets() {
    QFETCH(int, decades);
    QFETCH(QList<int>, offsets);
    RecordingSurface surface;
    DrawScreenAxes(ChartState(-1, -1 + decades), surface);
    const QList<Op> dotted = DottedLines(surface);
    QCOMPARE(dotted.size(), 8 * decades);
    for (int v = 0; v < decades; ++v) {
        const int decadeLeft = 700 + static_cast<int>(std::nearbyint(v * 3000.0 / decades));
        for (int k = 0; k < 8; ++k)
            QCOMPARE(dotted[8 * v + k].x1, float(decadeLeft + offsets[k]));
    }
}

void TestScreenChart::defaultScaleDottedLines() {
    RecordingSurface surface;
    DrawScreenAxes(ChartState(1, 3), surface);
    QList<int> xs;
    for (const Op& op : DottedLines(surface)) {
        QCOMPARE(op.x2, op.x1);
        xs << int(op.x1);
    }
    QCOMPARE(xs, Ints({1152, 1416, 1603, 1748, 1867, 1968, 2055, 2131, 2652, 2916, 3103, 3248, 3367,
                       3468, 3555, 3631}));
    // Each decade's labelled solid line comes before its dotted lines, and solid is restored.
    const QList<Op> lines = surface.lines();
    const auto firstDotted = std::find_if(
        lines.begin(), lines.end(), [](const Op& op) { return op.drawStyle == kDrawStyleDotted; });
    QVERIFY(firstDotted != lines.begin());
    QCOMPARE((firstDotted - 1)->x1, 2200.0f);
    QCOMPARE(surface.DrawStyle(), kDrawStyleSolid);
}

void TestScreenChart::axisTitle_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<float>("charWidthAt10");
    QTest::addColumn<float>("x");
    QTest::newRow("empty") << QString() << 100.0f << 2200.0f;
    // Eight characters, with the full-width space.
    QTest::newRow("default title") << kDefaultAxisTitle << 100.0f << float(700 + (3000 - 640) / 2);
    // One cell of 80.8 units rounds to 81, and the half of 2919 is kept unrounded.
    QTest::newRow("odd width stays unrounded") << QStringLiteral("x") << 101.0f << 2159.5f;
}

void TestScreenChart::axisTitle() {
    QFETCH(QString, title);
    QFETCH(float, charWidthAt10);
    QFETCH(float, x);
    RecordingSurface surface(charWidthAt10);
    AppState state = ChartState();
    state.settings.axisTitle = title;
    DrawScreenAxes(state, surface);
    // The title is the last text; it is measured at 8 points and printed at 9.
    const Op print = surface.prints().last();
    QCOMPARE(print.text, title);
    QCOMPARE(print.x1, x);
    QCOMPARE(print.y1, 4800.0f);
    QCOMPARE(print.fontSize, 9.0f);
}

void TestScreenChart::points_data() {
    QTest::addColumn<int>("minIndex");
    QTest::addColumn<int>("maxIndex");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("deviate");
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::newRow("100 at the median") << 1 << 3 << 100.0 << 0.0 << 2200.0f << 2300.0f;
    QTest::newRow("10 at -1") << 1 << 3 << 10.0 << -1.0 << 700.0f << 3000.0f;
    QTest::newRow("1000 at 1.5") << 1 << 3 << 1000.0 << 1.5 << 3700.0f << 1250.0f;
    QTest::newRow("5 left of the frame") << 1 << 3 << 5.0 << 0.0 << 248.0f << 2300.0f;
    QTest::newRow("beyond the right end") << 1 << 3 << 10000.0 << 3.5 << 5200.0f << -150.0f;
    QTest::newRow("0.1 on the widest scale") << -1 << 5 << 0.1 << -3.0 << 700.0f << 4400.0f;
}

void TestScreenChart::points() {
    QFETCH(int, minIndex);
    QFETCH(int, maxIndex);
    QFETCH(double, value);
    QFETCH(double, deviate);
    QFETCH(float, x);
    QFETCH(float, y);
    AppState state = ChartState(minIndex, maxIndex);
    state.study.series.recordCount = 2;
    // The analysis takes the logarithm this way too.
    state.study.analysis.logValues[0] = std::log(value) / std::log(10.0);
    state.study.analysis.deviates[0] = deviate;
    state.study.analysis.logValues[1] = 2;
    state.study.analysis.deviates[1] = 0.25;
    RecordingSurface surface;
    DrawScreenChart(state, surface);

    const QList<Op> circles = surface.circles();
    QCOMPARE(circles.size(), 2);
    QCOMPARE(circles[0].x1, x);
    QCOMPARE(circles[0].y1, y);
    QCOMPARE(circles[0].radius, 20.0f);
    QVERIFY(!circles[0].color);
    QCOMPARE(circles[0].fillStyle, kFillSolid);
    QCOMPARE(circles[0].drawStyle, kDrawStyleSolid);
    QCOMPARE(circles[0].drawWidth, 1);
    // Points follow the order of the records, after the whole grid and the title, so a dot
    // covers the line it sits on.
    QCOMPARE(circles[1].y1, 2300.0f - 175.0f);
    QCOMPARE(surface.ops.at(surface.ops.size() - 3).text, state.settings.axisTitle);
}

void TestScreenChart::fittedLine_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("recordCount");
    QTest::addColumn<double>("logMean");
    QTest::addColumn<double>("slope");
    QTest::addColumn<bool>("drawn");
    QTest::addColumn<QList<int>>("ends"); // x1, y1, x2, y2

    QTest::newRow("mode 0: dots only") << 0 << 3 << 2.0 << 0.2 << false << QList<int>();
    QTest::newRow("mode 1 uncut") << 1 << 3 << 2.0 << 0.2 << true << Ints({3100, 200, 1300, 4400});
    QTest::newRow("mode 2 same line")
        << 2 << 3 << 2.0 << 0.2 << true << Ints({3100, 200, 1300, 4400});
    QTest::newRow("cut at the right side")
        << 1 << 3 << 2.8 << 0.2 << true << Ints({3700, 1600, 2500, 4400});
    // vLow = 0.6 leaves the frame on the left: cut where v = 1, at z = -1.
    QTest::newRow("cut at the left side")
        << 1 << 3 << 1.2 << 0.2 << true << Ints({1900, 200, 700, 3000});
    QTest::newRow("cut at both sides")
        << 1 << 3 << 2.0 << 1.0 << true << Ints({3700, 1600, 700, 3000});
    QTest::newRow("no records still draws the line")
        << 1 << 0 << 2.0 << 0.2 << true << Ints({3100, 200, 1300, 4400});
    // A line of one value inside the scale is vertical, outside it would need a division by 0.
    QTest::newRow("slope 0 inside the scale")
        << 1 << 3 << 2.0 << 0.0 << true << Ints({2200, 200, 2200, 4400});
    QTest::newRow("slope 0 right of the scale") << 1 << 3 << 3.5 << 0.0 << false << QList<int>();
    QTest::newRow("slope 0 left of the scale") << 2 << 3 << 0.5 << 0.0 << false << QList<int>();
}

void TestScreenChart::fittedLine() {
    QFETCH(int, mode);
    QFETCH(int, recordCount);
    QFETCH(double, logMean);
    QFETCH(double, slope);
    QFETCH(bool, drawn);
    QFETCH(QList<int>, ends);
    AppState state = ChartState(1, 3);
    state.settings.analysisMode = mode;
    state.study.analysis.logMean = logMean;
    state.study.analysis.slope = slope;
    state.study.series.recordCount = recordCount;
    for (int i = 0; i < recordCount; ++i) {
        state.study.analysis.logValues[i] = 1.5 + i * 0.5;
        state.study.analysis.deviates[i] = -1 + i;
    }
    RecordingSurface surface;
    DrawScreenChart(state, surface);

    QCOMPARE(surface.circles().size(), recordCount);
    QList<Op> red;
    for (const Op& op : surface.lines())
        if (op.color == std::optional<QColor>(kRed))
            red << op;
    QCOMPARE(red.size(), drawn ? 1 : 0);
    if (!drawn)
        return;
    QCOMPARE(red[0].x1, float(ends[0]));
    QCOMPARE(red[0].y1, float(ends[1]));
    QCOMPARE(red[0].x2, float(ends[2]));
    QCOMPARE(red[0].y2, float(ends[3]));
    QCOMPARE(red[0].drawWidth, 1);
    QCOMPARE(red[0].drawStyle, kDrawStyleSolid);
    // The line is the last thing drawn.
    QCOMPARE(surface.ops.last().color, std::optional<QColor>(kRed));
}

void TestScreenChart::stateLeftBehind_data() {
    QTest::addColumn<int>("mode");
    QTest::newRow("dots only") << 0;
    QTest::newRow("with line") << 1;
}

void TestScreenChart::stateLeftBehind() {
    QFETCH(int, mode);
    AppState state = ChartState();
    state.settings.analysisMode = mode;
    state.study.analysis.logMean = 2;
    state.study.analysis.slope = 0.2;
    RecordingSurface surface;
    surface.SetFontName(QStringLiteral("other face"));
    surface.SetFontSize(20);
    DrawScreenChart(state, surface);
    QCOMPARE(surface.FontSize(), 9.0f);
    QCOMPARE(surface.FontName(), kFaceMincho);
    QCOMPARE(surface.DrawStyle(), kDrawStyleSolid);
    QCOMPARE(surface.FillStyle(), kFillSolid);
    QCOMPARE(surface.DrawWidth(), 1);

    // The axes alone never touch the pen width or the fill.
    RecordingSurface axesOnly;
    axesOnly.SetDrawWidth(4);
    DrawScreenAxes(state, axesOnly);
    QCOMPARE(axesOnly.FillStyle(), kFillTransparent);
    QCOMPARE(axesOnly.DrawWidth(), 4);
}

void TestScreenChart::scaleWithoutDecadeIsSafe_data() {
    QTest::addColumn<int>("minIndex");
    QTest::addColumn<int>("maxIndex");
    QTest::newRow("equal ends") << 3 << 3;
    QTest::newRow("reversed ends") << 3 << 1;
    QTest::newRow("before the first load") << 0 << 0;
}

void TestScreenChart::scaleWithoutDecadeIsSafe() {
    QFETCH(int, minIndex);
    QFETCH(int, maxIndex);
    AppState state = ChartState(minIndex, maxIndex);
    state.study.series.recordCount = 2;
    state.study.analysis.logValues[0] = 2;
    state.study.analysis.logValues[1] = 2.5;
    state.settings.analysisMode = 1;
    state.study.analysis.logMean = 2;
    state.study.analysis.slope = 0.2;
    RecordingSurface surface;
    DrawScreenChart(state, surface);
    // The probability grid and the left-end label can be drawn; nothing placed on the value
    // axis can.
    QCOMPARE(surface.lines().size(), 15 + 1);
    QVERIFY(surface.circles().isEmpty());
    QVERIFY(DottedLines(surface).isEmpty());
    QVERIFY(surface.printOf(FormatReal(std::pow(10.0, minIndex))));
    QCOMPARE(surface.FillStyle(), kFillSolid);
}

void TestScreenChart::bandOnlyAddsDashesInsideTheFrame_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("band");
    QTest::addColumn<bool>("dashes");
    QTest::newRow("off, line shown") << 1 << false << false;
    QTest::newRow("on, points only") << 0 << true << false;
    QTest::newRow("on, line shown") << 1 << true << true;
    QTest::newRow("on, line and values") << 2 << true << true;
}

void TestScreenChart::bandOnlyAddsDashesInsideTheFrame() {
    QFETCH(int, mode);
    QFETCH(bool, band);
    QFETCH(bool, dashes);
    AppState state = AnalysedState({60.0, 80.0, 95.0, 120.0, 150.0, 400.0, 70.0, 110.0});
    state.settings.analysisMode = mode;
    RecordingSurface before;
    DrawScreenChart(state, before);
    state.settings.showErrorBand = band;
    RecordingSurface after;
    DrawScreenChart(state, after);
    // Everything drawn without the band comes first and unchanged.
    QVERIFY(after.ops.size() >= before.ops.size());
    for (qsizetype i = 0; i < before.ops.size(); ++i) {
        QCOMPARE(after.ops[i].kind, before.ops[i].kind);
        QCOMPARE(after.ops[i].x1, before.ops[i].x1);
        QCOMPARE(after.ops[i].y2, before.ops[i].y2);
        QCOMPARE(after.ops[i].text, before.ops[i].text);
    }
    const QList<Op> extra = after.ops.mid(before.ops.size());
    QCOMPARE(!extra.isEmpty(), dashes);
    const double top = 2300 - 700 * state.deviateTable[499];
    const double bottom = 2300 + 700 * state.deviateTable[499];
    for (const Op& op : extra) {
        QCOMPARE(op.kind, Kind::Line);
        QCOMPARE(op.color, std::optional<QColor>(kRed));
        QCOMPARE(op.drawWidth, 1);
        for (float x : {op.x1, op.x2})
            QVERIFY(x >= 700 - 0.01 && x <= 3700 + 0.01);
        for (float y : {op.y1, op.y2})
            QVERIFY(y >= top - 1 && y <= bottom + 1);
        // Dashes, not one solid stroke.
        QVERIFY(std::hypot(op.x2 - op.x1, op.y2 - op.y1) <= 60.01);
    }
}

QTEST_GUILESS_MAIN(TestScreenChart)
#include "test_screenchart.moc"

void TestScreenChart::comparedCurvesStayInTheFrame_data() {
    QTest::addColumn<bool>("show");
    QTest::addColumn<QList<ModelId>>("models");
    QTest::addColumn<int>("minIndex");
    QTest::addColumn<int>("maxIndex");
    const QList<ModelId> two{ModelId::Gumbel, ModelId::Ln2Pm};
    QTest::newRow("off, two ticked") << false << two << 1 << 3;
    QTest::newRow("on, none ticked") << true << QList<ModelId>{} << 1 << 3;
    QTest::newRow("on, two ticked") << true << two << 1 << 3;
    QTest::newRow("on, the page's line and lp3")
        << true << QList<ModelId>{ModelId::Ln2Paper, ModelId::Lp3} << 1 << 3;
    // Most of each curve lies left of a scale that starts at 100.
    QTest::newRow("on, scale beside the values") << true << two << 2 << 4;
}

// The curves come between the paper and the points and leave everything else as it was.
void TestScreenChart::comparedCurvesStayInTheFrame() {
    QFETCH(bool, show);
    QFETCH(QList<ModelId>, models);
    QFETCH(int, minIndex);
    QFETCH(int, maxIndex);
    AppState state = AnalysedState({60.0, 80.0, 95.0, 120.0, 150.0, 400.0, 70.0, 110.0});
    state.settings.analysisMode = 1;
    state.settings.scaleMinIndex = minIndex;
    state.settings.scaleMaxIndex = maxIndex;
    RecordingSurface before;
    DrawScreenChart(state, before);
    state.compared.show = show;
    state.compared.models.assign(models.begin(), models.end());
    state.compared.chosen = true;
    RecordingSurface after;
    DrawScreenChart(state, after);

    const CurveOps split = SplitCurveOps(after, models, ModelShortName);
    const QList<Op>& curves = split.curves;
    const QList<Op>& others = split.others;
    QCOMPARE(FirstDifference(others, before.ops), QString());
    QCOMPARE(after.FontSize(), before.FontSize());
    QCOMPARE(curves.isEmpty(), !show || models.isEmpty());

    const double top = 2300 - 700 * state.deviateTable[499];
    const double bottom = 2300 + 700 * state.deviateTable[499];
    QRectF legend;
    for (const Op& op : curves) {
        if (op.kind == Kind::Print) {
            // Each label with its stroke in front of it, measured at the label's own size.
            const double scale = op.fontSize / after.FontSize();
            legend |= QRectF(op.x1 - 250, op.y1, 250 + after.TextWidth(op.text) * scale,
                             after.TextHeight(op.text) * scale);
            continue;
        }
        // Strokes, and the legend's background.
        QVERIFY(op.kind == Kind::Line || op.kind == Kind::Box);
        for (float x : {op.x1, op.x2})
            QVERIFY2(x >= 700 - 0.01 && x <= 3700 + 0.01, qPrintable(QString::number(x)));
        for (float y : {op.y1, op.y2})
            QVERIFY(y >= top - 0.01 && y <= bottom + 0.01);
    }
    // The legend lies inside the frame, in a corner the points leave clear.
    QVERIFY(legend.isNull() || QRectF(QPointF(700, top), QPointF(3700, bottom)).contains(legend));
    for (const Op& op : after.circles())
        QVERIFY(!legend.adjusted(-20, -20, 20, 20).contains(QPointF(op.x1, op.y1)));
    if (show)
        for (const ModelId id : models)
            QVERIFY2(std::count_if(curves.begin(), curves.end(),
                                   [&](const Op& op) { return op.color == ModelColour(id); }) > 10,
                     ModelKey(id));
}
