#include "analysis/inputfile.h"

#include "analysis/dataerror.h"
#include "analysis/filename.h"

#include <QStringDecoder>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QByteArray ReadInputFile(const QString& path) {
    const QByteArray name = EncodeFileName(path);
    // Asked of the name, not of an open file: opening a pipe would wait for a writer.
    struct stat info {};
    if (path.isEmpty() || stat(name.constData(), &info) != 0) {
        if (errno == ELOOP)
            throw DataError(LinkLoopReason());
        if (errno == EACCES)
            throw DataError(QStringLiteral("ファイルのあるフォルダを開くことが許されていません。"));
        throw DataError(QStringLiteral("ファイルがありません。"));
    }
    if (!S_ISREG(info.st_mode))
        throw DataError(QStringLiteral("通常のファイルではありません（フォルダ、パイプ、装置などは"
                                       "読み込めません）。"));
    const QString tooLarge = QStringLiteral("ファイルが大きすぎます（読み込めるのは %1 MiB "
                                            "までです）。")
                                 .arg(kLargestInputFile / (1024 * 1024));
    if (info.st_size > kLargestInputFile)
        throw DataError(tooLarge);
    // Swapped for a pipe after the check, the file still cannot block the open.
    const int fd = open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        throw DataError(errno == EACCES ? QStringLiteral("ファイルの読み取りが許されていません。")
                                        : QStringLiteral("ファイルを開けません。"));
    QByteArray bytes;
    bool readFailed = fstat(fd, &info) != 0 || !S_ISREG(info.st_mode);
    char buffer[65536];
    // The file may have grown since it was measured: one byte more than the limit tells.
    while (!readFailed && bytes.size() <= kLargestInputFile) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            readFailed = got < 0;
            break;
        }
        bytes.append(buffer, got);
    }
    close(fd);
    if (readFailed)
        throw DataError(QStringLiteral("ファイルを読めません。"));
    if (bytes.size() > kLargestInputFile)
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
