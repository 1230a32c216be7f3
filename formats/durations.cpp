#include "formats/durations.h"

#include "formats/fieldreader.h"
#include "formats/filename.h"
#include "formats/inputfile.h"
#include "statistics/dataerror.h"
#include "statistics/numeric.h"

#include <QDate>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <deque>

namespace {

qint64 YearStartMinute(int year, int month) {
    return QDate(year, month, 1).toJulianDay() * 1440;
}

// The year (labelled by the calendar year it starts in) an interval starting at minute lies in.
int YearOfMinute(qint64 minute, int startMonth) {
    const QDate date = QDate::fromJulianDay(minute / 1440);
    return date.month() >= startMonth ? date.year() : date.year() - 1;
}

// The first interval index at or after a minute (may lie outside the array).
qint64 FirstIndexAt(const StepSeries& steps, qint64 minute) {
    const qint64 offset = minute - steps.firstStart;
    const qint64 step = steps.stepMinutes;
    return offset >= 0 ? (offset + step - 1) / step : -((-offset) / step);
}

// The values as whole numbers of their last decimal place, so that window sums are exact; nothing
// when a value would not be one or the sums could leave the range where doubles are whole.
std::optional<std::vector<qint64>> ScaledValues(const StepSeries& steps, double& scale) {
    const int places = std::min(steps.decimals, 6);
    scale = std::pow(10.0, places);
    std::vector<qint64> scaled(steps.values.size(), 0);
    for (size_t i = 0; i < steps.values.size(); ++i) {
        const double v = steps.values[i];
        if (std::isnan(v))
            continue;
        const double s = v * scale;
        if (!(std::abs(s) < 1e12) ||
            std::abs(s - std::round(s)) > 1e-6 * std::max(1.0, std::abs(s)))
            return std::nullopt;
        scaled[i] = qint64(std::llround(s));
    }
    return scaled;
}

struct YearSpan {
    int year = 0;
    qint64 first = 0; // index of its first interval
    qint64 last = 0;  // one past its last
    qint64 present = 0;
};

void CheckOptions(const DurationOptions& options) {
    if (options.yearStartMonth < 1 || options.yearStartMonth > 12)
        throw DataError(QStringLiteral("年の始まりの月は 1 から 12 にしてください（%1）。")
                            .arg(options.yearStartMonth));
    if (!(options.coverage >= 0 && options.coverage <= 100))
        throw DataError(QStringLiteral("有効なデータの割合は 0 から 100 % にしてください。"));
    if (options.durations.isEmpty())
        throw DataError(QStringLiteral("継続時間が選ばれていません。"));
}

// The annual extreme of windows of k intervals for every year.
void BuildWindows(const StepSeries& steps, const QList<YearSpan>& spans, int k,
                  DurationAggregate aggregate, bool crossYear,
                  const std::optional<std::vector<qint64>>& scaled, double scale,
                  QList<DurationYear>& years) {
    const qint64 n = qint64(steps.values.size());
    const bool largest = aggregate != DurationAggregate::Min;
    qint64 sum = 0;
    int missing = 0;
    std::deque<qint64> peaks; // indices of falling values, for the window's peak
    auto isMissing = [&](qint64 i) { return std::isnan(steps.values[size_t(i)]); };
    qsizetype span = 0;
    // Across the year's start a window may begin before the first year taken.
    const qint64 firstTaken = std::max<qint64>(0, spans.first().first);
    const qint64 begin = std::max<qint64>(0, firstTaken - (crossYear ? k - 1 : 0));
    const qint64 end = std::min<qint64>(n, spans.last().last);
    for (qint64 j = begin; j < end; ++j) {
        missing += isMissing(j) ? 1 : 0;
        if (scaled)
            sum += (*scaled)[size_t(j)];
        if (j - k >= begin) {
            missing -= isMissing(j - k) ? 1 : 0;
            if (scaled)
                sum -= (*scaled)[size_t(j - k)];
        }
        if (aggregate == DurationAggregate::Max) {
            const double v = isMissing(j) ? -HUGE_VAL : steps.values[size_t(j)];
            while (!peaks.empty() && !(steps.values[size_t(peaks.back())] > v))
                peaks.pop_back();
            peaks.push_back(j);
            while (peaks.front() <= j - k)
                peaks.pop_front();
        }
        if (j < firstTaken)
            continue;
        while (j >= spans[span].last)
            ++span;
        const qint64 first = j - k + 1;
        if (first < begin || missing > 0 || (!crossYear && first < spans[span].first))
            continue;
        double value = 0;
        if (aggregate == DurationAggregate::Max) {
            value = steps.values[size_t(peaks.front())];
        } else {
            double total = 0;
            if (scaled) {
                total = double(sum) / scale;
            } else {
                for (qint64 i = first; i <= j; ++i)
                    total += steps.values[size_t(i)];
            }
            value = aggregate == DurationAggregate::Sum
                        ? total
                        : (scaled ? double(sum) / (scale * k) : total / k);
        }
        DurationYear& year = years[span];
        if (year.end < 0 || (largest ? value > year.value : value < year.value)) {
            year.value = value;
            year.end = steps.startOf(j) + steps.stepMinutes;
        }
    }
}

void BuildFlowDuration(const StepSeries& steps, const QList<YearSpan>& spans, int days,
                       QList<DurationYear>& years) {
    for (qsizetype s = 0; s < spans.size(); ++s) {
        DurationYear& year = years[s];
        if (year.present < year.intervals)
            continue;
        std::vector<double> sorted(steps.values.begin() + spans[s].first,
                                   steps.values.begin() + spans[s].last);
        std::sort(sorted.begin(), sorted.end(), std::greater<>());
        year.value = sorted[size_t(days - 1)];
        year.end = 0;
    }
}

QString Places(double value) {
    return ShortestReal(value);
}

} // namespace

