#pragma once

#include <QString>

#include <array>
#include <cstdint>

// Largest series the program holds: indices 0..256.
inline constexpr int kMaxRecords = 257;
// The deviate table has indices 0..512; only 0..499 are ever loaded.
inline constexpr int kDeviateTableSize = 513;
inline constexpr int kDeviateTableLoaded = 500;

using DeviateTable = std::array<double, kDeviateTableSize>;

inline const QString kDefaultAxisTitle = QStringLiteral("降水量　(mm)");

// Everything that outlives one user action. One instance, made by main and passed by reference.
struct AppState {
    // Loaded series and the arrays derived from it.
    int32_t recordCount = 0;
    std::array<int32_t, kMaxRecords> years{};
    std::array<double, kMaxRecords> values{};
    std::array<double, kMaxRecords> logValues{};
    std::array<int32_t, kMaxRecords> ranks{};
    std::array<double, kMaxRecords> probabilities{};
    std::array<double, kMaxRecords> deviates{};
    DeviateTable deviateTable{};

    // Analysis results.
    double alpha = 0.5;
    double arithMean = 0;
    double logMean = 0;
    double logMax = 0;
    double logMin = 0;
    double slope = 0;
    double logOffset10 = 0;
    double logOffset100 = 0;

    // Settings and control flow.
    int32_t redrawMode = 0;
    int32_t analysisMode = 0;
    // The jackknife error band around the fitted line, on screen and paper (off at start).
    bool showErrorBand = false;
    int32_t defaultsApplied = 0;
    int32_t scaleMaxIndex = 0;
    int32_t scaleMinIndex = 0;
    int32_t solidLineWidth = 0;
    int32_t dashedLineWidth = 0;
    int32_t regressionLineWidth = 0;
    double printOffsetX = 0;
    double printOffsetY = 0;
    QString axisTitle = kDefaultAxisTitle;

    // Files and directories.
    QString startDirectory;
    QString directoryBuffer = QString(255, QLatin1Char(' '));
    int32_t directoryBufferLength = 255;
    int32_t directoryCallResult = 0;
    QString dataFileName;
    QString editorFileName;
    QString editorText;
    std::array<QString, kMaxRecords> editorLines{};
    int32_t editorLineCount = 0;
    int32_t newDataFirstYear = 0;
    int32_t newDataLastYear = 0;

    // Usage help topics: entry 0 is the title, the rest are the message lines with their ends.
    std::array<QString, 14> drawingHelpText{};
    std::array<QString, 14> dataHelpText{};
    std::array<QString, 8> analysisHelpText{};
};

// The settings the first successful load applies, after the series is loaded: the scale that
// shows the series (FittingScale: 10 to 1000 whenever every value lies inside it), print widths
// 3, 2 and 5, analysis mode 0. The batch run applies the same ones to every file it loads.
void ApplyFirstLoadDefaults(AppState& state);
