#include "importer/frmimport.h"

#include "formats/inputfile.h"
#include "formats/stepfile.h"
#include "formats/textencoding.h"
#include "state/loading.h"

#include "formats/filename.h"
#include "statistics/numeric.h"

#include "platform/checkedfile.h"
#include "platform/commandguard.h"
#include "platform/filenames.h"
#include "platform/samefile.h"
#include "platform/widgets.h"
#include "statistics/dataerror.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QString kImportFilter = QStringLiteral(
    "すべてのファイル (*)|*|CSV ファイル (*.csv)|*.csv|テキスト ファイル (*.txt)|*.txt");
const QString kCsvFilter = QStringLiteral("CSV ファイル (*.csv)|*.csv");
const QString kTableFilter =
    QStringLiteral("CSV ファイル (*.csv)|*.csv|JSON ファイル (*.json)|*.json");
const QString kAnnualCoverageLabel = QStringLiteral("有効な日（月）の割合");
const QString kStepCoverageLabel = QStringLiteral("有効な値の割合");
const QStringList kAnnualHeadings = {QStringLiteral("年"), QStringLiteral("値"),
                                     QStringLiteral("有効日数"), QStringLiteral("備考")};
// The check boxes of the durations stand in rows of this many.
constexpr int kDurationColumns = 4;
// The lines of the file shown as decoded.
constexpr int kPreviewLines = 30;
// The period boxes show "指定なし" at this value, below every year a file can hold.
constexpr int kNoYear = 999;

QString DelimiterName(QChar delimiter) {
    if (delimiter == u',')
        return QStringLiteral("カンマ");
    if (delimiter == u'\t')
        return QStringLiteral("タブ");
    if (delimiter == u';')
        return QStringLiteral("セミコロン");
    return QStringLiteral("空白");
}

QSpinBox* YearBox(QWidget* parent, const char* name) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(kNoYear, 9999);
    box->setSpecialValueText(QStringLiteral("指定なし"));
    box->setValue(kNoYear);
    return box;
}

std::optional<int> YearOf(const QSpinBox* box) {
    if (box->value() == kNoYear)
        return std::nullopt;
    return box->value();
}

// The first lines of a file as decoded, without the last line the head may have cut.
QString PreviewText(const QByteArray& head) {
    const qsizetype end = head.lastIndexOf('\n');
    const QByteArray whole = end < 0 ? head : head.first(end + 1);
    return SplitEditorLines(DecodeEditorBytes(whole).text)
        .mid(0, kPreviewLines)
        .join(QLatin1Char('\n'));
}

bool IsRiverFormat(StepFormat format) {
    return format == StepFormat::RiverHourly || format == StepFormat::RiverDaily;
}

QTableWidgetItem* Cell(const QString& text, bool right, bool included) {
    auto* item = new QTableWidgetItem(text);
    if (right)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (!included)
        item->setForeground(Qt::gray);
    return item;
}

// A value of a duration as the table shows it: a mean's endless decimals are cut to nine
// significant digits, and the cell's tip tells it whole, as the saved table writes it.
QTableWidgetItem* ValueCell(const DurationYear& year) {
    if (!year.included)
        return Cell(QString(), true, false);
    const QString whole = ShortestReal(year.value);
    constexpr int kShownDigits = 9;
    const QString shown =
        whole.size() > kShownDigits + 2 ? QString::number(year.value, 'g', kShownDigits) : whole;
    QTableWidgetItem* item = Cell(shown, true, true);
    if (shown != whole)
        item->setToolTip(whole);
    return item;
}

} // namespace

