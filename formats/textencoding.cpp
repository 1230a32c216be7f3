#include "formats/textencoding.h"

#include "statistics/dataerror.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <optional>
#include <tuple>

namespace {

const char kShiftJisName[] = "CP932";
const QByteArray kUtf8Bom("\xEF\xBB\xBF");
const QByteArray kUtf16LeBom("\xFF\xFE");
const QByteArray kUtf16BeBom("\xFE\xFF");

// The characters input methods type where code page 932 has its own code point for the same
// JIS X 0208 character: JIS mapping on the left, Microsoft's on the right.
constexpr std::pair<char16_t, char16_t> kJisToMicrosoft[] = {
    {0x301C, 0xFF5E}, // wave dash, 0x8160
    {0x2016, 0x2225}, // double vertical line, 0x8161
    {0x2212, 0xFF0D}, // minus sign, 0x817C
    {0x2014, 0x2015}, // em dash, 0x815C
    {0x00A2, 0xFFE0}, // cent sign, 0x8191
    {0x00A3, 0xFFE1}, // pound sign, 0x8192
    {0x00AC, 0xFFE2}, // not sign, 0x81CA
    {0x00A6, 0xFFE4}, // broken bar, 0xFA55
};

bool IsShiftJisLead(uchar byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// One character, or nothing when the bytes are not one valid character.
std::optional<QString> DecodeOne(QStringDecoder& decoder, QByteArrayView bytes) {
    decoder.resetState();
    QString text = decoder.decode(bytes);
    if (decoder.hasError() || text.size() != 1)
        return std::nullopt;
    return text;
}

// Shift-JIS text of bytes whose re-encoding gives the same bytes back, with the codes the file
// used where the encoder would pick another; nothing when that cannot be.
QByteArray EncodeShiftJis(const QString& text, const FileEncoding& encoding);

// The converter maps a few control bytes to other control characters (0x1C reads as U+007F),
// which the save writes back as themselves: a file is Shift-JIS only when the save would give
// back every byte.
std::optional<DecodedText> SavedBackWhole(DecodedText decoded, QByteArrayView bytes) {
    try {
        if (EncodeShiftJis(decoded.text, decoded.encoding) == bytes)
            return decoded;
    } catch (const DataError&) {
    }
    return std::nullopt;
}

std::optional<DecodedText> DecodeShiftJis(QByteArrayView bytes) {
    QStringDecoder decoder(kShiftJisName, QStringDecoder::Flag::Stateless);
    QStringEncoder encoder(kShiftJisName, QStringEncoder::Flag::Stateless);
    if (!decoder.isValid() || !encoder.isValid())
        return std::nullopt;
    DecodedText decoded;
    decoded.encoding.kind = TextEncoding::ShiftJis;
    decoded.text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    if (QByteArray(encoder.encode(decoded.text)) == bytes)
        return SavedBackWhole(std::move(decoded), bytes);

    // Some character came in under its second code: find which, character by character.
    QHash<char16_t, QByteArray> seen;
    for (qsizetype i = 0; i < bytes.size();) {
        const qsizetype length = IsShiftJisLead(uchar(bytes[i])) && i + 1 < bytes.size() ? 2 : 1;
        const QByteArrayView code = bytes.sliced(i, length);
        i += length;
        if (length == 1 && uchar(code[0]) < 0x80)
            continue;
        const std::optional<QString> c = DecodeOne(decoder, code);
        if (!c)
            return std::nullopt;
        const auto known = seen.constFind(c->at(0).unicode());
        if (known == seen.cend())
            seen.insert(c->at(0).unicode(), code.toByteArray());
        else if (*known != code)
            return std::nullopt; // both codes of one character: one would change on save
    }
    for (auto it = seen.cbegin(); it != seen.cend(); ++it) {
        encoder.resetState();
        if (QByteArray(encoder.encode(QString(QChar{it.key()}))) != it.value())
            decoded.encoding.shiftJisCodes.insert(it.key(), it.value());
    }
    return SavedBackWhole(std::move(decoded), bytes);
}

// 1-based line of position pos; CR, CR LF and LF end a line.
int LineOf(QStringView text, qsizetype pos) {
    int line = 1;
    for (qsizetype i = 0; i < pos; ++i) {
        if (text[i] == u'\n' ||
            (text[i] == u'\r' && (i + 1 >= text.size() || text[i + 1] != u'\n')))
            ++line;
    }
    return line;
}

[[noreturn]] void Refuse(QStringView text, qsizetype pos, char32_t c, TextEncoding encoding) {
    const QString shown = QString::fromUcs4(&c, 1);
    throw DataError(
        QStringLiteral("%1 行目の文字「%2」（U+%3）は、このファイルの文字コード（%4）では"
                       "保存できません。その文字を書き換えてから保存してください。"
                       "ファイルには何も書き込んでいません。")
            .arg(LineOf(text, pos))
            .arg(shown, QString::number(uint(c), 16).toUpper().rightJustified(4, u'0'),
                 EncodingName(encoding)));
}

QByteArray EncodeShiftJis(const QString& text, const FileEncoding& encoding) {
    QStringEncoder encoder(kShiftJisName, QStringEncoder::Flag::Stateless);
    QStringDecoder decoder(kShiftJisName, QStringDecoder::Flag::Stateless);
    QHash<char16_t, QByteArray> codes = encoding.shiftJisCodes;
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            bytes += char(c);
            continue;
        }
        if (text[i].isSurrogate()) {
            const char32_t full =
                i + 1 < text.size() && text[i].isHighSurrogate() && text[i + 1].isLowSurrogate()
                    ? QChar::surrogateToUcs4(text[i], text[i + 1])
                    : c;
            Refuse(text, i, full, TextEncoding::ShiftJis);
        }
        auto known = codes.constFind(c);
        if (known == codes.cend()) {
            char16_t stored = c;
            for (const auto& [jis, microsoft] : kJisToMicrosoft) {
                if (c == jis)
                    stored = microsoft;
            }
            const QString one(QChar{stored});
            encoder.resetState();
            const QByteArray code = encoder.encode(one);
            // Only a code that reads back as the same character is a code for it.
            if (encoder.hasError() || DecodeOne(decoder, code) != one)
                Refuse(text, i, c, TextEncoding::ShiftJis);
            known = codes.insert(c, code);
        }
        bytes += *known;
    }
    return bytes;
}

} // namespace

