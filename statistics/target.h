#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

// What the selection minimises: the jackknife error of one of four values.
enum class Target { Dry10, Dry100, Wet10, Wet100 };
inline constexpr std::array<Target, 4> kTargets{Target::Dry10, Target::Dry100, Target::Wet10,
                                                Target::Wet100};
inline constexpr Target kDefaultTarget = Target::Wet100;
// "dry10", "dry100", "wet10", "wet100": the command line's and the JSON's word.
const char* TargetKey(Target target);
// "1/10 渇水年", "1/100 渇水年", "1/10 豊水年", "1/100 豊水年".
QString TargetLabel(Target target);
// The target a key names, if any.
std::optional<Target> TargetFromKey(QStringView key);
// The return period (10 or 100) and the side of a target.
int TargetPeriod(Target target);
bool TargetIsWet(Target target);
