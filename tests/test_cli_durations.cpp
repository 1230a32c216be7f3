#include "testhelpers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kSamples = QStringLiteral(QUORVEL_SOURCE_DIR "/data/samples/");

struct Run {
    int status = -1;
    QString out;
    QString err;
};

Run Quorvel(const QStringList& arguments) {
    QProcess process;
    process.setWorkingDirectory(QStringLiteral(QUORVEL_BIN_DIR));
    process.start(QStringLiteral(QUORVEL_BIN_DIR "/quorvel"), arguments);
    if (!process.waitForFinished(60000))
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

class TestCliDurations : public QObject {
    Q_OBJECT
private slots:
    // The maxima of the synthetic hourly sample, worked out from its rows: 2019's largest three
    // hours end at 17:00 on 10 May (36 mm), its largest day at 3:00 on 11 May (88.9 mm).
    void hourlyTable() {
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("table.csv"));
        const QString json = dir.filePath(QStringLiteral("table.json"));
        const QString sample = kSamples + QStringLiteral("agency_hourly_synthetic.csv");
        Run run = Quorvel({"--import", csv, "--durations", "1h,3h,24h", sample});
        QCOMPARE(run.status, 0);
        QCOMPARE(QString::fromUtf8(ReadBytes(csv)),
                 QStringLiteral("year,1h,3h,24h\r\n2019,23.6,36,88.9\r\n2020,17.2,26.3,88.9\r\n"));
        run = Quorvel({"--import", json, "--durations", "3h,24h", sample});
        QCOMPARE(run.status, 0);
        const QJsonObject object = QJsonDocument::fromJson(ReadBytes(json)).object();
        const QJsonArray durations = object[QStringLiteral("durations")].toArray();
        const QJsonObject first = durations[0].toObject()[QStringLiteral("years")][0].toObject();
        QCOMPARE(first[QStringLiteral("end")].toString(), QStringLiteral("2019-05-10 17:00"));
        QCOMPARE(
            durations[1].toObject()[QStringLiteral("years")][0][QStringLiteral("end")].toString(),
            QStringLiteral("2019-05-11 03:00"));
        QCOMPARE(object[QStringLiteral("source")][QStringLiteral("aggregation")].toString(),
                 QStringLiteral("sum"));

        // The table read back: each duration's row, the duration last.
        run = Quorvel({"--results", csv});
        QCOMPARE(run.status, 0);
        const QStringList rows = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(rows.size(), 4);
        QVERIFY(rows[0].endsWith(QStringLiteral(",duration")));
        QVERIFY(rows[1].endsWith(QStringLiteral(",1h")));
        QVERIFY(rows[3].endsWith(QStringLiteral(",24h")));
        run = Quorvel({"--results", "--distributions", csv});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out.count(QStringLiteral(",3h\n")), 11);
        // A plain series keeps its columns as they were.
        run = Quorvel({"--results", kSamples + QStringLiteral("precip_30y.csv")});
        QVERIFY(!run.out.contains(QStringLiteral("duration")));
    }

    void refusals_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("status");
        const QString hourly = kSamples + QStringLiteral("agency_hourly_synthetic.csv");
        QTest::newRow("hourly file without durations")
            << QStringList{"--import", "OUT", hourly}
            << "時刻ごとの値か水文水質データベースのファイルです。--durations で継続時間を指定して"
               "ください（例 --durations 1h,24h）。"
            << 1;
        QTest::newRow("duration off the step")
            << QStringList{"--import", "OUT", "--durations", "90min", hourly}
            << "継続時間 90min はこのファイルの刻み（1 時間）の整数倍ではありません。" << 1;
        QTest::newRow("flow duration of rainfall")
            << QStringList{"--import", "OUT", "--flow-duration", hourly}
            << "流況（豊水・平水・低水・渇水流量）は日ごとの流量からだけ求められます。" << 1;
        QTest::newRow("mean without durations")
            << QStringList{"--import", "OUT", "--aggregate", "mean", hourly}
            << "--aggregate mean は --durations と一緒に指定してください。" << 2;
        QTest::newRow("bad stamp") << QStringList{"--import", "OUT", "--stamp", "middle", hourly}
                                   << "--stamp は end か start にしてください（「middle」）。" << 2;
    }
    void refusals() {
        QFETCH(QStringList, arguments);
        QTemporaryDir dir;
        arguments.replace(1, dir.filePath(QStringLiteral("out.csv")));
        const Run run = Quorvel(arguments);
        QTEST(run.status, "status");
        QFETCH(QString, message);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("out.csv"))));
    }

    // The river bureau's daily discharge: the flow-duration values, and a year with missing
    // days told and left out.
    void riverDailyFlowDuration() {
        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("flow.csv"));
        const Run run = Quorvel({"--import", csv, "--flow-duration",
                                 kSamples + QStringLiteral("river_daily_synthetic.dat")});
        QCOMPARE(run.status, 0);
        const QStringList lines = QString::fromUtf8(ReadBytes(csv)).split(QStringLiteral("\r\n"));
        QCOMPARE(lines[0], QStringLiteral("year,q95,q185,q275,q355"));
        QCOMPARE(lines[3], QStringLiteral("2017,,,,"));
        QVERIFY(run.err.contains(QStringLiteral("q355：2017 年を除きました（欠測の日が 3 日あり、"
                                                "流況を求められません）")));
    }
};

QTEST_GUILESS_MAIN(TestCliDurations)
#include "test_cli_durations.moc"
