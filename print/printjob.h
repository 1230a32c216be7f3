#pragma once

#include "analysis/appstate.h"
#include "platform/platform.h"

#include <QString>

#include <memory>

class QWidget;

// Where printed pages go: the printer chosen in the printer dialog, or a PDF file when the
// machine has no printer.
class PrinterAccess {
public:
    virtual ~PrinterAccess() = default;
    // The platform's printer dialog; false when cancelled. The choice is kept for the next print.
    virtual bool ShowPrinterDialog(QWidget* parent) = 0;
};

std::unique_ptr<PrinterAccess> MakeQtPrinterAccess(Platform& platform);

// Prints the chart on one A4 page. text7 and text8 are the offset boxes' texts in millimetres.
// Returns false when the user cancelled; throws DataError with a message when printing fails.
bool PrintChart(AppState& state, PrinterAccess& printer, const QString& text7, const QString& text8,
                QWidget* parent);
