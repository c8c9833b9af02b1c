// The status polling round on a text model without a window: the values it shows,
// that it shows them once per change, skips a buffer being changed, never shows a
// value computed for a cursor or text that has moved on, and (stress test, also run
// under ThreadSanitizer) shows only exact values while the owner thread edits.
#include "app/StatusPoller.h"
#include "components/QueuedCapsuleHost.h"
#include "engine/FakeEditor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <random>

namespace narvo {
namespace {

using namespace std::chrono_literals;
using test::TFakeEditor;

struct TShown {
    std::vector<std::int64_t> Locations, Sizes;
};

TStatusPoller::TTarget Recorder(TShown& S)
{
    return {[&S](std::int64_t L) { S.Locations.push_back(L); }, [&S](std::int64_t N) { S.Sizes.push_back(N); }};
}

// A capsule that only sleeps: a round called on the owner thread runs its
// synchronized calls directly.
struct TIdleCapsule : TThreadCapsule {
    TIdleCapsule() : TThreadCapsule([](TThreadCapsule& T) { T.Sleep(60000); }) {}
};

TEST(StatusPoller, ShowsOffsetAndSizeCountingLineEndsAsTwo)
{
    struct TCase {
        const char* Lines;
        TPoint Cursor;
        bool ColumnBlock;
        std::int64_t Location, Size;
    };
    const TCase Cases[] = {
        {"", {0, 0}, false, 0, 0},
        {"abc", {2, 0}, false, 2, 3},
        {"ab|c", {0, 1}, false, 4, 5},
        {"ab|c", {1, 1}, false, 5, 5},            // at the end "At:" equals "Size:"
        {"ab||xyz", {3, 2}, false, 9, 9},
        {"ab|c", {9, 0}, true, 2, 5},             // a column-block cursor past the line end
    };
    for (const TCase& C : Cases) {
        TFakeEditor E;
        E.SetLines(C.Lines);
        E.Cursor->SetPos(C.Cursor);
        E.Cursor->ColumnBlock = C.ColumnBlock;
        TShown S;
        TStatusPoller P(E, Recorder(S));
        TIdleCapsule T;
        EXPECT_TRUE(P.PollOnce(T)) << C.Lines;
        EXPECT_EQ(S.Locations, std::vector<std::int64_t>{C.Location}) << C.Lines;
        EXPECT_EQ(S.Sizes, std::vector<std::int64_t>{C.Size}) << C.Lines;
        EXPECT_EQ(TStatusPoller::TextSize(E), C.Size) << C.Lines;
    }
}

TEST(StatusPoller, ShowsOncePerChangeAndSkipsABufferBeingChanged)
{
    TFakeEditor E;
    E.SetLines("one|two");
    TShown S;
    TStatusPoller P(E, Recorder(S));
    TIdleCapsule T;
    ASSERT_TRUE(P.PollOnce(T));
    EXPECT_FALSE(P.PollOnce(T)) << "nothing changed, nothing shown";

    // A cursor move shows the location only.
    E.Cursor->SetPos(TPoint{1, 1});
    EXPECT_TRUE(P.PollOnce(T));
    EXPECT_EQ(S.Locations.back(), 6);
    EXPECT_EQ(S.Sizes.size(), 1u);

    // While the buffer is being changed both queries answer -1: nothing is shown,
    // and the values come once the change is over.
    E.Strings->BeginUpdate();
    E.Strings->MutableLine(0) = "three";
    EXPECT_FALSE(P.PollOnce(T));
    E.Strings->EndUpdate();
    EXPECT_TRUE(P.PollOnce(T));
    EXPECT_EQ(S.Locations.back(), 8) << "a change before the cursor moves its offset";
    EXPECT_EQ(S.Sizes.back(), 10);
    EXPECT_FALSE(P.PollOnce(T));
}

TEST(PolledEditor, AValueForACursorThatMovedOnIsNotShown)
{
    TQueuedCapsuleHost Host;
    TFakeEditor E;
    E.SetLines("abcdef");
    E.Cursor->SetPos(TPoint{2, 0});
    TShown S;
    TStatusPoller P(E, Recorder(S));
    TThreadCapsule T([&P](TThreadCapsule& Self) { P.StatusThreadPoll(Self); });
    // The worker computed the location for column 2 and waits to show it; the
    // cursor moves first.
    ASSERT_TRUE(Host.Until([&] { return Host.Pending(); }, false));
    E.Cursor->SetPos(TPoint{5, 0});
    ASSERT_TRUE(Host.Until([&] { return !S.Locations.empty() && S.Locations.back() == 5; }));
    EXPECT_EQ(std::count(S.Locations.begin(), S.Locations.end(), 2), 0) << "the stale offset never shown";
    T.Terminate();
}

// A command-line run: the owner moves the cursor all the time and serves the
// thread's calls only at its yields, so every value is stale when it is served.
// The thread then pauses between rounds instead of posting a call for every
// yield, and shows the end as soon as the stream stops.
TEST(PolledEditor, AStreamOfChangesIsServedAtThePaceOfThePause)
{
    TQueuedCapsuleHost Host;
    TFakeEditor E;
    E.SetLines("abcdef|ghijkl");
    TShown S;
    TStatusPoller P(E, Recorder(S));
    TThreadCapsule T([&P](TThreadCapsule& Self) { P.StatusThreadPoll(Self); });
    constexpr int Yields = 300;
    const auto Start = std::chrono::steady_clock::now();
    for (int Y = 0; Y < Yields; ++Y) {
        // Commands run until the next yield (a thread that posts at once is let in).
        const auto Work = std::chrono::steady_clock::now() + 2ms;
        while (!Host.Pending() && std::chrono::steady_clock::now() < Work)
            std::this_thread::yield();
        E.Cursor->SetPos(TPoint{Y % 6, 1});
        Host.Serve();
    }
    const auto Ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - Start);
    EXPECT_LE(Host.Served, static_cast<std::size_t>(2 * (2 + Ms.count() / TStatusPoller::StaleSleepMs)))
        << Ms.count() << " ms";
    E.Cursor->SetPos(TPoint{4, 1});
    ASSERT_TRUE(Host.Until([&] { return !S.Locations.empty() && S.Locations.back() == 12; }));
    T.Terminate();
}

TEST(PolledEditor, StressShownValuesAreExactWhileTheOwnerEdits)
{
    TQueuedCapsuleHost Host;
    TFakeEditor E;
    E.SetLines("first line|second line|third");
    std::int64_t Shown = 0, Wrong = 0;
    // The show functions run on this thread: compare with the truth right here.
    TStatusPoller::TTarget Check;
    Check.ShowLocation = [&](std::int64_t L) {
        TPoint C = E.Cursor->Pos();
        C.X = std::min(C.X, E.Strings->LineLength(C.Y));
        Wrong += L != E.PosToOffset(C);
        ++Shown;
    };
    Check.ShowTextSize = [&](std::int64_t N) {
        Wrong += N != TStatusPoller::TextSize(E);
        ++Shown;
    };
    TStatusPoller P(E, Check);
    {
        TThreadCapsule T([&P](TThreadCapsule& Self) { P.StatusThreadPoll(Self); });
        T.SetPriority(TThreadPriority::tpLowest);
        std::mt19937 Rng(11);
        const auto End = std::chrono::steady_clock::now() + 30s;
        // Bursts of edits while the worker polls, then a quiet moment in which the
        // owner only serves, so that values computed meanwhile can be shown.
        for (int Burst = 0; (Burst < 2000 || Shown < 100) && std::chrono::steady_clock::now() < End; ++Burst) {
            for (int I = static_cast<int>(Rng() % 12); I > 0; --I) {
                switch (Rng() % 4) {
                case 0:
                    if (E.Strings->Count() < 200)
                        E.InsertTextRaw("ab\r\ncd", false);
                    break;
                case 1: E.DeleteBackward(1 + Rng() % 5); break;
                case 2: {
                    const std::int64_t Y = static_cast<std::int64_t>(Rng() % E.Strings->Count());
                    E.Cursor->SetPos(TPoint{static_cast<std::int64_t>(Rng() % (E.Strings->LineLength(Y) + 1)), Y});
                    break;
                }
                default: E.SplitLine(); break;
                }
                if (Rng() % 3 == 0)
                    Host.Serve();
            }
            const auto Quiet = std::chrono::steady_clock::now() + std::chrono::microseconds(Rng() % 1500);
            do
                Host.Serve();
            while (std::chrono::steady_clock::now() < Quiet);
        }
        // Still running, then stopped while a call may be waiting.
    }
    RecordProperty("shown", std::to_string(Shown));
    EXPECT_GT(Shown, 0);
    EXPECT_EQ(Wrong, 0);
}

}  // namespace
}  // namespace narvo
