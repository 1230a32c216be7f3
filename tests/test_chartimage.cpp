// Charts leaving the program as images: the size of the PNG, the SVG's validity, and the one
// save path's choice of format, its refusals and its cancel.
#include "statistics/dataerror.h"
#include "chart/chartimage.h"
#include "chart/picturebox.h"
#include "chart/screenchart.h"
#include "fakeplatform.h"
#include "states.h"

#include <QFile>
#include <QImage>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {

ChartPicture ScreenChart(const AppState& state, QSize screen = QSize(377, 473)) {
    return ChartPicture{[&state](DrawingSurface& s) { DrawScreenChart(state, s); },
                        QSizeF(PictureBox::kScaleWidth, PictureBox::kScaleHeight), screen,
                        QStringLiteral("Noto Serif CJK JP")};
}

AppState SampleChartState() {
    AppState state = AnalysedState({1200, 1350, 980, 1610, 1420, 1105, 1730, 1290, 1510, 1010});
    state.settings.analysisMode = 2;
    return state;
}

int DarkPixels(const QImage& image) {
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 128;
    return dark;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestChartImage : public QObject {
    Q_OBJECT
private slots:
    void pngSize_data() {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<int>("height");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("main chart, report size") << QSize(377, 473) << 1200 << QSize(956, 1200);
        QTest::newRow("main chart, twice") << QSize(377, 473) << 2400 << QSize(1913, 2400);
        QTest::newRow("wide window") << QSize(900, 450) << 1200 << QSize(2400, 1200);
    }
    void pngSize() {
        QFETCH(QSize, screen);
        QFETCH(int, height);
        QFETCH(QSize, expected);
        const AppState state = SampleChartState();
        QImage image;
        QVERIFY(image.loadFromData(ChartPng(ScreenChart(state, screen), height), "PNG"));
        QCOMPARE(image.size(), expected);
        // The grid, the points and the line are there, not a blank page.
        QVERIFY(DarkPixels(image) > image.height() * 5);
    }

    void svgIsValid() {
        const AppState state = SampleChartState();
        const QByteArray svg = ChartSvg(ScreenChart(state), 1200, QStringLiteral("rain"));
        QVERIFY(QSvgRenderer(svg).isValid());
        QXmlStreamReader xml(svg);
        QString root;
        int drawn = 0;
        QStringList texts;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (root.isEmpty())
                root = xml.name().toString();
            const auto name = xml.name();
            drawn += name == QLatin1String("path") || name == QLatin1String("polyline") ||
                     name == QLatin1String("line") || name == QLatin1String("ellipse") ||
                     name == QLatin1String("circle");
            if (name == QLatin1String("text") || name == QLatin1String("title"))
                texts << xml.readElementText(QXmlStreamReader::IncludeChildElements);
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(root, QStringLiteral("svg"));
        // Vector lines, not one embedded bitmap; the labels stay text.
        QVERIFY(drawn > 30);
        QVERIFY(texts.contains(QStringLiteral("rain")));
        QVERIFY(texts.join(QLatin1Char('|')).contains(QStringLiteral("99.9")));
        QCOMPARE(QSvgRenderer(svg).viewBox().height(), 1200);
    }

    void save_data() {
        QTest::addColumn<QString>("answer");  // empty: the dialog is cancelled
        QTest::addColumn<QString>("written"); // empty: nothing is written
        QTest::addColumn<QByteArray>("magic");
        QTest::addColumn<bool>("refused");
        QTest::newRow("no extension is PNG") << "chart"
                                             << "chart.png" << QByteArray("\x89PNG") << false;
        // The dialog asked about "chart." itself, so nothing is added to it.
        QTest::newRow("a dot and no extension") << "chart."
                                                << "" << QByteArray() << true;
        QTest::newRow("svg") << "chart.svg"
                             << "chart.svg" << QByteArray("<?xml") << false;
        QTest::newRow("capital PNG") << "chart.PNG"
                                     << "chart.PNG" << QByteArray("\x89PNG") << false;
        QTest::newRow("cancelled") << ""
                                   << "" << QByteArray() << false;
        QTest::newRow("other format refused") << "chart.jpg"
                                              << "" << QByteArray() << true;
        QTest::newRow("the data file refused") << "data.csv"
                                               << "" << QByteArray() << true;
    }
    void save() {
        QFETCH(QString, answer);
        QFETCH(QString, written);
        QFETCH(QByteArray, magic);
        QFETCH(bool, refused);
        QTemporaryDir dir;
        const QString data = dir.filePath(QStringLiteral("data.csv"));
        {
            QFile file(data);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("1990,1200\n");
        }
        FakeFileDialogs files;
        files.saveAnswers << (answer.isEmpty() ? std::nullopt
                                               : std::optional<QString>(dir.filePath(answer)));
        const AppState state = SampleChartState();
        bool saved = false;
        bool threw = false;
        try {
            saved = SaveChartImage(nullptr, files, ScreenChart(state), SuggestedChartPath(data),
                                   {data});
        } catch (const DataError&) {
            threw = true;
        }
        QCOMPARE(threw, refused);
        QCOMPARE(files.initialPathsSeen, QStringList{dir.filePath(QStringLiteral("data.png"))});
        QCOMPARE(saved, !written.isEmpty());
        QCOMPARE(ReadAll(data), QByteArray("1990,1200\n"));
        const QStringList made = QDir(dir.path()).entryList(QDir::Files);
        if (written.isEmpty()) {
            QCOMPARE(made, QStringList{QStringLiteral("data.csv")});
            return;
        }
        QVERIFY(made.contains(written));
        QVERIFY(ReadAll(dir.filePath(written)).startsWith(magic));
    }
};

QTEST_MAIN(TestChartImage)
#include "test_chartimage.moc"
