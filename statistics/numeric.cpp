#include "statistics/numeric.h"

#include "statistics/dataerror.h"

#include <charconv>
#include <cmath>
#include <limits>
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
    // to_chars writes as printf's %.15g would, but always with "." whatever the C locale says.
    char buffer[40];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, a, std::chars_format::general, 15);
    QString text = QString::fromLatin1(buffer, result.ptr - buffer);
    // A two-digit exponent with its sign ("1E+20", "1E-07"), as the runtime shows it.
    text.replace(QLatin1Char('e'), QLatin1Char('E'));
    return text;
}

QString ShortestReal(double a) {
    char buffer[40];
    // + 0.0 turns -0 into 0: a sum of nothing or a negated zero is no negative value.
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, a + 0.0);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

double ReadDecimal(std::string_view number) {
    // from_chars takes no leading "+" and never looks at the C locale.
    bool negative = false;
    if (!number.empty() && (number.front() == '+' || number.front() == '-')) {
        negative = number.front() == '-';
        number.remove_prefix(1);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value,
                                              std::chars_format::general);
    if (error == std::errc::result_out_of_range)
        value = DecimalOverflows(number) ? std::numeric_limits<double>::infinity() : 0.0;
    else if (error != std::errc())
        value = 0;
    return negative ? -value : value;
}

bool DecimalOverflows(std::string_view number) {
    // The power of ten of the leading significant digit, plus the written exponent: only its
    // sign matters, so the exponent saturates instead of overflowing.
    long long magnitude = 0;
    size_t i = 0;
    bool significant = false;
    for (; i < number.size() && number[i] >= '0' && number[i] <= '9'; ++i) {
        significant = significant || number[i] != '0';
        magnitude += significant ? 1 : 0;
    }
    if (i < number.size() && number[i] == '.') {
        for (++i; i < number.size() && number[i] >= '0' && number[i] <= '9'; ++i) {
            if (significant)
                continue;
            if (number[i] != '0')
                significant = true;
            else
                --magnitude;
        }
    }
    if (i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < number.size() && (number[i] == '+' || number[i] == '-'))
            negativeExponent = number[i++] == '-';
        long long exponent = 0;
        for (; i < number.size() && number[i] >= '0' && number[i] <= '9'; ++i)
            exponent = std::min(exponent * 10 + (number[i] - '0'), 1000000LL);
        magnitude += negativeExponent ? -exponent : exponent;
    }
    return magnitude > 0;
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
    return ReadDecimal(number);
}

void ClearUpperVectorState() {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx)
        asm volatile("vzeroupper" ::: "memory");
#endif
}
