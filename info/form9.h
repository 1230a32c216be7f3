#pragma once

#include <QWidget>

#include <cstdint>
#include <functional>

class MessageService;
class QLabel;
class QTimer;

// The splash window shown over the main window at start-up. The constructor runs Form_Load
// (centre, tick count 0, hourglass) and starts Timer1, so the caller only has to show() it.
// On the 45th tick the window closes itself (it deletes itself on close), puts the pointer back
// and calls onFinished, which re-enables the first menus. Closing it early ends it the same
// way; destroying it early only puts the pointer back.
class Form9 : public QWidget {
    Q_OBJECT
public:
    Form9(MessageService& messages, std::function<void()> onFinished, QWidget* parent = nullptr);
    ~Form9() override;

    void Form_Load();
    void Timer1_Timer();

    int splashTicks() const { return splashTicks_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Finish();
    void RestorePointer();

    MessageService& messages_;
    std::function<void()> onFinished_;
    QTimer* Timer1 = nullptr;
    int32_t splashTicks_ = 0;
    bool pointerBusy_ = false;
    bool finished_ = false;
};
