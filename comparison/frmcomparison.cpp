#include "comparison/frmcomparison.h"

#include "chart/chartimage.h"
#include "comparison/comparisonchart.h"
#include "formats/fieldreader.h"
#include "platform/checkedfile.h"
#include "platform/commandguard.h"
#include "platform/widgets.h"
#include "state/bootstraprunner.h"
#include "state/loading.h"
#include "state/studytexts.h"
#include "statistics/numeric.h"
#include "statistics/series.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The columns of the models table.
enum Column { kShow, kName, kSlsc, kXCor, kFirstValue };
constexpr int kBootstrapColumn = kFirstValue + 8;
constexpr int kPassColumn = kBootstrapColumn + 1;
constexpr int kSelectedColumn = kPassColumn + 1;
constexpr int kNoteColumn = kSelectedColumn + 1;

const QStringList kDetailHeaders = {
    QStringLiteral("再現期間 T"),           QStringLiteral("渇水年の値"),
    QStringLiteral("ジャックナイフ推定値"), QStringLiteral("誤差"),
    QStringLiteral("ブートストラップ誤差"), QStringLiteral("区間の下限"),
    QStringLiteral("区間の上限"),           QStringLiteral("豊水年の値"),
    QStringLiteral("ジャックナイフ推定値"), QStringLiteral("誤差"),
    QStringLiteral("ブートストラップ誤差"), QStringLiteral("区間の下限"),
    QStringLiteral("区間の上限"),           QStringLiteral("外挿")};

// A table's header and rows as shown, one line each.
QString TableLines(const QTableWidget& table, QChar separator, int firstColumn) {
    QString text;
    auto line = [&](auto cell) {
        QStringList fields;
        for (int c = firstColumn; c < table.columnCount(); ++c)
            fields << DelimitedField(cell(c), separator);
        text += fields.join(separator) + QStringLiteral("\r\n");
    };
    line([&](int c) { return table.horizontalHeaderItem(c)->text(); });
    for (int r = 0; r < table.rowCount(); ++r)
        line([&](int c) { return table.item(r, c) ? table.item(r, c)->text() : QString(); });
    return text;
}

// The bootstrap error and the interval's ends of one side; empty without them.
QStringList BootstrapCells(const BootstrapFigures* figures, IntervalKind kind) {
    if (!figures)
        return {QString(), QString(), QString()};
    const std::optional<Interval>& interval = figures->interval(kind);
    return {Figure(figures->error, 1),
            Figure(interval ? std::optional<double>(interval->low) : std::nullopt, 1),
            Figure(interval ? std::optional<double>(interval->high) : std::nullopt, 1)};
}

// One row of the detail table; beyond twice the record the values are extrapolated. The
// bootstrap's figures where it has them.
QStringList PeriodCells(const ReturnPeriodValues& p, const BootstrapPeriod* b, IntervalKind kind,
                        int recordCount, const FittedModel& model) {
    return QStringList{QString::number(p.period), MarkedFigure(p.dry, 1),
                       MarkedFigure(p.dryJackknife, 1, &model), Figure(p.dryError, 1)} +
           BootstrapCells(b ? &b->dry : nullptr, kind) +
           QStringList{MarkedFigure(p.wet, 1), MarkedFigure(p.wetJackknife, 1, &model),
                       Figure(p.wetError, 1)} +
           BootstrapCells(b ? &b->wet : nullptr, kind) +
           QStringList{p.period > 2 * recordCount ? QStringLiteral("外挿") : QString()};
}

IntervalKind ShownIntervalKind(const AppState& state) {
    return state.study.bootstrap ? state.study.bootstrap->settings.interval
                                 : state.settings.bootstrap.interval;
}

// Whether a cell of the table carries the mark.
bool TableHasMark(const QTableWidget& table, const QString& mark) {
    for (int r = 0; r < table.rowCount(); ++r)
        for (int c = 0; c < table.columnCount(); ++c)
            if (const QTableWidgetItem* item = table.item(r, c);
                item && item->text().contains(mark))
                return true;
    return false;
}

} // namespace

