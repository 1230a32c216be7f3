#pragma once

#include <QDialog>

#include <functional>

class PrinterAccess;

// The print position dialog: two lengths in millimetres, handed over as typed.
class Form2 : public QDialog {
    Q_OBJECT
public:
    using OffsetsSink = std::function<void(const QString& right, const QString& up)>;
    Form2(PrinterAccess& printer, OffsetsSink setOffsets, QWidget* parent = nullptr);
};
