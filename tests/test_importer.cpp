#include "agencyfile.h"
#include "fakeplatform.h"
#include "importer/frmimport.h"
#include "testhelpers.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

namespace {

struct FakeImportHost : ImportHost {
    QString editorText;
    QString axisTitle;
    bool accepts = true;
    bool ImportOpenInEditor(const QString& text, const QString& title) override {
        editorText = text;
        axisTitle = title;
        return accepts;
    }
};

struct Window {
    FakePlatform fake;
    FakeImportHost host;
    frmImport form{fake.platform, host};
    QTemporaryDir dir;

    explicit Window(const QByteArray& bytes) {
        fake.files.openAnswers << WriteFile(dir, QStringLiteral("daily.csv"), bytes);
        Child<QPushButton>(&form, QStringLiteral("FileButton"))->click();
    }
    QTableWidget* table() const {
        return Child<QTableWidget>(&form, QStringLiteral("ResultTable"));
    }
    // Year, value and valid count of every row, as the table shows them.
    QStringList rows() const {
        QStringList shown;
        for (int row = 0; row < table()->rowCount(); ++row)
            shown << QStringLiteral("%1 %2 %3")
                         .arg(table()->item(row, 0)->text(), table()->item(row, 1)->text(),
                              table()->item(row, 2)->text());
        return shown;
    }
};

} // namespace

class TestImporter : public QObject {
    Q_OBJECT
private slots:
    // Every choice updates the table at once.
    void choicesFollowAtOnce_data() {
        QTest::addColumn<int>("aggregate");
        QTest::addColumn<int>("yearStart");
        QTest::addColumn<double>("coverage");
        QTest::addColumn<int>("from");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("detected defaults")
            << 0 << 0 << 80.0 << 999
            << QStringList{"1999  2/365", "2000 126 364/366", "2001 57.9 292/365"};
        QTest::newRow("largest two days")
            << 2 << 0 << 80.0 << 999
            << QStringList{"1999  2/365", "2000 55.5 364/366", "2001 57.9 292/365"};
        QTest::newRow("fiscal year, no share asked")
            << 0 << 3 << 0.0 << 999
            << QStringList{"1999 86 93/366", "2000 40 332/365", "2001 57.9 233/365"};
        QTest::newRow("from 2001") << 1 << 0 << 80.0 << 2001 << QStringList{"2001 45.6 292/365"};
    }
    void choicesFollowAtOnce() {
        QFETCH(int, aggregate);
        QFETCH(int, yearStart);
        QFETCH(double, coverage);
        QFETCH(int, from);
        Window window(HandWorkedDailyFile());
        QCOMPARE(window.fake.messages.shown.size(), 0);
        Child<QComboBox>(&window.form, QStringLiteral("Aggregate"))->setCurrentIndex(aggregate);
        Child<QComboBox>(&window.form, QStringLiteral("YearStart"))->setCurrentIndex(yearStart);
        Child<QDoubleSpinBox>(&window.form, QStringLiteral("Coverage"))->setValue(coverage);
        Child<QSpinBox>(&window.form, QStringLiteral("FromYear"))->setValue(from);
        QTEST(window.rows(), "rows");
        QCOMPARE(window.table()->horizontalHeaderItem(2)->text(), QStringLiteral("有効日数"));
    }

    void editorButtonHandsTheSeriesOver() {
        Window window(HandWorkedDailyFile());
        auto* button = Child<QPushButton>(&window.form, QStringLiteral("EditorButton"));
        QVERIFY(button->isEnabled());
        button->click();
        QCOMPARE(window.host.editorText, QStringLiteral("   2000   126\r\n   2001   57.9"));
        QCOMPARE(window.host.axisTitle, QStringLiteral("降水量の合計　(mm)"));
    }

    // A choice the file cannot give is told in the status line and nothing can be handed over.
    void impossibleChoiceDisablesTheHandOver() {
        Window window("2000/1,1\n2000/2,2\n");
        Child<QComboBox>(&window.form, QStringLiteral("Aggregate"))->setCurrentIndex(2);
        QVERIFY(!Child<QPushButton>(&window.form, QStringLiteral("EditorButton"))->isEnabled());
        QVERIFY(Child<QLabel>(&window.form, QStringLiteral("Status"))
                    ->text()
                    .contains(QStringLiteral("日ごとの値からだけ")));
        QCOMPARE(window.table()->rowCount(), 0);
        QCOMPARE(window.fake.messages.shown.size(), 0);
    }

    // A value column chosen for a file stays through a change of date column but not into the
    // next file, whose own first column of numbers is taken.
    void nextFileTakesItsOwnValueColumn_data() {
        QTest::addColumn<bool>("choose");
        QTest::newRow("first file's default") << false;
        QTest::newRow("first file's choice") << true;
    }
    void nextFileTakesItsOwnValueColumn() {
        QFETCH(bool, choose);
        Window window("2000/1/1,5,1\n2000/1/2,6,2\n");
        auto* value = Child<QComboBox>(&window.form, QStringLiteral("ValueColumn"));
        QCOMPARE(value->currentData().toInt(), 1);
        if (choose)
            value->setCurrentIndex(value->findData(2));
        Child<QComboBox>(&window.form, QStringLiteral("DateColumn"))->setCurrentIndex(1);
        QCOMPARE(value->currentData().toInt(), choose ? 2 : 1);
        // Column 1 of the next file holds a note, not numbers.
        window.fake.files.openAnswers
            << WriteFile(window.dir, QStringLiteral("next.csv"), "2000/1/1,x,7\n2000/1/2,y,8\n");
        Child<QPushButton>(&window.form, QStringLiteral("FileButton"))->click();
        QCOMPARE(value->currentData().toInt(), 2);
    }

    void unreadableFileIsToldAndTheShownOneStays() {
        Window window(HandWorkedDailyFile());
        window.fake.files.openAnswers
            << WriteFile(window.dir, QStringLiteral("bad.bin"), QByteArray("\0\1", 2));
        Child<QPushButton>(&window.form, QStringLiteral("FileButton"))->click();
        QCOMPARE(window.fake.messages.shown.size(), 1);
        QVERIFY(window.fake.messages.shown[0].text.contains(
            QStringLiteral("テキストファイルではありません")));
        QCOMPARE(window.table()->rowCount(), 3);
    }
};

QTEST_MAIN(TestImporter)
#include "test_importer.moc"
