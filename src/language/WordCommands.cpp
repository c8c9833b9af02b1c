// Word and marker commands and `Z` (see WordCommands.h).
#include "language/WordCommands.h"

#include "language/AppState.h"
#include "language/StatusLine.h"

#include <algorithm>
#include <string_view>

namespace narvo {

namespace {

TPositionMarkers GMarkers;

TPoint ViewOrigin(const TEditorEngine& Pane) { return TPoint{Pane.ViewLeftColumn(), Pane.ViewTopLine()}; }

}  // namespace

// --- word rule ---------------------------------------------------------------------------------

bool WordRuleStarts(bool Shift) { return !NewWordStyle != Shift; }

void WordLeftCmd(TEditorEngine& Pane, bool Shift)
{
    Pane.ClearMarkBeforeMotion(true);
    Pane.WordLeft(WordRuleStarts(Shift));
}

void WordRightCmd(TEditorEngine& Pane, bool Shift)
{
    Pane.ClearMarkBeforeMotion(true);
    Pane.WordRight(WordRuleStarts(Shift));
}

void DeleteWordLeftCmd(TEditorEngine& Pane, bool Shift)
{
    Pane.ClearMark();
    Pane.DeleteWordLeft(WordRuleStarts(Shift));
}

void DeleteWordRightCmd(TEditorEngine& Pane, bool Shift)
{
    Pane.ClearMark();
    Pane.DeleteWordRight(WordRuleStarts(Shift));
}

// --- position markers ----------------------------------------------------------------------------

TPositionMarkers& PositionMarkers() { return GMarkers; }

void SwitchMarkerSlot() { GMarkers.Current = GMarkers.Current <= 0 ? 1 : 0; }

void DropMarker(TEditorEngine& Pane)
{
    TPositionMarker& M = GMarkers.Slots[static_cast<std::size_t>(GMarkers.Current)];
    const TPoint C = Pane.Cursor->Pos();
    const TPoint V = ViewOrigin(Pane);
    M = TPositionMarker{C.X, C.Y, V.X, V.Y};
    SwitchMarkerSlot();
}

void GoToMarker(TEditorEngine& Pane)
{
    SwitchMarkerSlot();
    const TPositionMarker& M = GMarkers.Slots[static_cast<std::size_t>(GMarkers.Current)];
    // A position the text no longer holds is not tried: the failed move would show
    // its own error first, and the first error is the one that stays.
    const TPoint P{M.CursorX, M.CursorY};
    if (!Pane.PosInText(P) || !Pane.GotoPos(P))
        ShowStatusMessage("Range?", true);
    if (!Pane.SetViewOrigin(TPoint{M.ViewLeft, M.ViewTop}))
        ShowStatusMessage("Scroll?", true);
    Pane.RequestRedraw(false);
}

void ResetMarkers() { GMarkers = TPositionMarkers{}; }

// --- `Z` ----------------------------------------------------------------------------------------------

void DeleteBackToFormFeedCmd(TEditorEngine& Pane)
{
    const TEditBuffer& B = *Pane.Strings;
    const TPoint C = Pane.ClampPos(Pane.Cursor->Pos());
    if (C.X == 0 && C.Y == 0)
        return;
    // The nearest form feed before the cursor, the character just left of it first.
    TPoint From{0, 0};
    for (std::int64_t Y = C.Y; Y >= 0; --Y) {
        const std::string_view L = B[Y];
        const std::size_t End = Y == C.Y ? static_cast<std::size_t>(C.X) : L.size();
        if (End == 0)
            continue;
        const std::size_t P = L.rfind('\f', End - 1);
        if (P != std::string::npos) {
            From = TPoint{static_cast<std::int64_t>(P), Y};
            break;
        }
    }
    const TRect R{From.X, From.Y, C.X, C.Y};
    Pane.ClearMark();
    // One record: undoing it inserts the text and returns the cursor to C. It is
    // made before the deletion and added after it, so that a deletion the memory
    // cannot make leaves no record behind.
    std::string Gone = Pane.GetRangeText(R);
    TCharCrs Crs = Pane.CharCrsIn(R);
    Pane.UndoList->ReserveOne();
    Pane.DeleteRange(R);
    Pane.UndoList->AddItemExact(ukInsert, std::move(Gone), ufSingle, C, std::move(Crs));
    Pane.DesiredColumn = -1;
    Pane.Status = edDone;
    Pane.UpdateDisplay(true);
}

}  // namespace narvo
