#include "formats/import.h"
#include "formats/filename.h"

#include "formats/fieldreader.h"
#include "formats/inputfile.h"
#include "statistics/dataerror.h"
#include "statistics/numeric.h"

#include <QDate>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <deque>
#include <tuple>

namespace {

// More lines than any file of dated values holds (1,000 years of days); past it the split
// fields would take gigabytes.
constexpr qsizetype kMostImportLines = 500000;
// Enough rows to tell the delimiter and the columns.
constexpr qsizetype kSampleLines = 2000;

const QString kAgencyFirstLine = QStringLiteral("ダウンロードした時刻");

struct ImportDate {
    int year = 0;
    int month = 1;
    int day = 1;
    ImportPeriod period = ImportPeriod::Year;
    auto operator<=>(const ImportDate& other) const {
        return std::tie(year, month, day) <=> std::tie(other.year, other.month, other.day);
    }
    bool operator==(const ImportDate& other) const { return (*this <=> other) == 0; }
};

QString Cell(const QStringList& fields, int column) {
    return column >= 0 && column < fields.size() ? fields[column] : QString();
}

// Full-width digits, signs, points and slashes as their ASCII forms, blanks trimmed.
QString Normalised(const QString& field) {
    // Most cells are plain ASCII, which normalising leaves as it is; a daily file has many.
    if (std::all_of(field.cbegin(), field.cend(), [](QChar c) { return c.unicode() < 0x80; }))
        return field.trimmed();
    QString text = field.normalized(QString::NormalizationForm_KC);
    text.replace(QChar(0x2212), QLatin1Char('-'));
    return text.trimmed();
}

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == QChar(0x3000);
}

// One line's fields. Quotes group a field ("1,591.9") and "" inside them is one quote; with
// blanks as the delimiter a run of them is one separator and leading blanks start nothing.
QStringList SplitFields(QStringView line, QChar delimiter) {
    QStringList fields;
    const bool blanks = delimiter == u' ';
    qsizetype i = 0;
    const qsizetype n = line.size();
    if (blanks) {
        while (i < n && IsBlank(line[i]))
            ++i;
        if (i >= n)
            return fields;
    }
    while (true) {
        QString field;
        qsizetype start = i;
        while (start < n && line[start] == u' ' && !blanks)
            ++start;
        if (start < n && line[start] == u'"') {
            i = start + 1;
            while (i < n) {
                if (line[i] == u'"') {
                    if (i + 1 < n && line[i + 1] == u'"') {
                        field += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += line[i++];
            }
            // Anything between the closing quote and the delimiter stays with the field.
            while (i < n && !(blanks ? IsBlank(line[i]) : line[i] == delimiter))
                field += line[i++];
        } else {
            while (i < n && !(blanks ? IsBlank(line[i]) : line[i] == delimiter))
                field += line[i++];
        }
        fields << field;
        if (i >= n)
            break;
        if (blanks) {
            while (i < n && IsBlank(line[i]))
                ++i;
            if (i >= n)
                break;
        } else {
            ++i; // the delimiter; a final one leaves an empty last field, as Excel writes it
            if (i >= n) {
                fields << QString();
                break;
            }
        }
    }
    return fields;
}

QChar DetectDelimiter(const QStringList& lines) {
    QChar best = QLatin1Char(' ');
    qsizetype bestCount = 0;
    for (const QChar candidate : {QLatin1Char(','), QLatin1Char('\t'), QLatin1Char(';')}) {
        qsizetype count = 0;
        for (qsizetype i = 0; i < std::min(lines.size(), kSampleLines); ++i)
            if (lines[i].contains(candidate) && SplitFields(lines[i], candidate).size() >= 2)
                ++count;
        if (count > bestCount) {
            best = candidate;
            bestCount = count;
        }
    }
    return best;
}

// A year the way observation files write it: four digits.
std::optional<int> YearOf(const QString& text) {
    static const QRegularExpression year(QStringLiteral("^([1-9][0-9]{3})(年)?$"));
    const QRegularExpressionMatch match = year.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toInt();
}

std::optional<int> SmallNumber(const QString& text, int lowest, int highest) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,2}$"));
    if (!digits.match(text).hasMatch())
        return std::nullopt;
    const int value = text.toInt();
    if (value < lowest || value > highest)
        return std::nullopt;
    return value;
}

