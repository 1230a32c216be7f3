// The printed page in millimetres, recorded through a fixed-cell surface.
#include "chart/clipping.h"
#include "chart/modelcurves.h"
#include "chart/screenchart.h"
#include "curveops.h"
#include "formats/deviatetable.h"
#include "nearequal.h"
#include "platform/widgets.h"
#include "print/printedchart.h"
#include "print/printjob.h"
#include "recordingsurface.h"
#include "state/loading.h"
#include "states.h"
#include "statistics/dataerror.h"
#include "statistics/distributions.h"
#include "test_print_fixture.h"

#include <QTest>

#include <algorithm>

Q_DECLARE_METATYPE(ModelId)

using Kind = RecordingSurface::Kind;
using Op = RecordingSurface::Op;

namespace {

// At 10 points a character is 2 mm wide and a line 4 mm high.
constexpr float kCharAt10 = 2.0f;
constexpr float kLineAt10 = 4.0f;

RecordingSurface PageSurface() {
    return RecordingSurface(kCharAt10, kLineAt10);
}

QList<Op> Vertical(const QList<Op>& lines, int style) {
    QList<Op> out;
    for (const Op& op : lines)
        if (op.x1 == op.x2 && op.drawStyle == style)
            out << op;
    std::sort(out.begin(), out.end(), [](const Op& a, const Op& b) { return a.x1 < b.x1; });
    return out;
}

} // namespace

class TestPrintChart : public QObject {
    Q_OBJECT
private slots:
    void nearlyLevelSeriesDrawOnBothSurfaces_data();
    void nearlyLevelSeriesDrawOnBothSurfaces();
    void probabilityLines_data();
    void probabilityLines();
    void decades_data();
    void decades();
    void titleAndNote();
    void offsetsMoveEverything_data();
    void offsetsMoveEverything();
    void resultsBlock_data();
    void resultsBlock();
    void resultText_data();
    void resultText();
    void yearLabels_data();
    void yearLabels();
    void pointAndLabel();
    void regressionLine_data();
    void regressionLine();
    void jobRestoresFace();
    void badScaleDrawsNothing();
    void hugeOffsetRefused();
    void comparedCurvesOnThePage_data();
    void comparedCurvesOnThePage();
};

void TestPrintChart::probabilityLines_data() {
    QTest::addColumn<QString>("label");
    QTest::addColumn<double>("y");
    QTest::newRow("0.1 %") << " 0.1" << kPrintYBottom;
    QTest::newRow("10 %") << "  10" << 120 + 30 * 1.2816;
    QTest::newRow("50 %") << "  50" << 120.0;
    QTest::newRow("95 %") << "  95" << 120 - 30 * 1.6449;
    QTest::newRow("99.9 %") << "99.9" << kPrintYTop;
}

void TestPrintChart::probabilityLines() {
    QFETCH(QString, label);
    QFETCH(double, y);
    AppState state = PrintState();
    RecordingSurface surface = PageSurface();
    DrawPrintedChart(state, surface);

    const auto line = std::find_if(surface.ops.cbegin(), surface.ops.cend(), [&](const Op& op) {
        return op.kind == Kind::Line && op.y1 == op.y2 && std::fabs(op.y1 - y) < 1e-3;
    });
    QVERIFY(line != surface.ops.cend());
    QUORVEL_COMPARE_NEAR(line->x1, 38.5, 1e-4);
    QUORVEL_COMPARE_NEAR(line->x2, 190, 1e-4);
    QCOMPARE(line->drawWidth, 3);
    QCOMPARE(line->color, std::optional<QColor>(QColor(0, 0, 0)));

    // Right-aligned an eighth of its width (four cells of 2 mm) left of the line, centred on it.
    const auto print = surface.printOf(label);
    QVERIFY(print);
    QUORVEL_COMPARE_NEAR(print->x1, 38.5 - 8 * 9.0 / 8, 1e-4);
    QUORVEL_COMPARE_NEAR(print->y1, y - 2, 1e-3);
    QCOMPARE(print->fontSize, 10.0f);
    const QList<Op> lines = surface.lines();
    QCOMPARE(
        std::count_if(lines.cbegin(), lines.cend(), [](const Op& op) { return op.y1 == op.y2; }),
        qsizetype(15));
}

