#include "report/report.h"

#include "chart/intensitychart.h"
#include "chart/modelcurves.h"
#include "info/version.h"
#include "platform/checkedfile.h"
#include "platform/samefile.h"
#include "platform/widgets.h"
#include "print/printersurface.h"
#include "print/printjob.h"
#include "state/studytexts.h"
#include "statistics/datachecks.h"
#include "statistics/dataerror.h"
#include "statistics/numeric.h"
#include "statistics/series.h"

#include <QAbstractTextDocumentLayout>
#include <QFileInfo>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

namespace {

// The page in millimetres: the header line sits above the body, the page number below it.
constexpr double kMmPerInch = 25.4;
constexpr double kLeftMm = 20;
constexpr double kRightMm = 190;
constexpr double kHeaderMm = 10;
constexpr double kBodyTopMm = 20;
constexpr double kBodyBottomMm = 277;
constexpr double kFooterMm = 284;
constexpr double kBodyPoints = 9;
constexpr double kChartHeadingPoints = 12;
const QString kChartHeading = QStringLiteral("5. 確率紙");

// The limit a model's SLSC passes at, and how near it a pass is told as a near thing.
constexpr double kSlscLimit = 0.04;
constexpr double kSlscMargin = 0.005;
// Below this many records the sample is small for the choice among the models.
constexpr int kSmallSample = 30;

QString Escaped(const QString& text) {
    return text.toHtmlEscaped();
}

// A figure with a fixed number of decimals; a dash where there is none, so no page ever shows
// a number that is not one.
QString Shown(const std::optional<double>& value, int decimals) {
    if (!value || !std::isfinite(*value))
        return QStringLiteral("—");
    return Figure(value, decimals);
}

QString ShownMarked(const std::optional<double>& value, int decimals,
                    const FittedModel* estimateOf = nullptr) {
    if (!value || !std::isfinite(*value))
        return QStringLiteral("—");
    return MarkedFigure(value, decimals, estimateOf);
}

QString Paragraph(const QString& text) {
    return QStringLiteral("<p>%1</p>").arg(Escaped(text));
}

// A note the reader should not miss.
QString Missing(const QString& text) {
    return QStringLiteral("<p style=\"color:#a00000\">%1</p>").arg(Escaped(text));
}

// A table whose first row repeats at the top of every page it runs onto.
QString Table(const QStringList& header, const QList<QStringList>& rows,
              const QList<bool>& numeric = {}, const QList<int>& widths = {}) {
    QString html = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"2\" "
                                  "style=\"border-collapse:collapse\" width=\"100%\"><thead><tr>");
    for (qsizetype c = 0; c < header.size(); ++c)
        html += QStringLiteral("<th bgcolor=\"#e8e8e8\"%1>%2</th>")
                    .arg(c < widths.size() ? QStringLiteral(" width=\"%1%\"").arg(widths[c])
                                           : QString(),
                         Escaped(header[c]));
    html += QStringLiteral("</tr></thead><tbody>");
    for (const QStringList& row : rows) {
        html += QStringLiteral("<tr>");
        for (qsizetype c = 0; c < row.size(); ++c) {
            const bool right = c < numeric.size() && numeric[c];
            html +=
                QStringLiteral("<td align=\"%1\">%2</td>")
                    .arg(right ? QStringLiteral("right") : QStringLiteral("left"), Escaped(row[c]));
        }
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</tbody></table>");
}

// Two columns of labels and values.
QString Pairs(const QList<QStringList>& rows) {
    QString html = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"2\">");
    for (const QStringList& row : rows)
        html += QStringLiteral("<tr><td width=\"35%\"><b>%1</b></td><td>%2</td></tr>")
                    .arg(Escaped(row.value(0)), Escaped(row.value(1)));
    return html + QStringLiteral("</table>");
}

int RecordCount(const AppState& state) {
    return std::clamp(state.study.series.recordCount, 0, kMaxRecords);
}

QString UnitOf(const AppState& state) {
    return state.study.series.origin.unit;
}

QString WithUnit(const QString& figure, const QString& unit) {
    return unit.isEmpty() || figure == QStringLiteral("—") ? figure
                                                           : figure + QLatin1Char(' ') + unit;
}

QString ProgramVersion() {
    return QStringLiteral("%1 %2.%3.%4")
        .arg(kAppTitle)
        .arg(kVersionMajor)
        .arg(kVersionMinor)
        .arg(kVersionRevision);
}

QString RuleName(SelectionRule rule) {
    return rule == SelectionRule::Bootstrap ? QStringLiteral("ブートストラップ誤差が最小")
                                            : QStringLiteral("ジャックナイフ誤差が最小");
}

