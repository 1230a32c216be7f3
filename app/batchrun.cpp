#include "app/batchrun.h"

#include "app/commandline.h"
#include "app/resultfields.h"
#include "formats/deviatetable.h"
#include "formats/durations.h"
#include "formats/filename.h"
#include "formats/import.h"
#include "formats/inputfile.h"
#include "formats/stepfile.h"
#include "platform/checkedfile.h"
#include "platform/commandguard.h"
#include "platform/qtplatform.h"
#include "platform/samefile.h"
#include "platform/widgets.h"
#include "print/printjob.h"
#include "report/report.h"
#include "state/intensityfields.h"
#include "state/loading.h"
#include "state/seriesnotes.h"
#include "statistics/dataerror.h"
#include "statistics/intensity.h"
#include "statistics/numeric.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <unistd.h>

namespace {

// A message box's text on one line of standard error. The loader repeats the file's name on
// a line of its own; the line already starts with it.
QString OneLine(const QString& message, const QString& file) {
    QStringList parts;
    for (const QString& line : message.split(QLatin1Char('\n'))) {
        // Whatever a message quotes, nothing in it reaches the terminal as a control.
        const QString text = EscapeControls(line.trimmed());
        if (!text.isEmpty() && text != file)
            parts << text;
    }
    return parts.join(QLatin1Char(' '));
}

void Fail(QTextStream& err, const QString& file, const QString& message) {
    const QString shown = DisplayFileName(file);
    err << "quorvel: " << shown << ": " << OneLine(message, shown) << '\n';
    err.flush();
}

// --results --json: an array with one object a line, each printed as soon as its file is done,
// so memory stays flat however many files there are and a stopped run keeps what it printed.
class JsonArrayStream {
public:
    explicit JsonArrayStream(QTextStream& out)
        : out_(out) {
        out_ << "[\n";
        out_.flush();
    }
    void append(const QJsonObject& object) {
        if (count_++ > 0)
            out_ << ",\n";
        out_ << QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
        out_.flush();
    }
    void finish() { out_ << (count_ > 0 ? "\n]\n" : "]\n"); }

private:
    QTextStream& out_;
    qsizetype count_ = 0;
};

void Warn(QTextStream& err, const QString& file, const QString& message) {
    err << "quorvel: " << DisplayFileName(file) << ": 注意：" << message << '\n';
    err.flush();
}

// Each year the import left out, as a warning: the series is built all the same.
// The curves --curves asks for, on the page as the window's ticks put them there; a model the
// series cannot take is told with its reason.
void ShowAskedCurves(const std::vector<ModelId>& asked, AppState& state, QTextStream& err,
                     const QString& file) {
    state.compared.show = true;
    state.compared.chosen = !asked.empty();
    state.compared.models = asked;
    const DistributionComparison& models = state.study.models;
    if (asked.empty() && !models.selected)
        Warn(err, file,
             QStringLiteral(
                 "SLSC が 0.04 以下の分布がないため、選定された分布の曲線は描きません。"));
    for (const ModelId id : asked)
        if (!models.model(id).applicable())
            Warn(err, file,
                 QStringLiteral("%1はこの系列に当てはめられないため描きません：%2")
                     .arg(ModelName(id), models.model(id).model.problem()));
}

void WarnLeftOutYears(QTextStream& err, const QString& file, const AnnualSeries& series) {
    for (const AnnualRow& row : series.rows)
        if (!row.included)
            Warn(err, file, QStringLiteral("%1 年を除きました（%2）").arg(row.year).arg(row.note));
}

// Why the reports cannot be written where the command sends them, checked before any file is
// read: a folder that is not there or may not be written, a report that would replace an input
// or a page of the same run, two files whose reports share a name. Empty when none.
QString ReportTargetProblem(const CommandLine& command, const InputFiles& inputs) {
    const QString folder = command.reportIntoFolder
                               ? command.reportOut
                               : QFileInfo(AbsoluteFileName(command.reportOut)).absolutePath();
    const QFileInfo info(folder);
    if (!info.isDir())
        return QStringLiteral("--report の出力先のフォルダ「%1」がありません。先にフォルダを"
                              "作ってください。")
            .arg(DisplayFileName(folder));
    if (access(EncodeFileName(folder).constData(), W_OK | X_OK) != 0)
        return QStringLiteral("--report の出力先のフォルダ「%1」には書き込めません（書き込みの"
                              "権限がありません）。")
            .arg(DisplayFileName(folder));
    QSet<QByteArray> taken;
    if (!command.pdfOut.isEmpty())
        for (const QString& file : command.files)
            taken.insert(FileIdentity(command.pdfPathFor(file)));
    for (const QString& file : command.files) {
        const QString report = command.reportPathFor(file);
        try {
            inputs.RefuseOverwriting(report);
        } catch (const DataError& error) {
            return error.message();
        }
        const QByteArray identity = FileIdentity(report);
        if (taken.contains(identity))
            return QStringLiteral("報告書の出力先「%1」がほかの出力と重なります。別の名前にして"
                                  "ください。")
                .arg(DisplayFileName(report));
        taken.insert(identity);
    }
    return {};
}

bool WantsDurations(const CommandLine& command) {
    return !command.durations.isEmpty() || command.flowDuration;
}

QByteArray FileHead(const QString& file) {
    return ReadInputFileHead(file, 16384);
}

// The duration table an observation file gives with the command's durations.
DurationTable BuildDurationTable(const CommandLine& command, const QString& file,
                                 QTextStream& err) {
    StepReadOptions read;
    read.stampAtStart = command.stampAtStart;
    read.valueColumn = command.importOptions.valueColumn;
    const StepSeries steps = ReadStepFile(file, read);
    for (const QString& warning : StepReadWarnings(steps))
        Warn(err, file, warning);
    DurationOptions options;
    if (!command.durations.isEmpty())
        options.durations = ParseDurationList(command.durations, steps.stepMinutes);
    if (command.flowDuration)
        options.durations += FlowDurations();
    options.aggregate = command.durationAggregate;
    options.crossYear = command.importOptions.crossYear;
    options.yearStartMonth = command.importOptions.yearStartMonth;
    options.coverage = command.importOptions.coverage;
    options.fromYear = command.importOptions.fromYear;
    options.toYear = command.importOptions.toYear;
    DurationTable table = BuildDurations(steps, options, file);
    for (const DurationSeries& series : table.series)
        for (const DurationYear& year : series.years)
            if (!year.included)
                Warn(err, file,
                     QStringLiteral("%1：%2 年を除きました（%3）")
                         .arg(series.duration.label)
                         .arg(year.year)
                         .arg(year.note));
    return table;
}

// A file of hourly or river-database values given without --durations: the annual import
// would not find its dates.
void RefuseStepFileWithoutDurations(const QString& file) {
    if (IsStepFile(FileHead(file)))
        throw DataError(QStringLiteral("時刻ごとの値か水文水質データベースのファイルです。"
                                       "--durations で継続時間を指定してください（例 "
                                       "--durations 1h,24h）。"));
}

// One series of a run: a plain file's, or one duration's with its label.
struct RunSeries {
    QString duration;
    std::optional<SeriesData> series; // nothing: the data file itself is loaded
};

QList<RunSeries> SeriesOfFile(const CommandLine& command, const QString& file, QTextStream& err) {
    QList<RunSeries> runs;
    if (command.fromImport && WantsDurations(command)) {
        const DurationTable table = BuildDurationTable(command, file, err);
        for (qsizetype i = 0; i < table.series.size(); ++i)
            runs << RunSeries{table.series[i].duration.label, DurationSeriesData(table, int(i))};
        return runs;
    }
    if (!command.fromImport && IsDurationTable(FileHead(file))) {
        const DurationTableFile table = ReadDurationTable(file);
        for (qsizetype i = 0; i < table.labels.size(); ++i)
            runs << RunSeries{table.labels[i], table.series[i]};
        return runs;
    }
    return {RunSeries{}};
}

// The observation file's annual series, loaded as a data file's would be.
void LoadImportedSeries(const CommandLine& command, const QString& file, AppState& state,
                        QTextStream& err) {
    RefuseStepFileWithoutDurations(file);
    const AnnualSeries annual = BuildAnnualSeries(ReadImportSource(file), command.importOptions);
    WarnLeftOutYears(err, file, annual);
    if (annual.includedCount() == 0)
        throw DataError(QStringLiteral("取り込める年がありません。"));
    // The page names what was imported, as the import window offers for the editor.
    if (!command.settings.titleGiven && !annual.valueColumn.item.isEmpty())
        state.settings.axisTitle = ImportedAxisTitle(annual, command.importOptions);
    LoadSeries(state, ImportedSeriesData(annual, command.importOptions, file));
}

// One file from its load to its output. Throws DataError when any step fails.
void ProcessFile(const CommandLine& command, const QString& file, AppState& state, QTextStream& out,
                 QTextStream& err, const InputFiles& inputs, std::optional<JsonArrayStream>& json,
                 bool durationColumn) {
    const QList<RunSeries> runs = SeriesOfFile(command, file, err);
    if (runs.size() > 1 && (!command.pdfOut.isEmpty() || !command.reportOut.isEmpty()))
        throw DataError(QStringLiteral("継続時間が %1 つあります。%2 では一つの継続時間だけを"
                                       "出力できます（--durations で一つにしてください）。")
                            .arg(runs.size())
                            .arg(command.pdfOut.isEmpty() ? QStringLiteral("--report")
                                                          : QStringLiteral("--pdf")));
    // Each duration of a table is a series of its own: one that cannot be analysed is told with
    // its duration, and the others are still reported.
    QStringList failedDurations;
    for (const RunSeries& run : runs) {
        try {
            state.settings = command.settings.chart;
            state.settings.target = command.target;
            state.settings.selectBy = command.selectBy;
            state.settings.bootstrap = command.bootstrapSettings;
            state.dataFileName = file;
            if (run.series)
                LoadSeries(state, *run.series);
            else if (command.fromImport)
                LoadImportedSeries(command, file, state, err);
            else
                LoadDataFile(state);
            // Without --scale, the scale the window's first load gives this series.
            if (!command.settings.scaleGiven) {
                const ScalePair scale = FittingScale(state.study.series);
                state.settings.scaleMinIndex = scale.minIndex;
                state.settings.scaleMaxIndex = scale.maxIndex;
            }
            const int records = state.study.series.recordCount;
            if (command.settings.alphaGiven && state.settings.alpha > MaxAlphaFor(records))
                throw DataError(AlphaTooLargeText(state.settings.alpha, records));
            // Warnings: the file is processed all the same.
            // The years an import left out were told with its reasons; only other gaps are warned
            // of.
            if (const QString years = YearGapsText(FaultYearGaps(state.study.series));
                !years.isEmpty())
                Warn(err, file, years);
            if (!command.pdfOut.isEmpty()) {
                if (const QString outside = OutsideScaleText(state); !outside.isEmpty())
                    Warn(err, file,
                         outside + QStringLiteral("--scale を広げるか、付けずに実行すると"
                                                  "全部の点が入ります。"));
                inputs.RefuseOverwriting(command.pdfPathFor(file));
                if (command.curves)
                    ShowAskedCurves(*command.curves, state, err, file);
                PrintChartToPdf(state, command.settings.offsetRight, command.settings.offsetUp,
                                command.pdfPathFor(file));
            }
            if (command.bootstrap)
                BootstrapStudy(state);
            if (!command.reportOut.isEmpty()) {
                inputs.RefuseOverwriting(command.reportPathFor(file));
                WriteReportPdf(state, command.reportPathFor(file), {});
            }
            if (!command.results)
                continue;
            const ResultSource source =
                MakeResultSource(DisplayFileName(file), state, command.distributions);
            const QString last = durationColumn ? QLatin1Char(',') + run.duration : QString();
            if (json) {
                QJsonObject object = ResultJsonObject(source);
                if (durationColumn)
                    object.insert(QStringLiteral("duration"), run.duration);
                json->append(object);
            } else if (command.distributions) {
                for (const QString& row : DistributionCsvRows(source))
                    out << row << last << '\n';
            } else {
                out << ResultCsvRow(source) << last << '\n';
            }
        } catch (const DataError& error) {
            if (runs.size() == 1)
                throw;
            failedDurations << QStringLiteral("継続時間 %1：%2").arg(run.duration, error.message());
        }
    }
    if (!failedDurations.isEmpty())
        throw DataError(failedDurations.join(QLatin1Char('\n')));
}

// The columns of the one duration table of an intensity run: read back, or built from the
// observation file. Throws DataError for anything but the rainfall sums of durations.
std::vector<DurationColumn> IntensityColumns(const CommandLine& command, const QString& file,
                                             QTextStream& err) {
    if (command.fromImport) {
        const DurationTable table = BuildDurationTable(command, file, err);
        if (table.source.aggregate != DurationAggregate::Sum)
            throw DataError(QStringLiteral("確率降雨強度式は雨量の継続時間の合計（--aggregate sum）"
                                           "からだけ求められます。"));
    } else if (!IsDurationTable(FileHead(file))) {
        throw DataError(
            QStringLiteral("継続時間の表（year,10min,1h,… の見出しの CSV）ではありません。"
                           "観測データなら --import FILE --durations LIST で"
                           "指定してください。"));
    }
    std::vector<DurationColumn> columns;
    for (const RunSeries& run : SeriesOfFile(command, file, err)) {
        const std::optional<Duration> duration = ParseDuration(run.duration);
        if (!duration || !run.series)
            throw DataError(
                QStringLiteral("列「%1」は継続時間（10min、1h、24h のような）ではありません。")
                    .arg(run.duration));
        columns.push_back(DurationColumn{run.duration, duration->minutes, *run.series});
    }
    return columns;
}

// The columns --fit-durations names, or those up to a day. Throws DataError for a duration the
// table does not have.
std::vector<size_t> FitColumns(const CommandLine& command,
                               const std::vector<DurationColumn>& columns) {
    if (command.fitDurations.isEmpty())
        return DefaultFitDurations(columns);
    QStringList labels;
    for (const DurationColumn& column : columns)
        labels << column.label;
    std::vector<size_t> fitted;
    for (const QString& part : command.fitDurations.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const std::optional<Duration> wanted = ParseDuration(part);
        const auto found =
            std::find_if(columns.begin(), columns.end(), [&](const DurationColumn& c) {
                return wanted && c.minutes == wanted->minutes;
            });
        if (found == columns.end())
            throw DataError(QStringLiteral("--fit-durations の %1 は継続時間の表にありません"
                                           "（表の継続時間：%2）。")
                                .arg(part.trimmed(), labels.join(QLatin1Char(','))));
        fitted.push_back(static_cast<size_t>(found - columns.begin()));
    }
    return fitted;
}

void ProcessIntensity(const CommandLine& command, const QString& file, const AppState& state,
                      QTextStream& out, QTextStream& err) {
    const std::vector<DurationColumn> columns = IntensityColumns(command, file, err);
    const std::vector<size_t> fitted = FitColumns(command, columns);
    RainfallSettings settings;
    settings.study.alpha = command.settings.chart.alpha;
    settings.study.target = command.target;
    settings.model = command.fixedModel;
    for (const DurationColumn& column : columns)
        if (command.settings.alphaGiven &&
            settings.study.alpha > MaxAlphaFor(column.series.recordCount))
            throw DataError(QStringLiteral("継続時間 %1：%2")
                                .arg(column.label, AlphaTooLargeText(settings.study.alpha,
                                                                     column.series.recordCount)));
    const IntensityStudy study =
        ComputeIntensityStudy(columns, fitted, settings, state.deviateTable);
    QStringList without;
    for (const DurationRainfall& d : study.durations) {
        if (!d.hasValues())
            without << QStringLiteral("継続時間 %1：%2").arg(d.label, d.problem);
        else if (!d.problem.isEmpty())
            Warn(err, file, QStringLiteral("継続時間 %1：%2").arg(d.label, d.problem));
    }
    // Nothing at all to show is a failure; a duration without values is told and the others
    // are still given.
    if (static_cast<size_t>(without.size()) == study.durations.size())
        throw DataError(QStringLiteral("どの継続時間にも確率雨量がありません。\n") +
                        without.join(QLatin1Char('\n')));
    for (const QString& line : without)
        Warn(err, file, line + QStringLiteral("（確率雨量はありません）"));
    if (command.json) {
        out << QString::fromUtf8(
                   QJsonDocument(IntensityJsonObject(study)).toJson(QJsonDocument::Compact))
            << '\n';
        return;
    }
    if (command.bom)
        out << QChar(QChar::ByteOrderMark);
    out << IntensityCsvHeader() << '\n';
    for (const QString& row : IntensityCsvRows(study))
        out << row << '\n';
}

} // namespace

