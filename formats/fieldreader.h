#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QChar>
#include <QString>

#include <optional>

// Field-oriented reading of a text file: a field ends at a comma, a space, a tab or a line end;
// blanks before a field are skipped. Line ends may be CR LF, LF or CR. A UTF-8 byte-order mark at
// the very start is skipped.
class FieldReader {
public:
    explicit FieldReader(QByteArrayView bytes);

    bool atEnd() const { return pos_ >= size_; }
    // Line number (from 1) of the next unread character.
    int line() const { return line_; }

    void skipBlanks();
    // True, and consumed, when a line end follows at the current position.
    bool takeLineEnd();
    // True, and consumed, when a comma follows at the current position.
    bool takeComma();
    bool atLineEnd() const;
    // True when nothing but blanks and line ends is left.
    bool onlyBlanksRemain() const;
    bool atComma() const;
    // The raw characters of the next field (empty when a separator or the end follows).
    QByteArray takeToken();

private:
    const char* data_;
    qsizetype size_;
    qsizetype pos_ = 0;
    int line_ = 1;
};

// Parses a whole token as a real number: optional sign, digits, one decimal point, optional
// exponent. Anything else gives nothing; so does a number beyond the double's range, which also
// sets *outOfRange when given.
std::optional<double> ParseReal(QByteArrayView token, bool* outOfRange = nullptr);

// A field of delimited text as a spreadsheet reads it back: in quotes, its quotes doubled, when it
// holds the separator, a quote or a line end; else as it is.
QString DelimitedField(const QString& text, QChar separator = QLatin1Char(','));