// "1990", "1990/1", "1990/1/1", "1990-01-01", "1990年1月1日" and the like, normalised. The month
// and day are only checked for their range here; whether the day exists is the reader's check.
std::optional<ImportDate> ParseDate(const QString& text) {
    if (const std::optional<int> year = YearOf(text))
        return ImportDate{*year, 1, 1, ImportPeriod::Year};
    static const QRegularExpression dated(
        QStringLiteral("^([1-9][0-9]{3})(?:[/-]([0-9]{1,2})(?:[/-]([0-9]{1,2}))?|"
                       "年([0-9]{1,2})月(?:([0-9]{1,2})日)?)$"));
    const QRegularExpressionMatch match = dated.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QString month = match.captured(2).isEmpty() ? match.captured(4) : match.captured(2);
    const QString day = match.captured(2).isEmpty() ? match.captured(5) : match.captured(3);
    ImportDate date{match.captured(1).toInt(), month.toInt(), 1, ImportPeriod::Month};
    if (date.month < 1 || date.month > 12)
        return std::nullopt;
    if (!day.isEmpty()) {
        date.day = day.toInt();
        date.period = ImportPeriod::Day;
        if (date.day < 1 || date.day > 31)
            return std::nullopt;
    }
    return date;
}

std::optional<ImportDate> RowDate(const QStringList& fields, const ImportLayout& layout) {
    const QString first = Normalised(Cell(fields, layout.dateColumn));
    if (layout.monthColumn < 0) {
        std::optional<ImportDate> date = ParseDate(first);
        if (date && date->period != layout.period)
            return std::nullopt;
        return date;
    }
    const std::optional<int> year = YearOf(first);
    const std::optional<int> month =
        SmallNumber(Normalised(Cell(fields, layout.monthColumn)), 1, 12);
    if (!year || !month)
        return std::nullopt;
    if (layout.dayColumn < 0)
        return ImportDate{*year, *month, 1, ImportPeriod::Month};
    const std::optional<int> day = SmallNumber(Normalised(Cell(fields, layout.dayColumn)), 1, 31);
    if (!day)
        return std::nullopt;
    return ImportDate{*year, *month, *day, ImportPeriod::Day};
}

// A value cell as the Agency and spreadsheets write it.
struct ValueCell {
    enum Kind { Number, Missing, Text } kind = Missing;
    double value = 0;
    int decimals = 0;
};

ValueCell ReadValueCell(const QString& field) {
    QString text = Normalised(field);
    if (text.isEmpty())
        return {};
    // "--": no phenomenon, a valid 0.
    if (text == QStringLiteral("--"))
        return {ValueCell::Number, 0, 0};
    // "]": too little of the base data: missing. ")": quasi-normal: used.
    if (text.endsWith(u']'))
        return {};
    if (text.endsWith(u')'))
        text = text.chopped(1).trimmed();
    static const QRegularExpression grouped(
        QStringLiteral("^[+-]?[0-9]{1,3}(,[0-9]{3})+(\\.[0-9]*)?$"));
    if (grouped.match(text).hasMatch())
        text.remove(u',');
    const QByteArray ascii = text.toUtf8();
    const std::optional<double> value = ParseReal(ascii);
    if (!value) {
        // Marks such as "×", "///" and "#" have no digit; text with digits is not a mark.
        const bool mark =
            std::none_of(text.cbegin(), text.cend(), [](QChar c) { return c.isDigit(); });
        return {mark ? ValueCell::Missing : ValueCell::Text, 0, 0};
    }
    int decimals = 0;
    const qsizetype point = ascii.indexOf('.');
    if (point >= 0) {
        qsizetype end = point + 1;
        while (end < ascii.size() && ascii[end] >= '0' && ascii[end] <= '9')
            ++end;
        decimals = int(end - point - 1);
    }
    return {ValueCell::Number, *value, decimals};
}

QString ColumnName(int index) {
    return QStringLiteral("%1 列目").arg(index + 1);
}

} // namespace

ImportOption ImportOptionNamed(const QString& cell) {
    const QString name = cell.trimmed();
    if (name == QStringLiteral("現象なし情報"))
        return ImportOption::NoPhenomenon;
    if (name == QStringLiteral("品質情報"))
        return ImportOption::Quality;
    if (name == QStringLiteral("均質番号"))
        return ImportOption::Homogeneity;
    if (name == QStringLiteral("集計開始"))
        return ImportOption::SpanStart;
    if (name == QStringLiteral("集計終了"))
        return ImportOption::SpanEnd;
    return ImportOption::None;
}

QString ImportPeriodName(ImportPeriod period) {
    switch (period) {
    case ImportPeriod::Year:
        return QStringLiteral("年");
    case ImportPeriod::Month:
        return QStringLiteral("月");
    case ImportPeriod::Day:
        break;
    }
    return QStringLiteral("日");
}

