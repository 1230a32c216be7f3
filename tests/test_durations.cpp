#include "agencyfile.h"
#include "formats/durations.h"
#include "formats/import.h"
#include "statistics/dataerror.h"

#include <QDate>
#include <QTest>

#include <cmath>
#include <limits>

namespace {

const double kNone = std::numeric_limits<double>::quiet_NaN();

qint64 Minute(int year, int month, int day, int hour = 0) {
    return QDate(year, month, day).toJulianDay() * 1440 + hour * 60;
}

// Seven hours across the new year, the values worked by hand below: 21:00 to 24:00 of
// 31 December 2000 hold 1, 2, 3; 0:00 to 2:00 of 1 January 2001 hold 4, 5; 2:00 to 3:00 is
// missing; 3:00 to 4:00 holds 6.
StepSeries NewYearHours() {
    StepSeries steps;
    steps.stepMinutes = 60;
    steps.firstStart = Minute(2000, 12, 31, 21);
    steps.values = {1, 2, 3, 4, 5, kNone, 6};
    steps.item = QStringLiteral("降水量(mm)");
    steps.itemKind = StepItem::Rainfall;
    return steps;
}

DurationOptions Options(const QString& durations, DurationAggregate aggregate, bool crossYear) {
    DurationOptions options;
    options.durations = ParseDurationList(durations, 60);
    options.aggregate = aggregate;
    options.crossYear = crossYear;
    options.coverage = 0;
    return options;
}

// "2000:5@2001-01-01 00:00 2001:-" for each year: its value and the end of its window, or "-".
QString Shown(const DurationSeries& series) {
    QStringList years;
    for (const DurationYear& year : series.years)
        years << (year.included ? QStringLiteral("%1:%2@%3")
                                      .arg(year.year)
                                      .arg(year.value)
                                      .arg(WindowEndText(year.end, 60))
                                : QStringLiteral("%1:-").arg(year.year));
    return years.join(QLatin1Char(' '));
}

} // namespace

Q_DECLARE_METATYPE(DurationAggregate)

class TestDurations : public QObject {
    Q_OBJECT
private slots:
    // Sums, means, peaks and minima of each window length, inside the year and across its start.
    void newYear_data() {
        QTest::addColumn<QString>("duration");
        QTest::addColumn<DurationAggregate>("aggregate");
        QTest::addColumn<bool>("crossYear");
        QTest::addColumn<QString>("expected");
        const auto sum = DurationAggregate::Sum;
        // 2000: 1+2 and 2+3; 2001: 4+5 (5 and 6 are not consecutive).
        QTest::newRow("2h sums") << "2h" << sum << false
                                 << "2000:5@2001-01-01 00:00 2001:9@2001-01-01 02:00";
        // 2001 has no three present hours of its own; across the new year 2+3+4 and 3+4+5.
        QTest::newRow("3h sums") << "3h" << sum << false << "2000:6@2001-01-01 00:00 2001:-";
        QTest::newRow("3h sums, cross-year")
            << "3h" << sum << true << "2000:6@2001-01-01 00:00 2001:12@2001-01-01 02:00";
        QTest::newRow("3h means, cross-year") << "3h" << DurationAggregate::Mean << true
                                              << "2000:2@2001-01-01 00:00 2001:4@2001-01-01 02:00";
        QTest::newRow("3h minima, cross-year") << "3h" << DurationAggregate::Min << true
                                               << "2000:2@2001-01-01 00:00 2001:3@2001-01-01 01:00";
        // The peak of 2001 lies in 3+4+5, the first window that holds 5.
        QTest::newRow("3h peaks, cross-year") << "3h" << DurationAggregate::Max << true
                                              << "2000:3@2001-01-01 00:00 2001:5@2001-01-01 02:00";
        QTest::newRow("1h peaks") << "1h" << DurationAggregate::Max << false
                                  << "2000:3@2001-01-01 00:00 2001:6@2001-01-01 04:00";
    }
    void newYear() {
        QFETCH(QString, duration);
        QFETCH(DurationAggregate, aggregate);
        QFETCH(bool, crossYear);
        const DurationTable table =
            BuildDurations(NewYearHours(), Options(duration, aggregate, crossYear));
        QTEST(Shown(table.series.first()), "expected");
    }

