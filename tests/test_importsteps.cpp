#include "agencyfile.h"
#include "fakeplatform.h"
#include "importer/frmimport.h"
#include "statistics/numeric.h"
#include "testhelpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <cmath>

// The import window on files of values at a step: the hourly and river-database samples.

namespace {

const QString kSamples = QStringLiteral(QUORVEL_SOURCE_DIR "/data/samples/");

struct FakeImportHost : ImportHost {
    QList<SeriesData> shown;
    QStringList titles;
    QList<LoadedDurations> tables;
    QString editorText;
    bool ImportOpenInEditor(const QString& text, const QString& title,
                            const SeriesOrigin&) override {
        editorText = text;
        titles << title;
        return true;
    }
    void ImportShowSeries(const SeriesData& series, const QString& title) override {
        shown << series;
        titles << title;
    }
    void ImportShowDurations(const LoadedDurations& durations) override { tables << durations; }
    QStringList ImportInputFiles() const override { return {}; }
};

// The window with a copy of a sample opened through its file button.
struct Window {
    FakePlatform fake;
    FakeImportHost host;
    frmImport form{fake.platform, host};
    QTemporaryDir dir;
    QString observation;

    explicit Window(const QString& sample) {
        observation = dir.filePath(sample);
        QFile::copy(kSamples + sample, observation);
        fake.files.openAnswers << observation;
        button("FileButton")->click();
    }
    template <typename T> T* child(const QString& name) const { return Child<T>(&form, name); }
    QPushButton* button(const char* name) const {
        return child<QPushButton>(QString::fromLatin1(name));
    }
    QTableWidget* table() const { return child<QTableWidget>(QStringLiteral("ResultTable")); }
    QComboBox* shownDuration() const { return child<QComboBox>(QStringLiteral("ShownDuration")); }
    QList<QCheckBox*> durationBoxes() const {
        QList<QCheckBox*> boxes;
        for (QCheckBox* box : form.findChildren<QCheckBox*>())
            if (box->objectName().startsWith(QStringLiteral("Duration_")))
                boxes << box;
        return boxes;
    }
    QStringList durationLabels(bool checkedOnly) const {
        QStringList labels;
        for (QCheckBox* box : durationBoxes())
            if (!checkedOnly || box->isChecked())
                labels << box->objectName().mid(9);
        return labels;
    }
    // Marks exactly the durations of a "1h,24h" list.
    void checkOnly(const QString& list) const {
        const QStringList wanted = list.split(QLatin1Char(','));
        for (QCheckBox* box : durationBoxes())
            box->setChecked(wanted.contains(box->objectName().mid(9)));
    }
    // Saves the table through the window under name in its folder; the bytes written.
    QByteArray save(const QString& name) {
        fake.files.saveAnswers << dir.filePath(name);
        button("TableButton")->click();
        return ReadBytes(dir.filePath(name));
    }
};

// The real executable, in the folder of the deviate table; its status.
int Quorvel(const QStringList& arguments) {
    QProcess process;
    process.setWorkingDirectory(QStringLiteral(QUORVEL_BIN_DIR));
    process.start(QStringLiteral(QUORVEL_BIN_DIR "/quorvel"), arguments);
    if (!process.waitForFinished(30000))
        return -1;
    return process.exitCode();
}

} // namespace

