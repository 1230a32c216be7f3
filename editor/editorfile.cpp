#include "editor/editorfile.h"

#include "analysis/dataerror.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

namespace {

const char kShiftJisName[] = "CP932";
const QByteArray kUtf8Bom("\xEF\xBB\xBF");

// A year-value file has a few kilobytes; anything this large was picked by mistake and would
// only freeze the text box.
constexpr qint64 kLargestFile = 8 * 1024 * 1024;

QString Shown(const QString& path) {
    return QStringLiteral("「%1」").arg(path);
}

} // namespace

DecodedText DecodeEditorBytes(QByteArrayView bytes) {
    {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const bool bom = bytes.startsWith(kUtf8Bom);
        QString text = utf8.decode(bom ? bytes.sliced(kUtf8Bom.size()) : bytes);
        if (!utf8.hasError())
            return {std::move(text), bom ? TextEncoding::Utf8WithBom : TextEncoding::Utf8};
    }
    {
        QStringDecoder shiftJis(kShiftJisName, QStringDecoder::Flag::Stateless);
        if (shiftJis.isValid()) {
            QString text = shiftJis.decode(bytes);
            if (!shiftJis.hasError())
                return {std::move(text), TextEncoding::ShiftJis};
        }
    }
    return {QString::fromLatin1(bytes), TextEncoding::Bytes};
}

TextEncoding EncodeEditorText(const QString& text, TextEncoding encoding, QByteArray& bytes) {
    switch (encoding) {
    case TextEncoding::ShiftJis: {
        QStringEncoder shiftJis(kShiftJisName, QStringEncoder::Flag::Stateless);
        if (shiftJis.isValid()) {
            QByteArray encoded = shiftJis.encode(text);
            if (!shiftJis.hasError()) {
                bytes = std::move(encoded);
                return encoding;
            }
        }
        break;
    }
    case TextEncoding::Bytes: {
        const bool fits =
            std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() <= 0xFF; });
        if (fits) {
            bytes = text.toLatin1();
            return encoding;
        }
        break;
    }
    case TextEncoding::Utf8WithBom:
        bytes = kUtf8Bom + text.toUtf8();
        return encoding;
    case TextEncoding::Utf8:
        break;
    }
    bytes = text.toUtf8();
    return TextEncoding::Utf8;
}

QStringList SplitEditorLines(QStringView text) {
    QStringList lines;
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = pos;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        lines << text.sliced(pos, end - pos).toString();
        pos = end;
        if (pos < text.size()) {
            ++pos;
            if (text[end] == u'\r' && pos < text.size() && text[pos] == u'\n')
                ++pos;
        }
    }
    return lines;
}

QString BoxTextToFileText(QStringView boxText) {
    QString fileText;
    fileText.reserve(boxText.size() + boxText.size() / 8);
    for (qsizetype i = 0; i < boxText.size(); ++i) {
        const QChar c = boxText[i];
        if (c == u'\r' || c == u'\n' || c == QChar::ParagraphSeparator ||
            c == QChar::LineSeparator) {
            if (c == u'\r' && i + 1 < boxText.size() && boxText[i + 1] == u'\n')
                ++i;
            fileText += QStringLiteral("\r\n");
        } else {
            fileText += c;
        }
    }
    return fileText;
}

QString FileTextToBoxText(QStringView fileText) {
    QString boxText = fileText.toString();
    boxText.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    boxText.replace(u'\r', u'\n');
    return boxText;
}

EditorFile ReadEditorFile(const QString& path) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        throw DataError(QStringLiteral("ファイル%1を開けませんでした。ファイルがあるか、"
                                       "読み取りが許されているかを確かめてください。")
                            .arg(Shown(path)));
    if (file.size() > kLargestFile)
        throw DataError(QStringLiteral("ファイル%1は大きすぎて、データファイルではないようです。")
                            .arg(Shown(path)));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw DataError(QStringLiteral("ファイル%1を読み取れませんでした。").arg(Shown(path)));
    file.close();
    DecodedText decoded = DecodeEditorBytes(bytes);
    return {SplitEditorLines(decoded.text), decoded.encoding};
}

TextEncoding WriteEditorFile(const QString& path, const QString& text, TextEncoding encoding) {
    QByteArray bytes;
    const TextEncoding written = EncodeEditorText(text, encoding, bytes);
    const QString failed =
        QStringLiteral("ファイル%1に保存できませんでした。保存先のフォルダーとファイル名を"
                       "確かめてください。編集中の内容はエディターに残っています。")
            .arg(Shown(path));
    if (path.isEmpty() || QFileInfo(path).isDir())
        throw DataError(failed);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw DataError(failed);
    // Left uncommitted, the temporary file is removed and the target never touched.
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw DataError(failed);
    return written;
}
