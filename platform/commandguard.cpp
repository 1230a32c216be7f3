#include "platform/commandguard.h"

#include "analysis/dataerror.h"
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

bool RunGuarded(MessageService& messages, QWidget* parent, const std::function<void()>& command) {
    QString text;
    try {
        command();
        return true;
    } catch (const DataError& error) {
        text = error.message();
    } catch (const std::bad_alloc&) {
        text = QStringLiteral("メモリが不足したため、操作を中止しました。");
    } catch (const std::exception& error) {
        text = QStringLiteral("予期しないエラーのため、操作を中止しました。\n") +
               QString::fromLocal8Bit(error.what());
    }
    restoreAllCursors();
    try {
        messages.showMessage(parent, text, kAppTitle);
    } catch (...) {
        // Nothing more can be told; the program goes on.
    }
    return false;
}
