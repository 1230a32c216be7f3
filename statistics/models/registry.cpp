#include "statistics/models/modelunit.h"

namespace {

struct RegisteredUnit {
    ModelId id;
    const ModelUnit* unit;
};

// Every model in the order of kModels, which is the order every table shows them.
constexpr RegisteredUnit kRegistry[] = {
    {ModelId::Ln2Paper, &models::kLn2Paper}, {ModelId::Ln2Pm, &models::kLn2Pm},
    {ModelId::Ln2Lm, &models::kLn2Lm},       {ModelId::Ln3Iwai, &models::kLn3Iwai},
    {ModelId::Ln3Q, &models::kLn3Q},         {ModelId::Ln3Lm, &models::kLn3Lm},
    {ModelId::Lp3, &models::kLp3},           {ModelId::Exp, &models::kExp},
    {ModelId::Gumbel, &models::kGumbel},     {ModelId::Sqrtet, &models::kSqrtet},
    {ModelId::Gev, &models::kGev},
};

constexpr bool InModelOrder() {
    if (std::size(kRegistry) != kModelCount)
        return false;
    for (size_t i = 0; i < kModelCount; ++i)
        if (kRegistry[i].id != kModels[i] || kModels[i] != static_cast<ModelId>(i))
            return false;
    return true;
}
static_assert(InModelOrder(), "the registry lists one unit per model, in the order of kModels");

} // namespace

const ModelUnit& Unit(ModelId id) {
    return *kRegistry[static_cast<size_t>(id)].unit;
}
