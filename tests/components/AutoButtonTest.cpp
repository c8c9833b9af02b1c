// The auto-repeat button: when its timer starts, what each tick does, and the
// release; the timer is driven directly where timing does not matter.
#include "components/AutoButton.h"

#include "WidgetTestHelpers.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

namespace narvo {
namespace {

struct AutoButtonFixture : ::testing::Test {
    AutoButtonFixture()
    {
        host.Add(&button);
        button.resize(30, 30);
        button.OnClick = [this](QObject* Sender) {
            EXPECT_EQ(Sender, &button);
            ++clicks;
        };
        button.OnMouseUp = [this](QObject*) {
            ++ups;
            // The timer has stopped by the time the release is reported.
            EXPECT_TRUE(!button.RepeatTimer() || !button.RepeatTimer()->isActive());
            EXPECT_FALSE(button.MouseIsDown());
        };
        host.Show();
    }
    void Press(Qt::KeyboardModifiers Mods = {}) { QTest::mousePress(&button, Qt::LeftButton, Mods, {15, 15}); }
    void Release() { QTest::mouseRelease(&button, Qt::LeftButton, {}, {15, 15}); }
    testing::Host host;
    TAutoButton button;
    int clicks = 0;
    int ups = 0;
};

TEST_F(AutoButtonFixture, OnlyARepeatingPressStartsATimer)
{
    button.SetControlRepeat(true); // but no Ctrl at the press
    Press();
    EXPECT_TRUE(button.MouseIsDown());
    EXPECT_EQ(button.RepeatTimer(), nullptr);
    Release();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(ups, 1);
    // With Ctrl held at the press it repeats.
    Press(Qt::ControlModifier);
    ASSERT_NE(button.RepeatTimer(), nullptr);
    EXPECT_TRUE(button.RepeatTimer()->isActive());
    Release();
}

TEST_F(AutoButtonFixture, TicksClickAfterTheInitialDelayThenAtTheRepeatDelay)
{
    button.SetDoRepeat(true);
    Press();
    QTimer* timer = button.RepeatTimer();
    ASSERT_NE(timer, nullptr);
    EXPECT_EQ(timer->interval(), 400);
    EXPECT_EQ(clicks, 0);
    for (int i = 1; i <= 3; ++i) {
        button.TimerExpired();
        EXPECT_EQ(clicks, i);
        EXPECT_EQ(timer->interval(), 100);
    }
    Release();
    EXPECT_EQ(clicks, 4); // the release clicks once more
    EXPECT_FALSE(timer->isActive());
    EXPECT_EQ(ups, 1);

    // A second press reuses the timer and starts with the initial delay again.
    Press();
    EXPECT_EQ(button.RepeatTimer(), timer);
    EXPECT_EQ(timer->interval(), 400);
    Release();
}

TEST_F(AutoButtonFixture, NoClickOnceTheMouseHasLeftTheButton)
{
    button.SetDoRepeat(true);
    Press();
    QTest::mouseMove(&button, {200, 150}); // off the button, still held
    EXPECT_FALSE(button.isDown());
    EXPECT_TRUE(button.MouseIsDown());
    button.TimerExpired();
    EXPECT_EQ(clicks, 0);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, {200, 150});
    EXPECT_EQ(clicks, 0); // released outside: no click either
    EXPECT_EQ(ups, 1);
    button.TimerExpired(); // a late tick after the release does nothing
    EXPECT_EQ(clicks, 0);
}

TEST_F(AutoButtonFixture, AClickThatThrowsStopsTheTimer)
{
    button.SetDoRepeat(true);
    button.OnClick = [](QObject*) { throw std::runtime_error("boom"); };
    Press();
    EXPECT_THROW(button.TimerExpired(), std::runtime_error);
    EXPECT_FALSE(button.RepeatTimer()->isActive());
    button.OnClick = nullptr;
    Release();
}

TEST_F(AutoButtonFixture, RepeatsInRealTimeWhileHeld)
{
    button.SetDoRepeat(true);
    button.SetInitialDelay(60);
    button.SetRepeatDelay(20);
    QElapsedTimer clock;
    clock.start();
    Press();
    QTest::qWait(30);
    const qint64 firstWait = clock.elapsed();
    const int early = clicks;
    QTest::qWait(250);
    // A busy machine may serve the timer late: hold on until it has clicked a few times.
    static_cast<void>(QTest::qWaitFor([&] { return clicks >= 3; }, 30000));
    const qint64 held = clock.elapsed();
    const int repeated = clicks;
    Release();
    // Nothing before the initial delay, then about one click per repeat delay;
    // scheduling may only make them fewer.
    if (firstWait < 60) {
        EXPECT_EQ(early, 0);
    }
    EXPECT_GE(repeated, 3);
    EXPECT_LE(repeated, int((held - 60) / 20) + 1);
    EXPECT_EQ(clicks, repeated + 1);
}

} // namespace
} // namespace narvo
