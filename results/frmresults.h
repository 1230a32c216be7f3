#pragma once

#include "state/appstate.h"
#include "platform/platform.h"
#include "platform/widgets.h"

#include <QWidget>

class QLabel;
class QTableWidget;

// The list of results: every record with its rank, probability, deviate and fitted value, the
// return periods with their standard errors, and the fit's figures. It follows the loaded
// series: the main window calls Refresh after every successful load or re-analysis.
class frmResults : public CompanionWindow {
    Q_OBJECT
public:
    frmResults(const AppState& state, Platform& platform, QWidget* parent = nullptr);

    void Refresh();
    // Both tables and the figures as tab-separated lines, records in the order shown.
    QString TableText(QChar separator) const;

    void CopyButton_Click();
    void SaveButton_Click();

private:
    const AppState& state_;
    Platform& platform_;
    QTableWidget* records_ = nullptr;
    QTableWidget* periods_ = nullptr;
    QLabel* heading_ = nullptr;
    QLabel* figures_ = nullptr;
    QStringList figureLines_;
};
