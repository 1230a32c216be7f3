#include "statistics/dataerror.h"
#include "statistics/numeric.h"

#include <QTest>

#include <cmath>
#include <limits>

class TestNumeric : public QObject {
    Q_OBJECT
private slots:
    void roundsHalfToEven_data() {
        QTest::addColumn<double>("input");
        QTest::addColumn<int>("expected");
        QTest::newRow("2.5") << 2.5 << 2;
        QTest::newRow("3.5") << 3.5 << 4;
        QTest::newRow("-2.5") << -2.5 << -2;
        QTest::newRow("-3.5") << -3.5 << -4;
        QTest::newRow("0.5") << 0.5 << 0;
        QTest::newRow("1.5") << 1.5 << 2;
        QTest::newRow("2.4999") << 2.4999 << 2;
        QTest::newRow("1995.5") << 1995.5 << 1996;
        QTest::newRow("1994.5") << 1994.5 << 1994;
        QTest::newRow("499.6") << 499.6 << 500;
        QTest::newRow("max int") << 2147483647.0 << 2147483647;
        QTest::newRow("min int") << -2147483648.0 << -2147483647 - 1;
    }
    void roundsHalfToEven() {
        QFETCH(double, input);
        QFETCH(int, expected);
        QCOMPARE(R(input), expected);
    }

    void refusesWholeNumbersOutsideInt32_data() {
        QTest::addColumn<double>("input");
        QTest::newRow("2^31") << 2147483648.0;
        QTest::newRow("below min") << -2147483649.0;
        QTest::newRow("inf") << std::numeric_limits<double>::infinity();
        QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN();
    }
    void refusesWholeNumbersOutsideInt32() {
        QFETCH(double, input);
        QVERIFY_THROWS_EXCEPTION(DataError, R(input));
    }

    void formatsRealsInDefaultForm_data() {
        QTest::addColumn<double>("input");
        QTest::addColumn<QString>("expected");
        QTest::newRow("half") << 0.5 << "0.5";
        QTest::newRow("thousand") << std::pow(10.0, 3) << "1000";
        QTest::newRow("tenth") << 0.1 << "0.1";
        QTest::newRow("third") << 1.0 / 3.0 << "0.333333333333333";
        QTest::newRow("1370 via log") << std::pow(10.0, std::log10(1370.0)) << "1370";
        QTest::newRow("370") << (100.0 + 1000.0 + 10.0) / 3.0 << "370";
        QTest::newRow("negative") << -2.25 << "-2.25";
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("negative zero") << -0.0 << "0";
        QTest::newRow("100000") << 100000.0 << "100000";
        QTest::newRow("large") << 1e20 << "1E+20";
        QTest::newRow("tiny") << 1e-7 << "1E-07";
        QTest::newRow("15 digits") << 123456789012345.0 << "123456789012345";
    }
    void formatsRealsInDefaultForm() {
        QFETCH(double, input);
        QFETCH(QString, expected);
        QCOMPARE(FormatReal(input), expected);
    }

    void writesShortestReals_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("a tenth") << 0.1 << "0.1";
        QTest::newRow("negative zero") << -0.0 << "0";
        QTest::newRow("as many digits as it takes") << 2158.496730298151 << "2158.496730298151";
        QTest::newRow("large") << 1e20 << "1e+20";
    }
    void writesShortestReals() {
        QFETCH(double, value);
        QTEST(ShortestReal(value), "text");
    }

    void readsNumericPrefix_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("trailing letters") << "0.40abc" << 0.4;
        QTest::newRow("letters only") << "abc" << 0.0;
        QTest::newRow("unit") << "12mm" << 12.0;
        QTest::newRow("negative") << "-3" << -3.0;
        QTest::newRow("exponent") << "1e2" << 100.0;
        QTest::newRow("leading blanks") << "   2.5" << 2.5;
        QTest::newRow("blanks inside") << " 1 2 . 5" << 12.5;
        QTest::newRow("tab and line feed") << "\t5\n" << 5.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("sign only") << "-" << 0.0;
        QTest::newRow("point only") << "." << 0.0;
        QTest::newRow("leading point") << ".5" << 0.5;
        QTest::newRow("incomplete exponent") << "3e" << 3.0;
        QTest::newRow("exponent sign only") << "3e-x" << 3.0;
        QTest::newRow("second point stops") << "1.2.3" << 1.2;
        QTest::newRow("plus sign") << "+7" << 7.0;
        QTest::newRow("full-width digits") << "０．５" << 0.5;
        QTest::newRow("full-width minus") << "－３" << -3.0;
        QTest::newRow("letter first") << "x12" << 0.0;
        QTest::newRow("two signs") << "+-5" << 0.0;
        QTest::newRow("beyond the double") << "1e400" << std::numeric_limits<double>::infinity();
        QTest::newRow("negative beyond") << "-12e399" << -std::numeric_limits<double>::infinity();
        QTest::newRow("below the double") << "0.001e-400" << 0.0;
        QTest::newRow("long fraction beyond")
            << "0.0000001e316" << std::numeric_limits<double>::infinity();
    }
    void readsNumericPrefix() {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(ReadNumericPrefix(text), expected);
    }
};

QTEST_APPLESS_MAIN(TestNumeric)
#include "test_numeric.moc"
