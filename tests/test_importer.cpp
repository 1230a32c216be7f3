#include "agencyfile.h"
#include "fakeplatform.h"
#include "importer/frmimport.h"
#include "testhelpers.h"

#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

namespace {

struct FakeImportHost : ImportHost {
    QString editorText;
    QString axisTitle;
    bool accepts = true;
    SeriesOrigin editorOrigin;
    bool ImportOpenInEditor(const QString& text, const QString& title,
                            const SeriesOrigin& origin) override {
        editorText = text;
        editorOrigin = origin;
        axisTitle = title;
        return accepts;
    }
    QList<SeriesData> shown;
    void ImportShowSeries(const SeriesData& series, const QString& title) override {
        shown << series;
        axisTitle = title;
    }
    QStringList inputs;
    QStringList ImportInputFiles() const override { return inputs; }
};

struct Window {
    FakePlatform fake;
    FakeImportHost host;
    frmImport form{fake.platform, host};
    QTemporaryDir dir;

    QString observation;

    explicit Window(const QByteArray& bytes) {
        observation = WriteFile(dir, QStringLiteral("daily.csv"), bytes);
        fake.files.openAnswers << observation;
        Child<QPushButton>(&form, QStringLiteral("FileButton"))->click();
    }
    QPushButton* button(const char* name) const {
        return Child<QPushButton>(&form, QString::fromLatin1(name));
    }
    QTableWidget* table() const {
        return Child<QTableWidget>(&form, QStringLiteral("ResultTable"));
    }
    // Year, value and valid count of every row, as the table shows them.
    QStringList rows() const {
        QStringList shown;
        for (int row = 0; row < table()->rowCount(); ++row)
            shown << QStringLiteral("%1 %2 %3")
                         .arg(table()->item(row, 0)->text(), table()->item(row, 1)->text(),
                              table()->item(row, 2)->text());
        return shown;
    }
};

} // namespace

class TestImporter : public QObject {
    Q_OBJECT
private slots:
    // Every choice updates the table at once.
    void choicesFollowAtOnce_data() {
        QTest::addColumn<int>("aggregate");
        QTest::addColumn<int>("yearStart");
        QTest::addColumn<double>("coverage");
        QTest::addColumn<int>("from");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("detected defaults")
            << 0 << 0 << 80.0 << 999
            << QStringList{"1999  2/365", "2000 126 364/366", "2001 57.9 292/365"};
        QTest::newRow("largest two days")
            << 2 << 0 << 80.0 << 999
            << QStringList{"1999  2/365", "2000 55.5 364/366", "2001 57.9 292/365"};
        QTest::newRow("fiscal year, no share asked")
            << 0 << 3 << 0.0 << 999
            << QStringList{"1999 86 93/366", "2000 40 332/365", "2001 57.9 233/365"};
        QTest::newRow("from 2001") << 1 << 0 << 80.0 << 2001 << QStringList{"2001 45.6 292/365"};
    }
    void choicesFollowAtOnce() {
        QFETCH(int, aggregate);
        QFETCH(int, yearStart);
        QFETCH(double, coverage);
        QFETCH(int, from);
        Window window(HandWorkedDailyFile());
        QCOMPARE(window.fake.messages.shown.size(), 0);
        Child<QComboBox>(&window.form, QStringLiteral("Aggregate"))->setCurrentIndex(aggregate);
        Child<QComboBox>(&window.form, QStringLiteral("YearStart"))->setCurrentIndex(yearStart);
        Child<QDoubleSpinBox>(&window.form, QStringLiteral("Coverage"))->setValue(coverage);
        Child<QSpinBox>(&window.form, QStringLiteral("FromYear"))->setValue(from);
        QTEST(window.rows(), "rows");
        QCOMPARE(window.table()->horizontalHeaderItem(2)->text(), QStringLiteral("有効日数"));
    }

