#include "formats/stepfile.h"

#include "formats/fieldreader.h"
#include "formats/filename.h"
#include "formats/import.h"
#include "formats/inputfile.h"
#include "formats/textencoding.h"
#include "statistics/dataerror.h"

#include <QDate>
#include <QHash>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <optional>

namespace {

// A line longer than this is no line of dated values.
constexpr qsizetype kLongestLine = 64 * 1024;
// Enough lines to find the header, the columns and the step.
constexpr qsizetype kSampleLines = 2000;

const double kMissing = std::numeric_limits<double>::quiet_NaN();

[[noreturn]] void Fail(int line, const QString& problem) {
    if (line <= 0)
        throw DataError(problem);
    throw DataError(QStringLiteral("%1 行目：%2").arg(line).arg(problem), line);
}

bool IsAscii(QByteArrayView bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; });
}

// The lines of a file, from bytes in memory or from a file read in pieces. A line ends at CR,
// CR LF or LF.
class Lines {
public:
    explicit Lines(QByteArrayView bytes)
        : whole_(bytes) {}
    explicit Lines(RegularFileChunks& file)
        : file_(&file) {}

    // The next line without its end; false after the last.
    bool next(QByteArray& line) {
        if (!file_)
            return nextOf(whole_, true, line);
        for (;;) {
            const QByteArrayView rest = QByteArrayView(buffer_).sliced(pos_);
            if (nextOf(rest, atEnd_, line))
                return true;
            if (atEnd_)
                return false;
            if (rest.size() > kLongestLine)
                Fail(number_ + 1,
                     QStringLiteral("行が長すぎます（%1 文字を超えています）。").arg(kLongestLine));
            buffer_.remove(0, pos_);
            pos_ = 0;
            if (!file_->readInto(buffer_))
                atEnd_ = true;
        }
    }
    int number() const { return number_; }

private:
    // A line of rest when it is whole (its end seen, or the end of the input reached).
    bool nextOf(QByteArrayView rest, bool atEnd, QByteArray& line) {
        if (rest.isEmpty())
            return false;
        const char* begin = rest.data();
        const char* end = begin + rest.size();
        const char* stop = std::find_if(begin, end, [](char c) { return c == '\n' || c == '\r'; });
        if (stop == end && !atEnd)
            return false;
        // A CR at the end of what was read may have its LF in the next piece.
        if (stop + 1 == end && *stop == '\r' && !atEnd)
            return false;
        if (stop - begin > kLongestLine)
            Fail(number_ + 1,
                 QStringLiteral("行が長すぎます（%1 文字を超えています）。").arg(kLongestLine));
        line = QByteArray(begin, stop - begin);
        qsizetype used = stop - begin;
        if (stop != end)
            used += (*stop == '\r' && stop + 1 != end && stop[1] == '\n') ? 2 : 1;
        if (file_)
            pos_ += used;
        else
            whole_ = whole_.sliced(used);
        ++number_;
        return true;
    }

    QByteArrayView whole_;
    RegularFileChunks* file_ = nullptr;
    QByteArray buffer_;
    qsizetype pos_ = 0;
    bool atEnd_ = false;
    int number_ = 0;
};

// Each line as UTF-8 text: NUL bytes and text in neither Shift-JIS nor UTF-8 are refused with the
// line. The encoding is that of the first line that is not plain ASCII.
class TextLines {
public:
    explicit TextLines(Lines& lines)
        : lines_(lines) {}
    bool next(QByteArray& line) {
        if (!lines_.next(line))
            return false;
        if (lines_.number() == 1 && line.startsWith("\xEF\xBB\xBF")) {
            line.remove(0, 3);
            encoding_ = TextEncoding::Utf8WithBom;
            named_ = true;
        }
        if (line.contains('\0'))
            Fail(lines_.number(), QStringLiteral("文字でない値（NUL）があります。テキストファイル"
                                                 "ではありません。"));
        if (IsAscii(line))
            return true;
        const DecodedText decoded = DecodeEditorBytes(line);
        if (decoded.encoding.kind == TextEncoding::Bytes)
            Fail(lines_.number(),
                 QStringLiteral("Shift-JIS でも UTF-8 でも読めない文字があります。"));
        if (!named_) {
            encoding_ = decoded.encoding.kind;
            named_ = true;
        }
        line = decoded.text.toUtf8();
        return true;
    }
    int number() const { return lines_.number(); }
    QString encodingName() const { return EncodingName(encoding_); }

private:
    Lines& lines_;
    TextEncoding encoding_ = TextEncoding::ShiftJis;
    bool named_ = false;
};

// Full-width digits, signs and points as ASCII: a data line that is not plain ASCII.
QByteArray Normalised(const QByteArray& line) {
    if (IsAscii(line))
        return line;
    QString text = QString::fromUtf8(line).normalized(QString::NormalizationForm_KC);
    text.replace(QChar(0x2212), QLatin1Char('-'));
    text.replace(QChar(0x3000), QLatin1Char(' '));
    return text.toUtf8();
}

