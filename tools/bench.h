#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

// Median wall time of repeated runs of body, in microseconds.
inline double MedianMicroseconds(int runs, const std::function<void()>& body) {
    std::vector<double> times;
    times.reserve(runs);
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        body();
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

struct AppState;
// A state with the committed deviate table, as the program has it after its start.
AppState BenchState();

void BenchAnalysis();      // reading and analysing a 257-record file
void BenchJackknife();     // the fit measures of 257 records, 257 re-analyses among them
void BenchDistributions(); // the eleven candidate distributions of 257 records with the jackknife
void BenchBootstrap();     // the bootstrap of the eleven models, B = 1000 and 10000
void BenchIntensity();     // eleven durations of a 60-year station: their studies and the formulas
void BenchComparisonWindow(); // the comparison window filled after a load, and one resize
void BenchLoadWithWindows();  // a load with the results and comparison windows open
void BenchScreenChart();      // one full redraw of the screen chart
void BenchPrint();            // printing a 257-record chart to a PDF file
void BenchReport();           // the study report of the 100-year sample, bootstrap computed
