#pragma once

#include "state/appstate.h"
#include "statistics/distributioncomparison.h"
#include "platform/platform.h"
#include "platform/widgets.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QTableWidget;
class ComparisonChartView;

// The comparison of the candidate distributions: its own window beside the main one, showing the
// study of the loaded series as the results list does (Refresh follows the main window's signal
// after every load and re-analysis). The chart fills what the window does not need for its other
// parts.
class frmComparison : public CompanionWindow {
    Q_OBJECT
public:
    frmComparison(AppState& state, Platform& platform, QWidget* parent = nullptr);

    // Shows the study of the series on show with its target; the selected model's curve is
    // ticked.
    void Refresh();
    // Paints the chart again for a setting it draws but does not fit by (the axis title).
    void UpdateChart();
    // Moves the study's selection to the model that wins for target: nothing is fitted again.
    void SetTarget(Target target);
    const DistributionComparison& Comparison() const { return state_.study.models; }
    // The models whose curves are ticked, in table order.
    std::vector<ModelId> TickedModels() const;

    // The models table as shown, a header row first, fields joined by separator.
    QString ModelsText(QChar separator) const;
    // The models table, then each applicable model's periods under its name.
    QString CsvText() const;

    void CopyButton_Click();
    void CsvButton_Click();
    void SaveChartButton_Click();
    void CopyChart();

signals:
    // After every change of the ticks, a refit included: the main window keeps them for its own
    // chart and the printed page.
    void tickedModelsChanged(const std::vector<ModelId>& ticked);

private:
    AppState& state_;
    Platform& platform_;
    void fillModels();
    void fillDetail();
    void showCurves();

    QLabel* summary_ = nullptr;
    QComboBox* targetBox_ = nullptr;
    QTableWidget* models_ = nullptr;
    QLabel* noneSelected_ = nullptr;
    QTableWidget* detail_ = nullptr;
    ComparisonChartView* chart_ = nullptr;
    bool filling_ = false;
};
