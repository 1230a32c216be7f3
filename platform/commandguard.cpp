#include "platform/commandguard.h"

#include "statistics/dataerror.h"
#include "platform/platform.h"
#include "platform/widgets.h"

#include <QGuiApplication>

#include <new>

namespace {

// A message box must never show the hourglass: whatever a failed command left is undone.
void restoreAllCursors() {
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}

} // namespace

std::optional<QString> RunCatching(const std::function<void()>& command,
                                   const FailureWords& words) {
    try {
        command();
        return std::nullopt;
    } catch (const DataError& error) {
        return error.message();
    } catch (const std::bad_alloc&) {
        return words.outOfMemory;
    } catch (const std::exception& error) {
        return words.unexpectedPrefix + QString::fromLocal8Bit(error.what());
    }
}

bool RunGuarded(MessageService& messages, QWidget* parent, const std::function<void()>& command) {
    const std::optional<QString> failure =
        RunCatching(command, {QStringLiteral("メモリが不足したため、操作を中止しました。"),
                              QStringLiteral("予期しないエラーのため、操作を中止しました。\n")});
    if (!failure)
        return true;
    restoreAllCursors();
    try {
        messages.showMessage(parent, *failure, kAppTitle);
    } catch (...) {
        // Nothing more can be told; the program goes on.
    }
    return false;
}
