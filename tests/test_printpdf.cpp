// The print job for real: PDF pages read back with poppler's tools, and the way pages reach a
// file when the machine has no printer.
#include "statistics/dataerror.h"
#include "fakeplatform.h"
#include "filesizelimit.h"
#include "nearequal.h"
#include "platform/widgets.h"
#include "print/printersurface.h"
#include "print/printjob.h"
#include "test_print_fixture.h"
#include "testhelpers.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr double kMmPerPoint = 25.4 / 72;

struct Word {
    QString text;
    double xMin, yMin, xMax, yMax; // millimetres from the sheet's top left corner
};

// Runs a poppler tool; empty when it is missing or fails.
QString RunTool(const QString& tool, const QStringList& arguments) {
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        return {};
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(20000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

QList<Word> PdfWords(const QString& path) {
    const QString html =
        RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" "
                       "yMax=\"([0-9.]+)\">([^<]*)</word>"));
    QList<Word> words;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        words << Word{
            m.captured(5)
                .replace(QStringLiteral("&lt;"), QStringLiteral("<"))
                .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
                .replace(QStringLiteral("&amp;"), QStringLiteral("&")),
            m.captured(1).toDouble() * kMmPerPoint, m.captured(2).toDouble() * kMmPerPoint,
            m.captured(3).toDouble() * kMmPerPoint, m.captured(4).toDouble() * kMmPerPoint};
    }
    return words;
}

// The words on the text line whose top is near top, left to right.
QList<Word> LineAt(const QList<Word>& words, double top) {
    QList<Word> line;
    for (const Word& w : words)
        if (std::fabs(w.yMin - top) < 1.0)
            line << w;
    std::sort(line.begin(), line.end(),
              [](const Word& a, const Word& b) { return a.xMin < b.xMin; });
    return line;
}

// That line's words joined by single blanks.
QString LineText(const QList<Word>& words, double top) {
    QStringList texts;
    for (const Word& w : LineAt(words, top))
        texts << w.text;
    return texts.join(QLatin1Char(' '));
}

// Text extents as the job measures them: Mincho on a 1200 dpi PDF page.
struct Extent {
    float width, height;
};
Extent Measure(const QString& text, float points, const QString& face = kFaceMincho) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(1200);
    PrinterSurface surface(writer);
    surface.SetFontName(face);
    surface.SetFontSize(points);
    return {surface.TextWidth(text), surface.TextHeight(text)};
}

AppState LoadedState() {
    AppState state = PrintState(2);
    AddRecord(state, 1999, 100, 0);
    AddRecord(state, 2000, 300, 0.8416);
    AddRecord(state, 2001, 40, -1.2816);
    state.study.analysis.logMean = 2;
    state.study.analysis.slope = 0.25;
    return state;
}

// A white 1200 dpi sheet of 20 x 10 mm to look at single dots.
QImage Sheet() {
    QImage image(945, 472, QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(1200 / 0.0254));
    image.setDotsPerMeterY(qRound(1200 / 0.0254));
    image.fill(Qt::white);
    return image;
}

bool Dark(const QImage& image, int x, int y) {
    return qGray(image.pixel(x, y)) < 128;
}

// Millimetres of the centre of dot n.
double DotCentre(int n) {
    return (n + 0.5) * 25.4 / 1200;
}

} // namespace

class TestPrintPdf : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void textMeasures();
    void pens_data();
    void pens();
    void fillAndTransparentText();
    void pageReadsBack();
    void offsetsOnPaper();
    void noPrinterAsksForPdf();
    void pdfOverTheDataFileRefused();
    void failedFileLeavesNothing();
    void failedPageKeepsOldFile();
    void badScaleAsksNothing();
    void fullDiskKeepsOldPdf();
    void filePrinterAsksEachTime();
    void pdfDialogSaysWhyAndAddsTheExtension_data();
    void pdfDialogSaysWhyAndAddsTheExtension();

private:
    QTemporaryDir dir_;
};

void TestPrintPdf::initTestCase() {
    InstallFontSubstitutions();
    QVERIFY(dir_.isValid());
}

