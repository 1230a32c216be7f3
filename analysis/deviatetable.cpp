#include "analysis/deviatetable.h"

#include "analysis/dataerror.h"
#include "analysis/deviatetablepath.h"
#include "analysis/fieldreader.h"
#include "analysis/numeric.h"

#include <QFile>

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
                                .arg(QString::fromLocal8Bit(token.left(40))));
        parsed[i] = *value;
    }
    table = parsed;
}

void LoadDeviateTable(AppState& state, const QString& executableDirectory) {
    const auto path = FindDeviateTablePath(state.startDirectory, executableDirectory);
    if (!path)
        // One path a line: the message box would break a list of them inside a path.
        throw DataError(QStringLiteral("%1 が見つかりません。探した場所：\n%2")
                            .arg(kDeviateTableFileName,
                                 DeviateTableCandidates(state.startDirectory, executableDirectory)
                                     .join(QLatin1Char('\n'))));
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly))
        throw DataError(
            QStringLiteral("%1 を開けません（%2）。").arg(kDeviateTableFileName, file.fileName()));
    const QByteArray bytes = file.readAll();
    file.close();
    ParseDeviateTable(bytes, state.deviateTable);
}

double DeviateAt(const DeviateTable& table, double p) {
    const bool below = p < 0.5;
    const double index = RoundHalfEven((below ? 0.5 - p : p - 0.5) * 1000.0);
    if (!(index >= 0 && index < kDeviateTableSize))
        throw DataError(
            QStringLiteral("非超過確率 %1 が表の範囲を外れています。").arg(FormatReal(p)));
    const double z = table[static_cast<size_t>(index)];
    return below ? -z : z;
}
