#pragma once

#include "analysis/appstate.h"
#include "platform/platform.h"

#include <QMainWindow>

// What the editor asks of the main window.
class EditorHost {
public:
    virtual ~EditorHost() = default;
    // Save and finish has written the file and set dataFileName; the main window loads it.
    virtual void EditorSavedAndFinished() = 0;
    // Forced end closed the editor without saving.
    virtual void EditorForcedEnd() = 0;
};

// The data editor.
class Form3 : public QMainWindow {
    Q_OBJECT
public:
    Form3(AppState& state, Platform& platform, EditorHost& host, QWidget* parent = nullptr);
};
