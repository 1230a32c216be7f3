// STUB: replaced by the help, splash and about implementation.
#include "info/form9.h"
#include "info/frmabout.h"
#include "info/helptexts.h"

void FillHelpTexts(AppState&) {}
Form9::Form9(std::function<void()>, QWidget* parent)
    : QWidget(parent) {}
void Form9::Form_Load() {}
void Form9::Timer1_Timer() {}
frmAbout::frmAbout(Platform&, QWidget* parent)
    : QDialog(parent) {}
void StartSysInfo(Platform&, QWidget*) {}
bool GetKeyValue(RegistryService&, uint32_t, const QString&, const QString&, QString&) {
    return false;
}
