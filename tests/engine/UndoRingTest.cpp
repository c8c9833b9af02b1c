// The undo rings: pushing, bracket cancelling, groups, the ring limit, lazy slots,
// record inversion, and execution onto the other ring through the text model.
#include "FakeEditor.h"

#include <gtest/gtest.h>

namespace narvo::test {
namespace {

std::vector<int> Flags(const TUndoControl& U)
{
    std::vector<int> F;
    for (std::int64_t I = 0; I < U.Count(); ++I)
        F.push_back(U.Item(I).Flag);
    return F;
}

TEST(UndoRing, EmptyBracketPairVanishes)
{
    TUndoControl U;
    int Changes = 0;
    U.OnChange = [&] { ++Changes; };
    U.AddItem(ukBracket, "", ufOpen, {});
    U.AddItem(ukBracket, "", ufClose, {});
    EXPECT_TRUE(U.Empty());
    EXPECT_EQ(Changes, 2);
    // A close bracket on an empty ring is stored.
    U.Push(TUndoItem{ukBracket, ufClose, {}, "", {}});
    EXPECT_EQ(U.Count(), 1);
}

// A text handed over for the record to keep is stored as a copied one would be:
// line ends made the one CR for AddItem, every byte as it stands for AddItemExact.
TEST(UndoRing, TextHandedOverIsStoredAsACopiedOne)
{
    TUndoControl U;
    std::string Own = "a\r\nb\nc\rd";
    U.AddItem(ukInsert, std::move(Own), ufSingle, {2, 1});
    std::string Exact = "a\nb\r";
    U.AddItemExact(ukDeleteBack, std::move(Exact), ufSingle, {}, TCharCrs::InLine("\r"));
    std::string Move = "x\ny";
    U.AddItem(ukMove, std::move(Move), ufSingle, {});
    ASSERT_EQ(U.Count(), 3);
    EXPECT_EQ(U.Item(0).Text, "a\rb\rc\rd");
    EXPECT_EQ(U.Item(0).Pos, (TPoint{2, 1}));
    EXPECT_EQ(U.Item(1).Text, "a\nb\r");
    ASSERT_TRUE(U.Item(1).Crs);
    EXPECT_EQ(U.Item(1).Crs->Which, TCharCrs::All);
    EXPECT_EQ(U.Item(2).Text, "x\ny");  // not an insertion or deletion: as it came
    const std::string Kept = "p\nq";
    U.AddItem(ukInsert, Kept, ufSingle, {});  // a named string is copied, not taken
    EXPECT_EQ(Kept, "p\nq");
    EXPECT_EQ(U.Item(3).Text, "p\rq");
}

TEST(UndoRing, EndGroupFlagsTheRecordsSinceBeginGroup)
{
    TUndoControl U;
    U.AddItem(ukMove, "", ufSingle, {});
    U.BeginGroup();
    U.EndGroup();
    EXPECT_EQ(Flags(U), (std::vector<int>{3}));  // nothing added: nothing changes
    U.BeginGroup();
    U.AddItem(ukInsert, "a", ufInner, {});
    U.EndGroup();
    EXPECT_EQ(Flags(U), (std::vector<int>{3, 3}));  // one record is a group by itself
    U.BeginGroup();
    for (int I = 0; I < 3; ++I)
        U.AddItem(ukInsert, "a", ufSingle, {});
    U.EndGroup();
    EXPECT_EQ(Flags(U), (std::vector<int>{3, 3, 0, 1, 2}));
}

TEST(UndoRing, CancelledBracketNeverSwallowsOlderHistory)
{
    TUndoControl U;
    for (int I = 0; I < 4; ++I)
        U.AddItem(ukInsert, "x", ufSingle, {});
    // The group begins between an opening bracket and its cancelling close.
    U.AddItem(ukBracket, "", ufOpen, {});
    U.BeginGroup();
    U.AddItem(ukBracket, "", ufClose, {});
    U.EndGroup();
    EXPECT_EQ(Flags(U), (std::vector<int>{3, 3, 3, 3}));
    // Undoing below the group start inside a group does not either.
    U.BeginGroup();
    ASSERT_TRUE(U.ExecuteGroup());
    U.AddItem(ukInsert, "y", ufSingle, {});
    U.EndGroup();
    EXPECT_EQ(Flags(U), (std::vector<int>{3, 3, 3, 3}));
}

TEST(UndoRing, FullRingDropsTheOldestAndKeepsCapacityMinusOne)
{
    TUndoControl U;
    U.SetCapacity(4);
    for (int I = 0; I < 6; ++I)
        U.AddItem(ukInsert, std::string(1, static_cast<char>('a' + I)), ufSingle, {});
    ASSERT_EQ(U.Count(), 3);
    EXPECT_EQ(U.Item(0).Text, "d");
    std::string Executed;
    U.OnExecute = [&](TUndoItem& Item, bool Last) {
        Executed += Item.Text;
        EXPECT_TRUE(Last);
    };
    while (U.ExecuteGroup()) {
    }
    EXPECT_EQ(Executed, "fed");
    EXPECT_FALSE(U.ExecuteGroup());
}

TEST(UndoRing, GroupWhoseOpeningWasDroppedGoesWhole)
{
    // Undoing the rest of a group would leave a text that never was: when the ring
    // drops a group's opening record, the rest of that group goes with it.
    TUndoControl U;
    U.SetCapacity(3);
    U.AddItem(ukInsert, "a", ufOpen, {});
    U.AddItem(ukInsert, "b", ufInner, {});
    U.AddItem(ukInsert, "c", ufClose, {});
    int Runs = 0;
    U.OnExecute = [&](TUndoItem&, bool) { ++Runs; };
    EXPECT_FALSE(U.ExecuteGroup());
    EXPECT_EQ(Runs, 0);
    EXPECT_TRUE(U.Empty());
    // Only the broken group goes: a later record stays.
    U.SetCapacity(5);
    U.AddItem(ukInsert, "a", ufOpen, {});
    U.AddItem(ukInsert, "b", ufClose, {});
    U.AddItem(ukInsert, "c", ufSingle, {});
    U.AddItem(ukInsert, "d", ufOpen, {});
    U.AddItem(ukInsert, "e", ufClose, {});
    ASSERT_EQ(U.Count(), 3);
    EXPECT_EQ(U.Item(0).Text, "c");
}

TEST(UndoRing, KeepsTheLimitOf255999Records)
{
    TUndoControl U;
    EXPECT_EQ(U.Capacity(), 256000);
    EXPECT_EQ(U.AllocatedSlots(), 0);  // nothing is allocated up front
    for (int I = 0; I < 256000; ++I)
        U.AddItem(ukMove, "", ufSingle, TPoint{I, 0});
    EXPECT_EQ(U.Count(), 255999);
    EXPECT_EQ(U.Item(0).Pos.X, 1);
    EXPECT_LE(U.AllocatedSlots(), 256000);
    U.Clear();
    EXPECT_EQ(U.AllocatedSlots(), 0);
}

TEST(UndoRing, CapacityBelowTwoIsClamped)
{
    TUndoControl U;
    U.SetCapacity(0);
    EXPECT_EQ(U.Capacity(), 2);
    U.AddItem(ukInsert, "a", ufSingle, {});
    U.AddItem(ukInsert, "b", ufSingle, {});
    EXPECT_EQ(U.Count(), 1);
    EXPECT_EQ(U.Item(0).Text, "b");
}

TEST(UndoRing, InversionSwapsKindsAndFlags)
{
    struct { int Kind, Flag, InvKind, InvFlag; } Cases[] = {
        {0, 3, 0, 3}, {1, 0, 3, 2}, {2, 1, 4, 1}, {3, 2, 1, 0}, {4, 3, 2, 3}, {6, 0, 6, 2}, {6, 2, 6, 0},
    };
    for (const auto& C : Cases) {
        TUndoItem Item{static_cast<std::uint8_t>(C.Kind), static_cast<std::uint8_t>(C.Flag), {}, "", {}};
        InvertUndoItem(Item);
        EXPECT_EQ(Item.Kind, C.InvKind);
        EXPECT_EQ(Item.Flag, C.InvFlag);
    }
}

// An insertion recorded as an editing command would: a bracketed group at the cursor.
void RecordedInsert(TFakeEditor& E, const std::string& Text)
{
    E.UndoList->AddItem(ukBracket, "", ufOpen, E.CursorPos());
    E.UndoList->AddItem(ukDeleteBack, Text, ufInner, E.CursorPos());
    E.InsertTextRaw(Text, false);
    E.UndoList->AddItem(ukBracket, "", ufClose, E.CursorPos());
}

TEST(UndoExecution, UndoingACrLfInsertionDeletesExactlyIt)
{
    TFakeEditor E;
    E.SetLines("xy");
    E.SetCursor(1, 0);
    RecordedInsert(E, "a\r\nb");
    EXPECT_EQ(E.Lines(), "xa|by");
    E.Undo();
    EXPECT_EQ(E.Status, edDone);
    EXPECT_EQ(E.Lines(), "xy");
    EXPECT_EQ(E.CursorPos(), (TPoint{1, 0}));
    EXPECT_TRUE(E.UndoList->Empty());
    EXPECT_EQ(E.RedoList->Count(), 3);
    E.Redo();
    EXPECT_EQ(E.Lines(), "xa|by");
    EXPECT_EQ(E.CursorPos(), (TPoint{1, 1}));
    EXPECT_EQ(E.UndoList->Count(), 3);
    EXPECT_TRUE(E.RedoList->Empty());
}

TEST(UndoExecution, NewRecordEmptiesRedoButUndoKeepsEarlierRecords)
{
    TFakeEditor E;
    RecordedInsert(E, "a");
    RecordedInsert(E, "b");
    E.Undo();
    EXPECT_EQ(E.Lines(), "a");
    EXPECT_EQ(E.UndoList->Count(), 3);
    EXPECT_FALSE(E.RedoList->Empty());
    RecordedInsert(E, "c");
    EXPECT_TRUE(E.RedoList->Empty());
    E.Undo();
    E.Undo();
    EXPECT_EQ(E.Lines(), "");
    E.Undo();
    EXPECT_EQ(E.Status, edNothingToUndo);
    const int Changes = E.Changes;
    E.Redo();
    EXPECT_EQ(E.Lines(), "a");
    EXPECT_EQ(E.Changes, Changes + 1);  // one redraw and OnChange per group
}

TEST(UndoExecution, ChangeEventOfAnUndoOrRedoReportsItsOwnStatus)
{
    // The change event an undo or a redo fires is where its status is shown: it
    // must read that press's result, not the "nothing to undo" of the one before.
    TFakeEditor E;
    std::vector<TEditStatus> Seen;
    E.OnChange = [&] { Seen.push_back(E.Status); };
    E.Undo();
    EXPECT_EQ(E.Status, edNothingToUndo);
    EXPECT_TRUE(Seen.empty());
    RecordedInsert(E, "a");
    E.Status = edNothingToRedo;
    Seen.clear();
    E.Undo();
    E.Status = edNothingToUndo;
    E.Redo();
    EXPECT_EQ(E.Lines(), "a");
    EXPECT_EQ(Seen, (std::vector<TEditStatus>{edDone, edDone}));
}

TEST(UndoExecution, SharingPaneEditsAndUndoesTheSameText)
{
    TFakeEditor Main;
    Main.SetLines("ab");
    {
        TFakeEditor Second;
        Second.ShareBuffer(Main);
        Second.SetCursor(2, 0);
        RecordedInsert(Second, "c");
        EXPECT_EQ(Main.Lines(), "abc");
        EXPECT_EQ(Main.CursorPos(), (TPoint{3, 0}));
        Second.Undo();
        EXPECT_EQ(Main.Lines(), "ab");
        EXPECT_TRUE(Main.Modified);
    }
    // The sharing pane is gone; the main pane's hooks still work.
    Main.Redo();
    EXPECT_EQ(Main.Lines(), "abc");
}

}  // namespace
}  // namespace narvo::test
