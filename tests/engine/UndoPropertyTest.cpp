// Random sequences of raw insertions, deletions and cursor moves, recorded on the
// undo ring the way the editing commands record them: undoing everything gives back
// the start text and cursor, redoing everything gives back the end text and cursor.
#include "FakeEditor.h"

#include <gtest/gtest.h>

#include <random>

namespace narvo::test {
namespace {

class TRandomEditing {
public:
    explicit TRandomEditing(std::uint64_t Seed) : Rng(Seed) {}

    std::int64_t Below(std::int64_t N) { return static_cast<std::int64_t>(Rng() % static_cast<std::uint64_t>(N)); }

    std::string RandomText(std::int64_t MaxLength)
    {
        static const char* Parts[] = {"a", "b", "c", " ", "\r", "\n", "\r\n", "\n\r", "xy"};
        std::string S;
        const std::int64_t N = Below(MaxLength + 1);
        for (std::int64_t I = 0; I < N; ++I)
            S += Parts[Below(9)];
        return S;
    }

    TPoint RandomPos(const TEditorEngine& E)
    {
        const std::int64_t Y = Below(E.Strings->Count());
        // Now and then a column-block cursor past the line end.
        return TPoint{Below(E.Strings->LineLength(Y) + 3), Y};
    }

    void Move(TFakeEditor& E)
    {
        E.UndoList->SetLastPos(E.CursorPos());
        E.Cursor->SetPos(RandomPos(E));
        E.UndoList->AddMoveIfMoved(E.CursorPos());
    }

    void Insert(TFakeEditor& E)
    {
        const std::string Text = RandomText(6);
        E.UndoList->AddItem(ukBracket, "", ufOpen, E.CursorPos());
        if (!Text.empty())
            E.UndoList->AddItem(ukDeleteBack, Text, ufInner, E.CursorPos());
        E.InsertTextRaw(Text, false);
        E.UndoList->AddItem(ukBracket, "", ufClose, E.CursorPos());
    }

    void DeleteCount(TFakeEditor& E, bool Backward)
    {
        const std::int64_t N = 1 + Below(6);
        std::string Gone;
        E.GetChars(Backward, N, Gone);
        if (Gone.empty())
            return;
        E.UndoList->AddItemExact(Backward ? ukInsert : ukInsertBefore, Gone, ufSingle, E.CursorPos());
        E.DeleteChars(Backward, N);
    }

    void DeleteRange(TFakeEditor& E)
    {
        const TPoint A = RandomPos(E), B = RandomPos(E);
        const TRect R = E.ClampRange(TRect{A.X, A.Y, B.X, B.Y});
        const std::string Gone = E.GetRangeText(R);
        E.UndoList->AddItem(ukBracket, "", ufOpen, E.CursorPos());
        E.UndoList->SetLastPos(E.CursorPos());
        E.Cursor->SetPos(TPoint{R.Right, R.Bottom});
        E.UndoList->AddMoveIfMoved(E.CursorPos());
        E.UndoList->AddItemExact(ukInsert, Gone, ufInner, E.CursorPos());
        E.DeleteRange(R);
        E.UndoList->AddItem(ukBracket, "", ufClose, E.CursorPos());
    }

    void Step(TFakeEditor& E)
    {
        switch (Below(5)) {
        case 0: Move(E); break;
        case 1: Insert(E); break;
        case 2: DeleteCount(E, true); break;
        case 3: DeleteCount(E, false); break;
        default: DeleteRange(E); break;
        }
    }

    std::mt19937_64 Rng;
};

TEST(UndoProperty, UndoAllRestoresStartRedoAllRestoresEnd)
{
    TRandomEditing Random(20261206);
    for (int Sequence = 0; Sequence < 10000; ++Sequence) {
        TFakeEditor E;
        const std::string Start = Random.RandomText(12);
        if (!Start.empty())
            E.Strings->SetTextStr(Start);
        E.Cursor->SetPos(Random.RandomPos(E));
        const std::string StartLines = E.Lines();
        const TPoint StartCursor = E.CursorPos();

        const std::int64_t Steps = 1 + Random.Below(12);
        for (std::int64_t I = 0; I < Steps; ++I) {
            // Some steps run as one group, as a command line does.
            const bool Grouped = Random.Below(4) == 0;
            if (Grouped)
                E.UndoList->BeginGroup();
            const std::int64_t Inner = Grouped ? 1 + Random.Below(3) : 1;
            for (std::int64_t J = 0; J < Inner; ++J)
                Random.Step(E);
            if (Grouped)
                E.UndoList->EndGroup();
        }
        const std::string EndLines = E.Lines();
        const TPoint EndCursor = E.CursorPos();

        int Guard = 0;
        for (E.Undo(); E.Status == edDone && Guard < 1000; E.Undo())
            ++Guard;
        ASSERT_EQ(E.Lines(), StartLines) << "sequence " << Sequence << " start " << Start;
        ASSERT_EQ(E.CursorPos(), StartCursor) << "sequence " << Sequence;

        for (E.Redo(); E.Status == edDone && Guard < 2000; E.Redo())
            ++Guard;
        ASSERT_EQ(E.Lines(), EndLines) << "sequence " << Sequence;
        ASSERT_EQ(E.CursorPos(), EndCursor) << "sequence " << Sequence;
        ASSERT_TRUE(E.RedoList->Empty());
    }
}

}  // namespace
}  // namespace narvo::test