void TestPrintPdf::textMeasures() {
    // One line pitch for Japanese and digits alike, and widths that add up.
    const Extent kanji = Measure(QStringLiteral("確"), 10);
    const Extent digits = Measure(QStringLiteral("1234"), 10);
    QCOMPARE(kanji.height, digits.height);
    QVERIFY(kanji.height > 3 && kanji.height < 5.5);
    const Extent one = Measure(QStringLiteral("5"), 10);
    QUORVEL_COMPARE_NEAR(Measure(QStringLiteral("55"), 10).width, 2 * one.width, 1e-3);
    // 12 points is 12/10 of 10 points, not a size rounded to whole screen pixels (a 1200 dpi
    // dot is 0.02 mm).
    QUORVEL_COMPARE_NEAR(Measure(QStringLiteral("降水量"), 12).width,
                         Measure(QStringLiteral("降水量"), 10).width * 1.2, 0.05);
}

void TestPrintPdf::pens_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("columns"); // dark columns across a vertical line
    QTest::addColumn<bool>("gaps");   // whether the line has gaps along its length
    QTest::newRow("1 solid") << 1 << int(kDrawStyleSolid) << 1 << false;
    QTest::newRow("1 dotted") << 1 << int(kDrawStyleDotted) << 1 << true;
    QTest::newRow("3 dotted prints solid") << 3 << int(kDrawStyleDotted) << 3 << false;
    QTest::newRow("5 solid") << 5 << int(kDrawStyleSolid) << 5 << false;
}

void TestPrintPdf::pens() {
    QFETCH(int, width);
    QFETCH(int, style);
    QFETCH(int, columns);
    QFETCH(bool, gaps);
    QImage sheet = Sheet();
    {
        PrinterSurface surface(sheet);
        surface.SetDrawWidth(width);
        surface.SetDrawStyle(style);
        surface.Line(DotCentre(400), 1, DotCentre(400), 9);
        QVERIFY(surface.EndDoc());
    }
    int dark = 0;
    for (int x = 390; x <= 410; ++x)
        dark += Dark(sheet, x, 200);
    QCOMPARE(dark, columns);
    int light = 0;
    for (int y = 60; y < 400; ++y)
        light += !Dark(sheet, 400, y);
    QCOMPARE(light > 0, gaps);
}

void TestPrintPdf::fillAndTransparentText() {
    QImage sheet = Sheet();
    PrinterSurface surface(sheet);
    surface.SetDrawWidth(1);
    // A filled disc is dark at its centre, an outline is not.
    surface.SetFillStyle(kFillSolid);
    surface.SetFillColor(Qt::black);
    surface.Circle(DotCentre(100), DotCentre(100), 0.75f);
    surface.SetFillStyle(kFillTransparent);
    surface.Circle(DotCentre(300), DotCentre(100), 0.75f);
    // Text over a line leaves the line visible between the glyphs.
    surface.Line(DotCentre(0), DotCentre(350), DotCentre(944), DotCentre(350));
    surface.SetFontName(kFaceMincho);
    surface.SetFontSize(10);
    surface.SetCurrentX(static_cast<float>(DotCentre(500)));
    surface.SetCurrentY(static_cast<float>(DotCentre(350)) -
                        surface.TextHeight(QStringLiteral("1")) / 2);
    surface.Print(QStringLiteral("1 1"));
    const float textRight = surface.CurrentX() + surface.TextWidth(QStringLiteral("1 1"));
    QVERIFY(surface.EndDoc());

    QVERIFY(Dark(sheet, 100, 100));
    QVERIFY(!Dark(sheet, 300, 100));
    QVERIFY(qGray(sheet.pixel(335, 100)) + qGray(sheet.pixel(336, 100)) < 400);
    int lineDots = 0;
    for (int x = 500; x < 500 + 100; ++x)
        lineDots += Dark(sheet, x, 350);
    QCOMPARE(lineDots, 100);
    // The glyphs lie inside the measured cell.
    int inkRight = 0;
    for (int y = 200; y < 470; ++y)
        for (int x = 500; x < 944; ++x)
            if (y != 350 && Dark(sheet, x, y))
                inkRight = std::max(inkRight, x);
    QVERIFY(inkRight > 520);
    QVERIFY(inkRight <= textRight * 1200 / 25.4);
}

