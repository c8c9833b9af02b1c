// The worker-thread capsule: the procedure runs again and again until the stop, a
// stop lets the current call finish, an escaped exception is shown once and ends the
// thread (EAbort silently), synchronized calls run on the owner thread, and freeing
// the capsule while the worker waits in SyncCall serves that call instead of
// hanging. Uses no Qt, so it also runs under ThreadSanitizer
// (scripts/tsan-status-thread.sh).
#include "QueuedCapsuleHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

namespace narvo {
namespace {

using namespace std::chrono_literals;
using TClock = std::chrono::steady_clock;

TEST(ThreadCapsule, RunsUntilFreedSharesItsDataAndWakesFromSleepAtTheStop)
{
    TQueuedCapsuleHost Host;
    std::atomic<int> Calls{0};
    std::atomic<std::int64_t> Seen{0};
    auto Data = std::make_shared<std::vector<TThreadValue>>(std::vector<TThreadValue>{std::int64_t{7}});
    TClock::time_point Stop;
    {
        TThreadCapsule T(
            [&](TThreadCapsule& Self) {
                Seen = std::get<std::int64_t>((*Self.Data)[0]);
                Self.Sleep(++Calls < 3 ? 1 : 60000);
            },
            Data);
        T.SetPriority(TThreadPriority::tpLowest);
        EXPECT_EQ(T.Priority(), TThreadPriority::tpLowest);
        ASSERT_TRUE(Host.Until([&] { return Calls.load() >= 3; }));
        EXPECT_FALSE(T.Finished());
        Stop = TClock::now();
    }
    // Far less than the minute of the sleep, however busy the machine.
    EXPECT_LT(TClock::now() - Stop, 30s) << "the long sleep ends at the stop";
    const int After = Calls.load();
    std::this_thread::sleep_for(10ms);
    EXPECT_EQ(Calls.load(), After);
    EXPECT_EQ(Seen.load(), 7);
}

TEST(ThreadCapsule, ATerminateDuringALongCallLetsItFinishAndStartsNoOther)
{
    std::atomic<int> Started{0}, Ended{0};
    std::atomic<bool> Release{false};
    TThreadCapsule T([&](TThreadCapsule&) {
        ++Started;
        while (!Release.load())
            std::this_thread::sleep_for(1ms);
        ++Ended;
    });
    while (Started.load() == 0)
        std::this_thread::sleep_for(1ms);
    T.Terminate();
    Release = true;
    T.WaitFor();
    EXPECT_TRUE(T.Finished());
    EXPECT_EQ(Started.load(), 1);
    EXPECT_EQ(Ended.load(), 1);
}

TEST(ThreadCapsule, AnEscapedExceptionIsShownOnceOnTheOwnerAndEndsTheThread)
{
    const struct {
        std::function<void()> Throw;
        std::vector<std::string> Shown;
    } Rows[] = {
        {[] { throw std::runtime_error("poll failed"); }, {"poll failed"}},
        {[] { throw EAbort(); }, {}},
        {[] { throw 42; }, {"Unknown exception in a worker thread"}},
    };
    for (const auto& R : Rows) {
        TQueuedCapsuleHost Host;
        std::atomic<int> Calls{0};
        TThreadCapsule T([&](TThreadCapsule&) {
            ++Calls;
            R.Throw();
        });
        ASSERT_TRUE(Host.Until([&] { return T.Finished(); }));
        EXPECT_EQ(Calls.load(), 1);
        EXPECT_TRUE(T.Terminated());
        EXPECT_EQ(Host.Errors, R.Shown);  // recorded by the owner thread while serving
    }
}

TEST(ThreadCapsule, SyncCallRunsOnTheOwnerAndPassesExceptionsBack)
{
    TQueuedCapsuleHost Host;
    std::atomic<int> Round{0};
    std::thread::id RanOn;
    std::atomic<bool> Rethrown{false};
    TThreadCapsule T([&](TThreadCapsule& Self) {
        if (Round.load() == 0)
            Self.SyncCall([&](TThreadCapsule&) { RanOn = std::this_thread::get_id(); });
        else if (Round.load() == 1) {
            try {
                Self.SyncCall([](TThreadCapsule&) { throw std::runtime_error("in sync"); });
            } catch (const std::runtime_error&) {
                Rethrown = true;
            }
        }
        ++Round;
        Self.Sleep(1);
    });
    ASSERT_TRUE(Host.Until([&] { return Round.load() >= 2; }));
    EXPECT_EQ(RanOn, std::this_thread::get_id());
    EXPECT_TRUE(Rethrown.load());
    bool Direct = false;  // on the owner thread the procedure simply runs
    T.SyncCall([&](TThreadCapsule&) { Direct = true; });
    EXPECT_TRUE(Direct);
}

TEST(ThreadCapsule, FreeingWhileTheWorkerWaitsInSyncCallServesTheCall)
{
    TQueuedCapsuleHost Host;
    CapsuleHost().Post = nullptr;  // nothing reaches the owner but its own wait
    std::atomic<bool> Waiting{false};
    std::atomic<int> Served{0}, Calls{0};
    {
        TThreadCapsule T([&](TThreadCapsule& Self) {
            ++Calls;
            Waiting = true;
            Self.SyncCall([&](TThreadCapsule&) { ++Served; });
        });
        while (!Waiting.load())
            std::this_thread::sleep_for(1ms);
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_EQ(Served.load(), 1);
    EXPECT_EQ(Calls.load(), 1);
}

}  // namespace
}  // namespace narvo
