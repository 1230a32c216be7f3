#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// File names as the system gives them. A name is bytes; most are UTF-8, but a file from an old
// Japanese archive may carry a Shift-JIS name that no UTF-8 decoder keeps. Such a byte is held
// in the string as the lone surrogate U+DC80 + byte, so the name goes back to the same bytes
// and the file still opens. Qt's own file classes cannot take these names: every file the
// program reads or writes by name goes through EncodeFileName and the system's calls.
QString DecodeFileName(QByteArrayView name);
QByteArray EncodeFileName(const QString& name);

// The name made absolute against the current folder, without a trip through Qt's file classes
// (which would lose the bytes of a relative name that is not UTF-8).
QString AbsoluteFileName(const QString& name);

// The name for the user's eyes: a name that is not UTF-8 is shown as Shift-JIS when it reads
// as that, otherwise with U+FFFD for each byte that reads as nothing.
QString DisplayFileName(const QString& name);

// The text with every control character (C0, DEL and C1) written as \xHH, so that a quoted
// file's bytes or name cannot move a terminal's cursor or retitle its window: "\x1b]0;".
QString EscapeControls(QStringView text);

// The reason a file cannot be reached by its name when errno is ELOOP.
QString LinkLoopReason();