void TestPrintChart::decades_data() {
    QTest::addColumn<int>("minIndex");
    QTest::addColumn<int>("maxIndex");
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<double>("firstMinorX");
    QTest::newRow("one decade") << 1 << 2 << QStringList{"10", "100"} << 40 + 150 * std::log10(2.0);
    QTest::newRow("two decades") << 1 << 3 << QStringList{"10", "100", "1000"}
                                 << 40 + 75 * std::log10(2.0);
    QTest::newRow("six decades") << -1 << 5
                                 << QStringList{"0.1", "1", "10", "100", "1000", "10000", "100000"}
                                 << 40 + 25 * std::log10(2.0);
}

void TestPrintChart::decades() {
    QFETCH(int, minIndex);
    QFETCH(int, maxIndex);
    QFETCH(QStringList, labels);
    QFETCH(double, firstMinorX);
    AppState state = PrintState(0, minIndex, maxIndex);
    RecordingSurface surface = PageSurface();
    DrawPrintedChart(state, surface);

    const int n = maxIndex - minIndex;
    const QList<Op> decadeLines = Vertical(surface.lines(), kDrawStyleSolid);
    QCOMPARE(decadeLines.size(), n + 1);
    for (int k = 0; k <= n; ++k) {
        const double x = 40 + k * 150.0 / n;
        QUORVEL_COMPARE_NEAR(decadeLines[k].x1, x, 1e-4);
        QUORVEL_COMPARE_NEAR(decadeLines[k].y1, kPrintYTop, 1e-3);
        QUORVEL_COMPARE_NEAR(decadeLines[k].y2, kPrintYBottom + 1.5, 1e-3);
        QCOMPARE(decadeLines[k].drawWidth, 3);
        // The value is centred under its line, a quarter line below the line's end.
        const auto print = surface.printOf(labels[k]);
        QVERIFY2(print, qPrintable(labels[k]));
        QUORVEL_COMPARE_NEAR(print->x1, x - labels[k].size() * kCharAt10 / 2, 1e-4);
        QUORVEL_COMPARE_NEAR(print->y1, kPrintYBottom + 1.5 + kLineAt10 / 4, 1e-3);
    }

    const QList<Op> minor = Vertical(surface.lines(), kDrawStyleDotted);
    QCOMPARE(minor.size(), 8 * n);
    QUORVEL_COMPARE_NEAR(minor.first().x1, firstMinorX, 1e-4);
    for (const Op& op : minor) {
        QCOMPARE(op.drawWidth, 2);
        QUORVEL_COMPARE_NEAR(op.y2, kPrintYBottom, 1e-3);
    }
    // The pen is back to solid for whatever is drawn next.
    QCOMPARE(surface.DrawStyle(), kDrawStyleSolid);
    QCOMPARE(surface.DrawWidth(), 3);
}

void TestPrintChart::titleAndNote() {
    AppState state = PrintState(0);
    RecordingSurface surface = PageSurface();
    DrawPrintedChart(state, surface);

    // Eight characters: centred by their 16 mm at 10 points, then printed at 12.
    const auto title = surface.printOf(QStringLiteral("降水量　(mm)"));
    QVERIFY(title);
    QUORVEL_COMPARE_NEAR(title->x1, 115 - 8, 1e-4);
    QUORVEL_COMPARE_NEAR(title->y1, 225, 1e-4);
    QCOMPARE(title->fontSize, 12.0f);
    QCOMPARE(title->fontName, kFaceMincho);

    const auto note = surface.printOf(QStringLiteral("数字は西暦年の下２桁"));
    QVERIFY(note);
    QUORVEL_COMPARE_NEAR(note->x1, 190 - 20, 1e-4);
    QUORVEL_COMPARE_NEAR(note->y1, kPrintYTop - 4.4, 1e-3);
    QCOMPARE(note->fontSize, 10.0f);

    const auto caption = surface.printOf(QStringLiteral("非"));
    QVERIFY(caption);
    QUORVEL_COMPARE_NEAR(caption->x1, 20, 1e-4);
    QUORVEL_COMPARE_NEAR(caption->y1, 70, 1e-4);
    QCOMPARE(caption->fontSize, 12.0f);
    QUORVEL_COMPARE_NEAR(surface.printOf(QStringLiteral("(%)"))->x1, 18.5, 1e-4);
}

