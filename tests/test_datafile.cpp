#include "formats/datafile.h"
#include "statistics/dataerror.h"
#include "testhelpers.h"

#include <QFile>
#include <QRandomGenerator>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

using Records = QList<QPair<int, double>>;
Q_DECLARE_METATYPE(Records)

namespace {

Records RecordsOf(const SeriesData& series) {
    Records out;
    for (int i = 0; i < series.recordCount; ++i)
        out << qMakePair(series.years[i], series.values[i]);
    return out;
}

QByteArray Lines(int count, const QByteArray& end = "\r\n") {
    QByteArray text;
    for (int i = 0; i < count; ++i)
        text += QByteArray::number(1800 + i) + "," + QByteArray::number(1000 + i) + end;
    return text;
}

} // namespace

class TestDataFile : public QObject {
    Q_OBJECT
private slots:
    void readsRecords_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Records>("expected");
        const Records two{{1990, 1200.5}, {1991, 980}};
        QTest::newRow("comma, CR LF") << QByteArray("1990,1200.5\r\n1991,980") << two;
        QTest::newRow("comma, final CR LF") << QByteArray("1990,1200.5\r\n1991,980\r\n") << two;
        QTest::newRow("one space") << QByteArray("1990 1200.5\r\n1991 980\r\n") << two;
        QTest::newRow("editor form") << QByteArray("   1990   1200.5\r\n   1991   980\r\n") << two;
        QTest::newRow("LF only") << QByteArray("1990,1200.5\n1991,980\n") << two;
        QTest::newRow("CR only") << QByteArray("1990,1200.5\r1991,980\r") << two;
        QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF"
                                                       "1990,1200.5\r\n1991,980")
                                         << two;
        QTest::newRow("spaces around comma") << QByteArray("1990 , 1200.5\r\n1991 ,980") << two;
        QTest::newRow("spaces after value") << QByteArray("1990,1200.5   \r\n1991,980 ") << two;
        QTest::newRow("tabs") << QByteArray("1990\t1200.5\r\n1991\t980") << two;
        QTest::newRow("a blank line at the end")
            << QByteArray("1990,1200.5\r\n1991,980\r\n\r\n") << two;
        QTest::newRow("blank lines and blanks at the end")
            << QByteArray("1990,1200.5\n1991,980\n \t\n\n") << two;
        // A spreadsheet's "Unicode テキスト": UTF-16 with its mark, tab separated.
        const QString unicodeText = QStringLiteral("1990\t1200.5\r\n1991\t980\r\n");
        auto utf16 = [&](QStringConverter::Encoding encoding, QByteArray mark) {
            return mark + QByteArray(QStringEncoder(encoding).encode(unicodeText));
        };
        QTest::newRow("UTF-16 LE") << utf16(QStringConverter::Utf16LE, "\xFF\xFE") << two;
        QTest::newRow("UTF-16 BE") << utf16(QStringConverter::Utf16BE, "\xFE\xFF") << two;
        QTest::newRow("signs and exponent") << QByteArray("+1990,1.2005e3\r\n1991,+980") << two;
        QTest::newRow("year with fraction rounds half to even")
            << QByteArray("1994.5,1\r\n1995.5,2") << Records{{1994, 1}, {1995 + 1, 2}};
        QTest::newRow("empty file") << QByteArray() << Records{};
        QTest::newRow("negative and zero values are read")
            << QByteArray("1,0\r\n2,-5") << Records{{1, 0}, {2, -5}};
    }
    void readsRecords() {
        QFETCH(QByteArray, bytes);
        QFETCH(Records, expected);
        QCOMPARE(RecordsOf(ParseDataFile(bytes)), expected);
    }

    void refusesMalformedFiles_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("messagePart");
        QTest::newRow("empty line between")
            << QByteArray("1990,1\r\n\r\n1991,2") << "2 行目：空白行";
        QTest::newRow("blank line between")
            << QByteArray("1990,1\r\n   \r\n1991,2") << "2 行目：空白行";
        QTest::newRow("year not a number")
            << QByteArray("1990,1\r\nabc,2") << "2 行目：西暦年が数字ではありません";
        QTest::newRow("value not a number")
            << QByteArray("1990,12mm") << "1 行目：値が数字ではありません";
        QTest::newRow("value missing") << QByteArray("1990\r\n1991,2") << "1 行目：値がありません";
        QTest::newRow("value missing at end")
            << QByteArray("1990,1\r\n1991") << "2 行目：値がありません";
        QTest::newRow("value missing after comma")
            << QByteArray("1990,\r\n") << "1 行目：値がありません";
        QTest::newRow("empty field") << QByteArray("1990,,5") << "1 行目：値の欄が空です";
        QTest::newRow("leading comma") << QByteArray(",1990,5") << "1 行目：西暦年の欄が空です";
        QTest::newRow("extra field")
            << QByteArray("1990,1,2") << "1 行目：西暦年と値のあとに余分な項目";
        QTest::newRow("a heading line points to the import")
            << QByteArray("year,rain\r\n1990,1") << "--import で開けます";
        QTest::newRow("an extra column points to the import")
            << QByteArray("1990,1,\r\n") << "--import で開けます";
        QTest::newRow("year beyond 32 bits")
            << QByteArray("3000000000,1") << "1 行目：西暦年が大きすぎます";
        QTest::newRow("value overflows") << QByteArray("1990,1e400") << "値が扱える数値の範囲";
        QTest::newRow("value underflows") << QByteArray("1990,1e-400") << "値が 0 に近すぎて";
        QTest::newRow("year underflows") << QByteArray("1e-400,5") << "西暦年が小さすぎて";
        // Quoted bytes never reach a terminal or a message box as controls.
        QTest::newRow("control characters escaped")
            << QByteArray("1950,100\n1951,\x1b]0;PWNED\x07\n")
            << "2 行目：値が数字ではありません（「\\x1b]0;PWNED\\x07」）";
        QTest::newRow("year overflows") << QByteArray("1e999,5") << "西暦年が扱える数値の範囲";
        QTest::newRow("two signs on the year")
            << QByteArray("+-1990,5") << "1 行目：西暦年が数字ではありません（「+-1990」）";
        QTest::newRow("two signs on the value")
            << QByteArray("1990,+-5") << "値が数字ではありません";
        QTest::newRow("Shift-JIS quoted decoded")
            << QByteArray("1990,\x82\x54\x82\x4f\x82\x4f") << "（「５００」）";
        QTest::newRow("UTF-8 quoted decoded") << QByteArray("1990,５００") << "（「５００」）";
        QTest::newRow("infinity") << QByteArray("1990,inf") << "値が数字ではありません";
        QTest::newRow("nan") << QByteArray("1990,nan") << "値が数字ではありません";
        QTest::newRow("hexadecimal") << QByteArray("1990,0x10") << "値が数字ではありません";
        QTest::newRow("blanks only at end")
            << QByteArray("1990,1\r\n   ") << "2 行目：西暦年がありません";
        QTest::newRow("258 records") << Lines(258) << "258 行目：データが 257 件を超えています";
    }
    void refusesMalformedFiles() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, messagePart);
        try {
            ParseDataFile(bytes);
            QFAIL("the file was accepted");
        } catch (const DataError& error) {
            QVERIFY2(error.message().contains(messagePart), qPrintable(error.message()));
        }
    }

    void readsUpTo257Records() {
        const SeriesData series = ParseDataFile(Lines(257));
        QCOMPARE(series.recordCount, 257);
        QCOMPARE(series.years[256], 1800 + 256);
        QCOMPARE(series.values[256], 1000.0 + 256);
    }

    void samplesLoadAlikeInBothForms_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("count");
        QTest::newRow("30 years") << "precip_30y" << 30;
        QTest::newRow("100 years") << "precip_100y" << 100;
    }
    void samplesLoadAlikeInBothForms() {
        QFETCH(QString, name);
        QFETCH(int, count);
        const QString base = QStringLiteral(QUORVEL_SOURCE_DIR "/data/samples/") + name;
        const SeriesData comma = ReadDataFile(base + ".csv");
        const SeriesData editor = ReadDataFile(base + "_editor.txt");
        QCOMPARE(comma.recordCount, count);
        QCOMPARE(RecordsOf(editor), RecordsOf(comma));
    }

    void namesTheFileInItsMessages() {
        QTemporaryDir dir;
        const QString path = dir.filePath("rain.txt");
        try {
            ReadDataFile(path);
            QFAIL("a missing file was read");
        } catch (const DataError& error) {
            QVERIFY(error.message().contains(path));
            QVERIFY(error.message().contains("ファイルがありません"));
        }
        QVERIFY(WriteBytes(path, "1990,1\r\nx,2\r\n"));
        try {
            ReadDataFile(path);
            QFAIL("a bad file was read");
        } catch (const DataError& error) {
            QVERIFY(error.message().contains(path));
            QVERIFY(error.message().contains("2 行目"));
        }
    }

    // Random, truncated and oversized input must fail cleanly or load at most 257 records; the
    // sanitizer build turns any overrun into a failure.
    void survivesArbitraryBytes() {
        QRandomGenerator random(20261207);
        const QByteArray alphabet("0123456789,. \r\n-+eE\t\xEF\xBB\xBFx");
        const QByteArray valid = Lines(300);
        for (int round = 0; round < 3000; ++round) {
            QByteArray bytes;
            switch (round % 3) {
            case 0: {
                const int size = random.bounded(200);
                for (int i = 0; i < size; ++i)
                    bytes += alphabet[random.bounded(alphabet.size())];
                break;
            }
            case 1:
                bytes = valid.left(random.bounded(valid.size()));
                break;
            default:
                bytes.resize(random.bounded(300));
                for (char& c : bytes)
                    c = static_cast<char>(random.bounded(256));
            }
            try {
                const SeriesData series = ParseDataFile(bytes);
                QVERIFY(series.recordCount >= 0 && series.recordCount <= kMaxRecords);
            } catch (const DataError&) {
            }
        }
        const QByteArray longLine = "1990," + QByteArray(1 << 20, '9');
        try {
            const SeriesData series = ParseDataFile(longLine);
            QCOMPARE(series.recordCount, 1);
        } catch (const DataError& error) {
            QVERIFY(error.message().contains("値"));
        }
        QVERIFY_THROWS_EXCEPTION(DataError, ParseDataFile(QByteArray(1 << 20, ' ') + "x"));
    }
};

QTEST_APPLESS_MAIN(TestDataFile)
#include "test_datafile.moc"
