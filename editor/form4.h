#pragma once

#include "state/appstate.h"
#include "platform/platform.h"

#include <QWidget>

class QLineEdit;
class Form3;

// The new-data dialog: asks for the oldest and newest year and fills the editor with one line
// per year. Hidden by its buttons, so a later showing presents the years last entered; the
// editor deletes it when the editor closes.
class Form4 : public QWidget {
    Q_OBJECT
public:
    Form4(AppState& state, Platform& platform, Form3& editor);

private slots:
    void Command1_Click();
    void Command2_Click();

private:
    void Form_Load();

    AppState& state_;
    Platform& platform_;
    Form3& editor_;
    QLineEdit* text1_ = nullptr;
    QLineEdit* text2_ = nullptr;
};

// Three spaces, the year and three spaces per line, oldest first, CR LF between lines and none
// after the last; a first year after the last gives the last year's line alone.
QString YearLines(int32_t firstYear, int32_t lastYear);
