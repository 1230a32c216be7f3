#include "editor/editorfile.h"

#include "analysis/dataerror.h"
#include "analysis/filename.h"
#include "platform/checkedfile.h"


#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A year-value file has a few kilobytes; anything this large was picked by mistake and would
// only freeze the text box.
constexpr qint64 kLargestFile = 8 * 1024 * 1024;

// Stand-ins come from the top of the last private-use plane, which no data file uses.
constexpr char32_t kFirstStandIn = 0x10FFFD;

// The characters QTextDocument ends a paragraph at, besides CR and LF.
constexpr char16_t kBoxBreaks[] = {0x2029, 0xFDD0, 0xFDD1};

QString Shown(const QString& path) {
    return QStringLiteral("「%1」").arg(DisplayFileName(path));
}

} // namespace

QString FileTextToBoxText(QStringView fileText, BoxStandIns& standIns) {
    standIns.clear();
    QString boxText = fileText.toString();
    boxText.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    boxText.replace(u'\r', u'\n');
    char32_t next = kFirstStandIn;
    for (const char16_t breaker : kBoxBreaks) {
        if (!boxText.contains(QChar{breaker}))
            continue;
        while (boxText.contains(QString::fromUcs4(&next, 1)))
            --next;
        boxText.replace(QChar{breaker}, QString::fromUcs4(&next, 1));
        standIns.append({breaker, next--});
    }
    return boxText;
}

QString BoxTextToFileText(QStringView boxText, const BoxStandIns& standIns) {
    QString fileText;
    fileText.reserve(boxText.size() + boxText.size() / 8);
    for (qsizetype i = 0; i < boxText.size(); ++i) {
        const QChar c = boxText[i];
        if (c == u'\r' || c == u'\n' || c == QChar::ParagraphSeparator) {
            if (c == u'\r' && i + 1 < boxText.size() && boxText[i + 1] == u'\n')
                ++i;
            fileText += QStringLiteral("\r\n");
        } else {
            fileText += c;
        }
    }
    for (const auto& [breaker, standIn] : standIns)
        fileText.replace(QString::fromUcs4(&standIn, 1), QString(QChar{breaker}));
    return fileText;
}

EditorFile ReadEditorFile(const QString& path) {
    const QString cannotOpen = QStringLiteral("ファイル%1を開けませんでした。ファイルがあるか、"
                                              "読み取りが許されているかを確かめてください。")
                                   .arg(Shown(path));
    const QString notAFile =
        QStringLiteral("%1は普通のファイルではないので開けません。").arg(Shown(path));
    const QByteArray name = EncodeFileName(path);
    struct stat info {};
    if (path.isEmpty() || stat(name.constData(), &info) != 0) {
        if (errno == ELOOP)
            throw DataError(QStringLiteral("ファイル%1を開けませんでした。").arg(Shown(path)) +
                            LinkLoopReason());
        throw DataError(cannotOpen);
    }
    if (!S_ISREG(info.st_mode))
        throw DataError(notAFile);
    if (info.st_size > kLargestFile)
        throw DataError(QStringLiteral("ファイル%1は大きすぎて、データファイルではないようです。")
                            .arg(Shown(path)));
    // Swapped for a pipe after the check, the file still cannot block the open.
    const int fd = open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        throw DataError(cannotOpen);
    QByteArray bytes;
    bool readError = fstat(fd, &info) != 0 || !S_ISREG(info.st_mode);
    char buffer[65536];
    while (!readError) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            readError = got < 0;
            break;
        }
        bytes.append(buffer, got);
        if (bytes.size() > kLargestFile) {
            close(fd);
            throw DataError(
                QStringLiteral("ファイル%1は大きすぎて、データファイルではないようです。")
                    .arg(Shown(path)));
        }
    }
    close(fd);
    if (readError)
        throw DataError(QStringLiteral("ファイル%1を読み取れませんでした。").arg(Shown(path)));
    DecodedText decoded = DecodeEditorBytes(bytes);
    return {SplitEditorLines(decoded.text), std::move(decoded.encoding)};
}

void WriteEditorFile(const QString& path, const QString& text, const FileEncoding& encoding) {
    const QByteArray bytes = EncodeEditorText(text, encoding);
    try {
        WriteFileAllOrNothing(path, bytes);
    } catch (const DataError& error) {
        throw DataError(error.message() +
                        QStringLiteral("編集中の内容はエディターに残っています。"));
    }
}
