// Cursor motions and jumps. Every motion runs in one frame: the scoop start and the
// undo ring's last position are saved, the move runs, and then the highlight is
// extended or cleared, a cursor-move record is added, the status is set, the view
// redrawn and the scoop event fired. Targets are computed directly (a page move over
// a huge line or many lines is one step), and word moves scan whole line stretches.
#include "engine/EditorEngine.h"

#include "shared/CharClass.h"

namespace narvo {

namespace {

bool WhiteChar(char C) { return IsWhite(static_cast<unsigned char>(C)); }

}  // namespace

template <class F>
void TEditorEngine::RunMotion(F&& Move, bool KeepColumn, TEditStatus FailStatus, bool ShiftMarks)
{
    const TPoint Before = Cursor->Pos();
    ScoopSave(Before);
    UndoList->SetLastPos(Before);
    AnchorPos = Before;
    const bool Moved = Move();
    if (Moved) {
        ExtendOrClearMark(ShiftMarks);
        if (!KeepColumn)
            DesiredColumn = -1;
        Status = edDone;
    } else {
        Status = FailStatus;
    }
    // Also a move that stopped part-way is recorded: the records before it are
    // executed at the cursor, so every change of the cursor must be undoable.
    UndoList->AddMoveIfMoved(Cursor->Pos());
    UpdateDisplay(true);
    ScoopFire(Cursor->Pos());
}

// --- word steps: each works on a position and answers whether it could start -----

namespace {

struct TWordScan {
    const TEditBuffer& B;

    bool AtTextEnd(TPoint P) const { return P.Y == B.Count() - 1 && P.X >= B.LineLength(P.Y); }

    // Forward while the character at P is not white (a line end reads as CR: white).
    bool SkipNonWhite(TPoint& P) const
    {
        if (AtTextEnd(P))
            return false;
        const std::string_view L = B[P.Y];
        while (P.X < static_cast<std::int64_t>(L.size()) && !WhiteChar(L[static_cast<std::size_t>(P.X)]))
            ++P.X;
        return true;
    }

    // One step forward, then on while the character at P is white.
    bool SkipWhite(TPoint& P) const
    {
        if (AtTextEnd(P))
            return false;
        if (P.X < B.LineLength(P.Y))
            ++P.X;
        else
            P = TPoint{0, P.Y + 1};
        for (;;) {
            const std::string_view L = B[P.Y];
            while (P.X < static_cast<std::int64_t>(L.size()) && WhiteChar(L[static_cast<std::size_t>(P.X)]))
                ++P.X;
            if (P.X < static_cast<std::int64_t>(L.size()) || P.Y + 1 >= B.Count())
                return true;
            P = TPoint{0, P.Y + 1};  // the line end is white too
        }
    }

    // Back while the character before P is not white.
    bool SkipBackNonWhite(TPoint& P) const
    {
        if (P.X == 0 && P.Y == 0)
            return false;
        const std::string_view L = B[P.Y];
        while (P.X > 0 && !WhiteChar(L[static_cast<std::size_t>(P.X - 1)]))
            --P.X;
        return true;
    }