    void leftOutYearsSayWhy() {
        DurationOptions options = Options(QStringLiteral("3h"), DurationAggregate::Sum, false);
        const DurationTable table = BuildDurations(NewYearHours(), options);
        QCOMPARE(table.series.first().years[1].note,
                 QStringLiteral("有効な値が 3 時間 続くところがありません"));
        options.coverage = 80;
        const DurationTable covered = BuildDurations(NewYearHours(), options);
        QCOMPARE(covered.series.first().years[0].note,
                 QStringLiteral("有効な値が 3/8784 で、80 % に足りません"));
    }

    // The sums are those of the decimal values: 0.1 + 0.2 is 0.3.
    void sumsOfDecimals() {
        StepSeries steps = NewYearHours();
        steps.values = {0.1, 0.2, 0.7};
        steps.decimals = 1;
        const DurationTable table =
            BuildDurations(steps, Options(QStringLiteral("2h,3h"), DurationAggregate::Sum, false));
        QCOMPARE(table.series[0].years[0].value, 0.9);
        QCOMPARE(table.series[1].years[0].value, 1.0);
        steps.values = {0.1, 0.2};
        QCOMPARE(BuildDurations(steps, Options(QStringLiteral("2h"), DurationAggregate::Sum, false))
                     .series[0]
                     .years[0]
                     .value,
                 0.3);
    }

    // A complete year of daily flows 1 to 365 (day d holds d) and one that misses a day.
    void flowDuration() {
        StepSeries steps;
        steps.stepMinutes = 1440;
        steps.firstStart = Minute(2001, 1, 1);
        steps.itemKind = StepItem::Discharge;
        steps.item = QStringLiteral("流量(m3/s)");
        for (int d = 1; d <= 365 + 365; ++d)
            steps.values.push_back(d <= 365 ? d : 10.0);
        steps.values[400] = kNone;
        DurationOptions options;
        options.durations = FlowDurations();
        const DurationTable table = BuildDurations(steps, options);
        QList<double> first;
        for (const DurationSeries& series : table.series) {
            first << series.years[0].value;
            QVERIFY(!series.years[1].included);
            QCOMPARE(series.years[1].note,
                     QStringLiteral("欠測の日が 1 日あり、流況を求められません"));
            QCOMPARE(series.kind, SeriesKind::AnnualMinimum);
        }
        QCOMPARE(first, QList<double>({271, 181, 91, 11}));
        QCOMPARE(DurationTableCsv(table),
                 QByteArray("year,q95,q185,q275,q355\r\n2001,271,181,91,11\r\n2002,,,,\r\n"));
    }

    // What the table writes reads back as one series a duration, left-out years missing.
    void tableReadsBack() {
        const DurationTable table = BuildDurations(
            NewYearHours(), Options(QStringLiteral("2h,3h"), DurationAggregate::Sum, false));
        const QByteArray csv = DurationTableCsv(table);
        QCOMPARE(csv, QByteArray("year,2h,3h\r\n2000,5,6\r\n2001,9,\r\n"));
        QVERIFY(IsDurationTable(csv));
        QVERIFY(!IsDurationTable("1990,1500\r\n1991,1600\r\n"));
        const DurationTableFile file = ParseDurationTable(csv);
        QCOMPARE(file.labels, QStringList({QStringLiteral("2h"), QStringLiteral("3h")}));
        QCOMPARE(file.series[0].recordCount, 2);
        QCOMPARE(file.series[0].values[1], 9.0);
        QCOMPARE(file.series[1].recordCount, 1);
        QCOMPARE(file.series[1].years[0], 2000);
    }

