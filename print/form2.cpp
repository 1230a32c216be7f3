#include "print/form2.h"

#include "platform/commandguard.h"
#include "platform/widgets.h"
#include "print/printjob.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QLineEdit* AddLengthBox(QWidget* parent, const char* name, QRect geometry) {
    QLineEdit* box = AddTextBox(parent, name, geometry, parent->palette().color(QPalette::Light));
    box->setText(QStringLiteral("0"));
    return box;
}

} // namespace

Form2::Form2(PrinterAccess& printer, MessageService& messages, OffsetsSink setOffsets,
             QWidget* parent)
    : QDialog(parent)
    , printer_(printer)
    , messages_(messages)
    , setOffsets_(std::move(setOffsets)) {
    setObjectName(QStringLiteral("Form2"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(QStringLiteral("印刷位置の設定"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::ToolTipBase));
    colours.setColor(QPalette::WindowText, colours.color(QPalette::ToolTipText));
    setPalette(colours);
    setAutoFillBackground(true);

    auto* command1 = AddButton(this, "Command1", QStringLiteral("プリンタの設定"),
                               TwipsRect(240, 1680, 1572, 372));
    auto* command2 =
        AddButton(this, "Command2", QStringLiteral("設定終了"), TwipsRect(2160, 1680, 1452, 372));
    text1_ = AddLengthBox(this, "Text1", TwipsRect(2400, 480, 732, 264));
    text2_ = AddLengthBox(this, "Text2", TwipsRect(2400, 1200, 732, 264));
    AddLabel(this, "Label1", QStringLiteral("横方向へ動かす長さを入力してください"),
             TwipsRect(120, 120, 3252, 252));
    AddLabel(this, "Label2", QStringLiteral("mm"), TwipsRect(3120, 480, 612, 252));
    AddLabel(this, "Label3", QStringLiteral("縦方向に動かす長さを入力してください"),
             TwipsRect(120, 840, 3372, 252));
    AddLabel(this, "Label4", QStringLiteral("mm"), TwipsRect(3120, 1200, 612, 252));
    AddLabel(this, "Label5", QStringLiteral("（右が＋左が－）"), TwipsRect(960, 480, 1332, 252));
    AddLabel(this, "Label6", QStringLiteral("（上が＋下が－）"), TwipsRect(960, 1200, 1332, 252));
    // The "mm" labels sit just right of the boxes they follow.
    text1_->raise();
    text2_->raise();

    setTabOrder(command1, command2);
    setTabOrder(command2, text1_);
    setTabOrder(text1_, text2_);
    connect(command1, &QPushButton::clicked, this,
            Guarded(messages_, this, &Form2::Command1_Click));
    connect(command2, &QPushButton::clicked, this,
            Guarded(messages_, this, &Form2::Command2_Click));

    SetFixedClientSize(this, 3885, 2205);
    Form_Load();
}

void Form2::Form_Load() {
    CentreOnScreen(this);
    text1_->setFocus();
}

void Form2::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Centred again once the frame is known, and the typing starts in the horizontal box.
    if (!centred_) {
        centred_ = true;
        CentreOnScreen(this);
    }
    text1_->setFocus();
}

void Form2::Command1_Click() {
    // A cancelled printer dialog changes nothing and leaves this dialog open.
    printer_.ShowPrinterDialog(this);
}

void Form2::Command2_Click() {
    // A shift that would put the grid off the sheet is said now, while the boxes are open to
    // mend it, rather than at the next print.
    CheckPrintOffsets(ReadPrintOffset(text1_->text()), ReadPrintOffset(text2_->text()));
    if (setOffsets_)
        setOffsets_(text1_->text(), text2_->text());
    close();
}
