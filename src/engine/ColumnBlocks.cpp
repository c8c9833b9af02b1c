// Column blocks: the rectangle of display columns between the block's two corners on
// each of its lines. Inserting lines one below another at the cursor's display
// column, filling, removing, reading and case-toggling a block, and cutting the mark.
// A change too large for the undo ring to hold record by record is recorded as one
// replacement of the lines it touched, so that one undo always takes it back whole.
#include "engine/EditorEngine.h"
#include "engine/LongStep.h"
#include "platform/posix/ProcessMemory.h"

#include <algorithm>
#include <array>

namespace narvo {

namespace {

// Clears FSuppressUndo again also when a change throws.
class TSuppressUndo {
public:
    explicit TSuppressUndo(bool& Flag) : FFlag(Flag), FOld(Flag) { FFlag = true; }
    ~TSuppressUndo() { FFlag = FOld; }
    TSuppressUndo(const TSuppressUndo&) = delete;
    TSuppressUndo& operator=(const TSuppressUndo&) = delete;

private:
    bool& FFlag;
    bool FOld;
};

// A record made before its change, to be pushed once the change is made.
TUndoItem MadeRecord(std::uint8_t Kind, TPoint Pos, std::string Text = {}, TCharCrs Crs = {})
{
    return TUndoControl::MakeItem(Kind, std::move(Text), ufInner, Pos, std::move(Crs));
}

}  // namespace

template <class F>
void TEditorEngine::RecordLinesReplaced(std::int64_t First, std::int64_t LastOld, F&& Change)
{
    const TPoint C0 = Cursor->Pos();
    const std::int64_t CountBefore = Strings->Count();
    const TPoint Top{0, First};
    const TRect OldLines{0, First, Strings->LineLength(LastOld), LastOld};
    // As if the cursor had gone to the first line, taken the old lines away, put the
    // new ones in before itself and gone on to where the change left it. All but
    // the new lines' text is made, and the ring's room taken, before the change.
    std::array<TUndoItem, 4> Records{MadeRecord(ukMove, C0),
                                     MadeRecord(ukInsertBefore, Top, GetRangeText(OldLines), CharCrsIn(OldLines)),
                                     MadeRecord(ukDeleteForward, Top), MadeRecord(ukMove, Top)};
    const bool Recorded = !FSuppressUndo;
    if (Recorded)
        UndoList->Reserve(static_cast<std::int64_t>(Records.size()));
    Strings->OwnLine(First);  // emptying it to put the old lines back then allocates nothing
    try {
        {
            TSuppressUndo Guard(FSuppressUndo);
            Change();
        }
        if (!Recorded)
            return;
        const std::int64_t LastNew = LastOld + Strings->Count() - CountBefore;
        Records[2].Text = GetRangeText(TRect{0, First, Strings->LineLength(LastNew), LastNew});
    } catch (...) {
        // Memory ran out while the lines changed or before they were recorded: the
        // old lines go back. The changed ones go first, which frees memory.
        FRecordPending = -1;
        TSuppressUndo Guard(FSuppressUndo);
        const std::int64_t LastNow = LastOld + Strings->Count() - CountBefore;
        bool Cleared = false;
        try {
            DeleteRange(TRect{0, First, Strings->LineLength(LastNow), LastNow});
            Cleared = true;
            Cursor->SetPos(Top);
            static const TCharCrs NoCrs;
            InsertRecordText(Records[1].Text, false, Records[1].Crs ? *Records[1].Crs : NoCrs);
        } catch (...) {
            // Not even that fitted: the old lines stand as one empty line, and the
            // records say so, so that one undo still gives them back.
            const bool OneEmptyLine = Strings->Count() == CountBefore - (LastOld - First) && Strings->LineLength(First) == 0;
            if (Recorded && Cleared && OneEmptyLine) {
                Records[2].Text.clear();
                UndoList->PushMade(Records);
            }
        }
        Cursor->SetPos(C0.Y < Strings->Count() ? C0 : ClampPos(C0));
        throw;
    }
    UndoList->PushMade(Records);
}

void TEditorEngine::ReplaceLineRecorded(std::int64_t Y, std::string New)
{
    MoveRecorded(TPoint{0, Y});
    if (FSuppressUndo) {
        Strings->SetLine(Y, std::move(New));
        return;
    }
    // Both records exist before the line changes, and the line changes before they
    // go on the ring: the memory running out leaves neither without the other.
    const std::string_view Was = (*Strings)[Y];
    std::array<TUndoItem, 2> Records{MadeRecord(ukInsertBefore, Cursor->Pos(), std::string(Was), TCharCrs::InLine(Was)),
                                     MadeRecord(ukDeleteForward, Cursor->Pos(), New)};
    UndoList->Reserve(static_cast<std::int64_t>(Records.size()));
    Strings->SetLine(Y, std::move(New));
    UndoList->PushMade(Records);
}

void TEditorEngine::BlockColumns(TRect R, std::int64_t& Left, std::int64_t& Right) const
{
    R = NormalizeRange(R);
    const std::int64_t A = DisplayColumn(TPoint{R.Left, R.Top}, true);
    const std::int64_t B = DisplayColumn(TPoint{R.Right, R.Bottom}, true);
    // A block marked from upper right to lower left covers the same columns.
    Left = std::min(A, B);
    Right = std::max(A, B);
}

void TEditorEngine::BlockRun(std::int64_t Y, std::int64_t L, std::int64_t R, std::int64_t& From, std::int64_t& To) const
{
    const std::string_view Line = (*Strings)[Y];
    const auto Len = static_cast<std::int64_t>(Line.size());
    if (ShowAll() || Len > MaxExpandedLine) {
        From = std::clamp<std::int64_t>(L, 0, Len);
        To = std::clamp<std::int64_t>(R, From, Len);
        return;
    }
    // A character belongs to the block when its cell ends after L and not after R.
    const std::int64_t Tab = std::max(SpacesPerTab(), 1);
    std::int64_t Col = 0, X = 0;
    From = -1;
    for (; X < Len; ++X) {
        const std::int64_t End = Col + (Line[static_cast<std::size_t>(X)] == '\t' ? Tab - Col % Tab : 1);
        if (End > R)
            break;
        if (End > L && From < 0)
            From = X;
        Col = End;
    }
    To = X;
    if (From < 0)
        From = To;
}

template <class F>
bool TEditorEngine::TransformBlock(TRect R, F&& Transform)
{
    R = NormalizeRange(R);
    const std::int64_t Top = std::max<std::int64_t>(R.Top, 0);
    const std::int64_t Bottom = std::min<std::int64_t>(R.Bottom, Strings->Count() - 1);
    if (Bottom < Top)
        return false;
    std::int64_t L = 0, Rt = 0;
    BlockColumns(R, L, Rt);
    bool Reported = false;
    auto Body = [&] {
        for (std::int64_t Y = Top; Y <= Bottom; ++Y) {
            std::int64_t From = 0, To = 0;
            BlockRun(Y, L, Rt, From, To);
            if (From >= To)
                continue;
            std::string New((*Strings)[Y]);
            Reported |= Transform(Y, New, static_cast<std::size_t>(From), static_cast<std::size_t>(To));
            if (New == (*Strings)[Y])
                continue;
            ReplaceLineRecorded(Y, std::move(New));
        }
    };
    if (3 * (Bottom - Top + 1) + 8 >= UndoList->Capacity())
        RecordLinesReplaced(Top, Bottom, Body);
    else
        Body();
    return Reported;
}

void TEditorEngine::FillBlock(TRect Rect, char Ch, bool Fill) { FillBlockIn(Rect, Ch, Fill, true); }

void TEditorEngine::FillBlockIn(TRect Rect, char Ch, bool Fill, bool OwnGroup)
{
    ScoopStop();
    // Inside another command's group an opening bracket would end that group early.
    if (OwnGroup)
        RecordBracket(ufOpen);
    const TPoint Saved = Cursor->Pos();
    TransformBlock(Rect, [Ch, Fill](std::int64_t, std::string& Line, std::size_t From, std::size_t To) {
        if (Fill)
            std::fill(Line.begin() + static_cast<std::ptrdiff_t>(From), Line.begin() + static_cast<std::ptrdiff_t>(To), Ch);
        else
            Line.erase(From, To - From);
        return false;
    });
    ClearMark();
    MoveRecorded(ClampPos(Saved));
    if (OwnGroup)
        RecordBracket(ufClose);
    UpdateDisplay(true);
}

bool TEditorEngine::ToggleBlockCase(TRect R)
{
    RecordBracket(ufOpen);
    const TPoint Saved = Cursor->Pos();
    const bool Letter = TransformBlock(R, [](std::int64_t, std::string& Line, std::size_t From, std::size_t To) {
        std::string Run = Line.substr(From, To - From);
        const bool Any = ToggleCaseString(Run);
        Line.replace(From, To - From, Run);
        return Any;
    });
    ClearMark();
    MoveRecorded(ClampPos(Saved));
    RecordBracket(ufClose);
    return Letter;
}

bool TEditorEngine::ReplaceBlockParts(TRect R, const std::function<std::string(const TBlockPart&)>& Transform)
{
    if (ReadOnly())
        return false;
    const TRect N = NormalizeRange(R);
    const std::int64_t Top = std::max<std::int64_t>(N.Top, 0);
    const std::int64_t Bottom = std::min<std::int64_t>(N.Bottom, Strings->Count() - 1);
    std::int64_t L = 0, Rt = 0;
    BlockColumns(N, L, Rt);
    // Every new part first, so that a transform that changes nothing leaves no undo
    // step and the pane unmodified.
    std::vector<std::string> New;
    std::vector<std::int64_t> Froms;
    bool Any = false, SameLengths = true;
    // The new parts of a long block take a while: the step may be stopped meanwhile.
    TLongStep Step(*this);
    for (std::int64_t Y = Top; Y <= Bottom; ++Y) {
        if (!Step.Going(New.empty() ? 0 : New.back().size() + 1))
            return false;
        std::int64_t From = 0, To = 0;
        BlockRun(Y, L, Rt, From, To);
        std::string Put;
        if (From < To) {
            const std::string_view Line = (*Strings)[Y];
            const std::string_view Old = std::string_view(Line).substr(static_cast<std::size_t>(From),
                                                                       static_cast<std::size_t>(To - From));
            Put = Transform(TBlockPart{Y - Top, Old, DisplayColumn(TPoint{From, Y}, false),
                                       To == static_cast<std::int64_t>(Line.size())});
            // A part stays on its line: a line break (CR LF, CR or LF) becomes a blank.
            std::size_t W = 0;
            for (std::size_t I = 0; I < Put.size(); ++I) {
                if (Put[I] == '\r' && I + 1 < Put.size() && Put[I + 1] == '\n')
                    continue;
                Put[W++] = Put[I] == '\r' || Put[I] == '\n' ? ' ' : Put[I];
            }
            Put.resize(W);
            Any |= Put != Old;
            SameLengths &= Put.size() == Old.size();
        }
        New.push_back(std::move(Put));
        Froms.push_back(From);
    }
    if (!Any || Step.Stopped())
        return false;

    ScoopStop();
    const THighLight Saved = *HighLight;
    const TPoint SavedCursor = Cursor->Pos();
    const bool CursorRight = DisplayColumn(SavedCursor, true) > L;
    RecordBracket(ufOpen);
    TransformBlock(N, [&](std::int64_t Y, std::string& Line, std::size_t From, std::size_t To) {
        Line.replace(From, To - From, New[static_cast<std::size_t>(Y - Top)]);
        return false;
    });
    TPoint CursorTo = SavedCursor;
    if (SameLengths) {
        // The same characters stand where they stood.
        *HighLight = Saved;
    } else {
        // The block keeps its left edge and reaches as far right as its widest part;
        // the cursor stays on its corner's side.
        std::int64_t Right = L;
        for (std::int64_t Y = Top; Y <= Bottom; ++Y) {
            const auto I = static_cast<std::size_t>(Y - Top);
            if (!New[I].empty())
                Right = std::max(Right, DisplayColumn(TPoint{Froms[I] + static_cast<std::int64_t>(New[I].size()), Y}, true));
        }
        auto XAt = [this](std::int64_t Y, std::int64_t D) {
            const std::int64_t X = ColumnForDisplay(Y, D);
            // Past its line's end a block corner's X is its display column.
            if (X == Strings->LineLength(Y) && DisplayColumn(TPoint{X, Y}, false) < D)
                return std::max(D, X + 1);
            return X;
        };
        HighLight->Found = false;
        HighLight->StartPos = TPoint{XAt(Top, L), Top};
        HighLight->EndPos = TPoint{XAt(Bottom, Right), Bottom};
        if (Strings->ValidLine(SavedCursor.Y))
            CursorTo = TPoint{XAt(SavedCursor.Y, CursorRight ? Right : L), SavedCursor.Y};
    }
    MoveRecorded(CursorTo);
    RecordBracket(ufClose);
    Cursor->ColumnBlock = true;
    UpdateDisplay(true);
    return true;
}

std::string TEditorEngine::GetBlockText(TRect Rect) const
{
    const TRect R = NormalizeRange(Rect);
    std::int64_t L = 0, Rt = 0;
    BlockColumns(R, L, Rt);
    std::string S;
    const std::int64_t Bottom = std::min<std::int64_t>(R.Bottom, Strings->Count() - 1);
    for (std::int64_t Y = std::max<std::int64_t>(R.Top, 0); Y <= Bottom; ++Y) {
        std::int64_t From = 0, To = 0;
        BlockRun(Y, L, Rt, From, To);
        S.append((*Strings)[Y], static_cast<std::size_t>(From), static_cast<std::size_t>(To - From));
        S.append("\r\n");
    }
    return S;
}

std::vector<std::string> TEditorEngine::GetBlockParts(TRect Rect) const
{
    const TRect R = NormalizeRange(Rect);
    std::int64_t L = 0, Rt = 0;
    BlockColumns(R, L, Rt);
    std::vector<std::string> Parts;
    const std::int64_t Bottom = std::min<std::int64_t>(R.Bottom, Strings->Count() - 1);
    for (std::int64_t Y = std::max<std::int64_t>(R.Top, 0); Y <= Bottom; ++Y) {
        std::int64_t From = 0, To = 0;
        BlockRun(Y, L, Rt, From, To);
        const std::string_view Line = (*Strings)[Y];
        Parts.emplace_back(Line.substr(static_cast<std::size_t>(From), static_cast<std::size_t>(To - From)));
    }
    return Parts;
}

std::string TEditorEngine::CutMarkedText()
{
    std::string S = GetMarkedText();
    if (Cursor->ColumnBlock)
        FillBlock(HighLight->Range(), ' ', Overwrite);
    else
        DeleteMarkedBlock(true);
    return S;
}

void TEditorEngine::InsertOverwriting(const std::string& Text, bool Whole)
{
    const bool Deleted = DeleteMarkedBlock(false);
    ClampCursor();
    if (!Deleted && (Overwrite || Whole)) {
        const TPoint C = Cursor->Pos();
        const std::int64_t N = std::min<std::int64_t>(static_cast<std::int64_t>(Text.size()), Strings->LineLength(C.Y) - C.X);
        if (N > 0) {
            RecordLineText(ukInsertBefore, (*Strings)[C.Y].substr(static_cast<std::size_t>(C.X), static_cast<std::size_t>(N)),
                           ufInner);
            DeleteForward(N);
        }
    }
    RecordInserted(Text, ufInner);
    InsertTextRaw(Text, false);
}

void TEditorEngine::InsertColumnBlock(const std::string& Text)
{
    std::vector<std::string_view> List;
    ForEachTextLine(Text, [&](std::string_view Piece, bool) { List.push_back(Piece); });
    // No line after a final line end (and none for an empty text).
    if (List.back().empty())
        List.pop_back();
    InsertColumnLines(List);
}

void TEditorEngine::InsertColumnLines(std::span<const std::string_view> List)
{
    {
        // Every line short of the block's column is padded out to it, so a block put
        // in far right of short lines may build many times its own size: the room
        // is asked for before anything changes.
        const std::int64_t C = DisplayColumn(Cursor->Pos(), Cursor->ColumnBlock);
        std::int64_t Grows = 0;
        std::int64_t Y = Cursor->Y;
        for (const std::string_view Piece : List) {
            const std::int64_t Short = C - (Y < Strings->Count() ? Strings->LineLength(Y) : 0);
            Grows += std::max<std::int64_t>(Short, 0) + static_cast<std::int64_t>(Piece.size()) + 2;
            ++Y;
        }
        NeedRoomToBuild(Grows);
    }
    // Padding a long block far out is a long step: it looks out between its lines,
    // and when it is stopped what it did is taken back whole.
    TLongStep Step(*this);
    bool Stopped = false;
    const bool CanTakeBack = !FSuppressUndo && !UndoList->Keeping();
    const TStepStart Start = StepStart();
    ScoopStop();
    RecordBracket(ufOpen);
    const std::int64_t C = DisplayColumn(Cursor->Pos(), Cursor->ColumnBlock);
    DeleteMarkedBlock(false);
    if (!(ClampPos(Cursor->Pos()) == Cursor->Pos()))
        MoveRecorded(ClampPos(Cursor->Pos()));
    auto Body = [&] {
        std::string L;  // one string for every line: its room is reused
        for (const std::string_view Piece : List) {
            // Its own changes are the step's: only a stop counts here.
            if (CanTakeBack && !Step.GoingOn(static_cast<std::size_t>(std::max<std::int64_t>(C, 0)) + Piece.size())) {
                Stopped = true;
                break;
            }
            L.assign(Piece);
            const TPoint P = Cursor->Pos();
            const std::int64_t Pad = C - DisplayColumn(P, false);
            if (Pad > 0) {
                const std::string Spaces(static_cast<std::size_t>(Pad), ' ');
                RecordInserted(Spaces, ufInner);
                InsertAtCursor(Spaces);
            }
            InsertOverwriting(L, false);
            const std::int64_t Y = Cursor->Y;
            if (Y + 1 == Strings->Count()) {
                // Past the text end the block goes on in new lines.
                MoveRecorded(TPoint{Strings->LineLength(Y), Y});
                RecordInserted("\r", ufInner);
                InsertLineBreak();
            } else {
                // The next line at the block's column, so that every line of the
                // block starts at the same display column.
                MoveRecorded(TPoint{ColumnForDisplay(Y + 1, C), Y + 1});
            }
        }
    };
    const auto Lines = static_cast<std::int64_t>(List.size());
    const std::int64_t First = Cursor->Y;
    if (5 * Lines + 8 >= UndoList->Capacity())
        RecordLinesReplaced(First, std::min(First + Lines - 1, Strings->Count() - 1), Body);
    else
        Body();
    RecordBracket(ufClose);
    if (Stopped)
        TakeBackStep(Start);
    DesiredColumn = -1;
    UpdateDisplay(true);
}

}  // namespace narvo
