#include "formats/inputfile.h"

#include "formats/filename.h"
#include "statistics/dataerror.h"

#include <QStringDecoder>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QByteArray ReadRegularFile(const QString& path, qint64 limit) {
    using Problem = RegularFileError::Problem;
    const QByteArray name = EncodeFileName(path);
    // Asked of the name first: opening a pipe would wait for a writer.
    struct stat info {};
    if (path.isEmpty() || stat(name.constData(), &info) != 0)
        throw RegularFileError{Problem::Missing, path.isEmpty() ? ENOENT : errno};
    if (!S_ISREG(info.st_mode))
        throw RegularFileError{Problem::NotRegular, 0};
    if (info.st_size > limit)
        throw RegularFileError{Problem::TooLarge, 0};
    // Swapped for a pipe after the check, the file still cannot block the open.
    const int fd = open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        throw RegularFileError{Problem::CannotOpen, errno};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        throw RegularFileError{Problem::NotRegular, 0};
    }
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            const int error = errno;
            close(fd);
            throw RegularFileError{Problem::CannotRead, error};
        }
        if (got == 0)
            break;
        bytes.append(buffer, got);
        // The file may have grown since it was measured.
        if (bytes.size() > limit) {
            close(fd);
            throw RegularFileError{Problem::TooLarge, 0};
        }
    }
    close(fd);
    return bytes;
}

QByteArray ReadInputFile(const QString& path, qint64 limit) {
    using Problem = RegularFileError::Problem;
    try {
        return ReadRegularFile(path, limit);
    } catch (const RegularFileError& error) {
        switch (error.problem) {
        case Problem::Missing:
            if (error.error == ELOOP)
                throw DataError(LinkLoopReason());
            if (error.error == EACCES)
                throw DataError(
                    QStringLiteral("ファイルのあるフォルダを開くことが許されていません。"));
            throw DataError(QStringLiteral("ファイルがありません。"));
        case Problem::NotRegular:
            throw DataError(
                QStringLiteral("通常のファイルではありません（フォルダ、パイプ、装置など"
                               "は読み込めません）。"));
        case Problem::TooLarge:
            throw DataError(QStringLiteral("ファイルが大きすぎます（読み込めるのは %1 MiB "
                                           "までです）。")
                                .arg(limit / (1024 * 1024)));
        case Problem::CannotOpen:
            throw DataError(error.error == EACCES
                                ? QStringLiteral("ファイルの読み取りが許されていません。")
                                : QStringLiteral("ファイルを開けません。"));
        case Problem::CannotRead:
            break;
        }
        throw DataError(QStringLiteral("ファイルを読めません。"));
    }
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
    return EscapeControls(text.left(maxChars));
}