QByteArrayView Trimmed(QByteArrayView field) {
    while (!field.isEmpty() && (field.front() == ' ' || field.front() == '\t'))
        field = field.sliced(1);
    while (!field.isEmpty() && (field.back() == ' ' || field.back() == '\t'))
        field.chop(1);
    if (field.size() >= 2 && field.front() == '"' && field.back() == '"')
        field = field.sliced(1, field.size() - 2);
    return field;
}

// One line's fields, trimmed. With a blank as the delimiter a run of blanks is one separator.
void SplitFields(QByteArrayView line, char delimiter, std::vector<QByteArrayView>& fields) {
    fields.clear();
    const bool blanks = delimiter == ' ';
    qsizetype i = 0;
    const qsizetype n = line.size();
    auto isSeparator = [&](char c) { return blanks ? (c == ' ' || c == '\t') : c == delimiter; };
    if (blanks) {
        while (i < n && isSeparator(line[i]))
            ++i;
        if (i >= n)
            return;
    }
    for (;;) {
        qsizetype start = i;
        bool quoted = false;
        while (i < n && (quoted || !isSeparator(line[i]))) {
            if (line[i] == '"')
                quoted = !quoted;
            ++i;
        }
        fields.push_back(Trimmed(line.sliced(start, i - start)));
        if (i >= n)
            return;
        if (blanks) {
            while (i < n && isSeparator(line[i]))
                ++i;
            if (i >= n)
                return;
        } else {
            ++i;
            if (i >= n) {
                fields.push_back({});
                return;
            }
        }
    }
}

QByteArrayView Field(const std::vector<QByteArrayView>& fields, int column) {
    return column >= 0 && size_t(column) < fields.size() ? fields[size_t(column)]
                                                         : QByteArrayView();
}

QString Text(QByteArrayView field) {
    return QString::fromUtf8(field.data(), field.size());
}

bool AllBlank(const std::vector<QByteArrayView>& fields) {
    return std::all_of(fields.begin(), fields.end(), [](QByteArrayView f) { return f.isEmpty(); });
}