int RunBatch(const CommandLine& command, DirectoryService& directory, QTextStream& out,
             QTextStream& err) {
    AppState state;
    state.startDirectory = directory.currentDirectory();
    try {
        LoadDeviateTable(state, directory.executableDirectory());
    } catch (const DataError& error) {
        err << "quorvel: " << OneLine(error.message(), {}) << '\n';
        return 1;
    }

    if (command.intensity) {
        const QString& file = command.files.value(0);
        const std::optional<QString> failure = RunCatching(
            [&] { ProcessIntensity(command, file, state, out, err); },
            {QStringLiteral("メモリが不足したため、このファイルを処理できません。"), {}});
        out.flush();
        if (failure) {
            Fail(err, file, *failure);
            return 1;
        }
        if (out.status() != QTextStream::Ok) {
            err << "quorvel: 結果を標準出力に書き込めませんでした。\n";
            return 1;
        }
        return 0;
    }
    // The deviate table is an input as much as the data files: no page may replace it.
    const InputFiles inputs(command.files + QStringList{state.deviateTableFileName});
    if (!command.reportOut.isEmpty()) {
        const QString problem = ReportTargetProblem(command, inputs);
        if (!problem.isEmpty()) {
            err << "quorvel: " << OneLine(problem, {}) << '\n';
            return 1;
        }
    }
    // The column "duration" comes last when a file is a duration table or one is built.
    const bool durationColumn =
        (command.fromImport && WantsDurations(command)) ||
        (!command.fromImport &&
         std::any_of(command.files.begin(), command.files.end(),
                     [](const QString& f) { return IsDurationTable(FileHead(f)); }));
    if (command.results && !command.json && command.bom)
        out << QChar(QChar::ByteOrderMark);
    if (command.results && !command.json)
        out << (command.distributions ? DistributionCsvHeader(command.bootstrap)
                                      : ResultCsvHeader())
            << (durationColumn ? ",duration" : "") << '\n';
    std::optional<JsonArrayStream> json;
    if (command.results && command.json)
        json.emplace(out);
    bool allDone = true;
    for (const QString& file : command.files) {
        const std::optional<QString> failure = RunCatching(
            [&] { ProcessFile(command, file, state, out, err, inputs, json, durationColumn); },
            {QStringLiteral("メモリが不足したため、このファイルを処理できません。"), {}});
        if (failure) {
            Fail(err, file, *failure);
            allDone = false;
        }
    }
    if (json)
        json->finish();
    out.flush();
    // Standard output may be a full disk or a closed pipe: the results are then not delivered.
    if (out.status() != QTextStream::Ok) {
        err << "quorvel: 結果を標準出力に書き込めませんでした。\n";
        return 1;
    }
    return allDone ? 0 : 1;
}

