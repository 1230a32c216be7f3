#include "agencyfile.h"
#include "app/commandline.h"
#include "cliprocess.h"
#include "statistics/numeric.h"
#include "statistics/series.h"
#include "testhelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kSamples = QStringLiteral(QUORVEL_SOURCE_DIR "/data/samples/");

// The rows of a results CSV without their first field, the file.
QStringList RowsAfterFile(const QString& csv) {
    QStringList rows = csv.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (QString& row : rows)
        row = row.section(QLatin1Char(','), 1);
    return rows;
}

// Each object of a results array without its file.
QJsonArray ObjectsAfterFile(const QString& json) {
    QJsonArray objects;
    for (const QJsonValue& value : QJsonDocument::fromJson(json.toUtf8()).array()) {
        QJsonObject object = value.toObject();
        object.remove(QStringLiteral("file"));
        objects.append(object);
    }
    return objects;
}

// The tags of the manual page's OPTIONS items as a reader sees them: "--scaleMIN:MAX", with the
// fonts, quotes and blanks gone.
QStringList ManualOptionTags() {
    const QString page =
        QString::fromUtf8(ReadBytes(QStringLiteral(QUORVEL_SOURCE_DIR "/packaging/quorvel.1")));
    const QString options =
        QLatin1Char('\n') +
        page.section(QStringLiteral("\n.SH OPTIONS\n"), 1).section(QStringLiteral("\n.SH "), 0, 0);
    static const QRegularExpression tag(QStringLiteral("\n\\.T[PQ]\n\\.[BIR]+ ([^\n]*)"));
    QStringList tags;
    for (const QRegularExpressionMatch& match : tag.globalMatch(options)) {
        QString text = match.captured(1);
        text.replace(QStringLiteral("\\-"), QStringLiteral("-"));
        text.remove(QLatin1Char('"'));
        text.remove(QLatin1Char(' '));
        tags << text;
    }
    return tags;
}

