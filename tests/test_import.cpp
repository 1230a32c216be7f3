#include "agencyfile.h"
#include "formats/import.h"
#include "statistics/dataerror.h"

#include <QStringEncoder>
#include <QTest>

Q_DECLARE_METATYPE(ImportOptions)
Q_DECLARE_METATYPE(ImportPeriod)

namespace {

ImportOptions Options(ImportAggregate aggregate, int days = 1, int start = 1,
                      double coverage = 80) {
    ImportOptions options;
    options.aggregate = aggregate;
    options.days = days;
    options.yearStartMonth = start;
    options.coverage = coverage;
    return options;
}

ImportOptions Columns(int date, int value) {
    ImportOptions options;
    options.dateColumn = date;
    options.valueColumn = value;
    options.coverage = 0;
    return options;
}

ImportOptions Period(std::optional<int> from, std::optional<int> to) {
    ImportOptions options;
    options.fromYear = from;
    options.toYear = to;
    return options;
}

QStringList LeftOut(const AnnualSeries& series) {
    QStringList years;
    for (const AnnualRow& row : series.rows)
        if (!row.included)
            years << LeftOutText(row);
    return years;
}

QByteArray Utf8Bom(const char* text) {
    return QByteArray("\xEF\xBB\xBF") + QByteArray(text);
}

} // namespace

class TestImport : public QObject {
    Q_OBJECT
private slots:
    // The hand-worked daily file (see agencyfile.h) under every aggregation and year rule.
    void agencyDaily_data() {
        QTest::addColumn<ImportOptions>("options");
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QStringList>("leftOut");
        const QString partial = QStringLiteral("1999 年：有効な日が 2/365 で、80 % に足りません");
        QTest::newRow("totals") << Options(ImportAggregate::Sum)
                                << QByteArray("2000,126\r\n2001,57.9\r\n") << QStringList{partial};
        QTest::newRow("largest day")
            << Options(ImportAggregate::Max) << QByteArray("2000,50\r\n2001,45.6\r\n")
            << QStringList{partial};
        QTest::newRow("largest two days")
            << Options(ImportAggregate::Max, 2) << QByteArray("2000,55.5\r\n2001,57.9\r\n")
            << QStringList{partial};
        QTest::newRow("largest three days")
            << Options(ImportAggregate::Max, 3) << QByteArray("2000,55.5\r\n2001,57.9\r\n")
            << QStringList{partial};
        QTest::newRow("a leap year counts 366 days")
            << Options(ImportAggregate::Sum, 1, 1, 99.5) << QByteArray()
            << QStringList{QStringLiteral("1999 年：有効な日が 2/365 で、99.5 % に足りません"),
                           QStringLiteral("2000 年：有効な日が 364/366 で、99.5 % に足りません"),
                           QStringLiteral("2001 年：有効な日が 292/365 で、99.5 % に足りません")};
        QTest::newRow("coverage just above leaves 2001 out")
            << Options(ImportAggregate::Sum, 1, 1, 80.1) << QByteArray("2000,126\r\n")
            << QStringList{QStringLiteral("1999 年：有効な日が 2/365 で、80.1 % に足りません"),
                           QStringLiteral("2001 年：有効な日が 292/365 で、80.1 % に足りません")};
        QTest::newRow("no coverage rule keeps the partial year")
            << Options(ImportAggregate::Sum, 1, 1, 0)
            << QByteArray("1999,0\r\n2000,126\r\n2001,57.9\r\n") << QStringList{};
        // Fiscal years: April 2000 to March 2001 misses 1 June, 1 July and March 2001.
        QTest::newRow("fiscal year")
            << Options(ImportAggregate::Sum, 1, 4) << QByteArray("2000,40\r\n")
            << QStringList{QStringLiteral("1999 年：有効な日が 93/366 で、80 % に足りません"),
                           QStringLiteral("2001 年：有効な日が 233/365 で、80 % に足りません")};
        QTest::newRow("period") << Period(2001, 2003) << QByteArray("2001,57.9\r\n")
                                << QStringList{};
    }
    void agencyDaily() {
        QFETCH(ImportOptions, options);
        QFETCH(QByteArray, csv);
        QFETCH(QStringList, leftOut);
        const ImportSource source = ParseImportSource(HandWorkedDailyFile());
        QVERIFY(source.layout.agency);
        QCOMPARE(source.layout.period, ImportPeriod::Day);
        QCOMPARE(source.layout.encodingName, QStringLiteral("Shift-JIS"));
        const AnnualSeries series = BuildAnnualSeries(source, options);
        QCOMPARE(series.valueColumn.index, 1);
        QCOMPARE(series.valueColumn.item, QStringLiteral("降水量の合計(mm)"));
        QCOMPARE(AnnualSeriesCsv(series), csv);
        QCOMPARE(LeftOut(series), leftOut);
    }