void TestPrintChart::offsetsMoveEverything_data() {
    QTest::addColumn<QString>("text7");
    QTest::addColumn<QString>("text8");
    QTest::addColumn<double>("dx");
    QTest::addColumn<double>("dy");
    QTest::newRow("5 right, 3 down") << "5"
                                     << "-3" << 5.0 << 3.0;
    QTest::newRow("5 up") << "0"
                          << "5" << 0.0 << -5.0;
    QTest::newRow("fraction") << "2.5"
                              << "0" << 2.5 << 0.0;
    QTest::newRow("letters") << "abc"
                             << "mm" << 0.0 << 0.0;
    QTest::newRow("digits then letters") << "12mm"
                                         << " - 1 " << 12.0 << 1.0;
}

void TestPrintChart::offsetsMoveEverything() {
    QFETCH(QString, text7);
    QFETCH(QString, text8);
    QFETCH(double, dx);
    QFETCH(double, dy);
    auto page = [](const QString& right, const QString& up, AppState& state) {
        AddRecord(state, 1990, 100, 0);
        AddRecord(state, 1991, 420, 1.2816);
        state.study.analysis.logMean = 2;
        state.study.analysis.slope = 0.25;
        RecordingSurface surface = PageSurface();
        RunPrintJob(state, right, up, surface);
        return surface.ops;
    };
    AppState plainState = PrintState();
    AppState movedState = PrintState();
    const QList<Op> plain = page(QStringLiteral("0"), QStringLiteral("0"), plainState);
    const QList<Op> moved = page(text7, text8, movedState);
    QCOMPARE(movedState.settings.printOffsetX, dx * 10);
    QCOMPARE(movedState.settings.printOffsetY, -dy * 10);

    QCOMPARE(moved.size(), plain.size());
    for (int i = 0; i < plain.size(); ++i) {
        QCOMPARE(moved[i].text, plain[i].text);
        // The fitted line's ends are whole millimetres, so a fractional shift moves them by
        // whatever the rounding gives.
        const bool wholeMm = moved[i].kind == Kind::Line && moved[i].drawWidth == 5;
        const double tolerance = wholeMm ? 0.5 + 1e-4 : 1e-3;
        QUORVEL_COMPARE_NEAR(moved[i].x1, plain[i].x1 + dx, tolerance);
        QUORVEL_COMPARE_NEAR(moved[i].y1, plain[i].y1 + dy, tolerance);
        if (moved[i].kind == Kind::Line) {
            QUORVEL_COMPARE_NEAR(moved[i].x2, plain[i].x2 + dx, tolerance);
            QUORVEL_COMPARE_NEAR(moved[i].y2, plain[i].y2 + dy, tolerance);
        }
    }
}

void TestPrintChart::resultsBlock_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<double>("logOffset100");
    QTest::addColumn<double>("alpha");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("mode 0") << 0 << 0.5 << 0.5 << QStringList{};
    QTest::newRow("mode 1") << 1 << 0.5 << 0.5 << QStringList{};
    // 10^2.8 = 630.96, 10^3.2 = 1584.9; 10^(3 - log10 7) = 7 and 10^(3 + log10 7) = 7000.
    QTest::newRow("mode 2") << 2 << std::log10(1000.0 / 7) << 0.4
                            << QStringList{
                                   "< 直線回帰による解析結果 >",
                                   "    1/10渇水年解析値 =  631        1/100渇水年解析値 =    7",
                                   "    1/10豊水年解析値 = 1585        1/100豊水年解析値 = 142857",
                                   "    非超過確率計算のα値 = 0.4",
                               };
    // A wet year beyond the 32-bit range prints as its own whole number.
    QTest::newRow("huge") << 2 << 7.0 << 0.5
                          << QStringList{
                                 "< 直線回帰による解析結果 >",
                                 "    1/10渇水年解析値 =  631        1/100渇水年解析値 =    0",
                                 "    1/10豊水年解析値 = 1585        1/100豊水年解析値 = "
                                 "10000000000",
                                 "    非超過確率計算のα値 = 0.5",
                             };
}

