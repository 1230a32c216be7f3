#pragma once

#include "platform/platform.h"

#include <QDialog>

#include <cstdint>

class QLabel;
class QPushButton;

// The about window: title, version, description, contact lines and the button that starts the
// system-information tool. Modeless; the constructor runs Form_Load (centre, caption, version
// line), so the caller only has to show() it. It deletes itself when closed by OK, Escape or
// its close box, so the caller should hold it through a QPointer.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(Platform& platform, QWidget* parent = nullptr);

    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();

private:
    Platform& platform_;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
};

// Starts the system-information tool found through the registry, or tells the user it is not
// available.
void StartSysInfo(Platform& platform, QWidget* parent);

// Reads one registry value as text into KeyVal. False, with KeyVal emptied, when the key or the
// value cannot be read. A string is copied up to its first NUL; a 32-bit number is written in
// decimal; a value of any other type leaves KeyVal as it was.
bool GetKeyValue(RegistryService& registry, uint32_t KeyRoot, const QString& KeyName,
                 const QString& SubKeyRef, QString& KeyVal);
