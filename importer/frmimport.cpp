#include "importer/frmimport.h"

#include "formats/inputfile.h"
#include "formats/stepfile.h"

#include "formats/filename.h"
#include "statistics/numeric.h"

#include "platform/checkedfile.h"
#include "platform/commandguard.h"
#include "platform/filenames.h"
#include "platform/samefile.h"
#include "platform/widgets.h"
#include "statistics/dataerror.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
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
    choices->addRow(QStringLiteral("年の始まり"), yearStart_);
    yearNote_ = new QLabel(this);
    yearNote_->setObjectName(QStringLiteral("YearNote"));
    yearNote_->setWordWrap(true);
    choices->addRow(QString(), yearNote_);
    choices->addRow(QStringLiteral("有効な日（月）の割合"), coverage_);
    choices->addRow(QStringLiteral("期間"), period);
    layout->addLayout(choices);

    table_ = ReadOnlyTable(this, "ResultTable",
                           {QStringLiteral("年"), QStringLiteral("値"), QStringLiteral("有効日数"),
                            QStringLiteral("備考")});
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
    for (QPushButton* button : {showButton_, editorButton_, csvButton_})
        button->setEnabled(false);
    AddRowButton(buttons, this, platform_.messages, "CloseButton", QStringLiteral("閉じる"),
                 [this] { close(); });
    layout->addLayout(buttons);
    resize(640, 720);

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
    connect(valueColumn_, &QComboBox::currentIndexChanged, this, changed);
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
    // Files of hourly values and the river bureau's files are imported as duration tables, for
    // now on the command line only.
    if (IsStepFile(ReadInputFileHead(path, 16384)))
        throw DataError(QStringLiteral("ファイルを取り込めませんでした。\n%1\n\n時刻ごとの値か"
                                       "水文水質データベースのファイルです。継続時間の表は"
                                       "コマンドラインで作れます（例 quorvel --import 表.csv "
                                       "--durations 1h,24h ファイル）。")
                            .arg(DisplayFileName(path)));
    ImportSource source = ReadImportSource(path);
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
    options.yearStartMonth = yearStart_->currentIndex() + 1;
    options.coverage = coverage_->value();
    options.fromYear = YearOf(fromYear_);
    options.toYear = YearOf(toYear_);
    return options;
}

void frmImport::rebuild() {
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
    if (!series_ || series_->includedCount() == 0)
        return;
    host_.ImportShowSeries(ImportedSeriesData(*series_, builtWith_, fileName_), axisTitle());
}

void frmImport::EditorButton_Click() {
    if (!series_ || series_->includedCount() == 0)
        return;
    if (host_.ImportOpenInEditor(AnnualSeriesEditorText(*series_), axisTitle(),
                                 ImportedSeriesData(*series_, builtWith_, fileName_).origin))
        close();
}

void frmImport::CsvButton_Click() {
    if (!series_ || series_->includedCount() == 0)
        return;
    // Beside the observation file, under a name of its own, so the offer is never the input.
    const QFileInfo observation(fileName_);
    const QString offered = observation.absolutePath() + QLatin1Char('/') +
                            observation.completeBaseName() + QStringLiteral("_年系列.csv");
    const std::optional<QString> answer =
        platform_.files.getSaveFileName(this, kCsvFilter, offered);
    if (!answer || answer->isEmpty())
        return;
    const QString path = WithDefaultSuffix(*answer, QStringLiteral("csv"));
    RefuseOverwritingInput(path, QStringList{fileName_} + host_.ImportInputFiles());
    WriteFileAllOrNothing(path, AnnualSeriesCsv(*series_));
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
