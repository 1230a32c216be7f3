// The screen surface: what actually lands in its retained image.
#include "formats/deviatetable.h"
#include "chart/picturebox.h"
#include "chart/screenchart.h"
#include "nearequal.h"
#include "platform/widgets.h"
#include "states.h"

#include <QApplication>
#include <QFile>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// The main window's picture area: 3600, 120, 5655 x 7095 twips.
std::unique_ptr<PictureBox> MakePicture() {
    auto box = std::make_unique<PictureBox>();
    box->setGeometry(TwipsRect(3600, 120, 5655, 7095));
    box->Cls();
    return box;
}

// The image pixel at the top-left of the screen pixel that a user position falls on (for whole
// device pixel ratios).
QPoint ToPixel(const PictureBox& box, double x, double y) {
    const QImage& image = box.image();
    const int ratio = int(box.devicePixelRatio());
    return QPoint(int(std::floor(x * image.width() / ratio / 4000.0 + 0.5)) * ratio,
                  int(std::floor(y * image.height() / ratio / 5000.0 + 0.5)) * ratio);
}

bool IsWhite(QRgb c) {
    return qRed(c) > 245 && qGreen(c) > 245 && qBlue(c) > 245;
}
bool IsDark(QRgb c) {
    return qRed(c) < 60 && qGreen(c) < 60 && qBlue(c) < 60;
}
// Smoothed strokes one pixel wide rarely cover a whole pixel: at least half ink over anything.
bool IsInk(QRgb c) {
    return std::max({qRed(c), qGreen(c), qBlue(c)}) < 140;
}
bool IsRed(QRgb c) {
    return qRed(c) > 200 && qGreen(c) < 90 && qBlue(c) < 90;
}
bool IsBlue(QRgb c) {
    return qBlue(c) > 90 && qRed(c) < 90 && qGreen(c) < 90;
}

// Whether a pixel within radius of p satisfies the test.
template <typename Test> bool Near(const QImage& image, QPoint p, int radius, Test test) {
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            const QPoint q = p + QPoint(dx, dy);
            if (image.rect().contains(q) && test(image.pixel(q)))
                return true;
        }
    return false;
}

