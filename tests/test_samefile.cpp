// Names of files as the system has them, and the one check that keeps an output off its inputs.
#include "statistics/dataerror.h"
#include "formats/filename.h"
#include "platform/samefile.h"
#include "testhelpers.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

class TestSameFile : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString Path(const QString& name) const { return dir_.filePath(name); }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        QVERIFY(WriteBytes(Path("rain.csv"), "1996,1591.9\n"));
        QVERIFY(WriteBytes(Path("snow.csv"), "1996,10\n"));
        QVERIFY(QDir(dir_.path()).mkdir("pages"));
        QVERIFY(QFile::link("rain.csv", Path("out.pdf")));
        QVERIFY(QFile::link("../rain.csv", Path("pages/rain.pdf")));
        QVERIFY(QFile::link("out.pdf", Path("chain.pdf")));
        QVERIFY(QFile::link("pages", Path("folder")));
        QVERIFY(QFile::link("nothing.pdf", Path("dangling.pdf")));
        QVERIFY(QFile::link("loop2.pdf", Path("loop1.pdf")));
        QVERIFY(QFile::link("loop1.pdf", Path("loop2.pdf")));
        QCOMPARE(link(QFile::encodeName(Path("rain.csv")).constData(),
                      QFile::encodeName(Path("hard.csv")).constData()),
                 0);
    }

    void decodeKeepsTheBytes_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("ASCII") << QByteArray("rain.csv") << "rain.csv";
        QTest::newRow("UTF-8") << QByteArray("雨.csv") << "雨.csv";
        QTest::newRow("Shift-JIS") << QByteArray("\x89\x4A\x97\xCA.csv") << "雨量.csv";
        QTest::newRow("lone continuation byte") << QByteArray("a\x80z") << "a\uFFFDz";
        // Bytes that are no UTF-8 but read as Shift-JIS are shown as that.
        // Bytes that are not UTF-8 but read as Shift-JIS are shown as Shift-JIS.
        QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << "\uFF80\uFF6F";
        QTest::newRow("cut sequence") << QByteArray("x\xE9\x9B") << "x\u9AEE";
        QTest::newRow("encoded surrogate") << QByteArray("\xED\xB2\x89") << "\uFFFD\uFFFD\uFFFD";
    }
    void decodeKeepsTheBytes() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        const QString name = DecodeFileName(bytes);
        QCOMPARE(EncodeFileName(name), bytes);
        QCOMPARE(DisplayFileName(name), shown);
    }

    // Each output is compared with rain.csv, the input.
    void outputIsInput_data() {
        QTest::addColumn<QString>("output");
        QTest::addColumn<bool>("refused");
        QTest::newRow("the input itself") << "rain.csv" << true;
        QTest::newRow("through dot-dot") << "pages/../rain.csv" << true;
        QTest::newRow("link to it") << "out.pdf" << true;
        QTest::newRow("link from a folder") << "pages/rain.pdf" << true;
        QTest::newRow("chain of links") << "chain.pdf" << true;
        QTest::newRow("linked folder") << "folder/rain.pdf" << true;
        QTest::newRow("hard link") << "hard.csv" << true;
        QTest::newRow("another file") << "snow.csv" << false;
        QTest::newRow("a new name") << "new.pdf" << false;
        QTest::newRow("link to nothing") << "dangling.pdf" << false;
    }
    void outputIsInput() {
        QFETCH(QString, output);
        QFETCH(bool, refused);
        QCOMPARE(SameFile(Path(output), Path("rain.csv")), refused);
        QString message;
        try {
            RefuseOverwritingInput(Path(output), {QString(), Path("rain.csv")});
        } catch (const DataError& error) {
            message = error.message();
        }
        QCOMPARE(!message.isEmpty(), refused);
        if (refused)
            QVERIFY2(message.contains(Path(output)), qPrintable(message));
    }

    // Two names that do not exist yet are one place when their links lead to the same name.
    void placesNotYetMade() {
        QVERIFY(SameFile(Path("dangling.pdf"), Path("nothing.pdf")));
        QVERIFY(SameFile(Path("folder/new.pdf"), Path("pages/new.pdf")));
        QVERIFY(!SameFile(Path("pages/new.pdf"), Path("new.pdf")));
    }

    void loopIsNamed() {
        QVERIFY_THROWS_EXCEPTION(DataError, FollowLinks(QFile::encodeName(Path("loop1.pdf"))));
        try {
            RefuseOverwritingInput(Path("loop1.pdf"), {Path("rain.csv")});
            QFAIL("a loop was taken for a file");
        } catch (const DataError& error) {
            QVERIFY(error.message().endsWith(LinkLoopReason()));
        }
    }
};

QTEST_GUILESS_MAIN(TestSameFile)
#include "test_samefile.moc"