frmImport::frmImport(Platform& platform, ImportHost& host, QWidget* parent)
    : CompanionWindow(parent)
    , platform_(platform)
    , host_(host) {
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(QStringLiteral("観測データの取り込み"));
    auto* layout = new QVBoxLayout(this);

    auto* fileRow = new QHBoxLayout;
    fileBox_ = new QLineEdit(this);
    fileBox_->setObjectName(QStringLiteral("FileBox"));
    fileBox_->setReadOnly(true);
    auto* fileButton = new QPushButton(QStringLiteral("ファイル(&F)..."), this);
    fileButton->setObjectName(QStringLiteral("FileButton"));
    fileRow->addWidget(new QLabel(QStringLiteral("ファイル"), this));
    fileRow->addWidget(fileBox_, 1);
    fileRow->addWidget(fileButton);
    layout->addLayout(fileRow);

    preview_ = new QPlainTextEdit(this);
    preview_->setObjectName(QStringLiteral("Preview"));
    preview_->setReadOnly(true);
    preview_->setLineWrapMode(QPlainTextEdit::NoWrap);
    preview_->setFont(JapaneseFont(kFaceGothic, 9));
    preview_->setMaximumHeight(150);
    layout->addWidget(preview_);
    layoutLabel_ = new QLabel(this);
    layoutLabel_->setObjectName(QStringLiteral("LayoutLabel"));
    layoutLabel_->setWordWrap(true);
    layout->addWidget(layoutLabel_);

    auto* choices = new QFormLayout;
    choices_ = choices;
    dateColumn_ = new QComboBox(this);
    dateColumn_->setObjectName(QStringLiteral("DateColumn"));
    valueColumn_ = new QComboBox(this);
    valueColumn_->setObjectName(QStringLiteral("ValueColumn"));
    aggregate_ = new QComboBox(this);
    aggregate_->setObjectName(QStringLiteral("Aggregate"));
    aggregate_->addItem(QStringLiteral("年合計"));
    aggregate_->addItem(QStringLiteral("年最大"));
    for (int days = 2; days <= 7; ++days)
        aggregate_->addItem(QStringLiteral("年最大 %1 日").arg(days));
    yearStart_ = new QComboBox(this);
    yearStart_->setObjectName(QStringLiteral("YearStart"));
    for (int month = 1; month <= 12; ++month)
        yearStart_->addItem(month == 4    ? QStringLiteral("4 月（年度）")
                            : month == 10 ? QStringLiteral("10 月（水年）")
                                          : QStringLiteral("%1 月").arg(month));
    coverage_ = new QDoubleSpinBox(this);
    coverage_->setObjectName(QStringLiteral("Coverage"));
    coverage_->setRange(0, 100);
    coverage_->setDecimals(1);
    coverage_->setSuffix(QStringLiteral(" %"));
    coverage_->setValue(ImportOptions().coverage);
    durationBox_ = new QWidget(this);
    durationBox_->setObjectName(QStringLiteral("Durations"));
    durationGrid_ = new QGridLayout(durationBox_);
    durationGrid_->setContentsMargins(0, 0, 0, 0);
    durationNote_ = new QLabel(QStringLiteral("時刻ごとの値と水文水質データベースのファイルで"
                                              "選べます。"),
                               durationBox_);
    durationNote_->setObjectName(QStringLiteral("DurationNote"));
    durationGrid_->addWidget(durationNote_, 0, 0, 1, kDurationColumns);
    durationAggregate_ = new QComboBox(this);
    durationAggregate_->setObjectName(QStringLiteral("DurationAggregate"));
    durationAggregate_->addItem(QStringLiteral("合計（雨量）"), int(DurationAggregate::Sum));
    durationAggregate_->addItem(QStringLiteral("平均（流量・水位）"), int(DurationAggregate::Mean));
    durationAggregate_->addItem(QStringLiteral("最大（期間内のピーク）"),
                                int(DurationAggregate::Max));
    durationAggregate_->addItem(QStringLiteral("最小（平均の年最小）"),
                                int(DurationAggregate::Min));
    stamp_ = new QComboBox(this);
    stamp_->setObjectName(QStringLiteral("Stamp"));
    stamp_->addItem(QStringLiteral("区間の終わりの時刻"));
    stamp_->addItem(QStringLiteral("区間の始まりの時刻"));
    crossYear_ = new QCheckBox(QStringLiteral("年をまたぐ期間も含める"), this);
    crossYear_->setObjectName(QStringLiteral("CrossYear"));
    fromYear_ = YearBox(this, "FromYear");
    toYear_ = YearBox(this, "ToYear");
    auto* period = new QHBoxLayout;
    period->addWidget(fromYear_);
    period->addWidget(new QLabel(QStringLiteral("年から"), this));
    period->addWidget(toYear_);
    period->addWidget(new QLabel(QStringLiteral("年まで"), this));
    period->addStretch();
    choices->addRow(QStringLiteral("日付の列"), dateColumn_);
    choices->addRow(QStringLiteral("値の列"), valueColumn_);
    choices->addRow(QStringLiteral("集計"), aggregate_);
    choices->addRow(QStringLiteral("継続時間"), durationBox_);
    choices->addRow(QStringLiteral("継続時間の集計"), durationAggregate_);
    choices->addRow(QStringLiteral("時刻の意味"), stamp_);
    choices->addRow(QStringLiteral("年の始まり"), yearStart_);
    yearNote_ = new QLabel(this);
    yearNote_->setObjectName(QStringLiteral("YearNote"));
    yearNote_->setWordWrap(true);
    choices->addRow(QString(), yearNote_);
    choices->addRow(QString(), crossYear_);
    choices->addRow(kAnnualCoverageLabel, coverage_);
    choices->addRow(QStringLiteral("期間"), period);
    layout->addLayout(choices);

    auto* shownRow = new QHBoxLayout;
    shownDuration_ = new QComboBox(this);
    shownDuration_->setObjectName(QStringLiteral("ShownDuration"));
    shownDuration_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    shownRow->addWidget(new QLabel(QStringLiteral("表とグラフの継続時間"), this));
    shownRow->addWidget(shownDuration_);
    shownRow->addStretch();
    layout->addLayout(shownRow);

    table_ = ReadOnlyTable(this, "ResultTable", kAnnualHeadings);
    table_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table_, 1);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("Status"));
    status_->setWordWrap(true);
    layout->addWidget(status_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    showButton_ = AddRowButton(buttons, this, platform_.messages, "ShowButton",
                               QStringLiteral("グラフに表示"), [this] { ShowButton_Click(); });
    showButton_->setDefault(true);
    editorButton_ =
        AddRowButton(buttons, this, platform_.messages, "EditorButton",
                     QStringLiteral("エディタで開く"), [this] { EditorButton_Click(); });
    csvButton_ = AddRowButton(buttons, this, platform_.messages, "CsvButton",
                              QStringLiteral("CSV 保存..."), [this] { CsvButton_Click(); });
    tableButton_ =
        AddRowButton(buttons, this, platform_.messages, "TableButton",
                     QStringLiteral("継続時間の表を保存..."), [this] { TableButton_Click(); });
    for (QPushButton* button : {showButton_, editorButton_, csvButton_, tableButton_})
        button->setEnabled(false);
    AddRowButton(buttons, this, platform_.messages, "CloseButton", QStringLiteral("閉じる"),
                 [this] { close(); });
    layout->addLayout(buttons);
    enableForFile();
    resize(720, 860);

    connect(fileButton, &QPushButton::clicked, this,
            Guarded(platform_.messages, this, &frmImport::FileButton_Click));
    auto changed = Guarded(platform_.messages, this, [this] {
        if (!filling_)
            rebuild();
    });
    connect(dateColumn_, &QComboBox::currentIndexChanged, this,
            Guarded(platform_.messages, this, [this] {
                if (filling_ || !source_)
                    return;
                const int column = dateColumn_->currentData().toInt();
                try {
                    layout_ = column < 0 ? source_->layout : DetectImportLayout(*source_, column);
                } catch (const DataError&) {
                    // The column holds no date: the layout stays, and the series tells why.
                    layout_ = source_->layout;
                }
                fillValueColumns();
                showLayout();
                rebuild();
            }));
    // In a file of values at a step the column is read again; in the others it is rebuilt.
    connect(valueColumn_, &QComboBox::currentIndexChanged, this,
            Guarded(platform_.messages, this, [this] {
                if (filling_)
                    return;
                if (stepFile_)
                    readSteps();
                else
                    rebuild();
            }));
    connect(stamp_, &QComboBox::currentIndexChanged, this,
            Guarded(platform_.messages, this, [this] {
                if (!filling_ && stepFile_)
                    readSteps();
            }));
    connect(shownDuration_, &QComboBox::currentIndexChanged, this,
            Guarded(platform_.messages, this, [this] {
                if (!filling_ && durations_)
                    showDurationTable();
            }));
    connect(durationAggregate_, &QComboBox::currentIndexChanged, this, changed);
    connect(crossYear_, &QCheckBox::toggled, this, changed);
    connect(aggregate_, &QComboBox::currentIndexChanged, this, changed);
    connect(yearStart_, &QComboBox::currentIndexChanged, this, changed);
    connect(yearStart_, &QComboBox::currentIndexChanged, this, [this] { showYearNote(); });
    showYearNote();
    connect(coverage_, &QDoubleSpinBox::valueChanged, this, changed);
    connect(fromYear_, &QSpinBox::valueChanged, this, changed);
    connect(toYear_, &QSpinBox::valueChanged, this, changed);
}

