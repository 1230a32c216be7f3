#include "chart/clipping.h"
#include "chart/probabilitypaper.h"
#include "nearequal.h"
#include "recordingsurface.h"
#include "states.h"

#include <QTest>

#include <cmath>

namespace {

// The screen chart's paper: 4000 x 5000 units, frame from x = 700, median at y = 2300.
PaperGeometry Screen(int minExponent = 1, int maxExponent = 3) {
    PaperGeometry g;
    g.axisLength = 3000;
    g.minExponent = minExponent;
    g.maxExponent = maxExponent;
    g.deviateUnit = 700;
    g.surfaceOrigin = QPointF(700, 2300);
    g.wholeUnits = true;
    return g;
}

// The printed page moved 5 mm right and 3 mm down, in millimetres.
PaperGeometry Page() {
    PaperGeometry g;
    g.axisLeft = 400 + 50;
    g.axisLength = 1500;
    g.minExponent = 1;
    g.maxExponent = 3;
    g.medianY = 1200 + 30;
    g.deviateUnit = 300;
    g.gridPerUnit = 10;
    return g;
}

// A window of 640 x 480 pixels showing 10^2 to 10^4.
PaperGeometry Widget() {
    PaperGeometry g;
    g.axisLeft = 60;
    g.axisLength = 560;
    g.minExponent = 2;
    g.maxExponent = 4;
    g.medianY = 240;
    g.deviateUnit = 60;
    return g;
}

} // namespace

Q_DECLARE_METATYPE(PaperGeometry)
Q_DECLARE_METATYPE(Curve)

class TestProbabilityPaper : public QObject {
    Q_OBJECT
private slots:
    void mapping_data();
    void mapping();
    void fittedLine_data();
    void fittedLine();
    void curveIsCutToTheFrame_data();
    void curveIsCutToTheFrame();
};

void TestProbabilityPaper::mapping_data() {
    QTest::addColumn<PaperGeometry>("geometry");
    QTest::addColumn<double>("logValue");
    QTest::addColumn<double>("deviate");
    QTest::addColumn<QPointF>("position");
    QTest::addColumn<QPointF>("mark");
    QTest::newRow("screen, centre")
        << Screen() << 2.0 << 0.0 << QPointF(2200, 2300) << QPointF(2200, 2300);
    // Marks land on whole units; the unrounded position stays for curves.
    QTest::newRow("screen, between units")
        << Screen() << 1.5 << 1.2816 << QPointF(1450, 2300 - 897.12) << QPointF(1450, 1403);
    QTest::newRow("screen, six decades")
        << Screen(-1, 5) << 0.0 << -1.0 << QPointF(1200, 3000) << QPointF(1200, 3000);
    // Far off the picture a mark is held to the generous range, never past it.
    QTest::newRow("screen, far off")
        << Screen() << 1e9 << 0.0 << QPointF(700 + (1e9 - 1) * 1500, 2300)
        << QPointF(700 + kCoordinateLimit, 2300);
    QTest::newRow("page, moved") << Page() << 2.0 << 0.0 << QPointF(120, 123) << QPointF(120, 123);
    QTest::newRow("page, top right")
        << Page() << 3.0 << 1.0 << QPointF(195, 93) << QPointF(195, 93);
    QTest::newRow("widget, 10^3 at deviate -2")
        << Widget() << 3.0 << -2.0 << QPointF(340, 360) << QPointF(340, 360);
}

void TestProbabilityPaper::mapping() {
    QFETCH(PaperGeometry, geometry);
    QFETCH(double, logValue);
    QFETCH(double, deviate);
    QFETCH(QPointF, position);
    QFETCH(QPointF, mark);
    const ProbabilityPaper paper(geometry, RealDeviateTable());
    const QPointF at = paper.Position(logValue, deviate);
    QUORVEL_COMPARE_NEAR(at.x(), position.x(), 1e-6 * std::max(1.0, std::fabs(position.x())));
    QUORVEL_COMPARE_NEAR(at.y(), position.y(), 1e-9);
    QCOMPARE(paper.MarkPosition(logValue, deviate), mark);
    // The decade lines bound the frame, and the 50 % line is the median.
    QCOMPARE(paper.DecadeX(0), paper.Position(geometry.minExponent, 0).x());
    QCOMPARE(paper.DecadeX(paper.Decades()), paper.Position(geometry.maxExponent, 0).x());
    QCOMPARE(paper.ProbabilityY(7), paper.Position(0, 0).y());
    QVERIFY(paper.TopY() < paper.ProbabilityY(7) && paper.ProbabilityY(7) < paper.BottomY());
}