// The sides of a period the series' kind asks about: annual totals have dry and wet years,
// maxima only the exceedance side, minima only the low side.
bool ShowsDry(SeriesKind kind) {
    return kind != SeriesKind::AnnualMaximum;
}
bool ShowsWet(SeriesKind kind) {
    return kind != SeriesKind::AnnualMinimum;
}

QString SummarySection(const AppState& state) {
    const Study& study = state.study;
    const SeriesData& series = study.series;
    const SeriesOrigin& origin = series.origin;
    const int n = RecordCount(state);
    const QString unit = UnitOf(state);
    QList<QStringList> rows;
    rows << QStringList{QStringLiteral("系列"), state.settings.axisTitle};
    rows << QStringList{QStringLiteral("種類"),
                        unit.isEmpty()
                            ? SeriesKindName(origin.kind)
                            : QStringLiteral("%1（%2）").arg(SeriesKindName(origin.kind), unit)};
    if (origin.observationFile.isEmpty()) {
        rows << QStringList{QStringLiteral("データファイル"), state.dataFileName};
    } else {
        rows << QStringList{QStringLiteral("観測データ"), origin.observationFile};
        if (!origin.station.isEmpty())
            rows << QStringList{QStringLiteral("観測所"), origin.station};
        if (!origin.item.isEmpty())
            rows << QStringList{QStringLiteral("項目"), origin.item};
        if (!origin.built.isEmpty())
            rows << QStringList{QStringLiteral("作り方"), origin.built};
        rows << QStringList{QStringLiteral("除いた年"),
                            origin.leftOut.isEmpty() ? QStringLiteral("なし")
                                                     : origin.leftOut.join(QStringLiteral("、"))};
    }
    rows << QStringList{QStringLiteral("記録数 N"), QString::number(n)};
    if (n > 0) {
        const auto years = std::minmax_element(series.years.begin(), series.years.begin() + n);
        rows << QStringList{QStringLiteral("最初の年・最後の年"),
                            QStringLiteral("%1 年～%2 年").arg(*years.first).arg(*years.second)};
        const auto values = std::minmax_element(series.values.begin(), series.values.begin() + n);
        const auto yearOf = [&](const double* v) {
            return series.years[static_cast<size_t>(v - series.values.begin())];
        };
        rows << QStringList{QStringLiteral("最大値"),
                            QStringLiteral("%1（%2 年）")
                                .arg(WithUnit(Shown(*values.second, 1), unit))
                                .arg(yearOf(values.second))};
        rows << QStringList{QStringLiteral("最小値"),
                            QStringLiteral("%1（%2 年）")
                                .arg(WithUnit(Shown(*values.first, 1), unit))
                                .arg(yearOf(values.first))};
    }
    const SeriesMoments moments = ComputeSeriesMoments(series);
    rows << QStringList{QStringLiteral("平均"), WithUnit(Shown(moments.mean, 1), unit)};
    rows << QStringList{QStringLiteral("標準偏差"), WithUnit(Shown(moments.deviation, 1), unit)};
    rows << QStringList{QStringLiteral("変動係数"), Shown(moments.variation, 3)};
    rows << QStringList{QStringLiteral("歪み係数"),
                        moments.skewness ? Shown(moments.skewness, 3)
                                         : QStringLiteral("求められません（記録が 3 件未満か、"
                                                          "値がすべて同じ）")};
    const double alpha = study.models.alpha;
    rows << QStringList{
        QStringLiteral("α（プロッティング・ポジション）"),
        QStringLiteral("%1　%2").arg(FormatReal(alpha), PlottingPositionName(alpha))};
    rows << QStringList{QStringLiteral("選ぶ基準"), TargetLabel(study.models.target)};
    rows << QStringList{QStringLiteral("選定の規則"), RuleName(study.settings.selectBy)};
    const std::optional<ModelId> model = ReportModel(state);
    rows << QStringList{QStringLiteral("報告する分布"),
                        model ? ModelName(*model) : QStringLiteral("なし")};
    rows << QStringList{QStringLiteral("ブートストラップ"),
                        study.bootstrap
                            ? QStringLiteral("B = %1、seed %2、%3 %")
                                  .arg(study.bootstrap->settings.replicates)
                                  .arg(study.bootstrap->settings.seed)
                                  .arg(FormatReal(study.bootstrap->settings.level * 100))
                            : QStringLiteral("計算していません")};
    rows << QStringList{QStringLiteral("プログラム"), ProgramVersion()};
    QString html = Pairs(rows);
    if (!model)
        html += Missing(NoSelectionText(study.models));
    return html;
}