frmComparison::frmComparison(AppState& state, Platform& platform, QWidget* parent,
                             BootstrapRunner* runner)
    : CompanionWindow(parent)
    , state_(state)
    , platform_(platform)
    , runner_(runner) {
    setObjectName(QStringLiteral("frmComparison"));
    setWindowTitle(QStringLiteral("確率分布の比較"));
    auto* layout = new QVBoxLayout(this);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("Summary"));
    summary_->setWordWrap(true);
    layout->addWidget(summary_);
    auto* targetRow = new QHBoxLayout;
    targetRow->addWidget(
        new QLabel(QStringLiteral("選ぶ基準（ジャックナイフ誤差を最小にする値）："), this));
    targetBox_ = new QComboBox(this);
    targetBox_->setObjectName(QStringLiteral("TargetBox"));
    for (const Target t : kTargets)
        targetBox_->addItem(TargetLabel(t));
    targetBox_->setCurrentIndex(static_cast<int>(kDefaultTarget));
    targetRow->addWidget(targetBox_);
    byBootstrap_ = new QCheckBox(QStringLiteral("ブートストラップ誤差で選ぶ"), this);
    byBootstrap_->setObjectName(QStringLiteral("SelectByBootstrap"));
    byBootstrap_->setVisible(runner_ != nullptr);
    targetRow->addWidget(byBootstrap_);
    addPlottingPosition(targetRow);
    targetRow->addStretch();
    layout->addLayout(targetRow);
    connect(byBootstrap_, &QCheckBox::toggled, this, [this](bool checked) {
        RunGuarded(platform_.messages, this, [this, checked] {
            if (filling_)
                return;
            SelectStudyBy(state_, checked ? SelectionRule::Bootstrap : SelectionRule::Jackknife);
            fillModels();
            emit intervalModelChanged();
        });
    });
    buildBootstrapRow(layout);
    connect(targetBox_, &QComboBox::currentIndexChanged, this, [this](int index) {
        RunGuarded(platform_.messages, this, [this, index] {
            if (index >= 0 && index < static_cast<int>(kTargets.size()))
                SetTarget(kTargets[static_cast<size_t>(index)]);
        });
    });

    QStringList headers = {QStringLiteral("曲線"), QStringLiteral("分布"), QStringLiteral("SLSC"),
                           QStringLiteral("X-COR")};
    for (const Target t : kTargets)
        headers << TargetLabel(t) << QStringLiteral("誤差");
    // Short, so every column fits the width of a common screen; the tip says it in full.
    headers << QStringLiteral("BS 誤差") << QStringLiteral("≦0.04") << QStringLiteral("選択")
            << QStringLiteral("備考");
    models_ = ReadOnlyTable(this, "ModelTable", headers);
    models_->horizontalHeaderItem(kBootstrapColumn)
        ->setToolTip(QStringLiteral("選ぶ基準の値のブートストラップ誤差"));
    models_->setSelectionBehavior(QAbstractItemView::SelectRows);
    models_->setSelectionMode(QAbstractItemView::SingleSelection);
    layout->addWidget(models_, 2);
    connect(models_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!filling_ && item->column() == kShow)
            userTicked();
    });
    noneSelected_ = new QLabel(this);
    noneSelected_->setObjectName(QStringLiteral("NoneSelected"));
    noneSelected_->setWordWrap(true);
    layout->addWidget(noneSelected_);

    detail_ = ReadOnlyTable(this, "DetailTable", kDetailHeaders);
    layout->addWidget(detail_, 2);
    marks_ = new QLabel(this);
    marks_->setObjectName(QStringLiteral("MarksNote"));
    marks_->setVisible(false);
    layout->addWidget(marks_);
    connect(models_, &QTableWidget::currentCellChanged, this, [this] {
        if (!filling_) {
            fillDetail();
            highlightModel();
        }
    });

    chart_ = new ComparisonChartView(state_, this);
    layout->addWidget(chart_, 4);

    AddExportRow(layout, this, platform_.messages,
                 {[this] { CopyButton_Click(); }, [this] { CsvButton_Click(); },
                  [this] { SaveChartButton_Click(); }, [this] { CopyChart(); }});

    Refresh();
    resize(OpeningSize(screen()->availableGeometry().size()));
    if (runner_)
        runner_->Ensure();
    ShowBootstrapState();
}