class TestImportSteps : public QObject {
    Q_OBJECT
private slots:
    // What the window recognised, the durations it offers and the controls that apply.
    void recognisesTheSamples_data() {
        QTest::addColumn<QString>("sample");
        QTest::addColumn<QStringList>("layout"); // each shown in the layout line
        QTest::addColumn<QStringList>("offered");
        QTest::addColumn<QStringList>("checked");
        QTest::addColumn<QString>("aggregate");
        QTest::addColumn<bool>("stamp");
        QTest::addColumn<bool>("valueColumn");
        const QStringList hours = {"1h", "2h", "3h", "6h", "12h", "24h", "48h", "72h"};
        const QStringList days = {"1d", "2d", "3d", "4d", "5d", "6d", "7d"};
        QTest::newRow("Agency hourly")
            << "agency_hourly_synthetic.csv"
            << QStringList{"気象庁の時別値", "観測所：サンプル観測所(合成データ)", "1 時間ごとの値",
                           "項目：降水量(mm)", "Shift-JIS"}
            << hours << hours << "合計（雨量）" << true << true;
        QTest::newRow("river hourly discharge")
            << "river_hourly_synthetic.dat"
            << QStringList{"水文水質データベースの時刻流量月表",
                           "観測所：サンプル（合成）（000000000000000）", "1 時間ごとの値",
                           "項目：流量(m3/s)", "暫定値（記号 *）が 35 個"}
            << hours << hours << "平均（流量・水位）" << false << false;
        QTest::newRow("river daily discharge offers the flow-duration values")
            << "river_daily_synthetic.dat"
            << QStringList{"水文水質データベースの日流量年表", "1 日ごとの値"}
            << days + QStringList{"q95", "q185", "q275", "q355"} << days << "平均（流量・水位）"
            << false << false;
    }
    void recognisesTheSamples() {
        QFETCH(QString, sample);
        QFETCH(QStringList, layout);
        QFETCH(QString, aggregate);
        Window window(sample);
        QVERIFY2(window.fake.messages.shown.isEmpty(),
                 qPrintable(window.fake.messages.shown.value(0).text));
        const QString line = window.child<QLabel>(QStringLiteral("LayoutLabel"))->text();
        for (const QString& part : layout)
            QVERIFY2(line.contains(part), qPrintable(line + QStringLiteral(" / ") + part));
        QTEST(window.durationLabels(false), "offered");
        QTEST(window.durationLabels(true), "checked");
        QCOMPARE(window.child<QComboBox>(QStringLiteral("DurationAggregate"))->currentText(),
                 aggregate);
        QTEST(window.child<QComboBox>(QStringLiteral("Stamp"))->isEnabled(), "stamp");
        QTEST(window.child<QComboBox>(QStringLiteral("ValueColumn"))->isEnabled(), "valueColumn");
        // The annual import's own choices do not apply; the durations' do.
        for (const char* name : {"DateColumn", "Aggregate"})
            QVERIFY2(!window.child<QWidget>(QString::fromLatin1(name))->isEnabled(), name);
        for (const char* name : {"Durations", "DurationAggregate", "CrossYear", "ShownDuration"})
            QVERIFY2(window.child<QWidget>(QString::fromLatin1(name))->isEnabled(), name);
        QVERIFY(!window.button("CsvButton")->isEnabled());
        QVERIFY(window.button("TableButton")->isEnabled());
        QVERIFY(window.button("ShowButton")->isEnabled());
    }

