#pragma once

#include <QTest>

#include <cmath>

// Compares two reals within a tolerance and, on failure, prints expected, actual and difference.
#define QUORVEL_COMPARE_NEAR(actual, expected, tolerance)                                          \
    do {                                                                                           \
        const double a_ = (actual);                                                                \
        const double e_ = (expected);                                                              \
        if (!(std::fabs(a_ - e_) <= (tolerance))) {                                                \
            QFAIL(qPrintable(QStringLiteral("%1: expected %2, actual %3, difference %4")           \
                                 .arg(QLatin1String(#actual))                                      \
                                 .arg(e_, 0, 'g', 17)                                              \
                                 .arg(a_, 0, 'g', 17)                                              \
                                 .arg(a_ - e_, 0, 'g', 3)));                                       \
        }                                                                                          \
    } while (false)