std::optional<Duration> ParseDuration(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^([1-9][0-9]{0,4})(min|h|d)$"));
    const QRegularExpressionMatch match = form.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const int count = match.captured(1).toInt();
    const QString unit = match.captured(2);
    const int minutes = unit == QStringLiteral("min") ? count
                        : unit == QStringLiteral("h") ? count * 60
                                                      : count * 1440;
    if (minutes > 366 * 1440)
        return std::nullopt;
    return Duration{text.trimmed(), minutes, 0};
}

QList<Duration> ParseDurationList(const QString& list, int stepMinutes) {
    QList<Duration> durations;
    for (const QString& part : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const std::optional<Duration> duration = ParseDuration(part);
        if (!duration)
            throw DataError(QStringLiteral("継続時間「%1」を読めません。10min、2h、3d のように"
                                           "書いてください。")
                                .arg(part.trimmed().left(20)));
        if (duration->minutes % stepMinutes != 0)
            throw DataError(QStringLiteral("継続時間 %1 はこのファイルの刻み（%2）の整数倍では"
                                           "ありません。")
                                .arg(duration->label, StepName(stepMinutes)));
        if (std::any_of(durations.begin(), durations.end(),
                        [&](const Duration& d) { return d.minutes == duration->minutes; }))
            throw DataError(QStringLiteral("継続時間 %1 が重なっています。").arg(duration->label));
        durations << *duration;
    }
    if (durations.isEmpty())
        throw DataError(QStringLiteral("継続時間が選ばれていません。"));
    return durations;
}

QList<Duration> UsualDurations(int stepMinutes) {
    QStringList labels;
    if (stepMinutes == 1440)
        labels = {"1d", "2d", "3d", "4d", "5d", "6d", "7d"};
    else if (stepMinutes == 60)
        labels = {"1h", "2h", "3h", "6h", "12h", "24h", "48h", "72h"};
    else
        labels = {"10min", "20min", "30min", "40min", "60min", "80min", "120min"};
    QList<Duration> durations;
    for (const QString& label : labels)
        if (const std::optional<Duration> d = ParseDuration(label);
            d && d->minutes % stepMinutes == 0)
            durations << *d;
    return durations;
}

QList<Duration> FlowDurations() {
    QList<Duration> durations;
    for (const int days : {95, 185, 275, 355})
        durations << Duration{QStringLiteral("q%1").arg(days), 1440, days};
    return durations;
}

