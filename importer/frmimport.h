#pragma once

#include "formats/import.h"
#include "platform/platform.h"
#include "platform/widgets.h"

#include <QWidget>

#include <optional>

class QComboBox;
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

    // The series as the choices make it, or nothing with the reason in the status line.
    const std::optional<AnnualSeries>& series() const { return series_; }

private:
    void showLayout();
    // How the chosen start names a year, or that a yearly file has no use for it.
    void showYearNote();
    void fillValueColumns();
    void rebuild();
    ImportOptions options() const;
    // The axis title the item of the series offers; empty when the file names no item.
    QString axisTitle() const;

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
    // Set while the controls are filled, so their change signals do not rebuild half-way.
    bool filling_ = false;

    QLineEdit* fileBox_ = nullptr;
    QPlainTextEdit* preview_ = nullptr;
    QLabel* layoutLabel_ = nullptr;
    QComboBox* dateColumn_ = nullptr;
    QComboBox* valueColumn_ = nullptr;
    QComboBox* aggregate_ = nullptr;
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
};