    // Back while the character before P is white.
    bool SkipBackWhite(TPoint& P) const
    {
        if (P.X == 0 && P.Y == 0)
            return false;
        for (;;) {
            const std::string_view L = B[P.Y];
            while (P.X > 0 && WhiteChar(L[static_cast<std::size_t>(P.X - 1)]))
                --P.X;
            if (P.X > 0 || P.Y == 0)
                return true;
            P = TPoint{B.LineLength(P.Y - 1), P.Y - 1};
        }
    }
};

}  // namespace

bool TEditorEngine::WordRightPos(TPoint& P, bool Starts) const
{
    const TWordScan S{*Strings};
    P = ClampPos(P);
    return Starts ? S.SkipNonWhite(P) && S.SkipWhite(P) : S.SkipWhite(P) && S.SkipNonWhite(P);
}

bool TEditorEngine::WordLeftPos(TPoint& P, bool Starts) const
{
    const TWordScan S{*Strings};
    P = ClampPos(P);
    return Starts ? S.SkipBackWhite(P) && S.SkipBackNonWhite(P) : S.SkipBackNonWhite(P) && S.SkipBackWhite(P);
}

// --- the motions ---------------------------------------------------------------------

void TEditorEngine::CursorRight()
{
    RunMotion(
        [this] {
            TPoint P = ClampPos(Cursor->Pos());
            if (!NextPos(P))
                return false;
            Cursor->SetPos(P);
            return true;
        },
        false, edAtEnd);
}

void TEditorEngine::CursorLeft()
{
    RunMotion(
        [this] {
            TPoint P = ClampPos(Cursor->Pos());
            if (!PrevPos(P))
                return false;
            Cursor->SetPos(P);
            return true;
        },
        false, edAtStart);
}

void TEditorEngine::WordRight(bool Starts, bool ShiftMarks)
{
    RunMotion(
        [this, Starts] {
            TPoint P = Cursor->Pos();
            const bool Done = WordRightPos(P, Starts);
            Cursor->SetPos(P);
            return Done;
        },
        false, edAtEnd, ShiftMarks);
}

void TEditorEngine::WordLeft(bool Starts, bool ShiftMarks)
{
    RunMotion(
        [this, Starts] {
            TPoint P = Cursor->Pos();
            const bool Done = WordLeftPos(P, Starts);
            Cursor->SetPos(P);
            return Done;
        },
        false, edAtStart, ShiftMarks);
}

void TEditorEngine::CursorDown()
{
    RunMotion(
        [this] {
            const TPoint C = Cursor->Pos();
            if (C.Y + 1 >= Strings->Count())
                return false;
            if (DesiredColumn < 0)
                DesiredColumn = DisplayColumn(C, Cursor->ColumnBlock);
            Cursor->SetPos(TPoint{ColumnForDisplay(C.Y + 1, DesiredColumn), C.Y + 1});
            return true;
        },
        true, edAtEnd);
}

void TEditorEngine::CursorUp()
{
    RunMotion(
        [this] {
            const TPoint C = Cursor->Pos();
            if (C.Y <= 0)
                return false;
            if (DesiredColumn < 0)
                DesiredColumn = DisplayColumn(C, Cursor->ColumnBlock);
            Cursor->SetPos(TPoint{ColumnForDisplay(C.Y - 1, DesiredColumn), C.Y - 1});
            return true;
        },
        true, edAtStart);
}

namespace {

// Where N steps "to the start of this line, or of the previous one from column 0"
// lead from P; false when the text start comes first (P then at (0, 0)).
bool LineStartSteps(TPoint& P, std::int64_t N)
{
    const std::int64_t Available = P.Y + (P.X > 0 ? 1 : 0);
    if (N > Available) {
        P = TPoint{0, 0};
        return false;
    }
    P = TPoint{0, P.Y - (N - (P.X > 0 ? 1 : 0))};
    return true;
}

// Where N steps "to the start of the next line, or to the end of the last line"
// lead from P; false when the text end comes first (P then at the end).
bool NextLineStartSteps(const TEditBuffer& B, TPoint& P, std::int64_t N)
{
    const std::int64_t Last = B.Count() - 1;
    const std::int64_t LastLen = B.LineLength(Last);
    const std::int64_t Rest = Last - P.Y;
    if (N <= Rest) {
        P = TPoint{0, P.Y + N};
        return true;
    }
    // Steps to the end: the lines below, and one more from the last line's start
    // (or from inside it) unless that is the end already.
    const bool StartsOnLast = Rest == 0;
    const std::int64_t Steps = Rest + ((StartsOnLast ? P.X < LastLen : LastLen > 0) ? 1 : 0);
    P = TPoint{LastLen, Last};
    return N <= Steps;
}

}  // namespace

void TEditorEngine::LineStart()
{
    RunMotion(
        [this] {
            TPoint P = ClampPos(Cursor->Pos());
            if (P.X == 0 && P.Y == 0)
                return false;
            LineStartSteps(P, 1);
            Cursor->SetPos(P);
            return true;
        },
        false, edAtStart);
}

void TEditorEngine::NextLineStart()
{
    RunMotion(
        [this] {
            TPoint P = Cursor->Pos();
            const bool Done = NextLineStartSteps(*Strings, P, 1);
            Cursor->SetPos(P);
            return Done;
        },
        false, edAtEnd);
}

void TEditorEngine::PageDown()
{
    RunMotion(
        [this] {
            const std::int64_t N = VisibleLines();
            if (N < 1)
                return true;
            TPoint P = Cursor->Pos();
            const bool Done = NextLineStartSteps(*Strings, P, N);
            Cursor->SetPos(P);
            return Done;
        },
        false, edAtEnd);
}

void TEditorEngine::PageUp()
{
    RunMotion(
        [this] {
            const std::int64_t N = VisibleLines();
            if (N < 1)
                return true;
            TPoint P = ClampPos(Cursor->Pos());
            const bool Done = LineStartSteps(P, N);
            Cursor->SetPos(P);
            return Done;
        },
        false, edAtStart);
}

void TEditorEngine::GotoTop()
{
    RunMotion(
        [this] {
            Cursor->SetPos(TPoint{0, 0});
            return true;
        },
        false, edDone);
}

void TEditorEngine::GotoBottom()
{
    RunMotion(
        [this] {
            const std::int64_t Last = Strings->Count() - 1;
            Cursor->SetPos(TPoint{Strings->LineLength(Last), Last});
            return true;
        },
        false, edDone);
}

// --- jumps ---------------------------------------------------------------------------

bool TEditorEngine::GotoLine(std::int64_t N)
{
    if (N >= Strings->Count()) {
        Status = edAtEnd;
        return false;
    }
    if (N < 0) {
        Status = edAtStart;
        return false;
    }
    const TPoint C = Cursor->Pos();
    ScoopSave(C);
    UndoList->SetLastPos(C);
    Cursor->SetPos(TPoint{0, N});
    UndoList->AddMoveIfMoved(Cursor->Pos());
    UpdateDisplay(true);
    Status = edDone;
    ScoopFire(Cursor->Pos());
    return true;
}

bool TEditorEngine::GotoPos(TPoint P)
{
    if (!PosInText(P)) {
        Status = edBadPosition;
        RequestRedraw(false);
        DoChange();
        return false;
    }
    const TPoint C = Cursor->Pos();
    ScoopSave(C);
    UndoList->SetLastPos(C);
    Cursor->SetPos(P);
    UndoList->AddMoveIfMoved(P);
    ScoopFire(P);
    Status = edDone;
    UpdateDisplay(true);
    return true;
}

void TEditorEngine::GotoOffset(std::int64_t N)
{
    TPoint P;
    OffsetToPos(N, P);
    GotoPos(P);
}

}  // namespace narvo
