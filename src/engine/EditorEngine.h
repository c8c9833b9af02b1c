// The text model of one editor pane without a display: the buffer, cursor,
// highlight, undo rings and searcher, and the routines that read and change them by
// position. The widget (TScrollEditor) derives from this class and answers its few
// questions about the outside through the virtual hooks below; tests use a fake.
//
// The member functions are implemented by concern: EditorEngine.cpp (construction,
// hooks, undo execution), Positions.cpp (positions, offsets, character access),
// RawOperations.cpp (raw reads, deletions and insertions).
#pragma once

#include "engine/EditBuffer.h"
#include "engine/EditTypes.h"
#include "engine/LineSearcher.h"
#include "engine/UndoRing.h"
#include "shared/Geometry.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace narvo {

class TEditorEngine {
public:
    TEditorEngine();
    virtual ~TEditorEngine();
    TEditorEngine(const TEditorEngine&) = delete;
    TEditorEngine& operator=(const TEditorEngine&) = delete;

    // The parts of the pane. They are held by shared pointers so that a second pane
    // can use the same objects as the main pane.
    std::shared_ptr<TEditBuffer> Strings;
    std::shared_ptr<TCursorObject> Cursor;
    std::shared_ptr<THighLight> HighLight;
    std::shared_ptr<TUndoControl> UndoList;
    std::shared_ptr<TUndoControl> RedoList;
    std::shared_ptr<TListSearcher> Searcher;

    // Set once this pane uses another pane's parts (ShareBuffer).
    bool Shared = false;
    // From now on this pane shows and edits Source's lines with Source's cursor,
    // highlight, rings and searcher. Source keeps executing the undo records and
    // receiving the buffer's change notification, so it must outlive this pane.
    void ShareBuffer(TEditorEngine& Source);

    TEditStatus Status = edDone;
    TEditorStyle EditorStyle = esMultiLine;
    bool Modified = false;
    // Grows with every change of the lines; read by the status thread.
    std::atomic<std::int64_t> ChangeCount{0};

    std::function<void()> OnChange;
    std::function<void(TScoopCommand Command, TRect Range)> OnScoopEvent;

    // --- hooks the widget fills ------------------------------------------------
    // Relayout (when asked) and repaint. Nothing without a display.
    virtual void RequestRedraw(bool Relayout) {}
    // Whole lines the pane shows.
    virtual std::int64_t VisibleLines() const { return 25; }
    // Modifier keys held now.
    virtual TShiftState LiveModifiers() const { return {}; }
    // Fires OnChange.
    virtual void DoChange();

    // --- state -----------------------------------------------------------------
    void SetModified(bool Value);
    // One empty line, cursor at (0, 0), no mark, both rings empty, a new text's
    // encoding and line ends.
    void ResetText();
    // ResetText, then redraw and OnChange.
    void Clear();
    void ClearMark();
    // Relayout, repaint and (when FireChange) OnChange.
    void UpdateDisplay(bool FireChange = true);
    void ScoopFire(TScoopCommand Command, TRect Range);

    // --- positions and ranges (Positions.cpp) -----------------------------------
    static int ComparePos(TPoint A, TPoint B);
    static bool PosAfter(TPoint A, TPoint B);
    static TRect NormalizeRange(TRect R);
    // P moved onto the text: the line into 0..Count-1, the column into 0..length.
    TPoint ClampPos(TPoint P) const;
    // R ordered and both ends moved onto the text.
    TRect ClampRange(TRect R) const;
    bool AtStart() const;
    bool AtEnd() const;
    bool AtLineEnd() const;
    bool NextPos(TPoint& P) const;
    bool PrevPos(TPoint& P) const;
    bool MovePos(TPoint& P, std::int64_t N) const;
    TPoint NextPosOf(TPoint P) const;
    TPoint PrevPosOf(TPoint P) const;
    TPoint LineStartBefore(TPoint P) const;

    // Offsets. PosToOffset counts a line end as 2 characters, CharsAfterPos and
    // OffsetToPos as 1. The two offset queries may be called from another thread:
    // they answer -1 while the buffer is changing.
    std::int64_t PosToOffset(TPoint P) const;
    std::int64_t CharsAfterPos(TPoint P) const;
    std::int64_t CursorOffset() const;
    std::int64_t CharsAfterCursor() const;
    void OffsetToPos(std::int64_t N, TPoint& P) const;
    std::int64_t RangeLength(TRect R) const;
    std::int64_t StreamLength(TRect R) const;
    std::int64_t BlockLength(TRect R) const;
    std::int64_t MarkedLength() const;

    // Character access; a line end reads as CR.
    bool CharBefore(TPoint P, char& C) const;
    bool CharAfter(TPoint P, char& C) const;
    char CharAtCursor() const;
    char CharBeforeCursor() const;
    bool GetChars(bool Backward, std::int64_t N, std::string& S) const;
    bool GetCharsBackward(std::int64_t N, std::string& S) const;
    bool GetCharsForward(std::int64_t N, std::string& S) const;
    std::string GetCurrentLine() const;

    static std::string LeadingWhite(const std::string& S);
    static bool ToggleCaseString(std::string& S);

    // --- raw reads (RawOperations.cpp) ------------------------------------------
    std::string GetRangeText(TRect R) const;
    std::string JoinLineRange(std::int64_t First, std::int64_t Last, bool WithLF) const;
    // The highlighted stream text. Column blocks are read by the editing operations.
    std::string GetMarkedText() const;
    void GetCharsAroundRange(TRect R, char& Before, char& After) const;
    std::string TextLeftOfCursor() const;
    std::string TextRightOfCursor(bool WithLineEnd) const;

    // --- raw changes: no undo records, no redraw --------------------------------
    void JoinWithNext(std::int64_t Y);
    bool DeleteCharBefore();
    bool DeleteCharAt();
    bool DeleteBackward(std::int64_t N);
    bool DeleteForward(std::int64_t N);
    bool DeleteChars(bool Backward, std::int64_t N);
    bool DeleteToLineStartRaw();
    bool DeleteToLineEndRaw();
    void ClearCursorLine();
    void DeleteLines(std::int64_t First, std::int64_t Last);
    void DeleteRange(TRect R);
    void DeleteMarkNoUndo();
    static void FillChars(std::string& S, std::int64_t First, std::int64_t Last, char C);

    void InsertAtCursor(const std::string& S);
    void SplitLine();
    void InsertLineBreak();
    void InsertChar(char Ch);
    void InsertTextRaw(const std::string& Text, bool KeepBreaks);
    void InsertTextNoUndo(const std::string& Text) { InsertTextRaw(Text, false); }
    void InsertTextKeepCursor(const std::string& Text);

    // --- undo and redo (EditorEngine.cpp) ----------------------------------------
    void Undo();
    void Redo();
    // Executes one record taken from a ring and pushes its inverse onto the other.
    void ExecuteUndoItem(TUndoItem& Item, bool Last, bool FromUndoRing);

private:
    // The cursor moved onto its line (a column-block cursor may stand past the end).
    void ClampCursor();
};

}  // namespace narvo