void frmImport::FileButton_Click() {
    const std::optional<QString> path =
        platform_.files.getOpenFileName(this, kImportFilter, fileName_);
    if (!path || path->isEmpty())
        return;
    OpenFile(*path);
}

void frmImport::OpenFile(const QString& path) {
    // Files of hourly values and the river bureau's files give the annual maxima of durations.
    if (IsStepFile(ReadInputFileHead(path, 16384))) {
        openStepFile(path);
        return;
    }
    ImportSource source = ReadImportSource(path);
    stepFile_ = false;
    steps_.reset();
    durations_.reset();
    table_->setColumnCount(int(kAnnualHeadings.size()));
    table_->setHorizontalHeaderLabels(kAnnualHeadings);
    source_ = std::move(source);
    fileName_ = path;
    layout_ = source_->layout;
    fileBox_->setText(DisplayFileName(path));
    preview_->setPlainText(source_->lines.mid(0, kPreviewLines).join(QLatin1Char('\n')));
    filling_ = true;
    dateColumn_->clear();
    dateColumn_->addItem(QStringLiteral("自動（%1 列目）").arg(layout_.dateColumn + 1), -1);
    for (int c = 0; c < layout_.columnCount; ++c)
        dateColumn_->addItem(QStringLiteral("%1 列目").arg(c + 1), c);
    // A column chosen in the last file means nothing in this one: its own default applies.
    valueColumn_->clear();
    shownDuration_->clear();
    filling_ = false;
    fillValueColumns();
    showLayout();
    rebuild();
}