QString ChecksSection(const AppState& state) {
    const int n = RecordCount(state);
    QString html;
    for (const QString& line : CheckLines(state.study, n))
        html += Paragraph(line);
    const QStringList notes = ReportNotes(state);
    if (!notes.isEmpty()) {
        html += QStringLiteral("<h3>注意</h3><ul>");
        for (const QString& note : notes)
            html += QStringLiteral("<li>%1</li>").arg(Escaped(note));
        html += QStringLiteral("</ul>");
    }
    return html;
}

QString ComparisonSection(const AppState& state) {
    const Study& study = state.study;
    const Target target = study.models.target;
    const bool bootstrap = study.bootstrap.has_value();
    QStringList header{QStringLiteral("分布"), QStringLiteral("SLSC"), QStringLiteral("X-COR"),
                       TargetLabel(target), QStringLiteral("ジャックナイフ誤差")};
    if (bootstrap)
        header << QStringLiteral("ブートストラップ誤差");
    header << QStringLiteral("○") << QStringLiteral("◎") << QStringLiteral("備考");
    QList<QStringList> rows;
    bool negative = false;
    for (size_t i = 0; i < kModelCount; ++i) {
        const ModelComparison& m = study.models.models[i];
        const ReturnPeriodValues* p = m.applicable() ? m.period(TargetPeriod(target)) : nullptr;
        const std::optional<double> value =
            p ? std::optional<double>(TargetIsWet(target) ? p->wet : p->dry) : std::nullopt;
        negative = negative || (value && *value < 0);
        QStringList row{m.model.name(), Shown(m.slsc, 4), Shown(m.xCor, 4),
                        p ? ShownMarked(value, 1) : QStringLiteral("—"),
                        Shown(m.targetError(target), 1)};
        QStringList notes{ModelRemark(m)};
        if (bootstrap) {
            const ModelBootstrap& b = study.bootstrap->models[i];
            row << Shown(b.targetError(target), 1);
            if (m.applicable() && !b.hasFigures())
                notes << QStringLiteral("ブートストラップ：") + b.problem;
        }
        notes.removeAll(QString());
        row << (m.passes ? QStringLiteral("○") : QString())
            << (m.selected ? QStringLiteral("◎") : QString()) << notes.join(QStringLiteral("　"));
        rows << row;
    }
    QList<bool> numeric{false, true, true, true, true};
    // The names read whole on one or two lines; the remarks take what is left.
    QList<int> widths{24, 7, 7, 9, 9};
    if (bootstrap) {
        numeric << true;
        widths << 9;
    }
    widths << 3 << 3;
    QString html = Table(header, rows, numeric, widths);
    html += Paragraph(QStringLiteral("○ は SLSC が 0.04 以下の分布、◎ はその中から%1で選んだ分布。")
                          .arg(RuleName(study.settings.selectBy)));
    if (!study.models.selected)
        html += Missing(NoSelectionText(study.models));
    if (negative)
        html += Paragraph(kNegativeNote);
    return html;
}

