#include "statistics/dataerror.h"
#include "formats/deviatetable.h"
#include "state/loading.h"
#include "formats/deviatetablepath.h"
#include "testhelpers.h"
#include "tools/normalquantile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray Numbers(int count) {
    QByteArray text;
    for (int i = 0; i < count; ++i)
        text += QByteArray::number(i) + "\r\n";
    return text;
}

} // namespace

class TestDeviateTable : public QObject {
    Q_OBJECT
private slots:
    void committedTableMatchesGenerator() {
        QCOMPARE(ReadBytes(QStringLiteral(QUORVEL_SOURCE_DIR "/data/ndlist.txt")),
                 QByteArray::fromStdString(GenerateDeviateList()));
    }

    void committedTableHoldsTheQuantiles() {
        AppState state;
        state.startDirectory = QStringLiteral(QUORVEL_SOURCE_DIR "/data");
        LoadDeviateTable(state);
        const auto& t = state.deviateTable;
        QCOMPARE(t[0], 0.0);
        QCOMPARE(qRound(t[400] * 10000), 12816);
        QCOMPARE(qRound(t[490] * 10000), 23263);
        QCOMPARE(qRound(t[499] * 10000), 30902);
        for (int i = 1; i < kDeviateTableLoaded; ++i)
            QVERIFY2(t[i] > t[i - 1], qPrintable(QString::number(i)));
        for (int i = kDeviateTableLoaded; i < kDeviateTableSize; ++i)
            QCOMPARE(t[i], 0.0);
    }