namespace {

QString DateText(const ImportDate& date) {
    switch (date.period) {
    case ImportPeriod::Year:
        return QString::number(date.year);
    case ImportPeriod::Month:
        return QStringLiteral("%1/%2").arg(date.year).arg(date.month);
    case ImportPeriod::Day:
        break;
    }
    return QStringLiteral("%1/%2/%3").arg(date.year).arg(date.month).arg(date.day);
}

[[noreturn]] void Fail(int line, const QString& problem) {
    throw DataError(QStringLiteral("%1 行目：%2").arg(line).arg(problem));
}

// The columns that follow the separate year column: month, and day when there is one. Only
// when a year repeats and a column is left for the value: a file of one row a year may well
// hold small numbers next to it.
void DetectSeparateColumns(const ImportSource& source, ImportLayout& layout) {
    QList<qsizetype> rows;
    for (qsizetype i = 0; i < std::min(source.fields.size(), kSampleLines); ++i)
        if (YearOf(Normalised(Cell(source.fields[i], layout.dateColumn))))
            rows << i;
    if (rows.size() < 2)
        return;
    auto all = [&](int column, int highest) {
        return std::all_of(rows.cbegin(), rows.cend(), [&](qsizetype i) {
            return SmallNumber(Normalised(Cell(source.fields[i], column)), 1, highest).has_value();
        });
    };
    auto repeats = [&](int lastColumn) {
        QSet<QString> seen;
        for (const qsizetype i : rows) {
            QString key;
            for (int c = layout.dateColumn; c <= lastColumn; ++c)
                key += Normalised(Cell(source.fields[i], c)) + QLatin1Char('/');
            if (seen.contains(key))
                return true;
            seen.insert(key);
        }
        return false;
    };
    // A value column must remain after the date's columns.
    if (!repeats(layout.dateColumn) || layout.dateColumn + 2 >= layout.columnCount ||
        !all(layout.dateColumn + 1, 12))
        return;
    layout.monthColumn = layout.dateColumn + 1;
    layout.period = ImportPeriod::Month;
    if (repeats(layout.monthColumn) && layout.dateColumn + 3 < layout.columnCount &&
        all(layout.dateColumn + 2, 31)) {
        layout.dayColumn = layout.dateColumn + 2;
        layout.period = ImportPeriod::Day;
    }
}

void DetectColumns(const ImportSource& source, ImportLayout& layout) {
    QList<QStringList> headings(layout.columnCount);
    layout.options = QList<ImportOption>(layout.columnCount, ImportOption::None);
    for (int line = layout.agency ? 1 : 0; line < layout.headerLines; ++line) {
        const QStringList& fields = source.fields[line];
        for (int c = 0; c < std::min<int>(fields.size(), layout.columnCount); ++c) {
            const QString cell = fields[c].trimmed();
            if (cell.isEmpty())
                continue;
            if (ImportOptionNamed(cell) != ImportOption::None)
                layout.options[c] = ImportOptionNamed(cell);
            else
                headings[c] << cell;
        }
    }
    // A column is offered when some dated row has something in it; the empty column a
    // trailing delimiter leaves is not.
    QList<bool> filled(layout.columnCount, false);
    QList<bool> numeric(layout.columnCount, false);
    for (qsizetype i = layout.headerLines; i < std::min(source.fields.size(), kSampleLines); ++i) {
        const QStringList& fields = source.fields[i];
        for (int c = 0; c < std::min<int>(fields.size(), layout.columnCount); ++c) {
            const ValueCell cell = ReadValueCell(fields[c]);
            filled[c] = filled[c] || !fields[c].trimmed().isEmpty();
            numeric[c] = numeric[c] || cell.kind == ValueCell::Number;
        }
    }
    for (int c = 0; c < layout.columnCount; ++c) {
        if (c == layout.dateColumn || c == layout.monthColumn || c == layout.dayColumn ||
            layout.options[c] != ImportOption::None || !filled[c])
            continue;
        ImportColumn column;
        column.index = c;
        headings[c].removeDuplicates();
        column.label = headings[c].isEmpty() ? ColumnName(c) : headings[c].join(QLatin1Char(' '));
        column.item = headings[c].isEmpty() ? QString() : headings[c].last();
        layout.valueColumns << column;
        if (layout.defaultValueColumn < 0 && numeric[c])
            layout.defaultValueColumn = c;
    }
}

// The columns that tell about a value column: the option columns right after it.
struct ValueOptions {
    int noPhenomenon = -1;
    int quality = -1;
};

ValueOptions OptionsOf(const ImportLayout& layout, int valueColumn) {
    ValueOptions options;
    for (int c = valueColumn + 1; c < layout.options.size(); ++c) {
        if (layout.options[c] == ImportOption::None)
            break;
        if (layout.options[c] == ImportOption::NoPhenomenon)
            options.noPhenomenon = c;
        else if (layout.options[c] == ImportOption::Quality)
            options.quality = c;
    }
    return options;
}

struct Record {
    ImportDate date;
    double value = 0;
    bool valid = false;
};

int YearLabel(const ImportDate& date, ImportPeriod period, int startMonth) {
    if (period == ImportPeriod::Year)
        return date.year;
    return date.month >= startMonth ? date.year : date.year - 1;
}

int PeriodCount(int year, ImportPeriod period, int startMonth) {
    switch (period) {
    case ImportPeriod::Year:
        return 1;
    case ImportPeriod::Month:
        return 12;
    case ImportPeriod::Day:
        break;
    }
    return int(QDate(year, startMonth, 1).daysTo(QDate(year + 1, startMonth, 1)));
}

// Sums keep the places of the file's values: 0.1 + 0.2 is written as 0.3, not 0.30000000000000004.
double Rounded(double value, int decimals) {
    const double scale = std::pow(10.0, std::min(decimals, 9));
    const double scaled = value * scale;
    if (!std::isfinite(scaled) || std::abs(scaled) > 1e15)
        return value;
    return std::round(scaled) / scale + 0.0;
}

void CheckOptions(const ImportOptions& options) {
    if (options.days < 1 || options.days > 7)
        throw DataError(
            QStringLiteral("連続日数は 1 から 7 にしてください（%1）。").arg(options.days));
    if (options.days > 1 && options.aggregate != ImportAggregate::Max)
        throw DataError(
            QStringLiteral("連続 %1 日の値は年最大のときだけ選べます。").arg(options.days));
    if (options.yearStartMonth < 1 || options.yearStartMonth > 12)
        throw DataError(QStringLiteral("年の始まりの月は 1 から 12 にしてください（%1）。")
                            .arg(options.yearStartMonth));
    if (!(options.coverage >= 0 && options.coverage <= 100))
        throw DataError(QStringLiteral("有効なデータの割合は 0 から 100 % にしてください。"));
    if (options.fromYear && options.toYear && *options.fromYear > *options.toYear)
        throw DataError(QStringLiteral("期間の始め（%1 年）が終わり（%2 年）より後です。")
                            .arg(*options.fromYear)
                            .arg(*options.toYear));
}

ImportColumn ChosenValueColumn(const ImportLayout& layout, int wanted) {
    const int index = wanted >= 0 ? wanted : layout.defaultValueColumn;
    if (index < 0)
        throw DataError(QStringLiteral("値の列が見つかりません。日付の列のほかに、数値の入った列が"
                                       "ありません。"));
    if (index >= layout.columnCount)
        throw DataError(QStringLiteral("%1はありません（このファイルは %2 列です）。")
                            .arg(ColumnName(index))
                            .arg(layout.columnCount));
    if (index == layout.dateColumn || index == layout.monthColumn || index == layout.dayColumn)
        throw DataError(
            QStringLiteral("%1は日付の列です。値の列を選んでください。").arg(ColumnName(index)));
    if (layout.options[index] != ImportOption::None)
        throw DataError(
            QStringLiteral("%1は品質情報などの付帯情報の列です。値の列を選んでください。")
                .arg(ColumnName(index)));
    for (const ImportColumn& column : layout.valueColumns)
        if (column.index == index)
            return column;
    return {index, ColumnName(index), {}};
}

// Every dated row of the column, checked for order. Throws DataError naming the line.
QList<Record> ReadRecords(const ImportSource& source, const ImportLayout& layout,
                          const ImportColumn& column, int& decimals) {
    const ValueOptions options = OptionsOf(layout, column.index);
    QList<Record> records;
    std::optional<ImportDate> previous;
    int previousLine = 0;
    bool anyNumber = false;
    decimals = 0;
    for (qsizetype i = layout.headerLines; i < source.fields.size(); ++i) {
        const QStringList& fields = source.fields[i];
        const int line = int(i + 1);
        if (std::all_of(fields.cbegin(), fields.cend(),
                        [](const QString& f) { return f.trimmed().isEmpty(); }))
            continue;
        const std::optional<ImportDate> date = RowDate(fields, layout);
        if (!date) {
            const QString shown = Cell(fields, layout.dateColumn).trimmed();
            // A row of totals or a note under the table has no date: it is passed over.
            if (std::none_of(shown.cbegin(), shown.cend(), [](QChar c) { return c.isDigit(); }))
                continue;
            const std::optional<ImportDate> other = ParseDate(Normalised(shown));
            if (other && layout.monthColumn < 0)
                Fail(line,
                     QStringLiteral("日付「%1」の形が上の行と違います（上の行は%2ごとの値です）。")
                         .arg(EscapeControls(shown.left(40)), ImportPeriodName(layout.period)));
            Fail(line,
                 QStringLiteral("日付「%1」を読めません。").arg(EscapeControls(shown.left(40))));
        }
        if (date->period == ImportPeriod::Day &&
            !QDate(date->year, date->month, date->day).isValid())
            Fail(line, QStringLiteral("日付 %1 はありません。").arg(DateText(*date)));
        if (previous && *date <= *previous)
            Fail(line, QStringLiteral(
                           "日付 %1 が %2 行目の %3 と%4。日付は古い順に一度ずつ並べてください。")
                           .arg(DateText(*date))
                           .arg(previousLine)
                           .arg(DateText(*previous),
                                *date == *previous ? QStringLiteral("同じです")
                                                   : QStringLiteral("比べて前に戻っています")));
        previous = date;
        previousLine = line;

        const ValueCell cell = ReadValueCell(Cell(fields, column.index));
        Record record{*date, cell.value, cell.kind == ValueCell::Number};
        anyNumber = anyNumber || record.valid;
        decimals = std::max(decimals, cell.decimals);
        if (Normalised(Cell(fields, options.noPhenomenon)) == QStringLiteral("1")) {
            record.value = 0;
            record.valid = true;
        }
        const QString quality = Normalised(Cell(fields, options.quality));
        if (options.quality >= 0 && !quality.isEmpty() && quality != QStringLiteral("8") &&
            quality != QStringLiteral("5"))
            record.valid = false;
        records << record;
    }
    if (!anyNumber)
        throw DataError(
            QStringLiteral("%1には数値がありません。値の列を選び直してください。")
                .arg(column.label == ColumnName(column.index)
                         ? column.label
                         : QStringLiteral("%1（%2）").arg(ColumnName(column.index), column.label)));
    return records;
}

struct YearTally {
    int valid = 0;
    bool any = false;
    double sum = 0;
    double largest = 0;
    std::optional<double> largestWindow;
};

// The largest sum of n consecutive valid days, over the days of one year.
class WindowMax {
public:
    explicit WindowMax(int days)
        : days_(days) {}
    void reset() {
        run_.clear();
        lastDay_.reset();
    }
    // Adds one day; returns the sum of the last n days when they are all valid and consecutive.
    std::optional<double> add(qint64 julianDay, bool valid, double value) {
        if (!valid || (lastDay_ && julianDay != *lastDay_ + 1))
            reset();
        if (!valid)
            return std::nullopt;
        lastDay_ = julianDay;
        run_.push_back(value);
        if (int(run_.size()) > days_)
            run_.pop_front();
        if (int(run_.size()) < days_)
            return std::nullopt;
        // Summed afresh each time: a running sum would drift over thousands of days.
        double total = 0;
        for (const double v : run_)
            total += v;
        return total;
    }

private:
    int days_;
    std::deque<double> run_;
    std::optional<qint64> lastDay_;
};

} // namespace