    void editorButtonHandsTheSeriesOver() {
        Window window(HandWorkedDailyFile());
        auto* button = Child<QPushButton>(&window.form, QStringLiteral("EditorButton"));
        QVERIFY(button->isEnabled());
        button->click();
        QCOMPARE(window.host.editorText, QStringLiteral("   2000   126\r\n   2001   57.9"));
        QCOMPARE(window.host.axisTitle, QStringLiteral("年降水量　(mm)"));
        // What the import knew goes along, for the saved file's years.
        QCOMPARE(window.host.editorOrigin.leftOutYears, QList<int32_t>{1999});
    }

    // The series goes to the chart as data: its years, values and what the import knew, with
    // the item as axis title. The window stays for the next choice.
    void showButtonHandsTheSeriesOver_data() {
        QTest::addColumn<int>("aggregate");
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<SeriesKind>("kind");
        QTest::addColumn<QString>("built");
        QTest::addColumn<QString>("title");
        QTest::newRow("totals") << 0 << QList<double>{126, 57.9} << SeriesKind::AnnualTotal
                                << "年合計（降水量の合計）、有効な日が 80 % 以上の年"
                                << "年降水量　(mm)";
        QTest::newRow("largest two days")
            << 2 << QList<double>{55.5, 57.9} << SeriesKind::AnnualMaximum
            << "年最大 2 日合計（降水量の合計）、有効な日が 80 % 以上の年"
            << "年最大2日降水量　(mm)";
    }
    void showButtonHandsTheSeriesOver() {
        QFETCH(int, aggregate);
        QFETCH(QList<double>, values);
        Window window(HandWorkedDailyFile());
        window.form.show();
        Child<QComboBox>(&window.form, QStringLiteral("Aggregate"))->setCurrentIndex(aggregate);
        window.button("ShowButton")->click();
        QCOMPARE(window.host.shown.size(), 1);
        const SeriesData& series = window.host.shown[0];
        QCOMPARE(series.recordCount, 2);
        QCOMPARE(series.years[0], 2000);
        QCOMPARE(series.years[1], 2001);
        QCOMPARE((QList<double>{series.values[0], series.values[1]}), values);
        QTEST(series.origin.kind, "kind");
        QTEST(series.origin.built, "built");
        QCOMPARE(series.origin.item, QStringLiteral("降水量の合計"));
        QCOMPARE(series.origin.observationFile, window.observation);
        QCOMPARE(series.origin.leftOut.size(), 1);
        QVERIFY(series.origin.leftOut[0].startsWith(QStringLiteral("1999 年：")));
        QTEST(window.host.axisTitle, "title");
        QVERIFY(window.form.isVisible());
        QVERIFY(window.fake.messages.shown.isEmpty());
        QVERIFY(window.host.editorText.isEmpty());
    }

    // Enter takes the default action from wherever it is pressed, the choices included.
    void enterShowsTheSeries() {
        Window window(HandWorkedDailyFile());
        QTest::keyClick(Child<QSpinBox>(&window.form, QStringLiteral("ToYear")), Qt::Key_Return);
        QCOMPARE(window.host.shown.size(), 1);
        QCOMPARE(window.host.shown[0].recordCount, 2);
    }