    void badDurations_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("message");
        QTest::newRow("not a multiple")
            << "90min"
            << "継続時間 90min はこのファイルの刻み（1 時間）の整数倍ではありません。";
        QTest::newRow("unreadable")
            << "2 hours"
            << "継続時間「2 hours」を読めません。10min、2h、3d のように書いてください。";
        QTest::newRow("twice") << "1h,60min"
                               << "継続時間 60min が重なっています。";
    }
    void badDurations() {
        QFETCH(QString, list);
        try {
            ParseDurationList(list, 60);
            QFAIL("accepted");
        } catch (const DataError& error) {
            QTEST(error.message(), "message");
        }
    }

    // The daily import's two-day maximum across the new year: 100 on 31 December and 100 on
    // 1 January make 200 only when windows may begin in the year before.
    void dailyCrossYear_data() {
        QTest::addColumn<bool>("crossYear");
        QTest::addColumn<double>("maximum");
        QTest::newRow("inside the year") << false << 100.0;
        QTest::newRow("across the new year") << true << 200.0;
    }
    void dailyCrossYear() {
        QFETCH(bool, crossYear);
        QMap<QDate, AgencyDay> days;
        days[QDate(1999, 12, 31)] = {QStringLiteral("100.0")};
        days[QDate(2000, 1, 1)] = {QStringLiteral("100.0")};
        ImportOptions options;
        options.aggregate = ImportAggregate::Max;
        options.days = 2;
        options.coverage = 0;
        options.crossYear = crossYear;
        const AnnualSeries series = BuildAnnualSeries(
            ParseImportSource(AgencyDailyFile(QDate(1999, 12, 1), QDate(2000, 1, 31), days)),
            options);
        QTEST(series.rows.last().value, "maximum");
    }

    // The axis title names the kind, the duration, how its window was taken, the item and unit.
    void axisTitles_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<DurationAggregate>("aggregate");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("title");
        QTest::newRow("rainfall") << "降水量(mm)"
                                  << "mm" << DurationAggregate::Sum << "1h"
                                  << "年最大1時間降水量　(mm)";
        QTest::newRow("ten minutes") << "雨量(mm)"
                                     << "mm" << DurationAggregate::Sum << "10min"
                                     << "年最大10分雨量　(mm)";
        QTest::newRow("mean discharge") << "流量(m3/s)"
                                        << "m3/s" << DurationAggregate::Mean << "3d"
                                        << "年最大3日平均流量　(m3/s)";
        QTest::newRow("smallest means") << "流量(m3/s)"
                                        << "m3/s" << DurationAggregate::Min << "7d"
                                        << "年最小7日平均流量　(m3/s)";
        QTest::newRow("peaks") << "水位(m)"
                               << "m" << DurationAggregate::Max << "2h"
                               << "年最大水位　(m)";
        QTest::newRow("flow-duration value") << "流量(m3/s)"
                                             << "m3/s" << DurationAggregate::Mean << "q355"
                                             << "渇水流量（355 日）　(m3/s)";
        QTest::newRow("no item, summed") << ""
                                         << "" << DurationAggregate::Sum << "1h"
                                         << "年最大1時間降水量　(mm)";
        QTest::newRow("no item, averaged") << ""
                                           << "" << DurationAggregate::Mean << "1h"
                                           << "年最大1時間平均値";
    }
    void axisTitles() {
        QFETCH(QString, item);
        QFETCH(QString, unit);
        QFETCH(DurationAggregate, aggregate);
        QFETCH(QString, label);
        DurationTable table;
        table.source.item = item;
        table.source.unit = unit;
        table.source.aggregate = aggregate;
        DurationSeries series;
        series.duration = *DurationOfLabel(label);
        series.kind = aggregate == DurationAggregate::Min || series.duration.flowDays > 0
                          ? SeriesKind::AnnualMinimum
                          : SeriesKind::AnnualMaximum;
        table.series << series;
        QTEST(DurationAxisTitle(table, 0), "title");
    }
};

QTEST_GUILESS_MAIN(TestDurations)
#include "test_durations.moc"