int RunImport(const CommandLine& command, QTextStream& err) {
    const QString& file = command.files.value(0);
    const std::optional<QString> failure = RunCatching(
        [&] {
            if (WantsDurations(command)) {
                const DurationTable table = BuildDurationTable(command, file, err);
                if (std::all_of(table.series.begin(), table.series.end(),
                                [](const DurationSeries& d) { return d.includedCount() == 0; }))
                    throw DataError(
                        QStringLiteral("取り込める年がありません。%1 には何も書き込んでいません。")
                            .arg(DisplayFileName(command.importOut)));
                RefuseOverwritingInput(command.importOut, command.files);
                WriteFileAllOrNothing(
                    command.importOut,
                    command.importOut.endsWith(QStringLiteral(".json"), Qt::CaseInsensitive)
                        ? DurationTableJson(table)
                        : DurationTableCsv(table));
                return;
            }
            RefuseStepFileWithoutDurations(file);
            const AnnualSeries series =
                BuildAnnualSeries(ReadImportSource(file), command.importOptions);
            WarnLeftOutYears(err, file, series);
            if (series.includedCount() == 0)
                throw DataError(
                    QStringLiteral("取り込める年がありません。%1 には何も書き込んでいません。")
                        .arg(DisplayFileName(command.importOut)));
            // Asked again at the write: the file may have been swapped for a link since the start.
            RefuseOverwritingInput(command.importOut, command.files);
            WriteFileAllOrNothing(command.importOut, AnnualSeriesCsv(series));
        },
        {QStringLiteral("メモリが不足したため、このファイルを取り込めません。"), {}});
    if (failure) {
        Fail(err, file, *failure);
        return 1;
    }
    err.flush();
    return 0;
}

