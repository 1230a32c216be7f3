#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QObject>
#include <QString>
#include <QTemporaryDir>

// Small helpers the widget and file tests share.

// The whole file, or "<unreadable>" so that a missing file never equals expected contents.
inline QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<unreadable>";
    return file.readAll();
}

// Writes bytes as the whole file; false when the file cannot be written completely.
[[nodiscard]] inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Writes name inside dir and returns its path; the test notices a failed write by its contents.
inline QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    (void)WriteBytes(path, bytes);
    return path;
}

// A child control by object name; a missing one is reported by name before the test trips on
// the null pointer.
template <typename T> T* Child(const QObject* parent, const QString& name) {
    T* found = parent->findChild<T*>(name);
    if (!found)
        qWarning("no child %s", qPrintable(name));
    return found;
}

// Windows closed with WA_DeleteOnClose (and anything else deleteLater'd) go away only when the
// event loop runs; tests run the pending deletions at once.
inline void RunDeferredDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