void frmImport::fillValueColumns() {
    filling_ = true;
    const int previous =
        valueColumn_->currentData().isValid() ? valueColumn_->currentData().toInt() : -1;
    valueColumn_->clear();
    for (const ImportColumn& column : std::as_const(layout_.valueColumns))
        valueColumn_->addItem(QStringLiteral("%1 列目：%2").arg(column.index + 1).arg(column.label),
                              column.index);
    // A file with several stations or items keeps the one chosen, where it is still there.
    int index = valueColumn_->findData(previous);
    if (index < 0)
        index = valueColumn_->findData(layout_.defaultValueColumn);
    valueColumn_->setCurrentIndex(std::max(index, 0));
    filling_ = false;
}

void frmImport::showLayout() {
    QStringList parts;
    if (layout_.agency)
        parts << QStringLiteral("気象庁のダウンロード形式");
    parts << QStringLiteral("文字コード：%1").arg(layout_.encodingName)
          << QStringLiteral("区切り：%1").arg(DelimiterName(layout_.delimiter))
          << QStringLiteral("見出し：%1 行").arg(layout_.headerLines);
    QString date = QStringLiteral("日付：%1 列目").arg(layout_.dateColumn + 1);
    if (layout_.monthColumn >= 0)
        date += QStringLiteral("（年）、%1 列目（月）").arg(layout_.monthColumn + 1);
    if (layout_.dayColumn >= 0)
        date += QStringLiteral("、%1 列目（日）").arg(layout_.dayColumn + 1);
    parts << date << QStringLiteral("%1ごとの値").arg(ImportPeriodName(layout_.period));
    layoutLabel_->setText(parts.join(QStringLiteral("　")));
    // A file of yearly values is the series already: nothing is summed over a year, and the
    // days' choices only mean something for daily values.
    const bool yearly = layout_.period == ImportPeriod::Year;
    const bool daily = layout_.period == ImportPeriod::Day;
    for (QWidget* control : {static_cast<QWidget*>(aggregate_), static_cast<QWidget*>(yearStart_),
                             static_cast<QWidget*>(coverage_)})
        control->setEnabled(!yearly);
    if (auto* model = qobject_cast<QStandardItemModel*>(aggregate_->model()))
        for (int i = 2; i < model->rowCount(); ++i)
            model->item(i)->setEnabled(daily);
    if (!daily && aggregate_->currentIndex() > 1) {
        filling_ = true;
        aggregate_->setCurrentIndex(1);
        filling_ = false;
    }
    showYearNote();
    table_->horizontalHeaderItem(2)->setText(ValidCountHeading(layout_.period));
}

void frmImport::showYearNote() {
    const int month = yearStart_->currentIndex() + 1;
    if (source_ && layout_.period == ImportPeriod::Year) {
        yearNote_->setText(QStringLiteral("年ごとの値のファイルなので、集計・年の始まり・有効な"
                                          "割合は使いません。"));
        return;
    }
    if (month == 1) {
        yearNote_->setText(QStringLiteral("1 月から 12 月までを 1 年とします。"));
        return;
    }
    // The Japanese fiscal year and the water year are named by the year they start in.
    yearNote_->setText(QStringLiteral("%1 月から翌年 %2 月までを、始まる年の名前で呼びます"
                                      "（2020 年 %1 月～2021 年 %2 月は 2020 年）。")
                           .arg(month)
                           .arg(month - 1));
}