QString RectText(QRect r) {
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// Bounding box of everything that is not white.
QRect InkBox(const QImage& image) {
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!IsWhite(image.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

class TestPictureBox : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void geometryAndDefaults();
    void clsClearsAndHomes();
    void textCellMatchesWhatPrintDraws_data();
    void textCellMatchesWhatPrintDraws();
    void textSizeIgnoresTheScale();
    void japaneseAndDigitsShareTheLineHeight();
    void settingTheFaceKeepsTheSize();
    void textBackgroundIsTransparent();
    void dottedOnlyAtWidthOne_data();
    void dottedOnlyAtWidthOne();
    void lineIncludesBothEndsAndClips();
    void batchOfLinesDrawsWhatLinesDraw_data();
    void batchOfLinesDrawsWhatLinesDraw();
    void filledAndOpenCircles_data();
    void filledAndOpenCircles();
    void renderedChart();
    void pictureSurvivesRepaintAndFollowsResize();
};

void TestPictureBox::initTestCase() {
    InstallFontSubstitutions();
}

void TestPictureBox::geometryAndDefaults() {
    auto box = MakePicture();
    // The sunken border takes 30 twips on each side: 5595 x 7035 twips inside.
    QCOMPARE(box->contentsRect().size(), QSize(TwipsToPixels(5595), TwipsToPixels(7035)));
    QCOMPARE(box->image().size(), box->contentsRect().size() * box->devicePixelRatio());
    QCOMPARE(box->FontName(), kFaceMincho);
    QCOMPARE(box->FontSize(), 8.25f);
    QCOMPARE(box->DrawWidth(), 1);
    QCOMPARE(box->DrawStyle(), kDrawStyleSolid);
    QCOMPARE(box->FillStyle(), kFillTransparent);
    QCOMPARE(box->CurrentX(), 0.0f);
    QCOMPARE(box->CurrentY(), 0.0f);
}

void TestPictureBox::clsClearsAndHomes() {
    auto box = MakePicture();
    box->SetDrawWidth(5);
    box->Line(0, 0, 4000, 5000, QColor(Qt::red));
    box->SetCurrentX(1234);
    box->SetCurrentY(2345);
    QVERIFY(!InkBox(box->image()).isEmpty());
    box->Cls();
    QVERIFY(InkBox(box->image()).isEmpty());
    QCOMPARE(box->CurrentX(), 0.0f);
    QCOMPARE(box->CurrentY(), 0.0f);
    // The pen keeps its width.
    QCOMPARE(box->DrawWidth(), 5);
}

void TestPictureBox::textCellMatchesWhatPrintDraws_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("points");
    QTest::newRow("label 8 pt") << QStringLiteral("99.9") << 8.0f;
    QTest::newRow("caption 9 pt") << QStringLiteral("確") << 9.0f;
    QTest::newRow("title 9 pt") << kDefaultAxisTitle << 9.0f;
    QTest::newRow("default size") << QStringLiteral("100000") << 8.25f;
    QTest::newRow("large") << QStringLiteral("非超過") << 24.0f;
}

void TestPictureBox::textCellMatchesWhatPrintDraws() {
    QFETCH(QString, text);
    QFETCH(float, points);
    auto box = MakePicture();
    box->SetFontSize(points);
    const float x = 1000, y = 1500;
    box->SetCurrentX(x);
    box->SetCurrentY(y);
    box->Print(text);

    // The ink lies inside the cell whose top-left corner is the current position and whose
    // size is what the measuring calls report, and it fills most of the cell's width.
    const QRect ink = InkBox(box->image());
    QVERIFY(!ink.isEmpty());
    const QPoint topLeft = ToPixel(*box, x, y);
    const QPoint bottomRight = ToPixel(*box, x + box->TextWidth(text), y + box->TextHeight(text));
    const QRect cell(topLeft, bottomRight);
    QVERIFY2(cell.adjusted(-1, -1, 1, 1).contains(ink),
             qPrintable(QStringLiteral("ink %1, cell %2").arg(RectText(ink), RectText(cell))));
    QVERIFY(ink.width() >= cell.width() * 0.6);
    QVERIFY(ink.height() >= cell.height() * 0.5);
}

void TestPictureBox::textSizeIgnoresTheScale() {
    auto box = MakePicture();
    box->SetFontSize(9);
    box->SetCurrentX(1000);
    box->SetCurrentY(1000);
    box->Print(QStringLiteral("非"));
    // Nine points is twelve pixels at the screen's resolution: the glyph is about that tall,
    // however many user units a pixel is.
    const double pixels = 9.0 * box->logicalDpiY() / 72.0 * box->devicePixelRatio();
    const QRect ink = InkBox(box->image());
    QVERIFY2(ink.height() >= pixels * 0.7 && ink.height() <= pixels * 1.1,
             qPrintable(QString::number(ink.height())));
    // One line is at least the character height, converted into user units.
    const double linePixels =
        box->TextHeight(QStringLiteral("非")) * box->image().height() / 5000.0;
    QVERIFY2(linePixels >= pixels - 0.5 && linePixels <= pixels * 1.6,
             qPrintable(QString::number(linePixels)));
}

void TestPictureBox::japaneseAndDigitsShareTheLineHeight() {
    auto box = MakePicture();
    for (float points : {8.0f, 8.25f, 9.0f}) {
        box->SetFontSize(points);
        QCOMPARE(box->TextHeight(QStringLiteral("非")), box->TextHeight(QStringLiteral("1234")));
        // Half-width digits are fixed pitch, so four-character labels align on the right.
        QUORVEL_COMPARE_NEAR(box->TextWidth(QStringLiteral("  50")),
                             box->TextWidth(QStringLiteral("99.9")), 0.01);
        QVERIFY(box->TextWidth(QStringLiteral("非")) > box->TextWidth(QStringLiteral("1")));
    }
}

void TestPictureBox::settingTheFaceKeepsTheSize() {
    auto box = MakePicture();
    box->SetFontSize(9);
    const float height9 = box->TextHeight(QStringLiteral("非"));
    box->SetFontName(kFaceGothic);
    QCOMPARE(box->FontSize(), 9.0f);
    box->SetFontName(kFaceMincho);
    QCOMPARE(box->TextHeight(QStringLiteral("非")), height9);
    box->SetFontSize(18);
    QVERIFY(box->TextHeight(QStringLiteral("非")) > height9 * 1.8f);
}

void TestPictureBox::textBackgroundIsTransparent() {
    auto box = MakePicture();
    // A thick red bar behind the text.
    box->SetDrawWidth(40);
    box->Line(500, 1000, 3500, 1000, QColor(Qt::red));
    box->SetDrawWidth(1);
    box->SetFontSize(9);
    box->SetCurrentX(1000);
    box->SetCurrentY(1000 - box->TextHeight(QStringLiteral("1")) / 2);
    box->Print(QStringLiteral("1"));
    // Left of the thin digit, inside its cell, the bar still shows.
    const QImage& image = box->image();
    const QPoint left = ToPixel(*box, 1000, 1000);
    QVERIFY(IsRed(image.pixel(left)));
    QVERIFY(
        Near(image, ToPixel(*box, 1000 + box->TextWidth(QStringLiteral("1")) / 2, 1000), 3, IsInk));
}

void TestPictureBox::dottedOnlyAtWidthOne_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("style");
    QTest::addColumn<bool>("gaps");
    QTest::newRow("dotted, width 1") << 1 << kDrawStyleDotted << true;
    QTest::newRow("dotted, width 3") << 3 << kDrawStyleDotted << false;
    QTest::newRow("solid, width 1") << 1 << kDrawStyleSolid << false;
}