void TestPrintPdf::pageReadsBack() {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext is not installed");
    AppState state = LoadedState();
    const QString path = dir_.filePath(QStringLiteral("page.pdf"));
    PrintChartToPdf(state, QStringLiteral("0"), QStringLiteral("0"), path);
    const QList<Word> words = PdfWords(path);
    QVERIFY(!words.isEmpty());

    // "  50" ends an eighth of its width left of the grid's left end, centred on the 50 % line.
    const auto fifty = std::find_if(words.cbegin(), words.cend(), [](const Word& w) {
        return w.text == QStringLiteral("50") && w.xMax < 40;
    });
    QVERIFY(fifty != words.cend());
    const Extent label = Measure(QStringLiteral("  50"), 10);
    QUORVEL_COMPARE_NEAR(fifty->xMax, 38.5 - label.width / 8, 0.3);
    QUORVEL_COMPARE_NEAR((fifty->yMin + fifty->yMax) / 2, 120, 0.3);

    // The results block starts at the left end of the value axis, 235 mm down.
    const QList<Word> heading = LineAt(words, 235);
    QVERIFY(!heading.isEmpty());
    QCOMPARE(heading.first().text, QStringLiteral("<"));
    QUORVEL_COMPARE_NEAR(heading.first().xMin, 40, 0.3);
    QUORVEL_COMPARE_NEAR(heading.first().yMin, 235, 0.3);

    // The alpha line: four blanks, the label and the value as the default real form.
    QCOMPARE(LineText(words, 257.5), QStringLiteral("非超過確率計算のα値 = 0.5"));
    QUORVEL_COMPARE_NEAR(LineAt(words, 257.5).first().xMin,
                         40 + Measure(QStringLiteral("    "), 11).width, 0.3);
    QCOMPARE(LineText(words, 242.5),
             QStringLiteral("1/10渇水年解析値 = 63 1/100渇水年解析値 = 32"));

    // Year labels sit half a millimetre right of their points.
    const auto year = std::find_if(words.cbegin(), words.cend(), [](const Word& w) {
        return w.text == QStringLiteral("99") && w.xMin > 40;
    });
    QVERIFY(year != words.cend());
    QUORVEL_COMPARE_NEAR(year->xMin, 115.5, 0.3);

    // One upright A4 page.
    // The tools come with pdftotext: silence from them is a page they cannot read.
    const QString info = RunTool(QStringLiteral("pdfinfo"), {path});
    QVERIFY2(!info.isEmpty(), "pdfinfo gave nothing");
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))), qPrintable(info));
    QVERIFY2(info.contains(QStringLiteral("(A4)")), qPrintable(info));
    const QString fonts = RunTool(QStringLiteral("pdffonts"), {path});
    QVERIFY2(!fonts.isEmpty(), "pdffonts gave nothing");
    QVERIFY2(fonts.contains(QStringLiteral("IPA")), qPrintable(fonts));
}

void TestPrintPdf::offsetsOnPaper() {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext is not installed");
    AppState state = LoadedState();
    const QString path = dir_.filePath(QStringLiteral("moved.pdf"));
    PrintChartToPdf(state, QStringLiteral("5"), QStringLiteral("-3"), path);
    const QList<Word> heading = LineAt(PdfWords(path), 238);
    QVERIFY(!heading.isEmpty());
    QUORVEL_COMPARE_NEAR(heading.first().xMin, 45, 0.3);
    QUORVEL_COMPARE_NEAR(heading.first().yMin, 238, 0.3);
    QCOMPARE(state.settings.printOffsetX, 50.0);
    QCOMPARE(state.settings.printOffsetY, -30.0);
}

