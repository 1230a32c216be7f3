#pragma once

#include "chart/chartimage.h"
#include "platform/platform.h"
#include "platform/widgets.h"
#include "state/appstate.h"

#include <QWidget>

#include <optional>
#include <vector>

class QCheckBox;
class QCloseEvent;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QSplitter;
class QTabWidget;
class QTableWidget;

// The intensity chart as a widget: it draws state.intensity with the curve formula it is given,
// and computes nothing.
class IntensityChartView : public QWidget {
    Q_OBJECT
public:
    explicit IntensityChartView(const AppState& state, QWidget* parent = nullptr);
    void SetFormula(std::optional<IntensityFormula> formula);
    std::optional<IntensityFormula> Formula() const { return formula_; }
    // The chart as saved and copied: laid out at 800 x 600, whatever the window's shape.
    ChartPicture Picture() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const AppState& state_;
    std::optional<IntensityFormula> formula_;
};

// The T-year rainfall by duration and the intensity formulas of the loaded duration table: its
// own window beside the main one, following the main window's studyChanged. The choices of the
// durations fitted and of the model go into state.intensity, which is computed there.
class frmIntensity : public CompanionWindow {
    Q_OBJECT
public:
    frmIntensity(AppState& state, Platform& platform, QWidget* parent = nullptr);

    // Shows state.intensity as it is: the check boxes of the table's durations, the model, the
    // tables and the chart; empty, with the reason, without a table.
    void Refresh();

    // The durations ticked are fitted. Fewer than three, or two of the same length, are refused
    // with a message and the previous choice is ticked again.
    void ApplyFitDurations();
    // The model box's choice: nothing for 期間ごとに選定.
    void ApplyModel();

    // The T-year table as shown, a header row first, fields joined by separator.
    QString DurationsText(QChar separator) const;
    // The formulas table as shown, likewise.
    QString FormulasText(QChar separator) const;
    // What the copy button puts on the clipboard: the context, then both tables, by tabs.
    QString CopyText() const;
    // The context, then the rows of each duration and period and the command line's rows of
    // the formulas, both with their headers.
    QString CsvText() const;

    void CopyButton_Click();
    void CsvButton_Click();
    void SaveChartButton_Click();
    void CopyChart();

    IntensityChartView* Chart() const { return chart_; }

signals:
    void closing(const QByteArray& geometry);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QString contextText(QChar separator) const;
    void buildFitBoxes();
    void showChoices();
    void fillDurations();
    void fillFormulas();

    AppState& state_;
    Platform& platform_;
    QLabel* summary_ = nullptr;
    QLabel* problem_ = nullptr;
    QComboBox* modelBox_ = nullptr;
    QHBoxLayout* fitRow_ = nullptr;
    std::vector<QCheckBox*> fitBoxes_;
    QStringList fitLabels_;
    QSplitter* splitter_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QTableWidget* durations_ = nullptr;
    QTableWidget* formulas_ = nullptr;
    QComboBox* formulaBox_ = nullptr;
    IntensityChartView* chart_ = nullptr;
    bool filling_ = false;
};