    // The window builds what the command line builds with the same options: the saved table
    // (CSV and JSON) is the command line's byte for byte, and the table shows each maximum's
    // value and the end of its window as the JSON gives them.
    void buildsWhatTheCommandLineBuilds_data() {
        QTest::addColumn<QString>("sample");
        QTest::addColumn<QString>("durations");
        QTest::addColumn<int>("aggregate"); // the box's row: sum, mean, max, min
        QTest::addColumn<int>("yearStart"); // the box's row: month - 1
        QTest::addColumn<bool>("crossYear");
        QTest::addColumn<bool>("stampAtStart");
        QTest::addColumn<QStringList>("options"); // the same for the command line
        QTest::newRow("hourly rainfall")
            << "agency_hourly_synthetic.csv"
            << "1h,2h,24h" << 0 << 0 << false << false << QStringList{};
        QTest::newRow("stamps at the start, across the year")
            << "agency_hourly_synthetic.csv"
            << "3h,72h" << 0 << 0 << true << true
            << QStringList{"--cross-year", "--stamp", "start"};
        QTest::newRow("hourly discharge, means")
            << "river_hourly_synthetic.dat"
            << "1h,6h" << 1 << 0 << false << false << QStringList{"--aggregate", "mean"};
        QTest::newRow("hourly discharge, peaks")
            << "river_hourly_synthetic.dat"
            << "2h" << 2 << 0 << false << false << QStringList{"--aggregate", "max"};
        QTest::newRow("daily discharge, smallest means, water year")
            << "river_daily_synthetic.dat"
            << "1d,7d" << 3 << 9 << false << false
            << QStringList{"--aggregate", "min", "--year-start", "10"};
        QTest::newRow("daily discharge with flow-duration values")
            << "river_daily_synthetic.dat"
            << "3d,q95,q185,q275,q355" << 1 << 0 << false << false
            << QStringList{"--flow-duration", "--aggregate", "mean"};
    }
    void buildsWhatTheCommandLineBuilds() {
        QFETCH(QString, sample);
        QFETCH(QString, durations);
        QFETCH(int, aggregate);
        QFETCH(int, yearStart);
        QFETCH(bool, crossYear);
        QFETCH(bool, stampAtStart);
        QFETCH(QStringList, options);
        Window window(sample);
        window.checkOnly(durations);
        window.child<QComboBox>(QStringLiteral("DurationAggregate"))->setCurrentIndex(aggregate);
        window.child<QComboBox>(QStringLiteral("YearStart"))->setCurrentIndex(yearStart);
        window.child<QCheckBox>(QStringLiteral("CrossYear"))->setChecked(crossYear);
        if (stampAtStart)
            window.child<QComboBox>(QStringLiteral("Stamp"))->setCurrentIndex(1);
        QVERIFY(window.form.durations());
        QVERIFY(window.fake.messages.shown.isEmpty());

        // The command line takes the flow-duration values by their own option.
        QStringList listed;
        for (const QString& label : durations.split(QLatin1Char(',')))
            if (!label.startsWith(QLatin1Char('q')) || !options.contains("--flow-duration"))
                listed << label;
        QStringList arguments = {"--durations", listed.join(QLatin1Char(','))};
        arguments += options;
        for (const QString& suffix : {QStringLiteral("csv"), QStringLiteral("json")}) {
            const QString expected = window.dir.filePath("cli." + suffix);
            QCOMPARE(Quorvel(QStringList{"--import", expected} + arguments +
                             QStringList{window.observation}),
                     0);
            const QByteArray saved = window.save("window." + suffix);
            QCOMPARE(saved, ReadBytes(expected));
        }
        // The save offers its own name beside the observation file.
        QCOMPARE(window.fake.files.initialPathsSeen.last(),
                 window.dir.filePath(QFileInfo(sample).completeBaseName() + "_継続時間.csv"));

        const QJsonArray built = QJsonDocument::fromJson(ReadBytes(window.dir.filePath("cli.json")))
                                     .object()
                                     .value("durations")
                                     .toArray();
        QCOMPARE(window.shownDuration()->count(), built.size() + 1);
        for (int d = 0; d < built.size(); ++d) {
            window.shownDuration()->setCurrentIndex(d);
            const QJsonArray years = built[d].toObject().value("years").toArray();
            QVERIFY(!years.isEmpty());
            for (const QJsonValue& value : years) {
                const QJsonObject year = value.toObject();
                const QString yearText = QString::number(year.value("year").toInt());
                int row = 0;
                while (row < window.table()->rowCount() &&
                       window.table()->item(row, 0)->text() != yearText)
                    ++row;
                QVERIFY2(row < window.table()->rowCount(), qPrintable(yearText));
                // A long mean is shown to nine digits and told whole in the tip.
                const QTableWidgetItem* cell = window.table()->item(row, 1);
                const double expected = year.value("value").toDouble();
                QVERIFY2(std::abs(cell->text().toDouble() - expected) <= 5e-9 * std::abs(expected),
                         qPrintable(cell->text()));
                QCOMPARE(cell->toolTip().isEmpty() ? cell->text() : cell->toolTip(),
                         ShortestReal(expected));
                QCOMPARE(window.table()->item(row, 2)->text(),
                         year.value("end").isNull() ? QString() : year.value("end").toString());
            }
        }
    }

    // グラフに表示 with one duration chosen hands that series over with its axis title.
    void showsTheChosenDuration_data() {
        QTest::addColumn<QString>("sample");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("title");
        QTest::addColumn<SeriesKind>("kind");
        QTest::newRow("two hours of rain")
            << "agency_hourly_synthetic.csv" << 1 << "年最大2時間降水量　(mm)"
            << SeriesKind::AnnualMaximum;
        QTest::newRow("six hours of discharge")
            << "river_hourly_synthetic.dat" << 3 << "年最大6時間平均流量　(m3/s)"
            << SeriesKind::AnnualMaximum;
        QTest::newRow("seven days of discharge")
            << "river_daily_synthetic.dat" << 6 << "年最大7日平均流量　(m3/s)"
            << SeriesKind::AnnualMaximum;
    }
    void showsTheChosenDuration() {
        QFETCH(QString, sample);
        QFETCH(int, index);
        Window window(sample);
        window.shownDuration()->setCurrentIndex(index);
        window.button("ShowButton")->click();
        QCOMPARE(window.host.shown.size(), 1);
        QVERIFY(window.host.tables.isEmpty());
        const SeriesData& series = window.host.shown[0];
        const DurationSeries& built = window.form.durations()->series[index];
        QCOMPARE(series.recordCount, built.includedCount());
        int record = 0;
        for (const DurationYear& year : built.years)
            if (year.included) {
                QCOMPARE(series.years[record], year.year);
                QCOMPARE(series.values[record], year.value);
                ++record;
            }
        QCOMPARE(series.origin.observationFile, window.observation);
        QTEST(series.origin.kind, "kind");
        QTEST(window.host.titles.value(0), "title");

        // The editor takes the same duration, in its layout.
        window.button("EditorButton")->click();
        QVERIFY(window.host.editorText.startsWith(
            QStringLiteral("   %1   %2").arg(series.years[0]).arg(ShortestReal(series.values[0]))));
        QTEST(window.host.titles.value(1), "title");
    }

