#include "intensity/frmintensity.h"

#include "chart/intensitychart.h"
#include "formats/fieldreader.h"
#include "formats/filename.h"
#include "platform/checkedfile.h"
#include "platform/commandguard.h"
#include "state/intensityfields.h"
#include "state/loading.h"
#include "statistics/dataerror.h"
#include "statistics/numeric.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr QSize kIntensityPictureSize(800, 600);

const QString kPerDuration = QStringLiteral("期間ごとに選定");
const QString kBestFormula = QStringLiteral("確率年ごとに最良の式");

// A figure with its decimals; empty when it does not exist or is not a number.
QString Figure(const std::optional<double>& value, int decimals) {
    return value && std::isfinite(*value) ? QString::number(*value, 'f', decimals) : QString();
}

QStringList DurationHeaders() {
    QStringList headers{QStringLiteral("継続時間"), QStringLiteral("分布"), QStringLiteral("SLSC")};
    for (const int T : kRainfallPeriods)
        headers << QStringLiteral("%1年 雨量 (mm)").arg(T)
                << QStringLiteral("%1年 強度 (mm/h)").arg(T) << QStringLiteral("%1年 誤差").arg(T)
                << QStringLiteral("%1年 上限値").arg(T);
    return headers << QStringLiteral("備考");
}

const QStringList kFormulaHeaders = {QStringLiteral("再現期間 T"),  QStringLiteral("式"),
                                     QStringLiteral("形"),          QStringLiteral("a"),
                                     QStringLiteral("b"),           QStringLiteral("n"),
                                     QStringLiteral("RMSE (mm/h)"), QStringLiteral("最大相対誤差"),
                                     QStringLiteral("最良"),        QStringLiteral("備考")};

// A table's header and rows as shown, one line each.
QString TableLines(const QTableWidget& table, QChar separator) {
    QString text;
    auto line = [&](auto cell) {
        QStringList fields;
        for (int c = 0; c < table.columnCount(); ++c)
            fields << DelimitedField(cell(c), separator);
        text += fields.join(separator) + QStringLiteral("\r\n");
    };
    line([&](int c) { return table.horizontalHeaderItem(c)->text(); });
    for (int r = 0; r < table.rowCount(); ++r)
        line([&](int c) { return table.item(r, c) ? table.item(r, c)->text() : QString(); });
    return text;
}

void SetCell(QTableWidget* table, int row, int column, const QString& text, bool number,
             bool grey = false) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (number)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    else if (!text.isEmpty())
        item->setToolTip(text); // a long reason is cut at the pane's edge
    if (grey)
        item->setForeground(Qt::gray);
    table->setItem(row, column, item);
}

} // namespace

IntensityChartView::IntensityChartView(const AppState& state, QWidget* parent)
    : QWidget(parent)
    , state_(state) {
    setObjectName(QStringLiteral("IntensityChart"));
    setMinimumSize(320, 260);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void IntensityChartView::SetFormula(std::optional<IntensityFormula> formula) {
    formula_ = formula;
    update();
}

ChartPicture IntensityChartView::Picture() const {
    const QSize pixels = kIntensityPictureSize;
    const AppState& state = state_;
    return ChartPicture{[&state, pixels, formula = formula_](DrawingSurface& surface) {
                            if (state.intensity.study)
                                DrawIntensityChart(*state.intensity.study, formula, surface,
                                                   QRectF(QPointF(0, 0), QSizeF(pixels)));
                        },
                        QSizeF(pixels), pixels, kFaceMincho};
}

void IntensityChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    PainterSurface surface(painter, QSizeF(size()), QSizeF(size()), 1, kFaceMincho);
    surface.Cls();
    if (state_.intensity.study)
        DrawIntensityChart(*state_.intensity.study, formula_, surface,
                           QRectF(QPointF(0, 0), QSizeF(size())));
}