void TestPictureBox::dottedOnlyAtWidthOne() {
    QFETCH(int, width);
    QFETCH(int, style);
    QFETCH(bool, gaps);
    auto box = MakePicture();
    box->SetDrawWidth(width);
    box->SetDrawStyle(style);
    box->Line(2000, 500, 2000, 4500, QBColor(1));
    QCOMPARE(box->DrawStyle(), style); // the style is kept even where it does not show

    const QImage& image = box->image();
    const QPoint top = ToPixel(*box, 2000, 500);
    const QPoint bottom = ToPixel(*box, 2000, 4500);
    int lit = 0;
    for (int y = top.y(); y <= bottom.y(); ++y)
        lit += IsBlue(image.pixel(top.x(), y)) ? 1 : 0;
    const int length = bottom.y() - top.y() + 1;
    if (gaps) {
        QVERIFY2(lit > length / 5 && lit < length * 2 / 3, qPrintable(QString::number(lit)));
    } else {
        QCOMPARE(lit, length);
    }
    // The pen is as wide as asked in pixels, whatever the scale.
    const QRect ink = InkBox(image);
    QCOMPARE(ink.width(), width * int(box->devicePixelRatio()));
}

void TestPictureBox::batchOfLinesDrawsWhatLinesDraw_data() {
    QTest::addColumn<int>("width");
    QTest::newRow("one pixel") << 1;
    QTest::newRow("three pixels") << 3;
}

// A curve goes to the screen as one batch; every pixel must be what its segments drawn one by
// one give, the segments past the edges and the one that is not finite included.
void TestPictureBox::batchOfLinesDrawsWhatLinesDraw() {
    QFETCH(int, width);
    std::vector<DrawingSurface::Segment> segments;
    for (int i = 0; i < 200; ++i) {
        const float t = i / 10.0f;
        segments.push_back({-500 + 230 * t, 6000 - 300 * t - 3 * t * t, -270 + 230 * t,
                            5700 - 300 * t - 3 * (t + 1) * (t + 1)});
    }
    segments.push_back({100, 100, std::nanf(""), 200});
    auto one = MakePicture();
    auto batch = MakePicture();
    one->SetDrawWidth(width);
    batch->SetDrawWidth(width);
    for (const DrawingSurface::Segment& s : segments)
        one->Line(s.x1, s.y1, s.x2, s.y2, QColor(Qt::blue));
    batch->Lines(segments, QColor(Qt::blue));
    QCOMPARE(batch->image(), one->image());
    QCOMPARE(batch->CurrentX(), one->CurrentX());
}

void TestPictureBox::lineIncludesBothEndsAndClips() {
    auto box = MakePicture();
    box->Line(1000, 1000, 3000, 1000);
    const QImage& image = box->image();
    const QPoint a = ToPixel(*box, 1000, 1000);
    const QPoint b = ToPixel(*box, 3000, 1000);
    QVERIFY(IsDark(image.pixel(a)));
    QVERIFY(IsDark(image.pixel(b)));
    const int ratio = int(box->devicePixelRatio());
    QVERIFY(IsWhite(image.pixel(a - QPoint(1, 0))));
    QVERIFY(IsWhite(image.pixel(b + QPoint(ratio, 0))));
    QCOMPARE(box->CurrentX(), 3000.0f);

    // Far outside the area on both ends: drawn up to the edges.
    box->Cls();
    box->Line(-20000, 2500, 90000, 2500, QColor(Qt::red));
    const QImage& clipped = box->image();
    const int row = ToPixel(*box, 0, 2500).y();
    QVERIFY(IsRed(clipped.pixel(0, row)));
    QVERIFY(IsRed(clipped.pixel(clipped.width() - 1, row)));
}

void TestPictureBox::filledAndOpenCircles_data() {
    QTest::addColumn<int>("fillStyle");
    QTest::addColumn<QColor>("fillColor");
    QTest::addColumn<float>("radius");
    QTest::addColumn<bool>("centreFilled");
    QTest::newRow("solid black") << kFillSolid << QColor(Qt::black) << 200.0f << true;
    QTest::newRow("solid red") << kFillSolid << QColor(Qt::red) << 200.0f << true;
    QTest::newRow("transparent") << kFillTransparent << QColor(Qt::black) << 200.0f << false;
    QTest::newRow("large solid") << kFillSolid << QColor(Qt::red) << 1500.0f << true;
    QTest::newRow("large transparent") << kFillTransparent << QColor(Qt::red) << 1500.0f << false;
}

