#include "statistics/deviates.h"

#include "statistics/dataerror.h"
#include "statistics/numeric.h"

double DeviateAt(const DeviateTable& table, double p) {
    const bool below = p < 0.5;
    const double index = RoundHalfEven((below ? 0.5 - p : p - 0.5) * 1000.0);
    if (!(index >= 0 && index < kDeviateTableSize))
        throw DataError(
            QStringLiteral("非超過確率 %1 が表の範囲を外れています。").arg(FormatReal(p)));
    const double z = table[static_cast<size_t>(index)];
    return below ? -z : z;
}