    // The whole table goes to the main window with every duration; the editor takes only one.
    void showsTheWholeTable() {
        Window window(QStringLiteral("agency_hourly_synthetic.csv"));
        window.checkOnly(QStringLiteral("1h,3h,24h"));
        QComboBox* shown = window.shownDuration();
        QCOMPARE(shown->itemText(shown->count() - 1), QStringLiteral("すべての継続時間（表全体）"));
        shown->setCurrentIndex(shown->count() - 1);
        QCOMPARE(window.table()->columnCount(), 5); // year, three durations, notes
        QCOMPARE(window.table()->horizontalHeaderItem(2)->text(), QStringLiteral("3 時間"));
        QVERIFY(!window.button("EditorButton")->isEnabled());
        window.button("ShowButton")->click();
        QVERIFY(window.host.shown.isEmpty());
        QCOMPARE(window.host.tables.size(), 1);
        const LoadedDurations& table = window.host.tables[0];
        QCOMPARE(table.labels, (QStringList{"1h", "3h", "24h"}));
        QCOMPARE(table.names, (QStringList{"1 時間", "3 時間", "1 日"}));
        QCOMPARE(table.axisTitles[1], QStringLiteral("年最大3時間降水量　(mm)"));
        QCOMPARE(table.file, window.observation);
        QCOMPARE(table.series.size(), 3);
        QCOMPARE(table.series[2].values[0], window.form.durations()->series[2].years[0].value);
        // A duration unmarked leaves the table; the choice of the whole table stays.
        window.checkOnly(QStringLiteral("1h,24h"));
        QCOMPARE(shown->currentData().toString(), QString());
        QCOMPARE(window.table()->columnCount(), 4);
    }

    // Nothing marked, nothing built: told in the status line, nothing can be handed over.
    void noDurationDisablesTheHandOver() {
        Window window(QStringLiteral("river_hourly_synthetic.dat"));
        window.checkOnly(QString());
        QVERIFY(!window.form.durations());
        for (const char* name : {"ShowButton", "EditorButton", "TableButton"})
            QVERIFY2(!window.button(name)->isEnabled(), name);
        QCOMPARE(window.child<QLabel>(QStringLiteral("Status"))->text(),
                 QStringLiteral("継続時間が選ばれていません。"));
        QVERIFY(window.fake.messages.shown.isEmpty());
    }

    // A file of daily values after a step file is the annual import's again, as before.
    void dailyFileAfterAStepFile() {
        Window window(QStringLiteral("river_hourly_synthetic.dat"));
        window.fake.files.openAnswers << WriteFile(window.dir, "daily.csv", HandWorkedDailyFile());
        window.button("FileButton")->click();
        QVERIFY(!window.form.durations());
        QVERIFY(window.form.series());
        QCOMPARE(window.table()->columnCount(), 4);
        QCOMPARE(window.table()->horizontalHeaderItem(2)->text(), QStringLiteral("有効日数"));
        for (const char* name : {"DateColumn", "Aggregate", "CsvButton"})
            QVERIFY2(window.child<QWidget>(QString::fromLatin1(name))->isEnabled(), name);
        for (const char* name : {"Durations", "DurationAggregate", "Stamp", "ShownDuration",
                                 "TableButton", "CrossYear"})
            QVERIFY2(!window.child<QWidget>(QString::fromLatin1(name))->isEnabled(), name);
        // The n-day maxima of daily values may also take windows across the year.
        window.child<QComboBox>(QStringLiteral("Aggregate"))->setCurrentIndex(2);
        QVERIFY(window.child<QCheckBox>(QStringLiteral("CrossYear"))->isEnabled());
    }
};

QTEST_MAIN(TestImportSteps)
#include "test_importsteps.moc"
