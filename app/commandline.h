#pragma once

#include "formats/durations.h"
#include "formats/import.h"
#include "state/appstate.h"
#include "statistics/distributions.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <span>

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
    // Without --title an imported series is titled by its item, as the import window offers.
    bool titleGiven = false;
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
    // Batch: files[0] is an observation file, whose imported series is analysed.
    bool fromImport = false;
    // Batch: where the pages go (empty for none), the results on standard output, and as JSON.
    QString pdfOut;
    // OUT is a folder that takes one <base name>.pdf per file.
    bool pdfIntoFolder = false;
    bool results = false;
    bool json = false;
    // The CSV starts with a byte-order mark, which spreadsheets take for UTF-8.
    bool bom = false;
    // The candidate distributions with the results, and the target of their selection.
    bool distributions = false;
    Target target = kDefaultTarget;
    SelectionRule selectBy = SelectionRule::Jackknife;
    // The models' bootstrap, when asked for, with its settings.
    bool bootstrap = false;
    BootstrapSettings bootstrapSettings;
    BatchSettings settings;
    // Import: the annual series of files[0] goes to importOut. Batch from an import: how the
    // series is built.
    QString importOut;
    ImportOptions importOptions;
    // Import: the durations to build from a file of hourly, 10-minute or daily values (empty for
    // the annual import), the flow-duration values, the aggregation asked for and the stamps.
    QString durations;
    bool flowDuration = false;
    std::optional<DurationAggregate> durationAggregate;
    bool stampAtStart = false;
    // Batch: the T-year rainfall of each duration of one table and the intensity formulas, over
    // the durations of fitDurations (empty: every duration up to a day), with one model for
    // every duration when fixedModel is given.
    bool intensity = false;
    QString fitDurations;
    std::optional<ModelId> fixedModel;
    // Batch: where the study reports go (empty for none); OUT a folder for one per file.
    QString reportOut;
    bool reportIntoFolder = false;
    // --pdf: the compared curves the page carries; empty for the selected model alone, nothing
    // for no curves.
    std::optional<std::vector<ModelId>> curves;
    // UsageError: one line in Japanese.
    QString error;

    // The PDF that file's page goes to.
    QString pdfPathFor(const QString& file) const;
    // The PDF that file's report goes to.
    QString reportPathFor(const QString& file) const;
};

// The modes a run can be in. Without --pdf, --report, --results, --intensity and --import it
// opens the window; --pdf, --report and --results go together, and --import goes with any of
// them or with --intensity.
enum RunMode : uint8_t {
    kWindowMode = 1,
    kPdfMode = 2,
    kResultsMode = 4,
    kImportMode = 8,
    kIntensityMode = 16,
    kReportMode = 32,
    kEveryMode = 63,
};

// Where --help lists an option.
enum class HelpGroup { Options, ImportOptions };

// One option of the command line. The parser, both help texts and the rules of what goes with
// what are all made from the table of these.
struct CommandLineOption {
    const char* name = nullptr;
    const char* valueName = nullptr; // nullptr for a switch
    // One line of --help; nullptr lists the option on the line of the one before it.
    const char* japanese = nullptr;
    const char* english = nullptr;
    HelpGroup group = HelpGroup::Options;
    uint8_t selects = 0; // the mode the option itself puts the run in, 0 for none
    uint8_t modes = 0;   // the modes it may be given in
    // It needs one of these given too (which then stands for the modes), and none of those.
    std::array<const char*, 3> needs{};
    std::array<const char*, 2> excludes{};
    // Takes the value (or the switch) into the command; nullptr when the run's form does.
    void (*read)(const QString& value, CommandLine& command) = nullptr;
    const char* shortName = nullptr; // "h" for -h
};

std::span<const CommandLineOption> CommandLineOptions();

// Reads the arguments (the program's name first). Usage errors are found here, before any
// file is read or written.
CommandLine ParseCommandLine(const QStringList& arguments);

// --help: the interface in Japanese, then in English.
QString HelpText();
// --version.
QString VersionText();
// The line that follows a usage error.
QString UsageHint();
