#include "info/form9.h"

#include "info/version.h"
#include "platform/commandguard.h"
#include "platform/widgets.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QTimer>

namespace {

// Qt has no palette role for the active title bar; this is the classic desktop's caption blue,
// which the label colours were chosen against.

// The window closes on the tick after the 44th.
constexpr int32_t kLastQuietTick = 44;

QLabel* AddLabel(QWidget* parent, const char* name, const QString& text, double top, double width,
                 double height, const QFont& font, const QColor& colour) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(TwipsRect(240, top, width, height));
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

} // namespace

Form9::Form9(MessageService& messages, std::function<void()> onFinished, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
    , messages_(messages)
    , onFinished_(std::move(onFinished)) {
    setObjectName(QStringLiteral("Form9"));
    setAttribute(Qt::WA_DeleteOnClose);
    SetFixedClientSize(this, 5595, 2655);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kActiveTitleBarColour);
    setPalette(palette);

    AddLabel(this, "Label1", QStringLiteral("非超過確率の作図と解析\n（対数正規確率紙版）"), 240,
             5175, 855, JapaneseFont(kFaceMincho, 18, true, true), QColor(255, 192, 128));
    AddLabel(
        this, "Label2",
        QStringLiteral("Program : Quorvel (Version %1.%2)").arg(kVersionMajor).arg(kVersionMinor),
        1320, 5052, 372, JapaneseFont(kFaceGothic, 14.25, false, true), QColor(255, 128, 0));
    AddLabel(this, "Label4", QStringLiteral("Quorvel 開発グループ 制作"), 1800, 5052, 252,
             JapaneseFont(kFaceGothic, 10.5, true, true), QColor(0, 255, 0));
    AddLabel(this, "Label3", QStringLiteral("年降水量の確率評価にお役立てください"), 2160, 5052,
             252, JapaneseFont(kFaceMincho, 12, true, true), QColor(255, 255, 0));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1);
    connect(Timer1, &QTimer::timeout, this, Guarded(messages_, this, &Form9::Timer1_Timer));

    Form_Load();
    Timer1->start();
}

Form9::~Form9() {
    // Torn down before its last tick (say, with the main window): the pointer must not stay
    // an hourglass for the rest of the run.
    RestorePointer();
}

void Form9::Form_Load() {
    CentreOnScreen(this);
    splashTicks_ = 0;
    // Loading twice must not stack a second hourglass that nobody would take off again.
    if (!pointerBusy_ && !finished_) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        pointerBusy_ = true;
    }
}

void Form9::Timer1_Timer() {
    ++splashTicks_;
    if (splashTicks_ > kLastQuietTick)
        Finish();
}

void Form9::closeEvent(QCloseEvent* event) {
    // A splash closed from outside still has to hand the menus back, or the program could
    // never be used.
    Finish();
    event->accept();
}

void Form9::Finish() {
    if (finished_)
        return;
    finished_ = true;
    Timer1->stop();
    RestorePointer();
    close();
    // Last, and through a copy: the callback may end this window's life.
    const std::function<void()> onFinished = onFinished_;
    if (onFinished)
        onFinished();
}

void Form9::RestorePointer() {
    if (!pointerBusy_)
        return;
    pointerBusy_ = false;
    QGuiApplication::restoreOverrideCursor();
}
