#pragma once

#include "platform/platform.h"

#include <QList>
#include <QMap>
#include <QStringList>

// Scripted stand-ins for the desktop services. Dialog answers are queued before the action;
// an empty queue answers "cancel". Every message and beep is recorded.
struct ShownMessage {
    QString text;
    QString caption;
};

class FakeMessages : public MessageService {
public:
    QList<ShownMessage> shown;
    int beeps = 0;
    // Order of messages and beeps as they happened: "M" for a message, "B" for a beep, "Q" for a
    // question.
    QString sequence;
    void showMessage(QWidget*, const QString& text, const QString& caption) override {
        shown << ShownMessage{text, caption};
        sequence += QLatin1Char('M');
    }
    // Questions asked, and the answers to give in turn; an empty queue answers キャンセル, which
    // keeps everything as it was.
    QList<ShownMessage> asked;
    QList<Answer> answers;
    Answer askYesNoCancel(QWidget*, const QString& text, const QString& caption) override {
        asked << ShownMessage{text, caption};
        sequence += QLatin1Char('Q');
        return answers.isEmpty() ? Answer::Cancel : answers.takeFirst();
    }
    void beep() override {
        ++beeps;
        sequence += QLatin1Char('B');
    }
    void clear() {
        asked.clear();
        answers.clear();
        shown.clear();
        beeps = 0;
        sequence.clear();
    }
};

class FakeFileDialogs : public FileDialogService {
public:
    QList<std::optional<QString>> openAnswers;
    QList<std::optional<QString>> saveAnswers;
    QStringList filtersSeen;
    QStringList initialPathsSeen;
    std::optional<QString> getOpenFileName(QWidget*, const QString& filter,
                                           const QString& initialPath) override {
        filtersSeen << filter;
        initialPathsSeen << initialPath;
        return openAnswers.isEmpty() ? std::nullopt : openAnswers.takeFirst();
    }
    QStringList saveTitlesSeen;
    std::optional<QString> getSaveFileName(QWidget*, const QString& filter,
                                           const QString& initialPath,
                                           const QString& title) override {
        saveTitlesSeen << title;
        filtersSeen << filter;
        initialPathsSeen << initialPath;
        return saveAnswers.isEmpty() ? std::nullopt : saveAnswers.takeFirst();
    }
};

class FakeDirectory : public DirectoryService {
public:
    QString current;
    QString executable;
    QStringList setCalls;
    QString currentDirectory() override { return current; }
    QString executableDirectory() override { return executable; }
    bool setCurrentDirectory(const QString& path) override {
        setCalls << path;
        current = path;
        return true;
    }
};

class FakeRegistry : public RegistryService {
public:
    // Key "keyName|valueName" under HKEY_LOCAL_MACHINE.
    QMap<QString, RegistryValue> values;
    QStringList lookups;
    std::optional<RegistryValue> readValue(uint32_t root, const QString& keyName, uint32_t,
                                           const QString& valueName, int bufferSize) override {
        lookups << keyName + QLatin1Char('|') + valueName;
        const auto it = values.constFind(keyName + QLatin1Char('|') + valueName);
        if (root != kHkeyLocalMachine || it == values.cend() || it->data.size() > bufferSize)
            return std::nullopt;
        return *it;
    }
};

class FakeProcess : public ProcessService {
public:
    QStringList existingFiles;
    QStringList started;
    bool startSucceeds = true;
    bool fileExists(const QString& path) override { return existingFiles.contains(path); }
    bool startDetached(const QString& program) override {
        started << program;
        return startSucceeds;
    }
};

class FakeClock : public ClockService {
public:
    QDate date{2026, 12, 7};
    QDate today() override { return date; }
};

struct FakePlatform {
    FakeMessages messages;
    FakeFileDialogs files;
    FakeDirectory directory;
    FakeRegistry registry;
    FakeProcess process;
    FakeClock clock;
    Platform platform{messages, files, directory, registry, process, clock};
};