void TestPictureBox::filledAndOpenCircles() {
    QFETCH(int, fillStyle);
    QFETCH(QColor, fillColor);
    QFETCH(float, radius);
    QFETCH(bool, centreFilled);
    auto box = MakePicture();
    box->SetFillStyle(fillStyle);
    box->SetFillColor(fillColor);
    box->Circle(2000, 2500, radius);
    // A second circle with the other fill must not come out like the first.
    box->SetFillStyle(fillStyle == kFillSolid ? kFillTransparent : kFillSolid);
    box->Circle(200, 200, 50);

    const QImage& image = box->image();
    const QPoint centre = ToPixel(*box, 2000, 2500);
    const QRgb inside = image.pixel(centre);
    if (centreFilled)
        QCOMPARE(QColor(inside), fillColor);
    else
        QVERIFY(IsWhite(inside));
    // The outline is in the foreground colour, the radius in x units.
    const int r = int(std::lround(radius * image.width() / 4000.0));
    for (QPoint edge : {QPoint(r, 0), QPoint(-r, 0), QPoint(0, r), QPoint(0, -r)})
        QVERIFY(Near(image, centre + edge, 1, IsInk));
    QVERIFY(IsWhite(image.pixel(centre + QPoint(r + 3, 0))));
    QVERIFY(IsWhite(image.pixel(centre + QPoint(0, r + 3))));

    const QRgb second = image.pixel(ToPixel(*box, 200, 200));
    if (centreFilled)
        QVERIFY(IsWhite(second));
    else
        QCOMPARE(QColor(second), fillColor);
}

void TestPictureBox::renderedChart() {
    AppState state;
    state.deviateTable = RealDeviateTable();
    state.settings.scaleMinIndex = 1;
    state.settings.scaleMaxIndex = 3;
    state.settings.analysisMode = 1;
    state.study.analysis.logMean = 2;
    state.study.analysis.slope = 0.2;
    state.study.series.recordCount = 3;
    state.study.analysis.logValues[0] = 2;
    state.study.analysis.deviates[0] = 0;
    state.study.analysis.logValues[1] = 1;
    state.study.analysis.deviates[1] = -1;
    state.study.analysis.logValues[2] = 3;
    state.study.analysis.deviates[2] = 1.5;

    auto box = MakePicture();
    DrawScreenChart(state, *box);
    const QImage& image = box->image();
    // Black dots on the points, even where they sit on grid lines; the line crosses the first.
    QVERIFY(Near(image, ToPixel(*box, 2200, 2300), 1, IsDark));
    QVERIFY(IsDark(image.pixel(ToPixel(*box, 700, 3000))));
    QVERIFY(IsDark(image.pixel(ToPixel(*box, 3700, 1250))));
    // The red line from (3100, 200) to (1300, 4400), sampled a quarter of the way down.
    QVERIFY(Near(image, ToPixel(*box, 2650, 1250), 1, IsRed));
    // A dark blue dotted line at 2 x 10 (x = 1152), somewhere along a short stretch.
    QVERIFY(Near(image, ToPixel(*box, 1152, 3300), 2, IsBlue));
    // White outside the grid, right of the frame and below the value labels.
    QVERIFY(IsWhite(image.pixel(ToPixel(*box, 3900, 2300))));
    QVERIFY(IsWhite(image.pixel(ToPixel(*box, 2200, 4720))));
    // Black grid lines at the frame corners.
    QVERIFY(Near(image, ToPixel(*box, 700, 2300), 0, IsDark));
    QVERIFY(Near(image, ToPixel(*box, 3700, 2000), 0, IsDark));
}

void TestPictureBox::pictureSurvivesRepaintAndFollowsResize() {
    auto box = MakePicture();
    box->SetFillStyle(kFillSolid);
    box->Circle(2000, 2500, 100);
    // What the widget shows is the retained picture inside its border.
    const QImage shown = box->grab().toImage();
    const QPoint centre =
        ToPixel(*box, 2000, 2500) / box->devicePixelRatio() + box->contentsRect().topLeft();
    QVERIFY(IsDark(shown.pixel(centre * box->devicePixelRatio())));
    QVERIFY(IsWhite(
        shown.pixel((box->contentsRect().topLeft() + QPoint(3, 3)) * box->devicePixelRatio())));

    // A new size gets an image of its own size, keeping the picture until the next redraw.
    box->resize(box->width() / 2, box->height() / 2);
    QCOMPARE(box->image().size(), box->contentsRect().size() * box->devicePixelRatio());
    QVERIFY(IsDark(box->image().pixel(ToPixel(*box, 2000, 2500))));
}

QTEST_MAIN(TestPictureBox)
#include "test_picturebox.moc"
