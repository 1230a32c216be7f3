#pragma once

#include "state/appstate.h"
#include "statistics/distributions.h"
#include "formats/import.h"

#include <QString>
#include <QStringList>

#include <cstdint>

// The settings a batch run gives every file; unless the command line says otherwise, those of
// the window's first load.
struct BatchSettings {
    // Alpha, scale, mode, widths and title; the offsets below replace the print offsets.
    ChartSettings chart = FirstLoadSettings();
    // A given alpha is held to the bound "再計算" applies; the default goes as the window's
    // first load takes it.
    bool alphaGiven = false;
    // Without --scale each file takes the scale the window's first load would give it.
    bool scaleGiven = false;
    // As the offset boxes hold them, in millimetres.
    QString offsetRight = QStringLiteral("0");
    QString offsetUp = QStringLiteral("0");

    static ChartSettings FirstLoadSettings();
};

struct CommandLine {
    enum class Action { Window, Batch, Import, Help, Version, UsageError };
    Action action = Action::Window;
    // Window: at most one, made absolute. Batch: one or more, as given.
    QStringList files;
    // Batch: where the pages go (empty for none), the results on standard output, and as JSON.
    QString pdfOut;
    // OUT is a folder that takes one <base name>.pdf per file.
    bool pdfIntoFolder = false;
    bool results = false;
    bool json = false;
    // The candidate distributions with the results, and the target of their selection.
    bool distributions = false;
    Target target = kDefaultTarget;
    BatchSettings settings;
    // Import: the annual series of files[0] goes to importOut.
    QString importOut;
    ImportOptions importOptions;
    // UsageError: one line in Japanese.
    QString error;

    // The PDF that file's page goes to.
    QString pdfPathFor(const QString& file) const;
};

// Reads the arguments (the program's name first). Usage errors are found here, before any
// file is read or written.
CommandLine ParseCommandLine(const QStringList& arguments);

// --help: the interface in Japanese, then in English.
QString HelpText();
// --version.
QString VersionText();
// The line that follows a usage error.
QString UsageHint();
