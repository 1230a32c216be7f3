// The settings boxes' number reader and the default real-to-text form, which must read back.

#include "statistics/numeric.h"
#include "fuzzcheck.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

double Read(const QString& text) {
    double value = 0;
    MustNotThrow("ReadNumericPrefix", [&] { value = ReadNumericPrefix(text); });
    return value;
}

// x rounded to 15 significant digits, formed without the C library's locale.
bool RoundedTo15Digits(double x, double& rounded) {
    char buffer[64];
    const auto printed =
        std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::scientific, 14);
    const auto read = std::from_chars(buffer, printed.ptr, rounded);
    return read.ec == std::errc();
}

void CheckRoundTrip(double x) {
    if (!std::isfinite(x))
        return;
    const QString text = FormatReal(x);
    Require(!text.contains(u','), "FormatReal uses a comma", text);
    Require(!ShowsNonFinite(text), "FormatReal of a finite number", text);
    double expected = 0;
    if (!RoundedTo15Digits(x, expected))
        return; // rounds beyond the range of a double
    const double back = Read(text);
    Require(back == expected, "reading back FormatReal",
            QStringLiteral("%1 -> %2 -> %3")
                .arg(QString::number(x, 'g', 17), text, QString::number(back, 'g', 17)));
}

QChar Folded(QChar c) {
    const char16_t u = c.unicode();
    if (u >= 0xFF01 && u <= 0xFF5E)
        return QChar(char16_t(u - 0xFF01 + 0x21));
    return u == 0x2212 ? QChar(u'-') : c;
}

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == QChar(0x3000);
}

// A sign is read once: two signs in a row, blanks aside, start no number.
bool StartsWithTwoSigns(const QString& text) {
    int signs = 0;
    for (QChar raw : text) {
        if (IsBlank(raw))
            continue;
        const QChar c = Folded(raw);
        if (c != u'+' && c != u'-')
            break;
        if (++signs == 2)
            return true;
    }
    return false;
}

} // namespace

// The environment's locale is taken as the program takes it, so a run under a locale with a
// decimal comma shows whether anything still follows the C library's locale.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::setlocale(LC_ALL, "");
    return 0;
}

// The bytes are read as UTF-8 text; their first eight bytes are also taken as a double.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const double value = Read(text);
    if (StartsWithTwoSigns(text))
        Require(value == 0, "a doubled sign gives a number", text);
    CheckRoundTrip(value);

    if (size >= sizeof(double)) {
        double x;
        std::memcpy(&x, data, sizeof x);
        CheckRoundTrip(x);
    }
    return 0;
}
