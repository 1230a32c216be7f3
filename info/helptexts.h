#pragma once

#include <QString>

#include <array>

// The first three usage topics: entry 0 is the title, the rest are the message lines with their
// ends.
struct HelpTexts {
    std::array<QString, 14> drawingHelpText{};
    std::array<QString, 14> dataHelpText{};
    std::array<QString, 8> analysisHelpText{};
};

// Fills the three usage topics.
void FillHelpTexts(HelpTexts& help);

// Entries 1..last joined with nothing between them: the message of a topic.
template <size_t N> QString HelpMessage(const std::array<QString, N>& topic) {
    QString message;
    for (size_t i = 1; i < N; ++i)
        message += topic[i];
    return message;
}

// The topics added to the 使い方 menu after the first three. They are fixed texts, so they live
// here rather than in AppState; each is shown the same way: a message box with its title.
enum class HelpTopicId {
    Results,
    Band,
    Presets,
    CommandLine,
    Comparison,
    Bootstrap,
    Import,
    Durations,
    Intensity,
    Report
};

struct HelpTopic {
    QString name;    // the menu item's object name
    QString caption; // the menu item's caption
    QString title;   // the message box's title
    QString text;    // the message, lines ended by CR like the first three topics
};

HelpTopic ExtraHelpTopic(HelpTopicId id);