ImportOptions frmImport::options() const {
    ImportOptions options;
    options.dateColumn =
        dateColumn_->currentData().isValid() ? dateColumn_->currentData().toInt() : -1;
    options.valueColumn =
        valueColumn_->currentData().isValid() ? valueColumn_->currentData().toInt() : -1;
    options.aggregate =
        aggregate_->currentIndex() == 0 ? ImportAggregate::Sum : ImportAggregate::Max;
    options.days = std::max(1, aggregate_->currentIndex());
    // Only an n-day window of daily values can begin in the year before.
    options.crossYear =
        layout_.period == ImportPeriod::Day && options.days > 1 && crossYear_->isChecked();
    options.yearStartMonth = yearStart_->currentIndex() + 1;
    options.coverage = coverage_->value();
    options.fromYear = YearOf(fromYear_);
    options.toYear = YearOf(toYear_);
    return options;
}

void frmImport::rebuild() {
    enableForFile();
    if (stepFile_) {
        rebuildDurations();
        return;
    }
    series_.reset();
    table_->setRowCount(0);
    for (QPushButton* button : {showButton_, editorButton_, csvButton_})
        button->setEnabled(false);
    if (!source_)
        return;
    try {
        builtWith_ = options();
        series_ = BuildAnnualSeries(*source_, builtWith_);
    } catch (const DataError& error) {
        // A choice the file cannot give is told here, not in a box: the next choice may mend it.
        status_->setText(error.message());
        return;
    }
    table_->setRowCount(int(series_->rows.size()));
    int row = 0;
    for (const AnnualRow& year : std::as_const(series_->rows)) {
        auto cell = [&](int column, const QString& text, bool right) {
            auto* item = new QTableWidgetItem(text);
            if (right)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (!year.included)
                item->setForeground(Qt::gray);
            table_->setItem(row, column, item);
        };
        cell(0, QString::number(year.year), true);
        cell(1, year.included ? ShortestReal(year.value) : QString(), true);
        cell(2, QStringLiteral("%1/%2").arg(year.validCount).arg(year.periodCount), true);
        cell(3, year.note, false);
        ++row;
    }
    const int included = series_->includedCount();
    status_->setText(QStringLiteral("取り込む年：%1 年　除く年：%2 年")
                         .arg(included)
                         .arg(series_->rows.size() - included));
    for (QPushButton* button : {showButton_, editorButton_, csvButton_})
        button->setEnabled(included > 0);
}

QString frmImport::axisTitle() const {
    return series_ ? ImportedAxisTitle(*series_, builtWith_) : QString();
}

void frmImport::ShowButton_Click() {
    if (stepFile_) {
        if (!durations_)
            return;
        const int index = shownDuration();
        if (index < 0)
            host_.ImportShowDurations(DurationsOfTable(*durations_));
        else if (durations_->series[index].includedCount() > 0)
            host_.ImportShowSeries(DurationSeriesData(*durations_, index),
                                   DurationAxisTitle(*durations_, index));
        return;
    }
    if (!series_ || series_->includedCount() == 0)
        return;
    host_.ImportShowSeries(ImportedSeriesData(*series_, builtWith_, fileName_), axisTitle());
}

void frmImport::EditorButton_Click() {
    if (stepFile_) {
        const int index = shownDuration();
        if (!durations_ || index < 0 || durations_->series[index].includedCount() == 0)
            return;
        const SeriesData series = DurationSeriesData(*durations_, index);
        if (host_.ImportOpenInEditor(SeriesEditorText(series),
                                     DurationAxisTitle(*durations_, index), series.origin))
            close();
        return;
    }
    if (!series_ || series_->includedCount() == 0)
        return;
    if (host_.ImportOpenInEditor(AnnualSeriesEditorText(*series_), axisTitle(),
                                 ImportedSeriesData(*series_, builtWith_, fileName_).origin))
        close();
}

void frmImport::CsvButton_Click() {
    if (!series_ || series_->includedCount() == 0)
        return;
    if (const std::optional<QString> path = askSavePath(QStringLiteral("_年系列"), kCsvFilter))
        WriteFileAllOrNothing(*path, AnnualSeriesCsv(*series_));
}

