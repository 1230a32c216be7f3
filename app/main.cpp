#include "analysis/dataerror.h"
#include "app/form1.h"
#include "info/programicon.h"
#include "platform/qtplatform.h"
#include "platform/widgets.h"
#include "print/printjob.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    application.setApplicationName(kAppTitle);
    application.setApplicationVersion(QStringLiteral("4.2.1002"));
    // Qt's own dialogs and buttons speak Japanese like the rest of the program.
    QTranslator qtTranslation;
    if (qtTranslation.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"),
                           QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        application.installTranslator(&qtTranslation);
    InstallFontSubstitutions();
    application.setFont(JapaneseFont(kFacePGothic, 9));
    application.setWindowIcon(ProgramIcon());

    QtPlatform desktop;
    auto printer = MakeQtPrinterAccess(desktop.platform());
    AppState state;
    Form1 form(state, desktop.platform(), *printer);
    QObject::connect(
        &form, &Form1::programEnded, &application, [] { QApplication::exit(0); },
        Qt::QueuedConnection);
    try {
        form.Form_Load();
    } catch (const DataError& error) {
        desktop.platform().messages.showMessage(nullptr, error.message(), kAppTitle);
        return 1;
    }
    return application.exec();
}
