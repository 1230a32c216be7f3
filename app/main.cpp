#include "app/batchrun.h"
#include "app/commandline.h"
#include "app/form1.h"
#include "formats/filename.h"
#include "info/programicon.h"
#include "platform/qtplatform.h"
#include "platform/widgets.h"
#include "print/printjob.h"
#include "statistics/dataerror.h"
#include "statistics/numeric.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

#include <cstdio>

namespace {

int RunWindow(int& argc, char** argv, const QString& file) {
    QApplication application(argc, argv);
    ClearUpperVectorState();
    application.setApplicationName(kAppTitle);
    application.setApplicationVersion(QStringLiteral(QUORVEL_VERSION));
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
    // Once the window is up, so that a failure's message box stands in front of it.
    if (!file.isEmpty())
        QTimer::singleShot(0, &form, [&form, file] { form.OpenDataFile(file); });
    return application.exec();
}

void Print(FILE* stream, const QString& text) {
    std::fputs(text.toUtf8().constData(), stream);
}

} // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << DecodeFileName(argv[i]);
    const CommandLine command = ParseCommandLine(arguments);
    switch (command.action) {
    case CommandLine::Action::Help:
        Print(stdout, HelpText());
        return 0;
    case CommandLine::Action::Version:
        Print(stdout, VersionText());
        return 0;
    case CommandLine::Action::UsageError:
        Print(stderr,
              QStringLiteral("quorvel: ") + command.error + QLatin1Char('\n') + UsageHint());
        return 2;
    case CommandLine::Action::Batch:
        return RunBatchProcess(argc, argv, command);
    case CommandLine::Action::Import:
        return RunImportProcess(argc, argv, command);
    case CommandLine::Action::Window:
        break;
    }
    return RunWindow(argc, argv, command.files.value(0));
}