bool HasDigit(QByteArrayView field) {
    return std::any_of(field.begin(), field.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A whole field of 1 to maxDigits digits.
std::optional<int> Digits(QByteArrayView field, int minDigits, int maxDigits) {
    if (field.size() < minDigits || field.size() > maxDigits)
        return std::nullopt;
    int value = 0;
    for (const char c : field) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

struct Ymd {
    int year = 0;
    int month = 0;
    int day = 0;
};

// "2016/1/2", "2016-01-02": the ranges only; whether the day exists is the row's check.
std::optional<Ymd> ParseYmd(QByteArrayView text) {
    const char separator = text.contains('/') ? '/' : '-';
    const qsizetype a = text.indexOf(separator);
    if (a < 0)
        return std::nullopt;
    const qsizetype b = text.sliced(a + 1).indexOf(separator);
    if (b < 0)
        return std::nullopt;
    const std::optional<int> year = Digits(text.first(a), 4, 4);
    const std::optional<int> month = Digits(text.sliced(a + 1, b), 1, 2);
    const std::optional<int> day = Digits(text.sliced(a + 2 + b), 1, 2);
    if (!year || !month || !day || *year < 1000 || *month < 1 || *month > 12 || *day < 1 ||
        *day > 31)
        return std::nullopt;
    return Ymd{*year, *month, *day};
}

// "0:00:00", "24:00", "13:10": minutes of the day, 0 to 1440. Seconds must be 00.
std::optional<int> ParseTime(QByteArrayView text) {
    const qsizetype colon = text.indexOf(':');
    if (colon < 0)
        return std::nullopt;
    QByteArrayView rest = text.sliced(colon + 1);
    std::optional<int> seconds = 0;
    if (const qsizetype second = rest.indexOf(':'); second >= 0) {
        seconds = Digits(rest.sliced(second + 1), 2, 2);
        rest = rest.first(second);
    }
    const std::optional<int> hour = Digits(text.first(colon), 1, 2);
    const std::optional<int> minute = Digits(rest, 2, 2);
    if (!hour || !minute || !seconds || *seconds != 0 || *minute > 59 || *hour > 24 ||
        (*hour == 24 && *minute != 0))
        return std::nullopt;
    return *hour * 60 + *minute;
}

struct Stamp {
    Ymd date;
    int minutes = 0; // of the day, 0 to 1440
};

// "2016/1/2 0:00:00", "2016-01-02 00:00", "2016-01-02T00:00".
std::optional<Stamp> ParseDateTime(QByteArrayView text) {
    qsizetype split = text.indexOf('T');
    if (split < 0)
        split = text.indexOf(' ');
    if (split < 0)
        return std::nullopt;
    QByteArrayView time = text.sliced(split + 1);
    while (!time.isEmpty() && time.front() == ' ')
        time = time.sliced(1);
    const std::optional<Ymd> date = ParseYmd(text.first(split));
    const std::optional<int> minutes = ParseTime(time);
    if (!date || !minutes)
        return std::nullopt;
    return Stamp{*date, *minutes};
}

qint64 MinutesOf(const Ymd& date, int minutes) {
    return QDate(date.year, date.month, date.day).toJulianDay() * 1440 + minutes;
}

QString YmdText(const Ymd& date) {
    return QStringLiteral("%1/%2/%3").arg(date.year).arg(date.month).arg(date.day);
}

// How the rows of an Agency or delimited file give their time.
struct StampLayout {
    enum Kind { None, DateTime, DateAndTime, FourFields, DateOnly } kind = None;
    int column = -1;
    int width() const {
        return kind == DateAndTime ? 2 : kind == FourFields ? 4 : kind == None ? 0 : 1;
    }
    bool covers(int c) const { return c >= column && c < column + width(); }
};

// The stamp of a row; nothing when its fields do not hold one of the layout. Hour 25 and the
// like are no stamp.
std::optional<Stamp> RowStamp(const std::vector<QByteArrayView>& fields,
                              const StampLayout& layout) {
    const QByteArrayView first = Field(fields, layout.column);
    switch (layout.kind) {
    case StampLayout::None:
        return std::nullopt;
    case StampLayout::DateTime:
        return ParseDateTime(first);
    case StampLayout::DateAndTime: {
        const std::optional<Ymd> date = ParseYmd(first);
        const std::optional<int> time = ParseTime(Field(fields, layout.column + 1));
        if (!date || !time)
            return std::nullopt;
        return Stamp{*date, *time};
    }
    case StampLayout::FourFields: {
        const std::optional<int> year = Digits(first, 4, 4);
        const std::optional<int> month = Digits(Field(fields, layout.column + 1), 1, 2);
        const std::optional<int> day = Digits(Field(fields, layout.column + 2), 1, 2);
        const std::optional<int> hour = Digits(Field(fields, layout.column + 3), 1, 2);
        if (!year || !month || !day || !hour || *month < 1 || *month > 12 || *day < 1 ||
            *day > 31 || *hour > 24)
            return std::nullopt;
        return Stamp{{*year, *month, *day}, *hour * 60};
    }
    case StampLayout::DateOnly:
        if (const std::optional<Ymd> date = ParseYmd(first))
            return Stamp{*date, 0};
        return std::nullopt;
    }
    return std::nullopt;
}

// A value cell as the Agency and spreadsheets write it (the marks as the daily import reads them).
struct Cell {
    enum Kind { Number, Missing, Text } kind = Missing;
    double value = 0;
    int decimals = 0;
};

Cell ReadCell(QByteArrayView text) {
    if (text.isEmpty())
        return {};
    if (text == "--")
        return {Cell::Number, 0, 0};
    if (text.endsWith(']'))
        return {};
    if (text.endsWith(')'))
        text = Trimmed(text.chopped(1));
    QByteArray plain;
    if (text.contains(',')) {
        plain = text.toByteArray();
        plain.replace(',', "");
        text = plain;
    }
    const std::optional<double> value = ParseReal(text);
    if (!value)
        return {HasDigit(text) ? Cell::Text : Cell::Missing, 0, 0};
    int decimals = 0;
    if (const qsizetype point = text.indexOf('.'); point >= 0) {
        qsizetype end = point + 1;
        while (end < text.size() && text[end] >= '0' && text[end] <= '9')
            ++end;
        decimals = int(end - point - 1);
    }
    return {Cell::Number, *value, decimals};
}

// The array of the step being filled, row by row, with the order and step checked.
class StepArray {
public:
    explicit StepArray(StepSeries& series)
        : series_(series) {}
    // The interval starting at start holds value (NaN when missing). what is the stamp as shown.
    void put(int line, qint64 start, double value, const QString& what) {
        if (!started_) {
            series_.firstStart = start;
            first_ = what;
            started_ = true;
        }
        const qint64 offset = start - series_.firstStart;
        const int step = series_.stepMinutes;
        const qint64 filled = qint64(series_.values.size()) * step;
        if (offset % step != 0)
            Fail(line, QStringLiteral("%1 が %2の刻みに合いません（最初の%3 から %2の整数倍では"
                                      "ありません）。")
                           .arg(what, StepName(step), first_));
        if (offset < filled)
            Fail(line,
                 offset == filled - step
                     ? QStringLiteral("%1 が %2 行目と同じです。古い順に一度ずつ並べてください。")
                           .arg(what)
                           .arg(previousLine_)
                     : QStringLiteral("%1 が %2 行目の%3 より前です。古い順に一度ずつ並べて"
                                      "ください。")
                           .arg(what)
                           .arg(previousLine_)
                           .arg(previous_));
        if (offset / step >= kMostStepIntervals)
            Fail(line, QStringLiteral("期間が長すぎます（%1 から %2 まで、%3 ごとの値は "
                                      "%4 個までしか持てません）。")
                           .arg(StampText(series_.firstStart), what, StepName(step))
                           .arg(kMostStepIntervals));
        series_.values.resize(size_t(offset / step), kMissing);
        series_.values.push_back(value);
        previous_ = what;
        previousLine_ = line;
    }
    bool started() const { return started_; }

private:
    StepSeries& series_;
    bool started_ = false;
    QString first_;
    QString previous_;
    int previousLine_ = 0;
};

// ---- The river bureau's files -----------------------------------------------------------------

bool IsRiverHeader(const QByteArray& line) {
    return line.startsWith("水系名,") || line.startsWith("観測所記号,") ||
           line.startsWith("観測所名,");
}

// −9999 with any decimals stands for a missing value.
bool IsMissingMark(double value) {
    return std::trunc(value) == -9999;
}

// A value and its flag; the warnings counted in series.
double RiverValue(int line, QByteArrayView valueField, QByteArrayView flag, StepSeries& series) {
    if (flag == "$" || flag == "#" || flag == "-")
        return kMissing;
    if (valueField.isEmpty())
        return kMissing;
    const std::optional<double> value = ParseReal(valueField);
    if (!value)
        Fail(line, QStringLiteral("値「%1」が数値ではありません。").arg(Text(valueField).left(40)));
    if (IsMissingMark(*value))
        return kMissing;
    const Cell cell = ReadCell(valueField);
    series.decimals = std::max(series.decimals, cell.decimals);
    if (flag == "*")
        ++series.provisional;
    else if (!flag.isEmpty() && !series.otherFlags.contains(Text(flag)))
        series.otherFlags << Text(flag);
    return *value;
}

void ReadRiverFile(TextLines& lines, std::vector<QByteArray>& head, StepSeries& series) {
    QString title;
    bool hourly = false;
    bool daily = false;
    for (const QByteArray& line : head) {
        const QString text = QString::fromUtf8(line).trimmed();
        if (title.isEmpty() && !text.isEmpty())
            title = text.section(QLatin1Char(','), 0, 0);
        if (text.startsWith(QStringLiteral("観測所名,")))
            series.station = text.section(QLatin1Char(','), 1, 1).trimmed();
        if (text.startsWith(QStringLiteral("観測所記号,")))
            series.stationCode = text.section(QLatin1Char(','), 1, 1).trimmed();
        hourly = hourly || text.startsWith(QStringLiteral("#日付,1時データ"));
        daily = daily || text.startsWith(QStringLiteral("#月,1日データ"));
    }
    hourly = hourly || title.startsWith(QStringLiteral("時刻"));
    daily =
        daily || (title.startsWith(QStringLiteral("日")) && title.contains(QStringLiteral("年表")));
    struct Kind {
        const char16_t* name;
        StepItem item;
        const char16_t* unit;
    };
    static const Kind kinds[] = {{u"雨量", StepItem::Rainfall, u"mm"},
                                 {u"流量", StepItem::Discharge, u"m3/s"},
                                 {u"水位", StepItem::WaterLevel, u"m"}};
    const Kind* kind = nullptr;
    for (const Kind& k : kinds)
        if (title.contains(QString::fromUtf16(k.name)))
            kind = &k;
    if (!kind || hourly == daily)
        Fail(0, QStringLiteral("水文水質データベースのファイルのようですが、時刻の月表か日の"
                               "年表か、雨量・流量・水位のどれかが分かりません（表題「%1」）。")
                    .arg(title.left(40)));
    series.format = hourly ? StepFormat::RiverHourly : StepFormat::RiverDaily;
    series.itemKind = kind->item;
    series.unit = QString::fromUtf16(kind->unit);
    series.item = QStringLiteral("%1(%2)").arg(QString::fromUtf16(kind->name), series.unit);
    series.stepMinutes = hourly ? 60 : 1440;

    StepArray array(series);
    std::vector<QByteArrayView> fields;
    std::optional<int> year;
    int lastMonth = 0;
    qsizetype headIndex = 0;
    QByteArray current;
    int lineNumber = 0;
    // The lines already read first, then the rest of the file.
    auto next = [&]() {
        if (headIndex < qsizetype(head.size())) {
            current = Normalised(head[size_t(headIndex)]);
            lineNumber = int(++headIndex);
            return true;
        }
        if (!lines.next(current))
            return false;
        current = Normalised(current);
        lineNumber = lines.number();
        return true;
    };
    while (next()) {
        SplitFields(current, ',', fields);
        const QByteArrayView first = Field(fields, 0);
        if (AllBlank(fields) || first.startsWith('#') || first.isEmpty() || IsRiverHeader(current))
            continue;
        if (hourly) {
            const std::optional<Ymd> date = ParseYmd(first);
            if (!date) {
                if (!array.started() && !HasDigit(first))
                    continue; // the title and the heading lines
                Fail(lineNumber,
                     QStringLiteral("日付「%1」を読めません。").arg(Text(first).left(40)));
            }
            if (!QDate(date->year, date->month, date->day).isValid())
                Fail(lineNumber, QStringLiteral("日付 %1 はありません。").arg(YmdText(*date)));
            if (fields.size() < 48)
                Fail(lineNumber, QStringLiteral("1 時から 24 時までの値と記号がそろっていません"
                                                "（%1 項目、49 項目が要ります）。")
                                     .arg(fields.size()));
            const qint64 day = MinutesOf(*date, 0);
            for (int hour = 1; hour <= 24; ++hour)
                array.put(lineNumber, day + (hour - 1) * 60,
                          RiverValue(lineNumber, Field(fields, 2 * hour - 1),
                                     Field(fields, 2 * hour), series),
                          QStringLiteral("%1 %2時").arg(YmdText(*date)).arg(hour));
            continue;
        }
        if (first.endsWith("年")) {
            const std::optional<int> y = Digits(first.chopped(qsizetype(strlen("年"))), 4, 4);
            if (!y)
                Fail(lineNumber,
                     QStringLiteral("年「%1」を読めません。").arg(Text(first).left(40)));
            year = *y;
            lastMonth = 0;
            continue;
        }
        if (!first.endsWith("月")) {
            if (!array.started() && !HasDigit(first))
                continue;
            Fail(lineNumber, QStringLiteral("「%1」は年（2001年）でも月（1月）でもありません。")
                                 .arg(Text(first).left(40)));
        }
        const std::optional<int> month = Digits(first.chopped(qsizetype(strlen("月"))), 1, 2);
        if (!month || *month < 1 || *month > 12)
            Fail(lineNumber, QStringLiteral("月「%1」を読めません。").arg(Text(first).left(40)));
        if (!year)
            Fail(lineNumber,
                 QStringLiteral("%1月の前に年（2001年など）の行がありません。").arg(*month));
        if (*month <= lastMonth)
            Fail(lineNumber, QStringLiteral("%1 年 %2 月が %3 月の後にあります。月は 1 月から "
                                            "順に一度ずつ並べてください。")
                                 .arg(*year)
                                 .arg(*month)
                                 .arg(lastMonth));
        lastMonth = *month;
        if (fields.size() < 62)
            Fail(lineNumber, QStringLiteral("1 日から 31 日までの値と記号がそろっていません"
                                            "（%1 項目）。")
                                 .arg(fields.size()));
        const int length = QDate(*year, *month, 1).daysInMonth();
        for (int day = 1; day <= 31; ++day) {
            const QByteArrayView value = Field(fields, 2 * day - 1);
            const QByteArrayView flag = Field(fields, 2 * day);
            if (day > length) {
                const std::optional<double> number = ParseReal(value);
                if (!value.isEmpty() && !(number && IsMissingMark(*number)))
                    Fail(lineNumber, QStringLiteral("%1 年 %2 月 %3 日はありません（値「%4」）。")
                                         .arg(*year)
                                         .arg(*month)
                                         .arg(day)
                                         .arg(Text(value).left(20)));
                continue;
            }
            array.put(lineNumber, MinutesOf({*year, *month, day}, 0),
                      RiverValue(lineNumber, value, flag, series),
                      QStringLiteral("%1/%2/%3").arg(*year).arg(*month).arg(day));
        }
    }
    if (series.values.empty())
        Fail(0, QStringLiteral("日付のある行がありません。"));
}

// ---- The Agency's hourly CSV and delimited files ----------------------------------------------

char DetectDelimiter(const std::vector<QByteArray>& lines) {
    char best = ' ';
    qsizetype bestCount = 0;
    for (const char candidate : {',', '\t', ';'}) {
        const qsizetype count = std::count_if(
            lines.begin(), lines.end(), [&](const QByteArray& l) { return l.contains(candidate); });
        if (count > bestCount) {
            best = candidate;
            bestCount = count;
        }
    }
    return best;
}

// The layout in which the most sample rows carry a stamp; a layout with a time of day before the
// date alone. Four fields count only when a date repeats, as hours of one day do.
StampLayout DetectStampLayout(const std::vector<std::vector<QByteArrayView>>& rows) {
    int columns = 0;
    for (const auto& fields : rows)
        columns = std::max(columns, int(fields.size()));
    StampLayout best;
    int bestHits = 0;
    for (const StampLayout::Kind kind : {StampLayout::DateTime, StampLayout::DateAndTime,
                                         StampLayout::FourFields, StampLayout::DateOnly}) {
        if (kind == StampLayout::DateOnly && bestHits > 0)
            break;
        for (int c = 0; c < columns; ++c) {
            const StampLayout layout{kind, c};
            int hits = 0;
            bool repeats = false;
            std::optional<Stamp> previous;
            for (const auto& fields : rows) {
                const std::optional<Stamp> stamp = RowStamp(fields, layout);
                if (!stamp)
                    continue;
                ++hits;
                if (previous && previous->date.year == stamp->date.year &&
                    previous->date.month == stamp->date.month &&
                    previous->date.day == stamp->date.day)
                    repeats = true;
                previous = stamp;
            }
            if (kind == StampLayout::FourFields && !repeats)
                hits = 0;
            if (hits > bestHits) {
                best = layout;
                bestHits = hits;
            }
        }
    }
    return best;
}

qint64 IntervalStart(const Stamp& stamp, const StampLayout& layout, int step, bool atStart) {
    const qint64 minutes = MinutesOf(stamp.date, stamp.minutes);
    if (layout.kind == StampLayout::DateOnly || atStart)
        return minutes;
    return minutes - step;
}

// The most frequent difference between consecutive stamps of the sample.
int DetectStep(const std::vector<std::vector<QByteArrayView>>& rows, const StampLayout& layout) {
    if (layout.kind == StampLayout::DateOnly)
        return 1440;
    std::map<qint64, int> counts;
    std::optional<qint64> previous;
    for (const auto& fields : rows) {
        const std::optional<Stamp> stamp = RowStamp(fields, layout);
        if (!stamp || !QDate(stamp->date.year, stamp->date.month, stamp->date.day).isValid())
            continue;
        const qint64 minutes = MinutesOf(stamp->date, stamp->minutes);
        if (previous && minutes > *previous)
            ++counts[minutes - *previous];
        previous = minutes;
    }
    if (counts.empty())
        Fail(0, QStringLiteral("時刻の刻みが分かりません（時刻の違う行が二つ以上要ります）。"));
    const auto most = std::max_element(counts.begin(), counts.end(),
                                       [](auto a, auto b) { return a.second < b.second; });
    const qint64 step = most->first;
    if (step != 10 && step != 20 && step != 30 && step != 60 && step != 1440)
        Fail(0, QStringLiteral("時刻の刻みが %1 分です。10・20・30・60 分か 1 日の刻みの"
                               "ファイルを読めます。")
                    .arg(step));
    return int(step);
}

QString StampShown(const std::vector<QByteArrayView>& fields, const StampLayout& layout) {
    QStringList parts;
    for (int c = layout.column; c < layout.column + layout.width(); ++c)
        parts << Text(Field(fields, c));
    return parts.join(QLatin1Char(' ')).left(40);
}

StepItem ItemKindOf(const QString& item) {
    if (item.contains(QStringLiteral("降水量")) || item.contains(QStringLiteral("雨量")))
        return StepItem::Rainfall;
    if (item.contains(QStringLiteral("流量")))
        return StepItem::Discharge;
    if (item.contains(QStringLiteral("水位")))
        return StepItem::WaterLevel;
    return StepItem::Other;
}

void ReadStampedFile(TextLines& lines, std::vector<QByteArray>& head, StepSeries& series,
                     const StepReadOptions& options) {
    const bool agency = !head.empty() && head.front().startsWith("ダウンロードした時刻");
    series.format = agency ? StepFormat::AgencyHourly : StepFormat::Delimited;
    for (QByteArray& line : head)
        line = Normalised(line);
    const char delimiter = DetectDelimiter(head);
    std::vector<std::vector<QByteArrayView>> rows(head.size());
    for (size_t i = 0; i < head.size(); ++i)
        SplitFields(head[i], delimiter, rows[i]);
    const StampLayout layout = DetectStampLayout(rows);
    if (layout.kind == StampLayout::None)
        Fail(0, QStringLiteral("日時の列が見つかりません。日時（2016/1/2 0:00）、日付と時刻の"
                               "二つの列、年・月・日・時の四つの列、日付（2016/1/2）のどれかが"
                               "要ります。"));
    series.stepMinutes = DetectStep(rows, layout);

    int headerLines = int(rows.size());
    int columns = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        columns = std::max(columns, int(rows[i].size()));
        if (headerLines == int(rows.size()) && RowStamp(rows[i], layout))
            headerLines = int(i);
    }
    // The headings above each column, and which of them tell about a value (quality and the like).
    QList<QStringList> headings(columns);
    QList<ImportOption> kinds(columns, ImportOption::None);
    for (int i = agency ? 1 : 0; i < headerLines; ++i)
        for (int c = 0; c < std::min<int>(columns, int(rows[size_t(i)].size())); ++c) {
            const QString cell = Text(rows[size_t(i)][size_t(c)]);
            if (cell.isEmpty())
                continue;
            if (ImportOptionNamed(cell) != ImportOption::None)
                kinds[c] = ImportOptionNamed(cell);
            else
                headings[c] << cell;
        }
    int defaultColumn = -1;
    QList<int> valueColumns;
    for (int c = 0; c < columns; ++c) {
        if (layout.covers(c) || kinds[c] != ImportOption::None)
            continue;
        bool filled = false;
        bool numeric = false;
        for (size_t i = size_t(headerLines); i < rows.size(); ++i) {
            filled = filled || !Field(rows[i], c).isEmpty();
            numeric = numeric || ReadCell(Field(rows[i], c)).kind == Cell::Number;
        }
        if (!filled)
            continue;
        valueColumns << c;
        series.valueColumnIndexes << c;
        headings[c].removeDuplicates();
        series.valueColumns << (headings[c].isEmpty()
                                    ? QStringLiteral("%1 列目").arg(c + 1)
                                    : QStringLiteral("%1 列目（%2）")
                                          .arg(c + 1)
                                          .arg(headings[c].join(QLatin1Char(' '))));
        if (defaultColumn < 0 && numeric)
            defaultColumn = c;
    }
    const int column = options.valueColumn >= 0 ? options.valueColumn : defaultColumn;
    if (column < 0)
        Fail(0, QStringLiteral("値の列が見つかりません。日時の列のほかに、数値の入った列が"
                               "ありません。"));
    if (!valueColumns.contains(column))
        Fail(0, QStringLiteral("%1 列目は値の列ではありません（日時や品質情報の列か、空の列"
                               "です）。")
                    .arg(column + 1));
    series.valueColumn = column;
    // The Agency names the station on the line after the blank one, the item below it.
    if (agency && headings[column].size() >= 2)
        series.station = headings[column].takeFirst();
    series.item = headings[column].isEmpty() ? QString() : headings[column].last();
    series.itemKind = ItemKindOf(series.item);
    int noPhenomenon = -1;
    int quality = -1;
    for (int c = column + 1; c < columns && kinds[c] != ImportOption::None; ++c) {
        if (kinds[c] == ImportOption::NoPhenomenon)
            noPhenomenon = c;
        else if (kinds[c] == ImportOption::Quality)
            quality = c;
    }

    StepArray array(series);
    std::vector<QByteArrayView> fields;
    QByteArray current;
    auto row = [&](int lineNumber) {
        if (AllBlank(fields))
            return;
        const std::optional<Stamp> stamp = RowStamp(fields, layout);
        if (!stamp) {
            const QString shown = StampShown(fields, layout);
            // A row of totals or a note under the table has no digit in its stamp.
            if (!HasDigit(Field(fields, layout.column)))
                return;
            Fail(lineNumber, QStringLiteral("日時「%1」を読めません。").arg(shown));
        }
        if (!QDate(stamp->date.year, stamp->date.month, stamp->date.day).isValid())
            Fail(lineNumber, QStringLiteral("日付 %1 はありません。").arg(YmdText(stamp->date)));
        if (layout.kind == StampLayout::FourFields && stamp->minutes == 0 && !options.stampAtStart)
            Fail(lineNumber, QStringLiteral("時 0 はありません（時は 1 から 24 までです）。"));
        const Cell cell = ReadCell(Field(fields, column));
        double value = cell.kind == Cell::Number ? cell.value : kMissing;
        series.decimals = std::max(series.decimals, cell.decimals);
        if (cell.kind == Cell::Text && series.textCells++ == 0)
            series.firstTextLine = lineNumber;
        if (Field(fields, noPhenomenon) == "1")
            value = 0;
        const QByteArrayView q = Field(fields, quality);
        if (quality >= 0 && !q.isEmpty() && q != "8" && q != "5")
            value = kMissing;
        array.put(lineNumber,
                  IntervalStart(*stamp, layout, series.stepMinutes, options.stampAtStart), value,
                  QStringLiteral("日時 %1").arg(StampShown(fields, layout)));
    };
    for (size_t i = size_t(headerLines); i < rows.size(); ++i) {
        fields = rows[i];
        row(int(i + 1));
    }
    while (lines.next(current)) {
        current = Normalised(current);
        SplitFields(current, delimiter, fields);
        row(lines.number());
    }
    if (!std::any_of(series.values.begin(), series.values.end(),
                     [](double v) { return !std::isnan(v); }))
        Fail(0, QStringLiteral("%1 には数値がありません。値の列を選び直してください。")
                    .arg(series.valueColumns.value(int(valueColumns.indexOf(column)))));
}

bool IsRiverHead(const std::vector<QByteArray>& head) {
    return std::any_of(head.begin(), head.begin() + std::min<qsizetype>(head.size(), 20),
                       IsRiverHeader);
}

StepSeries ReadLines(Lines& raw, const StepReadOptions& options) {
    TextLines lines(raw);
    std::vector<QByteArray> head;
    QByteArray line;
    while (qsizetype(head.size()) < kSampleLines && lines.next(line))
        head.push_back(line);
    if (head.empty())
        Fail(0, QStringLiteral("ファイルが空です。"));
    StepSeries series;
    if (IsRiverHead(head))
        ReadRiverFile(lines, head, series);
    else
        ReadStampedFile(lines, head, series, options);
    series.encodingName = lines.encodingName();
    if (series.unit.isEmpty()) {
        const qsizetype open = series.item.lastIndexOf(u'(');
        if (open >= 0 && series.item.endsWith(u')'))
            series.unit = series.item.mid(open + 1).chopped(1);
    }
    return series;
}

} // namespace

qint64 StepSeries::presentCount() const {
    return std::count_if(values.begin(), values.end(), [](double v) { return !std::isnan(v); });
}

bool IsStepFile(QByteArrayView bytes) {
    try {
        Lines raw(bytes);
        TextLines lines(raw);
        std::vector<QByteArray> head;
        QByteArray line;
        while (head.size() < 200 && lines.next(line))
            head.push_back(Normalised(line));
        if (IsRiverHead(head))
            return true;
        const char delimiter = DetectDelimiter(head);
        std::vector<std::vector<QByteArrayView>> rows(head.size());
        for (size_t i = 0; i < head.size(); ++i)
            SplitFields(head[i], delimiter, rows[i]);
        const StampLayout layout = DetectStampLayout(rows);
        return layout.kind != StampLayout::None && layout.kind != StampLayout::DateOnly;
    } catch (const DataError&) {
        return false;
    }
}

StepSeries ParseStepFile(QByteArrayView bytes, const StepReadOptions& options) {
    Lines lines(bytes);
    return ReadLines(lines, options);
}

StepSeries ReadStepFile(const QString& path, const StepReadOptions& options) {
    try {
        try {
            RegularFileChunks file(path, kLargestStepFile);
            Lines lines(file);
            return ReadLines(lines, options);
        } catch (const RegularFileError& error) {
            throw InputFileError(error, kLargestStepFile);
        }
    } catch (const DataError& error) {
        throw DataError(QStringLiteral("ファイルを取り込めませんでした。\n%1\n\n%2")
                            .arg(DisplayFileName(path), error.message()),
                        error.line());
    }
}

QString StepFormatName(const StepSeries& series) {
    const QString item = series.item.section(u'(', 0, 0);
    switch (series.format) {
    case StepFormat::AgencyHourly:
        return series.stepMinutes == 1440 ? QStringLiteral("気象庁の日別値")
                                          : QStringLiteral("気象庁の時別値");
    case StepFormat::RiverHourly:
        return QStringLiteral("水文水質データベースの時刻%1月表").arg(item);
    case StepFormat::RiverDaily:
        return QStringLiteral("水文水質データベースの日%1年表").arg(item);
    case StepFormat::Delimited:
        break;
    }
    return QStringLiteral("日時と値の表");
}

QString StepName(int minutes) {
    if (minutes % 1440 == 0)
        return QStringLiteral("%1 日").arg(minutes / 1440);
    if (minutes % 60 == 0)
        return QStringLiteral("%1 時間").arg(minutes / 60);
    return QStringLiteral("%1 分").arg(minutes);
}

QStringList StepReadWarnings(const StepSeries& series) {
    QStringList warnings;
    if (series.provisional > 0)
        warnings << QStringLiteral("暫定値（記号 *）が %1 個あり、そのまま使いました。")
                        .arg(series.provisional);
    if (!series.otherFlags.isEmpty())
        warnings << QStringLiteral("知らない記号 %1 の付いた値は、そのまま使いました。")
                        .arg(series.otherFlags.join(QStringLiteral("、")));
    if (series.textCells > 0)
        warnings << QStringLiteral("数値でない値が %1 個あり、欠測として扱いました（最初は "
                                   "%2 行目）。")
                        .arg(series.textCells)
                        .arg(series.firstTextLine);
    return warnings;
}

QString StampText(qint64 minutes) {
    const QDate date = QDate::fromJulianDay(minutes / 1440);
    const int inDay = int(minutes % 1440);
    return QStringLiteral("%1 %2:%3")
        .arg(date.toString(QStringLiteral("yyyy-MM-dd")))
        .arg(inDay / 60, 2, 10, QLatin1Char('0'))
        .arg(inDay % 60, 2, 10, QLatin1Char('0'));
}
