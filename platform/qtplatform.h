#pragma once

#include "platform/platform.h"

#include <memory>

// The real desktop services, built on Qt.
class QtPlatform {
public:
    QtPlatform();
    ~QtPlatform();
    Platform& platform();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Turns the "Description|pattern|..." filter form into Qt's "Description (pattern);;..." form.
QString ToQtFilter(const QString& filter);
