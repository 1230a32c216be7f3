#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <vector>

// The data checks by the plainest route, from their formulas with nothing shared with the
// program: every pair counted, the ties from a tally, Pettitt's sums over both halves in full
// for every split, the p-value from erfc.
struct BruteForceChecks {
    int64_t s = 0;
    double variance = 0;
    double z = 0;
    double p = 1;
    bool hasSlope = false;
    double senSlope = 0;
    int64_t k = 0;
    int32_t changeYear = 0;
    double pettittP = 1;
};

// On values in year order with their years.
inline BruteForceChecks BruteForce(const std::vector<int32_t>& years,
                                   const std::vector<double>& x) {
    BruteForceChecks c;
    const int n = static_cast<int>(x.size());
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < j; ++i)
            c.s += x[j] > x[i] ? 1 : (x[j] < x[i] ? -1 : 0);
    std::map<double, int64_t> tally;
    for (double v : x)
        ++tally[v];
    double v = static_cast<double>(n) * (n - 1) * (2.0 * n + 5);
    for (const auto& [value, t] : tally)
        v -= static_cast<double>(t) * (t - 1) * (2.0 * t + 5);
    c.variance = v / 18;
    if (c.s > 0)
        c.z = (c.s - 1) / std::sqrt(c.variance);
    else if (c.s < 0)
        c.z = (c.s + 1) / std::sqrt(c.variance);
    c.p = std::erfc(std::fabs(c.z) / std::sqrt(2.0));

    std::vector<double> slopes;
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j)
            if (years[i] != years[j])
                slopes.push_back((x[j] - x[i]) / (years[j] - years[i]));
    if (!slopes.empty()) {
        c.hasSlope = true;
        const size_t m = slopes.size();
        std::nth_element(slopes.begin(), slopes.begin() + m / 2, slopes.end());
        const double upper = slopes[m / 2];
        if (m % 2 == 1) {
            c.senSlope = upper;
        } else {
            const double lower = *std::max_element(slopes.begin(), slopes.begin() + m / 2);
            c.senSlope = (lower + upper) / 2;
        }
    }

    for (int t = 1; t < n; ++t) {
        int64_t u = 0;
        for (int i = 0; i < t; ++i)
            for (int j = t; j < n; ++j)
                u += x[i] > x[j] ? 1 : (x[i] < x[j] ? -1 : 0);
        if (std::llabs(u) > c.k || t == 1) {
            c.k = std::llabs(u);
            c.changeYear = years[t - 1];
        }
    }
    const double nn = n;
    c.pettittP = std::min(1.0, 2 * std::exp(-6.0 * c.k * c.k / (nn * nn * nn + nn * nn)));
    return c;
}