std::optional<QString> frmImport::askSavePath(const QString& nameEnding, const QString& filter) {
    // Beside the observation file, under a name of its own, so the offer is never the input.
    const QFileInfo observation(fileName_);
    const QString offered = observation.absolutePath() + QLatin1Char('/') +
                            observation.completeBaseName() + nameEnding + QStringLiteral(".csv");
    const std::optional<QString> answer = platform_.files.getSaveFileName(this, filter, offered);
    if (!answer || answer->isEmpty())
        return std::nullopt;
    const QString path = WithDefaultSuffix(*answer, QStringLiteral("csv"));
    RefuseOverwritingInput(path, QStringList{fileName_} + host_.ImportInputFiles());
    return path;
}

void frmImport::keyPressEvent(QKeyEvent* event) {
    // A window, not a dialog, has no default button of its own: Enter takes the default action.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (showButton_->isEnabled())
            showButton_->click();
        return;
    }
    CompanionWindow::keyPressEvent(event);
}

// ---- Files of values at a step ----

void frmImport::openStepFile(const QString& path) {
    std::optional<StepSeries> steps;
    {
        BusyCursor busy;
        steps = ReadStepFile(path);
    }
    stepFile_ = true;
    stepFormat_ = steps->format;
    source_.reset();
    series_.reset();
    steps_ = std::move(steps);
    durations_.reset();
    fileName_ = path;
    fileBox_->setText(DisplayFileName(path));
    preview_->setPlainText(PreviewText(ReadInputFileHead(path, 16384)));
    // A new file is read as it says: stamps at the end of their intervals, the detected column,
    // its item's aggregation.
    filling_ = true;
    stamp_->setCurrentIndex(0);
    dateColumn_->clear();
    valueColumn_->clear();
    for (qsizetype i = 0; i < steps_->valueColumns.size(); ++i)
        valueColumn_->addItem(steps_->valueColumns[i], steps_->valueColumnIndexes.value(i));
    valueColumn_->setCurrentIndex(std::max(0, valueColumn_->findData(steps_->valueColumn)));
    durationAggregate_->setCurrentIndex(
        durationAggregate_->findData(int(DefaultAggregate(steps_->itemKind))));
    shownDuration_->clear();
    filling_ = false;
    fillDurationChoices();
    showStepLayout();
    rebuild();
}

void frmImport::readSteps() {
    StepReadOptions read;
    read.stampAtStart = stamp_->currentIndex() == 1;
    read.valueColumn =
        valueColumn_->currentData().isValid() ? valueColumn_->currentData().toInt() : -1;
    steps_.reset();
    try {
        BusyCursor busy;
        steps_ = ReadStepFile(fileName_, read);
    } catch (const DataError& error) {
        // As with any choice the file cannot give: told here, and the next choice may mend it.
        rebuild();
        status_->setText(error.message());
        return;
    }
    fillDurationChoices();
    showStepLayout();
    rebuild();
}

void frmImport::showStepLayout() {
    QStringList parts{StepFormatName(*steps_)};
    if (!steps_->station.isEmpty())
        parts
            << (steps_->stationCode.isEmpty()
                    ? QStringLiteral("観測所：%1").arg(steps_->station)
                    : QStringLiteral("観測所：%1（%2）").arg(steps_->station, steps_->stationCode));
    QString text = parts.join(QStringLiteral("　"));
    parts.clear();
    parts << QStringLiteral("%1ごとの値").arg(StepName(steps_->stepMinutes));
    QString item = steps_->item.isEmpty() ? QStringLiteral("（名前なし）") : steps_->item;
    if (!steps_->unit.isEmpty() && !item.contains(steps_->unit))
        item += QStringLiteral(" (%1)").arg(steps_->unit);
    parts << QStringLiteral("項目：%1").arg(item)
          << QStringLiteral("文字コード：%1").arg(steps_->encodingName);
    // The format and station on one line, what the values are on the next, then the warnings.
    text += QLatin1Char('\n') + parts.join(QStringLiteral("　"));
    for (const QString& warning : StepReadWarnings(*steps_))
        text += QLatin1Char('\n') + warning;
    layoutLabel_->setText(text);
}

