#include "formats/deviatetable.h"

#include "statistics/dataerror.h"
#include "formats/fieldreader.h"
#include "formats/inputfile.h"
#include "statistics/numeric.h"

#include <QFileInfo>

namespace {
constexpr double kLargestTableDeviate = 1e6;
} // namespace

void ParseDeviateTable(QByteArrayView bytes, DeviateTable& table) {
    DeviateTable parsed{};
    FieldReader reader(bytes);
    for (int i = 0; i < kDeviateTableLoaded; ++i) {
        // Numbers may be separated by commas, blanks and line ends in any mix.
        reader.skipBlanks();
        while (reader.takeLineEnd() || reader.takeComma())
            reader.skipBlanks();
        if (reader.atEnd())
            throw DataError(QStringLiteral("%1 の数値が 500 個に足りません（%2 個目を読む前に"
                                           "ファイルが終わりました）。")
                                .arg(kDeviateTableFileName)
                                .arg(i + 1));
        const QByteArray token = reader.takeToken();
        const auto value = ParseReal(token);
        if (!value)
            throw DataError(QStringLiteral("%1 の %2 行目に数字ではない値があります（「%3」）。")
                                .arg(kDeviateTableFileName)
                                .arg(reader.line())
                                .arg(QuoteFileBytes(token)));
        // Deviates of the probabilities 0.5, 0.501 .. 0.999: none below 0, each at least the
        // one before. Anything else would give wrong slopes without a word.
        const auto refuse = [&](const QString& problem) {
            throw DataError(QStringLiteral("%1 の %2 個目の数値（%3 行目の「%4」）%5")
                                .arg(kDeviateTableFileName)
                                .arg(i + 1)
                                .arg(reader.line())
                                .arg(QuoteFileBytes(token), problem));
        };
        if (*value < 0)
            refuse(QStringLiteral("が負です。表の数値は 0 以上でなければなりません。"));
        // The deviate of 0.999 is about 3.09. The bound is generous, but a number far beyond
        // it (1e40, say) would carry the chart's coordinates past every finite range.
        if (*value > kLargestTableDeviate)
            refuse(QStringLiteral("が大きすぎます。表の数値は %1 以下でなければなりません。")
                       .arg(FormatReal(kLargestTableDeviate)));
        if (i > 0 && *value < parsed[i - 1])
            refuse(QStringLiteral("が前の数値 %1 より小さくなっています。表の数値は小さい順に"
                                  "並んでいなければなりません。")
                       .arg(FormatReal(parsed[i - 1])));
        parsed[i] = *value;
    }
    // Equal throughout (all zero, say), every deviate would be the same and no line be fitted.
    if (parsed[kDeviateTableLoaded - 1] == parsed[0])
        throw DataError(QStringLiteral("%1 の 500 個の数値がすべて同じ（%2）です。表の数値は"
                                       "小さい順に増えていなければなりません。")
                            .arg(kDeviateTableFileName, FormatReal(parsed[0])));
    table = parsed;
}

void ReadDeviateTableFile(const QString& path, DeviateTable& table) {
    if (!QFileInfo::exists(path))
        throw DataError(
            QStringLiteral("%1 が見つかりません（%2）。").arg(kDeviateTableFileName, path));
    QByteArray bytes;
    try {
        bytes = ReadInputFile(path);
    } catch (const DataError& error) {
        throw DataError(QStringLiteral("%1 を読み込めません（%2）。\n%3")
                            .arg(kDeviateTableFileName, path, error.message()));
    }
    ParseDeviateTable(bytes, table);
}