QString DurationName(const Duration& duration) {
    if (duration.flowDays > 0) {
        static const char16_t* names[] = {u"豊水流量", u"平水流量", u"低水流量", u"渇水流量"};
        const int index = duration.flowDays == 95    ? 0
                          : duration.flowDays == 185 ? 1
                          : duration.flowDays == 275 ? 2
                                                     : 3;
        return QStringLiteral("%1（%2 日）")
            .arg(QString::fromUtf16(names[index]))
            .arg(duration.flowDays);
    }
    return StepName(duration.minutes);
}

std::optional<Duration> DurationOfLabel(const QString& label) {
    for (const Duration& flow : FlowDurations())
        if (flow.label == label.trimmed())
            return flow;
    return ParseDuration(label);
}

DurationAggregate DefaultAggregate(StepItem item) {
    return item == StepItem::Rainfall || item == StepItem::Other ? DurationAggregate::Sum
                                                                 : DurationAggregate::Mean;
}

QString AggregateKey(DurationAggregate aggregate) {
    switch (aggregate) {
    case DurationAggregate::Sum:
        return QStringLiteral("sum");
    case DurationAggregate::Mean:
        return QStringLiteral("mean");
    case DurationAggregate::Max:
        return QStringLiteral("max");
    case DurationAggregate::Min:
        break;
    }
    return QStringLiteral("min");
}

int DurationSeries::includedCount() const {
    return int(std::count_if(years.begin(), years.end(),
                             [](const DurationYear& y) { return y.included; }));
}

DurationTable BuildDurations(const StepSeries& steps, const DurationOptions& options,
                             const QString& file) {
    CheckOptions(options);
    DurationTable table;
    DurationSource& source = table.source;
    source.file = file;
    source.format = StepFormatName(steps);
    source.station = steps.station;
    source.item = steps.item;
    source.unit = steps.unit;
    source.stepMinutes = steps.stepMinutes;
    // With no item named, a file's values are summed, as rainfall is.
    source.aggregate = options.aggregate.value_or(
        steps.item.isEmpty() ? DurationAggregate::Sum : DefaultAggregate(steps.itemKind));
    source.yearStartMonth = options.yearStartMonth;
    source.crossYear = options.crossYear;
    source.coverage = options.coverage;
    if (steps.values.empty())
        throw DataError(QStringLiteral("値がありません。"));

    const int month = options.yearStartMonth;
    int firstYear = YearOfMinute(steps.firstStart, month);
    int lastYear = YearOfMinute(steps.startOf(qint64(steps.values.size()) - 1), month);
    const int fileFirst = firstYear;
    const int fileLast = lastYear;
    if (options.fromYear)
        firstYear = std::max(firstYear, *options.fromYear);
    if (options.toYear)
        lastYear = std::min(lastYear, *options.toYear);
    if (firstYear > lastYear)
        throw DataError(QStringLiteral("指定の期間にはデータがありません（ファイルは %1 年から "
                                       "%2 年までです）。")
                            .arg(fileFirst)
                            .arg(fileLast));
    if (lastYear - firstYear + 1 > 1000)
        throw DataError(QStringLiteral("期間が長すぎます（%1 年から %2 年まで）。")
                            .arg(firstYear)
                            .arg(lastYear));

    QList<YearSpan> spans;
    const qint64 n = qint64(steps.values.size());
    for (int year = firstYear; year <= lastYear; ++year) {
        YearSpan span;
        span.year = year;
        span.first = FirstIndexAt(steps, YearStartMinute(year, month));
        span.last = FirstIndexAt(steps, YearStartMinute(year + 1, month));
        for (qint64 i = std::max<qint64>(0, span.first); i < std::min(n, span.last); ++i)
            span.present += std::isnan(steps.values[size_t(i)]) ? 0 : 1;
        spans << span;
    }
    double scale = 1;
    const std::optional<std::vector<qint64>> scaled =
        source.aggregate == DurationAggregate::Max ? std::nullopt : ScaledValues(steps, scale);

    for (const Duration& duration : options.durations) {
        if (duration.flowDays > 0 &&
            (steps.stepMinutes != 1440 || steps.itemKind == StepItem::Rainfall))
            throw DataError(QStringLiteral("流況（豊水・平水・低水・渇水流量）は日ごとの流量から"
                                           "だけ求められます。"));
        if (duration.minutes % steps.stepMinutes != 0)
            throw DataError(QStringLiteral("継続時間 %1 はこのファイルの刻み（%2）の整数倍では"
                                           "ありません。")
                                .arg(duration.label, StepName(steps.stepMinutes)));
        DurationSeries series;
        series.duration = duration;
        series.kind = duration.flowDays > 0 || source.aggregate == DurationAggregate::Min
                          ? SeriesKind::AnnualMinimum
                          : SeriesKind::AnnualMaximum;
        for (const YearSpan& span : spans) {
            DurationYear year;
            year.year = span.year;
            year.present = span.present;
            year.intervals = span.last - span.first;
            series.years << year;
        }
        const int k = duration.minutes / steps.stepMinutes;
        if (duration.flowDays > 0)
            BuildFlowDuration(steps, spans, duration.flowDays, series.years);
        else
            BuildWindows(steps, spans, k, source.aggregate, options.crossYear, scaled, scale,
                         series.years);
        for (DurationYear& year : series.years) {
            if (year.present == 0)
                year.note = QStringLiteral("有効な値がありません");
            else if (duration.flowDays > 0 && year.present < year.intervals)
                year.note = QStringLiteral("欠測の日が %1 日あり、流況を求められません")
                                .arg(year.intervals - year.present);
            else if (year.present * 100.0 < options.coverage * double(year.intervals))
                year.note = QStringLiteral("有効な値が %1/%2 で、%3 % に足りません")
                                .arg(year.present)
                                .arg(year.intervals)
                                .arg(options.coverage);
            else if (year.end < 0)
                year.note = QStringLiteral("有効な値が %1 続くところがありません")
                                .arg(DurationName(duration));
            else if (!std::isfinite(year.value))
                year.note = QStringLiteral("値が扱える数値の範囲を超えます");
            else
                year.included = true;
            if (!year.included) {
                year.value = 0;
                year.end = -1;
            }
            if (duration.flowDays > 0)
                year.end = -1;
        }
        table.series << series;
    }
    return table;
}

