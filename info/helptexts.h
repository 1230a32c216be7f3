#pragma once

#include "analysis/appstate.h"

#include <QString>

// Fills the three usage topics of AppState.
void FillHelpTexts(AppState& state);

// Entries 1..last joined with nothing between them: the message of a topic.
template <size_t N> QString HelpMessage(const std::array<QString, N>& topic) {
    QString message;
    for (size_t i = 1; i < N; ++i)
        message += topic[i];
    return message;
}
