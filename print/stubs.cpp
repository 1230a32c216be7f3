// STUB: replaced by the print job implementation.
#include "print/form2.h"
#include "print/printjob.h"

namespace {
class NoPrinter : public PrinterAccess {
public:
    bool ShowPrinterDialog(QWidget*) override { return false; }
};
} // namespace

std::unique_ptr<PrinterAccess> MakeQtPrinterAccess(Platform&) {
    return std::make_unique<NoPrinter>();
}
bool PrintChart(AppState&, PrinterAccess&, const QString&, const QString&, QWidget*) {
    return false;
}
Form2::Form2(PrinterAccess&, OffsetsSink, QWidget* parent)
    : QDialog(parent) {}
