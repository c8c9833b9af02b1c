// The status thread polls the cursor offset and the characters after the cursor
// while the user-interface thread edits: every answer is a valid count or -1, and
// (under ThreadSanitizer) no data race is reported.
#include "FakeEditor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <random>
#include <thread>

namespace narvo::test {
namespace {

TEST(StatusThread, OffsetsArePolledSafelyWhileEditing)
{
    TFakeEditor E;
    E.SetLines("first line|second line|third");
    constexpr std::int64_t MaxChars = 4000;  // the edits below keep the text smaller
    std::atomic<bool> Stop{false};
    std::atomic<std::int64_t> Answers{0}, Busy{0}, Bad{0};

    std::thread Poller([&] {
        while (!Stop.load()) {
            const std::int64_t Offset = E.CursorOffset();
            const std::int64_t After = E.CharsAfterCursor();
            (void)E.ChangeCount.load();
            for (std::int64_t V : {Offset, After}) {
                if (V == -1)
                    ++Busy;
                else if (V < 0 || V > 2 * MaxChars)
                    ++Bad;
                else
                    ++Answers;
            }
        }
    });

    std::mt19937 Rng(7);
    // Edit until the poller has answered often, both while editing and in between.
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    // A busy machine may not run the poller at all while the edits go on, so the
    // edits pause now and then and go on until it has answered between them too.
    for (int I = 0; I < 20000 || ((Answers.load() < 100 || Answers.load() + Busy.load() < 20000) &&
                                  std::chrono::steady_clock::now() < Deadline);
         ++I) {
        if (I % 1000 == 999)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        switch (Rng() % 6) {
        case 0:
            if (E.RangeLength(TRect{0, 0, 0, E.Strings->Count()}) < MaxChars - 20)
                E.InsertTextRaw("ab\r\ncd\nef", false);
            break;
        case 1: E.DeleteBackward(1 + Rng() % 8); break;
        case 2: E.DeleteForward(1 + Rng() % 8); break;
        case 3: {
            const std::int64_t Y = static_cast<std::int64_t>(Rng() % E.Strings->Count());
            E.Cursor->SetPos(TPoint{static_cast<std::int64_t>(Rng() % (E.Strings->LineLength(Y) + 2)), Y});
            break;
        }
        case 4:
            if (E.Strings->Count() > 3)
                E.DeleteLines(1, 1 + static_cast<std::int64_t>(Rng() % 2));
            break;
        default:
            if (I % 500 == 0)
                E.Strings->SetTextStr("one\r\ntwo\r\nthree");
            else
                E.SplitLine();
            break;
        }
    }
    Stop = true;
    Poller.join();
    RecordProperty("answers", std::to_string(Answers.load()));
    RecordProperty("busy", std::to_string(Busy.load()));
    EXPECT_EQ(Bad.load(), 0);
    EXPECT_GT(Answers.load(), 0);
    // The cursor must be valid for an answer, so -1 also comes from past-end columns.
    EXPECT_GE(Busy.load(), 0);
}

}  // namespace
}  // namespace narvo::test