void TestPrintChart::resultsBlock() {
    QFETCH(int, mode);
    QFETCH(double, logOffset100);
    QFETCH(double, alpha);
    QFETCH(QStringList, lines);
    AppState state = PrintState(mode);
    state.study.analysis.logOffset100 = logOffset100;
    state.settings.alpha = alpha;
    RecordingSurface surface = PageSurface();
    DrawPrintedChart(state, surface);

    QList<Op> block;
    for (const Op& op : surface.prints())
        if (op.y1 > 230)
            block << op;
    QCOMPARE(block.size(), lines.size());
    const double tops[] = {235, 242.5, 250, 257.5};
    for (int i = 0; i < block.size(); ++i) {
        QCOMPARE(block[i].text, lines[i]);
        QUORVEL_COMPARE_NEAR(block[i].x1, 40, 1e-4);
        QUORVEL_COMPARE_NEAR(block[i].y1, tops[i], 1e-4);
        QCOMPARE(block[i].fontSize, 11.0f);
    }
}

void TestPrintChart::resultText_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("0.4") << 0.4 << "   0";
    QTest::newRow("7") << 7.0 << "   7";
    QTest::newRow("9.5 rounds to 10") << 9.5 << "  10";
    QTest::newRow("99") << 99.0 << "  99";
    QTest::newRow("630.96") << 630.96 << " 631";
    QTest::newRow("999.5 rounds to 1000") << 999.5 << "1000";
    QTest::newRow("five digits") << 12345.4 << "12345";
    QTest::newRow("int max") << 2147483647.0 << "2147483647";
    QTest::newRow("beyond int") << 2147483648.0 << "2147483648";
    QTest::newRow("just below 1e15") << 999999999999999.0 << "999999999999999";
    QTest::newRow("1e15 in exponent form") << 1e15 << "1E+15";
    QTest::newRow("1e300") << 1e300 << "1E+300";
}

void TestPrintChart::resultText() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(FormatPrintedResult(value), text);
}

void TestPrintChart::yearLabels_data() {
    QTest::addColumn<int>("year");
    QTest::addColumn<QString>("label");
    QTest::newRow("1999") << 1999 << "99";
    QTest::newRow("2000") << 2000 << "00";
    QTest::newRow("2007") << 2007 << "07";
    QTest::newRow("7") << 7 << "7";
    QTest::newRow("10") << 10 << "10";
    QTest::newRow("-5") << -5 << "-5";
    QTest::newRow("-123") << -123 << "23";
}

void TestPrintChart::yearLabels() {
    QFETCH(int, year);
    QFETCH(QString, label);
    QCOMPARE(PrintedYearLabel(year), label);
}

void TestPrintChart::pointAndLabel() {
    AppState state = PrintState(0);
    AddRecord(state, 1999, 100, 0);
    AddRecord(state, 2000, 1000, 1.2816);
    RecordingSurface surface = PageSurface();
    DrawPrintedPoints(state, surface);

    const auto label = surface.printOf(QStringLiteral("99"));
    QVERIFY(label);
    QUORVEL_COMPARE_NEAR(label->x1, 115.5, 1e-4);
    QUORVEL_COMPARE_NEAR(label->y1, 120.3, 1e-4);
    QCOMPARE(label->fontSize, 7.0f);
    QCOMPARE(label->fontName, kFaceGothic);
    QVERIFY(surface.printOf(QStringLiteral("00")));

    const QList<Op> discs = surface.circles();
    QCOMPARE(discs.size(), 2);
    QUORVEL_COMPARE_NEAR(discs[0].x1, 115, 1e-4);
    QUORVEL_COMPARE_NEAR(discs[0].y1, 120, 1e-4);
    QUORVEL_COMPARE_NEAR(discs[1].x1, 190, 1e-4);
    QUORVEL_COMPARE_NEAR(discs[1].y1, 120 - 30 * 1.2816, 1e-4);
    QCOMPARE(discs[0].radius, 0.75f);
    QCOMPARE(discs[0].fillStyle, kFillSolid);
    QCOMPARE(discs[0].fillColor, QColor(0, 0, 0));
    QCOMPARE(discs[0].color, std::optional<QColor>(QColor(0, 0, 0)));
    // The labels lie under the discs.
    QCOMPARE(surface.ops.first().kind, Kind::Print);
    QCOMPARE(surface.ops.last().kind, Kind::Circle);
    QVERIFY(surface.lines().isEmpty());
}