void frmImport::fillDurationChoices() {
    QList<Duration> offered = UsualDurations(steps_->stepMinutes);
    if (steps_->stepMinutes == 1440 && steps_->itemKind == StepItem::Discharge)
        offered += FlowDurations();
    QStringList labels;
    for (const Duration& duration : std::as_const(offered))
        labels << duration.label;
    QStringList before;
    QStringList checked;
    for (QCheckBox* box : std::as_const(durationChecks_)) {
        before << box->property("label").toString();
        if (box->isChecked())
            checked << before.last();
    }
    if (labels == before)
        return;
    // The boxes of another step go; a duration offered again keeps its mark, and the usual
    // durations of a first file are all marked (the flow-duration values are asked for).
    qDeleteAll(durationChecks_);
    durationChecks_.clear();
    durationNote_->hide();
    const qsizetype usual = UsualDurations(steps_->stepMinutes).size();
    for (qsizetype i = 0; i < offered.size(); ++i) {
        const Duration& duration = offered[i];
        auto* box = new QCheckBox(DurationName(duration), durationBox_);
        box->setObjectName(QStringLiteral("Duration_") + duration.label);
        box->setProperty("label", duration.label);
        box->setChecked(before.contains(duration.label) ? checked.contains(duration.label)
                                                        : duration.flowDays == 0);
        // The flow-duration values take a row of their own below the durations.
        const int at = int(i < usual ? i : i - usual);
        const int row = (i < usual ? 0 : (usual + kDurationColumns - 1) / kDurationColumns) +
                        at / kDurationColumns;
        durationGrid_->addWidget(box, row + 1, at % kDurationColumns);
        connect(box, &QCheckBox::toggled, this, Guarded(platform_.messages, this, [this] {
                    if (!filling_)
                        rebuild();
                }));
        durationChecks_ << box;
    }
    offered_ = offered;
}

DurationOptions frmImport::durationOptions() const {
    DurationOptions options;
    for (qsizetype i = 0; i < durationChecks_.size() && i < offered_.size(); ++i)
        if (durationChecks_[i]->isChecked())
            options.durations << offered_[i];
    options.aggregate = DurationAggregate(durationAggregate_->currentData().toInt());
    options.crossYear = crossYear_->isChecked();
    options.yearStartMonth = yearStart_->currentIndex() + 1;
    options.coverage = coverage_->value();
    options.fromYear = YearOf(fromYear_);
    options.toYear = YearOf(toYear_);
    return options;
}

void frmImport::rebuildDurations() {
    durations_.reset();
    table_->setRowCount(0);
    for (QPushButton* button : {showButton_, editorButton_, csvButton_, tableButton_})
        button->setEnabled(false);
    if (!steps_)
        return;
    const QString previous = shownDuration_->currentData().toString();
    const bool hadChoice = shownDuration_->count() > 0;
    try {
        durations_ = BuildDurations(*steps_, durationOptions(), fileName_);
    } catch (const DataError& error) {
        filling_ = true;
        shownDuration_->clear();
        filling_ = false;
        status_->setText(error.message());
        return;
    }
    // The duration shown stays while it is built; a first table shows its first duration.
    filling_ = true;
    shownDuration_->clear();
    for (const DurationSeries& series : std::as_const(durations_->series))
        shownDuration_->addItem(DurationName(series.duration), series.duration.label);
    shownDuration_->addItem(QStringLiteral("すべての継続時間（表全体）"), QString());
    const int index = shownDuration_->findData(previous);
    shownDuration_->setCurrentIndex(hadChoice && index >= 0 ? index : 0);
    filling_ = false;
    showDurationTable();
}

int frmImport::shownDuration() const {
    if (!durations_)
        return -1;
    const QString label = shownDuration_->currentData().toString();
    for (qsizetype i = 0; i < durations_->series.size(); ++i)
        if (durations_->series[i].duration.label == label)
            return int(i);
    return -1;
}