QString WindowEndText(qint64 end, int stepMinutes) {
    if (end < 0)
        return QString();
    if (stepMinutes % 1440 == 0)
        return StampText(end - 1440).left(10);
    return StampText(end);
}

QByteArray DurationTableCsv(const DurationTable& table) {
    QByteArray bytes = "year";
    for (const DurationSeries& series : table.series)
        bytes += ',' + series.duration.label.toUtf8();
    bytes += "\r\n";
    if (table.series.isEmpty())
        return bytes;
    for (qsizetype y = 0; y < table.series.first().years.size(); ++y) {
        bytes += QByteArray::number(table.series.first().years[y].year);
        for (const DurationSeries& series : table.series) {
            bytes += ',';
            if (series.years[y].included)
                bytes += Places(series.years[y].value).toLatin1();
        }
        bytes += "\r\n";
    }
    return bytes;
}

QByteArray DurationTableJson(const DurationTable& table) {
    const DurationSource& s = table.source;
    QJsonObject source{{"file", s.file},
                       {"format", s.format},
                       {"station", s.station},
                       {"item", s.item},
                       {"unit", s.unit},
                       {"step_minutes", s.stepMinutes},
                       {"aggregation", AggregateKey(s.aggregate)},
                       {"year_start", s.yearStartMonth},
                       {"cross_year", s.crossYear},
                       {"coverage", s.coverage}};
    QJsonArray durations;
    for (const DurationSeries& series : table.series) {
        QJsonArray years;
        QJsonArray leftOut;
        for (const DurationYear& year : series.years) {
            if (!year.included) {
                leftOut.append(QJsonObject{{"year", year.year}, {"reason", year.note}});
                continue;
            }
            QJsonObject row{{"year", year.year}, {"value", year.value}};
            row.insert(QStringLiteral("end"),
                       year.end >= 0 ? QJsonValue(WindowEndText(year.end, s.stepMinutes))
                                     : QJsonValue(QJsonValue::Null));
            years.append(row);
        }
        durations.append(QJsonObject{{"duration", series.duration.label},
                                     {"minutes", series.duration.minutes},
                                     {"kind", SeriesKindName(series.kind)},
                                     {"years", years},
                                     {"left_out", leftOut}});
    }
    return QJsonDocument(QJsonObject{{"source", source}, {"durations", durations}}).toJson();
}

