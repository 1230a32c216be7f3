#pragma once

#include <QWidget>

#include <functional>

// The splash window; closes itself on the 45th tick of its timer and then calls onFinished.
class Form9 : public QWidget {
    Q_OBJECT
public:
    explicit Form9(std::function<void()> onFinished, QWidget* parent = nullptr);
    void Form_Load();
    void Timer1_Timer();
};
