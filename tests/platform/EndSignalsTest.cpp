// SIGTERM and SIGHUP reach the program through the event loop: the process lives on,
// the reaction runs after the handler has returned, once per batch of signals, and
// the default action comes back when nobody listens any more.
#include "platform/EndSignals.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <vector>

namespace narvo {
namespace {

template <class F>
bool Pump(F&& Done)
{
    const auto End = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!Done() && std::chrono::steady_clock::now() < End)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return Done();
}

TEST(EndSignals, TermAndHupAreAnsweredInTheEventLoopNotInTheHandler)
{
    std::vector<int> Seen;
    {
        TEndSignals Signals([&](int S) { Seen.push_back(S); });
        ASSERT_TRUE(Signals.Active());
        // Only one listener at a time: a second one stays inactive and harmless.
        TEndSignals Second([](int) { ADD_FAILURE() << "the second listener was called"; });
        EXPECT_FALSE(Second.Active());

        ASSERT_EQ(::raise(SIGTERM), 0);
        EXPECT_TRUE(Seen.empty()) << "nothing runs inside the handler";
        ASSERT_TRUE(Pump([&] { return !Seen.empty(); }));
        EXPECT_EQ(Seen, std::vector<int>{SIGTERM});

        ASSERT_EQ(::raise(SIGHUP), 0);
        ASSERT_TRUE(Pump([&] { return Seen.size() == 2; }));
        EXPECT_EQ(Seen.back(), SIGHUP);
    }
    struct sigaction Now {};
    ASSERT_EQ(::sigaction(SIGTERM, nullptr, &Now), 0);
    EXPECT_EQ(Now.sa_handler, SIG_DFL);
    ASSERT_EQ(::sigaction(SIGHUP, nullptr, &Now), 0);
    EXPECT_EQ(Now.sa_handler, SIG_DFL);

    // A new listener after the first works as well.
    TEndSignals Again([&](int S) { Seen.push_back(S); });
    ASSERT_TRUE(Again.Active());
    ASSERT_EQ(::raise(SIGTERM), 0);
    ASSERT_TRUE(Pump([&] { return Seen.size() == 3; }));
}

}  // namespace
}  // namespace narvo