SeriesData DurationSeriesData(const DurationTable& table, int index) {
    const DurationSeries& built = table.series[index];
    SeriesData series;
    for (const DurationYear& year : built.years) {
        if (!year.included) {
            series.origin.leftOut << QStringLiteral("%1 年：%2").arg(year.year).arg(year.note);
            series.origin.leftOutYears << year.year;
            continue;
        }
        if (series.recordCount >= kMaxRecords)
            throw DataError(QStringLiteral("取り込める年が %1 年を超えています。期間の始めと"
                                           "終わりを指定してください。")
                                .arg(kMaxRecords));
        series.years[size_t(series.recordCount)] = year.year;
        series.values[size_t(series.recordCount)] = year.value;
        series.origin.valueTimes << WindowEndText(year.end, table.source.stepMinutes);
        ++series.recordCount;
    }
    series.origin.kind = built.kind;
    const DurationSource& s = table.source;
    series.origin.station = s.station;
    series.origin.item = s.item.section(u'(', 0, 0);
    series.origin.unit = s.unit;
    series.origin.observationFile = s.file;
    static const char16_t* what[] = {u"合計", u"平均", u"最大", u"平均"};
    series.origin.built =
        built.duration.flowDays > 0
            ? QStringLiteral("年ごとの%1").arg(DurationName(built.duration))
            : QStringLiteral("%1 %2%3").arg(
                  built.kind == SeriesKind::AnnualMinimum ? QStringLiteral("年最小")
                                                          : QStringLiteral("年最大"),
                  DurationName(built.duration), QString::fromUtf16(what[int(s.aggregate)]));
    if (s.crossYear)
        series.origin.built += QStringLiteral("、年をまたぐ期間も含める");
    return series;
}

namespace {

// "年最大1時間降水量　(mm)": the kind, the duration without spaces, how the window was taken,
// the item and its unit.
QString AxisTitleOf(const Duration& duration, DurationAggregate aggregate, SeriesKind kind,
                    const QString& item, const QString& unit) {
    QString name;
    if (duration.flowDays > 0) {
        name = DurationName(duration);
    } else {
        const QString extreme =
            kind == SeriesKind::AnnualMinimum ? QStringLiteral("年最小") : QStringLiteral("年最大");
        // The peak of the intervals is the same whatever the window: the duration says nothing.
        if (aggregate == DurationAggregate::Max)
            name = extreme + item;
        else
            name = extreme + DurationName(duration).remove(u' ') +
                   (aggregate == DurationAggregate::Sum ? QString() : QStringLiteral("平均")) +
                   item;
    }
    return unit.isEmpty() ? name : name + QStringLiteral("\u3000(%1)").arg(unit);
}

} // namespace

QString DurationAxisTitle(const DurationTable& table, int index) {
    const DurationSource& s = table.source;
    const DurationSeries& built = table.series[index];
    QString item = s.item.section(u'(', 0, 0).trimmed();
    QString unit = s.unit;
    // A file that names no item is summed as rainfall is, and titled as rainfall.
    if (item.isEmpty()) {
        item =
            s.aggregate == DurationAggregate::Sum ? QStringLiteral("降水量") : QStringLiteral("値");
        if (s.aggregate == DurationAggregate::Sum && unit.isEmpty())
            unit = QStringLiteral("mm");
    }
    return AxisTitleOf(built.duration, s.aggregate, built.kind, item, unit);
}

QString DurationLabelAxisTitle(const QString& label) {
    const std::optional<Duration> duration = DurationOfLabel(label);
    if (!duration)
        return {};
    if (duration->flowDays > 0)
        return AxisTitleOf(*duration, DurationAggregate::Mean, SeriesKind::AnnualMinimum,
                           QStringLiteral("流量"), QString());
    return AxisTitleOf(*duration, DurationAggregate::Sum, SeriesKind::AnnualMaximum,
                       QStringLiteral("降水量"), QStringLiteral("mm"));
}

