#pragma once

#include "platform/platform.h"
#include "platform/widgets.h"
#include "state/appstate.h"
#include "statistics/distributioncomparison.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QBoxLayout;
class QCloseEvent;
class QComboBox;
class QPushButton;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QVBoxLayout;
class BootstrapRunner;
class ComparisonChartView;

// The comparison of the candidate distributions: its own window beside the main one, showing the
// study of the loaded series as the results list does (Refresh follows the main window's signal
// after every load and re-analysis). The chart fills what the window does not need for its other
// parts.
class frmComparison : public CompanionWindow {
    Q_OBJECT
public:
    // With a runner the window runs the models' bootstrap, shows its progress and figures.
    frmComparison(AppState& state, Platform& platform, QWidget* parent = nullptr,
                  BootstrapRunner* runner = nullptr);
    ~frmComparison() override;

    // Shows the study of the series on show with its target and the ticks the user chose (the
    // selected model's while the user has chosen none).
    void Refresh();
    // Paints the chart again for a setting it draws but does not fit by (the axis title).
    void UpdateChart();
    // Moves the study's selection to the model that wins for target: nothing is fitted again.
    void SetTarget(Target target);
    const DistributionComparison& Comparison() const { return state_.study.models; }
    // The models whose curves are ticked, in table order.
    std::vector<ModelId> TickedModels() const;

    // What the figures are of, a row each, then an empty row: the file, the number of records,
    // the first and last year, alpha with its plotting position's name and the target.
    QString ContextText(QChar separator) const;
    // The models table as shown, a header row first, fields joined by separator.
    QString ModelsText(QChar separator) const;
    // What the copy button puts on the clipboard: the context, then the models table, by tabs.
    QString CopyText() const;
    // What the marks in the tables mean, after an empty line; empty when there are none.
    QString MarksText() const;
    // The context, the models table, then each applicable model's periods under its name.
    QString CsvText() const;

    // The bootstrap settings row, read into the state's settings (a seed that is not a whole
    // number from 0 to 2^64 − 1 is refused with a message and put back); a change that alters
    // the figures cancels a run and starts the next.
    void ApplyBootstrapSettings();
    // 中止 while a run goes on, 計算 after a cancel.
    void BootstrapButton_Click();
    // The progress row after the runner's news.
    void ShowBootstrapState();

    void CopyButton_Click();
    void CsvButton_Click();
    void SaveChartButton_Click();
    void CopyChart();

    // The size that shows every column of the models table, within a screen's available area.
    QSize OpeningSize(QSize available) const;

signals:
    // The user asks for Cunnane's alpha; the main window applies it as its own preset.
    void cunnaneRequested();
    // The window closes at geometry (saveGeometry's form).
    void closing(const QByteArray& geometry);

    // After every change of the ticks, a refit included: the main window keeps them for its own
    // chart and the printed page.
    void tickedModelsChanged(const std::vector<ModelId>& ticked);
    // The model whose interval the charts draw may have changed: a new highlight, selection or
    // interval.
    void intervalModelChanged();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    AppState& state_;
    Platform& platform_;
    void fillModels();
    void fillDetail();
    // Keeps the ticks of the table as the user's.
    void userTicked();
    // Under the tables, what their marks mean, for the marks they carry.
    void showMarks();
    bool AnyMark(const QString& mark) const;
    void showCurves();
    void highlightModel();
    void buildBootstrapRow(QVBoxLayout* layout);
    void showBootstrapSettings();
    void addPlottingPosition(QBoxLayout* row);
    void showPlottingPosition();

    QLabel* summary_ = nullptr;
    QComboBox* targetBox_ = nullptr;
    QLabel* plottingPosition_ = nullptr;
    QPushButton* cunnane_ = nullptr;
    QTableWidget* models_ = nullptr;
    QLabel* noneSelected_ = nullptr;
    QTableWidget* detail_ = nullptr;
    QLabel* marks_ = nullptr;
    ComparisonChartView* chart_ = nullptr;
    BootstrapRunner* runner_ = nullptr;
    QSpinBox* replicatesBox_ = nullptr;
    QLineEdit* seedBox_ = nullptr;
    QDoubleSpinBox* levelBox_ = nullptr;
    QComboBox* kindBox_ = nullptr;
    QComboBox* intervalBox_ = nullptr;
    QCheckBox* byBootstrap_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* bootstrapButton_ = nullptr;
    QLabel* bootstrapNote_ = nullptr;
    bool filling_ = false;
};
