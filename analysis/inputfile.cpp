#include "analysis/inputfile.h"

#include "analysis/dataerror.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

QByteArray ReadInputFile(const QString& path, qint64 limit) {
    // Asked of the name, not of an open file: opening a pipe would wait for a writer.
    const QFileInfo info(path);
    if (!info.exists())
        throw DataError(QStringLiteral("ファイルがありません。"));
    if (!info.isFile())
        throw DataError(QStringLiteral("通常のファイルではありません（フォルダ、パイプ、装置などは"
                                       "読み込めません）。"));
    const QString tooLarge = QStringLiteral("ファイルが大きすぎます（読み込めるのは %1 MiB "
                                            "までです）。")
                                 .arg(limit / (1024 * 1024));
    if (info.size() > limit)
        throw DataError(tooLarge);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw DataError(QStringLiteral("ファイルを開けません（%1）。").arg(file.errorString()));
    // The file may have grown since it was measured: one byte more than the limit tells.
    QByteArray bytes = file.read(limit + 1);
    const bool readFailed = file.error() != QFileDevice::NoError;
    file.close();
    if (readFailed)
        throw DataError(QStringLiteral("ファイルを読めません。"));
    if (bytes.size() > limit)
        throw DataError(tooLarge);
    return bytes;
}

QString QuoteFileBytes(QByteArrayView bytes, qsizetype maxChars) {
    // Decoded whole before it is cut, so no character is split.
    QString text;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    text = utf8.decode(bytes);
    if (utf8.hasError()) {
        QStringDecoder shiftJis("CP932", QStringDecoder::Flag::Stateless);
        text = shiftJis.isValid() ? QString(shiftJis.decode(bytes)) : QString();
        if (!shiftJis.isValid() || shiftJis.hasError())
            text = QString::fromLatin1(bytes);
    }
    return text.left(maxChars);
}
