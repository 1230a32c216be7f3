#pragma once

#include "state/appstate.h"

// A deviate table whose entries at the chart's tick probabilities (50, 60, 70, 80, 90, 95, 99
// and 99.9 %) are the standard normal quantiles to four decimals. Coordinates built on it come
// out as round numbers; nothing else is looked up when a chart is drawn.
inline DeviateTable QuantileTable() {
    DeviateTable table{};
    table[0] = 0;
    table[100] = 0.2533;
    table[200] = 0.5244;
    table[300] = 0.8416;
    table[400] = 1.2816;
    table[450] = 1.6449;
    table[490] = 2.3263;
    table[499] = 3.0902;
    return table;
}
