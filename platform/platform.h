#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

#include <cstdint>
#include <optional>

class QWidget;

// The services of the desktop that the windows use. Each has a Qt implementation (qtplatform.h)
// and a scripted double for tests, so no test ever waits on a real modal dialog.

// The answer to a question with the buttons はい, いいえ and キャンセル.
enum class Answer { Yes, No, Cancel };

class MessageService {
public:
    virtual ~MessageService() = default;
    // Modal message box with only an OK button and no icon.
    virtual void showMessage(QWidget* parent, const QString& text, const QString& caption) = 0;
    // Modal question with はい, いいえ and キャンセル; closing the box answers キャンセル.
    virtual Answer askYesNoCancel(QWidget* parent, const QString& text, const QString& caption) = 0;
    virtual void beep() = 0;
};

class FileDialogService {
public:
    virtual ~FileDialogService() = default;
    // filter uses the "Description|pattern|Description|pattern" form. Nothing on cancel.
    virtual std::optional<QString> getOpenFileName(QWidget* parent, const QString& filter,
                                                   const QString& initialPath) = 0;
    // title empty: the dialog's own. A filter whose first pattern is "*.ext" makes "ext" the
    // extension of a name typed without one.
    virtual std::optional<QString> getSaveFileName(QWidget* parent, const QString& filter,
                                                   const QString& initialPath,
                                                   const QString& title = QString()) = 0;
};

class DirectoryService {
public:
    virtual ~DirectoryService() = default;
    virtual QString currentDirectory() = 0;
    virtual bool setCurrentDirectory(const QString& path) = 0;
    // The folder that holds the running executable, where an installed program finds its data.
    virtual QString executableDirectory() = 0;
};

inline constexpr uint32_t kHkeyLocalMachine = 0x80000002u;
inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegDword = 4;

struct RegistryValue {
    uint32_t type = 0;
    QByteArray data;
};

class RegistryService {
public:
    virtual ~RegistryService() = default;
    // Opens keyName under root with the access mask, reads valueName into a buffer of
    // bufferSize bytes and closes the key. Nothing when the key or value is missing or larger
    // than the buffer.
    virtual std::optional<RegistryValue> readValue(uint32_t root, const QString& keyName,
                                                   uint32_t access, const QString& valueName,
                                                   int bufferSize) = 0;
};

class ProcessService {
public:
    virtual ~ProcessService() = default;
    virtual bool fileExists(const QString& path) = 0;
    // Starts a program in a window of its own; false when it cannot be started.
    virtual bool startDetached(const QString& program) = 0;
};

class ClockService {
public:
    virtual ~ClockService() = default;
    virtual QDate today() = 0;
};

struct Platform {
    MessageService& messages;
    FileDialogService& files;
    DirectoryService& directory;
    RegistryService& registry;
    ProcessService& process;
    ClockService& clock;
};
