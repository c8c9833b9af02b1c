// The exception boundary of the real application object. It needs a
// TNarvoApplication rather than the plain QApplication of the layer's test binary,
// so it is a binary of its own with its own main.
#include "platform/Application.h"
#include "platform/KeyState.h"

#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QTimer>
#include <gtest/gtest.h>
#include <new>
#include <stdexcept>
#include <string>

namespace narvo {
namespace {

class TThrowingObject : public QObject {
public:
    bool event(QEvent* E) override
    {
        if (E->type() == QEvent::User)
            throw std::runtime_error("Event handler failed");
        if (E->type() == QEvent::User + 1)
            throw 42;
        if (E->type() == QEvent::KeyPress)
            ShiftSeen = ShiftDown();
        return QObject::event(E);
    }
    bool ShiftSeen = false;
};

class Boundary : public ::testing::Test {
protected:
    void SetUp() override
    {
        Old_ = SetExceptionReporter([this](const std::string& M) { Shown.push_back(M); });
    }
    void TearDown() override { SetExceptionReporter(Old_); }
    std::vector<std::string> Shown;

private:
    TExceptionReporter Old_;
};

TEST_F(Boundary, EventHandlerExceptionsAreShownAndTheProgramGoesOn)
{
    TThrowingObject Object;
    QEvent Failing(QEvent::User);
    EXPECT_FALSE(QCoreApplication::sendEvent(&Object, &Failing));
    QEvent Odd(static_cast<QEvent::Type>(QEvent::User + 1));
    QCoreApplication::sendEvent(&Object, &Odd);
    EXPECT_EQ(Shown, (std::vector<std::string>{"Event handler failed", "Unknown exception"}));

    // Posted events and timers run from the event loop and are caught the same way.
    QCoreApplication::postEvent(&Object, new QEvent(QEvent::User));
    bool LaterTimerRan = false;
    QTimer::singleShot(0, [] { throw std::runtime_error("Timer failed"); });
    QTimer::singleShot(5, [&] { LaterTimerRan = true; });
    QDeadlineTimer Deadline(30000);
    while (!LaterTimerRan && !Deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_TRUE(LaterTimerRan);
    ASSERT_EQ(Shown.size(), 4u);
    EXPECT_EQ(Shown[2], "Event handler failed");
    EXPECT_EQ(Shown[3], "Timer failed");
}

TEST_F(Boundary, RunGuardedReportsAndAnswers)
{
    EXPECT_TRUE(RunGuarded([] {}));
    EXPECT_FALSE(RunGuarded([] { throw std::out_of_range("Run failed"); }));
    EXPECT_EQ(Shown, (std::vector<std::string>{"Run failed"}));
}

TEST_F(Boundary, MemoryThatRanOutIsSaidInWords)
{
    EXPECT_FALSE(RunGuarded([] { throw std::bad_alloc(); }));
    EXPECT_FALSE(RunGuarded([] { std::string().reserve(std::string().max_size() + 1); }));
    EXPECT_EQ(Shown, (std::vector<std::string>{OutOfMemoryMessage, OutOfMemoryMessage}));
    EXPECT_EQ(Shown[0].rfind("Text Too Large", 0), 0u);
}

TEST_F(Boundary, InputEventsSetTheLiveKeyState)
{
    InjectKeyState(std::nullopt);
    TThrowingObject Object;
    QKeyEvent Key(QEvent::KeyPress, Qt::Key_A, Qt::ShiftModifier, QStringLiteral("A"));
    QCoreApplication::sendEvent(&Object, &Key);
    EXPECT_TRUE(Object.ShiftSeen);
    EXPECT_EQ(LiveModifiers(), QGuiApplication::queryKeyboardModifiers());
}

}  // namespace
}  // namespace narvo

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    narvo::TNarvoApplication App(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
