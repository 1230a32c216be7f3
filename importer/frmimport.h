#pragma once

#include "formats/durations.h"
#include "formats/import.h"
#include "formats/stepfile.h"
#include "platform/platform.h"
#include "platform/widgets.h"
#include "state/appstate.h"

#include <QWidget>

#include <optional>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QGridLayout;
class QDoubleSpinBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

// What the import window asks of the main window.
class ImportHost {
public:
    virtual ~ImportHost() = default;
    // Opens the series in the data editor as a new, unsaved file (the editor's layout), with
    // the item name offered as the axis title. origin says what the import knew (the years it
    // left out and why), for the series the editor hands over. False when the editor cannot take
    // it now; the host has told the user why.
    virtual bool ImportOpenInEditor(const QString& editorText, const QString& axisTitle,
                                    const SeriesOrigin& origin) = 0;
    // Makes series the loaded series as opening a file does: analysed, drawn, named by its
    // observation file and what was built, with axisTitle (when not empty) as the axis title. No
    // file is written. Throws DataError when the series cannot be analysed; the series and the
    // file name shown before stay.
    virtual void ImportShowSeries(const SeriesData& series, const QString& axisTitle) = 0;
    // Makes a duration table the loaded one: its first duration that can be analysed is shown
    // (LoadFirstDuration), and the others can be chosen in turn. A host that cannot choose
    // among durations shows the first alone. Throws DataError as ImportShowSeries does.
    virtual void ImportShowDurations(const LoadedDurations& durations) {
        ImportShowSeries(durations.series.value(0), durations.axisTitles.value(0));
    }
    // The files the program has read besides the observation file, which a saved series must
    // not replace: the deviate table.
    virtual QStringList ImportInputFiles() const = 0;
};

// The import window: an observation file, its layout as detected, the choices, and the annual
// series that follows every choice at once.
class frmImport : public CompanionWindow {
    Q_OBJECT
public:
    frmImport(Platform& platform, ImportHost& host, QWidget* parent = nullptr);

    // Reads the file and shows it with the detected choices. Throws DataError when it cannot be
    // read; what was shown before stays.
    void OpenFile(const QString& path);

    void FileButton_Click();
    void EditorButton_Click();
    // The default action, also taken by Enter: the series goes to the chart, the window stays
    // for the next choice.
    void ShowButton_Click();
    void CsvButton_Click();
    // The durations built from a file of hourly or river-database values, as a duration table.
    void TableButton_Click();

    // The series as the choices make it, or nothing with the reason in the status line.
    const std::optional<AnnualSeries>& series() const { return series_; }
    // The durations as the choices make them from a file of values at a step, or nothing.
    const std::optional<DurationTable>& durations() const { return durations_; }

private:
    // The name the user gives for a file written beside the observation file (offered as its
    // name with nameEnding), refused when it names an input; nothing when the user cancels.
    std::optional<QString> askSavePath(const QString& nameEnding, const QString& filter);
    void showLayout();
    // How the chosen start names a year, or that a yearly file has no use for it.
    void showYearNote();
    void fillValueColumns();
    void rebuild();
    ImportOptions options() const;
    // The axis title the item of the series offers; empty when the file names no item.
    QString axisTitle() const;

    // Files of values at a step: read with the stamp and value column chosen, and the annual
    // maxima of the durations checked.
    void openStepFile(const QString& path);
    void readSteps();
    void showStepLayout();
    void fillDurationChoices();
    void rebuildDurations();
    DurationOptions durationOptions() const;
    void showDurationTable();
    // The duration the table and the hand-over take; -1 for the whole table.
    int shownDuration() const;
    // Which controls apply to the file shown.
    void enableForFile();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    Platform& platform_;
    ImportHost& host_;
    std::optional<ImportSource> source_;
    ImportLayout layout_;
    std::optional<AnnualSeries> series_;
    // The choices series_ was built with: what is handed over says how it was made.
    ImportOptions builtWith_;
    QString fileName_;
    // The file is one of values at a step: the durations apply, and steps_ holds its values
    // while it reads with the choices made.
    bool stepFile_ = false;
    StepFormat stepFormat_ = StepFormat::Delimited;
    std::optional<StepSeries> steps_;
    std::optional<DurationTable> durations_;
    QList<Duration> offered_;
    // Set while the controls are filled, so their change signals do not rebuild half-way.
    bool filling_ = false;

    QLineEdit* fileBox_ = nullptr;
    QPlainTextEdit* preview_ = nullptr;
    QLabel* layoutLabel_ = nullptr;
    QComboBox* dateColumn_ = nullptr;
    QComboBox* valueColumn_ = nullptr;
    QComboBox* aggregate_ = nullptr;
    QFormLayout* choices_ = nullptr;
    QWidget* durationBox_ = nullptr;
    QGridLayout* durationGrid_ = nullptr;
    QLabel* durationNote_ = nullptr;
    QList<QCheckBox*> durationChecks_;
    QComboBox* durationAggregate_ = nullptr;
    QComboBox* stamp_ = nullptr;
    QCheckBox* crossYear_ = nullptr;
    QComboBox* shownDuration_ = nullptr;
    QComboBox* yearStart_ = nullptr;
    QDoubleSpinBox* coverage_ = nullptr;
    QSpinBox* fromYear_ = nullptr;
    QSpinBox* toYear_ = nullptr;
    QTableWidget* table_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* yearNote_ = nullptr;
    QPushButton* showButton_ = nullptr;
    QPushButton* editorButton_ = nullptr;
    QPushButton* csvButton_ = nullptr;
    QPushButton* tableButton_ = nullptr;
};
