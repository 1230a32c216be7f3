#pragma once

#include "analysis/appstate.h"
#include "platform/platform.h"

#include <QWidget>

class QLabel;
class ComparisonChartView;

// The comparison of the candidate distributions: its own window beside the main one, following
// the loaded series as the results list does (the main window calls Refresh after every load
// and re-analysis). The chart fills what the window does not need for its other parts.
class frmComparison : public QWidget {
    Q_OBJECT
public:
    frmComparison(const AppState& state, Platform& platform, QWidget* parent = nullptr);

    void Refresh();

    void SaveChartButton_Click();
    void CopyChart();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    const AppState& state_;
    Platform& platform_;
    QLabel* summary_ = nullptr;
    ComparisonChartView* chart_ = nullptr;
};