void frmComparison::addPlottingPosition(QBoxLayout* row) {
    row->addSpacing(24);
    plottingPosition_ = new QLabel(this);
    plottingPosition_->setObjectName(QStringLiteral("PlottingPosition"));
    row->addWidget(plottingPosition_);
    cunnane_ = AddRowButton(row, this, platform_.messages, "CunnaneButton",
                            QStringLiteral("Cunnane (α = 0.4) にする"),
                            [this] { emit cunnaneRequested(); });
}

void frmComparison::showPlottingPosition() {
    const bool loaded = state_.study.series.recordCount > 0;
    const double alpha = state_.study.models.alpha;
    plottingPosition_->setText(loaded ? QStringLiteral("プロッティング・ポジション：") +
                                            PlottingPositionName(alpha)
                                      : QString());
    cunnane_->setVisible(loaded && alpha != kCunnaneAlpha);
}

QSize frmComparison::OpeningSize(QSize available) const {
    const QMargins margins = layout()->contentsMargins();
    // The table's frame and scroll bar, and a little room to spare.
    const int table = models_->horizontalHeader()->length() + 2 * models_->frameWidth() +
                      models_->verticalScrollBar()->sizeHint().width() + 24;
    // Room for the window's frame, which the window manager adds.
    const int width = std::min(table + margins.left() + margins.right(), available.width() - 16);
    const int height = std::min(TwipsToPixels(14400), available.height() - 48);
    return {std::max(width, TwipsToPixels(12000)), height};
}

void frmComparison::closeEvent(QCloseEvent* event) {
    state_.compared.highlighted.reset();
    emit closing(saveGeometry());
    CompanionWindow::closeEvent(event);
}

frmComparison::~frmComparison() {
    // Closed, the window highlights nothing: the charts go back to the selected model.
    state_.compared.highlighted.reset();
}

void frmComparison::buildBootstrapRow(QVBoxLayout* layout) {
    // Without a runner the window shows the jackknife alone.
    if (!runner_)
        return;
    auto* row = new QHBoxLayout;
    auto label = [&](const char* text) {
        row->addWidget(new QLabel(QString::fromUtf8(text), this));
    };
    label("回数 B");
    replicatesBox_ = new QSpinBox(this);
    replicatesBox_->setObjectName(QStringLiteral("ReplicatesBox"));
    replicatesBox_->setRange(kMinReplicates, kMaxReplicates);
    replicatesBox_->setSingleStep(100);
    replicatesBox_->setKeyboardTracking(false);
    row->addWidget(replicatesBox_);
    label("乱数の種");
    seedBox_ = new QLineEdit(this);
    seedBox_->setObjectName(QStringLiteral("SeedBox"));
    seedBox_->setMaximumWidth(TwipsToPixels(2600));
    row->addWidget(seedBox_);
    label("信頼水準");
    levelBox_ = new QDoubleSpinBox(this);
    levelBox_->setObjectName(QStringLiteral("LevelBox"));
    levelBox_->setRange(kMinLevel, kMaxLevel);
    levelBox_->setSingleStep(0.01);
    levelBox_->setDecimals(2);
    levelBox_->setKeyboardTracking(false);
    row->addWidget(levelBox_);
    label("再標本の方法");
    kindBox_ = new QComboBox(this);
    kindBox_->setObjectName(QStringLiteral("ResampleKindBox"));
    for (const ResampleKind kind : {ResampleKind::Data, ResampleKind::Parametric})
        kindBox_->addItem(ResampleKindName(kind));
    row->addWidget(kindBox_);
    label("区間の種類");
    intervalBox_ = new QComboBox(this);
    intervalBox_->setObjectName(QStringLiteral("IntervalKindBox"));
    for (const IntervalKind kind : {IntervalKind::Percentile, IntervalKind::Bca})
        intervalBox_->addItem(IntervalKindName(kind));
    row->addWidget(intervalBox_);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("BootstrapProgress"));
    progress_->setMaximumWidth(TwipsToPixels(2400));
    row->addWidget(progress_);
    bootstrapButton_ = new QPushButton(QStringLiteral("中止"), this);
    bootstrapButton_->setObjectName(QStringLiteral("BootstrapButton"));
    row->addWidget(bootstrapButton_);
    bootstrapNote_ = new QLabel(this);
    bootstrapNote_->setObjectName(QStringLiteral("BootstrapNote"));
    row->addWidget(bootstrapNote_, 1);
    layout->addLayout(row);

    const auto apply = [this] {
        RunGuarded(platform_.messages, this, [this] {
            if (!filling_)
                ApplyBootstrapSettings();
        });
    };
    connect(replicatesBox_, &QSpinBox::valueChanged, this, apply);
    connect(levelBox_, &QDoubleSpinBox::valueChanged, this, apply);
    connect(seedBox_, &QLineEdit::editingFinished, this, apply);
    connect(kindBox_, &QComboBox::currentIndexChanged, this, apply);
    connect(intervalBox_, &QComboBox::currentIndexChanged, this, apply);
    connect(bootstrapButton_, &QPushButton::clicked, this,
            [this] { RunGuarded(platform_.messages, this, [this] { BootstrapButton_Click(); }); });
    connect(runner_, &BootstrapRunner::progressChanged, this, [this] { ShowBootstrapState(); });
    // The figures arrive: the tables and the chart show them.
    connect(runner_, &BootstrapRunner::finished, this,
            [this] { RunGuarded(platform_.messages, this, [this] { fillModels(); }); });
}

