#include "formats/fieldreader.h"

#include <charconv>
#include <cmath>

FieldReader::FieldReader(QByteArrayView bytes)
    : data_(bytes.data())
    , size_(bytes.size()) {
    if (size_ >= 3 && static_cast<unsigned char>(data_[0]) == 0xEF &&
        static_cast<unsigned char>(data_[1]) == 0xBB &&
        static_cast<unsigned char>(data_[2]) == 0xBF)
        pos_ = 3;
}

bool FieldReader::onlyBlanksRemain() const {
    for (qsizetype i = pos_; i < size_; ++i)
        if (data_[i] != ' ' && data_[i] != '\t' && data_[i] != '\r' && data_[i] != '\n')
            return false;
    return true;
}

void FieldReader::skipBlanks() {
    while (pos_ < size_ && (data_[pos_] == ' ' || data_[pos_] == '\t'))
        ++pos_;
}

bool FieldReader::atLineEnd() const {
    return pos_ < size_ && (data_[pos_] == '\r' || data_[pos_] == '\n');
}

bool FieldReader::atComma() const {
    return pos_ < size_ && data_[pos_] == ',';
}

bool FieldReader::takeLineEnd() {
    if (!atLineEnd())
        return false;
    if (data_[pos_] == '\r' && pos_ + 1 < size_ && data_[pos_ + 1] == '\n')
        ++pos_;
    ++pos_;
    ++line_;
    return true;
}

bool FieldReader::takeComma() {
    if (!atComma())
        return false;
    ++pos_;
    return true;
}

QByteArray FieldReader::takeToken() {
    const qsizetype start = pos_;
    while (pos_ < size_) {
        const char c = data_[pos_];
        if (c == ',' || c == ' ' || c == '\t' || c == '\r' || c == '\n')
            break;
        ++pos_;
    }
    return QByteArray(data_ + start, pos_ - start);
}

std::optional<double> ParseReal(QByteArrayView token, bool* outOfRange) {
    if (outOfRange)
        *outOfRange = false;
    const char* first = token.data();
    const char* last = first + token.size();
    // One sign at most: "+-5" is no number.
    if (first != last && *first == '+') {
        ++first;
        if (first != last && (*first == '+' || *first == '-'))
            return std::nullopt;
    }
    // from_chars would take "inf", "nan" and hexadecimal forms; only plain decimals are numbers.
    for (const char* p = first; p != last; ++p) {
        const char c = *p;
        if (!((c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '-' || c == '+'))
            return std::nullopt;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    if (end != last)
        return std::nullopt;
    if (error == std::errc::result_out_of_range) {
        if (outOfRange)
            *outOfRange = true;
        return std::nullopt;
    }
    if (error != std::errc() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString DelimitedField(const QString& text, QChar separator) {
    if (!text.contains(separator) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}