bool IsDurationTable(QByteArrayView bytes) {
    QByteArrayView head = bytes.first(std::min<qsizetype>(bytes.size(), 4096));
    if (head.startsWith("\xEF\xBB\xBF"))
        head = head.sliced(3);
    const qsizetype end = head.indexOf('\n');
    const QByteArrayView first = (end < 0 ? head : head.first(end)).trimmed();
    return first.startsWith("year,") && first.size() > 5;
}

DurationTableFile ParseDurationTable(QByteArrayView bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    const QList<QByteArray> lines = bytes.toByteArray().replace("\r\n", "\n").split('\n');
    auto fail = [](int line, const QString& problem) {
        throw DataError(QStringLiteral("%1 行目：%2").arg(line).arg(problem), line);
    };
    DurationTableFile table;
    const QList<QByteArray> header = lines.value(0).trimmed().split(',');
    if (header.size() < 2 || header.first() != "year")
        fail(1, QStringLiteral("継続時間の表の見出し（year,1h,…）がありません。"));
    for (qsizetype c = 1; c < header.size(); ++c) {
        const QString label = QString::fromUtf8(header[c].trimmed());
        if (label.isEmpty())
            fail(1, QStringLiteral("%1 列目の継続時間の名前が空です。").arg(c + 1));
        if (table.labels.contains(label))
            fail(1, QStringLiteral("継続時間 %1 が二度あります。").arg(label));
        table.labels << label;
    }
    table.series.resize(table.labels.size());
    std::optional<int> previous;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const int line = int(i + 1);
        const QByteArray text = lines[i].trimmed();
        if (text.isEmpty()) {
            if (i + 1 == lines.size())
                break;
            fail(line, QStringLiteral("空白行があります。空白行は作らないでください。"));
        }
        const QList<QByteArray> fields = text.split(',');
        if (fields.size() != header.size())
            fail(line, QStringLiteral("項目が %1 個あります（見出しは %2 個）。")
                           .arg(fields.size())
                           .arg(header.size()));
        bool ok = false;
        const int year = fields[0].trimmed().toInt(&ok);
        if (!ok)
            fail(line, QStringLiteral("西暦年が数字ではありません（「%1」）。")
                           .arg(QuoteFileBytes(fields[0])));
        if (previous && year <= *previous)
            fail(line, QStringLiteral("年 %1 が前の行の %2 より後ではありません。")
                           .arg(year)
                           .arg(*previous));
        previous = year;
        for (qsizetype c = 1; c < fields.size(); ++c) {
            const QByteArray cell = fields[c].trimmed();
            if (cell.isEmpty())
                continue;
            const std::optional<double> value = ParseReal(cell);
            if (!value)
                fail(line, QStringLiteral("%1 の値が数字ではありません（「%2」）。")
                               .arg(table.labels[c - 1], QuoteFileBytes(cell)));
            SeriesData& series = table.series[c - 1];
            if (series.recordCount == kMaxRecords)
                fail(line, QStringLiteral("データが %1 件を超えています。").arg(kMaxRecords));
            series.years[size_t(series.recordCount)] = year;
            series.values[size_t(series.recordCount)] = *value;
            ++series.recordCount;
        }
    }
    for (qsizetype c = 0; c < table.labels.size(); ++c) {
        const bool minimum = table.labels[c].startsWith(u'q');
        table.series[c].origin.kind =
            minimum ? SeriesKind::AnnualMinimum : SeriesKind::AnnualMaximum;
        table.series[c].origin.built = QStringLiteral("継続時間 %1").arg(table.labels[c]);
    }
    return table;
}

DurationTableFile ReadDurationTable(const QString& path) {
    try {
        return ParseDurationTable(ReadInputFile(path));
    } catch (const DataError& error) {
        throw DataError(QStringLiteral("データファイルを読み込めませんでした。\n%1\n\n%2")
                            .arg(DisplayFileName(path), error.message()),
                        error.line());
    }
}
