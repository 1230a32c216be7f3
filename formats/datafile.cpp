#include "formats/datafile.h"

#include "formats/fieldreader.h"
#include "formats/filename.h"
#include "formats/inputfile.h"
#include "formats/textencoding.h"
#include "statistics/dataerror.h"
#include "statistics/numeric.h"

#include <limits>

namespace {

QString Quote(const QByteArray& token) {
    // Enough of the field to recognise it, decoded as the file was written.
    return QuoteFileBytes(token);
}

// True when a number beyond the double's range is too large rather than too near 0.
bool Overflows(QByteArrayView token) {
    const QByteArrayView digits =
        token.startsWith('-') || token.startsWith('+') ? token.sliced(1) : token;
    return DecimalOverflows(std::string_view(digits.data(), size_t(digits.size())));
}

[[noreturn]] void Fail(int line, const QString& problem) {
    throw DataError(QStringLiteral("%1 行目：%2").arg(line).arg(problem), line);
}

// A heading line or a column more is what a downloaded or exported table has: the import reads
// those.
const QString kImportHint = QStringLiteral("\n見出しの行や余分な列のあるファイル（気象庁の"
                                           "ダウンロードや表計算ソフトの CSV など）は、"
                                           "「ﾌｧｲﾙ(&F)」の「取り込み(&I)...」で、コマンド"
                                           "ラインでは --import で開けます。");

// Reads one field of a record: blanks before it skipped, then the characters up to a comma,
// blank or line end.
QByteArray TakeField(FieldReader& reader, const QString& what) {
    reader.skipBlanks();
    if (reader.atEnd())
        Fail(reader.line(),
             QStringLiteral("%1がありません（ファイルが途中で終わっています）。").arg(what));
    if (reader.atLineEnd())
        Fail(reader.line(), QStringLiteral("%1がありません。").arg(what));
    if (reader.atComma())
        Fail(reader.line(), QStringLiteral("%1の欄が空です。").arg(what));
    return reader.takeToken();
}

SeriesData ParseRecords(QByteArrayView bytes) {
    SeriesData series;
    FieldReader reader(bytes);
    const QString yearField = QStringLiteral("西暦年");
    const QString valueField = QStringLiteral("値");
    // The end test comes before each record, never between its two fields.
    while (!reader.atEnd()) {
        const int line = reader.line();
        // An empty line is told as such even after the last record the series can hold.
        reader.skipBlanks();
        // A spreadsheet's export often ends in blank lines: they end the records.
        if (reader.atLineEnd() && reader.onlyBlanksRemain())
            break;
        if (reader.atLineEnd())
            Fail(line, QStringLiteral("空白行があります。空白行は作らないでください。"));
        if (series.recordCount == kMaxRecords)
            Fail(line, QStringLiteral("データが %1 件を超えています。").arg(kMaxRecords));

        const QByteArray yearToken = TakeField(reader, yearField);
        bool outOfRange = false;
        const auto year = ParseReal(yearToken, &outOfRange);
        if (outOfRange && !Overflows(yearToken))
            Fail(line, QStringLiteral("西暦年が小さすぎて数値として扱えません（「%1」）。")
                           .arg(Quote(yearToken)));
        if (outOfRange)
            Fail(line, QStringLiteral("西暦年が扱える数値の範囲を外れています（「%1」）。")
                           .arg(Quote(yearToken)));
        if (!year)
            Fail(line,
                 QStringLiteral("西暦年が数字ではありません（「%1」）。").arg(Quote(yearToken)) +
                     kImportHint);
        if (!(RoundHalfEven(*year) >= -2147483648.0 && RoundHalfEven(*year) <= 2147483647.0))
            Fail(line, QStringLiteral("西暦年が大きすぎます（「%1」）。").arg(Quote(yearToken)));
        reader.skipBlanks();
        reader.takeComma();
        if (reader.atLineEnd() || reader.atEnd())
            Fail(line, QStringLiteral("値がありません。１行に西暦年と値を書いてください。"));

        const QByteArray valueToken = TakeField(reader, valueField);
        const auto value = ParseReal(valueToken, &outOfRange);
        if (outOfRange && !Overflows(valueToken))
            Fail(line, QStringLiteral("値が 0 に近すぎて数値として扱えません（「%1」）。値は %2 "
                                      "以上にしてください。")
                           .arg(Quote(valueToken), FormatReal(std::numeric_limits<double>::min())));
        if (outOfRange)
            Fail(line,
                 QStringLiteral("値が扱える数値の範囲（絶対値 %1 まで）を外れています（「%2」）。")
                     .arg(FormatReal(std::numeric_limits<double>::max()), Quote(valueToken)));
        if (!value)
            Fail(line, QStringLiteral("値が数字ではありません（「%1」）。").arg(Quote(valueToken)));

        // A record is one line: only blanks may follow the value.
        reader.skipBlanks();
        if (!reader.atEnd() && !reader.takeLineEnd())
            Fail(line, QStringLiteral("西暦年と値のあとに余分な項目があります。") + kImportHint);

        series.years[series.recordCount] = R(*year);
        series.values[series.recordCount] = *value;
        ++series.recordCount;
    }
    return series;
}

} // namespace

SeriesData ParseDataFile(QByteArrayView bytes) {
    // A spreadsheet's "Unicode テキスト" is UTF-16 with its mark: the same records in UTF-8.
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        const DecodedText decoded = DecodeEditorBytes(bytes);
        if (decoded.encoding.kind == TextEncoding::Utf16LeWithBom ||
            decoded.encoding.kind == TextEncoding::Utf16BeWithBom)
            return ParseRecords(decoded.text.toUtf8());
    }
    return ParseRecords(bytes);
}

SeriesData ReadDataFile(const QString& path) {
    const QString heading =
        QStringLiteral("データファイルを読み込めませんでした。\n%1\n\n").arg(DisplayFileName(path));
    try {
        return ParseDataFile(ReadInputFile(path));
    } catch (const DataError& error) {
        throw DataError(heading + error.message(), error.line());
    }
}