frmIntensity::frmIntensity(AppState& state, Platform& platform, QWidget* parent)
    : CompanionWindow(parent)
    , state_(state)
    , platform_(platform) {
    setObjectName(QStringLiteral("frmIntensity"));
    setWindowTitle(QStringLiteral("確率雨量と降雨強度式"));
    auto* layout = new QVBoxLayout(this);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("Summary"));
    summary_->setWordWrap(true);
    layout->addWidget(summary_);

    auto* modelRow = new QHBoxLayout;
    modelRow->addWidget(new QLabel(QStringLiteral("各継続時間の分布："), this));
    modelBox_ = new QComboBox(this);
    modelBox_->setObjectName(QStringLiteral("ModelBox"));
    modelBox_->addItem(kPerDuration);
    for (const ModelId id : kModels)
        modelBox_->addItem(ModelName(id));
    modelRow->addWidget(modelBox_);
    modelRow->addStretch();
    layout->addLayout(modelRow);
    connect(modelBox_, &QComboBox::currentIndexChanged, this, [this] {
        RunGuarded(platform_.messages, this, [this] {
            if (!filling_)
                ApplyModel();
        });
    });

    fitRow_ = new QHBoxLayout;
    fitRow_->addWidget(new QLabel(QStringLiteral("式を当てはめる継続時間（３つ以上）："), this));
    fitRow_->addStretch();
    layout->addLayout(fitRow_);

    problem_ = new QLabel(this);
    problem_->setObjectName(QStringLiteral("Problem"));
    problem_->setWordWrap(true);
    SetTextColour(problem_, QColor(170, 0, 0));
    layout->addWidget(problem_);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    tabs_ = new QTabWidget(splitter);
    durations_ = ReadOnlyTable(tabs_, "DurationsTable", DurationHeaders());
    formulas_ = ReadOnlyTable(tabs_, "FormulasTable", kFormulaHeaders);
    tabs_->addTab(durations_, QStringLiteral("確率雨量（継続時間ごと）"));
    tabs_->addTab(formulas_, QStringLiteral("降雨強度式（確率年ごと）"));
    auto* chartPane = new QWidget(splitter);
    auto* chartLayout = new QVBoxLayout(chartPane);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    auto* formulaRow = new QHBoxLayout;
    formulaRow->addWidget(new QLabel(QStringLiteral("曲線の式："), chartPane));
    formulaBox_ = new QComboBox(chartPane);
    formulaBox_->setObjectName(QStringLiteral("FormulaBox"));
    formulaBox_->addItem(kBestFormula);
    for (const IntensityFormula f : kIntensityFormulas)
        formulaBox_->addItem(IntensityFormulaName(f) + QLatin1Char(' ') + IntensityFormulaText(f));
    formulaRow->addWidget(formulaBox_);
    formulaRow->addStretch();
    chartLayout->addLayout(formulaRow);
    chart_ = new IntensityChartView(state_, chartPane);
    chartLayout->addWidget(chart_, 1);
    splitter->addWidget(tabs_);
    splitter->addWidget(chartPane);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    layout->addWidget(splitter, 1);
    splitter_ = splitter;
    connect(formulaBox_, &QComboBox::currentIndexChanged, this, [this](int index) {
        chart_->SetFormula(index > 0 ? std::optional(kIntensityFormulas[size_t(index - 1)])
                                     : std::nullopt);
    });

    AddExportRow(layout, this, platform_.messages,
                 {[this] { CopyButton_Click(); }, [this] { CsvButton_Click(); },
                  [this] { SaveChartButton_Click(); }, [this] { CopyChart(); }});

    Refresh();
    resize(TwipsToPixels(17400), TwipsToPixels(11400));
    // The tables' reasons are the widest column: they get three fifths of the width at first,
    // which the stretch factors alone do not give against the chart's size hint.
    const int width = TwipsToPixels(17400);
    splitter_->setSizes({width * 3 / 5, width * 2 / 5});
}

void frmIntensity::Refresh() {
    const IntensityFigures& figures = state_.intensity;
    if (!state_.durations.loaded())
        summary_->setText(QStringLiteral("継続時間の表が読み込まれていません。"));
    else
        summary_->setText(QStringLiteral("%1（継続時間 %2 列、α = %3）")
                              .arg(DisplayFileName(state_.durations.file))
                              .arg(figures.study ? figures.study->durations.size() : 0)
                              .arg(FormatReal(state_.settings.alpha)));
    problem_->setText(figures.problem);
    problem_->setVisible(!figures.problem.isEmpty());
    buildFitBoxes();
    showChoices();
    fillDurations();
    fillFormulas();
    chart_->update();
}