    // Layouts: what is detected, and the series read from it with the defaults.
    void layouts_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<ImportOptions>("options");
        QTest::addColumn<ImportPeriod>("period");
        QTest::addColumn<int>("headerLines");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QStringList>("leftOut");
        QTest::newRow("Agency yearly, quality 4 and a bracketed value")
            << ShiftJis(
                   AgencyHeader(QStringLiteral("年")) +
                   QStringLiteral("1990,1591.9,0,8,1\r\n1991,1772.5,0,8,1\r\n1992,900.0,0,4,1\r\n"
                                  "1993,1500.5),0,5,1\r\n"))
            << ImportOptions() << ImportPeriod::Year << 5 << QStringLiteral("東京 降水量の合計(mm)")
            << QByteArray("1990,1591.9\r\n1991,1772.5\r\n1993,1500.5\r\n")
            << QStringList{QStringLiteral("1992 年：有効な値がありません")};
        QTest::newRow("spreadsheet: header, quotes, grouping, full width, extra column, marks")
            << Utf8Bom("年,降水量(mm),備考,\r\n1990,\"1,591.9\",,\r\n１９９１,\"１，７７２．５\","
                       "晴れ,\r\n"
                       "1992,×,,\r\n1993,--,,\r\n1994,1234]\r\n1995,\"2,001\")\r\n")
            << ImportOptions() << ImportPeriod::Year << 1 << QStringLiteral("降水量(mm)")
            << QByteArray("1990,1591.9\r\n1991,1772.5\r\n1993,0\r\n1995,2001\r\n")
            << QStringList{QStringLiteral("1992 年：有効な値がありません"),
                           QStringLiteral("1994 年：有効な値がありません")};
        QTest::newRow("tabs, separate year and month, monthly maximum, totals row passed over")
            << QByteArray("year\tmonth\train\r\n2000\t1\t10\r\n2000\t2\t30.5\r\n2000\t3\t20\r\n"
                          "2001\t1\t5\r\n合計\t\t65.5\r\n")
            << Options(ImportAggregate::Max, 1, 1, 0) << ImportPeriod::Month << 1
            << QStringLiteral("rain") << QByteArray("2000,30.5\r\n2001,5\r\n") << QStringList{};
        QTest::newRow("semicolons, ISO dates, sums keep the file's places")
            << QByteArray("date;value\n2000-01-01;0.1\n2000-01-02;0.2\n2001-01-01;1e3\n")
            << Options(ImportAggregate::Sum, 1, 1, 0) << ImportPeriod::Day << 1
            << QStringLiteral("value") << QByteArray("2000,0.3\r\n2001,1000\r\n") << QStringList{};
        QTest::newRow("blanks, Japanese months, a month of the year missing")
            << ShiftJis(QStringLiteral("2000年1月   10\r\n2000年2月   20\r\n2001年1月   1\r\n"))
            << Options(ImportAggregate::Sum, 1, 1, 10) << ImportPeriod::Month << 0
            << QStringLiteral("2 列目") << QByteArray("2000,30\r\n")
            << QStringList{QStringLiteral("2001 年：有効な月が 1/12 で、10 % に足りません")};
        QTest::newRow("water year from October, empty years listed")
            << QByteArray("2000/9,1\n2000/10,2\n2001/9,3\n2003/10,4\n")
            << Options(ImportAggregate::Sum, 1, 10, 0) << ImportPeriod::Month << 0
            << QStringLiteral("2 列目") << QByteArray("1999,1\r\n2000,5\r\n2003,4\r\n")
            << QStringList{QStringLiteral("2001 年：データがありません"),
                           QStringLiteral("2002 年：データがありません")};
        QTest::newRow("chosen columns: the second station")
            << QByteArray("day,A,B\n2000/1/1,1,7\n2000/1/2,2,8\n") << Columns(0, 2)
            << ImportPeriod::Day << 1 << QStringLiteral("B") << QByteArray("2000,15\r\n")
            << QStringList{};
        QTest::newRow("yearly values that are small whole numbers stay values")
            << QByteArray("1990,3\n1991,5\n1992,12\n") << ImportOptions() << ImportPeriod::Year << 0
            << QStringLiteral("2 列目") << QByteArray("1990,3\r\n1991,5\r\n1992,12\r\n")
            << QStringList{};
    }
    void layouts() {
        QFETCH(QByteArray, bytes);
        QFETCH(ImportOptions, options);
        const ImportSource source = ParseImportSource(bytes);
        const AnnualSeries series = BuildAnnualSeries(source, options);
        QTEST(series.layout.period, "period");
        QTEST(series.layout.headerLines, "headerLines");
        QTEST(series.valueColumn.label, "label");
        QTEST(AnnualSeriesCsv(series), "csv");
        QTEST(LeftOut(series), "leftOut");
    }

    void refuses_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<ImportOptions>("options");
        QTest::addColumn<QString>("message");
        QTest::newRow("not text") << QByteArray("1990,1\0\x01\x02", 9) << ImportOptions()
                                  << QStringLiteral("テキストファイルではありません");
        QTest::newRow("empty") << QByteArray() << ImportOptions()
                               << QStringLiteral("ファイルが空です");
        QTest::newRow("no dates") << QByteArray("a,b\n1.5,2\n") << ImportOptions()
                                  << QStringLiteral("日付の列が見つかりません");
        QTest::newRow("date repeats")
            << QByteArray("1990,1\n1991,2\n1991,3\n") << ImportOptions()
            << QStringLiteral("3 行目：日付 1991 が 2 行目の 1991 と同じです");
        QTest::newRow("date goes backwards")
            << QByteArray("2000/1/2,1\n2000/1/1,2\n") << ImportOptions()
            << QStringLiteral(
                   "2 行目：日付 2000/1/1 が 1 行目の 2000/1/2 と比べて前に戻っています");
        QTest::newRow("day that does not exist")
            << QByteArray("2001/2/28,1\n2001/2/29,2\n") << ImportOptions()
            << QStringLiteral("2 行目：日付 2001/2/29 はありません");
        QTest::newRow("a month among days")
            << QByteArray("2001/2/27,1\n2001/2/28,1\n2001/3,2\n") << ImportOptions()
            << QStringLiteral("3 行目：日付「2001/3」の形が上の行と違います");
        QTest::newRow("unreadable date") << QByteArray("1990,1\n19x1,2\n") << ImportOptions()
                                         << QStringLiteral("2 行目：日付「19x1」を読めません");
        QTest::newRow("column without numbers")
            << QByteArray("1990,1,a\n1991,2,b\n") << Columns(-1, 2)
            << QStringLiteral("3 列目には数値がありません");
        QTest::newRow("date column as value") << QByteArray("1990,1\n1991,2\n") << Columns(-1, 0)
                                              << QStringLiteral("1 列目は日付の列です");
        QTest::newRow("no such column")
            << QByteArray("1990,1\n1991,2\n") << Columns(-1, 5)
            << QStringLiteral("6 列目はありません（このファイルは 2 列です）");
        QTest::newRow("option column as value")
            << HandWorkedDailyFile() << Columns(-1, 3)
            << QStringLiteral("4 列目は品質情報などの付帯情報の列です");
        QTest::newRow("two-day maximum of months")
            << QByteArray("2000/1,1\n2000/2,2\n") << Options(ImportAggregate::Max, 2)
            << QStringLiteral("日ごとの値からだけ求められます");
        QTest::newRow("two-day total")
            << QByteArray("2000/1/1,1\n") << Options(ImportAggregate::Sum, 2)
            << QStringLiteral("年最大のときだけ");
        QTest::newRow("period without data")
            << QByteArray("1990,1\n1991,2\n") << Period(2000, std::nullopt)
            << QStringLiteral("ファイルは 1990 年から 1991 年までです");
        QByteArray manyYears;
        for (int year = 1700; year < 1958; ++year)
            manyYears += QByteArray::number(year) + ",1\n";
        QTest::newRow("258 years")
            << manyYears << ImportOptions()
            << QStringLiteral("取り込める年が 258 年あり、扱える 257 年を超えています");
    }
    void refuses() {
        QFETCH(QByteArray, bytes);
        QFETCH(ImportOptions, options);
        QFETCH(QString, message);
        try {
            BuildAnnualSeries(ParseImportSource(bytes), options);
            QFAIL("no error");
        } catch (const DataError& error) {
            if (!error.message().contains(message))
                QFAIL(qPrintable(error.message()));
        }
    }

    void axisTitle_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("title");
        QTest::newRow("unit") << QStringLiteral("降水量の合計(mm)")
                              << QStringLiteral("降水量の合計　(mm)");
        QTest::newRow("blank before unit")
            << QStringLiteral("日最大 (mm)") << QStringLiteral("日最大　(mm)");
        QTest::newRow("full-width brackets")
            << QStringLiteral("降水量（mm）") << QStringLiteral("降水量　（mm）");
        QTest::newRow("no unit") << QStringLiteral("rain") << QStringLiteral("rain");
    }
    void axisTitle() {
        QFETCH(QString, item);
        QTEST(AxisTitleFromItem(item), "title");
    }

    // The axis title names what was built from the item, with its unit.
    void importedAxisTitle_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("period");
        QTest::addColumn<int>("aggregate");
        QTest::addColumn<int>("days");
        QTest::addColumn<QString>("title");
        const QString rain = QStringLiteral("降水量の合計(mm)");
        const int day = int(ImportPeriod::Day);
        const int sum = int(ImportAggregate::Sum);
        const int max = int(ImportAggregate::Max);
        QTest::newRow("daily maxima") << rain << day << max << 1 << "年最大日降水量　(mm)";
        QTest::newRow("two-day maxima") << rain << day << max << 2 << "年最大2日降水量　(mm)";
        QTest::newRow("daily totals") << rain << day << sum << 1 << "年降水量　(mm)";
        QTest::newRow("monthly maxima")
            << rain << int(ImportPeriod::Month) << max << 1 << "年最大月降水量　(mm)";
        QTest::newRow("yearly totals")
            << rain << int(ImportPeriod::Year) << sum << 1 << "年降水量　(mm)";
        QTest::newRow("a spreadsheet's item")
            << QStringLiteral("流量（m3/s）") << day << max << 1 << "年最大日流量　(m3/s)";
        QTest::newRow("no unit") << QStringLiteral("rain") << day << sum << 1 << "年rain";
        QTest::newRow("no item") << QString() << day << sum << 1 << "";
    }
    void importedAxisTitle() {
        QFETCH(QString, item);
        QFETCH(int, period);
        QFETCH(int, aggregate);
        QFETCH(int, days);
        AnnualSeries series;
        series.layout.period = ImportPeriod(period);
        series.valueColumn.item = item;
        ImportOptions options;
        options.aggregate = ImportAggregate(aggregate);
        options.days = days;
        QTEST(ImportedAxisTitle(series, options), "title");
    }

    // Years the reader does not take are told as such, not as a file without dates.
    void yearsOutOfRange_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("said");
        QTest::newRow("year 0 and on") << QByteArray("0,100\n1,200\n2,300\n") << "年 0 は";
        QTest::newRow("five-digit years") << QByteArray("99999,100\n100000,200\n") << "年 99999 は";
        QTest::newRow("a dated year 0") << QByteArray("0/1/1,5\n0/1/2,6\n") << "の年 0 は";
    }
    void yearsOutOfRange() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, said);
        try {
            ParseImportSource(bytes);
            QFAIL("read");
        } catch (const DataError& error) {
            QVERIFY2(error.message().contains(said), qPrintable(error.message()));
            QVERIFY2(error.message().contains(QStringLiteral("1000 年から 9999 年まで")),
                     qPrintable(error.message()));
        }
    }

    // A spreadsheet's "Unicode テキスト": UTF-16 with its mark, tab separated, either byte order.
    void utf16Text_data() {
        QTest::addColumn<int>("encoding");
        QTest::addColumn<QByteArray>("mark");
        QTest::newRow("little-endian") << int(QStringConverter::Utf16LE) << QByteArray("\xFF\xFE");
        QTest::newRow("big-endian") << int(QStringConverter::Utf16BE) << QByteArray("\xFE\xFF");
    }
    void utf16Text() {
        QFETCH(int, encoding);
        QFETCH(QByteArray, mark);
        const QString text = QStringLiteral("年\t降水量(mm)\r\n1990\t1200.5\r\n1991\t980\r\n");
        const QByteArray bytes =
            mark + QByteArray(QStringEncoder(QStringConverter::Encoding(encoding)).encode(text));
        const AnnualSeries series = BuildAnnualSeries(ParseImportSource(bytes), {});
        QCOMPARE(series.includedCount(), 2);
        QCOMPARE(series.rows[0].value, 1200.5);
        QCOMPARE(series.valueColumn.item, QStringLiteral("降水量(mm)"));
    }

    void editorText() {
        const AnnualSeries series =
            BuildAnnualSeries(ParseImportSource("1990,1591.9\n1991,0.1\n"), {});
        QCOMPARE(AnnualSeriesEditorText(series),
                 QStringLiteral("   1990   1591.9\r\n   1991   0.1"));
    }
};

QTEST_GUILESS_MAIN(TestImport)
#include "test_import.moc"
