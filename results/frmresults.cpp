#include "results/frmresults.h"

#include "platform/checkedfile.h"
#include "platform/commandguard.h"
#include "platform/filenames.h"
#include "platform/samefile.h"
#include "platform/widgets.h"
#include "state/studytexts.h"
#include "statistics/datachecks.h"
#include "statistics/fitmeasures.h"
#include "statistics/numeric.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>
#include <functional>

namespace {

// Sorts by the number it shows, not by its text.
class NumberItem : public QTableWidgetItem {
public:
    NumberItem(double value, const QString& text)
        : QTableWidgetItem(text) {
        setData(Qt::UserRole, value);
        setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    }
    bool operator<(const QTableWidgetItem& other) const override {
        return data(Qt::UserRole).toDouble() < other.data(Qt::UserRole).toDouble();
    }
};

// Below this many records the jackknife's standard errors are rough.
constexpr int kFewRecords = 10;

QString Fixed(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

} // namespace

frmResults::frmResults(const AppState& state, Platform& platform, QWidget* parent)
    : CompanionWindow(parent)
    , state_(state)
    , platform_(platform) {
    setObjectName(QStringLiteral("frmResults"));
    setWindowTitle(QStringLiteral("解析結果の一覧"));
    auto* layout = new QVBoxLayout(this);
    records_ = ReadOnlyTable(this, "RecordTable",
                             {QStringLiteral("年"), QStringLiteral("値"), QStringLiteral("順位"),
                              QStringLiteral("非超過確率"), QStringLiteral("標準正規偏差"),
                              QStringLiteral("回帰直線の値")});
    periods_ = ReadOnlyTable(this, "PeriodTable",
                             {QStringLiteral("再現期間 T"), QStringLiteral("渇水年の値"),
                              QStringLiteral("標準誤差"), QStringLiteral("豊水年の値"),
                              QStringLiteral("標準誤差"), QStringLiteral("外挿")});
    figures_ = new QLabel(this);
    figures_->setObjectName(QStringLiteral("Figures"));
    figures_->setWordWrap(true);
    heading_ = new QLabel(this);
    heading_->setObjectName(QStringLiteral("Heading"));
    heading_->setWordWrap(true);
    layout->addWidget(heading_);
    layout->addWidget(records_, 3);
    layout->addWidget(periods_, 2);
    layout->addWidget(figures_);
    auto* buttons = new QHBoxLayout;
    MessageService& messages = platform_.messages;
    AddRowButton(buttons, this, messages, "CopyButton", QStringLiteral("コピー"),
                 [this] { CopyButton_Click(); });
    AddRowButton(buttons, this, messages, "SaveButton", QStringLiteral("CSV 保存..."),
                 [this] { SaveButton_Click(); });
    buttons->addStretch();
    AddRowButton(buttons, this, messages, "CloseButton", QStringLiteral("閉じる"),
                 [this] { close(); });
    layout->addLayout(buttons);
    resize(TwipsToPixels(10800), TwipsToPixels(9000));
    Refresh();
}

void frmResults::Refresh() {
    const int n = std::clamp(state_.study.series.recordCount, 0, kMaxRecords);
    // Back to file order with every new series.
    records_->setSortingEnabled(false);
    records_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    records_->setRowCount(n);
    for (int i = 0; i < n; ++i) {
        const size_t k = static_cast<size_t>(i);
        const double z = state_.study.analysis.deviates[k];
        const double fitted =
            std::pow(10.0, state_.study.analysis.logMean + state_.study.analysis.slope * z);
        const std::pair<double, QString> cells[] = {
            {state_.study.series.years[k], QString::number(state_.study.series.years[k])},
            {state_.study.series.values[k], Fixed(state_.study.series.values[k], 1)},
            {state_.study.analysis.ranks[k], QString::number(state_.study.analysis.ranks[k])},
            {state_.study.analysis.probabilities[k],
             Fixed(state_.study.analysis.probabilities[k], 4)},
            {z, Fixed(z, 4)},
            {fitted, Fixed(fitted, 1)}};
        for (int c = 0; c < 6; ++c) {
            auto* item = new NumberItem(cells[c].first, cells[c].second);
            item->setData(Qt::UserRole + 1, i);
            records_->setItem(i, c, item);
        }
    }
    records_->setSortingEnabled(true);

    const FitMeasures& m = state_.study.paper;
    periods_->setRowCount(n >= 2 ? static_cast<int>(m.periods.size()) : 0);
    for (int row = 0; row < periods_->rowCount(); ++row) {
        const ReturnPeriodValues& p = m.periods[static_cast<size_t>(row)];
        auto error = [](const std::optional<double>& se) {
            return se ? new NumberItem(*se, Fixed(*se, 1)) : new NumberItem(NAN, kUnavailable);
        };
        // A steep line over a huge spread can put a long period's value past the largest double.
        auto value = [](double v) {
            return std::isfinite(v) ? new NumberItem(v, Fixed(v, 1))
                                    : new NumberItem(NAN, kUnavailable);
        };
        periods_->setItem(row, 0, new NumberItem(p.period, QString::number(p.period)));
        periods_->setItem(row, 1, value(p.dry));
        periods_->setItem(row, 2, error(p.dryError));
        periods_->setItem(row, 3, value(p.wet));
        periods_->setItem(row, 4, error(p.wetError));
        periods_->setItem(
            row, 5,
            new NumberItem(p.extrapolation, p.extrapolation ? QStringLiteral("外挿") : QString()));
    }

    // Copy and CSV take the figures whole; the window shows as many digits as mean something:
    // the parameters to six significant digits, r and SLSC to four decimals.
    figureLines_.clear();
    QStringList shownLines;
    auto figure = [&](const char* name, const std::optional<double>& value,
                      const std::function<QString(double)>& shown) {
        const QString label = QString::fromUtf8(name);
        figureLines_ << label + QLatin1Char('\t') + (value ? FormatReal(*value) : kUnavailable);
        shownLines << label + QStringLiteral(" = ") + (value ? shown(*value) : kUnavailable);
    };
    const auto sixDigits = [](double v) { return QString::number(v, 'g', 6); };
    const auto fourDecimals = [](double v) { return Fixed(v, 4); };
    heading_->setText(SeriesHeading(state_.study.series));
    figureLines_ << QStringLiteral("N\t%1").arg(n);
    shownLines << QStringLiteral("N = %1").arg(n);
    figure("α", state_.settings.alpha, sixDigits);
    figure("μ", state_.study.analysis.logMean, sixDigits);
    figure("s", state_.study.analysis.slope, sixDigits);
    figure("r", m.correlation, fourDecimals);
    figure("SLSC", m.slsc, fourDecimals);
    QStringList notes;
    if (m.slsc && *m.slsc > kGoodFitSlsc)
        notes << QStringLiteral("SLSC が %1 を超えています。直線の当てはまりはよくありません。")
                     .arg(FormatReal(kGoodFitSlsc));
    if (n >= 2 && IsExtrapolation(100, n))
        notes << QStringLiteral(
                     "記録が %1 件しかないため、1/100 の値は記録の長さの 2 倍を超える外挿です。")
                     .arg(n);
    if (!m.errorProblem.isEmpty())
        notes << m.errorProblem;
    else if (n >= 2 && n < kFewRecords)
        notes << QStringLiteral("記録が %1 件しかないため、標準誤差はおおまかな目安です。").arg(n);
    QString shown = shownLines.join(QLatin1Char('\n'));
    if (!notes.isEmpty())
        shown += QLatin1Char('\n') + notes.join(QLatin1Char('\n'));
    shown += QLatin1Char('\n') + CheckLines(state_.study, n).join(QLatin1Char('\n'));
    figures_->setText(shown);
}

QString frmResults::TableText(QChar separator) const {
    QStringList lines;
    auto header = [&](const QTableWidget* table) {
        QStringList cells;
        for (int c = 0; c < table->columnCount(); ++c)
            cells << table->horizontalHeaderItem(c)->text();
        lines << cells.join(separator);
    };
    // Full precision for the records, whatever the cells round to.
    header(records_);
    for (int row = 0; row < records_->rowCount(); ++row) {
        QStringList cells;
        for (int c = 0; c < records_->columnCount(); ++c)
            cells << FormatReal(records_->item(row, c)->data(Qt::UserRole).toDouble());
        lines << cells.join(separator);
    }
    lines << QString();
    header(periods_);
    for (int row = 0; row < periods_->rowCount(); ++row) {
        QStringList cells;
        for (int c = 0; c < periods_->columnCount(); ++c) {
            const QTableWidgetItem* item = periods_->item(row, c);
            const double v = item->data(Qt::UserRole).toDouble();
            cells << (c == 5 || std::isnan(v) ? item->text() : FormatReal(v));
        }
        lines << cells.join(separator);
    }
    lines << QString();
    for (const QString& line : figureLines_)
        lines << QString(line).replace(QLatin1Char('\t'), separator);
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

void frmResults::CopyButton_Click() {
    if (!ReadyToExport())
        return;
    QApplication::clipboard()->setText(TableText(QLatin1Char('\t')));
}

void frmResults::SaveButton_Click() {
    if (!ReadyToExport())
        return;
    SaveCsvText(this, platform_.files, TableText(QLatin1Char(',')),
                {state_.dataFileName, state_.deviateTableFileName});
}