int AnnualSeries::includedCount() const {
    return int(std::count_if(rows.cbegin(), rows.cend(),
                             [](const AnnualRow& row) { return row.included; }));
}

ImportSource ParseImportSource(QByteArrayView bytes) {
    if (bytes.isEmpty())
        throw DataError(QStringLiteral("ファイルが空です。"));
    DecodedText decoded = DecodeEditorBytes(bytes);
    if (decoded.text.contains(QChar(0)))
        throw DataError(
            QStringLiteral("テキストファイルではありません（文字でない値が含まれています）。"));
    if (decoded.encoding.kind == TextEncoding::Bytes)
        throw DataError(
            QStringLiteral("テキストファイルではありません（Shift-JIS でも UTF-8 でも読めない"
                           "文字があります）。"));
    ImportSource source;
    source.lines = SplitEditorLines(decoded.text);
    if (source.lines.size() > kMostImportLines)
        throw DataError(
            QStringLiteral("行が多すぎます（%1 行まで読み込めます）。").arg(kMostImportLines));
    // Told once here; every later look at the layout takes it from the source.
    source.layout.delimiter = DetectDelimiter(source.lines);
    source.fields.reserve(source.lines.size());
    for (const QString& line : std::as_const(source.lines))
        source.fields << SplitFields(line, source.layout.delimiter);
    source.layout = DetectImportLayout(source);
    source.layout.encodingName = EncodingName(decoded.encoding.kind);
    return source;
}