void frmComparison::Refresh() {
    showPlottingPosition();
    const int n = std::clamp(state_.study.series.recordCount, 0, kMaxRecords);
    if (n > 0) {
        const auto years = std::minmax_element(state_.study.series.years.begin(),
                                               state_.study.series.years.begin() + n);
        summary_->setText(QStringLiteral("%1 年の記録（%2 年～%3 年）")
                              .arg(n)
                              .arg(*years.first)
                              .arg(*years.second));
    } else {
        summary_->setText(QStringLiteral("データが読み込まれていません"));
    }
    const int target = static_cast<int>(state_.study.models.target);
    if (targetBox_->currentIndex() != target) {
        // The box's signal moves the selection to the same target and fills the tables.
        targetBox_->setCurrentIndex(target);
        return;
    }
    fillModels();
}

void frmComparison::UpdateChart() {
    chart_->update();
}

void frmComparison::SetTarget(Target target) {
    if (targetBox_->currentIndex() != static_cast<int>(target)) {
        // The box's signal comes back here; the work is done once.
        targetBox_->setCurrentIndex(static_cast<int>(target));
        return;
    }
    SelectStudyTarget(state_, target);
    fillModels();
}

void frmComparison::fillModels() {
    const std::vector<ModelId> ticked = TickedCurveModels(state_);
    filling_ = true;
    models_->setRowCount(static_cast<int>(kModelCount));
    for (size_t i = 0; i < kModelCount; ++i) {
        const ModelComparison& m = state_.study.models.models[i];
        const int row = static_cast<int>(i);
        auto set = [&](int column, const QString& text, bool number = true) {
            auto* item = new QTableWidgetItem(text);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            if (number)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (!m.applicable())
                item->setForeground(Qt::gray);
            models_->setItem(row, column, item);
        };
        auto* show = new QTableWidgetItem;
        show->setFlags(m.applicable()
                           ? Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable
                           : Qt::ItemIsSelectable);
        show->setCheckState(std::find(ticked.begin(), ticked.end(), kModels[i]) != ticked.end()
                                ? Qt::Checked
                                : Qt::Unchecked);
        models_->setItem(row, kShow, show);
        set(kName, m.model.name(), false);
        set(kSlsc, Figure(m.slsc, 4));
        set(kXCor, Figure(m.xCor, 4));
        int column = kFirstValue;
        for (const Target t : kTargets) {
            const ReturnPeriodValues* p = m.applicable() ? m.period(TargetPeriod(t)) : nullptr;
            set(column++, p ? MarkedFigure(TargetIsWet(t) ? p->wet : p->dry, 1) : QString());
            set(column++, p ? Figure(TargetIsWet(t) ? p->wetError : p->dryError, 1) : QString());
        }
        const ModelBootstrap* resampled =
            state_.study.bootstrap ? &state_.study.bootstrap->models[i] : nullptr;
        set(kBootstrapColumn,
            resampled ? Figure(resampled->targetError(state_.study.models.target), 1) : QString());
        set(kPassColumn, m.passes ? QStringLiteral("○") : QString(), false);
        set(kSelectedColumn, m.selected ? QStringLiteral("◎") : QString(), false);
        QStringList notes{ModelRemark(m)};
        if (m.applicable() && resampled && !resampled->hasFigures())
            notes << QStringLiteral("ブートストラップ：") + resampled->problem;
        notes.removeAll(QString());
        set(kNoteColumn, notes.join(QStringLiteral("　")), false);
        models_->item(row, kNoteColumn)->setToolTip(notes.join(QStringLiteral("\n")));
    }
    models_->resizeColumnsToContents();
    // A long note is cut short, whole in its tip, so every column fits the screen.
    models_->setColumnWidth(kNoteColumn,
                            std::min(models_->columnWidth(kNoteColumn), TwipsToPixels(3600)));
    filling_ = false;
    noneSelected_->setText(state_.study.models.selected ? QString() : kNoneSelectedText);
    noneSelected_->setVisible(!state_.study.models.selected);
    // The selected model's periods, or the first model's.
    filling_ = true;
    models_->setCurrentCell(
        state_.study.models.selected ? static_cast<int>(*state_.study.models.selected) : 0, kName);
    filling_ = false;
    fillDetail();
    showBootstrapSettings();
    highlightModel();
}

