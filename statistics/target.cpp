#include "statistics/target.h"

namespace {

struct TargetInfo {
    const char* key;
    const char* label;
    int period;
    bool wet;
};
constexpr TargetInfo kTargetInfo[] = {
    {"dry10", "1/10 渇水年", 10, false},
    {"dry100", "1/100 渇水年", 100, false},
    {"wet10", "1/10 豊水年", 10, true},
    {"wet100", "1/100 豊水年", 100, true},
};

const TargetInfo& Info(Target target) {
    return kTargetInfo[static_cast<size_t>(target)];
}

} // namespace

const char* TargetKey(Target target) {
    return Info(target).key;
}

QString TargetLabel(Target target) {
    return QString::fromUtf8(Info(target).label);
}

std::optional<Target> TargetFromKey(QStringView key) {
    for (Target target : kTargets)
        if (key == QLatin1String(TargetKey(target)))
            return target;
    return std::nullopt;
}

int TargetPeriod(Target target) {
    return Info(target).period;
}

bool TargetIsWet(Target target) {
    return Info(target).wet;
}