ImportSource ReadImportSource(const QString& path) {
    try {
        return ParseImportSource(ReadInputFile(path, kLargestImportFile));
    } catch (const DataError& error) {
        throw DataError(QStringLiteral("ファイルを取り込めませんでした。\n%1\n\n%2")
                            .arg(DisplayFileName(path), error.message()),
                        error.line());
    }
}

namespace {

// A date column whose years the reader does not take (0, 99999): told in its own words rather
// than as no date at all. A date form with such a year, or a first column of whole numbers that
// rise like years.
void RefuseYearsOutOfRange(const ImportSource& source) {
    static const QRegularExpression dated(QStringLiteral(
        "^(-?[0-9]+)(?:[/-][0-9]{1,2}(?:[/-][0-9]{1,2})?|年[0-9]{1,2}月(?:[0-9]{1,2}日)?)$"));
    static const QRegularExpression whole(QStringLiteral("^-?[0-9]{1,9}$"));
    const qsizetype sample = std::min(source.fields.size(), kSampleLines);
    std::optional<long long> previous;
    int rising = 0;
    int outside = -1;
    QString outsideYear;
    for (qsizetype i = 0; i < sample; ++i) {
        const QString first = Normalised(Cell(source.fields[i], 0));
        for (const QString& cell : source.fields[i]) {
            const QRegularExpressionMatch match = dated.match(Normalised(cell));
            const long long year = match.hasMatch() ? match.captured(1).toLongLong() : 0;
            if (match.hasMatch() && match.capturedLength(0) > match.capturedLength(1) &&
                (year < 1000 || year > 9999))
                throw DataError(
                    QStringLiteral("%1 行目：日付「%2」の年 %3 は扱える範囲（1000 年から"
                                   " 9999 年まで）の外です。")
                        .arg(i + 1)
                        .arg(EscapeControls(cell.trimmed().left(40)), match.captured(1)));
        }
        if (!whole.match(first).hasMatch())
            continue;
        const long long year = first.toLongLong();
        if (previous && year > *previous)
            ++rising;
        previous = year;
        if (outside < 0 && (year < 1000 || year > 9999)) {
            outside = int(i + 1);
            outsideYear = first;
        }
    }
    if (rising >= 1 && outside > 0)
        throw DataError(QStringLiteral("%1 行目：年 %2 は扱える範囲（1000 年から 9999 年まで）の"
                                       "外です。")
                            .arg(outside)
                            .arg(outsideYear));
}

} // namespace

