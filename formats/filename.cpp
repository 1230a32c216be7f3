#include "formats/filename.h"

#include <QDir>
#include <QStringDecoder>

#include <climits>
#include <unistd.h>

#include <algorithm>

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool IsEscapedByte(QChar c) {
    return c.unicode() >= kEscapeBase + 0x80 && c.unicode() <= kEscapeBase + 0xFF;
}

// Length of the valid UTF-8 sequence at bytes[i], or 0 when there is none. Overlong forms,
// surrogates and code points beyond U+10FFFF are not valid.
qsizetype Utf8Length(QByteArrayView bytes, qsizetype i) {
    const auto byte = [&](qsizetype k) { return uchar(bytes[k]); };
    const uchar lead = byte(i);
    if (lead < 0x80)
        return 1;
    qsizetype length = 0;
    uchar low = 0x80;
    uchar high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (i + length > bytes.size())
        return 0;
    if (byte(i + 1) < low || byte(i + 1) > high)
        return 0;
    for (qsizetype k = 2; k < length; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
            return 0;
    return length;
}

} // namespace

QString DecodeFileName(QByteArrayView name) {
    QString text;
    text.reserve(name.size());
    for (qsizetype i = 0; i < name.size();) {
        const qsizetype length = Utf8Length(name, i);
        if (length == 0) {
            text += QChar(char16_t(kEscapeBase + uchar(name[i])));
            ++i;
            continue;
        }
        text += QString::fromUtf8(name.sliced(i, length));
        i += length;
    }
    return text;
}

QByteArray EncodeFileName(const QString& name) {
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype start = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        if (i < name.size() && !IsEscapedByte(name[i]))
            continue;
        bytes += QStringView(name).sliced(start, i - start).toUtf8();
        if (i < name.size())
            bytes += char(name[i].unicode() - kEscapeBase);
        start = i + 1;
    }
    return bytes;
}

QString AbsoluteFileName(const QString& name) {
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')))
        return name;
    char buffer[PATH_MAX];
    if (getcwd(buffer, sizeof buffer) == nullptr)
        return name;
    return QDir::cleanPath(DecodeFileName(buffer) + QLatin1Char('/') + name);
}

QString EscapeControls(QStringView text) {
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u <= 0x9F))
            shown += QStringLiteral("\\x%1").arg(uint(u), 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

QString DisplayFileName(const QString& name) {
    if (std::none_of(name.cbegin(), name.cend(), IsEscapedByte))
        return EscapeControls(name);
    const QByteArray bytes = EncodeFileName(name);
    QStringDecoder shiftJis("CP932", QStringDecoder::Flag::Stateless);
    if (shiftJis.isValid()) {
        QString text = shiftJis.decode(bytes);
        if (!shiftJis.hasError())
            return EscapeControls(text);
    }
    QString shown = name;
    for (QChar& c : shown)
        if (IsEscapedByte(c))
            c = QChar::ReplacementCharacter;
    return EscapeControls(shown);
}

QString LinkLoopReason() {
    return QStringLiteral("シンボリックリンクが循環していて、ファイルにたどり着けません。");
}