void TestPrintChart::regressionLine_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<double>("logMean");
    QTest::addColumn<double>("slope");
    QTest::addColumn<QList<double>>("ends"); // xa, ya, xb, yb; empty for no line
    // Design (1712.5, 300) and (587.5, 2100): the halves go to the even neighbour.
    QTest::newRow("mode 1") << 1 << 2.0 << 0.25 << QList<double>{171, 30, 59, 210};
    QTest::newRow("mode 2") << 2 << 2.0 << 0.25 << QList<double>{171, 30, 59, 210};
    QTest::newRow("mode 0") << 0 << 2.0 << 0.25 << QList<double>{};
    // L reaches 3 at z = 1 and 1 at z = -1: cut at the axis ends.
    QTest::newRow("cut at both ends") << 1 << 2.0 << 1.0 << QList<double>{190, 90, 40, 150};
    QTest::newRow("level inside") << 1 << 2.0 << 0.0 << QList<double>{115, 30, 115, 210};
    QTest::newRow("level above") << 1 << 4.0 << 0.0 << QList<double>{};
    QTest::newRow("level below") << 1 << 0.5 << 0.0 << QList<double>{};
    // A nearly level line far beyond the axis is cut at a deviate far off the page; the part
    // drawn ends where it leaves the generous square, 10 m below the page's top.
    QTest::newRow("steep cut") << 1 << 4.0 << 1e-9 << QList<double>{265, 10000, 265, 210};
}

void TestPrintChart::regressionLine() {
    QFETCH(int, mode);
    QFETCH(double, logMean);
    QFETCH(double, slope);
    QFETCH(QList<double>, ends);
    AppState state = PrintState(mode);
    state.study.analysis.logMean = logMean;
    state.study.analysis.slope = slope;
    AddRecord(state, 2001, 100, 0);
    RecordingSurface surface = PageSurface();
    DrawPrintedPoints(state, surface);

    const QList<Op> lines = surface.lines();
    if (ends.isEmpty()) {
        QVERIFY(lines.isEmpty());
        return;
    }
    QCOMPARE(lines.size(), 1);
    QUORVEL_COMPARE_NEAR(lines[0].x1, ends[0], 1e-3);
    QUORVEL_COMPARE_NEAR(lines[0].y1, ends[1], std::fabs(ends[1]) * 1e-6);
    QUORVEL_COMPARE_NEAR(lines[0].x2, ends[2], 1e-3);
    QUORVEL_COMPARE_NEAR(lines[0].y2, ends[3], 1e-3);
    QCOMPARE(lines[0].drawWidth, 5);
    QCOMPARE(surface.FillStyle(), kFillTransparent);
}

void TestPrintChart::jobRestoresFace() {
    AppState state = PrintState();
    AddRecord(state, 1990, 100, 0);
    RecordingSurface surface = PageSurface();
    surface.SetFontName(kFaceGothic);
    surface.SetDrawWidth(1);
    surface.SetFillStyle(kFillSolid);
    RunPrintJob(state, QStringLiteral("0"), QStringLiteral("0"), surface);

    QCOMPARE(surface.FontName(), kFaceGothic);
    // Every grid line uses the solid width, whatever the pen was before the job.
    const Op first = surface.lines().first();
    QCOMPARE(first.drawWidth, 3);
    QCOMPARE(first.drawStyle, kDrawStyleSolid);
    QCOMPARE(surface.prints().first().fontName, kFaceMincho);
    QCOMPARE(surface.prints().first().fontSize, 10.0f);
}

