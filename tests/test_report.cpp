#include "cliprocess.h"
#include "formats/datafile.h"
#include "platform/widgets.h"
#include "report/report.h"
#include "state/loading.h"
#include "states.h"
#include "testhelpers.h"

#include <QDate>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kSamples = QStringLiteral(QUORVEL_SOURCE_DIR "/data/samples/");

const QStringList kHeadings = {
    QStringLiteral("1. 概要"),           QStringLiteral("2. データの検定"),
    QStringLiteral("3. 確率分布の比較"), QStringLiteral("4. 確率値"),
    QStringLiteral("5. 確率紙"),         QStringLiteral("6. データ")};

// "nan", "inf" or "-inf" as a word of its own ("Cunnane" is a name).
const QRegularExpression kNotANumber(QStringLiteral("\\b(nan|inf|infinity)\\b"),
                                     QRegularExpression::CaseInsensitiveOption);

int PageCount(const QString& pdf) {
    static const QRegularExpression pages(QStringLiteral("Pages:\\s+(\\d+)"));
    return pages.match(ToolOutput(QStringLiteral("pdfinfo"), {pdf})).captured(1).toInt();
}

// The rows of pdffonts below its two heading lines.
QStringList FontRows(const QString& pdf) {
    return ToolOutput(QStringLiteral("pdffonts"), {pdf})
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
        .mid(2);
}

// The 100-year sample loaded as the window loads it.
AppState SampleState() {
    const SeriesData series = ReadDataFile(kSamples + QStringLiteral("precip_100y.csv"));
    AppState state = FirstLoadState(series);
    LoadSeries(state, series);
    return state;
}

QJsonObject ResultsOf(const QStringList& arguments) {
    const Run run =
        Quorvel(QStringList{QStringLiteral("--results"), QStringLiteral("--distributions"),
                            QStringLiteral("--json")} +
                arguments);
    return QJsonDocument::fromJson(run.out.toUtf8()).array().at(0).toObject();
}

bool HasPdfTools() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdffonts")).isEmpty();
}

QByteArray Records(int count, double first = 1200, double step = 37.5) {
    QByteArray text;
    for (int i = 0; i < count; ++i)
        text += QByteArray::number(2000 + i) + ',' +
                QByteArray::number(first + std::fmod(i * step * 7, 900), 'f', 1) + '\n';
    return text;
}

} // namespace