    // The included years as "year,value" lines; never over the observation file or any other
    // file the program has read, and nothing at all when the dialog is cancelled.
    void csvSaveWritesTheIncludedYears_data() {
        QTest::addColumn<QString>("answer"); // in the window's folder; "" cancels
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("new file") << "annual.csv"
                                  << "annual.csv"
                                  << "";
        QTest::newRow("name without extension") << "annual"
                                                << "annual.csv"
                                                << "";
        QTest::newRow("the observation file") << "daily.csv"
                                              << ""
                                              << "daily.csv";
        QTest::newRow("the deviate table") << "ndlist.txt"
                                           << ""
                                           << "ndlist.txt";
        QTest::newRow("cancelled") << ""
                                   << ""
                                   << "";
    }
    void csvSaveWritesTheIncludedYears() {
        QFETCH(QString, answer);
        QFETCH(QString, written);
        QFETCH(QString, refusal);
        const QByteArray observed = HandWorkedDailyFile();
        Window window(observed);
        const QByteArray table = "0.0\r\n0.1\r\n";
        window.host.inputs << WriteFile(window.dir, QStringLiteral("ndlist.txt"), table);
        if (!answer.isEmpty())
            window.fake.files.saveAnswers << window.dir.filePath(answer);
        window.button("CsvButton")->click();
        QCOMPARE(window.fake.files.initialPathsSeen.last(),
                 window.dir.filePath("daily_年系列.csv"));
        QCOMPARE(window.fake.messages.shown.size(), refusal.isEmpty() ? 0 : 1);
        if (!refusal.isEmpty())
            QVERIFY2(window.fake.messages.shown[0].text.contains(refusal),
                     qPrintable(window.fake.messages.shown[0].text));
        QCOMPARE(ReadBytes(window.observation), observed);
        QCOMPARE(ReadBytes(window.dir.filePath("ndlist.txt")), table);
        QStringList expected = {"daily.csv", "ndlist.txt"};
        if (!written.isEmpty()) {
            expected << written;
            QCOMPARE(ReadBytes(window.dir.filePath(written)),
                     AnnualSeriesCsv(*window.form.series()));
            QCOMPARE(ReadBytes(window.dir.filePath(written)),
                     QByteArray("2000,126\r\n2001,57.9\r\n"));
        }
        expected.sort();
        QCOMPARE(QDir(window.dir.path()).entryList(QDir::Files, QDir::Name), expected);
        QVERIFY(window.host.shown.isEmpty());
    }

    // A choice the file cannot give is told in the status line and nothing can be handed over.
    void impossibleChoiceDisablesTheHandOver() {
        Window window("2000/1,1\n2000/2,2\n");
        Child<QComboBox>(&window.form, QStringLiteral("Aggregate"))->setCurrentIndex(2);
        for (const char* name : {"ShowButton", "EditorButton", "CsvButton"})
            QVERIFY2(!window.button(name)->isEnabled(), name);
        QVERIFY(Child<QLabel>(&window.form, QStringLiteral("Status"))
                    ->text()
                    .contains(QStringLiteral("日ごとの値からだけ")));
        QCOMPARE(window.table()->rowCount(), 0);
        QCOMPARE(window.fake.messages.shown.size(), 0);
    }

    // A value column chosen for a file stays through a change of date column but not into the
    // next file, whose own first column of numbers is taken.
    void nextFileTakesItsOwnValueColumn_data() {
        QTest::addColumn<bool>("choose");
        QTest::newRow("first file's default") << false;
        QTest::newRow("first file's choice") << true;
    }
    void nextFileTakesItsOwnValueColumn() {
        QFETCH(bool, choose);
        Window window("2000/1/1,5,1\n2000/1/2,6,2\n");
        auto* value = Child<QComboBox>(&window.form, QStringLiteral("ValueColumn"));
        QCOMPARE(value->currentData().toInt(), 1);
        if (choose)
            value->setCurrentIndex(value->findData(2));
        Child<QComboBox>(&window.form, QStringLiteral("DateColumn"))->setCurrentIndex(1);
        QCOMPARE(value->currentData().toInt(), choose ? 2 : 1);
        // Column 1 of the next file holds a note, not numbers.
        window.fake.files.openAnswers
            << WriteFile(window.dir, QStringLiteral("next.csv"), "2000/1/1,x,7\n2000/1/2,y,8\n");
        Child<QPushButton>(&window.form, QStringLiteral("FileButton"))->click();
        QCOMPARE(value->currentData().toInt(), 2);
    }

    void unreadableFileIsToldAndTheShownOneStays() {
        Window window(HandWorkedDailyFile());
        window.fake.files.openAnswers
            << WriteFile(window.dir, QStringLiteral("bad.bin"), QByteArray("\0\1", 2));
        Child<QPushButton>(&window.form, QStringLiteral("FileButton"))->click();
        QCOMPARE(window.fake.messages.shown.size(), 1);
        QVERIFY(window.fake.messages.shown[0].text.contains(
            QStringLiteral("テキストファイルではありません")));
        QCOMPARE(window.table()->rowCount(), 3);
    }
};

QTEST_MAIN(TestImporter)
#include "test_importer.moc"