void frmImport::showDurationTable() {
    const DurationTable& table = *durations_;
    const int step = table.source.stepMinutes;
    const int index = shownDuration();
    table_->setRowCount(0);
    int included = 0;
    if (index >= 0) {
        const DurationSeries& series = table.series[index];
        const QStringList headings = {QStringLiteral("年"), QStringLiteral("値"),
                                      QStringLiteral("終わりの日時"), QStringLiteral("有効数"),
                                      QStringLiteral("備考")};
        table_->setColumnCount(int(headings.size()));
        table_->setHorizontalHeaderLabels(headings);
        table_->setRowCount(int(series.years.size()));
        for (int row = 0; row < series.years.size(); ++row) {
            const DurationYear& year = series.years[row];
            table_->setItem(row, 0, Cell(QString::number(year.year), true, year.included));
            table_->setItem(row, 1, ValueCell(year));
            table_->setItem(row, 2, Cell(WindowEndText(year.end, step), false, year.included));
            table_->setItem(row, 3,
                            Cell(QStringLiteral("%1/%2").arg(year.present).arg(year.intervals),
                                 true, year.included));
            table_->setItem(row, 4, Cell(year.note, false, year.included));
        }
        included = series.includedCount();
        status_->setText(QStringLiteral("%1　取り込む年：%2 年　除く年：%3 年")
                             .arg(DurationName(series.duration))
                             .arg(included)
                             .arg(series.years.size() - included));
    } else {
        // Every duration side by side; each value tells its window's end when pointed at.
        QStringList headings{QStringLiteral("年")};
        for (const DurationSeries& series : table.series)
            headings << DurationName(series.duration);
        headings << QStringLiteral("備考");
        table_->setColumnCount(int(headings.size()));
        table_->setHorizontalHeaderLabels(headings);
        const qsizetype years = table.series.isEmpty() ? 0 : table.series.first().years.size();
        table_->setRowCount(int(years));
        QStringList counts;
        for (const DurationSeries& series : table.series) {
            counts << QStringLiteral("%1 %2 年")
                          .arg(DurationName(series.duration))
                          .arg(series.includedCount());
            included += series.includedCount();
        }
        for (int row = 0; row < years; ++row) {
            QStringList notes;
            bool any = false;
            for (int c = 0; c < table.series.size(); ++c) {
                const DurationYear& year = table.series[c].years[row];
                any = any || year.included;
                QTableWidgetItem* item = ValueCell(year);
                if (year.included && year.end >= 0)
                    item->setToolTip(
                        (item->toolTip().isEmpty() ? QString() : item->toolTip() + u'\n') +
                        QStringLiteral("終わり：%1").arg(WindowEndText(year.end, step)));
                table_->setItem(row, c + 1, item);
                if (!year.included)
                    notes << QStringLiteral("%1：%2").arg(DurationName(table.series[c].duration),
                                                          year.note);
            }
            table_->setItem(row, 0,
                            Cell(QString::number(table.series[0].years[row].year), true, any));
            table_->setItem(row, int(headings.size()) - 1,
                            Cell(notes.join(QStringLiteral("、")), false, any));
        }
        status_->setText(QStringLiteral("取り込む年：") + counts.join(QStringLiteral("、")));
    }
    // The notes take what room is left.
    for (int c = 0; c + 1 < table_->columnCount(); ++c)
        table_->resizeColumnToContents(c);
    showButton_->setEnabled(included > 0);
    editorButton_->setEnabled(index >= 0 && included > 0);
    tableButton_->setEnabled(
        std::any_of(table.series.begin(), table.series.end(),
                    [](const DurationSeries& s) { return s.includedCount() > 0; }));
}

void frmImport::enableForFile() {
    const bool step = stepFile_;
    const bool opened = step || source_.has_value();
    dateColumn_->setEnabled(!step);
    valueColumn_->setEnabled(!step || valueColumn_->count() > 0);
    durationBox_->setEnabled(step);
    durationAggregate_->setEnabled(step);
    stamp_->setEnabled(step && !IsRiverFormat(stepFormat_));
    shownDuration_->setEnabled(step);
    // Only an n-day maximum of daily values has windows that could begin in the year before.
    crossYear_->setEnabled(
        step || (opened && layout_.period == ImportPeriod::Day && aggregate_->currentIndex() > 1));
    // A duration table is built from values at a step only.
    if (!step)
        tableButton_->setEnabled(false);
    if (step) {
        aggregate_->setEnabled(false);
        yearStart_->setEnabled(true);
        coverage_->setEnabled(true);
    }
    if (auto* label = qobject_cast<QLabel*>(choices_->labelForField(coverage_)))
        label->setText(step ? kStepCoverageLabel : kAnnualCoverageLabel);
}

void frmImport::TableButton_Click() {
    if (!stepFile_ || !durations_ || !tableButton_->isEnabled())
        return;
    const std::optional<QString> path = askSavePath(QStringLiteral("_継続時間"), kTableFilter);
    if (!path)
        return;
    // As the command line writes it: JSON with every detail when the name asks for it.
    WriteFileAllOrNothing(*path, path->endsWith(QStringLiteral(".json"), Qt::CaseInsensitive)
                                     ? DurationTableJson(*durations_)
                                     : DurationTableCsv(*durations_));
}