void frmComparison::fillDetail() {
    const int row = std::clamp(models_->currentRow(), 0, static_cast<int>(kModelCount) - 1);
    const ModelComparison& m = state_.study.models.models[static_cast<size_t>(row)];
    const int n = std::clamp(state_.study.series.recordCount, 0, kMaxRecords);
    detail_->setRowCount(m.applicable() ? static_cast<int>(m.periods.size()) : 0);
    if (!m.applicable())
        return;
    for (size_t i = 0; i < m.periods.size(); ++i) {
        const QStringList cells =
            PeriodCells(m.periods[i], BootstrapOf(state_.study, m.model.id(), m.periods[i].period),
                        ShownIntervalKind(state_), n, m.model);
        for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            detail_->setItem(static_cast<int>(i), c, item);
        }
    }
    detail_->resizeColumnsToContents();
    showMarks();
}

QString frmComparison::MarksText() const {
    const bool negative = TableHasMark(*models_, kNegativeMark) || AnyMark(kNegativeMark);
    const bool outside = AnyMark(kOutsideMark);
    QString text;
    if (negative || outside)
        text += QStringLiteral("\r\n");
    if (negative)
        text += kNegativeNote + QStringLiteral("\r\n");
    if (outside)
        text += kOutsideNote + QStringLiteral("\r\n");
    return text;
}

bool frmComparison::AnyMark(const QString& mark) const {
    const int n = std::clamp(state_.study.series.recordCount, 0, kMaxRecords);
    for (const ModelComparison& m : state_.study.models.models)
        if (m.applicable())
            for (const ReturnPeriodValues& p : m.periods)
                if (PeriodCells(p, nullptr, IntervalKind::Percentile, n, m.model)
                        .join(QString())
                        .contains(mark))
                    return true;
    return false;
}

void frmComparison::showMarks() {
    QStringList notes;
    if (TableHasMark(*models_, kNegativeMark) || TableHasMark(*detail_, kNegativeMark))
        notes << kNegativeNote;
    if (TableHasMark(*detail_, kOutsideMark))
        notes << kOutsideNote;
    marks_->setText(notes.join(QLatin1Char('\n')));
    marks_->setVisible(!notes.isEmpty());
}

