#include "agencyfile.h"
#include "formats/stepfile.h"
#include "statistics/dataerror.h"

#include <QDate>
#include <QTest>

#include <cmath>

namespace {

qint64 Minute(int year, int month, int day, int hour = 0, int minute = 0) {
    return QDate(year, month, day).toJulianDay() * 1440 + hour * 60 + minute;
}

QString Values(const StepSeries& series) {
    QStringList shown;
    for (const double v : series.values)
        shown << (std::isnan(v) ? QStringLiteral("-") : QString::number(v));
    return shown.join(QLatin1Char(' '));
}

const QString kAgencyHead = QStringLiteral("ダウンロードした時刻：2024/05/01 10:00:00\r\n\r\n"
                                           ",東京,東京,東京,東京\r\n"
                                           "%1,降水量(mm),降水量(mm),降水量(mm),降水量(mm)\r\n"
                                           "%2,,現象なし情報,品質情報,均質番号\r\n");

QByteArray RiverHourly(const QString& title, const QStringList& rows) {
    QString text =
        title + QStringLiteral("\r\n水系名,利根川\r\n河川名,利根川\r\n観測所名,八斗島\r\n"
                               "観測所記号,303031283310010\r\n#日付,1時データ,1時フラグ\r\n");
    QString heading;
    for (int h = 1; h <= 24; ++h)
        heading += QStringLiteral(",%1時,").arg(h);
    text += heading + QStringLiteral("\r\n") + rows.join(QStringLiteral("\r\n")) +
            QStringLiteral("\r\n");
    return ShiftJis(text);
}

// A river day: 24 pairs, hour h holding h.0 unless the overrides say otherwise.
QString RiverDay(const QString& date, const QMap<int, QPair<QString, QString>>& hours = {}) {
    QString row = date;
    for (int h = 1; h <= 24; ++h) {
        const auto cell = hours.value(h, {QStringLiteral("%1.0").arg(h), QString()});
        row += QStringLiteral(",%1,%2").arg(cell.first, cell.second);
    }
    return row;
}

QString RiverMonth(int month, int days, const QString& dayValue) {
    QString row = QStringLiteral("%1月").arg(month);
    for (int d = 1; d <= 31; ++d)
        row += d <= days ? QStringLiteral(",%1,").arg(dayValue) : QStringLiteral(",,");
    return row + QStringLiteral(",99.9,");
}

} // namespace

class TestStepFile : public QObject {
    Q_OBJECT
private slots:
    // Each layout with its stamps: the interval each value covers and the missing ones.
    void layouts_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("atStart");
        QTest::addColumn<int>("step");
        QTest::addColumn<qint64>("firstStart");
        QTest::addColumn<QString>("values");
        QTest::addColumn<QString>("station");