    void loadsFromStartDirectory_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("trailingSeparator");
        QTest::addColumn<double>("element499");
        QTest::newRow("500 numbers") << Numbers(500) << false << 499.0;
        QTest::newRow("600 numbers, first 500 used") << Numbers(600) << false << 499.0;
        QTest::newRow("directory ending in separator") << Numbers(500) << true << 499.0;
        QTest::newRow("commas and blanks") << Numbers(500).replace("\r\n", ", ") << false << 499.0;
    }
    void loadsFromStartDirectory() {
        QFETCH(QByteArray, content);
        QFETCH(bool, trailingSeparator);
        QFETCH(double, element499);
        QTemporaryDir dir;
        QVERIFY(WriteBytes(dir.filePath("ndlist.txt"), content));
        AppState state;
        state.startDirectory = dir.path() + (trailingSeparator ? "/" : "");
        LoadDeviateTable(state);
        QCOMPARE(state.deviateTable[1], 1.0);
        QCOMPARE(state.deviateTable[499], element499);
        QCOMPARE(state.deviateTable[500], 0.0);
    }

    void refusesMissingOrShortTable_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("messagePart");
        // ndlist.txt is a folder instead of a file.
        QTest::addColumn<bool>("folder");
        QTest::newRow("missing") << QByteArray() << false << "見つかりません" << false;
        QTest::newRow("499 numbers") << Numbers(499) << true << "500 個に足りません" << false;
        QTest::newRow("empty") << QByteArray() << true << "500 個に足りません" << false;
        QTest::newRow("text in it")
            << Numbers(10) + "abc\r\n" + Numbers(490) << true << "数字ではない" << false;
        QTest::newRow("beyond the double")
            << Numbers(10) + "1e400\r\n" + Numbers(490) << true << "数字ではない" << false;
        QTest::newRow("decreasing") << Numbers(300) + Numbers(200) << true << "301 個目" << false;
        QTest::newRow("negated") << "0\r\n-" + Numbers(500).mid(3).replace("\r\n", "\r\n-") << true
                                 << "負です" << false;
        QTest::newRow("beyond any deviate") << Numbers(499) + "1e40\r\n"
                                            << true << "500 個目" << false;
        QTest::newRow("all zero") << QByteArray("0\r\n").repeated(500) << true << "すべて同じ"
                                  << false;
        QTest::newRow("a folder") << QByteArray() << true << "通常のファイルではありません" << true;
    }
    void refusesMissingOrShortTable() {
        QFETCH(QByteArray, content);
        QFETCH(bool, present);
        QFETCH(QString, messagePart);
        QFETCH(bool, folder);
        QTemporaryDir dir;
        if (folder)
            QVERIFY(QDir(dir.path()).mkdir("ndlist.txt"));
        else if (present)
            QVERIFY(WriteBytes(dir.filePath("ndlist.txt"), content));
        AppState state;
        state.startDirectory = dir.path();
        state.deviateTable[3] = 42;
        try {
            LoadDeviateTable(state);
            QFAIL("the table loaded");
        } catch (const DataError& error) {
            QVERIFY2(error.message().contains(messagePart), qPrintable(error.message()));
            QVERIFY(error.message().contains("ndlist.txt"));
        }
        QCOMPARE(state.deviateTable[3], 42.0);
    }

    void searchesStartDirectoryThenInstalledCopies_data() {
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QString>("chosen");
        // Each copy has a different element 1, so the loaded table names the file it came from.
        QTest::newRow("start directory wins over both copies")
            << QStringList{"start", "bin", "share"} << "start";
        QTest::newRow("start directory wins over the installed copy")
            << QStringList{"start", "share"} << "start";
        QTest::newRow("beside the executable") << QStringList{"bin", "share"} << "bin";
        QTest::newRow("installed share folder") << QStringList{"share"} << "share";
        QTest::newRow("none") << QStringList{} << "";
    }
    void searchesStartDirectoryThenInstalledCopies() {
        QFETCH(QStringList, present);
        QFETCH(QString, chosen);
        QTemporaryDir root;
        const QMap<QString, QString> folders{{"start", root.filePath("home/user")},
                                             {"bin", root.filePath("opt/usr/bin")},
                                             {"share", root.filePath("opt/usr/share/quorvel")}};
        const QMap<QString, double> marks{{"start", 0.25}, {"bin", 0.5}, {"share", 0.75}};
        for (const QString& folder : folders)
            QVERIFY(QDir().mkpath(folder));
        for (const QString& where : present) {
            QByteArray table = Numbers(500);
            table.replace("\r\n1\r\n", "\r\n" + QByteArray::number(marks[where]) + "\r\n");
            QVERIFY(WriteBytes(folders[where] + "/ndlist.txt", table));
        }
        AppState state;
        state.startDirectory = folders["start"];
        const auto found = FindDeviateTablePath(folders["start"], folders["bin"]);
        if (chosen.isEmpty()) {
            QVERIFY(!found);
            try {
                LoadDeviateTable(state, folders["bin"]);
                QFAIL("the table loaded");
            } catch (const DataError& error) {
                // The user learns both where the program looked first and where it is installed.
                for (const QString& folder : {folders["start"], folders["share"]})
                    QVERIFY2(error.message().contains(folder + "/ndlist.txt"),
                             qPrintable(error.message()));
            }
            return;
        }
        QCOMPARE(QFileInfo(found.value_or("")).absoluteFilePath(),
                 QFileInfo(folders[chosen] + "/ndlist.txt").absoluteFilePath());
        LoadDeviateTable(state, folders["bin"]);
        QCOMPARE(state.deviateTable[1], marks[chosen]);
        QCOMPARE(state.startDirectory, folders["start"]);
    }

    void namesEachPlaceOnce() {
        // Started in the executable's own folder, as from the build tree.
        QCOMPARE(DeviateTableCandidates("/opt/q/bin", "/opt/q/bin"),
                 (QStringList{"/opt/q/bin/ndlist.txt", "/opt/q/share/quorvel/ndlist.txt"}));
        QCOMPARE(
            DeviateTableCandidates("/", "/usr/bin"),
            (QStringList{"//ndlist.txt", "/usr/bin/ndlist.txt", "/usr/share/quorvel/ndlist.txt"}));
    }

    void looksUpDeviates_data() {
        QTest::addColumn<double>("p");
        QTest::addColumn<double>("expected");
        // Element i holds i + 1000 so each lookup names its index.
        QTest::newRow("0.5 gives element 0") << 0.5 << 1000.0;
        QTest::newRow("0.9 gives element 400") << 0.9 << 1400.0;
        QTest::newRow("0.1 gives minus element 400") << 0.1 << -1400.0;
        QTest::newRow("0.999 gives element 499") << 0.999 << 1499.0;
        QTest::newRow("0.001 gives minus element 499") << 0.001 << -1499.0;
        QTest::newRow("0.9996 rounds to index 500, never loaded") << 0.9996 << 0.0;
        QTest::newRow("nearest thousandth") << 0.7504 << 1250.0;
        QTest::newRow("0.99 gives element 490") << 0.99 << 1490.0;
    }
    void looksUpDeviates() {
        QFETCH(double, p);
        QFETCH(double, expected);
        DeviateTable table{};
        for (int i = 0; i < kDeviateTableLoaded; ++i)
            table[i] = 1000.0 + i;
        QCOMPARE(DeviateAt(table, p), expected);
    }

    void refusesIndexBeyondTable() {
        DeviateTable table{};
        QVERIFY_THROWS_EXCEPTION(DataError, DeviateAt(table, 1.1));
        QVERIFY_THROWS_EXCEPTION(DataError, DeviateAt(table, -0.5));
        QCOMPARE(DeviateAt(table, 1.012), 0.0); // index 512, the last element
    }
};

QTEST_APPLESS_MAIN(TestDeviateTable)
#include "test_deviatetable.moc"
