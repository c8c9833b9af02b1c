// The editing commands on the stream of text: typing in insert and overwrite mode,
// inserting text, Backspace and Delete, deleting words, line parts and the marked
// block, replacing the cursor line, indenting like the previous line and toggling
// case. Each records what it changes on the undo ring so that one undo takes it back
// exactly and leaves the cursor where it was, sets the status and redraws.
//
// Undo executes a group's records newest first, each at the cursor the later one
// left: so every record is added at the cursor its change starts from, and nothing
// moves the cursor between two records without a cursor-move record.
#include "engine/EditorEngine.h"

#include <algorithm>

namespace narvo {

namespace {

// The end of the piece of Text that starts at From: about Most bytes, never between
// a CR and its LF.
std::size_t PieceEnd(std::string_view Text, std::size_t From, std::size_t Most)
{
    if (Text.size() - From <= Most)
        return Text.size();
    std::size_t To = From + Most;
    if (Text[To - 1] == '\r' && Text[To] == '\n')
        ++To;
    return To;
}

}  // namespace

bool TEditorEngine::DeleteMarkedBlock(bool OwnGroup)
{
    if (HighLight->Empty())
        return false;
    if (HighLight->Found) {
        // A search match is shown, not marked for deletion.
        ClearMark();
        return false;
    }
    if (Cursor->ColumnBlock) {
        FillBlockIn(HighLight->Range(), ' ', Overwrite, OwnGroup);
        DesiredColumn = -1;
        return true;
    }
    const TRect R = ClampRange(HighLight->Range());
    const TPoint Start{R.Left, R.Top}, End{R.Right, R.Bottom};
    ScoopSave(End);
    ScoopFire(Start);
    if (OwnGroup)
        RecordBracket(ufOpen);
    MoveRecorded(End);
    RecordExact(ukInsert, GetRangeText(R), ufInner, CharCrsIn(R));
    DeleteRange(R);
    ClearMark();
    if (OwnGroup) {
        RecordBracket(ufClose);
        UpdateDisplay(true);
    }
    DesiredColumn = -1;
    return true;
}

void TEditorEngine::TypeChar(char Ch)
{
    RecordBracket(ufOpen);
    DeleteMarkedBlock(false);
    ClampCursor();
    if (Overwrite && Ch != '\r' && !AtLineEnd()) {
        const TPoint C = Cursor->Pos();
        RecordLineText(ukInsertBefore, (*Strings)[C.Y].substr(static_cast<std::size_t>(C.X), 1), ufInner);
        TEditBuffer::TUpdate U(*Strings);
        DeleteCharAt();
        RecordExact(ukDeleteBack, std::string(1, Ch), ufInner);
        InsertChar(Ch);
    } else {
        // The record holds the character as typed: an LF is a character of its
        // line (only CR makes a line break), and redo must put back an LF.
        RecordExact(ukDeleteBack, std::string(1, Ch), ufInner);
        InsertChar(Ch);
    }
    RecordBracket(ufClose);
    DesiredColumn = -1;
    UpdateDisplay(true);
    Status = edDone;
}

void TEditorEngine::InsertTextEx(const std::string& Text, bool FireChange, TInsertBreaks Breaks)
{
    InsertPieces(Text, FireChange, Breaks, false);
}

bool TEditorEngine::InsertTextWhole(const std::string& Text) { return InsertPieces(Text, true, TInsertBreaks::Any, true); }

bool TEditorEngine::InsertPieces(const std::string& Text, bool FireChange, TInsertBreaks Breaks, bool Whole)
{
    // A step taken back needs its records: without them it is never broken off.
    const bool CanTakeBack = Whole && !FSuppressUndo && !UndoList->Keeping();
    const TStepStart Start = StepStart();
    ScoopStop();
    RecordBracket(ufOpen);
    DeleteMarkedBlock(false);
    ClampCursor();
    // The record holds exactly what goes into the lines, so that undo removes that
    // and nothing before it: line breaks as the one CR they become, or, kept as
    // characters, the text as it stands. A huge text goes in piece by piece when a
    // long operation may be broken off, each piece recorded as if inserted alone. A
    // piece is never shorter than the rest of the cursor line, which every piece
    // moves, so the whole stays linear.
    const std::string_view All(Text);
    std::size_t Most = All.size();
    bool Looks = OnLongOperation && All.size() > LongOperationPiece && (!Whole || CanTakeBack);
    if (Looks) {
        const TPoint C = Cursor->Pos();
        Most = std::max<std::size_t>(LongOperationPiece, static_cast<std::size_t>(Strings->LineLength(C.Y) - C.X));
    }
    std::size_t From = 0;
    do {
        const std::size_t To = PieceEnd(All, From, Most);
        const bool AllAtOnce = From == 0 && To == All.size();
        std::string Part;
        if (!AllAtOnce)
            Part.assign(All.substr(From, To - From));
        const std::string& Piece = AllAtOnce ? Text : Part;
        const std::uint8_t Flag = To == All.size() ? ufClose : ufInner;
        if (Breaks == TInsertBreaks::CrOnly && EditorStyle == esMultiLine) {
            // Recorded as it stands: redo, like undo, reads its LFs as characters.
            static const TCharCrs NoCrs;
            RecordExact(ukDeleteBack, Piece, Flag);
            InsertRecordText(Piece, false, NoCrs);
        } else if (Breaks != TInsertBreaks::Any || EditorStyle == esSingleLine) {
            // A single line holds a CR as its line break and an LF as a character.
            const std::string Put = Breaks == TInsertBreaks::Any ? NormalizeLineBreaks(Piece) : Piece;
            RecordExact(ukDeleteBack, Put, Flag);
            InsertAtCursor(Put);
        } else {
            RecordInserted(Piece, Flag);
            InsertTextRaw(Piece, false);
        }
        From = To;
        if (From < All.size() && Looks && LookLetNothingIn(Looks)) {
            RecordBracket(ufClose);
            if (Whole && TakeBackStep(Start)) {
                DesiredColumn = -1;
                UpdateDisplay(FireChange);
                Status = edDone;
                return false;
            }
            break;
        }
    } while (From < All.size());
    DesiredColumn = -1;
    UpdateDisplay(FireChange);
    Status = edDone;
    return true;
}

bool TEditorEngine::LookLetNothingIn(bool& Looks)
{
    // A look runs the event loop: a key typed or a paste meanwhile goes into this
    // pane's text (or a pane sharing it) between the step's pieces, and taking the
    // step back would take that with it. The step then goes on to its end with no
    // more looks, the user's change kept; the break still ends the run after it.
    const std::int64_t Before = UndoList->Mark();
    const bool Stop = OnLongOperation();
    if (UndoList->Mark() == Before)
        return Stop;
    Looks = false;
    return false;
}

bool TEditorEngine::InsertPiecesWhole(const std::function<bool(std::string& Piece, std::size_t Most)>& Next,
                                      const std::function<bool()>& Broken)
{
    const bool CanTakeBack = StepsCanBeTakenBack();
    const TStepStart Start = StepStart();
    ScoopStop();
    RecordBracket(ufOpen);
    DeleteMarkedBlock(false);
    ClampCursor();
    // Every piece moves the rest of the cursor line: no piece is shorter than that
    // rest, so the whole stays linear.
    const TPoint C = Cursor->Pos();
    const std::size_t Most = std::max<std::size_t>(LongOperationPiece, static_cast<std::size_t>(Strings->LineLength(C.Y) - C.X));
    std::string Piece;
    bool More = true, Stopped = false;
    while (More && !Stopped) {
        Piece.clear();
        More = Next(Piece, Most);
        if (!Piece.empty()) {
            if (EditorStyle == esSingleLine) {
                const std::string Put = NormalizeLineBreaks(Piece);
                RecordExact(ukDeleteBack, Put, ufInner);
                InsertAtCursor(Put);
            } else {
                RecordInserted(Piece, ufInner);
                InsertTextRaw(Piece, false);
            }
        }
        Stopped = Broken && Broken();
    }
    std::string().swap(Piece);
    RecordBracket(ufClose);
    DesiredColumn = -1;
    if (Stopped && CanTakeBack && TakeBackStep(Start)) {
        UpdateDisplay(true);
        Status = edDone;
        return false;
    }
    UpdateDisplay(true);
    Status = edDone;
    return true;
}

void TEditorEngine::KeepCursorRow(std::int64_t Row)
{
    SetViewTopLine(std::max<std::int64_t>(Cursor->Pos().Y - Row, 0));
}

void TEditorEngine::Backspace()
{
    if (DeleteMarkedBlock(true))
        return;
    ClampCursor();
    const TPoint P = Cursor->Pos();
    ScoopSave(P);
    ScoopFire(PrevPosOf(P));
    char Gone = 0;
    if (!CharBefore(P, Gone)) {
        Status = edAtStart;
        return;
    }
    const std::int64_t Row = P.Y - ViewTopLine();
    // The record follows the change: its slot is there before the change is made.
    UndoList->ReserveOne();
    DeleteCharBefore();
    // Joining onto the line above: the text moves up under the cursor, which stays
    // on its screen row.
    if (P.X == 0)
        KeepCursorRow(Row);
    if (!FSuppressUndo)
        UndoList->AddItemExact(ukInsert, std::string(1, Gone), ufOpen, P, P.X > 0 ? TCharCrs::InLine(std::string_view(&Gone, 1)) : TCharCrs());
    if (Overwrite && P.X > 0) {
        // Overwrite mode blanks the character instead of closing the gap.
        const TPoint D = Cursor->Pos();
        RecordInserted(" ", ufInner);
        InsertAtCursor(" ");
        MoveRecorded(D);
    }
    RecordBracket(ufClose);
    DesiredColumn = -1;
    UpdateDisplay(true);
    Status = edDone;
}

void TEditorEngine::DeleteChar()
{
    if (DeleteMarkedBlock(true))
        return;
    ClampCursor();
    char Gone = 0;
    if (!CharAfter(Cursor->Pos(), Gone)) {
        Status = edAtEnd;
        return;
    }
    // At a line's end the character is its line end, elsewhere one of the line.
    if (Cursor->X < Strings->LineLength(Cursor->Y))
        RecordLineText(ukInsertBefore, std::string_view(&Gone, 1), ufSingle);
    else
        RecordExact(ukInsertBefore, std::string(1, Gone), ufSingle);
    DeleteCharAt();
    DesiredColumn = -1;
    UpdateDisplay(true);
    Status = edDone;
}

void TEditorEngine::DeleteToLineStart()
{
    Status = edDone;
    if (DeleteMarkedBlock(true))
        return;
    ClampCursor();
    if (AtStart()) {
        Status = edAtStart;
        return;
    }
    const TPoint C = Cursor->Pos();
    ScoopSave(C);
    ScoopFire(LineStartBefore(C));
    const TPoint S = LineStartBefore(C);
    RecordExact(ukInsert, TextLeftOfCursor(), ufSingle, CharCrsIn(TRect{S.X, S.Y, C.X, C.Y}));
    const std::int64_t Row = C.Y - ViewTopLine();
    DeleteToLineStartRaw();
    KeepCursorRow(Row);
    DesiredColumn = -1;
    UpdateDisplay(true);
}

void TEditorEngine::DeleteToLineEnd()
{
    Status = edDone;
    if (DeleteMarkedBlock(true))
        return;
    ClampCursor();
    if (AtEnd()) {
        Status = edAtEnd;
        return;
    }
    const TPoint C = Cursor->Pos();
    const TPoint E = C.Y + 1 < Strings->Count() ? TPoint{0, C.Y + 1} : TPoint{Strings->LineLength(C.Y), C.Y};
    RecordExact(ukInsertBefore, TextRightOfCursor(true), ufSingle, CharCrsIn(TRect{C.X, C.Y, E.X, E.Y}));
    DeleteToLineEndRaw();
    DesiredColumn = -1;
    UpdateDisplay(true);
}

void TEditorEngine::DeleteWordRight(bool Starts)
{
    Status = edDone;
    ClampCursor();
    if (AtEnd()) {
        Status = edAtEnd;
        UpdateDisplay(true);
        return;
    }
    const TPoint Old = Cursor->Pos();
    TPoint New = Old;
    WordRightPos(New, Starts);
    MoveRecorded(New, ufOpen);
    ScoopSave(Old);
    ScoopFire(New);
    const TRect R{Old.X, Old.Y, New.X, New.Y};
    RecordExact(ukInsert, GetRangeText(R), ufClose, CharCrsIn(R));
    DeleteRange(R);
    ClampHighlight();
    DesiredColumn = -1;
    UpdateDisplay(true);
}

void TEditorEngine::DeleteWordLeft(bool Starts)
{
    Status = edDone;
    ClampCursor();
    if (AtStart()) {
        Status = edAtStart;
        UpdateDisplay(true);
        return;
    }
    const TPoint Old = Cursor->Pos();
    TPoint New = Old;
    WordLeftPos(New, Starts);
    MoveRecorded(New, ufOpen);
    ScoopSave(Old);
    ScoopFire(New);
    const TRect R{New.X, New.Y, Old.X, Old.Y};
    RecordExact(ukInsertBefore, GetRangeText(R), ufClose, CharCrsIn(R));
    DeleteRange(R);
    ClampHighlight();
    DesiredColumn = -1;
    UpdateDisplay(true);
}

void TEditorEngine::ReplaceCurrentLine(const std::string& Text)
{
    ClampCursor();
    const std::int64_t Y = Cursor->Y;
    // The old line is recorded from column 0, where undo and redo put it back and
    // take it away again.
    MoveRecorded(TPoint{0, Y}, ufOpen);
    RecordLineText(ukInsertBefore, (*Strings)[Y], ufInner);
    ClearCursorLine();
    RecordInserted(Text, ufClose);
    InsertTextRaw(Text, false);
    ClampHighlight();
    UpdateDisplay(true);
    DesiredColumn = -1;
}

void TEditorEngine::IndentLikePrevious()
{
    const std::int64_t Y = Cursor->Y;
    if (Y <= 0 || !Strings->ValidLine(Y))
        return;
    const std::string Indent = LeadingWhite(std::string((*Strings)[Y - 1]));
    const std::string_view Line = (*Strings)[Y];
    std::size_t I = 0;
    while (I < Line.size() && static_cast<unsigned char>(Line[I]) <= ' ')
        ++I;
    ReplaceCurrentLine(Indent + std::string(Line.substr(I)));
    GotoPos(TPoint{static_cast<std::int64_t>(Indent.size()), Y});
}

void TEditorEngine::ToggleCase()
{
    if (ReadOnly())
        return;
    ClampCursor();
    if (HighLight->Empty() && AtEnd()) {
        Status = edAtEnd;
        return;
    }
    ScoopStop();
    if (HighLight->Empty())
        SetStreamHighlight(Cursor->Pos(), NextPosOf(Cursor->Pos()));
    if (Cursor->ColumnBlock) {
        // The block is toggled where it stands.
        if (!ToggleBlockCase(HighLight->Range()))
            Status = edNothingChanged;
        UpdateDisplay(true);
        return;
    }
    const TPoint E = ClampPos(HighLight->EndPos);
    std::string Text = GetRangeText(HighLight->Range());
    const TCharCrs Crs = CharCrsIn(HighLight->Range());
    const bool Letter = ToggleCaseString(Text);
    // A found match is toggled in place like any mark.
    HighLight->Found = false;
    RecordBracket(ufOpen);
    DeleteMarkedBlock(false);
    RecordExact(ukDeleteBack, Text, ufInner);
    InsertRecordText(Text, false, Crs);
    MoveRecorded(E, ufClose);
    UpdateDisplay(true);
    if (!Letter)
        Status = edNothingChanged;
}

}  // namespace narvo