void TestPrintPdf::noPrinterAsksForPdf() {
    if (!QPrinterInfo::availablePrinters().isEmpty())
        QSKIP("a printer is installed; pages would go to it");
    FakePlatform fake;
    auto printer = MakeQtPrinterAccess(fake.platform);
    AppState state = LoadedState();
    const QString first = dir_.filePath(QStringLiteral("first.pdf"));
    const QString second = dir_.filePath(QStringLiteral("second.pdf"));

    // Cancelling the file dialog prints nothing.
    QVERIFY(!PrintChart(state, *printer, QStringLiteral("0"), QStringLiteral("0"), nullptr));
    QCOMPARE(fake.files.filtersSeen, QStringList{QStringLiteral("PDF ファイル (*.pdf)|*.pdf")});

    // Two prints in a row are two documents of one page each.
    fake.files.saveAnswers << first << second;
    QVERIFY(PrintChart(state, *printer, QStringLiteral("0"), QStringLiteral("0"), nullptr));
    QVERIFY(PrintChart(state, *printer, QStringLiteral("0"), QStringLiteral("0"), nullptr));
    QVERIFY(ReadBytes(first).startsWith("%PDF-"));
    QVERIFY(ReadBytes(second).startsWith("%PDF-"));
    const QString info = RunTool(QStringLiteral("pdfinfo"), {second});
    QVERIFY2(!info.isEmpty(), "pdfinfo gave nothing");
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))), qPrintable(info));
    // The next dialog starts from the last file chosen.
    QCOMPARE(fake.files.initialPathsSeen.last(), first);

    // With a data file the page is offered under its name, in the folder last used.
    state.dataFileName = QStringLiteral("/data/rain/osaka.csv");
    fake.files.saveAnswers << first;
    QVERIFY(PrintChart(state, *printer, QStringLiteral("0"), QStringLiteral("0"), nullptr));
    QCOMPARE(fake.files.initialPathsSeen.last(), dir_.filePath(QStringLiteral("osaka.pdf")));
    QCOMPARE(SuggestedPdfPath(state.dataFileName), QStringLiteral("/data/rain/osaka.pdf"));
}

void TestPrintPdf::failedFileLeavesNothing() {
    AppState state = LoadedState();
    const QString path = dir_.filePath(QStringLiteral("missing/folder/page.pdf"));
    try {
        PrintChartToPdf(state, QStringLiteral("0"), QStringLiteral("0"), path);
        QFAIL("no error");
    } catch (const DataError& error) {
        QVERIFY2(error.message().contains(path), qPrintable(error.message()));
    }
    QVERIFY(!QFile::exists(path));
}

void TestPrintPdf::failedPageKeepsOldFile() {
    const QString path = dir_.filePath(QStringLiteral("kept.pdf"));
    QVERIFY(WriteBytes(path, "earlier page"));
    QVERIFY_THROWS_EXCEPTION(DataError, WritePdfFile(path, [](QPagedPaintDevice& device) {
                                 PrinterSurface surface(device);
                                 surface.Line(10, 10, 100, 100);
                                 throw DataError(QStringLiteral("途中で失敗"));
                             }));
    QCOMPARE(ReadBytes(path), QByteArray("earlier page"));
    QCOMPARE(QDir(dir_.path()).entryList({QStringLiteral("kept*")}, QDir::Files).size(), 1);
}

void TestPrintPdf::badScaleAsksNothing() {
    FakePlatform fake;
    auto printer = MakeQtPrinterAccess(fake.platform);
    AppState state = LoadedState();
    state.settings.scaleMinIndex = 3;
    state.settings.scaleMaxIndex = 2;
    fake.files.saveAnswers << dir_.filePath(QStringLiteral("never.pdf"));
    QVERIFY_THROWS_EXCEPTION(
        DataError, PrintChart(state, *printer, QStringLiteral("0"), QStringLiteral("0"), nullptr));
    QVERIFY(fake.files.filtersSeen.isEmpty());
    QVERIFY(!QFile::exists(dir_.filePath(QStringLiteral("never.pdf"))));
}

void TestPrintPdf::fullDiskKeepsOldPdf() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chart.pdf"));
    QVERIFY(WriteBytes(path, "earlier page"));
    AppState state = LoadedState();
    const std::optional<QByteArray> message = WithFileSizeLimit(4096, [&] {
        try {
            PrintChartToPdf(state, QStringLiteral("0"), QStringLiteral("0"), path);
        } catch (const DataError& error) {
            return error.message().toUtf8();
        }
        return QByteArray("<no error>");
    });
    QVERIFY(message);
    QVERIFY2(message->contains(path.toUtf8()) && message->contains("ファイルが大きすぎます"),
             message->constData());
    QCOMPARE(ReadBytes(path), QByteArray("earlier page"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"chart.pdf"});
}