QString ValuesSection(const AppState& state) {
    const Study& study = state.study;
    const std::optional<ModelId> id = ReportModel(state);
    if (!id)
        return Missing(NoSelectionText(study.models) + QStringLiteral("確率値の表はありません。"));
    const ModelComparison& m = study.models.model(*id);
    QString html =
        QStringLiteral("<h3>%1%2</h3>")
            .arg(Escaped(m.model.name()), state.compared.highlighted && m.selected == false
                                              ? QStringLiteral("（比較の画面で選んでいる分布）")
                                              : QStringLiteral("（選定された分布）"));
    if (!m.applicable())
        return html + Missing(m.model.problem());
    QStringList parameters;
    for (const ModelParameter& p : m.model.parameters())
        parameters << QStringLiteral("%1 = %2").arg(QLatin1String(p.name),
                                                    ThreeSignificant(p.value));
    html += Paragraph(QStringLiteral("母数：") + parameters.join(QStringLiteral("、")));
    if (!m.jackknifeProblem.isEmpty())
        html += Missing(QStringLiteral("ジャックナイフ推定値と誤差はありません：") +
                        m.jackknifeProblem);
    const bool bootstrap = BootstrapOf(study, *id, kReturnPeriods[0]) != nullptr;
    if (study.bootstrap && !bootstrap)
        html += Missing(QStringLiteral("ブートストラップの値はありません：") +
                        study.bootstrap->model(*id).problem);
    const IntervalKind kind =
        study.bootstrap ? study.bootstrap->settings.interval : IntervalKind::Percentile;
    const int n = RecordCount(state);
    const SeriesKind seriesKind = study.series.origin.kind;
    struct Side {
        bool wet;
        QString name;
    };
    QList<Side> sides;
    if (ShowsDry(seriesKind))
        sides << Side{false, seriesKind == SeriesKind::AnnualMinimum
                                 ? QStringLiteral("小さい側（年最小値の確率値）")
                                 : QStringLiteral("渇水年（小さい側）")};
    if (ShowsWet(seriesKind))
        sides << Side{true, seriesKind == SeriesKind::AnnualMaximum
                                ? QStringLiteral("超過側（年最大値の確率値）")
                                : QStringLiteral("豊水年（大きい側）")};
    bool negative = false;
    for (const Side& side : sides) {
        QStringList header{QStringLiteral("再現期間 T"), QStringLiteral("確率値"),
                           QStringLiteral("ジャックナイフ推定値"), QStringLiteral("誤差"),
                           QStringLiteral("確率値＋誤差")};
        if (bootstrap)
            header << QStringLiteral("ブートストラップ誤差") << QStringLiteral("区間の下限")
                   << QStringLiteral("区間の上限");
        header << QStringLiteral("外挿");
        QList<QStringList> rows;
        for (const ReturnPeriodValues& p : m.periods) {
            const double value = side.wet ? p.wet : p.dry;
            const std::optional<double> estimate = side.wet ? p.wetJackknife : p.dryJackknife;
            const std::optional<double> error = side.wet ? p.wetError : p.dryError;
            negative = negative || value < 0 || (estimate && *estimate < 0);
            QStringList row{QString::number(p.period), ShownMarked(value, 1),
                            ShownMarked(estimate, 1, &m.model), Shown(error, 1),
                            error ? ShownMarked(value + *error, 1) : QStringLiteral("—")};
            if (bootstrap) {
                const BootstrapPeriod* b = BootstrapOf(study, *id, p.period);
                const BootstrapFigures* f = b ? (side.wet ? &b->wet : &b->dry) : nullptr;
                QString low = Shown(std::nullopt, 1);
                QString high = low;
                if (f)
                    if (const std::optional<Interval> interval = f->interval(kind)) {
                        low = Shown(interval->low, 1);
                        high = Shown(interval->high, 1);
                    }
                row << Shown(f ? f->error : std::nullopt, 1) << low << high;
            }
            row << (IsExtrapolation(p.period, n) ? QStringLiteral("外挿") : QString());
            rows << row;
        }
        QList<bool> numeric(header.size() - 1, true);
        html +=
            QStringLiteral("<h3>%1</h3>").arg(Escaped(side.name)) + Table(header, rows, numeric);
    }
    if (bootstrap)
        html += Paragraph(
            QStringLiteral("区間は %1 の %2 % 区間。")
                .arg(IntervalKindName(kind), FormatReal(study.bootstrap->settings.level * 100)));
    html += Paragraph(
        QStringLiteral("「外挿」は記録の長さの 2 倍（%1 年）を超える再現期間。").arg(2 * n));
    if (negative)
        html += Paragraph(kNegativeNote);
    return html;
}

QString DataSection(const AppState& state) {
    const Study& study = state.study;
    const int n = RecordCount(state);
    const SeriesOrigin& origin = study.series.origin;
    // The import of a duration knows when each maximum was reached.
    const bool times = origin.valueTimes.size() == n &&
                       std::any_of(origin.valueTimes.begin(), origin.valueTimes.end(),
                                   [](const QString& t) { return !t.isEmpty(); });
    QList<QStringList> rows;
    for (int k = 0; k < n; ++k) {
        const size_t i = static_cast<size_t>(k);
        QStringList row{QString::number(study.series.years[i]), Shown(study.series.values[i], 1),
                        QString::number(study.analysis.ranks[i]),
                        Shown(study.analysis.probabilities[i], 4)};
        if (times)
            row << origin.valueTimes[k];
        rows << row;
    }
    QStringList header{QStringLiteral("年"), QStringLiteral("値"), QStringLiteral("順位"),
                       QStringLiteral("非超過確率")};
    if (times)
        header << QStringLiteral("最大になった時（期間の終わり）");
    QString html = Table(header, rows, {true, true, true, true, true});
    if (!origin.observationFile.isEmpty()) {
        html += QStringLiteral("<h3>除いた年</h3>");
        if (origin.leftOut.isEmpty())
            html += Paragraph(QStringLiteral("除いた年はありません。"));
        for (const QString& line : origin.leftOut)
            html += Paragraph(line);
    }
    return html;
}

