#pragma once

#include <QString>

#include <functional>
#include <optional>

class MessageService;
class QWidget;

// The error policy of every command, in the window and in the batch run: the command runs to
// its end, or its failure becomes a message. A DataError gives its own message; running out of
// memory gives outOfMemory; any other std::exception gives unexpectedPrefix and its text.
// Nothing when the command succeeded.
struct FailureWords {
    QString outOfMemory;
    QString unexpectedPrefix;
};
std::optional<QString> RunCatching(const std::function<void()>& command, const FailureWords& words);

// Runs one user command to its end. A DataError, or any other std::exception (std::bad_alloc
// among them), is shown in the program's usual message box and the command stops there, so
// nothing ever reaches Qt's event loop. Any busy pointer the command set is gone before the
// message shows. Returns false when the command failed.
bool RunGuarded(MessageService& messages, QWidget* parent, const std::function<void()>& command);

// A window's handler made ready for connect(): it runs behind RunGuarded, with the window as
// the message box's parent. Connect with the window as context, so the handler dies with it:
//   connect(button, &QPushButton::clicked, this, Guarded(messages, this, &Form::Command1_Click));
//   connect(action, &QAction::triggered, this, Guarded(messages, this, [this] { ... }));
// The handler takes no arguments; a signal's arguments are dropped.
template <typename Handler>
auto Guarded(MessageService& messages, QWidget* window, Handler handler) {
    return [&messages, window, handler = std::move(handler)] {
        RunGuarded(messages, window, handler);
    };
}

template <typename Window>
auto Guarded(MessageService& messages, Window* window, void (Window::*handler)()) {
    return Guarded(messages, static_cast<QWidget*>(window),
                   [window, handler] { (window->*handler)(); });
}
