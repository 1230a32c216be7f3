#include "analysis/numeric.h"

#include "analysis/dataerror.h"

#include <cfenv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

double RoundHalfEven(double a) {
    // nearbyint follows the rounding mode, which this program never changes from to-nearest-even.
    return std::nearbyint(a);
}

int32_t R(double a) {
    const double r = RoundHalfEven(a);
    if (!(r >= -2147483648.0 && r <= 2147483647.0))
        throw DataError(QStringLiteral("数値が整数の範囲を超えています。"));
    return static_cast<int32_t>(r);
}

QString FormatReal(double a) {
    if (a == 0)
        return QStringLiteral("0"); // also -0
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15G", a);
    QString text = QString::fromLatin1(buffer);
    // %G keeps a two-digit exponent with its sign ("1E+20", "1E-07"), as the runtime shows it.
    return text;
}

QString PowerOfTenText(int exponent) {
    return FormatReal(std::pow(10.0, exponent));
}

namespace {

QChar FoldFullWidth(QChar c) {
    const char16_t u = c.unicode();
    if (u >= 0xFF01 && u <= 0xFF5E)
        return QChar(char16_t(u - 0xFF01 + 0x21));
    if (u == 0x3000)
        return QLatin1Char(' ');
    if (u == 0x2212) // minus sign
        return QLatin1Char('-');
    return c;
}

bool IsIgnoredBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
           c == QLatin1Char('\r');
}

} // namespace

double ReadNumericPrefix(QStringView text) {
    // Collect the longest prefix that forms a number, skipping blanks wherever they stand.
    std::string number;
    enum class Stage { Sign, Integer, Fraction, ExponentSign, Exponent } stage = Stage::Sign;
    bool mantissaDigits = false;
    size_t lastValid = 0; // length of number that parses as a complete number
    for (QChar raw : text) {
        const QChar c = FoldFullWidth(raw);
        if (IsIgnoredBlank(c))
            continue;
        const char ch = c.toLatin1();
        const bool digit = ch >= '0' && ch <= '9';
        if (stage == Stage::Sign && (ch == '+' || ch == '-')) {
            number += ch;
            stage = Stage::Integer;
        } else if ((stage == Stage::Sign || stage == Stage::Integer) && digit) {
            number += ch;
            stage = Stage::Integer;
            mantissaDigits = true;
            lastValid = number.size();
        } else if ((stage == Stage::Sign || stage == Stage::Integer) && ch == '.') {
            number += ch;
            stage = Stage::Fraction;
        } else if (stage == Stage::Fraction && digit) {
            number += ch;
            mantissaDigits = true;
            lastValid = number.size();
        } else if ((stage == Stage::Integer || stage == Stage::Fraction) && mantissaDigits &&
                   (ch == 'e' || ch == 'E' || ch == 'd' || ch == 'D')) {
            number += 'e';
            stage = Stage::ExponentSign;
        } else if (stage == Stage::ExponentSign && (ch == '+' || ch == '-')) {
            number += ch;
            stage = Stage::Exponent;
        } else if ((stage == Stage::ExponentSign || stage == Stage::Exponent) && digit) {
            number += ch;
            stage = Stage::Exponent;
            lastValid = number.size();
        } else {
            break;
        }
    }
    if (!mantissaDigits)
        return 0;
    number.resize(lastValid);
    return std::strtod(number.c_str(), nullptr);
}