// One QTextDocument of sections, each starting on a page of its own, laid out for device.
void LayOut(QTextDocument& document, const std::vector<ReportSection>& sections,
            QPagedPaintDevice& device, QSizeF body) {
    document.documentLayout()->setPaintDevice(&device);
    document.setDocumentMargin(0);
    QFont font(kFaceMincho);
    font.setPointSizeF(kBodyPoints);
    document.setDefaultFont(font);
    document.setDefaultStyleSheet(
        QStringLiteral(
            "h2 { font-family: '%1'; font-size: 14pt; margin-bottom: 6pt; }"
            "h3 { font-family: '%1'; font-size: 11pt; margin-top: 8pt; margin-bottom: 3pt; }"
            "th { font-family: '%1'; font-weight: normal; }"
            "p { margin-top: 2pt; margin-bottom: 2pt; }")
            .arg(kFaceGothic));
    QString html;
    for (size_t i = 0; i < sections.size(); ++i)
        html += QStringLiteral("<h2%1>%2</h2>")
                    .arg(i == 0 ? QString() : QStringLiteral(" style=\"page-break-before:always\""),
                         Escaped(sections[i].heading)) +
                sections[i].html;
    // The page size first: the document is laid out once, for the pages it goes on.
    document.setPageSize(body);
    document.setHtml(html);
}

struct PageFrame {
    double dotsX;
    double dotsY;
    QRectF body; // device dots
};

PageFrame FrameOf(const QPagedPaintDevice& device) {
    const double dotsX = device.logicalDpiX() / kMmPerInch;
    const double dotsY = device.logicalDpiY() / kMmPerInch;
    return {dotsX, dotsY,
            QRectF(kLeftMm * dotsX, kBodyTopMm * dotsY, (kRightMm - kLeftMm) * dotsX,
                   (kBodyBottomMm - kBodyTopMm) * dotsY)};
}

void DrawHeaderAndNumber(QPainter& painter, const PageFrame& frame, const QString& header, int page,
                         int pages) {
    painter.save();
    QFont font(kFaceGothic);
    font.setPointSizeF(8);
    painter.setFont(font);
    painter.setPen(QPen(Qt::black, std::max(1.0, 0.2 * frame.dotsX)));
    const double left = kLeftMm * frame.dotsX;
    const double width = (kRightMm - kLeftMm) * frame.dotsX;
    const QRectF headerBox(left, (kHeaderMm - 4) * frame.dotsY, width, 6 * frame.dotsY);
    // A long title or file name is cut in its middle rather than running off the sheet.
    painter.drawText(
        headerBox, Qt::AlignLeft | Qt::AlignBottom,
        painter.fontMetrics().elidedText(header, Qt::ElideMiddle, static_cast<int>(width)));
    const double rule = (kHeaderMm + 3) * frame.dotsY;
    painter.drawLine(QPointF(left, rule), QPointF(left + width, rule));
    const QRectF footerBox(left, (kFooterMm - 3) * frame.dotsY, width, 6 * frame.dotsY);
    painter.drawText(footerBox, Qt::AlignHCenter | Qt::AlignVCenter,
                     QStringLiteral("%1 / %2").arg(page).arg(pages));
    painter.restore();
}

void DrawDocumentPages(QPainter& painter, QTextDocument& document, const PageFrame& frame,
                       QPagedPaintDevice& device, const QString& header, int& page, int pages) {
    const double height = frame.body.height();
    for (int i = 0; i < document.pageCount(); ++i) {
        if (page > 0)
            device.newPage();
        ++page;
        painter.save();
        painter.translate(frame.body.left(), frame.body.top() - i * height);
        document.drawContents(&painter, QRectF(0, i * height, frame.body.width(), height));
        painter.restore();
        DrawHeaderAndNumber(painter, frame, header, page, pages);
    }
}

// The chart page as --pdf --curves selected draws it, with the interval when the bootstrap has
// run; the state's curves, interval switch and print offsets are given back as they were.
void DrawChartPage(AppState& state, PrinterSurface& surface) {
    const ComparedCurves curves = state.compared;
    const ChartSettings settings = state.settings;
    state.compared.show = true;
    if (!state.compared.chosen || state.compared.models.empty()) {
        // Nobody's ticks: the selected model's curve, as the page of --curves selected has it.
        state.compared.chosen = false;
        state.compared.models.clear();
    }
    // The model the report is of has its curve beside its interval, whatever was ticked.
    if (const std::optional<ModelId> model = ReportModel(state);
        model && model != state.study.models.selected) {
        if (!state.compared.chosen && state.study.models.selected)
            state.compared.models.push_back(*state.study.models.selected);
        state.compared.chosen = true;
    }
    if (const std::optional<ModelId> model = ReportModel(state);
        model && state.compared.chosen &&
        std::find(state.compared.models.begin(), state.compared.models.end(), *model) ==
            state.compared.models.end())
        state.compared.models.insert(state.compared.models.begin(), *model);
    state.settings.showInterval = state.study.bootstrap.has_value();
    try {
        RunPrintJob(state, QStringLiteral("0"), QStringLiteral("0"), surface);
    } catch (...) {
        state.compared = curves;
        state.settings = settings;
        throw;
    }
    state.compared = curves;
    state.settings = settings;
}

} // namespace

