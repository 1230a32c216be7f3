#include "app/form1.h"
#include "platform/qtplatform.h"
#include "platform/widgets.h"
#include "print/printjob.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    InstallFontSubstitutions();
    QtPlatform desktop;
    auto printer = MakeQtPrinterAccess(desktop.platform());
    AppState state;
    Form1 form(state, desktop.platform(), *printer);
    form.show();
    return application.exec();
}
