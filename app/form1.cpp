#include "app/form1.h"

Form1::Form1(AppState&, Platform&, PrinterAccess&, QWidget* parent)
    : QMainWindow(parent) {}