SeriesMoments ComputeSeriesMoments(const SeriesData& series) {
    const int n = std::clamp(series.recordCount, 0, kMaxRecords);
    SeriesMoments moments;
    if (n < 1)
        return moments;
    double sum = 0;
    for (int i = 0; i < n; ++i)
        sum += series.values[static_cast<size_t>(i)];
    const double mean = sum / n;
    if (std::isfinite(mean))
        moments.mean = mean;
    if (n < 2)
        return moments;
    double squares = 0;
    for (int i = 0; i < n; ++i)
        squares += std::pow(series.values[static_cast<size_t>(i)] - mean, 2);
    const double deviation = std::sqrt(squares / (n - 1));
    if (!std::isfinite(deviation))
        return moments;
    moments.deviation = deviation;
    if (mean != 0)
        moments.variation = deviation / mean;
    if (n < 3 || deviation <= 0)
        return moments;
    double cubes = 0;
    for (int i = 0; i < n; ++i)
        cubes += std::pow((series.values[static_cast<size_t>(i)] - mean) / deviation, 3);
    const double skewness = n * cubes / ((n - 1.0) * (n - 2.0));
    if (std::isfinite(skewness))
        moments.skewness = skewness;
    return moments;
}

std::optional<ModelId> ReportModel(const AppState& state) {
    if (state.compared.highlighted &&
        state.study.models.model(*state.compared.highlighted).applicable())
        return state.compared.highlighted;
    return state.study.models.selected;
}

QStringList ReportNotes(const AppState& state) {
    const Study& study = state.study;
    const int n = RecordCount(state);
    QStringList notes;
    if (n < kSmallSample)
        notes << QStringLiteral("記録が %1 年で 30 年に足りない小さな標本です。SLSC < 0.03 を"
                                "目安にするなら 100 年ほどの記録が望ましいとする文献もあります。")
                     .arg(n);
    if (std::fabs(study.models.alpha - kCunnaneAlpha) > 1e-9)
        notes << QStringLiteral("α = %1 です。分布の比較では Cunnane の 0.4 を使うことが多い"
                                "ので、値を比べるときは注意してください。")
                     .arg(FormatReal(study.models.alpha));
    double largest = 0;
    for (int i = 0; i < n; ++i)
        largest = std::max(largest, study.series.values[static_cast<size_t>(i)]);
    if (const std::optional<ModelId> id = ReportModel(state)) {
        const ModelComparison& m = study.models.model(*id);
        const SeriesKind kind = study.series.origin.kind;
        if (const ReturnPeriodValues* p = m.period(100);
            p && m.applicable() && ShowsWet(kind) && n > 0 && p->wet < largest)
            notes << QStringLiteral("%1の 1/100 の値（%2）が記録の最大値（%3）より小さくなって"
                                    "います。")
                         .arg(m.model.name(), Shown(p->wet, 1), Shown(largest, 1));
    }
    for (const ModelComparison& m : study.models.models)
        if (m.passes && m.slsc && *m.slsc > kSlscLimit - kSlscMargin)
            notes << QStringLiteral("%1の SLSC（%2）は 0.04 の基準にわずか %3 の差で通って"
                                    "います。")
                         .arg(m.model.name(), Shown(m.slsc, 4), Shown(kSlscLimit - *m.slsc, 4));
    bool negative = false;
    for (const ModelComparison& m : study.models.models)
        if (m.applicable())
            for (const ReturnPeriodValues& p : m.periods)
                negative = negative || p.dry < 0 || p.wet < 0;
    if (negative)
        notes << QStringLiteral("正の量なのに負の確率値になる分布があります（表の ※）。その"
                                "分布のその値は使えません。");
    if (n > 0 && IsExtrapolation(kReturnPeriods.back(), n))
        notes << QStringLiteral("記録の長さの 2 倍（%1 年）を超える再現期間の値は外挿です。")
                     .arg(2 * n);
    return notes;
}

std::vector<ReportSection> ReportSectionsBeforeChart(const AppState& state) {
    return {{QStringLiteral("1. 概要"), SummarySection(state)},
            {QStringLiteral("2. データの検定"), ChecksSection(state)},
            {QStringLiteral("3. 確率分布の比較"), ComparisonSection(state)},
            {QStringLiteral("4. 確率値"), ValuesSection(state)}};
}

std::vector<ReportSection> ReportSectionsAfterChart(const AppState& state) {
    std::vector<ReportSection> sections{{QStringLiteral("6. データ"), DataSection(state)}};
    if (state.durations.loaded())
        AppendDurationSections(state, sections);
    return sections;
}