class TestReport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallFontSubstitutions(); }

    void reportCarriesTheStudy_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("side");
        QTest::addColumn<bool>("wet");
        QTest::addColumn<bool>("bootstrap");
        const QString sample100 = kSamples + QStringLiteral("precip_100y.csv");
        QTest::newRow("100 years")
            << QStringList{sample100} << QStringLiteral("豊水年（大きい側）") << true << false;
        QTest::newRow("100 years, bootstrap")
            << QStringList{QStringLiteral("--bootstrap"), QStringLiteral("200"), sample100}
            << QStringLiteral("豊水年（大きい側）") << true << true;
        QTest::newRow("30 years, Cunnane, by the dry year")
            << QStringList{QStringLiteral("--alpha"), QStringLiteral("0.4"),
                           QStringLiteral("--target"), QStringLiteral("dry100"),
                           kSamples + QStringLiteral("precip_30y.csv")}
            << QStringLiteral("渇水年（小さい側）") << false << false;
        QTest::newRow("imported two-day maxima")
            << QStringList{QStringLiteral("--import"),
                           kSamples + QStringLiteral("agency_daily_synthetic.csv"),
                           QStringLiteral("--days"), QStringLiteral("2")}
            << QStringLiteral("超過側（年最大値の確率値）") << true << false;
    }
    void reportCarriesTheStudy() {
        if (!HasPdfTools())
            QSKIP("the PDF tools are not installed");
        QFETCH(QStringList, arguments);
        QFETCH(QString, side);
        QFETCH(bool, wet);
        QFETCH(bool, bootstrap);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("study.pdf"));
        const Run run = Quorvel(QStringList{QStringLiteral("--report"), pdf} + arguments);
        QVERIFY2(run.status == 0, qPrintable(run.err));
        const QString text = PdfText(pdf);
        for (const QString& heading : kHeadings)
            QVERIFY2(text.contains(heading), qPrintable(heading));
        QVERIFY2(text.contains(side), qPrintable(side));

        // The selected model and its 1/100 value as the JSON has them, at the report's precision.
        const QJsonObject results = ResultsOf(arguments);
        const QString selected =
            results[QStringLiteral("selection")].toObject()[QStringLiteral("selected")].toString();
        QVERIFY(!selected.isEmpty());
        QJsonObject model;
        for (const QJsonValue& m : results[QStringLiteral("distributions")].toArray())
            if (m.toObject()[QStringLiteral("id")].toString() == selected)
                model = m.toObject();
        const QString name = model[QStringLiteral("name")].toString();
        QVERIFY2(text.contains(name), qPrintable(name));
        double value = NAN;
        for (const QJsonValue& p : model[QStringLiteral("periods")].toArray())
            if (p.toObject()[QStringLiteral("T")].toInt() == 100)
                value =
                    p.toObject()[wet ? QStringLiteral("wet") : QStringLiteral("dry")].toDouble();
        const QString shown = QString::number(value, 'f', 1);
        QVERIFY2(text.contains(QStringLiteral("\n100\n")) && text.contains(shown),
                 qPrintable(shown));

        QCOMPARE(text.contains(QStringLiteral("ブートストラップ誤差")), bootstrap);
        QVERIFY2(!text.contains(kNotANumber), qPrintable(kNotANumber.match(text).captured()));

        // Every page numbered out of the count the file has, each with the header line.
        const int pages = PageCount(pdf);
        QVERIFY2(pages >= kHeadings.size(), qPrintable(QString::number(pages)));
        for (int page = 1; page <= pages; ++page)
            QVERIFY2(text.contains(QStringLiteral("%1 / %2").arg(page).arg(pages)),
                     qPrintable(QString::number(page)));
        QCOMPARE(text.count(QStringLiteral("作成 ")), pages);

        // Every face embedded, and the text is the program's IPA faces, so it can be selected.
        const QStringList fonts = FontRows(pdf);
        QVERIFY(!fonts.isEmpty());
        for (const QString& row : fonts) {
            QVERIFY2(row.startsWith(QStringLiteral("IPA")), qPrintable(row));
            QVERIFY2(row.split(QLatin1Char(' '), Qt::SkipEmptyParts).value(4) ==
                         QStringLiteral("yes"),
                     qPrintable(row));
        }
    }

    // A series the report cannot fully serve still has every page, each saying what is missing.
    void shortSeriesSayWhatIsMissing_data() {
        QTest::addColumn<int>("records");
        QTest::addColumn<QStringList>("said");
        QTest::newRow("two records")
            << 2
            << QStringList{QStringLiteral("傾向と変化点の検定には 10 件以上"),
                           QStringLiteral("確率値の表はありません"), QStringLiteral("小さな標本")};
        QTest::newRow("nine records")
            << 9
            << QStringList{QStringLiteral("傾向と変化点の検定には 10 件以上"),
                           QStringLiteral("外挿")};
        QTest::newRow("twelve records")
            << 12 << QStringList{QStringLiteral("Mann–Kendall"), QStringLiteral("Pettitt")};
    }
    void shortSeriesSayWhatIsMissing() {
        if (!HasPdfTools())
            QSKIP("the PDF tools are not installed");
        QFETCH(int, records);
        QFETCH(QStringList, said);
        QTemporaryDir dir;
        const QString data = WriteFile(dir, QStringLiteral("short.csv"), Records(records));
        const QString pdf = dir.filePath(QStringLiteral("short.pdf"));
        const Run run = Quorvel({QStringLiteral("--report"), pdf, data});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        const QString text = PdfText(pdf);
        for (const QString& heading : kHeadings)
            QVERIFY2(text.contains(heading), qPrintable(heading));
        // Sentences may wrap at the page's edge.
        const QString flat = QString(text).remove(QLatin1Char('\n'));
        for (const QString& words : said)
            QVERIFY2(flat.contains(words), qPrintable(words));
        QVERIFY2(!text.contains(kNotANumber), qPrintable(kNotANumber.match(text).captured()));
    }

    // What an import built, and from which file, is on the summary and the data pages.
    void importedSeriesTellTheirOrigin_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("said");
        QTest::newRow("two-day maxima of daily values")
            << QStringList{QStringLiteral("--import"),
                           kSamples + QStringLiteral("agency_daily_synthetic.csv"),
                           QStringLiteral("--days"), QStringLiteral("2")}
            << QStringList{QStringLiteral("agency_daily_synthetic.csv"),
                           QStringLiteral("年最大 2 日合計"), QStringLiteral("除いた年"),
                           QStringLiteral("2009 年：")};
        QTest::newRow("three-hour maxima of hourly values")
            << QStringList{QStringLiteral("--import"),
                           kSamples + QStringLiteral("agency_hourly_synthetic.csv"),
                           QStringLiteral("--durations"), QStringLiteral("3h")}
            << QStringList{QStringLiteral("観測所"), QStringLiteral("サンプル観測所"),
                           QStringLiteral("年最大 3 時間合計"), QStringLiteral("最大になった時"),
                           QStringLiteral("2019-05-10 17:00")};
    }
    void importedSeriesTellTheirOrigin() {
        if (!HasPdfTools())
            QSKIP("the PDF tools are not installed");
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, said);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("imported.pdf"));
        const Run run = Quorvel(QStringList{QStringLiteral("--report"), pdf} + arguments);
        QVERIFY2(run.status == 0, qPrintable(run.err));
        const QString flat = PdfText(pdf).remove(QLatin1Char('\n'));
        for (const QString& words : said)
            QVERIFY2(flat.contains(words), qPrintable(words));
    }

    // Refused before anything is written: what was in the folder is all there is after.
    void refusedTargets_data() {
        QTest::addColumn<QString>("form");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("input as target")
            << QStringLiteral("input") << 1 << QStringLiteral("読み込んだファイルそのもの");
        QTest::newRow("missing folder for one file")
            << QStringLiteral("missing/one.pdf") << 1 << QStringLiteral("がありません");
        QTest::newRow("missing folder for several")
            << QStringLiteral("missing/") << 1 << QStringLiteral("がありません");
        QTest::newRow("read-only folder")
            << QStringLiteral("locked/") << 1 << QStringLiteral("書き込めません");
        QTest::newRow("the page of the same run")
            << QStringLiteral("page") << 1 << QStringLiteral("ほかの出力と重なります");
        QTest::newRow("not a pdf name")
            << QStringLiteral("out.txt") << 2 << QStringLiteral(".pdf で終わる");
        QTest::newRow("several files into one file")
            << QStringLiteral("several.pdf") << 2 << QStringLiteral("フォルダを指定");
        QTest::newRow("seed without bootstrap")
            << QStringLiteral("seed") << 2 << QStringLiteral("--bootstrap");
    }
    void refusedTargets() {
        QFETCH(QString, form);
        QFETCH(int, status);
        QFETCH(QString, message);
        QTemporaryDir dir;
        // A data file whose name a forgotten OUT would take.
        const QString input = WriteFile(dir, QStringLiteral("rain.pdf"), Records(20));
        const QString other = WriteFile(dir, QStringLiteral("other.csv"), Records(20, 900));
        QStringList arguments{QStringLiteral("--report")};
        QStringList files{input};
        if (form == QStringLiteral("input")) {
            arguments << input;
        } else if (form == QStringLiteral("locked/")) {
            if (geteuid() == 0)
                QSKIP("permissions do not hold for root");
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("locked")));
            chmod(QFile::encodeName(dir.filePath(QStringLiteral("locked"))).constData(), 0555);
            arguments << dir.filePath(form);
            files << other;
        } else if (form == QStringLiteral("page")) {
            const QString page = dir.filePath(QStringLiteral("out.pdf"));
            arguments << page << QStringLiteral("--pdf") << page;
        } else if (form == QStringLiteral("seed")) {
            arguments << dir.filePath(QStringLiteral("seed.pdf")) << QStringLiteral("--seed")
                      << QStringLiteral("3");
        } else {
            arguments << dir.filePath(form);
            if (form.endsWith(QLatin1Char('/')) || form == QStringLiteral("several.pdf"))
                files << other;
        }
        const QStringList before =
            QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        const Run run = Quorvel(arguments + files);
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
        QCOMPARE(ReadBytes(input), Records(20));
        if (form == QStringLiteral("locked/"))
            QVERIFY(QDir(dir.filePath(QStringLiteral("locked"))).isEmpty());
    }

    void folderTakesOneReportPerFile() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("reports")));
        const QString a = WriteFile(dir, QStringLiteral("a.csv"), Records(20));
        const QString b = WriteFile(dir, QStringLiteral("b.csv"), Records(25, 800));
        const Run run =
            Quorvel({QStringLiteral("--report"), dir.filePath(QStringLiteral("reports")), a, b});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QCOMPARE(QDir(dir.filePath(QStringLiteral("reports"))).entryList(QDir::Files),
                 (QStringList{QStringLiteral("a-report.pdf"), QStringLiteral("b-report.pdf")}));
    }

    void moments_data() {
        QTest::addColumn<QList<double>>("values");
        QTest::addColumn<double>("mean");
        QTest::addColumn<double>("deviation");
        QTest::addColumn<double>("skewness");
        // Skewness by n/((n−1)(n−2)) Σ((x−m)/s)³, worked by hand.
        QTest::newRow("symmetric") << QList<double>{1, 2, 3, 4, 5} << 3.0 << std::sqrt(2.5) << 0.0;
        QTest::newRow("long right tail")
            << QList<double>{1, 2, 3, 4, 10} << 4.0 << std::sqrt(12.5)
            << 5.0 / 12 * (-27 - 8 - 1 + 0 + 216) / std::pow(std::sqrt(12.5), 3);
    }
    void moments() {
        QFETCH(QList<double>, values);
        QFETCH(double, mean);
        QFETCH(double, deviation);
        QFETCH(double, skewness);
        SeriesData series;
        for (double v : values) {
            series.years[series.recordCount] = 2000 + series.recordCount;
            series.values[series.recordCount++] = v;
        }
        const SeriesMoments m = ComputeSeriesMoments(series);
        QVERIFY(m.mean && m.deviation && m.variation && m.skewness);
        QCOMPARE(*m.mean, mean);
        QVERIFY(std::fabs(*m.deviation - deviation) < 1e-12);
        QVERIFY(std::fabs(*m.variation - deviation / mean) < 1e-12);
        QVERIFY(std::fabs(*m.skewness - skewness) < 1e-12);
    }

    void momentsOfTooFewRecords() {
        SeriesData one;
        one.recordCount = 1;
        one.values[0] = 5;
        const SeriesMoments m = ComputeSeriesMoments(one);
        QCOMPARE(m.mean.value_or(0), 5.0);
        QVERIFY(!m.deviation && !m.skewness);
        SeriesData level;
        level.recordCount = 3;
        level.values = {7, 7, 7};
        QVERIFY(!ComputeSeriesMoments(level).skewness);
    }

    void notes_data() {
        QTest::addColumn<int>("records");
        QTest::addColumn<double>("alpha");
        QTest::addColumn<QStringList>("said");
        QTest::addColumn<QStringList>("unsaid");
        const QString small = QStringLiteral("小さな標本");
        const QString alpha = QStringLiteral("Cunnane");
        const QString beyond = QStringLiteral("外挿");
        QTest::newRow("short, Hazen")
            << 20 << 0.5 << QStringList{small, alpha, beyond} << QStringList{};
        QTest::newRow("long, Cunnane")
            << 120 << 0.4 << QStringList{} << QStringList{small, alpha, beyond};
        QTest::newRow("just long enough")
            << 30 << 0.4 << QStringList{beyond} << QStringList{small, alpha};
    }
    void notes() {
        QFETCH(int, records);
        QFETCH(double, alpha);
        QFETCH(QStringList, said);
        QFETCH(QStringList, unsaid);
        QList<double> values;
        for (int i = 0; i < records; ++i)
            values << 1000 + std::fmod(i * 263.0, 800);
        const AppState state = AnalysedState(values, alpha);
        const QString notes = ReportNotes(state).join(QLatin1Char('\n'));
        for (const QString& words : said)
            QVERIFY2(notes.contains(words), qPrintable(words));
        for (const QString& words : unsaid)
            QVERIFY2(!notes.contains(words), qPrintable(words));
    }

    void headerLine_data() {
        QTest::addColumn<bool>("duration");
        QTest::addColumn<QString>("header");
        QTest::newRow("a data file") << false << "降水量　(mm)　rain.csv　　作成 2026-12-08";
        QTest::newRow("a duration of a table")
            << true << "降水量　(mm)　3 時間　rain.csv　　作成 2026-12-08";
    }
    void headerLine() {
        QFETCH(bool, duration);
        QFETCH(QString, header);
        AppState state = AnalysedState({1200, 1300, 1250, 1500, 1100});
        state.dataFileName = QStringLiteral("/data/rain.csv");
        if (duration) {
            state.durations.labels = {QStringLiteral("1h"), QStringLiteral("3h")};
            state.durations.names = {QStringLiteral("1 時間"), QStringLiteral("3 時間")};
            state.durations.series = {state.study.series, state.study.series};
            state.durations.shown = 1;
        }
        QCOMPARE(ReportHeaderLine(state, QDateTime(QDate(2026, 12, 8), QTime(9, 30))), header);
        // A duration table adds its T-year values and formulas after the data.
        QCOMPARE(ReportSectionsAfterChart(state).size(), size_t(duration ? 3 : 1));
    }

    // A duration table's report carries its T-year values, its formulas with the constants the
    // window shows, and their chart on a page of its own; with two durations, the reason instead.
    void durationTablePages_data() {
        QTest::addColumn<QList<int>>("minutes");
        QTest::addColumn<bool>("formulas");
        QTest::newRow("four durations") << QList<int>{60, 120, 180, 360} << true;
        QTest::newRow("two durations") << QList<int>{60, 180} << false;
    }
    void durationTablePages() {
        if (!HasPdfTools())
            QSKIP("the PDF tools are not installed");
        QFETCH(QList<int>, minutes);
        QFETCH(bool, formulas);
        QTemporaryDir dir;
        // Depths of 40 years growing with duration as a Talbot curve would have them.
        QByteArray table = "year";
        for (int t : minutes)
            table += ',' + QByteArray::number(t / 60) + 'h';
        table += '\n';
        for (int i = 0; i < 40; ++i) {
            table += QByteArray::number(1980 + i);
            const double spread = 0.7 + 0.6 * std::fmod(i * 0.618034, 1.0);
            for (int t : minutes)
                table += ',' + QByteArray::number(5000.0 / (t + 30) * t / 60 * spread, 'f', 1);
            table += '\n';
        }
        const QString file = dir.filePath(QStringLiteral("table.csv"));
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(table) == table.size());
        out.close();
        AppState state = FirstLoadState();
        state.dataFileName = file;
        LoadDataFile(state);
        QVERIFY(state.durations.loaded());
        QCOMPARE(state.intensity.study.has_value(), true);
        const QString pdf = dir.filePath(QStringLiteral("table-report.pdf"));
        WriteReportPdf(state, pdf, {file});
        const QString text = PdfText(pdf);
        for (const char* heading :
             {"7. 継続時間ごとの確率雨量", "8. 降雨強度式", "9. 降雨強度式の図"})
            QVERIFY2(text.contains(QString::fromUtf8(heading)), heading);
        if (formulas) {
            const PeriodFormulas& tenYears = state.intensity.study->formulas[4];
            QCOMPARE(tenYears.period, 10);
            const FormulaFit& talbot = tenYears.fits[0];
            QVERIFY(talbot.a);
            const QString a = QString::number(*talbot.a, 'f', 3);
            QVERIFY2(text.contains(a), qPrintable(a));
        } else {
            QVERIFY2(!state.intensity.problem.isEmpty(), "a reason for the missing formulas");
        }
        QVERIFY2(!text.contains(kNotANumber), qPrintable(kNotANumber.match(text).captured()));
        const int pages = PageCount(pdf);
        QVERIFY2(text.contains(QStringLiteral("%1 / %1").arg(pages)),
                 qPrintable(QString::number(pages)));
    }

    // The comparison's highlighted row wins while it can be shown; otherwise the selection.
    void reportedModel_data() {
        QTest::addColumn<int>("highlighted"); // -1 for none
        QTest::addColumn<bool>("isHighlighted");
        QTest::newRow("none highlighted") << -1 << false;
        QTest::newRow("Gumbel highlighted") << int(ModelId::Gumbel) << true;
    }
    void reportedModel() {
        QFETCH(int, highlighted);
        QFETCH(bool, isHighlighted);
        AppState state = SampleState();
        QVERIFY(state.study.models.selected);
        if (highlighted >= 0)
            state.compared.highlighted = ModelId(highlighted);
        const std::optional<ModelId> model = ReportModel(state);
        QCOMPARE(model, isHighlighted ? state.compared.highlighted : state.study.models.selected);
        const QString values4 = ReportSectionsBeforeChart(state)[3].html;
        if (model)
            QVERIFY(values4.contains(ModelName(*model).toHtmlEscaped()));
    }

    // The chart page carries the curve of the model the report is of, beside the selected one's.
    void chartPageHasTheReportedCurve_data() {
        QTest::addColumn<int>("highlighted"); // -1 for none
        QTest::newRow("the selected model") << -1;
        QTest::newRow("Gumbel highlighted") << int(ModelId::Gumbel);
        QTest::newRow("GEV highlighted") << int(ModelId::Gev);
    }
    void chartPageHasTheReportedCurve() {
        if (!HasPdfTools())
            QSKIP("the PDF tools are not installed");
        QFETCH(int, highlighted);
        AppState state = SampleState();
        QVERIFY(state.study.models.selected);
        if (highlighted >= 0)
            state.compared.highlighted = ModelId(highlighted);
        const ComparedCurves before = state.compared;
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("chart.pdf"));
        WriteReportPdf(state, pdf, {});
        // The state's curves are the window's: the report leaves them as they were.
        QCOMPARE(state.compared.models, before.models);
        QCOMPARE(state.compared.show, before.show);
        QString chart;
        for (const QString& page : PdfText(pdf).split(QLatin1Char('\f')))
            if (page.contains(QStringLiteral("5. 確率紙")))
                chart = page;
        QVERIFY(chart.contains(ModelName(*state.study.models.selected)));
        QVERIFY(chart.contains(ModelName(*ReportModel(state))));
    }

    void suggestedName_data() {
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("offered");
        QTest::newRow("csv") << QStringLiteral("/d/rain.csv")
                             << QStringLiteral("/d/rain-report.pdf");
        QTest::newRow("two dots") << QStringLiteral("/d/st.1990.txt")
                                  << QStringLiteral("/d/st.1990-report.pdf");
        QTest::newRow("none") << QString() << QString();
    }
    void suggestedName() {
        QFETCH(QString, data);
        QFETCH(QString, offered);
        QCOMPARE(SuggestedReportPath(data), offered);
    }
};

QTEST_MAIN(TestReport)
#include "test_report.moc"