// A duration table of 30 years and seven durations, the depths of a Gumbel-like spread around
// a Talbot curve.
QByteArray IntensityTable() {
    const int minutes[] = {10, 20, 30, 60, 120, 1440, 2880};
    QByteArray text = "year,10min,20min,30min,1h,2h,24h,48h\r\n";
    for (int i = 0; i < 30; ++i) {
        text += QByteArray::number(1990 + i);
        const double F = ((i * 7) % 30 + 0.5) / 30;
        for (int t : minutes)
            text +=
                "," + QByteArray::number(
                          5000.0 / (t + 30) * t / 60 * (1 + 0.3 * -std::log(-std::log(F))), 'f', 1);
        text += "\r\n";
    }
    return text;
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void pageCarriesTheResultsOfTheRow() {
        QTemporaryDir dir;
        const QString file = kSamples + QStringLiteral("precip_100y.csv");
        const QString pdf = dir.filePath(QStringLiteral("rain.pdf"));
        const Run run = Quorvel({QStringLiteral("--pdf"), pdf, QStringLiteral("--results"),
                                 QStringLiteral("--mode"), QStringLiteral("2"),
                                 QStringLiteral("--alpha"), QStringLiteral("0.4"), file});
        QCOMPARE(run.status, 0);
        const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        const QStringList header = lines[0].split(QLatin1Char(','));
        const QStringList row = lines[1].split(QLatin1Char(','));
        QCOMPARE(row.size(), header.size());
        const QString page = PdfText(pdf);
        const struct {
            const char* column;
            const char* label;
        } printed[] = {{"dry10", "1/10渇水年解析値 = "},
                       {"dry100", "1/100渇水年解析値 = "},
                       {"wet10", "1/10豊水年解析値 = "},
                       {"wet100", "1/100豊水年解析値 = "},
                       {"alpha", "非超過確率計算のα値 = "}};
        for (const auto& entry : printed) {
            const QString value = row[header.indexOf(QString::fromLatin1(entry.column))];
            QVERIFY2(
                page.contains(QString::fromUtf8(entry.label) + value),
                qPrintable(QStringLiteral("%1 = %2 not on the page").arg(entry.column, value)));
        }
        QCOMPARE(row[header.indexOf(QStringLiteral("alpha"))], QStringLiteral("0.4"));
    }

    void oneFailingFileLeavesTheOthersWritten() {
        QTemporaryDir dir;
        const QString bad = WriteFile(dir, QStringLiteral("bad.csv"), "2000,5\n2001,x\n");
        QDir().mkpath(dir.filePath(QStringLiteral("out")));
        const QString out = dir.filePath(QStringLiteral("out"));
        const Run run = Quorvel({QStringLiteral("--pdf"), out, QStringLiteral("--results"),
                                 kSamples + QStringLiteral("precip_30y.csv"), bad,
                                 kSamples + QStringLiteral("precip_100y.csv")});
        QCOMPARE(run.status, 1);
        const QStringList errors = run.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(errors.size(), 1);
        QVERIFY(errors[0].contains(bad));
        QVERIFY(errors[0].contains(QStringLiteral("2 行目")));
        QCOMPARE(QDir(out).entryList(QDir::Files), (QStringList{QStringLiteral("precip_100y.pdf"),
                                                                QStringLiteral("precip_30y.pdf")}));
        QCOMPARE(run.out.count(QLatin1Char('\n')), 3);
        QVERIFY(!run.out.contains(bad));
    }

    // Below 10 the page's whole numbers say little: the unrounded values follow at the end of
    // the row, as the page line computes them.
    void fullValuesFollowTheWholeNumbers() {
        QTemporaryDir dir;
        const QString file =
            WriteFile(dir, QStringLiteral("small.csv"),
                      "2001,0.21\n2002,0.35\n2003,0.9\n2004,0.5\n2005,0.62\n2006,0.44\n");
        const Run run = Quorvel({QStringLiteral("--results"), file});
        QCOMPARE(run.status, 0);
        const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const QStringList header = lines[0].split(QLatin1Char(','));
        const QStringList row = lines[1].split(QLatin1Char(','));
        const auto column = [&](const QString& name) { return row[header.indexOf(name)]; };
        for (const char* name : {"dry10", "dry100", "wet10", "wet100"}) {
            const QString whole = column(QLatin1String(name));
            const QString full = column(QStringLiteral("value_") + QLatin1String(name));
            QVERIFY2(!whole.contains(QLatin1Char('.')), qPrintable(whole));
            QVERIFY2(full.contains(QLatin1Char('.')), qPrintable(full));
            QCOMPARE(whole.toDouble(), std::round(full.toDouble()));
        }
        QVERIFY(column(QStringLiteral("value_dry10")).toDouble() > 0.21 * 0.9);
        QVERIFY(column(QStringLiteral("value_wet100")).toDouble() > 0.9);
    }

    // The distributions' rows carry what they were computed from; --bom marks the CSV as UTF-8
    // for spreadsheets.
    void distributionRowsCarryTheirContext() {
        const QString file = kSamples + QStringLiteral("precip_30y.csv");
        const Run run =
            Quorvel({QStringLiteral("--results"), QStringLiteral("--distributions"),
                     QStringLiteral("--alpha"), QStringLiteral("0.4"), QStringLiteral("--target"),
                     QStringLiteral("dry10"), QStringLiteral("--bom"), file});
        QCOMPARE(run.status, 0);
        QVERIFY(run.outBytes.startsWith("\xEF\xBB\xBF"
                                        "file,"));
        const QStringList lines =
            QString::fromUtf8(run.outBytes.mid(3)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 12);
        for (const QString& row : lines.mid(1))
            QVERIFY2(row.endsWith(QStringLiteral(",30,0.4,dry10")), qPrintable(row));
        QVERIFY(Quorvel({QStringLiteral("--results"), file}).outBytes.startsWith("file,"));
        const Run json = Quorvel(
            {QStringLiteral("--results"), QStringLiteral("--json"), QStringLiteral("--bom"), file});
        QCOMPARE(json.status, 2);
    }

    void jsonHoldsTheRecords() {
        const Run run = Quorvel({QStringLiteral("--results"), QStringLiteral("--json"),
                                 kSamples + QStringLiteral("precip_30y.csv")});
        QCOMPARE(run.status, 0);
        const QJsonArray files = QJsonDocument::fromJson(run.out.toUtf8()).array();
        QCOMPARE(files.size(), 1);
        const QJsonArray records = files[0][QStringLiteral("records")].toArray();
        QCOMPARE(records.size(), 30);
        QCOMPARE(records[0][QStringLiteral("year")].toInt(), 1996);
        QCOMPARE(records[0][QStringLiteral("value")].toDouble(), 1591.9);
    }

    // In year order, 2001 twice in file order, the values are 3,1,4,4,2,5,7,6,9,8: by hand
    // S = 32, Var = 124, z = 31/√124, Sen's slope 0.8166…, K = 25 after 2004. Nine records
    // have no checks.
    void jsonCarriesTheChecks() {
        QTemporaryDir dir;
        const QString ten = WriteFile(dir, QStringLiteral("ten.csv"),
                                      "2005,5\n2001,3\n2001,1\n2002,4\n2009,8\n2003,4\n2004,2\n"
                                      "2006,7\n2007,6\n2008,9\n");
        const QString nine = WriteFile(dir, QStringLiteral("nine.csv"),
                                       "2001,5\n2002,3\n2003,1\n2004,4\n2005,8\n2006,4\n"
                                       "2007,2\n2008,7\n2009,6\n");
        const Run run = Quorvel({QStringLiteral("--results"), QStringLiteral("--json"), ten, nine});
        QCOMPARE(run.status, 0);
        const QJsonArray files = QJsonDocument::fromJson(run.out.toUtf8()).array();
        const QJsonObject checks = files[0][QStringLiteral("checks")].toObject();
        const QJsonObject mk = checks[QStringLiteral("mann_kendall")].toObject();
        QCOMPARE(mk[QStringLiteral("S")].toInteger(), 32);
        QCOMPARE(mk[QStringLiteral("z")].toDouble(), 31 / std::sqrt(124.0));
        QVERIFY(std::fabs(mk[QStringLiteral("p")].toDouble() - 0.005371254121580117) < 1e-12);
        QVERIFY(std::fabs(checks[QStringLiteral("sen_slope")].toDouble() - 49.0 / 60) < 1e-12);
        const QJsonObject pettitt = checks[QStringLiteral("pettitt")].toObject();
        QCOMPARE(pettitt[QStringLiteral("K")].toInteger(), 25);
        QCOMPARE(pettitt[QStringLiteral("year")].toInt(), 2004);
        QVERIFY(std::fabs(pettitt[QStringLiteral("p")].toDouble() - 2 * std::exp(-3750.0 / 1100)) <
                1e-15);
        QVERIFY(files[1].toObject().contains(QStringLiteral("checks")));
        QVERIFY(files[1][QStringLiteral("checks")].isNull());
        // The CSV keeps its columns.
        QVERIFY(!Quorvel({QStringLiteral("--results"), ten}).out.contains(QStringLiteral("mann")));
    }

    void fitFiguresAgreeBetweenCsvAndJson_data() {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("errorsAvailable");
        QTest::addColumn<QString>("max");
        QTest::addColumn<QString>("min");
        QTest::newRow("30 years") << QByteArray() << true << "2098.5"
                                  << "1292.6";
        // Two records leave nothing to leave one out of: the errors are unavailable.
        QTest::newRow("two records") << QByteArray("2000,500\n2001,800\n") << false << "800"
                                     << "500";
        // 10^log10(1946) is 1946.0000000000002: the largest value is the file's own.
        QTest::newRow("values log10 does not give back")
            << QByteArray("2000,1946\n2001,1292.6\n2002,1500\n") << true << "1946"
            << "1292.6";
    }
    void fitFiguresAgreeBetweenCsvAndJson() {
        QFETCH(QByteArray, data);
        QFETCH(bool, errorsAvailable);
        QFETCH(QString, max);
        QFETCH(QString, min);
        QTemporaryDir dir;
        const QString file = data.isEmpty() ? kSamples + QStringLiteral("precip_30y.csv")
                                            : WriteFile(dir, QStringLiteral("two.csv"), data);
        const Run csv = Quorvel({QStringLiteral("--results"), file});
        const Run json = Quorvel({QStringLiteral("--results"), QStringLiteral("--json"), file});
        QCOMPARE(csv.status, 0);
        QCOMPARE(json.status, 0);
        const QStringList lines = csv.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY(
            lines[0].endsWith(QStringLiteral(",r,slsc,se_dry10,se_dry100,se_wet10,se_wet100,"
                                             "value_dry10,value_dry100,value_wet10,value_wet100")));
        const QStringList header = lines[0].split(QLatin1Char(','));
        const QStringList row = lines[1].split(QLatin1Char(','));
        const QJsonObject object = QJsonDocument::fromJson(json.out.toUtf8()).array()[0].toObject();
        const auto column = [&](const char* name) {
            return row[header.indexOf(QString::fromLatin1(name))];
        };
        // The same double in both, to the last bit.
        for (const char* name : {"r", "slsc", "alpha", "arith_mean", "log_mean", "slope", "min"}) {
            QCOMPARE(column(name), ShortestReal(object[QLatin1String(name)].toDouble()));
            QCOMPARE(column(name).toDouble(), object[QLatin1String(name)].toDouble());
        }
        QCOMPARE(column("max"), max);
        QCOMPARE(column("min"), min);
        QCOMPARE(object[QStringLiteral("max")].toDouble(), max.toDouble());
        const QJsonArray periods = object[QStringLiteral("periods")].toArray();
        QCOMPARE(periods.size(), 11);
        const int records = column("records").toInt();
        for (const QJsonValue& period : periods) {
            const int years = period[QStringLiteral("T")].toInt();
            QCOMPARE(period[QStringLiteral("extrapolation")].toBool(), years > 2 * records);
            QCOMPARE(period[QStringLiteral("se_dry")].isNull(), !errorsAvailable);
            if (years != 10 && years != 100)
                continue;
            const QString suffix = QString::number(years);
            // The unrounded value is the one the page rounds.
            QCOMPARE(
                QString::number(qint64(RoundHalfEven(period[QStringLiteral("dry")].toDouble()))),
                column(qPrintable(QStringLiteral("dry") + suffix)));
            const QString se = column(qPrintable(QStringLiteral("se_wet") + suffix));
            QCOMPARE(se, errorsAvailable ? ShortestReal(period[QStringLiteral("se_wet")].toDouble())
                                         : QString());
        }
    }

    void usageErrors_data() {
        QTest::addColumn<QStringList>("arguments");
        const QString file = kSamples + QStringLiteral("precip_30y.csv");
        auto row = [&](const char* name, QStringList arguments) {
            QTest::newRow(name) << arguments;
        };
        row("unknown option", {QStringLiteral("--colour"), file});
        row("curves of no model",
            {QStringLiteral("--pdf"), QStringLiteral("p.pdf"), QStringLiteral("--curves"),
             QStringLiteral("gumbel,weibull"), file});
        row("curves twice", {QStringLiteral("--pdf"), QStringLiteral("p.pdf"),
                             QStringLiteral("--curves"), QStringLiteral("gev,gev"), file});
        row("curves without a page", {QStringLiteral("--results"), QStringLiteral("--curves"),
                                      QStringLiteral("selected"), file});
        row("alpha not a number",
            {QStringLiteral("--results"), QStringLiteral("--alpha"), QStringLiteral("half"), file});
        row("alpha negative", {QStringLiteral("--results"), QStringLiteral("--alpha=-0.1"), file});
        row("alpha above every bound", {QStringLiteral("--results"), QStringLiteral("--alpha"),
                                        QStringLiteral("0.999"), file});
        row("scale min not offered", {QStringLiteral("--results"), QStringLiteral("--scale"),
                                      QStringLiteral("5:1000"), file});
        row("scale max not offered", {QStringLiteral("--results"), QStringLiteral("--scale"),
                                      QStringLiteral("10:1000000"), file});
        row("scale not below", {QStringLiteral("--results"), QStringLiteral("--scale"),
                                QStringLiteral("1000:100"), file});
        row("scale form",
            {QStringLiteral("--results"), QStringLiteral("--scale"), QStringLiteral("10"), file});
        row("mode 3",
            {QStringLiteral("--results"), QStringLiteral("--mode"), QStringLiteral("3"), file});
        row("width 6", {QStringLiteral("--results"), QStringLiteral("--widths"),
                        QStringLiteral("3,6,5"), file});
        row("two widths",
            {QStringLiteral("--results"), QStringLiteral("--widths"), QStringLiteral("3,2"), file});
        row("offset not a number", {QStringLiteral("--results"), QStringLiteral("--offset"),
                                    QStringLiteral("5mm,0"), file});
        row("offset off any sheet", {QStringLiteral("--results"), QStringLiteral("--offset"),
                                     QStringLiteral("1e7,0"), file});
        row("empty title", {QStringLiteral("--results"), QStringLiteral("--title="), file});
        row("json alone", {QStringLiteral("--json"), file});
        row("distributions without results",
            {QStringLiteral("--pdf"), QDir::tempPath(), QStringLiteral("--distributions"), file});
        row("target without distributions",
            {QStringLiteral("--results"), QStringLiteral("--target"), QStringLiteral("dry10"),
             file});
        row("target not one of four",
            {QStringLiteral("--results"), QStringLiteral("--distributions"),
             QStringLiteral("--target"), QStringLiteral("wet50"), file});
        row("option without batch", {QStringLiteral("--mode"), QStringLiteral("1"), file});
        row("window with two files", {file, file});
        row("batch without file", {QStringLiteral("--results")});
        row("several files, OUT no folder",
            {QStringLiteral("--pdf"), QStringLiteral("/nonexistent/x.pdf"), file, file});
        row("OUT not a pdf", {QStringLiteral("--pdf"), file, file});
        row("import with results", {QStringLiteral("--import"), QStringLiteral("out.csv"),
                                    QStringLiteral("--results"), file});
        row("import option alone", {QStringLiteral("--days"), QStringLiteral("2"), file});
        row("import with json", {QStringLiteral("--import"), QStringLiteral("out.csv"),
                                 QStringLiteral("--json"), file});
        row("import with target", {QStringLiteral("--import"), QStringLiteral("out.csv"),
                                   QStringLiteral("--target"), QStringLiteral("dry10"), file});
        row("import with alpha", {QStringLiteral("--import"), QStringLiteral("out.csv"),
                                  QStringLiteral("--alpha"), QStringLiteral("0.4"), file});
        row("import of two files",
            {QStringLiteral("--import"), QStringLiteral("out.csv"), file, file});
        row("import over its own file", {QStringLiteral("--import"), file, file});
        row("import days 8", {QStringLiteral("--import"), QStringLiteral("out.csv"),
                              QStringLiteral("--days"), QStringLiteral("8"), file});
        row("import days of a total",
            {QStringLiteral("--import"), QStringLiteral("out.csv"), QStringLiteral("--aggregate"),
             QStringLiteral("sum"), QStringLiteral("--days"), QStringLiteral("2"), file});
        row("import aggregate mean", {QStringLiteral("--import"), QStringLiteral("out.csv"),
                                      QStringLiteral("--aggregate"), QStringLiteral("mean"), file});
        row("import coverage 120", {QStringLiteral("--import"), QStringLiteral("out.csv"),
                                    QStringLiteral("--coverage"), QStringLiteral("120"), file});
        row("import year start 13", {QStringLiteral("--import"), QStringLiteral("out.csv"),
                                     QStringLiteral("--year-start"), QStringLiteral("13"), file});
        row("import column 0", {QStringLiteral("--import"), QStringLiteral("out.csv"),
                                QStringLiteral("--value-column"), QStringLiteral("0"), file});
        row("import from after to",
            {QStringLiteral("--import"), QStringLiteral("out.csv"), QStringLiteral("--from"),
             QStringLiteral("2001"), QStringLiteral("--to"), QStringLiteral("2000"), file});
        row("two pages of one name",
            {QStringLiteral("--pdf"), QDir::tempPath(), file,
             kSamples + QStringLiteral("precip_30y.csv/../precip_30y.csv")});
    }
    void usageErrors() {
        QFETCH(QStringList, arguments);
        const Run run = Quorvel(arguments);
        QCOMPARE(run.status, 2);
        QCOMPARE(run.out, QString());
        const QStringList lines = run.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[1].contains(QStringLiteral("--help")));
    }

    // One CSV row per file and model under exactly the documented columns, and the JSON's
    // figures the same doubles.
    void distributionsCsvAndJson_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QByteArray>("data"); // empty: the 30-year sample
        QTest::newRow("default target") << QStringList{} << "wet100"
                                        << "lp3" << QByteArray();
        QTest::newRow("1/10 dry, Cunnane")
            << QStringList{QStringLiteral("--target"), QStringLiteral("dry10"),
                           QStringLiteral("--alpha"), QStringLiteral("0.4")}
            << "dry10" << QString() << QByteArray();
        // Models that fit but whose values pass the largest double are refused after the fit.
        QTest::newRow("models refused after their fit")
            << QStringList{} << "wet100" << QString()
            << QByteArray("2001,1797.69313486\n2002,1200e3\n2003,1e-300\n");
    }
    void distributionsCsvAndJson() {
        QFETCH(QStringList, options);
        QFETCH(QString, target);
        QFETCH(QString, selected);
        QFETCH(QByteArray, data);
        QTemporaryDir dir;
        const QString file = data.isEmpty() ? kSamples + QStringLiteral("precip_30y.csv")
                                            : WriteFile(dir, QStringLiteral("steep.csv"), data);
        const QStringList base =
            QStringList{QStringLiteral("--results"), QStringLiteral("--distributions")} + options;
        const Run csv = Quorvel(base + QStringList{file});
        const Run json = Quorvel(base + QStringList{QStringLiteral("--json"), file});
        QCOMPARE(csv.status, 0);
        QCOMPARE(json.status, 0);
        const QStringList lines = csv.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines[0],
                 QStringLiteral("file,model,name,applicable,slsc,x_cor,dry10,dry100,wet10,wet100,"
                                "jk_dry10,jk_dry100,jk_wet10,jk_wet100,se_dry10,se_dry100,se_wet10,"
                                "se_wet100,passes,selected,problem,records,alpha,target"));
        // The help lists the columns as they are written.
        QVERIFY(Quorvel({QStringLiteral("--help")}).out.contains(lines[0].section(',', 1)));
        QCOMPARE(lines.size(), 12);
        const QStringList header = lines[0].split(QLatin1Char(','));
        const QJsonObject object = QJsonDocument::fromJson(json.out.toUtf8()).array()[0].toObject();
        const QJsonObject selection = object[QStringLiteral("selection")].toObject();
        QCOMPARE(selection[QStringLiteral("target")].toString(), target);
        const QJsonArray models = object[QStringLiteral("distributions")].toArray();
        QCOMPARE(models.size(), 11);
        const QStringList ids{"ln2_paper", "ln2_pm", "ln2_lm", "ln3_iwai", "ln3_q", "ln3_lm",
                              "lp3",       "exp",    "gumbel", "sqrtet",   "gev"};
        QString csvSelected;
        for (int i = 0; i < 11; ++i) {
            const QStringList row = lines[i + 1].split(QLatin1Char(','));
            QCOMPARE(row.size(), header.size());
            const auto column = [&](const char* name) {
                return row[header.indexOf(QLatin1String(name))];
            };
            const QJsonObject model = models[i].toObject();
            QCOMPARE(column("model"), ids[i]);
            QCOMPARE(model[QStringLiteral("id")].toString(), ids[i]);
            QCOMPARE(column("name"), model[QStringLiteral("name")].toString());
            const bool applicable = model[QStringLiteral("applicable")].toBool();
            QCOMPARE(column("applicable"), applicable ? QStringLiteral("1") : QStringLiteral("0"));
            QCOMPARE(column("problem").isEmpty(), applicable);
            QCOMPARE(model[QStringLiteral("problem")].isNull(), applicable);
            QCOMPARE(column("passes"), model[QStringLiteral("passes")].toBool()
                                           ? QStringLiteral("1")
                                           : QStringLiteral("0"));
            if (column("selected") == QStringLiteral("1"))
                csvSelected = ids[i];
            QCOMPARE(model[QStringLiteral("selected")].toBool(),
                     column("selected") == QStringLiteral("1"));
            QCOMPARE(model[QStringLiteral("periods")].toArray().size(), 11);
            if (!applicable) {
                QCOMPARE(column("slsc"), QString());
                QVERIFY(model[QStringLiteral("slsc")].isNull());
                continue;
            }
            QCOMPARE(column("slsc").toDouble(), model[QStringLiteral("slsc")].toDouble());
            QCOMPARE(column("x_cor").toDouble(), model[QStringLiteral("x_cor")].toDouble());
            const QJsonObject wet100 = model[QStringLiteral("periods")].toArray()[8].toObject();
            QCOMPARE(wet100[QStringLiteral("T")].toInt(), 100);
            QCOMPARE(column("wet100").toDouble(), wet100[QStringLiteral("wet")].toDouble());
            QCOMPARE(column("se_wet100").toDouble(),
                     wet100[QStringLiteral("wet_error")].toDouble());
            QCOMPARE(column("jk_wet100").toDouble(),
                     wet100[QStringLiteral("wet_jackknife")].toDouble());
            QVERIFY(!model[QStringLiteral("parameters")].toObject().isEmpty());
        }
        const QJsonValue chosen = selection[QStringLiteral("selected")];
        QCOMPARE(chosen.isNull() ? QString() : chosen.toString(), csvSelected);
        if (!selected.isEmpty())
            QCOMPARE(csvSelected, selected);
    }

    // The hand-worked daily file of the import tests through the executable.
    void importWritesTheSeries_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<QString>("leftOut");
        QTest::newRow("totals")
            << QStringList{} << QByteArray("2000,126\r\n2001,57.9\r\n")
            << QStringLiteral("1999 年を除きました（有効な日が 2/365 で、80 % に足りません）");
        QTest::newRow("two-day maximum, fiscal year")
            << QStringList{QStringLiteral("--aggregate"),  QStringLiteral("max"),
                           QStringLiteral("--days"),       QStringLiteral("2"),
                           QStringLiteral("--year-start"), QStringLiteral("4")}
            << QByteArray("2000,40\r\n")
            << QStringLiteral("2001 年を除きました（有効な日が 233/365 で");
        QTest::newRow("chosen columns and period")
            << QStringList{QStringLiteral("--date-column"),  QStringLiteral("1"),
                           QStringLiteral("--value-column"), QStringLiteral("2"),
                           QStringLiteral("--coverage"),     QStringLiteral("0"),
                           QStringLiteral("--from"),         QStringLiteral("1999"),
                           QStringLiteral("--to"),           QStringLiteral("2000")}
            << QByteArray("1999,0\r\n2000,126\r\n") << QString();
    }
    void importWritesTheSeries() {
        QFETCH(QStringList, options);
        QFETCH(QByteArray, written);
        QFETCH(QString, leftOut);
        QTemporaryDir dir;
        const QString file = WriteFile(dir, QStringLiteral("daily.csv"), HandWorkedDailyFile());
        const QString out = dir.filePath(QStringLiteral("annual.csv"));
        const Run run =
            Quorvel(QStringList{QStringLiteral("--import"), out} + options + QStringList{file});
        QCOMPARE(run.status, 0);
        QCOMPARE(ReadBytes(out), written);
        QCOMPARE(run.out, QString());
        if (leftOut.isEmpty())
            QCOMPARE(run.err, QString());
        else
            QVERIFY2(run.err.contains(QStringLiteral("quorvel: %1: 注意：%2").arg(file, leftOut)),
                     qPrintable(run.err));
    }

    void importFailureWritesNothing_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::newRow("date repeats")
            << QByteArray("1990,1\n1990,2\n")
            << QStringLiteral("2 行目：日付 1990 が 1 行目の 1990 と同じです");
        QTest::newRow("every year left out")
            << QByteArray("2000/1/1,1\n") << QStringLiteral("取り込める年がありません");
    }
    void importFailureWritesNothing() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString file = WriteFile(dir, QStringLiteral("bad.csv"), bytes);
        const QString out = WriteFile(dir, QStringLiteral("annual.csv"), "kept");
        const Run run = Quorvel({QStringLiteral("--import"), out, file});
        QCOMPARE(run.status, 1);
        QCOMPARE(ReadBytes(out), QByteArray("kept"));
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY(run.err.trimmed()
                    .split(QLatin1Char('\n'))
                    .last()
                    .startsWith(QStringLiteral("quorvel: ") + file));
    }

    // The series --import hands to the analysis is the one it writes: the same figures from
    // the same years, and the same years left out.
    void importAnalysesTheSeriesItWrites_data() {
        QTest::addColumn<QStringList>("analysis");
        QTest::addColumn<QStringList>("import");
        const QStringList compared{QStringLiteral("--results"), QStringLiteral("--distributions")};
        QTest::newRow("totals") << compared << QStringList{};
        QTest::newRow("two-day maxima")
            << compared << QStringList{QStringLiteral("--days"), QStringLiteral("2")};
        QTest::newRow("fiscal-year maxima, Cunnane, 1/10 dry")
            << compared + QStringList{QStringLiteral("--alpha"), QStringLiteral("0.4"),
                                      QStringLiteral("--target"), QStringLiteral("dry10")}
            << QStringList{QStringLiteral("--aggregate"), QStringLiteral("max"),
                           QStringLiteral("--year-start"), QStringLiteral("4")};
        QTest::newRow("results, fixed scale, every year taken")
            << QStringList{QStringLiteral("--results"), QStringLiteral("--scale"),
                           QStringLiteral("100:10000")}
            << QStringList{QStringLiteral("--coverage"), QStringLiteral("50")};
    }
    void importAnalysesTheSeriesItWrites() {
        QFETCH(QStringList, analysis);
        QFETCH(QStringList, import);
        QTemporaryDir dir;
        const QString file = kSamples + QStringLiteral("agency_daily_synthetic.csv");
        const QString series = dir.filePath(QStringLiteral("annual.csv"));
        const Run written =
            Quorvel(QStringList{QStringLiteral("--import"), series} + import + QStringList{file});
        QCOMPARE(written.status, 0);
        for (const QStringList& format : {QStringList{}, QStringList{QStringLiteral("--json")}}) {
            const Run fromFile = Quorvel(analysis + format + QStringList{series});
            const Run fromImport =
                Quorvel(QStringList{QStringLiteral("--import"), file} + import + analysis + format);
            QCOMPARE(fromFile.status, 0);
            QCOMPARE(fromImport.status, 0);
            // The import's own warnings, then the analysis' of the series, naming the
            // observation file; a gap the import made is told once, with its reason.
            QStringList analysed;
            for (const QString& line : QString(fromFile.err).replace(series, file).split('\n'))
                if (!line.contains(QStringLiteral("抜けている年があります：2009。")))
                    analysed << line;
            QCOMPARE(fromImport.err, written.err + analysed.join('\n'));
            if (format.isEmpty()) {
                QCOMPARE(RowsAfterFile(fromImport.out), RowsAfterFile(fromFile.out));
                const QStringList rows =
                    fromImport.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
                for (const QString& row : rows.mid(1))
                    QCOMPARE(row.section(QLatin1Char(','), 0, 0), file);
            } else {
                QCOMPARE(ObjectsAfterFile(fromImport.out), ObjectsAfterFile(fromFile.out));
                QCOMPARE(QJsonDocument::fromJson(fromImport.out.toUtf8())
                             .array()[0][QStringLiteral("file")]
                             .toString(),
                         file);
            }
        }
        QVERIFY(!QFileInfo::exists(kSamples + QStringLiteral("agency_daily_synthetic.pdf")));
    }

    // The page of an imported series carries the results of its row, under the item's title
    // unless another is given.
    void importToPage_data() {
        QTest::addColumn<QString>("out"); // --pdf's argument in the temporary folder
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("title");
        QTest::newRow("a named page, the item's title") << "rain.pdf" << QStringList{} << "rain.pdf"
                                                        << "年降水量";
        QTest::newRow("into a folder, a title given")
            << "."
            << QStringList{QStringLiteral("--days"), QStringLiteral("2"), QStringLiteral("--title"),
                           QStringLiteral("日最大の雨量")}
            << "agency_daily_synthetic.pdf"
            << "日最大の雨量";
    }
    void importToPage() {
        QFETCH(QString, out);
        QFETCH(QStringList, options);
        QFETCH(QString, page);
        QFETCH(QString, title);
        QTemporaryDir dir;
        const Run run = Quorvel(QStringList{QStringLiteral("--import"),
                                            kSamples + QStringLiteral("agency_daily_synthetic.csv"),
                                            QStringLiteral("--pdf"), dir.filePath(out),
                                            QStringLiteral("--results"), QStringLiteral("--mode"),
                                            QStringLiteral("2")} +
                                options);
        QCOMPARE(run.status, 0);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{page});
        const QString text = PdfText(dir.filePath(page));
        QVERIFY2(text.contains(title), qPrintable(text));
        const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const QString wet100 = lines[1].section(
            QLatin1Char(','),
            int(lines[0].split(QLatin1Char(',')).indexOf(QStringLiteral("wet100"))),
            int(lines[0].split(QLatin1Char(',')).indexOf(QStringLiteral("wet100"))));
        // A value of another width than the label's block is a text block of its own.
        QVERIFY2(QString(text)
                     .remove(QRegularExpression(QStringLiteral("\\s")))
                     .contains(QStringLiteral("1/100豊水年解析値=") + wet100),
                 qPrintable(text));
    }

    // The forms --import cannot take, each refused before anything is read or written. FILE
    // stands for the observation file, DIR for an empty folder.
    void importRefusals_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("status");
        const QString besides = QStringLiteral(
            "--pdf や --results と一緒のときは、観測データのファイルは --import の後に一つだけ"
            "指定し、ほかに FILE は付けないでください（「%1」）。");
        const QString file = kSamples + QStringLiteral("agency_daily_synthetic.csv");
        QTest::newRow("a FILE besides the observation file")
            << QStringList{"--import", "FILE", "--results", "other.csv"}
            << besides.arg(QStringLiteral("other.csv")) << 2;
        QTest::newRow("a page and a FILE")
            << QStringList{"--import", "FILE", "--pdf", "DIR/x.pdf", "FILE"} << besides.arg(file)
            << 2;
        QTest::newRow("the series' OUT with --results")
            << QStringList{"--import", "DIR/out.csv", "--results", "FILE"} << besides.arg(file)
            << 2;
        QTest::newRow("two observation files")
            << QStringList{"--import", "FILE", "--import", "FILE", "--results"}
            << "--import で取り込めるファイルは一つだけです。" << 2;
        QTest::newRow("no observation file") << QStringList{"--import=", "--results"}
                                             << "--import の観測データのファイル名が空です。" << 2;
        QTest::newRow("the page over the observation file")
            << QStringList{"--import", "DIR/obs.pdf", "--pdf", "DIR"}
            << "出力先「DIR/obs.pdf」は読み込んだファイルそのものです。読み込んだファイルを"
               "壊さないよう、何も書き込みませんでした。別の名前を指定してください。"
            << 2;
        QTest::newRow("json into a series file")
            << QStringList{"--import", "DIR/out.csv", "--json", "FILE"}
            << "--json は --results か --intensity と一緒に指定してください。" << 2;
        QTest::newRow("alpha into a series file")
            << QStringList{"--import", "DIR/out.csv", "--alpha", "0.4", "FILE"}
            << "--alpha は --pdf か --report か --results か --intensity と一緒に指定してください。"
            << 2;
        QTest::newRow("target without distributions")
            << QStringList{"--import", "FILE", "--results", "--target", "dry10"}
            << "--target は --distributions か --intensity か --report と一緒に指定してください。"
            << 2;
        QTest::newRow("distributions on a page only")
            << QStringList{"--import", "FILE", "--pdf", "DIR/x.pdf", "--distributions"}
            << "--distributions は --results と一緒に指定してください。" << 2;
        QTest::newRow("import option of a data file")
            << QStringList{"--results", "--days", "2", "FILE"}
            << "--days は --import と一緒に指定してください。" << 2;
        QTest::newRow("days of a total")
            << QStringList{"--import", "FILE", "--results", "--aggregate", "sum", "--days", "2"}
            << "--days は --aggregate max と一緒に指定してください。" << 2;
    }
    void importRefusals() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QFETCH(int, status);
        QTemporaryDir dir;
        const QString file = kSamples + QStringLiteral("agency_daily_synthetic.csv");
        const QByteArray observations = ReadBytes(file);
        WriteFile(dir, QStringLiteral("obs.pdf"), observations);
        for (QString& argument : arguments)
            argument.replace(QStringLiteral("FILE"), file)
                .replace(QStringLiteral("DIR"), dir.path());
        const Run run = Quorvel(arguments);
        QCOMPARE(run.status, status);
        QCOMPARE(run.out, QString());
        QCOMPARE(run.err.section(QLatin1Char('\n'), 0, 0),
                 QStringLiteral("quorvel: ") +
                     QString(message).replace(QStringLiteral("DIR"), dir.path()));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("obs.pdf")});
        QCOMPARE(ReadBytes(dir.filePath(QStringLiteral("obs.pdf"))), observations);
    }

    // The manual page has an item for every option the program takes, with the value it
    // takes, and none for an option it does not.
    // The bootstrap's columns follow problem; the CSV's interval is the JSON's percentile or
    // BCa one, and the same seed gives the same figures on every run.
    void bootstrapCsvAndJson_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("low");
        QTest::newRow("percentile") << QStringList{} << "wet_low";
        QTest::newRow("bca, parametric, seed past 2^63")
            << QStringList{QStringLiteral("--interval"), QStringLiteral("bca"),
                           QStringLiteral("--parametric"), QStringLiteral("--seed"),
                           QStringLiteral("18446744073709551615")}
            << "wet_bca_low";
    }
    void bootstrapCsvAndJson() {
        QFETCH(QStringList, options);
        QFETCH(QString, low);
        const QString file = kSamples + QStringLiteral("precip_30y.csv");
        const QStringList base =
            QStringList{QStringLiteral("--results"), QStringLiteral("--distributions"),
                        QStringLiteral("--bootstrap"), QStringLiteral("200")} +
            options;
        const Run csv = Quorvel(base + QStringList{file});
        QCOMPARE(csv.status, 0);
        QCOMPARE(Quorvel(base + QStringList{file}).out, csv.out);
        const Run json = Quorvel(base + QStringList{QStringLiteral("--json"), file});
        QCOMPARE(json.status, 0);
        const QStringList lines = csv.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY(lines[0].endsWith(QStringLiteral(
            ",problem,bs_fitted,bse_dry10,bse_dry100,bse_wet10,bse_wet100,low_dry10,high_dry10,"
            "low_dry100,high_dry100,low_wet10,high_wet10,low_wet100,high_wet100,records,alpha,"
            "target")));
        const QStringList header = lines[0].split(QLatin1Char(','));
        const QJsonArray models = QJsonDocument::fromJson(json.out.toUtf8())
                                      .array()[0]
                                      .toObject()[QStringLiteral("distributions")]
                                      .toArray();
        int withFigures = 0;
        for (int i = 0; i < 11; ++i) {
            const QStringList row = lines[i + 1].split(QLatin1Char(','));
            QCOMPARE(row.size(), header.size());
            const auto column = [&](const char* name) {
                return row[header.indexOf(QLatin1String(name))];
            };
            const QJsonObject model = models[i].toObject();
            const QJsonObject bootstrap = model[QStringLiteral("bootstrap")].toObject();
            QCOMPARE(bootstrap[QStringLiteral("replicates")].toInt(), 200);
            QCOMPARE(bootstrap[QStringLiteral("kind")].toString(),
                     options.contains(QStringLiteral("--parametric")) ? "parametric" : "resample");
            QCOMPARE(column("bs_fitted").toInt(), bootstrap[QStringLiteral("fitted")].toInt());
            const QJsonObject wet100 = model[QStringLiteral("periods")].toArray()[8].toObject();
            if (!bootstrap[QStringLiteral("problem")].isNull()) {
                QCOMPARE(column("bse_wet100"), QString());
                QVERIFY(wet100[QStringLiteral("wet_bootstrap_error")].isNull());
                continue;
            }
            ++withFigures;
            QCOMPARE(column("bse_wet100").toDouble(),
                     wet100[QStringLiteral("wet_bootstrap_error")].toDouble());
            QCOMPARE(column("low_wet100").toDouble(), wet100[low].toDouble());
            // The interval holds the fitted value and is wider for the rarer year.
            const double value = wet100[QStringLiteral("wet")].toDouble();
            QVERIFY(column("low_wet100").toDouble() < value);
            QVERIFY(column("high_wet100").toDouble() > value);
            QVERIFY(column("high_wet100").toDouble() - column("low_wet100").toDouble() >
                    column("high_wet10").toDouble() - column("low_wet10").toDouble());
        }
        QVERIFY(withFigures >= 8);
    }

    void manualPageNamesEveryOption() {
        const QStringList tags = ManualOptionTags();
        QStringList declared;
        for (const CommandLineOption& option : CommandLineOptions())
            declared << QStringLiteral("--") + QLatin1String(option.name) +
                            (option.valueName ? QLatin1String(option.valueName) : QLatin1String());
        for (const QString& option : declared)
            QVERIFY2(tags.contains(option),
                     qPrintable(option + QStringLiteral(" not in the manual page")));
        for (const QString& tag : tags)
            QVERIFY2(declared.contains(tag), qPrintable(tag + QStringLiteral(" is no option")));
    }

    // Every usage message is Japanese, names what is wrong and speaks to a shell user.
    void usageMessagesSayWhatIsWrong_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("says");
        const QString file = kSamples + QStringLiteral("precip_30y.csv");
        const QString missing = QDir::tempPath() + QStringLiteral("/quorvel-no-such-folder");
        QTest::newRow("--pdf without a value")
            << QStringList{QStringLiteral("--pdf")}
            << QStringList{QStringLiteral("--pdf の後に値がありません。")};
        QTest::newRow("a switch with a value")
            << QStringList{QStringLiteral("--results=3"), file}
            << QStringList{QStringLiteral("--results には値を付けられません。")};
        QTest::newRow("missing folder, one file")
            << QStringList{QStringLiteral("--pdf"), missing + QLatin1Char('/'), file}
            << QStringList{QStringLiteral("フォルダ「%1/」がありません").arg(missing)};
        QTest::newRow("missing folder, several files")
            << QStringList{QStringLiteral("--pdf"), missing, file, file}
            << QStringList{QStringLiteral("フォルダ「%1」がありません").arg(missing)};
        QTest::newRow("missing folder of a page")
            << QStringList{QStringLiteral("--pdf"), missing + QStringLiteral("/x.pdf"), file}
            << QStringList{QStringLiteral("フォルダ「%1」がありません").arg(missing)};
        QTest::newRow("alpha above every bound")
            << QStringList{QStringLiteral("--results"), QStringLiteral("--alpha"),
                           QStringLiteral("0.999"), file}
            << QStringList{AlphaTooLargeText(0.999, 2)};
        QTest::newRow("bootstrap of 0")
            << QStringList{QStringLiteral("--results"), QStringLiteral("--distributions"),
                           QStringLiteral("--bootstrap"), QStringLiteral("0"), file}
            << QStringList{QStringLiteral("--bootstrap は 100 から 100000 の整数")};
        QTest::newRow("level of 1") << QStringList{QStringLiteral("--results"),
                                                   QStringLiteral("--distributions"),
                                                   QStringLiteral("--bootstrap"),
                                                   QStringLiteral("100"),
                                                   QStringLiteral("--level"),
                                                   QStringLiteral("1"),
                                                   file}
                                    << QStringList{QStringLiteral("--level は 0.5 から 0.99")};
        QTest::newRow("negative seed")
            << QStringList{QStringLiteral("--results"),   QStringLiteral("--distributions"),
                           QStringLiteral("--bootstrap"), QStringLiteral("100"),
                           QStringLiteral("--seed=-1"),   file}
            << QStringList{QStringLiteral("--seed は 0 から")};
        QTest::newRow("interval of another kind")
            << QStringList{QStringLiteral("--results"),
                           QStringLiteral("--distributions"),
                           QStringLiteral("--bootstrap"),
                           QStringLiteral("100"),
                           QStringLiteral("--interval"),
                           QStringLiteral("normal"),
                           file}
            << QStringList{QStringLiteral("percentile か bca")};
        QTest::newRow("seed without bootstrap")
            << QStringList{QStringLiteral("--results"), QStringLiteral("--distributions"),
                           QStringLiteral("--seed"), QStringLiteral("5"), file}
            << QStringList{QStringLiteral("--seed は --bootstrap と一緒に")};
        QTest::newRow("select by a bootstrap not run")
            << QStringList{QStringLiteral("--results"), QStringLiteral("--distributions"),
                           QStringLiteral("--select-by"), QStringLiteral("bootstrap"), file}
            << QStringList{QStringLiteral("--select-by bootstrap は --bootstrap と一緒に")};
        QTest::newRow("offset of 300 mm")
            << QStringList{QStringLiteral("--pdf"), QDir::tempPath() + QStringLiteral("/x.pdf"),
                           QStringLiteral("--offset"), QStringLiteral("300,0"), file}
            << QStringList{QStringLiteral("はみ出します"), QStringLiteral("-40～20 mm")};
    }
    void usageMessagesSayWhatIsWrong() {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, says);
        const Run run = Quorvel(arguments);
        QCOMPARE(run.status, 2);
        const QString first = run.err.section(QLatin1Char('\n'), 0, 0);
        for (const QString& part : says)
            QVERIFY2(first.contains(part), qPrintable(first));
        for (const char* word : {"Missing", "Unexpected", "value", "再計算", ".pdf で終わる"})
            QVERIFY2(!first.contains(QString::fromUtf8(word)), qPrintable(first));
        QVERIFY(!QFileInfo::exists(QDir::tempPath() + QStringLiteral("/x.pdf")));
    }

    // The same words for an alpha too large for a file, whether the command line or the
    // analysis finds it.
    void alphaTooLargeReadsTheSame() {
        const Run run =
            Quorvel({QStringLiteral("--results"), QStringLiteral("--alpha"), QStringLiteral("0.95"),
                     kSamples + QStringLiteral("precip_30y.csv")});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(AlphaTooLargeText(0.95, 30)), qPrintable(run.err));
    }

    void warningsLeaveTheExitStatus_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QStringList>("warns");
        QTest::addColumn<QString>("pageHas");
        QTest::newRow("a fixed scale leaves every point out")
            << QStringList{QStringLiteral("--scale"), QStringLiteral("10:1000")} << QByteArray()
            << QStringList{QStringLiteral("注意："),
                           QStringLiteral("横軸 10～1000 の外にデータが 30 個あります。")}
            << QString();
        QTest::newRow("the default scale fits the data")
            << QStringList{} << QByteArray() << QStringList{} << QStringLiteral("10000");
        QTest::newRow("repeated and missing years")
            << QStringList{} << QByteArray("1996,1500\n1996,1600\n1998,1700\n2001,1800\n")
            << QStringList{QStringLiteral("注意："),
                           QStringLiteral("同じ年が 2 回以上あります：1996。"
                                          "抜けている年があります：1997、1999～2000。")}
            << QString();
    }
    void warningsLeaveTheExitStatus() {
        QFETCH(QStringList, options);
        QFETCH(QByteArray, data);
        QFETCH(QStringList, warns);
        QFETCH(QString, pageHas);
        QTemporaryDir dir;
        const QString file = data.isEmpty() ? kSamples + QStringLiteral("precip_30y.csv")
                                            : WriteFile(dir, QStringLiteral("years.csv"), data);
        const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
        const Run run =
            Quorvel(QStringList{QStringLiteral("--pdf"), pdf, QStringLiteral("--results")} +
                    options + QStringList{file});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out.count(QLatin1Char('\n')), 2);
        const QStringList lines = run.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), warns.isEmpty() ? 0 : 1);
        for (const QString& part : warns)
            QVERIFY2(lines[0].contains(part) &&
                         lines[0].startsWith(QStringLiteral("quorvel: ") + file),
                     qPrintable(lines[0]));
        QVERIFY(QFileInfo::exists(pdf));
        if (!pageHas.isEmpty())
            QVERIFY(PdfText(pdf).contains(pageHas));
    }

    // --curves puts the compared curves on the page, named in its legend, the selected one
    // marked; a model the series cannot take is told and left off, the page still made.
    void curvesOnThePage_data() {
        QTest::addColumn<QString>("curves");
        QTest::addColumn<QStringList>("legend");
        QTest::addColumn<QStringList>("absent");
        QTest::addColumn<QString>("warns");
        // LP3 is the one the 30 years select.
        const QString lp3 = ModelName(ModelId::Lp3);
        const QString gumbel = ModelName(ModelId::Gumbel);
        const QString gev = ModelName(ModelId::Gev);
        QTest::newRow("selected") << "selected" << QStringList{lp3 + QStringLiteral(" ◎")}
                                  << QStringList{gumbel, gev} << QString();
        QTest::newRow("two others") << "gumbel,gev" << QStringList{gumbel, gev}
                                    << QStringList{lp3, QStringLiteral("◎")} << QString();
        QTest::newRow("with the selected")
            << "gev,lp3" << QStringList{gev, lp3 + QStringLiteral(" ◎")} << QStringList{gumbel}
            << QString();
        QTest::newRow("one the series cannot take")
            << "ln3_q,gumbel" << QStringList{gumbel} << QStringList{ModelName(ModelId::Ln3Q)}
            << ModelName(ModelId::Ln3Q) + QStringLiteral("はこの系列に当てはめられないため");
    }
    void curvesOnThePage() {
        QFETCH(QString, curves);
        QFETCH(QStringList, legend);
        QFETCH(QStringList, absent);
        QFETCH(QString, warns);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("page.pdf"));
        const Run run = Quorvel({QStringLiteral("--pdf"), pdf, QStringLiteral("--curves"), curves,
                                 kSamples + QStringLiteral("precip_30y.csv")});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err.contains(QStringLiteral("注意：")), !warns.isEmpty());
        QVERIFY2(run.err.contains(warns), qPrintable(run.err));
        const QString page = PdfText(pdf);
        for (const QString& name : legend)
            QVERIFY2(page.contains(name), qPrintable(name));
        for (const QString& name : absent)
            QVERIFY2(!page.contains(name), qPrintable(name));
    }

    // An output that is an input once links are followed is refused before anything is
    // written, in file and in folder mode; the input keeps its bytes.
    void outputLinkedToInputRefused_data() {
        QTest::addColumn<QString>("out");  // --pdf's argument, in the temporary folder
        QTest::addColumn<QString>("link"); // the link made there, "" for none
        QTest::addColumn<QString>("target");
        QTest::newRow("file linked to the input") << "out.pdf"
                                                  << "out.pdf"
                                                  << "r2.csv";
        QTest::newRow("page in the folder linked to the input") << "pages"
                                                                << "pages/r2.pdf"
                                                                << "../r2.csv";
        QTest::newRow("page linked to the other input") << "pages"
                                                        << "pages/r1.pdf"
                                                        << "../r2.csv";
        QTest::newRow("file linked to a linked input") << "out.pdf"
                                                       << "out.pdf"
                                                       << "r1.csv";
    }
    void outputLinkedToInputRefused() {
        QFETCH(QString, out);
        QFETCH(QString, link);
        QFETCH(QString, target);
        QTemporaryDir dir;
        const QByteArray data = ReadBytes(kSamples + QStringLiteral("precip_30y.csv"));
        WriteFile(dir, QStringLiteral("r2.csv"), data);
        QVERIFY(QFile::link(QStringLiteral("r2.csv"), dir.filePath(QStringLiteral("r1.csv"))));
        QDir(dir.path()).mkdir(QStringLiteral("pages"));
        QVERIFY(QFile::link(target, dir.filePath(link)));
        QStringList files{dir.filePath(QStringLiteral("r2.csv"))};
        if (out == QStringLiteral("pages"))
            files.prepend(dir.filePath(QStringLiteral("r1.csv")));
        const Run run = Quorvel(QStringList{QStringLiteral("--pdf"), dir.filePath(out)} + files);
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains(QStringLiteral("読み込んだファイル")), qPrintable(run.err));
        QCOMPARE(ReadBytes(dir.filePath(QStringLiteral("r2.csv"))), data);
        QCOMPARE(
            QDir(dir.filePath(QStringLiteral("pages"))).entryList(QDir::Files | QDir::NoSymLinks),
            QStringList());
    }

    // Where the page goes when OUT is a link to nothing, a read-only file or a loop; root
    // is refused the read-only file as anyone else.
    void awkwardOutputs_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("link to nothing") << "dangling" << 0 << "";
        QTest::newRow("read-only file") << "0444" << 1 << "読み取り専用のファイルです。";
        // Found with the other checks of OUT, before any file is read.
        QTest::newRow("loop of links") << "loop" << 2 << "循環";
    }
    void awkwardOutputs() {
        QFETCH(QString, kind);
        QFETCH(int, status);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("out.pdf"));
        if (kind == QStringLiteral("dangling")) {
            QVERIFY(QFile::link(QStringLiteral("made.pdf"), out));
        } else if (kind == QStringLiteral("loop")) {
            QVERIFY(QFile::link(QStringLiteral("out.pdf"), out));
        } else {
            WriteFile(dir, QStringLiteral("out.pdf"), "old page");
            QVERIFY(
                QFile::setPermissions(out, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        }
        const Run run =
            Quorvel({QStringLiteral("--pdf"), out, kSamples + QStringLiteral("precip_30y.csv")});
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        if (kind == QStringLiteral("dangling")) {
            QVERIFY(QFileInfo(out).isSymLink());
            QVERIFY(ReadBytes(dir.filePath(QStringLiteral("made.pdf"))).startsWith("%PDF-"));
        } else if (kind == QStringLiteral("0444")) {
            QCOMPARE(ReadBytes(out), QByteArray("old page"));
        }
        QCOMPARE(QDir(dir.path())
                     .entryList(QDir::Hidden | QDir::Files)
                     .filter(QStringLiteral("quorvel-")),
                 QStringList());
    }

    void shiftJisFileName_data() {
        QTest::addColumn<QByteArray>("data"); // empty: the 30-year sample
        QTest::newRow("read") << QByteArray();
        // Refused by the analysis: the message names the file as the line's heading does.
        QTest::newRow("a value of 0") << QByteArray("2000,5\n2001,0\n");
    }
    // A data file whose name is Shift-JIS bytes opens, and its page takes the same bytes; a
    // refusal shows the name readable, once.
    void shiftJisFileName() {
        QFETCH(QByteArray, data);
        QTemporaryDir dir;
        const QByteArray folder = QFile::encodeName(dir.path());
        const QByteArray name = folder + "/\x89\x4A.csv"; // 雨.csv
        if (data.isEmpty())
            data = ReadBytes(kSamples + QStringLiteral("precip_30y.csv"));
        const int fd = open(name.constData(), O_WRONLY | O_CREAT, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(write(fd, data.constData(), size_t(data.size())), ssize_t(data.size()));
        close(fd);
        // QProcess would pass the arguments as UTF-8; the shell passes the bytes.
        QProcess process;
        process.setWorkingDirectory(QStringLiteral(QUORVEL_BIN_DIR));
        process.start(QStringLiteral("/bin/sh"),
                      {QStringLiteral("-c"),
                       QStringLiteral("\"$0\" --results --pdf \"$1\" \"$1/$(printf "
                                      "'\\211J.csv')\""),
                       QStringLiteral(QUORVEL_BIN_DIR "/quorvel"), dir.path()});
        QVERIFY(process.waitForFinished(30000));
        const QString err = QString::fromUtf8(process.readAllStandardError());
        const QByteArray page = folder + "/\x89\x4A.pdf";
        struct stat info {};
        const bool paged = stat(page.constData(), &info) == 0;
        // Qt's own classes cannot remove them.
        unlink(page.constData());
        unlink(name.constData());
        if (QTest::currentDataTag() == QLatin1String("a value of 0")) {
            QCOMPARE(process.exitCode(), 1);
            QCOMPARE(err.count(QStringLiteral("雨.csv")), 1);
            QVERIFY2(!err.contains(QChar(0xFFFD)), qPrintable(err));
            QVERIFY(!paged);
            return;
        }
        QCOMPARE(process.exitCode(), 0);
        QVERIFY2(err.isEmpty(), qPrintable(err));
        const QString out = QString::fromUtf8(process.readAllStandardOutput());
        QVERIFY2(out.contains(QStringLiteral("雨.csv")), qPrintable(out));
        QVERIFY(paged && info.st_size > 1000);
    }

    // One object a line as each file is done: a run stopped half-way has printed whole
    // objects, and a finished run is one valid JSON array.
    void jsonStreams() {
        QTemporaryDir dir;
        const QString bad = WriteFile(dir, QStringLiteral("bad.csv"), "2000,5\n2001,x\n");
        const QString good = kSamples + QStringLiteral("precip_30y.csv");
        const Run run =
            Quorvel({QStringLiteral("--results"), QStringLiteral("--json"), good, bad, good});
        QCOMPARE(run.status, 1);
        QJsonParseError error;
        const QJsonArray all = QJsonDocument::fromJson(run.out.toUtf8(), &error).array();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(all.size(), 2);
        const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines.first(), QStringLiteral("["));
        QCOMPARE(lines.last(), QStringLiteral("]"));
        for (int i = 1; i <= 2; ++i) {
            QString line = lines[i];
            if (line.endsWith(QLatin1Char(',')))
                line.chop(1);
            QVERIFY(QJsonDocument::fromJson(line.toUtf8()).isObject());
        }
        const Run none = Quorvel({QStringLiteral("--results"), QStringLiteral("--json"), bad});
        QCOMPARE(QJsonDocument::fromJson(none.out.toUtf8()).array().size(), 0);
        QVERIFY(QJsonDocument::fromJson(none.out.toUtf8()).isArray());

        // Stopped after its first object, a long run has printed it whole.
        QProcess process;
        process.setWorkingDirectory(QStringLiteral(QUORVEL_BIN_DIR));
        process.start(QStringLiteral(QUORVEL_BIN_DIR "/quorvel"),
                      QStringList{QStringLiteral("--results"), QStringLiteral("--json")} +
                          QStringList(2000, good));
        QByteArray seen;
        while (seen.count('\n') < 2 && process.waitForReadyRead(30000))
            seen += process.readAllStandardOutput();
        process.kill();
        process.waitForFinished(30000);
        const QList<QByteArray> printed = seen.split('\n');
        QVERIFY(printed.size() >= 3);
        QCOMPARE(printed[0], QByteArray("["));
        QVERIFY(QJsonDocument::fromJson(printed[1].chopped(printed[1].endsWith(',') ? 1 : 0))
                    .isObject());
    }

    void alphaTooLargeForAFileFailsThatFile() {
        QTemporaryDir dir;
        QByteArray many;
        for (int year = 1800; year < 2057; ++year)
            many += QByteArray::number(year) + ",100" + QByteArray::number(year % 7) + "\n";
        const QString big = WriteFile(dir, QStringLiteral("big.csv"), many);
        const Run run =
            Quorvel({QStringLiteral("--results"), QStringLiteral("--alpha"), QStringLiteral("0.5"),
                     big, kSamples + QStringLiteral("precip_30y.csv")});
        QCOMPARE(run.status, 1);
        QVERIFY(run.err.contains(big));
        QCOMPARE(run.out.count(QLatin1Char('\n')), 2);
    }

    // The maxima of the synthetic hourly sample, worked out from its rows: 2019's largest three
    // hours end at 17:00 on 10 May (36 mm), its largest day at 3:00 on 11 May (88.9 mm).
    void hourlyDurationTable() {
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

        // The table read back: each duration's row, the duration last. Both years' 24-hour
        // maxima are 88.9: that column has no spread, is told with its duration, and the
        // other durations are still reported.
        run = Quorvel({"--results", csv});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(QStringLiteral("継続時間 24h：")), qPrintable(run.err));
        QVERIFY(run.err.contains(QStringLiteral("値のばらつきがない")));
        const QStringList rows = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(rows.size(), 3);
        QVERIFY(rows[0].endsWith(QStringLiteral(",duration")));
        QVERIFY(rows[1].endsWith(QStringLiteral(",1h")));
        QVERIFY(rows[2].endsWith(QStringLiteral(",3h")));
        run = Quorvel({"--results", "--distributions", csv});
        QCOMPARE(run.status, 1);
        QCOMPARE(run.out.count(QStringLiteral(",3h\n")), 11);
        // A plain series keeps its columns as they were.
        run = Quorvel({"--results", kSamples + QStringLiteral("precip_30y.csv")});
        QVERIFY(!run.out.contains(QStringLiteral("duration")));
    }

    void durationRefusals_data() {
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
    void durationRefusals() {
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

    // The intensity figures of a table of seven durations: five rows a period, one best, the
    // characteristic formula through 10 and 60 minutes, the JSON's durations with every period.
    void intensityRowsAndJson() {
        QTemporaryDir dir;
        const QString table = WriteFile(dir, QStringLiteral("table.csv"), IntensityTable());
        Run run = Quorvel({"--intensity", table});
        QCOMPARE(run.status, 0);
        QStringList rows = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(rows.takeFirst(),
                 QStringLiteral("T,formula,a,b,n,rmse,max_rel_error,best,problem"));
        QCOMPARE(rows.size(), 12 * 5);
        const QStringList formulas{"talbot", "kuno_ishiguro", "sherman", "cleveland",
                                   "characteristic"};
        for (qsizetype r = 0; r < rows.size(); r += 5) {
            int best = 0;
            for (qsizetype f = 0; f < 5; ++f) {
                const QStringList fields = rows[r + f].split(QLatin1Char(','));
                QCOMPARE(fields.size(), 9);
                QCOMPARE(fields[1], formulas[f]);
                best += fields[7].toInt();
                QVERIFY2(!rows[r + f].contains(QStringLiteral("nan")) &&
                             !rows[r + f].contains(QStringLiteral("inf")),
                         qPrintable(rows[r + f]));
            }
            QCOMPARE(best, 1);
            // Sherman has no b, Talbot no n; the characteristic formula applies.
            QCOMPARE(rows[r + 2].split(QLatin1Char(','))[3], QString());
            QCOMPARE(rows[r].split(QLatin1Char(','))[4], QString());
            QCOMPARE(rows[r + 4].split(QLatin1Char(','))[8], QString());
        }
        run = Quorvel({"--intensity", "--json", table});
        QCOMPARE(run.status, 0);
        const QJsonObject object = QJsonDocument::fromJson(run.outBytes).object();
        const QJsonArray durations = object[QStringLiteral("durations")].toArray();
        QCOMPARE(durations.size(), 7);
        QCOMPARE(durations[3][QStringLiteral("minutes")].toInt(), 60);
        QCOMPARE(durations[3][QStringLiteral("duration")].toString(), QStringLiteral("1h"));
        for (const QJsonValue& d : durations) {
            const QJsonArray periods = d[QStringLiteral("periods")].toArray();
            QCOMPARE(periods.size(), 12);
            QCOMPARE(periods[3][QStringLiteral("T")].toInt(), 7);
            for (const QJsonValue& p : periods)
                QCOMPARE(p[QStringLiteral("upper")].toDouble(),
                         p[QStringLiteral("depth")].toDouble() +
                             p[QStringLiteral("error")].toDouble());
            QCOMPARE(periods[0][QStringLiteral("intensity")].toDouble(),
                     periods[0][QStringLiteral("depth")].toDouble() * 60 /
                         d[QStringLiteral("minutes")].toInt());
        }
        const QJsonArray fits = object[QStringLiteral("formulas")].toArray();
        QCOMPARE(fits.size(), 60);
        // The CSV's figures are the JSON's, in their shortest exact form.
        const QStringList talbot2 = rows[0].split(QLatin1Char(','));
        QCOMPARE(ShortestReal(fits[0][QStringLiteral("a")].toDouble()), talbot2[2]);
        QVERIFY(fits[2][QStringLiteral("b")].isNull());
        // Another choice of durations and one model for all change the constants.
        run = Quorvel(
            {"--intensity", "--fit-durations", "10min,30min,1h", "--model", "gumbel", table});
        QCOMPARE(run.status, 0);
        QVERIFY(run.out.split(QLatin1Char('\n'))[1] != rows[0]);
        run = Quorvel({"--intensity", "--json", "--model", "gumbel", table});
        for (const QJsonValue& d :
             QJsonDocument::fromJson(run.outBytes).object()[QStringLiteral("durations")].toArray())
            QCOMPARE(d[QStringLiteral("model")].toString(), QStringLiteral("gumbel"));
    }

    void intensityRefusals_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("status");
        const QString hourly = kSamples + QStringLiteral("agency_hourly_synthetic.csv");
        QTest::newRow("unknown model") << QStringList{"--intensity", "--model", "weibull", "TABLE"}
                                       << "--model は ln2_paper ln2_pm" << 2;
        QTest::newRow("two fit durations")
            << QStringList{"--intensity", "--fit-durations", "1h,2h", "TABLE"}
            << "--fit-durations には 3 つ以上の継続時間を指定してください（「1h,2h」）。" << 2;
        QTest::newRow("fit duration twice")
            << QStringList{"--intensity", "--fit-durations", "1h,60min,2h", "TABLE"}
            << "--fit-durations の 60min が重なっています。" << 2;
        QTest::newRow("fit duration not in the table")
            << QStringList{"--intensity", "--fit-durations", "10min,1h,3h", "TABLE"}
            << "--fit-durations の 3h は継続時間の表にありません（表の継続時間：10min,20min,"
               "30min,1h,2h,24h,48h）。"
            << 1;
        QTest::newRow("with a page")
            << QStringList{"--intensity", "--pdf", "x.pdf", "TABLE"}
            << "--intensity は --pdf や --results と一緒には指定できません。" << 2;
        QTest::newRow("two tables") << QStringList{"--intensity", "TABLE", "TABLE"}
                                    << "--intensity で扱える継続時間の表は一つだけです。" << 2;
        QTest::newRow("a plain series")
            << QStringList{"--intensity", kSamples + QStringLiteral("precip_30y.csv")}
            << "継続時間の表（year,10min,1h,… の見出しの CSV）ではありません。" << 1;
        QTest::newRow("import without durations")
            << QStringList{"--intensity", "--import", hourly}
            << "--intensity と --import には --durations も指定してください" << 2;
        QTest::newRow("two years of hours")
            << QStringList{"--intensity", "--import", hourly, "--durations", "1h,2h,3h"}
            << "どの継続時間にも確率雨量がありません。" << 1;
        QTest::newRow("two durations up to a day")
            << QStringList{"--intensity", "--import", hourly, "--durations", "1h,24h,48h"}
            << "降雨強度式には 3 つ以上の継続時間が必要ですが、当てはめる継続時間は 2 つです"
               "（1h、24h）。"
            << 1;
        QTest::newRow("means of water")
            << QStringList{"--intensity", "--import",    hourly, "--durations",
                           "1h,2h,3h",    "--aggregate", "max"}
            << "確率降雨強度式は雨量の継続時間の合計" << 1;
    }
    void intensityRefusals() {
        QFETCH(QStringList, arguments);
        QTemporaryDir dir;
        const QString table = WriteFile(dir, QStringLiteral("table.csv"), IntensityTable());
        arguments.replaceInStrings(QStringLiteral("TABLE"), table);
        const Run run = Quorvel(arguments);
        QTEST(run.status, "status");
        QFETCH(QString, message);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QCOMPARE(run.out, QString());
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
