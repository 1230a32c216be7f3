#pragma once

#include <QDialog>

#include <functional>

class MessageService;
class PrinterAccess;
class QLineEdit;

// The print position dialog: two lengths in millimetres, handed over as typed. Modeless; it
// deletes itself when closed, so every opening starts from "0" and "0".
class Form2 : public QDialog {
    Q_OBJECT
public:
    using OffsetsSink = std::function<void(const QString& right, const QString& up)>;
    Form2(PrinterAccess& printer, MessageService& messages, OffsetsSink setOffsets,
          QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    void Command1_Click();
    void Command2_Click();

    PrinterAccess& printer_;
    MessageService& messages_;
    OffsetsSink setOffsets_;
    QLineEdit* text1_ = nullptr;
    QLineEdit* text2_ = nullptr;
    bool centred_ = false;
};