void TestProbabilityPaper::fittedLine_data() {
    QTest::addColumn<PaperGeometry>("geometry");
    QTest::addColumn<double>("logMean");
    QTest::addColumn<double>("slope");
    QTest::addColumn<bool>("drawn");
    QTest::addColumn<QLineF>("line");
    // From deviate +3 to -3 when it stays inside the value axis.
    QTest::newRow("inside") << Screen() << 2.0 << 0.2 << true << QLineF(3100, 200, 1300, 4400);
    // Cut where it leaves through the right and the left end of the axis.
    QTest::newRow("cut at both ends")
        << Screen() << 2.0 << 0.5 << true << QLineF(3700, 900, 700, 3700);
    QTest::newRow("level inside") << Screen() << 2.0 << 0.0 << true
                                  << QLineF(2200, 200, 2200, 4400);
    QTest::newRow("level beyond the axis") << Screen() << 4.0 << 0.0 << false << QLineF();
    QTest::newRow("level below the axis") << Screen() << 0.5 << 0.0 << false << QLineF();
    QTest::newRow("page, cut above")
        << Page() << 2.0 << 0.5 << true << QLineF(195, 123 - 60, 45, 123 + 60);
    QTest::newRow("widget, cut below")
        << Widget() << 2.5 << 0.25 << true << QLineF(60 + 280 * 1.25, 240 - 180, 60, 240 + 120);
}

void TestProbabilityPaper::fittedLine() {
    QFETCH(PaperGeometry, geometry);
    QFETCH(double, logMean);
    QFETCH(double, slope);
    QFETCH(bool, drawn);
    QFETCH(QLineF, line);
    const ProbabilityPaper paper(geometry, RealDeviateTable());
    const std::optional<QLineF> got = paper.FittedLine(logMean, slope);
    QCOMPARE(got.has_value(), drawn);
    if (!drawn)
        return;
    for (auto [a, b] : {std::pair{got->x1(), line.x1()}, std::pair{got->y1(), line.y1()},
                        std::pair{got->x2(), line.x2()}, std::pair{got->y2(), line.y2()}})
        QUORVEL_COMPARE_NEAR(a, b, 1e-9);
}

void TestProbabilityPaper::curveIsCutToTheFrame_data() {
    QTest::addColumn<PaperGeometry>("geometry");
    QTest::addColumn<Curve>("curve");
    QTest::addColumn<bool>("anything");
    const Curve across{CurvePoint{0, -1.0}, CurvePoint{0, 6.0}};
    const Curve steep{CurvePoint{-5, 2.0}, CurvePoint{5, 2.5}};
    const Curve outside{CurvePoint{0, 5.0}, CurvePoint{1, 6.0}};
    const Curve broken{CurvePoint{0, 2.0}, std::nullopt, CurvePoint{0, 3.0}};
    QTest::newRow("screen, across the value axis") << Screen() << across << true;
    QTest::newRow("screen, across the deviates") << Screen() << steep << true;
    QTest::newRow("screen, wholly right of the axis") << Screen() << outside << false;
    QTest::newRow("screen, broken by a missing point") << Screen() << broken << false;
    QTest::newRow("page, across the value axis") << Page() << across << true;
    QTest::newRow("widget, across the deviates") << Widget() << steep << true;
}

void TestProbabilityPaper::curveIsCutToTheFrame() {
    QFETCH(PaperGeometry, geometry);
    QFETCH(Curve, curve);
    QFETCH(bool, anything);
    const ProbabilityPaper paper(geometry, RealDeviateTable());
    RecordingSurface surface;
    paper.DrawDashedCurve(surface, curve, 5, 3, Qt::red);
    QCOMPARE(!surface.lines().isEmpty(), anything);
    const QRectF frame = paper.Frame();
    const double slack = 1e-3;
    for (const auto& op : surface.lines())
        for (QPointF p : {QPointF(op.x1, op.y1), QPointF(op.x2, op.y2)})
            QVERIFY2(p.x() >= frame.left() - slack && p.x() <= frame.right() + slack &&
                         p.y() >= frame.top() - slack && p.y() <= frame.bottom() + slack,
                     qPrintable(QStringLiteral("(%1, %2)").arg(p.x()).arg(p.y())));
}

QTEST_APPLESS_MAIN(TestProbabilityPaper)
#include "test_probabilitypaper.moc"
