// Small commands bound to keys, tool-bar buttons and command letters: word moves
// and word deletes under the switchable word rule, the two alternating position
// markers that remember a place and its view (F9 drops, F10 goes), and `Z`, which
// deletes back to the previous form feed in one undo step.
// All act on the pane given (the active pane), so they run headless.
#pragma once

#include "engine/EditorEngine.h"

#include <array>
#include <cstdint>

namespace narvo {

// --- word rule ---------------------------------------------------------------------------
// True: moves go to word starts; false: to word ends. NewWordStyle chooses the
// default, and Shift held (for the control keys) picks the other rule.
bool WordRuleStarts(bool Shift);

// Each clears the highlight first, except that a move made with Shift held (or in
// marking mode) grows it from its anchor; the outcome (edAtStart, edAtEnd) is in
// Status.
void WordLeftCmd(TEditorEngine& Pane, bool Shift);
void WordRightCmd(TEditorEngine& Pane, bool Shift);
void DeleteWordLeftCmd(TEditorEngine& Pane, bool Shift);
void DeleteWordRightCmd(TEditorEngine& Pane, bool Shift);

// --- position markers ------------------------------------------------------------------------
struct TPositionMarker {
    std::int64_t CursorX = 0;
    std::int64_t CursorY = 0;
    std::int64_t ViewLeft = 0;  // the first visible column
    std::int64_t ViewTop = 0;   // the first visible line
};

struct TPositionMarkers {
    std::array<TPositionMarker, 2> Slots{};
    int Current = 0;
};

// The run's two markers (user-interface thread only).
TPositionMarkers& PositionMarkers();

// Slot 1 when the slot is 0 (or less), else slot 0.
void SwitchMarkerSlot();
// The current slot remembers the cursor and the view; then the other slot is current.
void DropMarker(TEditorEngine& Pane);
// The other slot becomes current, and the cursor and the view go where it remembers:
// "Range?" when its position is not in the text (the cursor stays), "Scroll?" when
// its first line is not (the first of the two errors stays).
void GoToMarker(TEditorEngine& Pane);
// Both markers back to the text start with the view at the top, slot 0 current (a
// new document), so going to one never names a line the new text lacks.
void ResetMarkers();

// --- `Z` -------------------------------------------------------------------------------------------
// Deletes from the nearest form feed before the cursor (the form feed included; the
// character just left of the cursor counts), or from the text start, to the cursor,
// as one undo record that puts the text and the cursor back. Nothing at the start.
void DeleteBackToFormFeedCmd(TEditorEngine& Pane);

}  // namespace narvo
