#include "formats/inputfile.h"

#include "formats/filename.h"
#include "statistics/dataerror.h"

#include <QStringDecoder>

#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Opens a regular file for reading: the name is asked first, since opening a pipe would wait
// for a writer; swapped for a pipe after the check, the file still cannot block the open.
int OpenRegularFile(const QString& path, qint64 limit) {
    using Problem = RegularFileError::Problem;
    const QByteArray name = EncodeFileName(path);
    struct stat info {};
    if (path.isEmpty() || stat(name.constData(), &info) != 0)
        throw RegularFileError{Problem::Missing, path.isEmpty() ? ENOENT : errno};
    if (!S_ISREG(info.st_mode))
        throw RegularFileError{Problem::NotRegular, 0};
    if (info.st_size > limit)
        throw RegularFileError{Problem::TooLarge, 0};
    const int fd = open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        throw RegularFileError{Problem::CannotOpen, errno};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        throw RegularFileError{Problem::NotRegular, 0};
    }
    return fd;
}

} // namespace

RegularFileChunks::RegularFileChunks(const QString& path, qint64 limit)
    : fd_(OpenRegularFile(path, limit))
    , limit_(limit) {}

RegularFileChunks::~RegularFileChunks() {
    close(fd_);
}

bool RegularFileChunks::readInto(QByteArray& bytes) {
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(fd_, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw RegularFileError{RegularFileError::Problem::CannotRead, errno};
        if (got == 0)
            return false;
        bytes.append(buffer, got);
        read_ += got;
        // The file may have grown since it was measured.
        if (read_ > limit_)
            throw RegularFileError{RegularFileError::Problem::TooLarge, 0};
        return true;
    }
}

QByteArray ReadInputFileHead(const QString& path, qsizetype size) {
    QByteArray head;
    try {
        RegularFileChunks file(path, std::numeric_limits<qint64>::max());
        while (head.size() < size && file.readInto(head)) {
        }
    } catch (const RegularFileError&) {
        return {};
    }
    return head;
}

QByteArray ReadRegularFile(const QString& path, qint64 limit) {
    RegularFileChunks file(path, limit);
    QByteArray bytes;
    while (file.readInto(bytes)) {
    }
    return bytes;
}

QByteArray ReadInputFile(const QString& path, qint64 limit) {
    try {
        return ReadRegularFile(path, limit);
    } catch (const RegularFileError& error) {
        throw InputFileError(error, limit);
    }
}

DataError InputFileError(const RegularFileError& error, qint64 limit) {
    using Problem = RegularFileError::Problem;
    switch (error.problem) {
    case Problem::Missing:
        if (error.error == ELOOP)
            return DataError(LinkLoopReason());
        if (error.error == EACCES)
            return DataError(
                QStringLiteral("ファイルのあるフォルダを開くことが許されていません。"));
        return DataError(QStringLiteral("ファイルがありません。"));
    case Problem::NotRegular:
        return DataError(QStringLiteral("通常のファイルではありません（フォルダ、パイプ、装置など"
                                        "は読み込めません）。"));
    case Problem::TooLarge:
        return DataError(QStringLiteral("ファイルが大きすぎます（読み込めるのは %1 MiB "
                                        "までです）。")
                             .arg(limit / (1024 * 1024)));
    case Problem::CannotOpen:
        return DataError(error.error == EACCES
                             ? QStringLiteral("ファイルの読み取りが許されていません。")
                             : QStringLiteral("ファイルを開けません。"));
    case Problem::CannotRead:
        break;
    }
    return DataError(QStringLiteral("ファイルを読めません。"));
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
