// Seeded random command sequences: typing in insert and overwrite mode, text with
// every kind of line break, deletions, marks made by Shift and Alt motions, column
// insertion and filling, case toggling and motions. After each sequence, undoing
// everything gives back the start text and cursor and redoing everything the end
// text. Run under the sanitizers in the sanitizer build.
#include "FakeEditor.h"

#include <gtest/gtest.h>

#include <random>

namespace narvo::test {
namespace {

class TCommandFuzzer {
public:
    explicit TCommandFuzzer(std::uint64_t Seed) : Rng(Seed) {}

    std::int64_t Below(std::int64_t N) { return static_cast<std::int64_t>(Rng() % static_cast<std::uint64_t>(N)); }

    std::string Text(std::int64_t MaxPieces)
    {
        static const char* Parts[] = {"a", "B", "c ", "\t", "\r", "\n", "\r\n", "\n\r", "xY"};
        std::string S;
        for (std::int64_t I = Below(MaxPieces + 1); I > 0; --I)
            S += Parts[Below(9)];
        return S;
    }

    void Step(TFakeEditor& E)
    {
        E.Modifiers = {};
        switch (Below(22)) {
        case 0: case 1: case 2: E.TypeChar("ab \r\tZ"[Below(6)]); break;
        case 3: E.Overwrite = !E.Overwrite; break;
        case 4: E.InsertText(Text(5)); break;
        case 5: E.Backspace(); break;
        case 6: E.DeleteChar(); break;
        case 7: E.DeleteToLineStart(); break;
        case 8: E.DeleteToLineEnd(); break;
        case 9: E.DeleteWordLeft(Below(2) == 0); break;
        case 10: E.DeleteWordRight(Below(2) == 0); break;
        case 11: E.InsertColumnBlock(Text(4)); break;
        case 12: {
            const std::int64_t Y = Below(E.Strings->Count());
            E.FillBlock(TRect{Below(6), Y, Below(6), Y + Below(3)}, '#', Below(2) == 0);
            break;
        }
        case 13: E.ToggleCase(); break;
        case 14: E.ReplaceCurrentLine(Text(3)); break;
        case 15: E.IndentLikePrevious(); break;
        case 16: E.DeleteMark(); break;
        case 17: E.GotoPos(E.ClampPos(TPoint{Below(8), Below(E.Strings->Count())})); break;
        default: {
            // A motion, now and then with Shift (and Alt) held to mark.
            E.Modifiers.Shift = Below(3) == 0;
            E.Modifiers.Alt = E.Modifiers.Shift && Below(2) == 0;
            E.Visible = 1 + Below(4);
            switch (Below(10)) {
            case 0: E.CursorRight(); break;
            case 1: E.CursorLeft(); break;
            case 2: E.CursorDown(); break;
            case 3: E.CursorUp(); break;
            case 4: E.WordRight(Below(2) == 0); break;
            case 5: E.WordLeft(Below(2) == 0); break;
            case 6: E.LineStart(); break;
            case 7: E.NextLineStart(); break;
            case 8: E.PageDown(); break;
            default: E.PageUp(); break;
            }
        }
        }
    }

private:
    std::mt19937_64 Rng;
};

TEST(EditFuzz, UndoAllGivesStartRedoAllGivesEnd)
{
    for (std::uint64_t Seed = 1; Seed <= 10000; ++Seed) {
        TCommandFuzzer F(Seed);
        TFakeEditor E;
        E.SetLines("one two|\tthree|four  five||six");
        const TPoint Start = E.ClampPos(TPoint{F.Below(6), F.Below(5)});
        E.SetCursor(Start.X, Start.Y);
        const std::string Before = E.Lines();
        for (std::int64_t I = 12 + F.Below(12); I > 0; --I)
            F.Step(E);
        const std::string After = E.Lines();
        const TPoint End = E.CursorPos();
        E.UndoAll();
        ASSERT_EQ(E.Lines(), Before) << "seed " << Seed;
        ASSERT_EQ(E.CursorPos(), Start) << "seed " << Seed;
        E.RedoAll();
        ASSERT_EQ(E.Lines(), After) << "seed " << Seed;
        ASSERT_EQ(E.CursorPos(), End) << "seed " << Seed;
    }
}

}  // namespace
}  // namespace narvo::test
