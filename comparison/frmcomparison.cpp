#include "comparison/frmcomparison.h"

#include "chart/chartimage.h"
#include "comparison/comparisonchart.h"
#include "platform/commandguard.h"
#include "platform/widgets.h"

#include <QAction>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

frmComparison::frmComparison(const AppState& state, Platform& platform, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , state_(state)
    , platform_(platform) {
    setObjectName(QStringLiteral("frmComparison"));
    setWindowTitle(QStringLiteral("確率分布の比較"));
    auto* layout = new QVBoxLayout(this);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("Summary"));
    summary_->setWordWrap(true);
    layout->addWidget(summary_);
    chart_ = new ComparisonChartView(state_, this);
    layout->addWidget(chart_, 1);

    auto* buttons = new QHBoxLayout;
    auto* save = new QPushButton(QStringLiteral("図を保存..."), this);
    save->setObjectName(QStringLiteral("SaveChartButton"));
    save->setAutoDefault(false);
    connect(save, &QPushButton::clicked, this,
            [this] { RunGuarded(platform_.messages, this, [this] { SaveChartButton_Click(); }); });
    buttons->addWidget(save);
    buttons->addStretch();
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    close->setObjectName(QStringLiteral("CloseButton"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    auto* copyChart = new QAction(this);
    copyChart->setObjectName(QStringLiteral("CopyChartAction"));
    copyChart->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    addAction(copyChart);
    connect(copyChart, &QAction::triggered, this,
            [this] { RunGuarded(platform_.messages, this, [this] { CopyChart(); }); });

    resize(TwipsToPixels(12000), TwipsToPixels(10500));
    Refresh();
}

void frmComparison::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void frmComparison::Refresh() {
    const int n = std::clamp(state_.series.recordCount, 0, kMaxRecords);
    if (n > 0) {
        const auto years =
            std::minmax_element(state_.series.years.begin(), state_.series.years.begin() + n);
        summary_->setText(QStringLiteral("%1 年の記録（%2 年～%3 年）")
                              .arg(n)
                              .arg(*years.first)
                              .arg(*years.second));
    } else {
        summary_->setText(QStringLiteral("データが読み込まれていません"));
    }
    chart_->update();
}

void frmComparison::SaveChartButton_Click() {
    SaveChartImage(this, platform_.files, chart_->Picture(),
                   SuggestedChartPath(state_.dataFileName, QStringLiteral("_比較")),
                   {state_.dataFileName, state_.deviateTableFileName});
}

void frmComparison::CopyChart() {
    CopyChartImage(chart_->Picture());
}
