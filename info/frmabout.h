#pragma once

#include "platform/platform.h"

#include <QDialog>

// The about window.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(Platform& platform, QWidget* parent = nullptr);
};

void StartSysInfo(Platform& platform, QWidget* parent);
bool GetKeyValue(RegistryService& registry, uint32_t KeyRoot, const QString& KeyName,
                 const QString& SubKeyRef, QString& KeyVal);