// The page's file, chosen as a link to the data file, is refused and the data stays.
void TestPrintPdf::pdfOverTheDataFileRefused() {
    if (!QPrinterInfo::availablePrinters().isEmpty())
        QSKIP("a printer is installed; pages would go to it");
    FakePlatform fake;
    auto printer = MakeQtPrinterAccess(fake.platform);
    AppState state = LoadedState();
    QTemporaryDir dir;
    state.dataFileName = WriteFile(dir, QStringLiteral("rain.csv"), "1996,1591.9\n");
    const QString link = dir.filePath(QStringLiteral("rain.pdf"));
    QVERIFY(QFile::link(state.dataFileName, link));
    fake.files.saveAnswers << link;
    QVERIFY_THROWS_EXCEPTION(
        DataError, PrintChart(state, *printer, QStringLiteral("0"), QStringLiteral("0"), nullptr));
    QCOMPARE(ReadBytes(state.dataFileName), QByteArray("1996,1591.9\n"));
}

// The name chosen in the printer dialog is offered, never written over without the save
// dialog; each print goes where its own dialog said.
void TestPrintPdf::filePrinterAsksEachTime() {
    FakePlatform fake;
    QtPrinterAccess access(fake.platform);
    const QString chosen = dir_.filePath(QStringLiteral("chosen.pdf"));
    const QString first = dir_.filePath(QStringLiteral("one.pdf"));
    const QString second = dir_.filePath(QStringLiteral("two.pdf"));
    access.printer().setOutputFileName(chosen);
    AppState state = LoadedState();

    QVERIFY(!PrintChart(state, access, QStringLiteral("0"), QStringLiteral("0"), nullptr));
    fake.files.saveAnswers << first << second;
    QVERIFY(PrintChart(state, access, QStringLiteral("0"), QStringLiteral("0"), nullptr));
    QVERIFY(PrintChart(state, access, QStringLiteral("0"), QStringLiteral("0"), nullptr));
    QCOMPARE(fake.files.initialPathsSeen, (QStringList{chosen, chosen, first}));
    QVERIFY(!QFile::exists(chosen));
    QVERIFY(ReadBytes(first).startsWith("%PDF-"));
    QVERIFY(ReadBytes(second).startsWith("%PDF-"));
}

void TestPrintPdf::pdfDialogSaysWhyAndAddsTheExtension_data() {
    QTest::addColumn<bool>("filePrinter");
    QTest::addColumn<QString>("title");
    QTest::newRow("no printer installed")
        << false
        << QStringLiteral(
               "プリンタがインストールされていないため、印刷紙面を PDF ファイルに保存します");
    QTest::newRow("file printer of the printer dialog")
        << true << QStringLiteral("印刷紙面を保存する PDF ファイル");
}

// The page offered under the data file's name beside it, the dialog's title saying why a file
// is asked for, and a name typed without an extension written as .pdf.
void TestPrintPdf::pdfDialogSaysWhyAndAddsTheExtension() {
    QFETCH(bool, filePrinter);
    QFETCH(QString, title);
    if (!filePrinter && !QPrinterInfo::availablePrinters().isEmpty())
        QSKIP("a printer is installed; pages would go to it");
    FakePlatform fake;
    QtPrinterAccess access(fake.platform);
    if (filePrinter)
        access.printer().setOutputFileName(QDir::homePath() + QStringLiteral("/print.pdf"));
    AppState state = LoadedState();
    state.dataFileName = dir_.filePath(QStringLiteral("osaka.csv"));
    const QString typed = dir_.filePath(QStringLiteral("typed%1").arg(filePrinter));
    fake.files.saveAnswers << typed;
    QVERIFY(PrintChart(state, access, QStringLiteral("0"), QStringLiteral("0"), nullptr));
    QCOMPARE(fake.files.initialPathsSeen, QStringList{dir_.filePath(QStringLiteral("osaka.pdf"))});
    QCOMPARE(fake.files.saveTitlesSeen, QStringList{title});
    QVERIFY(!QFile::exists(typed));
    QVERIFY(ReadBytes(typed + QStringLiteral(".pdf")).startsWith("%PDF-"));
}

QTEST_MAIN(TestPrintPdf)
#include "test_printpdf.moc"
