// Undo and redo give back the lines byte for byte when they hold CRs as characters
// (text inserted keeping its line ends, a centred line) next to other control
// characters: such a CR must not come back as a line end.
#include "FakeEditor.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace narvo::test {
namespace {

using TEditFn = std::function<void(TFakeEditor&)>;

// The op, then undo, redo and undo again, each compared line by line (a CR inside a
// line differs from a line end there).
void ExpectExactUndoRedo(TFakeEditor& E, const TEditFn& Op, const std::string& Name)
{
    const std::vector<std::string> Before = LinesOf(*E.Strings);
    Op(E);
    const std::vector<std::string> After = LinesOf(*E.Strings);
    ASSERT_NE(After, Before) << Name;
    E.UndoAll();
    EXPECT_EQ(LinesOf(*E.Strings), Before) << Name << ": undo";
    E.RedoAll();
    EXPECT_EQ(LinesOf(*E.Strings), After) << Name << ": redo";
    E.UndoAll();
    EXPECT_EQ(LinesOf(*E.Strings), Before) << Name << ": undo after redo";
}

TEST(UndoExactText, TextInsertedKeepingLineEndsStaysInItsLine)
{
    const std::string Texts[] = {"a\r\nb\r\nc", "\r", "\n", "\r\n", "\n\r", "x\ry\nz\r", std::string("p\fq\0r\r\n", 7)};
    for (const std::string& T : Texts) {
        TFakeEditor E;
        E.SetLines("xy|z");
        E.SetCursor(1, 0);
        ExpectExactUndoRedo(E, [&](TFakeEditor& F) { F.InsertTextEx(T, true, true); }, "insert " + std::to_string(T.size()));
        E.RedoAll();
        EXPECT_EQ(LinesOf(*E.Strings), (std::vector<std::string>{"x" + T + "y", "z"}));
    }
}

TEST(UndoExactText, DeletedAndReplacedLinesComeBackWithTheirCrs)
{
    const std::string Null(1, '\0');
    auto Start = [&](TFakeEditor& E) {
        E.SetLines("1|2|3");
        E.Strings->SetLine(0, "a\r\nb");
        E.Strings->SetLine(1, "c\rd e\r");
        E.Strings->SetLine(2, "f\ng\f" + Null + "h\r");
    };
    auto At = [](std::int64_t X, std::int64_t Y, TEditFn Op) {
        return [=](TFakeEditor& E) {
            E.SetCursor(X, Y);
            Op(E);
        };
    };
    auto Marked = [](TPoint S, TPoint End, TEditFn Op) {
        return [=](TFakeEditor& E) {
            E.HighLight->StartPos = S;
            E.HighLight->EndPos = End;
            Op(E);
        };
    };
    const std::vector<std::pair<const char*, TEditFn>> Ops = {
        {"delete mark", Marked({1, 0}, {3, 2}, [](TFakeEditor& E) { E.DeleteMark(); })},
        {"backspace", At(2, 0, [](TFakeEditor& E) { E.Backspace(); })},
        {"delete char", At(1, 0, [](TFakeEditor& E) { E.DeleteChar(); })},
        {"to line start", At(0, 1, [](TFakeEditor& E) { E.DeleteToLineStart(); })},
        {"to line end", At(1, 1, [](TFakeEditor& E) { E.DeleteToLineEnd(); })},
        {"word left", At(0, 2, [](TFakeEditor& E) { E.DeleteWordLeft(true); })},
        {"replace line", At(2, 1, [](TFakeEditor& E) { E.ReplaceCurrentLine("z"); })},
        {"toggle case", Marked({0, 0}, {4, 1}, [](TFakeEditor& E) { E.ToggleCase(); })},
        {"overwrite", At(1, 1, [](TFakeEditor& E) { E.Overwrite = true; E.TypeChar('x'); })},
        {"column paste", At(0, 0, [](TFakeEditor& E) { E.Overwrite = true; E.InsertColumnBlock("12\r\n34\r\n56\r\n"); })},
        {"fill block", [](TFakeEditor& E) { E.FillBlock({1, 0, 3, 2}, '*', true); }},
        {"fill block as a whole", [](TFakeEditor& E) { E.UndoList->SetCapacity(16); E.FillBlock({0, 0, 2, 2}, '*', true); }},
    };
    for (const auto& [Name, Op] : Ops) {
        TFakeEditor E;
        Start(E);
        ExpectExactUndoRedo(E, Op, Name);
    }
}

TEST(UndoExactText, AnyMarkOverLinesWithControlCharactersComesBack)
{
    std::mt19937 Rng(20261207);
    auto Below = [&](std::size_t N) { return static_cast<std::int64_t>(Rng() % N); };
    const char Chars[] = {'a', 'b', '\r', '\n', '\0', '\f'};
    for (int Round = 0; Round < 3000; ++Round) {
        TFakeEditor E;
        E.SetLines(std::string(static_cast<std::size_t>(Below(5)), '|'));
        for (std::int64_t Y = 0; Y < E.Strings->Count(); ++Y) {
            std::string L;
            for (std::int64_t N = Below(6); N > 0; --N)
                L.push_back(Chars[Below(sizeof Chars)]);
            E.Strings->SetLine(Y, L);
        }
        auto Anywhere = [&] {
            const std::int64_t Y = Below(static_cast<std::size_t>(E.Strings->Count()));
            return TPoint{Below(static_cast<std::size_t>(E.Strings->LineLength(Y) + 1)), Y};
        };
        const TPoint A = Anywhere(), B = Anywhere();
        if (A == B)
            continue;
        ExpectExactUndoRedo(E, [&](TFakeEditor& F) { F.HighLight->StartPos = A; F.HighLight->EndPos = B; F.DeleteMark(); }, "round " + std::to_string(Round));
        if (HasFailure())
            break;
    }
}

}  // namespace
}  // namespace narvo::test