ImportLayout DetectImportLayout(const ImportSource& source, int dateColumn) {
    ImportLayout layout;
    layout.encodingName = source.layout.encodingName;
    layout.agency = !source.lines.isEmpty() && source.lines.first().startsWith(kAgencyFirstLine);
    layout.delimiter = source.layout.delimiter;
    for (const QStringList& fields : source.fields)
        layout.columnCount = std::max<int>(layout.columnCount, int(fields.size()));
    if (dateColumn >= layout.columnCount)
        throw DataError(QStringLiteral("%1はありません（このファイルは %2 列です）。")
                            .arg(ColumnName(dateColumn))
                            .arg(layout.columnCount));

    // The date column is the one in which the most rows hold a date; the leftmost of equals.
    const qsizetype sample = std::min(source.fields.size(), kSampleLines);
    int bestHits = 0;
    for (int c = dateColumn >= 0 ? dateColumn : 0;
         c < (dateColumn >= 0 ? dateColumn + 1 : layout.columnCount); ++c) {
        int hits[3] = {0, 0, 0};
        for (qsizetype i = 0; i < sample; ++i)
            if (const std::optional<ImportDate> date =
                    ParseDate(Normalised(Cell(source.fields[i], c))))
                ++hits[int(date->period)];
        const int* most = std::max_element(std::begin(hits), std::end(hits));
        if (*most > bestHits) {
            bestHits = *most;
            layout.dateColumn = c;
            layout.period = ImportPeriod(most - std::begin(hits));
        }
    }
    if (bestHits == 0 && dateColumn < 0)
        RefuseYearsOutOfRange(source);
    if (bestHits == 0)
        throw DataError(
            dateColumn >= 0
                ? QStringLiteral("%1に日付がありません。").arg(ColumnName(dateColumn))
                : QStringLiteral("日付の列が見つかりません。年（1990）、年月（1990/1）、"
                                 "年月日（1990/1/1）のどれかの列が必要です。"));
    if (layout.period == ImportPeriod::Year)
        DetectSeparateColumns(source, layout);
    layout.headerLines = int(source.fields.size());
    for (qsizetype i = 0; i < source.fields.size(); ++i) {
        if (RowDate(source.fields[i], layout)) {
            layout.headerLines = int(i);
            break;
        }
    }
    DetectColumns(source, layout);
    return layout;
}

