// Editing commands: each row checks the text, cursor, status, scoop events and the
// number of undo groups; undoing them all gives back the text and cursor before the
// command, and redoing them all the text after it. Then the cases the table cannot
// show: the records of InsertTextEx, highlights kept on the text, and a column
// change too large for the undo ring.
#include "FakeEditor.h"

#include <gtest/gtest.h>

#include <functional>

namespace narvo::test {
namespace {

using TEditFn = std::function<void(TFakeEditor&)>;

struct TEditCase {
    const char* Name;
    const char* Lines;
    TPoint Cursor;
    TEditFn Op;
    const char* After;
    TPoint CursorAfter;
    TEditStatus Status = edDone;
    int Groups = 1;
    const char* Scoops = "";  // F forward, B backward, S stop
    bool Overwrite = false;
    TEditFn Setup = nullptr;
};

std::string ScoopLetters(const TFakeEditor& E)
{
    std::string S;
    for (const auto& [Command, Range] : E.Scoops)
        S += Command == scmForward ? 'F' : Command == scmBackward ? 'B' : 'S';
    return S;
}

class EditCommands : public ::testing::TestWithParam<TEditCase> {};

TEST_P(EditCommands, TextCursorStatusUndo)
{
    const auto& C = GetParam();
    TFakeEditor E;
    E.SetLines(C.Lines);
    E.Cursor->SetPos(C.Cursor);
    E.Overwrite = C.Overwrite;
    if (C.Setup)
        C.Setup(E);
    E.Status = edDone;
    C.Op(E);
    EXPECT_EQ(E.Lines(), C.After);
    EXPECT_EQ(E.CursorPos(), C.CursorAfter);
    EXPECT_EQ(E.Status, C.Status);
    EXPECT_EQ(ScoopLetters(E), C.Scoops);
    EXPECT_EQ(E.UndoAll(), C.Groups);
    EXPECT_EQ(E.Lines(), C.Lines);
    EXPECT_EQ(E.CursorPos(), C.Cursor);
    EXPECT_EQ(E.RedoAll(), C.Groups);
    EXPECT_EQ(E.Lines(), C.After);
}

TEditFn Type(char Ch) { return [Ch](TFakeEditor& E) { E.TypeChar(Ch); }; }
TEditFn Do(void (TEditorEngine::*F)()) { return [F](TFakeEditor& E) { (E.*F)(); }; }
TEditFn Words(void (TEditorEngine::*F)(bool), bool Starts) { return [F, Starts](TFakeEditor& E) { (E.*F)(Starts); }; }
TEditFn Mark(TPoint S, TPoint End, bool Found = false, bool Column = false)
{
    return [=](TFakeEditor& E) {
        E.HighLight->StartPos = S;
        E.HighLight->EndPos = End;
        E.HighLight->Found = Found;
        E.Cursor->ColumnBlock = Column;
    };
}
TEditFn Fill(TRect R, char Ch, bool Fill) { return [=](TFakeEditor& E) { E.FillBlock(R, Ch, Fill); }; }
TEditFn Column(const char* Text) { return [Text](TFakeEditor& E) { E.InsertColumnBlock(Text); }; }

INSTANTIATE_TEST_SUITE_P(
    Engine, EditCommands,
    ::testing::Values(
        TEditCase{"TypeInsert", "abc", {1, 0}, Type('x'), "axbc", {2, 0}},
        TEditCase{"TypeOverwriteAtLineEndAppends", "abc", {3, 0}, Type('x'), "abcx", {4, 0}, edDone, 1, "", true},
        TEditCase{"TypeCrInOverwriteBreaks", "abc", {1, 0}, Type('\r'), "a|bc", {0, 1}, edDone, 1, "", true},
        TEditCase{"TypeReplacesMark", "abc", {2, 0}, Type('x'), "xc", {1, 0}, edDone, 1, "B", false, Mark({0, 0}, {2, 0})},
        TEditCase{"TypeKeepsFoundMatch", "abc", {2, 0}, Type('x'), "abxc", {3, 0}, edDone, 1, "", false, Mark({0, 0}, {2, 0}, true)},
        TEditCase{"BackspaceAtTextStart", "abc", {0, 0}, Do(&TEditorEngine::Backspace), "abc", {0, 0}, edAtStart, 0},
        TEditCase{"BackspaceJoinsLines", "a|b|cd|ef", {0, 3}, Do(&TEditorEngine::Backspace), "a|b|cdef", {2, 2}, edDone, 1, "B"},
        TEditCase{"BackspaceOverwriteBlanks", "xbc", {1, 0}, Do(&TEditorEngine::Backspace), " bc", {0, 0}, edDone, 1, "B", true},
        TEditCase{"DeleteCharAtTextEnd", "ab", {2, 0}, Do(&TEditorEngine::DeleteChar), "ab", {2, 0}, edAtEnd, 0},
        TEditCase{"DeleteMarkStream", "abc|def", {1, 0}, [](TFakeEditor& E) { EXPECT_TRUE(E.DeleteMark()); }, "aef", {1, 0}, edDone, 1, "B", false, Mark({1, 0}, {1, 1})},
        TEditCase{"ToLineStartAtColumn0", "ab|cd", {0, 1}, Do(&TEditorEngine::DeleteToLineStart), "cd", {0, 0}, edDone, 1, "B"},
        TEditCase{"ToLineStartAtTextStart", "ab", {0, 0}, Do(&TEditorEngine::DeleteToLineStart), "ab", {0, 0}, edAtStart, 0},
        TEditCase{"ToLineEndAtTextEnd", "abc", {3, 0}, Do(&TEditorEngine::DeleteToLineEnd), "abc", {3, 0}, edAtEnd, 0},
        TEditCase{"WordRight", "the cat", {0, 0}, Words(&TEditorEngine::DeleteWordRight, true), "cat", {0, 0}, edDone, 1, "F"},
        TEditCase{"WordLeft", "the cat", {7, 0}, Words(&TEditorEngine::DeleteWordLeft, true), "the ", {4, 0}, edDone, 1, "B"},
        TEditCase{"WordRightAtTextEnd", "ab", {2, 0}, Words(&TEditorEngine::DeleteWordRight, true), "ab", {2, 0}, edAtEnd, 0},
        TEditCase{"InsertTextMixedBreaks", "xy", {1, 0}, [](TFakeEditor& E) { E.InsertText("a\r\nb\nc"); }, "xa|b|cy", {1, 2}, edDone, 1, "S"},
        TEditCase{"InsertTextKeepBreaks", "xy", {1, 0}, [](TFakeEditor& E) { E.InsertTextEx("a\nb", true, true); }, "xa\nby", {4, 0}, edDone, 1, "S"},
        TEditCase{"ToggleCaseDigit", "1a", {0, 0}, Do(&TEditorEngine::ToggleCase), "1a", {1, 0}, edNothingChanged, 1, "SB"},
        TEditCase{"ToggleCaseAtTextEnd", "ab", {2, 0}, Do(&TEditorEngine::ToggleCase), "ab", {2, 0}, edAtEnd, 0},
        TEditCase{"ToggleCaseFoundMatchInPlace", "the Cat", {7, 0}, Do(&TEditorEngine::ToggleCase), "the cAT", {7, 0}, edDone, 1, "SB", false, Mark({4, 0}, {7, 0}, true)},
        TEditCase{"ToggleCaseMarkAtTextEnd", "ab|c", {1, 1}, Do(&TEditorEngine::ToggleCase), "AB|C", {1, 1}, edDone, 1, "SB", false, Mark({0, 0}, {1, 1})},
        TEditCase{"ToggleCaseColumnInPlace", "abcd|efgh", {0, 0}, Do(&TEditorEngine::ToggleCase), "aBCd|eFGh", {0, 0}, edDone, 1, "S", false, Mark({1, 0}, {3, 1}, false, true)},
        TEditCase{"ReplaceCurrentLine", "abc|def", {2, 1}, [](TFakeEditor& E) { E.ReplaceCurrentLine("x\ry"); }, "abc|x|y", {1, 2}},
        TEditCase{"IndentLikePrevious", "\t a|   b", {3, 1}, Do(&TEditorEngine::IndentLikePrevious), "\t a|\t b", {2, 1}, edDone, 2, "B"},
        TEditCase{"FillBlock", "abcd|efgh|ijkl", {0, 0}, Fill({1, 0, 3, 2}, '*', true), "a**d|e**h|i**l", {0, 0}, edDone, 1, "S"},
        TEditCase{"FillBlockUpperRightToLowerLeft", "abcd|efgh|ijkl", {0, 0}, Fill({3, 0, 1, 2}, '*', true), "a**d|e**h|i**l", {0, 0}, edDone, 1, "S"},
        TEditCase{"RemoveBlockOverTabAndShortLine", "a\tb|x|abcdefghijk", {0, 0}, Fill({4, 0, 9, 2}, '*', false), "a|x|abcdjk", {0, 0}, edDone, 1, "S"},
        TEditCase{"ColumnPasteMiddleLinesAligned", "abcd|e|ijkl|mnop", {1, 0}, Column("12\r\n34\r\n56\r\n"), "a12bcd|e34|i56jkl|mnop", {1, 3}, edDone, 1, "S"},
        TEditCase{"ColumnPasteShortLinePadded", "abcd|e|ijkl", {3, 0}, Column("1\n2"), "abc1d|e  2|ijkl", {3, 2}, edDone, 1, "S"},
        TEditCase{"ColumnPastePastTextEnd", "abcd", {4, 0}, Column("x\ry\rz"), "abcdx|    y|    z|", {0, 3}, edDone, 1, "S"},
        TEditCase{"ColumnPasteOverwrite", "abcd|efgh|ij", {1, 0}, Column("12\r34"), "a12d|e34h|ij", {1, 2}, edDone, 1, "S", true},
        TEditCase{"ColumnPasteReplacesColumnMark", "abcd|efgh|ij", {0, 0}, Column("1\r2"), "1ad|2eh|ij", {0, 2}, edDone, 1, "SS", false, Mark({1, 0}, {3, 1}, false, true)}),
    [](const auto& Info) { return std::string(Info.param.Name); });

std::string Kinds(const TUndoControl& U)
{
    std::string S;
    for (std::int64_t I = 0; I < U.Count(); ++I)
        S += std::to_string(U.Item(I).Kind) + std::to_string(U.Item(I).Flag) + " ";
    return S;
}

TEST(EditRecords, TypeCharRecipeInOverwriteMode)
{
    TFakeEditor E;
    E.SetLines("abc");
    E.Overwrite = true;
    E.TypeChar('x');
    // Bracket, the overwritten character deleted forward, x inserted, bracket.
    EXPECT_EQ(Kinds(*E.UndoList), "60 21 31 62 ");
    EXPECT_EQ(E.UndoList->Item(1).Text, "a");
}

// Every byte typed, in insert and overwrite mode, undoes to the text before it and
// redoes to exactly the text after it: an LF stays a character of its line.
TEST(EditRecords, EveryTypedByteUndoesAndRedoesExactly)
{
    for (const bool Overwrite : {false, true}) {
        for (int B = 0; B < 256; ++B) {
            TFakeEditor E;
            E.SetLines("ab");
            E.SetCursor(1, 0);
            E.Overwrite = Overwrite;
            E.TypeChar(static_cast<char>(B));
            const std::string After = E.Strings->GetTextStr();
            const TPoint CursorAfter = E.CursorPos();
            E.Undo();
            EXPECT_EQ(E.Lines(), "ab") << B;
            E.Redo();
            EXPECT_EQ(E.Strings->GetTextStr(), After) << "byte " << B << (Overwrite ? " overwriting" : "");
            EXPECT_EQ(E.CursorPos(), CursorAfter) << B;
        }
    }
}

// Pasted or inserted text with every byte: undo gives the text before, redo the
// text after, in a multi-line pane (line ends are line breaks) and a single-line
// one (every byte a character).
TEST(EditRecords, EveryInsertedByteUndoesAndRedoesExactly)
{
    std::string All;
    for (int B = 0; B < 256; ++B)
        All.push_back(static_cast<char>(B));
    for (const TEditorStyle Style : {esMultiLine, esSingleLine}) {
        TFakeEditor E;
        E.EditorStyle = Style;
        E.SetLines("ab");
        E.SetCursor(1, 0);
        E.InsertText(All + "\r\n" + All);
        const std::string After = E.Strings->GetTextStr();
        E.Undo();
        EXPECT_EQ(E.Lines(), "ab");
        E.Redo();
        EXPECT_EQ(E.Strings->GetTextStr(), After);
    }
}

TEST(EditRecords, InsertTextExClosesItsGroupWithTheInsertionRecord)
{
    TFakeEditor E;
    E.SetLines("xy");
    E.SetCursor(1, 0);
    const int Changes = E.Changes;
    E.InsertTextEx("a\r\nb", false, false);
    EXPECT_EQ(E.Changes, Changes);  // no OnChange asked for
    EXPECT_EQ(Kinds(*E.UndoList), "60 32 ");
    EXPECT_EQ(E.UndoList->Item(1).Text, "a\rb");  // as many characters as went in
    EXPECT_EQ(E.UndoList->Item(1).Pos, (TPoint{1, 0}));
}

TEST(EditRecords, AHugeInsertionGoesInPiecesThatALongOperationHookMayEnd)
{
    // Two and a half pieces; the first piece would end between a CR and its LF.
    const std::size_t P = TEditorEngine::LongOperationPiece;
    const std::string Text = std::string(P - 1, 'a') + "\r\n" + std::string(P, 'b') + "\r\n" + std::string(P / 2, 'c');
    for (const bool KeepBreaks : {false, true}) {
        TFakeEditor Whole, Pieces;
        for (TFakeEditor* E : {&Whole, &Pieces}) {
            E->SetLines("xy");
            E->SetCursor(1, 0);
        }
        int Calls = 0;
        Pieces.OnLongOperation = [&] {
            ++Calls;
            return false;
        };
        Whole.InsertTextEx(Text, true, KeepBreaks);
        Pieces.InsertTextEx(Text, true, KeepBreaks);
        EXPECT_EQ(Calls, 2);
        // (Compared as truths: a failure must not print megabytes.)
        EXPECT_TRUE(Pieces.Strings->GetTextStr() == Whole.Strings->GetTextStr()) << "KeepBreaks " << KeepBreaks;
        EXPECT_EQ(Pieces.CursorPos(), Whole.CursorPos());
        Pieces.Undo();
        EXPECT_EQ(Pieces.Lines(), "xy");
        Pieces.Redo();
        EXPECT_TRUE(LinesOf(*Pieces.Strings) == LinesOf(*Whole.Strings)) << "KeepBreaks " << KeepBreaks;
    }
    // Ended after the first piece: that piece stays, and one undo takes it back.
    TFakeEditor E;
    E.SetLines("xy");
    E.SetCursor(1, 0);
    E.OnLongOperation = [] { return true; };
    E.InsertText(Text);
    ASSERT_EQ(E.Strings->Count(), 2);
    EXPECT_EQ(E.Strings->LineLength(0), static_cast<std::int64_t>(P));
    EXPECT_TRUE(E.Lines().substr(P) == "|y");
    E.Undo();
    EXPECT_EQ(E.Lines(), "xy");
}

TEST(EditRecords, SingleLineEditorKeepsCrAsCharacter)
{
    TFakeEditor E;
    E.EditorStyle = esSingleLine;
    E.InsertText("a\r\nb");
    EXPECT_EQ(E.Strings->Count(), 1);
    EXPECT_EQ(E.Lines(), "a\rb");
    E.Undo();
    EXPECT_EQ(E.Lines(), "");
}

TEST(EditRecords, DeletionsNeverLeaveHighlightPastText)
{
    for (const TEditFn& Op : {Words(&TEditorEngine::DeleteWordRight, true), Words(&TEditorEngine::DeleteWordLeft, false),
                              TEditFn([](TFakeEditor& E) { E.ReplaceCurrentLine("a"); }), Do(&TEditorEngine::IndentLikePrevious)}) {
        TFakeEditor E;
        E.SetLines("one two|three four");
        E.SetCursor(5, 1);
        E.HighLight->StartPos = {8, 1};
        E.HighLight->EndPos = {10, 1};
        Op(E);
        EXPECT_EQ(E.ClampPos(E.HighLight->StartPos), E.HighLight->StartPos);
        EXPECT_EQ(E.ClampPos(E.HighLight->EndPos), E.HighLight->EndPos);
    }
}

TEST(ColumnBlocks, ChangeLargerThanUndoRingUndoesWhole)
{
    TFakeEditor E;
    E.UndoList->SetCapacity(64);
    E.RedoList->SetCapacity(64);
    std::string Lines, Block;
    for (int I = 0; I < 100; ++I) {
        Lines += (I ? "|ab" : "ab");
        Block += "X\r";
    }
    E.SetLines(Lines);
    E.TypeChar('q');  // an earlier group that must survive
    E.SetCursor(1, 0);
    E.InsertColumnBlock(Block);
    EXPECT_EQ(E.Strings->Count(), 101);  // the block ran past the text end
    EXPECT_EQ((*E.Strings)[99], "aXb");
    const std::string After = E.Lines();
    E.Undo();
    EXPECT_EQ(E.Lines(), "q" + Lines);
    EXPECT_EQ(E.CursorPos(), (TPoint{1, 0}));
    E.Redo();
    EXPECT_EQ(E.Lines(), After);

    E.FillBlock({0, 0, 1, 99}, '#', true);
    EXPECT_EQ((*E.Strings)[50], "#Xb");
    E.Undo();
    EXPECT_EQ(E.Lines(), After);
    E.Undo();
    E.Undo();
    EXPECT_EQ(E.Lines(), Lines);
}

}  // namespace
}  // namespace narvo::test