void frmIntensity::buildFitBoxes() {
    QStringList labels;
    if (state_.intensity.study)
        for (const DurationRainfall& d : state_.intensity.study->durations)
            labels << d.label;
    if (labels == fitLabels_)
        return;
    for (QCheckBox* box : fitBoxes_)
        delete box;
    fitBoxes_.clear();
    fitLabels_ = labels;
    for (qsizetype i = 0; i < labels.size(); ++i) {
        auto* box = new QCheckBox(labels[i], this);
        box->setObjectName(QStringLiteral("FitDuration_%1").arg(i));
        // Before the stretch that closes the row.
        fitRow_->insertWidget(fitRow_->count() - 1, box);
        fitBoxes_.push_back(box);
        connect(box, &QCheckBox::toggled, this, [this] {
            RunGuarded(platform_.messages, this, [this] {
                if (!filling_)
                    ApplyFitDurations();
            });
        });
    }
}

void frmIntensity::showChoices() {
    filling_ = true;
    const std::vector<size_t> fitted =
        state_.intensity.study ? state_.intensity.study->fitted : std::vector<size_t>{};
    for (size_t i = 0; i < fitBoxes_.size(); ++i)
        fitBoxes_[i]->setChecked(std::find(fitted.begin(), fitted.end(), i) != fitted.end());
    modelBox_->setCurrentIndex(state_.intensity.model ? int(*state_.intensity.model) + 1 : 0);
    modelBox_->setEnabled(state_.intensity.study.has_value());
    filling_ = false;
}

void frmIntensity::ApplyFitDurations() {
    std::vector<size_t> fitted;
    for (size_t i = 0; i < fitBoxes_.size(); ++i)
        if (fitBoxes_[i]->isChecked())
            fitted.push_back(i);
    try {
        ChooseFitDurations(state_, fitted);
    } catch (const DataError&) {
        // The previous choice stays, ticked as it was, and the guard tells why.
        showChoices();
        throw;
    }
    Refresh();
}

void frmIntensity::ApplyModel() {
    const int index = modelBox_->currentIndex();
    ChooseIntensityModel(state_,
                         index > 0 ? std::optional(kModels[size_t(index - 1)]) : std::nullopt);
    Refresh();
}

void frmIntensity::fillDurations() {
    const auto& study = state_.intensity.study;
    durations_->setRowCount(study ? int(study->durations.size()) : 0);
    if (!study)
        return;
    for (size_t r = 0; r < study->durations.size(); ++r) {
        const DurationRainfall& d = study->durations[r];
        const int row = int(r);
        const bool none = !d.hasValues();
        SetCell(durations_, row, 0, d.label, false, none);
        SetCell(durations_, row, 1, d.model ? ModelName(*d.model) : QString(), false, none);
        SetCell(durations_, row, 2, Figure(d.slsc, 4), true, none);
        int column = 3;
        for (const RainfallPeriod& p : d.periods) {
            SetCell(durations_, row, column++, Figure(p.depth, 1), true);
            SetCell(durations_, row, column++, Figure(p.intensity, 2), true);
            SetCell(durations_, row, column++, Figure(p.error, 1), true);
            SetCell(durations_, row, column++, Figure(p.upper, 1), true);
        }
        SetCell(durations_, row, column, d.problem, false, none);
        durations_->item(row, column)->setToolTip(d.problem);
        // The duration the main window shows stands out.
        if (state_.durations.loaded() &&
            d.label == state_.durations.labels.value(state_.durations.shown))
            for (int c = 0; c < durations_->columnCount(); ++c) {
                QFont font = durations_->item(row, c)->font();
                font.setBold(true);
                durations_->item(row, c)->setFont(font);
            }
    }
    durations_->resizeColumnsToContents();
}

