#include "fakeplatform.h"
#include "info/form9.h"
#include "platform/widgets.h"
#include "testhelpers.h"

#include <QGuiApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>

namespace {

// The splash tells nothing in these tests; its guard needs somewhere to tell it.
FakeMessages& SplashMessages() {
    static FakeMessages messages;
    return messages;
}

} // namespace

class TestInfoSplash : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallFontSubstitutions(); }
    void cleanup() {
        RunDeferredDeletes();
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
    }

    void timerIsFast();
    void closesOnTheFortyFifthTick();
    void pointerRestoredOnceOverAnOuterOverride();
    void destroyedEarlyRestoresPointerWithoutFinishing();
    void closedEarlyStillHandsBackTheMenus();
    void callbackMayDestroyTheWindow();
};

void TestInfoSplash::timerIsFast() {
    Form9 splash(SplashMessages(), {});
    QVERIFY(splash.isWindow());
    QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
    auto* timer = splash.findChild<QTimer*>(QStringLiteral("Timer1"));
    QVERIFY(timer);
    QCOMPARE(timer->interval(), 1);
    QVERIFY(timer->isActive());
}

void TestInfoSplash::closesOnTheFortyFifthTick() {
    int calls = 0;
    QPointer<Form9> splash = new Form9(SplashMessages(), [&calls] { ++calls; });
    QCOMPARE(splash->splashTicks(), 0);
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    auto* timer = splash->findChild<QTimer*>(QStringLiteral("Timer1"));

    for (int tick = 1; tick <= 44; ++tick)
        splash->Timer1_Timer();
    QCOMPARE(splash->splashTicks(), 44);
    QCOMPARE(calls, 0);
    QVERIFY(timer->isActive());
    QVERIFY(QGuiApplication::overrideCursor());

    splash->Timer1_Timer();
    QCOMPARE(calls, 1);
    QVERIFY(!timer->isActive());
    QVERIFY(!QGuiApplication::overrideCursor());

    // A tick already queued when the timer stopped must not enable the menus again.
    splash->Timer1_Timer();
    QCOMPARE(calls, 1);
    RunDeferredDeletes();
    QVERIFY(splash.isNull());
}

void TestInfoSplash::pointerRestoredOnceOverAnOuterOverride() {
    QGuiApplication::setOverrideCursor(Qt::PointingHandCursor);
    {
        Form9 splash(SplashMessages(), {});
        splash.Form_Load(); // loading again must not stack another hourglass
        for (int tick = 0; tick < 45; ++tick)
            splash.Timer1_Timer();
        QVERIFY(QGuiApplication::overrideCursor());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::PointingHandCursor);
    }
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::PointingHandCursor);
    QGuiApplication::restoreOverrideCursor();
    QVERIFY(!QGuiApplication::overrideCursor());
}

void TestInfoSplash::destroyedEarlyRestoresPointerWithoutFinishing() {
    int calls = 0;
    {
        Form9 splash(SplashMessages(), [&calls] { ++calls; });
        splash.Timer1_Timer();
        QVERIFY(QGuiApplication::overrideCursor());
    }
    QVERIFY(!QGuiApplication::overrideCursor());
    QCOMPARE(calls, 0);
}

void TestInfoSplash::closedEarlyStillHandsBackTheMenus() {
    int calls = 0;
    QPointer<Form9> splash = new Form9(SplashMessages(), [&calls] { ++calls; });
    splash->Timer1_Timer();
    splash->close();
    QCOMPARE(calls, 1);
    QVERIFY(!QGuiApplication::overrideCursor());
    RunDeferredDeletes();
    QVERIFY(splash.isNull());
}

void TestInfoSplash::callbackMayDestroyTheWindow() {
    int calls = 0;
    Form9* splash = nullptr;
    splash = new Form9(SplashMessages(), [&] {
        ++calls;
        delete splash;
    });
    for (int tick = 0; tick < 45; ++tick)
        splash->Timer1_Timer();
    QCOMPARE(calls, 1);
    QVERIFY(!QGuiApplication::overrideCursor());
}

QTEST_MAIN(TestInfoSplash)
#include "test_info_splash.moc"