void TestPrintChart::badScaleDrawsNothing() {
    AppState state = PrintState(2, 3, 3);
    state.settings.printOffsetX = 70;
    RecordingSurface surface = PageSurface();
    try {
        RunPrintJob(state, QStringLiteral("5"), QStringLiteral("5"), surface);
        QFAIL("no error");
    } catch (const DataError& error) {
        QCOMPARE(error.message(), QStringLiteral("スケールを正しく選択してね"));
    }
    QVERIFY(surface.ops.isEmpty());
    QCOMPARE(state.settings.printOffsetX, 70.0);
}

void TestPrintChart::hugeOffsetRefused() {
    AppState state = PrintState();
    RecordingSurface surface = PageSurface();
    QVERIFY_THROWS_EXCEPTION(
        DataError, RunPrintJob(state, QStringLiteral("1e999"), QStringLiteral("0"), surface));
    QVERIFY(surface.ops.isEmpty());
}

QTEST_GUILESS_MAIN(TestPrintChart)
#include "test_printchart.moc"

void TestPrintChart::nearlyLevelSeriesDrawOnBothSurfaces_data() {
    QTest::addColumn<QList<double>>("values");
    // Nearly equal values make a slope of about 1e-11, whose cut at the scale's end lies near
    // deviate -1e10. (Equal ones are refused before there is a line.)
    QTest::newRow("855931 and 855933") << QList<double>{855931, 855933};
    QTest::newRow("5000 and a little more") << QList<double>{5000, 5000.0000001, 5000.0000002};
    QTest::newRow("six times 1591.9 and one more") << (QList<double>(6, 1591.9) << 1591.9000001);
}

// Every analysis mode on every scale: both surfaces draw every point, agree on whether the
// fitted line is drawn, and keep its ends within the generous range.
void TestPrintChart::nearlyLevelSeriesDrawOnBothSurfaces() {
    QFETCH(QList<double>, values);
    for (int mode = 0; mode <= 2; ++mode) {
        for (int minIndex = -1; minIndex <= 3; ++minIndex) {
            for (int maxIndex = std::max(1, minIndex + 1); maxIndex <= 5; ++maxIndex) {
                AppState state = PrintState(mode, minIndex, maxIndex);
                ReadDeviateTableFile(QStringLiteral(QUORVEL_SOURCE_DIR "/data/ndlist.txt"),
                                     state.deviateTable);
                const AnalysisResult r = ComputeAnalysis(values.data(), int(values.size()),
                                                         state.settings.alpha, state.deviateTable);
                state.study.series.recordCount = 0;
                for (int i = 0; i < values.size(); ++i)
                    AddRecord(state, 2001 + i, values[i], r.deviates[i]);
                state.study.analysis.logMean = r.logMean;
                state.study.analysis.slope = r.slope;
                state.study.analysis.logOffset10 = r.logOffset10;
                state.study.analysis.logOffset100 = r.logOffset100;
                const QString where = QStringLiteral("mode %1, scale %2..%3, slope %4")
                                          .arg(mode)
                                          .arg(minIndex)
                                          .arg(maxIndex)
                                          .arg(r.slope);

                RecordingSurface screen;
                DrawScreenChart(state, screen);
                RecordingSurface page = PageSurface();
                RunPrintJob(state, QStringLiteral("0"), QStringLiteral("0"), page);

                QCOMPARE(screen.circles().size(), values.size());
                QCOMPARE(page.circles().size(), values.size());
                QList<Op> screenLine;
                for (const Op& op : screen.lines())
                    if (op.color == std::optional<QColor>(QBColor(12)))
                        screenLine << op;
                QList<Op> pageLine;
                for (const Op& op : page.lines())
                    if (op.drawWidth == state.settings.regressionLineWidth)
                        pageLine << op;
                QVERIFY2(screenLine.size() == pageLine.size(), qPrintable(where));
                if (mode == 0 || state.study.analysis.slope != 0)
                    QVERIFY2(screenLine.size() == (mode == 0 ? 0 : 1), qPrintable(where));
                for (const Op& op : screenLine + pageLine)
                    for (float c : {op.x1, op.y1, op.x2, op.y2})
                        QVERIFY2(std::fabs(c) <= kCoordinateLimit + 5000, qPrintable(where));
            }
        }
    }
}