void frmIntensity::fillFormulas() {
    const auto& study = state_.intensity.study;
    formulas_->setRowCount(study ? int(kRainfallPeriodCount * kIntensityFormulaCount) : 0);
    if (!study)
        return;
    int row = 0;
    for (const PeriodFormulas& period : study->formulas)
        for (const FormulaFit& fit : period.fits) {
            const bool grey = !fit.applicable();
            SetCell(formulas_, row, 0, QString::number(period.period), true, grey);
            SetCell(formulas_, row, 1, IntensityFormulaName(fit.formula), false, grey);
            SetCell(formulas_, row, 2, IntensityFormulaText(fit.formula), false, grey);
            SetCell(formulas_, row, 3, Figure(fit.a, 3), true);
            SetCell(formulas_, row, 4, Figure(fit.b, 4), true);
            SetCell(formulas_, row, 5, Figure(fit.n, 3), true);
            SetCell(formulas_, row, 6, Figure(fit.rmse, 4), true);
            SetCell(formulas_, row, 7, Figure(fit.maxRelativeError, 4), true);
            SetCell(formulas_, row, 8, fit.best ? QStringLiteral("◎") : QString(), false);
            SetCell(formulas_, row, 9, fit.problem, false, grey);
            formulas_->item(row, 9)->setToolTip(fit.problem);
            ++row;
        }
    formulas_->resizeColumnsToContents();
}

QString frmIntensity::contextText(QChar separator) const {
    const QList<QStringList> rows = {
        {QStringLiteral("ファイル"), state_.durations.file},
        {QStringLiteral("α"), FormatReal(state_.settings.alpha)},
        {QStringLiteral("分布"), modelBox_->currentText()},
        {QStringLiteral("当てはめる継続時間"),
         [&] {
             QStringList labels;
             if (state_.intensity.study)
                 for (size_t i : state_.intensity.study->fitted)
                     labels << state_.intensity.study->durations[i].label;
             return labels.join(QLatin1Char(' '));
         }()},
    };
    QString text;
    for (const QStringList& row : rows) {
        QStringList fields;
        for (const QString& field : row)
            fields << DelimitedField(field, separator);
        text += fields.join(separator) + QStringLiteral("\r\n");
    }
    if (!state_.intensity.problem.isEmpty())
        text += DelimitedField(state_.intensity.problem, separator) + QStringLiteral("\r\n");
    return text + QStringLiteral("\r\n");
}

QString frmIntensity::DurationsText(QChar separator) const {
    return TableLines(*durations_, separator);
}

QString frmIntensity::FormulasText(QChar separator) const {
    return TableLines(*formulas_, separator);
}

QString frmIntensity::CopyText() const {
    const QChar tab = QLatin1Char('\t');
    return contextText(tab) + DurationsText(tab) + QStringLiteral("\r\n") + FormulasText(tab);
}

QString frmIntensity::CsvText() const {
    QString text = contextText(QLatin1Char(','));
    if (!state_.intensity.study)
        return text;
    text += IntensityDurationCsvHeader() + QStringLiteral("\r\n");
    for (const QString& row : IntensityDurationCsvRows(*state_.intensity.study))
        text += row + QStringLiteral("\r\n");
    text += QStringLiteral("\r\n") + IntensityCsvHeader() + QStringLiteral("\r\n");
    for (const QString& row : IntensityCsvRows(*state_.intensity.study))
        text += row + QStringLiteral("\r\n");
    return text;
}

void frmIntensity::CopyButton_Click() {
    if (!ReadyToExport())
        return;
    QApplication::clipboard()->setText(CopyText());
}

void frmIntensity::CsvButton_Click() {
    if (!ReadyToExport())
        return;
    SaveCsvText(this, platform_.files, CsvText(),
                {state_.dataFileName, state_.durations.file, state_.deviateTableFileName});
}

void frmIntensity::SaveChartButton_Click() {
    if (!ReadyToExport())
        return;
    SaveChartImage(this, platform_.files, chart_->Picture(),
                   SuggestedChartPath(state_.durations.file, QStringLiteral("_降雨強度式")),
                   {state_.dataFileName, state_.durations.file, state_.deviateTableFileName});
}

void frmIntensity::CopyChart() {
    if (!ReadyToExport())
        return;
    CopyChartImage(chart_->Picture());
}

void frmIntensity::closeEvent(QCloseEvent* event) {
    emit closing(saveGeometry());
    CompanionWindow::closeEvent(event);
}
