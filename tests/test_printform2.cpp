// The print position dialog, driven by object name without waiting on any real dialog.
#include "fakeplatform.h"
#include "platform/widgets.h"
#include "print/form2.h"
#include "print/printjob.h"
#include "testhelpers.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

namespace {

class FakePrinterAccess : public PrinterAccess {
public:
    int dialogs = 0;
    bool answer = false;
    bool ShowPrinterDialog(QWidget*) override {
        ++dialogs;
        return answer;
    }
    bool PrintPage(QWidget*, const QString&, const QStringList&,
                   const std::function<void(QPagedPaintDevice&)>&) override {
        return false;
    }
};

struct Handed {
    int calls = 0;
    QString right;
    QString up;
};

// A printer double and what the dialogs it opens hand over on finishing.
struct Harness {
    FakePrinterAccess printer;
    FakeMessages messages;
    Handed handed;
    QPointer<Form2> open() {
        return new Form2(printer, messages, [this](const QString& right, const QString& up) {
            ++handed.calls;
            handed.right = right;
            handed.up = up;
        });
    }
};

} // namespace

class TestPrintForm2 : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallFontSubstitutions(); }
    void controls_data();
    void controls();
    void finishHandsTextsOver_data();
    void finishHandsTextsOver();
    void shiftOffTheSheetKeepsTheDialog_data();
    void shiftOffTheSheetKeepsTheDialog();
    void freshDialogStartsAtZero();
    void closeBoxHandsNothing();
    void printerButton_data();
    void printerButton();
};

void TestPrintForm2::controls_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    const std::pair<const char*, const char*> rows[] = {
        {"Command1", "プリンタの設定"},
        {"Command2", "設定終了"},
        {"Text1", "0"},
        {"Text2", "0"},
        {"Label1", "横方向へ動かす長さを入力してください"},
        {"Label2", "mm"},
        {"Label3", "縦方向に動かす長さを入力してください"},
        {"Label4", "mm"},
        {"Label5", "（右が＋左が－）"},
        {"Label6", "（上が＋下が－）"},
    };
    for (const auto& [name, text] : rows)
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromUtf8(text);
}

void TestPrintForm2::controls() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    Harness h;
    QPointer<Form2> dialog = h.open();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("印刷位置の設定"));
    QVERIFY(!dialog->isModal());
    QCOMPARE(dialog->minimumSize(), dialog->maximumSize());

    auto* control = Child<QWidget>(dialog, name);
    QVERIFY(control);
    if (auto* button = qobject_cast<QPushButton*>(control))
        QCOMPARE(button->text(), text);
    else if (auto* box = qobject_cast<QLineEdit*>(control)) {
        QCOMPARE(box->text(), text);
        QVERIFY(box->alignment() & Qt::AlignRight);
    } else
        QCOMPARE(qobject_cast<QLabel*>(control)->text(), text);
    delete dialog;
}

void TestPrintForm2::finishHandsTextsOver_data() {
    QTest::addColumn<QString>("right");
    QTest::addColumn<QString>("up");
    QTest::newRow("5 and -3") << QStringLiteral("5") << QStringLiteral("-3");
    QTest::newRow("unchanged text") << QStringLiteral(" 2.5mm") << QStringLiteral("abc");
    QTest::newRow("nothing typed") << QString() << QString();
}

void TestPrintForm2::finishHandsTextsOver() {
    QFETCH(QString, right);
    QFETCH(QString, up);
    Harness h;
    QPointer<Form2> dialog = h.open();
    dialog->show();
    QCOMPARE(QApplication::focusWidget() ? QApplication::focusWidget()->objectName()
                                         : dialog->focusWidget()->objectName(),
             QStringLiteral("Text1"));

    auto* text1 = Child<QLineEdit>(dialog, QStringLiteral("Text1"));
    auto* text2 = Child<QLineEdit>(dialog, QStringLiteral("Text2"));
    text1->clear();
    QTest::keyClicks(text1, right);
    text2->clear();
    QTest::keyClicks(text2, up);
    QTest::mouseClick(Child<QPushButton>(dialog, QStringLiteral("Command2")), Qt::LeftButton);

    QCOMPARE(h.handed.calls, 1);
    QCOMPARE(h.handed.right, right);
    QCOMPARE(h.handed.up, up);
    QVERIFY(!dialog || !dialog->isVisible());
    RunDeferredDeletes();
    QVERIFY(dialog.isNull());
}

void TestPrintForm2::shiftOffTheSheetKeepsTheDialog_data() {
    QTest::addColumn<QString>("right");
    QTest::addColumn<QString>("up");
    QTest::newRow("far right") << QStringLiteral("300") << QStringLiteral("0");
    QTest::newRow("far down") << QStringLiteral("0") << QStringLiteral("-400");
    QTest::newRow("too large to read") << QStringLiteral("1e300") << QStringLiteral("0");
}

// The texts stay in the boxes to be mended, and nothing reaches the main window.
void TestPrintForm2::shiftOffTheSheetKeepsTheDialog() {
    QFETCH(QString, right);
    QFETCH(QString, up);
    Harness h;
    QPointer<Form2> dialog = h.open();
    dialog->show();
    Child<QLineEdit>(dialog, QStringLiteral("Text1"))->setText(right);
    Child<QLineEdit>(dialog, QStringLiteral("Text2"))->setText(up);
    Child<QPushButton>(dialog, QStringLiteral("Command2"))->click();
    QCOMPARE(h.messages.shown.size(), 1);
    QCOMPARE(h.handed.calls, 0);
    QVERIFY(dialog && dialog->isVisible());
    QCOMPARE(Child<QLineEdit>(dialog, QStringLiteral("Text1"))->text(), right);
    delete dialog;
}

void TestPrintForm2::freshDialogStartsAtZero() {
    Harness h;
    QPointer<Form2> first = h.open();
    Child<QLineEdit>(first, QStringLiteral("Text1"))->setText(QStringLiteral("5"));
    Child<QPushButton>(first, QStringLiteral("Command2"))->click();
    RunDeferredDeletes();
    QCOMPARE(h.handed.right, QStringLiteral("5"));

    QPointer<Form2> second = h.open();
    QCOMPARE(Child<QLineEdit>(second, QStringLiteral("Text1"))->text(), QStringLiteral("0"));
    QCOMPARE(Child<QLineEdit>(second, QStringLiteral("Text2"))->text(), QStringLiteral("0"));
    delete second;
}

void TestPrintForm2::closeBoxHandsNothing() {
    Harness h;
    QPointer<Form2> dialog = h.open();
    dialog->show();
    Child<QLineEdit>(dialog, QStringLiteral("Text1"))->setText(QStringLiteral("7"));
    QVERIFY(dialog->close());
    RunDeferredDeletes();
    QCOMPARE(h.handed.calls, 0);
    QVERIFY(dialog.isNull());
}

void TestPrintForm2::printerButton_data() {
    QTest::addColumn<bool>("accepted");
    QTest::newRow("cancelled") << false;
    QTest::newRow("chosen") << true;
}

void TestPrintForm2::printerButton() {
    QFETCH(bool, accepted);
    Harness h;
    h.printer.answer = accepted;
    QPointer<Form2> dialog = h.open();
    dialog->show();
    Child<QPushButton>(dialog, QStringLiteral("Command1"))->click();
    RunDeferredDeletes();
    QCOMPARE(h.printer.dialogs, 1);
    // Either way the position dialog stays open and hands nothing over.
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QCOMPARE(h.handed.calls, 0);
    delete dialog;
}

QTEST_MAIN(TestPrintForm2)
#include "test_printform2.moc"