AnnualSeries BuildAnnualSeries(const ImportSource& source, const ImportOptions& options) {
    CheckOptions(options);
    AnnualSeries series;
    series.layout =
        options.dateColumn >= 0 ? DetectImportLayout(source, options.dateColumn) : source.layout;
    const ImportLayout& layout = series.layout;
    if (options.days > 1 && layout.period != ImportPeriod::Day)
        throw DataError(
            QStringLiteral("連続 %1 日の最大は日ごとの値からだけ求められます（このファイルは"
                           "%2ごとの値です）。")
                .arg(options.days)
                .arg(ImportPeriodName(layout.period)));
    series.valueColumn = ChosenValueColumn(layout, options.valueColumn);
    int decimals = 0;
    const QList<Record> records = ReadRecords(source, layout, series.valueColumn, decimals);
    if (records.isEmpty())
        return series;

    const int start = options.yearStartMonth;
    int first = YearLabel(records.first().date, layout.period, start);
    int last = YearLabel(records.last().date, layout.period, start);
    if (options.fromYear)
        first = std::max(first, *options.fromYear);
    if (options.toYear)
        last = std::min(last, *options.toYear);
    if (first > last)
        throw DataError(
            QStringLiteral("指定の期間にはデータがありません（ファイルは %1 年から %2 年まで"
                           "です）。")
                .arg(YearLabel(records.first().date, layout.period, start))
                .arg(YearLabel(records.last().date, layout.period, start)));

    QList<YearTally> tallies(last - first + 1);
    WindowMax window(options.days);
    int windowYear = first - 1;
    for (const Record& record : records) {
        const int year = YearLabel(record.date, layout.period, start);
        if (year < first || year > last)
            continue;
        YearTally& tally = tallies[year - first];
        tally.any = true;
        if (year != windowYear) {
            if (!options.crossYear)
                window.reset();
            windowYear = year;
        }
        if (layout.period == ImportPeriod::Day) {
            const qint64 day =
                QDate(record.date.year, record.date.month, record.date.day).toJulianDay();
            if (const std::optional<double> sum = window.add(day, record.valid, record.value))
                tally.largestWindow = std::max(tally.largestWindow.value_or(*sum), *sum);
        }
        if (!record.valid)
            continue;
        tally.largest = tally.valid == 0 ? record.value : std::max(tally.largest, record.value);
        tally.sum += record.value;
        ++tally.valid;
    }

    const QString unit = ImportPeriodName(layout.period);
    for (int year = first; year <= last; ++year) {
        const YearTally& tally = tallies[year - first];
        AnnualRow row;
        row.year = year;
        row.validCount = tally.valid;
        row.periodCount = PeriodCount(year, layout.period, start);
        if (layout.period == ImportPeriod::Year)
            row.value = tally.sum;
        else if (options.aggregate == ImportAggregate::Sum)
            row.value = Rounded(tally.sum, decimals);
        else if (options.days > 1)
            row.value = Rounded(tally.largestWindow.value_or(0), decimals);
        else
            row.value = tally.largest;
        if (!tally.any) {
            row.note = QStringLiteral("データがありません");
        } else if (tally.valid == 0) {
            row.note = QStringLiteral("有効な値がありません");
        } else if (tally.valid * 100.0 < options.coverage * row.periodCount) {
            row.note = QStringLiteral("有効な%1が %2/%3 で、%4 % に足りません")
                           .arg(unit)
                           .arg(tally.valid)
                           .arg(row.periodCount)
                           .arg(options.coverage);
        } else if (layout.period == ImportPeriod::Day && options.days > 1 && !tally.largestWindow) {
            row.note = QStringLiteral("有効な値が %1 日続くところがありません").arg(options.days);
        } else if (!std::isfinite(row.value)) {
            row.note = QStringLiteral("合計が扱える数値の範囲を超えます");
        } else {
            row.included = true;
        }
        if (!row.included)
            row.value = 0;
        series.rows << row;
    }
    const int count = series.includedCount();
    if (count > kMaxRecords)
        throw DataError(
            QStringLiteral("取り込める年が %1 年あり、扱える %2 年を超えています。期間の始めと"
                           "終わりを指定して、%2 年以内にしてください。")
                .arg(count)
                .arg(kMaxRecords));
    return series;
}

QString AxisTitleFromItem(const QString& item) {
    static const QRegularExpression unit(
        QStringLiteral("^(.*?)[ \\x{3000}]*([(（][^()（）]*[)）])$"));
    const QString name = item.trimmed();
    const QRegularExpressionMatch match = unit.match(name);
    if (!match.hasMatch() || match.captured(1).isEmpty())
        return name;
    return match.captured(1) + QChar(0x3000) + match.captured(2);
}

namespace {

// "降水量の合計(mm)" as its name and its unit: "降水量の合計" and "mm".
std::pair<QString, QString> ItemAndUnit(const QString& item) {
    static const QRegularExpression unit(
        QStringLiteral("^(.*?)[ \\x{3000}]*[(（]([^()（）]*)[)）]$"));
    const QString name = item.trimmed();
    const QRegularExpressionMatch match = unit.match(name);
    if (!match.hasMatch() || match.captured(1).isEmpty())
        return {name, QString()};
    return {match.captured(1), match.captured(2)};
}

} // namespace