QString frmComparison::ContextText(QChar separator) const {
    const int n = std::clamp(state_.study.series.recordCount, 0, kMaxRecords);
    const auto years = std::minmax_element(state_.study.series.years.begin(),
                                           state_.study.series.years.begin() + n);
    const double alpha = state_.study.models.alpha;
    const QList<QStringList> rows = {
        {QStringLiteral("ファイル"), state_.dataFileName},
        {QStringLiteral("記録数"), QString::number(n)},
        {QStringLiteral("最初の年"), n > 0 ? QString::number(*years.first) : QString()},
        {QStringLiteral("最後の年"), n > 0 ? QString::number(*years.second) : QString()},
        {QStringLiteral("α"), FormatReal(alpha), PlottingPositionName(alpha)},
        {QStringLiteral("選ぶ基準"), TargetLabel(state_.study.models.target)},
    };
    QString text;
    for (const QStringList& row : rows) {
        QStringList fields;
        for (const QString& field : row)
            fields << DelimitedField(field, separator);
        text += fields.join(separator) + QStringLiteral("\r\n");
    }
    return text + QStringLiteral("\r\n");
}

QString frmComparison::ModelsText(QChar separator) const {
    // The check box column carries no text; the marks say the rest.
    return TableLines(*models_, separator, kName);
}

QString frmComparison::CopyText() const {
    QString text = ContextText(QLatin1Char('\t')) + ModelsText(QLatin1Char('\t'));
    if (TableHasMark(*models_, kNegativeMark))
        text += QStringLiteral("\r\n") + kNegativeNote + QStringLiteral("\r\n");
    return text;
}

QString frmComparison::CsvText() const {
    const int n = std::clamp(state_.study.series.recordCount, 0, kMaxRecords);
    QString text = ContextText(QLatin1Char(',')) + ModelsText(QLatin1Char(','));
    for (size_t i = 0; i < kModelCount; ++i) {
        const ModelComparison& m = state_.study.models.models[i];
        if (!m.applicable())
            continue;
        text += QStringLiteral("\r\n") + m.model.name() + QStringLiteral("\r\n") +
                kDetailHeaders.join(QLatin1Char(',')) + QStringLiteral("\r\n");
        for (const ReturnPeriodValues& p : m.periods)
            text += PeriodCells(p, BootstrapOf(state_.study, m.model.id(), p.period),
                                ShownIntervalKind(state_), n, m.model)
                        .join(QLatin1Char(',')) +
                    QStringLiteral("\r\n");
    }
    return text + MarksText();
}

void frmComparison::CopyButton_Click() {
    if (!ReadyToExport())
        return;
    QApplication::clipboard()->setText(CopyText());
}

void frmComparison::CsvButton_Click() {
    if (!ReadyToExport())
        return;
    SaveCsvText(this, platform_.files, CsvText(),
                {state_.dataFileName, state_.deviateTableFileName});
}

std::vector<ModelId> frmComparison::TickedModels() const {
    std::vector<ModelId> ticked;
    for (size_t i = 0; i < kModelCount && static_cast<int>(i) < models_->rowCount(); ++i)
        if (const auto* item = models_->item(static_cast<int>(i), kShow);
            item && item->checkState() == Qt::Checked && state_.study.models.models[i].applicable())
            ticked.push_back(kModels[i]);
    return ticked;
}

void frmComparison::userTicked() {
    // A model the series cannot be fitted to keeps the tick the user gave it, unseen.
    const std::vector<ModelId> before =
        state_.compared.chosen ? state_.compared.models : TickedCurveModels(state_);
    std::vector<ModelId> chosen;
    for (size_t i = 0; i < kModelCount && static_cast<int>(i) < models_->rowCount(); ++i) {
        const ModelId id = kModels[i];
        const auto* item = models_->item(static_cast<int>(i), kShow);
        const bool ticked = state_.study.models.models[i].applicable()
                                ? item && item->checkState() == Qt::Checked
                                : std::find(before.begin(), before.end(), id) != before.end();
        if (ticked)
            chosen.push_back(id);
    }
    state_.compared.models = std::move(chosen);
    state_.compared.chosen = true;
    showCurves();
}

void frmComparison::showCurves() {
    std::vector<const ModelComparison*> models;
    const std::vector<ModelId> ticked = TickedModels();
    for (const ModelId id : ticked)
        models.push_back(&state_.study.models.model(id));
    std::vector<ModelCurve> curves = ColouredCurves(models);
    // The highlighted model's interval, dotted in its colour (its curve may be dashed), named
    // once in the legend as the page names it.
    if (const std::optional<ModelId> id = state_.compared.highlighted;
        id && state_.study.bootstrap && state_.study.bootstrap->model(*id).hasFigures()) {
        const IntervalBand& band =
            state_.study.bootstrap->model(*id).band(state_.study.bootstrap->settings.interval);
        const CurvePen dotted{ModelColour(*id), 2, 5};
        curves.push_back({&band.low, dotted, IntervalLegendText(state_, *id)});
        curves.push_back({&band.high, dotted, QString()});
    }
    chart_->SetCurves(std::move(curves));
    emit tickedModelsChanged(ticked);
}

