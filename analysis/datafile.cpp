#include "analysis/datafile.h"

#include "analysis/dataerror.h"
#include "analysis/fieldreader.h"
#include "analysis/numeric.h"

#include <QFile>

namespace {

QString Quote(const QByteArray& token) {
    // Enough of the field to recognise it; the file may be in any narrow encoding.
    return QString::fromLocal8Bit(token.left(40));
}

[[noreturn]] void Fail(int line, const QString& problem) {
    throw DataError(QStringLiteral("%1 行目：%2").arg(line).arg(problem));
}

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

} // namespace

SeriesData ParseDataFile(QByteArrayView bytes) {
    SeriesData series;
    FieldReader reader(bytes);
    const QString yearField = QStringLiteral("西暦年");
    const QString valueField = QStringLiteral("値");
    // The end test comes before each record, never between its two fields.
    while (!reader.atEnd()) {
        const int line = reader.line();
        if (series.recordCount == kMaxRecords)
            Fail(line, QStringLiteral("データが %1 件を超えています。").arg(kMaxRecords));
        reader.skipBlanks();
        if (reader.atLineEnd())
            Fail(line, QStringLiteral("空白行があります。空白行は作らないでください。"));

        const QByteArray yearToken = TakeField(reader, yearField);
        const auto year = ParseReal(yearToken);
        if (!year)
            Fail(line,
                 QStringLiteral("西暦年が数字ではありません（「%1」）。").arg(Quote(yearToken)));
        if (!(RoundHalfEven(*year) >= -2147483648.0 && RoundHalfEven(*year) <= 2147483647.0))
            Fail(line, QStringLiteral("西暦年が大きすぎます（「%1」）。").arg(Quote(yearToken)));
        reader.skipBlanks();
        reader.takeComma();
        if (reader.atLineEnd() || reader.atEnd())
            Fail(line, QStringLiteral("値がありません。１行に西暦年と値を書いてください。"));

        const QByteArray valueToken = TakeField(reader, valueField);
        const auto value = ParseReal(valueToken);
        if (!value)
            Fail(line, QStringLiteral("値が数字ではありません（「%1」）。").arg(Quote(valueToken)));

        // A record is one line: only blanks may follow the value.
        reader.skipBlanks();
        if (!reader.atEnd() && !reader.takeLineEnd())
            Fail(line, QStringLiteral("西暦年と値のあとに余分な項目があります。"));

        series.years[series.recordCount] = R(*year);
        series.values[series.recordCount] = *value;
        ++series.recordCount;
    }
    return series;
}

SeriesData ReadDataFile(const QString& path) {
    const QString heading =
        QStringLiteral("データファイルを読み込めませんでした。\n%1\n\n").arg(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw DataError(heading +
                        QStringLiteral("ファイルを開けません（%1）。").arg(file.errorString()));
    const QByteArray bytes = file.readAll();
    const bool readFailed = file.error() != QFileDevice::NoError;
    file.close();
    if (readFailed)
        throw DataError(heading + QStringLiteral("ファイルを読めません。"));
    try {
        return ParseDataFile(bytes);
    } catch (const DataError& error) {
        throw DataError(heading + error.message());
    }
}
