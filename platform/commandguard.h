#pragma once

#include <functional>

class MessageService;
class QWidget;

// Runs one user command to its end. A DataError, or any other std::exception (std::bad_alloc
// among them), is shown in the program's usual message box and the command stops there, so
// nothing ever reaches Qt's event loop. Any busy pointer the command set is gone before the
// message shows. Returns false when the command failed.
bool RunGuarded(MessageService& messages, QWidget* parent, const std::function<void()>& command);
