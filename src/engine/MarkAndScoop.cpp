// The highlight as motions extend it from an anchor, the scoop events that report
// the stretch of text each cursor move passed over, the display columns that
// vertical moves and column blocks are measured in, and the undo-record helpers the
// editing commands share.
#include "engine/EditorEngine.h"

#include <algorithm>

namespace narvo {

void TEditorEngine::ExtendMark()
{
    if (!Anchored) {
        HighLight->StartPos = AnchorPos;
        HighLight->EndPos = AnchorPos;
        MarkAnchor = AnchorPos;
    }
    MarkAnchor = ClampPos(MarkAnchor);
    if (!MarkingMode)
        Cursor->ColumnBlock = LiveModifiers().Alt;
    // An extended match is the user's mark now: deleting it must delete it.
    HighLight->Found = false;
    const TPoint C = Cursor->Pos();
    HighLight->StartPos = PosAfter(MarkAnchor, C) ? C : MarkAnchor;
    HighLight->EndPos = PosAfter(MarkAnchor, C) ? MarkAnchor : C;
    Anchored = true;
}

void TEditorEngine::ExtendOrClearMark(bool ShiftMarks)
{
    if (MotionExtends(ShiftMarks)) {
        ExtendMark();
    } else {
        ClearMark();
        Anchored = false;
    }
}

void TEditorEngine::ClearMarkBeforeMotion(bool ShiftMarks)
{
    // ClearMark drops the anchor, so it runs only when the move will not extend;
    // an extending move spans the highlight anew from the anchor to the cursor.
    if (!MotionExtends(ShiftMarks))
        ClearMark();
}

void TEditorEngine::ClampHighlight()
{
    if (HighLight->Empty())
        return;
    HighLight->StartPos = ClampPos(HighLight->StartPos);
    HighLight->EndPos = ClampPos(HighLight->EndPos);
}

void TEditorEngine::ScoopSave(TPoint P) { FScoopStart = P; }

void TEditorEngine::ScoopFire(TPoint P)
{
    const TPoint S = FScoopStart;
    if (S == P)
        return;
    ScoopFire(PosAfter(P, S) ? scmForward : scmBackward, TRect{S.X, S.Y, P.X, P.Y});
}

void TEditorEngine::ScoopStop() { ScoopFire(scmStop, TRect{}); }

std::int64_t TEditorEngine::DisplayColumn(TPoint P, bool PermitPastEnd) const
{
    if (!Strings->ValidLine(P.Y) || P.X <= 0)
        return std::max<std::int64_t>(P.X, 0);
    const std::string_view L = (*Strings)[P.Y];
    const auto Len = static_cast<std::int64_t>(L.size());
    if (Len == 0 || P.X > Len)
        return PermitPastEnd ? P.X : 0;
    if (ShowAll() || Len > MaxExpandedLine)
        return P.X;
    const std::int64_t Tab = std::max(SpacesPerTab(), 1);
    std::int64_t Col = 0;
    for (std::int64_t I = 0; I < P.X; ++I)
        Col += L[static_cast<std::size_t>(I)] == '\t' ? Tab - Col % Tab : 1;
    return Col;
}

std::int64_t TEditorEngine::ColumnForDisplay(std::int64_t Y, std::int64_t D) const
{
    if (!Strings->ValidLine(Y))
        return 0;
    const std::string_view L = (*Strings)[Y];
    const auto Len = static_cast<std::int64_t>(L.size());
    if (ShowAll() || Len > MaxExpandedLine)
        return std::clamp<std::int64_t>(D, 0, Len);
    const std::int64_t Tab = std::max(SpacesPerTab(), 1);
    std::int64_t X = 0, Col = 0;
    while (X < Len && Col < D) {
        Col += L[static_cast<std::size_t>(X)] == '\t' ? Tab - Col % Tab : 1;
        ++X;
    }
    return X;
}

void TEditorEngine::NoteRecordPending() { FRecordPending = UndoList->Mark(); }

TEditorEngine::TRawChange::~TRawChange()
{
    if (FExceptions < 0 || FEngine.FRecordPending < 0)
        return;
    if (std::uncaught_exceptions() > FExceptions)
        FEngine.UndoList->DropNewest(FEngine.FRecordPending);
    FEngine.FRecordPending = -1;
}

void TEditorEngine::RecordInserted(const std::string& Text, std::uint8_t Flag)
{
    if (FSuppressUndo)
        return;
    UndoList->AddItem(ukDeleteBack, Text, Flag, Cursor->Pos());
    NoteRecordPending();
}

void TEditorEngine::RecordExact(std::uint8_t Kind, std::string Text, std::uint8_t Flag, TCharCrs Crs)
{
    if (FSuppressUndo)
        return;
    UndoList->AddItemExact(Kind, std::move(Text), Flag, Cursor->Pos(), std::move(Crs));
    NoteRecordPending();
}

void TEditorEngine::RecordLineText(std::uint8_t Kind, std::string_view Text, std::uint8_t Flag)
{
    if (FSuppressUndo)
        return;
    UndoList->AddItemExact(Kind, Text, Flag, Cursor->Pos(), TCharCrs::InLine(Text));
    NoteRecordPending();
}

void TEditorEngine::RecordBracket(std::uint8_t Flag)
{
    if (!FSuppressUndo)
        UndoList->AddItem(ukBracket, {}, Flag, Cursor->Pos());
    FRecordPending = -1;
}

void TEditorEngine::MoveRecorded(TPoint P, std::uint8_t Flag)
{
    if (!FSuppressUndo)
        UndoList->AddItem(ukMove, {}, Flag, Cursor->Pos());
    Cursor->SetPos(P);
}

void TEditorEngine::InsertRecordText(const std::string& Text, bool KeepCursor, const TCharCrs& Crs)
{
    const TRawChange Raw(*this);
    const TPoint P = Cursor->Pos();
    if (Crs.Which == TCharCrs::All || EditorStyle == esSingleLine) {
        // No line end in it (and a single-line editor keeps every CR in its line).
        InsertAtCursor(Text);
    } else {
        // An LF here was a character of its line, and so was each CR that Crs names;
        // every other CR stands for a line end. The lines holding neither go in a
        // run at a time, each line holding one by itself.
        constexpr std::size_t None = std::string::npos;
        TEditBuffer::TUpdate U(*Strings);
        // The pieces go in one by one: when one fails, those before it go again.
        struct TPieces {
            TEditorEngine& E;
            TPoint From;
            int Exceptions = std::uncaught_exceptions();
            ~TPieces()
            {
                if (std::uncaught_exceptions() <= Exceptions)
                    return;
                const TPoint To = E.ClampPos(E.Cursor->Pos());
                try {
                    E.DeleteRange(TRect{From.X, From.Y, To.X, To.Y});
                } catch (...) {
                }
                E.Cursor->SetPos(From);
            }
        } Pieces{*this, ClampPos(P)};
        auto Kept = Crs.At.begin();
        auto SkipKept = [&](std::size_t Below) {
            while (Kept != Crs.At.end() && *Kept < static_cast<std::int64_t>(Below))
                ++Kept;
        };
        std::size_t Lf = Text.find('\n');
        std::size_t Pos = 0;
        for (;;) {
            if (Lf != None && Lf < Pos)
                Lf = Text.find('\n', Pos);
            SkipKept(Pos);
            const std::size_t Odd = std::min(Lf, Kept != Crs.At.end() ? static_cast<std::size_t>(*Kept) : None);
            if (Odd == None) {
                // Not one conditional expression: its type would copy the whole text.
                if (Pos == 0)
                    InsertTextRaw(Text, false);
                else
                    InsertTextRaw(Text.substr(Pos), false);
                break;
            }
            // The lines before the one holding Odd, with the line end after them.
            const std::size_t Before = Odd == 0 ? None : Text.rfind('\r', Odd - 1);
            if (Before != None && Before >= Pos) {
                InsertTextRaw(Text.substr(Pos, Before + 1 - Pos), false);
                Pos = Before + 1;
            }
            std::size_t End = Text.find('\r', Odd);
            for (SkipKept(End); End != None && Kept != Crs.At.end() && static_cast<std::size_t>(*Kept) == End; SkipKept(End))
                End = Text.find('\r', End + 1);
            InsertAtCursor(Text.substr(Pos, End == None ? None : End - Pos));
            if (End == None)
                break;
            InsertLineBreak();
            Pos = End + 1;
        }
    }
    if (KeepCursor)
        Cursor->SetPos(P);
}

}  // namespace narvo