QString EncodingName(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Utf8:
        return QStringLiteral("UTF-8");
    case TextEncoding::Utf8WithBom:
        return QStringLiteral("UTF-8 BOM 付き");
    case TextEncoding::ShiftJis:
        return QStringLiteral("Shift-JIS");
    case TextEncoding::Bytes:
        return QStringLiteral("1 バイト 1 文字");
    case TextEncoding::Utf16LeWithBom:
        return QStringLiteral("UTF-16 LE BOM 付き");
    case TextEncoding::Utf16BeWithBom:
        return QStringLiteral("UTF-16 BE BOM 付き");
    }
    return {};
}

DecodedText DecodeEditorBytes(QByteArrayView bytes) {
    for (const auto& [mark, kind, encoding] :
         {std::tuple{kUtf16LeBom, TextEncoding::Utf16LeWithBom, QStringDecoder::Utf16LE},
          std::tuple{kUtf16BeBom, TextEncoding::Utf16BeWithBom, QStringDecoder::Utf16BE}}) {
        if (!bytes.startsWith(mark) || bytes.size() % 2 != 0)
            continue;
        // Only the first mark is the encoding's: a second one is text and stays.
        QStringDecoder utf16(encoding, QStringDecoder::Flag::Stateless |
                                           QStringDecoder::Flag::ConvertInitialBom);
        QString text = utf16.decode(bytes.sliced(mark.size()));
        if (!utf16.hasError())
            return {std::move(text), {kind, {}}};
    }
    if (std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) < 0x80; }))
        return {QString::fromLatin1(bytes), {TextEncoding::ShiftJis, {}}};
    {
        // Only the first mark is the encoding's: a second one is text and stays.
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                      QStringDecoder::Flag::ConvertInitialBom);
        const bool bom = bytes.startsWith(kUtf8Bom);
        QString text = utf8.decode(bom ? bytes.sliced(kUtf8Bom.size()) : bytes);
        if (!utf8.hasError())
            return {std::move(text), {bom ? TextEncoding::Utf8WithBom : TextEncoding::Utf8, {}}};
    }
    if (std::optional<DecodedText> shiftJis = DecodeShiftJis(bytes))
        return std::move(*shiftJis);
    return {QString::fromLatin1(bytes), {TextEncoding::Bytes, {}}};
}

QByteArray EncodeEditorText(const QString& text, const FileEncoding& encoding) {
    switch (encoding.kind) {
    case TextEncoding::ShiftJis:
        return EncodeShiftJis(text, encoding);
    case TextEncoding::Bytes: {
        const auto wide =
            std::find_if(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() > 0xFF; });
        if (wide != text.cend()) {
            const qsizetype pos = wide - text.cbegin();
            const char32_t c = wide->isHighSurrogate() && pos + 1 < text.size()
                                   ? QChar::surrogateToUcs4(*wide, text[pos + 1])
                                   : wide->unicode();
            Refuse(text, pos, c, encoding.kind);
        }
        return text.toLatin1();
    }
    case TextEncoding::Utf8WithBom:
        return kUtf8Bom + text.toUtf8();
    case TextEncoding::Utf16LeWithBom:
    case TextEncoding::Utf16BeWithBom: {
        QStringEncoder utf16(encoding.kind == TextEncoding::Utf16LeWithBom
                                 ? QStringEncoder::Utf16LE
                                 : QStringEncoder::Utf16BE,
                             QStringEncoder::Flag::Stateless);
        const QByteArray mark =
            encoding.kind == TextEncoding::Utf16LeWithBom ? kUtf16LeBom : kUtf16BeBom;
        return mark + QByteArray(utf16.encode(text));
    }
    case TextEncoding::Utf8:
        break;
    }
    return text.toUtf8();
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
