#pragma once

#include "statistics/study.h"

#include <QString>
#include <QStringList>

#include <optional>

// The texts the windows, the report and the exports share for the figures of one study, so a
// figure reads the same wherever it is shown.

// A figure to a fixed number of decimals; empty for none.
QString Figure(const std::optional<double>& value, int decimals);

// The marks of a figure a careful user questions, and what they mean under the tables.
inline const QString kNegativeMark = QStringLiteral("※");
inline const QString kOutsideMark = QStringLiteral("†");
inline const QString kNegativeNote =
    QStringLiteral("※ 負の値：値は正の量なので、この分布のこの値はありえません。");
inline const QString kOutsideNote = QStringLiteral(
    "† 分布の範囲外：ジャックナイフ推定値が、この分布の取りうる値の範囲の外にあります。");

// What the comparison says when no model passes.
inline const QString kNoneSelectedText =
    QStringLiteral("SLSC が 0.04 以下の分布がないため、どの分布も選んでいません。");

// Why a comparison selected no model: none passes, or those that pass lack the error the
// selection compares.
QString NoSelectionText(const DistributionComparison& models);

// A value of the series' quantity (positive, as every loaded value is), marked when negative;
// an estimate of the model's also when the model gives it no probability at all (its F is 0 or
// 1: below or above the model's support).
QString MarkedFigure(const std::optional<double>& value, int decimals,
                     const FittedModel* estimateOf = nullptr);

// What the note column says of a model: why it or its jackknife is missing, else what is to be
// said of its method.
QString ModelRemark(const ModelComparison& m);

// The bootstrap figures of a model's period, where the study has them.
const BootstrapPeriod* BootstrapOf(const Study& study, ModelId id, int period);

// What the series is: its kind, with the item and unit and the observation file when an import
// told them.
QString SeriesHeading(const SeriesData& series);

// The data checks, a line each: the statistics, the p-value and what they say at 5 %; one line
// saying what is missing below the records they need.
QStringList CheckLines(const Study& study, int n);

// Said where a figure cannot be had.
inline const QString kUnavailable = QStringLiteral("求められません");