void frmComparison::highlightModel() {
    const int row = models_->currentRow();
    state_.compared.highlighted = row >= 0 && row < static_cast<int>(kModelCount)
                                      ? std::optional<ModelId>(kModels[static_cast<size_t>(row)])
                                      : std::nullopt;
    showCurves();
    emit intervalModelChanged();
}

void frmComparison::showBootstrapSettings() {
    if (!runner_)
        return;
    const BootstrapSettings& settings = state_.settings.bootstrap;
    filling_ = true;
    replicatesBox_->setValue(settings.replicates);
    seedBox_->setText(QString::number(settings.seed));
    levelBox_->setValue(settings.level);
    kindBox_->setCurrentIndex(settings.kind == ResampleKind::Parametric ? 1 : 0);
    intervalBox_->setCurrentIndex(settings.interval == IntervalKind::Bca ? 1 : 0);
    byBootstrap_->setChecked(state_.settings.selectBy == SelectionRule::Bootstrap);
    filling_ = false;
    ShowBootstrapState();
}

void frmComparison::ApplyBootstrapSettings() {
    BootstrapSettings settings = state_.settings.bootstrap;
    bool ok = false;
    const QString seedText = seedBox_->text().trimmed();
    const qulonglong seed = seedText.toULongLong(&ok);
    if (!ok || seedText.startsWith(u'+')) {
        platform_.messages.showMessage(
            this,
            QStringLiteral("乱数の種「%1」は 0 から 18446744073709551615 の整数にしてください。")
                .arg(seedBox_->text()),
            windowTitle());
        showBootstrapSettings();
        return;
    }
    settings.seed = seed;
    settings.replicates = replicatesBox_->value();
    settings.level = levelBox_->value();
    settings.kind = kindBox_->currentIndex() == 1 ? ResampleKind::Parametric : ResampleKind::Data;
    settings.interval =
        intervalBox_->currentIndex() == 1 ? IntervalKind::Bca : IntervalKind::Percentile;
    if (settings == state_.settings.bootstrap)
        return;
    state_.settings.bootstrap = settings;
    runner_->Ensure();
    fillModels();
}

void frmComparison::BootstrapButton_Click() {
    if (!runner_)
        return;
    if (runner_->Running())
        runner_->Cancel();
    else
        runner_->Ensure();
    ShowBootstrapState();
}

void frmComparison::ShowBootstrapState() {
    if (!runner_)
        return;
    const bool running = runner_->Running();
    progress_->setVisible(running);
    if (running) {
        progress_->setMaximum(std::max(runner_->Total(), 1));
        progress_->setValue(runner_->Done());
    }
    bootstrapButton_->setText(running ? QStringLiteral("中止") : QStringLiteral("計算"));
    bootstrapButton_->setEnabled(running || !state_.study.bootstrap);
    QString note;
    if (running)
        note = QStringLiteral("ブートストラップを計算しています…");
    else if (!state_.study.bootstrap && runner_->WasCancelled())
        note = QStringLiteral("ブートストラップを中止しました。「計算」で始めます。");
    else if (!state_.study.bootstrap && state_.study.series.recordCount > 0)
        note = QStringLiteral("ブートストラップは計算していません。");
    bootstrapNote_->setText(note);
}

void frmComparison::SaveChartButton_Click() {
    if (!ReadyToExport())
        return;
    SaveChartImage(this, platform_.files, chart_->Picture(),
                   SuggestedChartPath(state_.dataFileName, QStringLiteral("_比較")),
                   {state_.dataFileName, state_.deviateTableFileName});
}

void frmComparison::CopyChart() {
    if (!ReadyToExport())
        return;
    CopyChartImage(chart_->Picture());
}