QString ImportedSeriesDescription(const AnnualSeries& series, const ImportOptions& options) {
    const QString item = ItemAndUnit(series.valueColumn.item).first;
    const bool yearly = series.layout.period == ImportPeriod::Year;
    QString what;
    if (yearly)
        what = QStringLiteral("年ごとの値");
    else if (options.aggregate == ImportAggregate::Sum)
        what = QStringLiteral("年合計");
    else if (options.days > 1 && series.layout.period == ImportPeriod::Day)
        what = QStringLiteral("年最大 %1 日合計").arg(options.days);
    else
        what = QStringLiteral("年最大");
    QString text = item.isEmpty() ? what : QStringLiteral("%1（%2）").arg(what, item);
    if (options.crossYear && options.days > 1 && series.layout.period == ImportPeriod::Day)
        text += QStringLiteral("、年をまたぐ期間も含める");
    if (!yearly && options.yearStartMonth != 1)
        text += QStringLiteral("、%1 月始まりの年").arg(options.yearStartMonth);
    if (!yearly)
        text += QStringLiteral("、有効な%1が %2 % 以上の年")
                    .arg(ImportPeriodName(series.layout.period))
                    .arg(options.coverage);
    return text;
}

QString ImportedAxisTitle(const AnnualSeries& series, const ImportOptions& options) {
    const auto [item, unit] = ItemAndUnit(series.valueColumn.item);
    if (item.isEmpty())
        return {};
    // The Agency's "降水量の合計" is the day's, month's or year's total of 降水量.
    const QString total = QStringLiteral("の合計");
    const QString base = item.endsWith(total) ? item.chopped(total.size()) : item;
    const ImportPeriod period = series.layout.period;
    QString name;
    if (period == ImportPeriod::Year)
        name = item.endsWith(total) ? QStringLiteral("年") + base : item;
    else if (options.aggregate == ImportAggregate::Sum)
        name = QStringLiteral("年") + base;
    else if (period == ImportPeriod::Month)
        name = QStringLiteral("年最大月") + base;
    else if (options.days > 1)
        name = QStringLiteral("年最大%1日").arg(options.days) + base;
    else
        name = QStringLiteral("年最大日") + base;
    return unit.isEmpty() ? name : name + QStringLiteral("\u3000(%1)").arg(unit);
}

SeriesData ImportedSeriesData(const AnnualSeries& annual, const ImportOptions& options,
                              const QString& observationFile) {
    SeriesData series;
    for (const AnnualRow& row : annual.rows) {
        if (!row.included) {
            series.origin.leftOut << LeftOutText(row);
            series.origin.leftOutYears << row.year;
            continue;
        }
        // BuildAnnualSeries refuses more included years than a series holds.
        if (series.recordCount >= kMaxRecords)
            break;
        series.years[size_t(series.recordCount)] = row.year;
        series.values[size_t(series.recordCount)] = row.value;
        ++series.recordCount;
    }
    const bool maxima =
        annual.layout.period != ImportPeriod::Year && options.aggregate == ImportAggregate::Max;
    series.origin.kind = maxima ? SeriesKind::AnnualMaximum : SeriesKind::AnnualTotal;
    std::tie(series.origin.item, series.origin.unit) = ItemAndUnit(annual.valueColumn.item);
    series.origin.observationFile = observationFile;
    series.origin.built = ImportedSeriesDescription(annual, options);
    return series;
}

QByteArray AnnualSeriesCsv(const AnnualSeries& series) {
    QByteArray bytes;
    for (const AnnualRow& row : series.rows)
        if (row.included)
            bytes +=
                QByteArray::number(row.year) + ',' + ShortestReal(row.value).toLatin1() + "\r\n";
    return bytes;
}

namespace {

QString EditorLine(int year, double value) {
    return QStringLiteral("   %1   %2").arg(year).arg(ShortestReal(value));
}

} // namespace

QString AnnualSeriesEditorText(const AnnualSeries& series) {
    QStringList lines;
    for (const AnnualRow& row : series.rows)
        if (row.included)
            lines << EditorLine(row.year, row.value);
    return lines.join(QStringLiteral("\r\n"));
}

QString SeriesEditorText(const SeriesData& series) {
    QStringList lines;
    for (int i = 0; i < std::clamp(series.recordCount, 0, kMaxRecords); ++i)
        lines << EditorLine(series.years[size_t(i)], series.values[size_t(i)]);
    return lines.join(QStringLiteral("\r\n"));
}

QString LeftOutText(const AnnualRow& row) {
    return QStringLiteral("%1 年：%2").arg(row.year).arg(row.note);
}

QString ValidCountHeading(ImportPeriod period) {
    return QStringLiteral("有効%1数").arg(ImportPeriodName(period));
}