namespace {

// A table of one figure of every duration: a row for each period, a column for each duration.
QString DurationFigureTable(const IntensityStudy& study, int decimals,
                            std::optional<double> RainfallPeriod::*figure) {
    QStringList header{QStringLiteral("再現期間 T")};
    QList<bool> numeric{true};
    for (const DurationRainfall& d : study.durations) {
        header << d.label;
        numeric << true;
    }
    QList<QStringList> rows;
    for (size_t k = 0; k < kRainfallPeriodCount; ++k) {
        QStringList row{QString::number(kRainfallPeriods[k])};
        for (const DurationRainfall& d : study.durations)
            row << Shown(d.periods[k].*figure, decimals);
        rows << row;
    }
    return Table(header, rows, numeric);
}

QString DurationValuesSection(const AppState& state) {
    const IntensityFigures& figures = state.intensity;
    if (!figures.study)
        return Missing(figures.problem.isEmpty()
                           ? QStringLiteral("継続時間ごとの確率雨量はありません。")
                           : figures.problem);
    const IntensityStudy& study = *figures.study;
    QString html = Paragraph(
        figures.model
            ? QStringLiteral("どの継続時間も%1の値です。").arg(ModelName(*figures.model))
            : QStringLiteral("継続時間ごとに選定された分布の値です（強度 I = R × 60 / t）。"));
    QList<QStringList> models;
    for (const DurationRainfall& d : study.durations)
        models << QStringList{d.label, d.model ? ModelName(*d.model) : QStringLiteral("—"),
                              Shown(d.slsc, 4), d.problem};
    html += Table({QStringLiteral("継続時間"), QStringLiteral("分布"), QStringLiteral("SLSC"),
                   QStringLiteral("備考")},
                  models, {false, false, true, false}, {12, 40, 10, 38});
    html += QStringLiteral("<h3>確率雨量 (mm)</h3>") +
            DurationFigureTable(study, 1, &RainfallPeriod::depth);
    html += QStringLiteral("<h3>確率強度 (mm/h)</h3>") +
            DurationFigureTable(study, 2, &RainfallPeriod::intensity);
    html += QStringLiteral("<h3>ジャックナイフ推定誤差 (mm)</h3>") +
            DurationFigureTable(study, 1, &RainfallPeriod::error);
    html += QStringLiteral("<h3>確率雨量＋推定誤差 (mm)</h3>") +
            DurationFigureTable(study, 1, &RainfallPeriod::upper);
    return html;
}

QString FormulasSection(const AppState& state) {
    const IntensityFigures& figures = state.intensity;
    if (!figures.study)
        return Missing(figures.problem.isEmpty() ? QStringLiteral("降雨強度式はありません。")
                                                 : figures.problem);
    const IntensityStudy& study = *figures.study;
    QStringList fitted;
    for (size_t i : study.fitted)
        fitted << study.durations[i].label;
    QString html = Paragraph(QStringLiteral("当てはめた継続時間：%1（t は分、I は mm/h）。◎ は"
                                            "その確率年で RMSE が最小の式です。")
                                 .arg(fitted.join(QStringLiteral("、"))));
    if (!figures.problem.isEmpty())
        html += Missing(figures.problem);
    QList<QStringList> rows;
    for (const PeriodFormulas& period : study.formulas)
        for (const FormulaFit& fit : period.fits)
            rows << QStringList{QString::number(period.period),
                                IntensityFormulaName(fit.formula) + QLatin1Char(' ') +
                                    IntensityFormulaText(fit.formula),
                                Shown(fit.a, 3),
                                FormulaHasB(fit.formula) ? Shown(fit.b, 4) : QString(),
                                FormulaHasN(fit.formula) ? Shown(fit.n, 3) : QString(),
                                Shown(fit.rmse, 4),
                                Shown(fit.maxRelativeError, 4),
                                fit.best ? QStringLiteral("◎") : QString(),
                                fit.problem};
    html += Table({QStringLiteral("T"), QStringLiteral("式"), QStringLiteral("a"),
                   QStringLiteral("b"), QStringLiteral("n"), QStringLiteral("RMSE"),
                   QStringLiteral("最大相対誤差"), QStringLiteral("最良"), QStringLiteral("備考")},
                  rows, {true, false, true, true, true, true, true, false, false},
                  {5, 24, 10, 9, 6, 8, 9, 5, 24});
    return html;
}

// The page of the intensity chart, for a duration table with figures.
bool HasIntensityChart(const AppState& state) {
    return state.durations.loaded() && state.intensity.study.has_value();
}

const QString kIntensityChartHeading = QStringLiteral("9. 降雨強度式の図");

} // namespace

