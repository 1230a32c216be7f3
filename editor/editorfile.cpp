#include "editor/editorfile.h"

#include "formats/filename.h"
#include "formats/inputfile.h"
#include "platform/checkedfile.h"
#include "statistics/dataerror.h"

#include <cerrno>

namespace {

// A year-value file has a few kilobytes; anything this large was picked by mistake and would
// only freeze the text box, which takes less than the loader reads.
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
    using Problem = RegularFileError::Problem;
    QByteArray bytes;
    try {
        bytes = ReadRegularFile(path, kLargestFile);
    } catch (const RegularFileError& error) {
        switch (error.problem) {
        case Problem::NotRegular:
            throw DataError(
                QStringLiteral("%1は普通のファイルではないので開けません。").arg(Shown(path)));
        case Problem::TooLarge:
            throw DataError(
                QStringLiteral("ファイル%1は大きすぎて、データファイルではないようです。")
                    .arg(Shown(path)));
        case Problem::CannotRead:
            throw DataError(QStringLiteral("ファイル%1を読み取れませんでした。").arg(Shown(path)));
        case Problem::Missing:
            if (error.error == ELOOP)
                throw DataError(QStringLiteral("ファイル%1を開けませんでした。").arg(Shown(path)) +
                                LinkLoopReason());
            break;
        case Problem::CannotOpen:
            break;
        }
        throw DataError(QStringLiteral("ファイル%1を開けませんでした。ファイルがあるか、"
                                       "読み取りが許されているかを確かめてください。")
                            .arg(Shown(path)));
    }
    DecodedText decoded = DecodeEditorBytes(bytes);
    // A picture or a spreadsheet's own file holds bytes that are no characters at all.
    if (decoded.text.contains(QChar(0)))
        throw DataError(QStringLiteral("ファイル%1はテキストファイルではないので開けません"
                                       "（文字でない値が含まれています）。")
                            .arg(Shown(path)));
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