namespace {

// Standard error carries one line per failed file, which scripts read: Qt's own notes (a
// missing XDG_RUNTIME_DIR under cron, say) stay off it. Critical messages still go through.
void KeepQtNotesOffStderr(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fputs((message + QLatin1Char('\n')).toLocal8Bit().constData(), stderr);
}

} // namespace

int RunBatchProcess(int& argc, char** argv, const CommandLine& command) {
    qInstallMessageHandler(KeepQtNotesOffStderr);
    // Never a window, so never a display: ssh, cron and CI run the same way as a desktop.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    auto run = [&] {
        QtPlatform desktop;
        QFile stdOut;
        QFile stdErr;
        (void)stdOut.open(stdout, QIODevice::WriteOnly);
        (void)stdErr.open(stderr, QIODevice::WriteOnly);
        QTextStream out(&stdOut);
        QTextStream err(&stdErr);
        const int status = RunBatch(command, desktop.platform().directory, out, err);
        err.flush();
        return status;
    };
    // Results alone need no fonts and no platform at all.
    if (command.pdfOut.isEmpty() && command.reportOut.isEmpty()) {
        QCoreApplication application(argc, argv);
        return run();
    }
    QGuiApplication application(argc, argv);
    InstallFontSubstitutions();
    ClearUpperVectorState();
    return run();
}

int RunImportProcess(int& argc, char** argv, const CommandLine& command) {
    qInstallMessageHandler(KeepQtNotesOffStderr);
    QCoreApplication application(argc, argv);
    QFile stdErr;
    (void)stdErr.open(stderr, QIODevice::WriteOnly);
    QTextStream err(&stdErr);
    const int status = RunImport(command, err);
    err.flush();
    return status;
}