void AppendDurationSections(const AppState& state, std::vector<ReportSection>& sections) {
    sections.push_back({QStringLiteral("7. 継続時間ごとの確率雨量"), DurationValuesSection(state)});
    sections.push_back({QStringLiteral("8. 降雨強度式"), FormulasSection(state)});
}

QString ReportHeaderLine(const AppState& state, const QDateTime& made) {
    QString title = state.settings.axisTitle;
    if (state.durations.loaded())
        title += QStringLiteral("　") + state.durations.names.value(state.durations.shown);
    const QString file = state.study.series.origin.observationFile.isEmpty()
                             ? state.dataFileName
                             : state.study.series.origin.observationFile;
    return QStringLiteral("%1　%2　　作成 %3")
        .arg(title, QFileInfo(file).fileName(), made.toString(QStringLiteral("yyyy-MM-dd")));
}

namespace {

// The heading of a drawn page, where a text page has its first heading.
void DrawPageHeading(QPainter& painter, const PageFrame& frame, const QString& heading) {
    painter.save();
    QFont font(kFaceGothic);
    font.setPointSizeF(kChartHeadingPoints);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(frame.body.left(), (kHeaderMm + 4) * frame.dotsY, frame.body.width(),
                            6 * frame.dotsY),
                     Qt::AlignLeft | Qt::AlignVCenter, heading);
    painter.restore();
}

} // namespace

int DrawReport(AppState& state, QPagedPaintDevice& device, const QDateTime& made) {
    CheckPrintScale(state);
    SetUpA4Page(device);
    const PageFrame frame = FrameOf(device);
    QTextDocument before;
    LayOut(before, ReportSectionsBeforeChart(state), device, frame.body.size());
    QTextDocument after;
    LayOut(after, ReportSectionsAfterChart(state), device, frame.body.size());
    const bool intensityChart = HasIntensityChart(state);
    const int pages = before.pageCount() + 1 + after.pageCount() + (intensityChart ? 1 : 0);
    const QString header = ReportHeaderLine(state, made);

    PrinterSurface surface(device);
    surface.SetFontTransparent(true);
    QPainter& painter = surface.Painter();
    int page = 0;
    DrawDocumentPages(painter, before, frame, device, header, page, pages);
    device.newPage();
    ++page;
    painter.save();
    DrawChartPage(state, surface);
    painter.restore();
    {
        // The heading and, without a model, why no curve is drawn: both above the grid's frame.
        DrawPageHeading(painter, frame, kChartHeading);
        painter.save();
        QFont font(kFaceGothic);
        if (!ReportModel(state)) {
            // Beside the heading and clear of the year note at the right.
            font.setPointSizeF(8);
            painter.setFont(font);
            painter.setPen(QColor(0xa0, 0, 0));
            painter.drawText(
                QRectF(frame.body.left() + 30 * frame.dotsX, (kHeaderMm + 4) * frame.dotsY,
                       95 * frame.dotsX, 8 * frame.dotsY),
                Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                NoSelectionText(state.study.models) + QStringLiteral("曲線はありません。"));
        }
        painter.restore();
    }
    DrawHeaderAndNumber(painter, frame, header, page, pages);
    DrawDocumentPages(painter, after, frame, device, header, page, pages);
    if (intensityChart) {
        device.newPage();
        ++page;
        DrawPageHeading(painter, frame, kIntensityChartHeading);
        // The surface works in millimetres: a square-ish chart under the heading.
        painter.save();
        // Laid out as on the screen, a screen pixel taken as a 96th of an inch.
        constexpr double kMmPerPixel = kMmPerInch / 96;
        DrawIntensityChart(
            *state.intensity.study, std::nullopt, surface,
            QRectF(kLeftMm, kHeaderMm + 14, kRightMm - kLeftMm,
                   std::min(kRightMm - kLeftMm + 20.0, kBodyBottomMm - kHeaderMm - 20)),
            kMmPerPixel);
        painter.restore();
        DrawHeaderAndNumber(painter, frame, header, page, pages);
    }
    if (!surface.EndDoc())
        throw DataError(QStringLiteral("報告書の紙面を最後まで作れませんでした。"));
    return pages;
}

void WriteReportPdf(AppState& state, const QString& path, const QStringList& inputs,
                    const QDateTime& made) {
    RefuseOverwritingInput(path, inputs);
    WritePdfFile(path, [&](QPagedPaintDevice& device) { DrawReport(state, device, made); });
}

QString SuggestedReportPath(const QString& dataFileName) {
    if (dataFileName.isEmpty())
        return {};
    const QFileInfo data(dataFileName);
    return data.absolutePath() + QLatin1Char('/') + data.completeBaseName() +
           QStringLiteral("-report.pdf");
}