        // "2016/1/2 0:00:00" ends the last hour of 1 January; quality 1 is missing, a
        // no-phenomenon mark is a dry hour; 2:00 has no row at all.
        QTest::newRow("Agency, one stamp field")
            << ShiftJis(kAgencyHead.arg(QStringLiteral("年月日時"), QString()) +
                        QStringLiteral("2016/1/1 23:00:00,1.5,0,8,1\r\n"
                                       "2016/1/2 0:00:00,2.0,0,8,1\r\n"
                                       "2016/1/2 1:00:00,,1,8,1\r\n"
                                       "2016/1/2 3:00:00,4.0,0,1,1\r\n"
                                       "2016/1/2 4:00:00,5.0),0,5,1\r\n"))
            << false << 60 << Minute(2016, 1, 1, 22) << "1.5 2 0 - - 5"
            << "東京";
        // 時 24 ends the day.
        QTest::newRow("Agency, four fields, hour 24")
            << ShiftJis(QStringLiteral("ダウンロードした時刻：2024/05/01 10:00:00\r\n\r\n"
                                       ",,,,東京,東京,東京,東京\r\n"
                                       "年,月,日,時,降水量(mm),降水量(mm),降水量(mm),降水量(mm)\r\n"
                                       ",,,,,現象なし情報,品質情報,均質番号\r\n"
                                       "2016,1,1,23,1.0,0,8,1\r\n"
                                       "2016,1,1,24,2.0,0,8,1\r\n"
                                       "2016,1,2,1,3.0,0,8,1\r\n"))
            << false << 60 << Minute(2016, 1, 1, 22) << "1 2 3"
            << "東京";
        QTest::newRow("delimited, start stamps, 10 minutes")
            << QByteArray("time,rain\n2020-12-31 23:40,1\n2020-12-31 23:50,2\n"
                          "2021-01-01T00:10,3\n")
            << true << 10 << Minute(2020, 12, 31, 23, 40) << "1 2 - 3"
            << "";
        QTest::newRow("delimited, date and time columns, UTF-8 with BOM, full-width digits")
            << QByteArray("\xEF\xBB\xBF日付\t時刻\t流量\n2020/1/1\t0:30\t１０．５\n"
                          "2020/1/1\t1:00\t11\n2020/1/1\t1:30\t×\n")
            << false << 30 << Minute(2019, 12, 31, 24, 0) << "10.5 11 -"
            << "";
        QTest::newRow("delimited, daily dates")
            << QByteArray("date,flow\n2020-02-28,1.5\n2020-02-29,2.5\n2020-03-02,4\n") << false
            << 1440 << Minute(2020, 2, 28) << "1.5 2.5 - 4"
            << "";
        // Hour k covers (k-1):00 to k:00; $, # and - are missing, -9999 whatever its flag; *
        // and unknown flags keep the value.
        QTest::newRow("river bureau, hourly")
            << RiverHourly(QStringLiteral("時刻流量月表検索結果"),
                           {RiverDay(QStringLiteral("2001/01/01"),
                                     {{1, {QStringLiteral("-9999.99"), QString()}},
                                      {2, {QStringLiteral("5.0"), QStringLiteral("$")}},
                                      {3, {QStringLiteral("5.0"), QStringLiteral("#")}},
                                      {4, {QStringLiteral("5.0"), QStringLiteral("-")}},
                                      {5, {QStringLiteral("5.5"), QStringLiteral("*")}},
                                      {6, {QStringLiteral("6.5"), QStringLiteral("E")}}})})
            << false << 60 << Minute(2001, 1, 1)
            << "- - - - 5.5 6.5 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24"
            << "八斗島";
        // The pairs past February's end are empty and the month's mean is no day.
        QTest::newRow("river bureau, daily")
            << ShiftJis(
                   QStringLiteral("日流量年表検索結果\r\n水系名,a\r\n観測所名,b\r\n観測所記号,c\r\n"
                                  "#月,1日データ,1日フラグ\r\n2001年\r\n") +
                   RiverMonth(1, 31, QStringLiteral("1.25")) + QStringLiteral("\r\n") +
                   RiverMonth(2, 28, QStringLiteral("2")) + QStringLiteral("\r\n"))
            << false << 1440 << Minute(2001, 1, 1)
            << (QStringList(31, QStringLiteral("1.25")) + QStringList(28, QStringLiteral("2")))
                   .join(QLatin1Char(' '))
            << "b";
    }
    void layouts() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, atStart);
        StepReadOptions options;
        options.stampAtStart = atStart;
        const StepSeries series = ParseStepFile(bytes, options);
        QTEST(series.stepMinutes, "step");
        QTEST(series.firstStart, "firstStart");
        QTEST(Values(series), "values");
        QTEST(series.station, "station");
    }

    void riverWarningsAndItem() {
        const StepSeries series = ParseStepFile(
            RiverHourly(QStringLiteral("時刻水位月表検索結果"),
                        {RiverDay(QStringLiteral("2001/01/01"),
                                  {{5, {QStringLiteral("1.5"), QStringLiteral("*")}},
                                   {6, {QStringLiteral("1.5"), QStringLiteral("E")}}})}));
        QCOMPARE(series.itemKind, StepItem::WaterLevel);
        QCOMPARE(series.unit, QStringLiteral("m"));
        QCOMPARE(series.format, StepFormat::RiverHourly);
        QCOMPARE(
            StepReadWarnings(series),
            QStringList({QStringLiteral("暫定値（記号 *）が 1 個あり、そのまま使いました。"),
                         QStringLiteral("知らない記号 E の付いた値は、そのまま使いました。")}));
    }

    // A file refused says why, with its line where there is one.
    void refusals_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::newRow("stamp off the step")
            << QByteArray("t,v\n2020-01-01 01:00,1\n2020-01-01 02:00,1\n2020-01-01 03:00,1\n"
                          "2020-01-01 03:30,1\n")
            << "5 行目：日時 2020-01-01 03:30 が 1 時間の刻みに合いません（最初の日時 "
               "2020-01-01 01:00 から 1 時間の整数倍ではありません）。";
        QTest::newRow("repeated stamp")
            << QByteArray("t,v\n2020-01-01 01:00,1\n2020-01-01 02:00,1\n2020-01-01 02:00,1\n")
            << "4 行目：日時 2020-01-01 02:00 が 3 "
               "行目と同じです。古い順に一度ずつ並べてください。";
        QTest::newRow("stamp going back")
            << QByteArray("t,v\n2020-01-01 01:00,1\n2020-01-01 02:00,1\n2020-01-01 03:00,1\n"
                          "2020-01-01 04:00,1\n2020-01-01 02:00,1\n")
            << "6 行目：日時 2020-01-01 02:00 が 5 行目の日時 2020-01-01 04:00 より前です。"
               "古い順に一度ずつ並べてください。";
        QTest::newRow("hour 25")
            << QByteArray("t,v\n2020-01-01 01:00,1\n2020-01-01 02:00,1\n2020-01-01 25:00,1\n")
            << "4 行目：日時「2020-01-01 25:00」を読めません。";
        QTest::newRow("February 30")
            << QByteArray("t,v\n2020-02-29 22:00,1\n2020-02-29 23:00,1\n2020-02-30 00:00,1\n")
            << "4 行目：日付 2020/2/30 はありません。";
        QTest::newRow("a value on 30 February")
            << ShiftJis(QStringLiteral("日流量年表検索結果\r\n観測所名,b\r\n2001年\r\n") +
                        RiverMonth(1, 31, QStringLiteral("1")) + QStringLiteral("\r\n") +
                        RiverMonth(2, 30, QStringLiteral("2")) + QStringLiteral("\r\n"))
            << "5 行目：2001 年 2 月 29 日はありません（値「2」）。";
        QTest::newRow("NUL byte")
            << QByteArray("t,v\n2020-01-01 01:00,1\n2020-01-01 02:00,") + QByteArray(1, '\0') +
                   QByteArray("\n")
            << "3 行目：文字でない値（NUL）があります。テキストファイルではありません。";
        QTest::newRow("broken Shift-JIS")
            << QByteArray("t,v\n2020-01-01 01:00,1\n2020-01-01 02:00,1\x82\n")
            << "3 行目：Shift-JIS でも UTF-8 でも読めない文字があります。";
        QTest::newRow("half-recognised river file")
            << ShiftJis(QStringLiteral("月表検索結果\r\n観測所名,b\r\n2001/01/01,1\r\n"))
            << "水文水質データベースのファイルのようですが、時刻の月表か日の年表か、雨量・流量・"
               "水位のどれかが分かりません（表題「月表検索結果」）。";
        QTest::newRow("a river day cut short")
            << RiverHourly(QStringLiteral("時刻雨量月表検索結果"),
                           {QStringLiteral("2001/01/01,1,,2,")})
            << "8 行目：1 時から 24 時までの値と記号がそろっていません（5 項目、49 "
               "項目が要ります）。";
        QTest::newRow("a step of 15 minutes")
            << QByteArray("t,v\n2020-01-01 00:15,1\n2020-01-01 00:30,1\n")
            << "時刻の刻みが 15 分です。10・20・30・60 分か 1 日の刻みのファイルを読めます。";
        QTest::newRow("hour 0 in four fields")
            << QByteArray("y,m,d,h,v\n2020,1,1,0,1\n2020,1,1,1,1\n")
            << "2 行目：時 0 はありません（時は 1 から 24 までです）。";
    }
    void refusals() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        try {
            ParseStepFile(bytes);
            QFAIL("read");
        } catch (const DataError& error) {
            QCOMPARE(error.message(), message);
        }
    }

    // Which files the annual import leaves to this reader.
    void recognised_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("step");
        QTest::newRow("daily Agency")
            << AgencyDailyFile(QDate(2000, 1, 1), QDate(2000, 1, 5), {}) << false;
        QTest::newRow("hourly") << QByteArray("t,v\n2020-01-01 01:00,1\n") << true;
        QTest::newRow("river") << RiverHourly(QStringLiteral("時刻雨量月表検索結果"), {}) << true;
        QTest::newRow("year,value") << QByteArray("1990,1500\n1991,1600\n") << false;
    }
    void recognised() {
        QFETCH(QByteArray, bytes);
        QTEST(IsStepFile(bytes), "step");
    }

    // The committed samples read whole, as the command line and the window read them.
    void samples_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("step");
        QTest::addColumn<qint64>("intervals");
        QTest::newRow("Agency hourly") << "agency_hourly_synthetic.csv" << 60 << qint64(731 * 24);
        QTest::newRow("river hourly") << "river_hourly_synthetic.dat" << 60 << qint64(731 * 24);
        QTest::newRow("river daily") << "river_daily_synthetic.dat" << 1440 << qint64(1826);
    }
    void samples() {
        QFETCH(QString, file);
        const StepSeries series =
            ReadStepFile(QStringLiteral(QUORVEL_SOURCE_DIR "/data/samples/") + file);
        QTEST(series.stepMinutes, "step");
        QTEST(qint64(series.values.size()), "intervals");
    }
};

QTEST_GUILESS_MAIN(TestStepFile)
#include "test_stepfile.moc"