void TestPrintChart::comparedCurvesOnThePage_data() {
    QTest::addColumn<bool>("show");
    QTest::addColumn<QList<ModelId>>("models");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("up");
    const QList<ModelId> three{ModelId::Gumbel, ModelId::Ln2Pm, ModelId::Gev};
    QTest::newRow("off") << false << three << 2 << "0";
    QTest::newRow("on, none ticked") << true << QList<ModelId>{} << 2 << "0";
    QTest::newRow("on, with the results block") << true << three << 2 << "0";
    QTest::newRow("on, points only") << true << three << 0 << "0";
    QTest::newRow("on, page moved up") << true << three << 2 << "8";
    QTest::newRow("on, all eleven")
        << true << QList<ModelId>(kModels.begin(), kModels.end()) << 2 << "-5";
}

// The curves lie inside the grid, their legend under the results block and inside the width
// of the value axis, and nothing else on the page moves or changes.
void TestPrintChart::comparedCurvesOnThePage() {
    QFETCH(bool, show);
    QFETCH(QList<ModelId>, models);
    QFETCH(int, mode);
    QFETCH(QString, up);
    AppState state = AnalysedState({60.0, 80.0, 95.0, 120.0, 150.0, 400.0, 70.0, 110.0, 130.0});
    state.settings.analysisMode = mode;
    RecordingSurface before = PageSurface();
    RunPrintJob(state, QStringLiteral("0"), up, before);
    state.compared.show = show;
    state.compared.models.assign(models.begin(), models.end());
    state.compared.chosen = true;
    RecordingSurface after = PageSurface();
    RunPrintJob(state, QStringLiteral("0"), up, after);

    const CurveOps split = SplitCurveOps(after, models, ModelName);
    const QList<Op>& curves = split.curves;
    const QList<Op>& others = split.others;
    QCOMPARE(FirstDifference(others, before.ops), QString());
    QCOMPARE(after.FontSize(), before.FontSize());
    QCOMPARE(after.FontName(), before.FontName());
    QCOMPARE(after.DrawWidth(), before.DrawWidth());
    QCOMPARE(curves.isEmpty(), !show || models.isEmpty());
    // The selected model's name, and only its, carries the comparison's mark.
    QVERIFY(state.study.models.selected);
    for (const Op& op : curves)
        if (!op.text.isEmpty())
            QCOMPARE(op.text.endsWith(QStringLiteral(" ◎")),
                     op.text == ModelName(*state.study.models.selected) + QStringLiteral(" ◎"));
    if (show && models.contains(*state.study.models.selected))
        QVERIFY(std::any_of(curves.begin(), curves.end(),
                            [](const Op& op) { return op.text.endsWith(QStringLiteral(" ◎")); }));

    const double shift = -up.toDouble();
    // Everything else on the page ends above the legend: the results block's last line.
    float lowest = 0;
    for (const Op& op : others)
        lowest = std::max(lowest, op.kind == Kind::Print
                                      ? op.y1 + after.TextHeight(op.text) * op.fontSize / 10
                                      : std::max(op.y1, op.y2));
    int legendRows = 0;
    for (const Op& op : curves) {
        if (op.kind == Kind::Print) {
            QVERIFY2(op.y1 > lowest, qPrintable(op.text));
            QVERIFY(op.x1 > 40 && op.x1 + after.TextWidth(op.text) * op.fontSize / 10 < 190);
            QCOMPARE(op.fontSize, 8.0f);
            ++legendRows;
            continue;
        }
        QCOMPARE(op.drawWidth, 5);
        // A legend stroke lies under the grid; every other stroke inside it.
        if (op.y1 > lowest)
            continue;
        for (float x : {op.x1, op.x2})
            QVERIFY(x >= 40 - 1e-3 && x <= 190 + 1e-3);
        for (float y : {op.y1, op.y2})
            QVERIFY(y >= kPrintYTop + shift - 0.05 && y <= kPrintYBottom + shift + 0.05);
    }
    QCOMPARE(legendRows, show ? models.size() : 0);
    // All eleven names stay on an A4 sheet, the page moved down a little included.
    for (const Op& op : curves)
        QVERIFY(op.y1 + after.TextHeight(op.text) * op.fontSize / 10 < 297);
}
