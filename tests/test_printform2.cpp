// The print position dialog, driven by object name without waiting on any real dialog.
#include "platform/widgets.h"
#include "print/form2.h"
#include "print/printjob.h"

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
    bool PrintPage(QWidget*, const std::function<void(QPagedPaintDevice&)>&) override {
        return false;
    }
};

struct Handed {
    int calls = 0;
    QString right;
    QString up;
};

QPointer<Form2> OpenDialog(FakePrinterAccess& printer, Handed& handed) {
    return new Form2(printer, [&handed](const QString& right, const QString& up) {
        ++handed.calls;
        handed.right = right;
        handed.up = up;
    });
}

void DeleteLater() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestPrintForm2 : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallFontSubstitutions(); }
    void controls_data();
    void controls();
    void finishHandsTextsOver_data();
    void finishHandsTextsOver();
    void freshDialogStartsAtZero();
    void closeBoxHandsNothing();
    void printerButton_data();
    void printerButton();
};

void TestPrintForm2::controls_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("Command1") << "Command1"
                              << "プリンタの設定";
    QTest::newRow("Command2") << "Command2"
                              << "設定終了";
    QTest::newRow("Text1") << "Text1"
                           << "0";
    QTest::newRow("Text2") << "Text2"
                           << "0";
    QTest::newRow("Label1") << "Label1"
                            << "横方向へ動かす長さを入力してください";
    QTest::newRow("Label2") << "Label2"
                            << "mm";
    QTest::newRow("Label3") << "Label3"
                            << "縦方向に動かす長さを入力してください";
    QTest::newRow("Label4") << "Label4"
                            << "mm";
    QTest::newRow("Label5") << "Label5"
                            << "（右が＋左が－）";
    QTest::newRow("Label6") << "Label6"
                            << "（上が＋下が－）";
}

void TestPrintForm2::controls() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    FakePrinterAccess printer;
    Handed handed;
    QPointer<Form2> dialog = OpenDialog(printer, handed);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("印刷位置の設定"));
    QVERIFY(!dialog->isModal());
    QVERIFY(dialog->testAttribute(Qt::WA_DeleteOnClose));
    QCOMPARE(dialog->minimumSize(), dialog->maximumSize());

    QWidget* control = dialog->findChild<QWidget*>(name);
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
    QTest::newRow("5 and -3") << "5"
                              << "-3";
    QTest::newRow("unchanged text") << " 2.5mm"
                                    << "abc";
    QTest::newRow("nothing typed") << ""
                                   << "";
}

void TestPrintForm2::finishHandsTextsOver() {
    QFETCH(QString, right);
    QFETCH(QString, up);
    FakePrinterAccess printer;
    Handed handed;
    QPointer<Form2> dialog = OpenDialog(printer, handed);
    dialog->show();
    QCOMPARE(QApplication::focusWidget() ? QApplication::focusWidget()->objectName()
                                         : dialog->focusWidget()->objectName(),
             QStringLiteral("Text1"));

    auto* text1 = dialog->findChild<QLineEdit*>(QStringLiteral("Text1"));
    auto* text2 = dialog->findChild<QLineEdit*>(QStringLiteral("Text2"));
    text1->clear();
    QTest::keyClicks(text1, right);
    text2->clear();
    QTest::keyClicks(text2, up);
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);

    QCOMPARE(handed.calls, 1);
    QCOMPARE(handed.right, right);
    QCOMPARE(handed.up, up);
    QVERIFY(!dialog || !dialog->isVisible());
    DeleteLater();
    QVERIFY(dialog.isNull());
}

void TestPrintForm2::freshDialogStartsAtZero() {
    FakePrinterAccess printer;
    Handed handed;
    QPointer<Form2> first = OpenDialog(printer, handed);
    first->findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("5"));
    first->findChild<QPushButton*>(QStringLiteral("Command2"))->click();
    DeleteLater();
    QCOMPARE(handed.right, QStringLiteral("5"));

    QPointer<Form2> second = OpenDialog(printer, handed);
    QCOMPARE(second->findChild<QLineEdit*>(QStringLiteral("Text1"))->text(), QStringLiteral("0"));
    QCOMPARE(second->findChild<QLineEdit*>(QStringLiteral("Text2"))->text(), QStringLiteral("0"));
    delete second;
}

void TestPrintForm2::closeBoxHandsNothing() {
    FakePrinterAccess printer;
    Handed handed;
    QPointer<Form2> dialog = OpenDialog(printer, handed);
    dialog->show();
    dialog->findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("7"));
    QVERIFY(dialog->close());
    DeleteLater();
    QCOMPARE(handed.calls, 0);
    QVERIFY(dialog.isNull());
}

void TestPrintForm2::printerButton_data() {
    QTest::addColumn<bool>("accepted");
    QTest::newRow("cancelled") << false;
    QTest::newRow("chosen") << true;
}

void TestPrintForm2::printerButton() {
    QFETCH(bool, accepted);
    FakePrinterAccess printer;
    printer.answer = accepted;
    Handed handed;
    QPointer<Form2> dialog = OpenDialog(printer, handed);
    dialog->show();
    dialog->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    DeleteLater();
    QCOMPARE(printer.dialogs, 1);
    // Either way the position dialog stays open and hands nothing over.
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QCOMPARE(handed.calls, 0);
    delete dialog;
}

QTEST_MAIN(TestPrintForm2)
#include "test_printform2.moc"
