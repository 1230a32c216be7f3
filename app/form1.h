#pragma once

#include "analysis/appstate.h"
#include "platform/platform.h"

#include <QMainWindow>

class PrinterAccess;

// STUB: the main window.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    Form1(AppState& state, Platform& platform, PrinterAccess& printer, QWidget* parent = nullptr);
};
