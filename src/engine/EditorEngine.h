// The text model of one editor pane without a display: the buffer, cursor,
// highlight, undo rings and searcher, and the routines that read and change them by
// position. The widget (TScrollEditor) derives from this class and answers its few
// questions about the outside through the virtual hooks below; tests use a fake.
//
// The member functions are implemented by concern: EditorEngine.cpp (construction,
// hooks, undo execution), Positions.cpp (positions, offsets, character access),
// RawOperations.cpp (raw reads, deletions and insertions), and the files named in
// the section on motion, editing and text files below.
#pragma once

#include "engine/ChangedSpan.h"
#include "engine/EditBuffer.h"
#include "engine/EditTypes.h"
#include "engine/LineSearcher.h"
#include "engine/UndoRing.h"
#include "shared/CodePage.h"
#include "shared/Geometry.h"

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace narvo {

struct TFileBlock;

// One line's part of a column block, as ReplaceBlockParts hands it over.
struct TBlockPart {
    std::int64_t Index = 0;    // the block's line, from 0
    std::string_view Text;     // the line's characters inside the block
    std::int64_t Column = 0;   // the display column Text starts at
    bool AtLineEnd = false;    // nothing of the line follows Text
};

// How the CR and LF characters of an inserted text are read.
enum class TInsertBreaks : std::uint8_t {
    Any,     // CR, LF and CR LF each end a line
    Kept,    // both stay characters of their line
    CrOnly,  // a CR ends a line, an LF is a character of its line: text as a pane holds it
};

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
    // Points every callback of the parts back at this pane, or at nothing: a pane that
    // goes while another still uses its parts hands them over to that one.
    void HookParts();
    void UnhookParts();

    TEditStatus Status = edDone;
    TEditorStyle EditorStyle = esMultiLine;
    bool Modified = false;
    // Grows with every change of the lines; read by the status thread.
    std::atomic<std::int64_t> ChangeCount{0};

    std::function<void()> OnChange;
    std::function<void(TScoopCommand Command, TRect Range)> OnScoopEvent;
    // Called between the pieces of a long operation (inserting a huge text) while it
    // is set; answering true ends the operation there: what was done stays, and
    // undoes with the rest of its group. A command-line run sets it, so that
    // Ctrl+Break is seen inside one long command.
    std::function<bool()> OnLongOperation;
    // The piece of a long insertion between two calls of OnLongOperation.
    static constexpr std::size_t LongOperationPiece = 4 << 20;

    // --- hooks the widget fills ------------------------------------------------
    // Relayout (when asked) and repaint. Nothing without a display.
    virtual void RequestRedraw(bool Relayout) {}
    // Whole lines the pane shows.
    virtual std::int64_t VisibleLines() const { return 25; }
    // Modifier keys held now.
    virtual TShiftState LiveModifiers() const { return {}; }
    // Fires OnChange.
    virtual void DoChange();
    // The first line the pane shows, and a request to show line N first (a search
    // keeps the cursor on its screen row). Nothing without a display.
    virtual std::int64_t ViewTopLine() const { return 0; }
    virtual void SetViewTopLine(std::int64_t) {}
    // The first visible column and line together; setting them answers false (and
    // changes nothing) when the line is not in the text or the column is negative.
    virtual std::int64_t ViewLeftColumn() const { return 0; }
    virtual bool SetViewOrigin(TPoint P);
    // The redraw after FindNext: relayout and OnChange, the view following the
    // cursor column by column.
    virtual void RedrawFound() { UpdateDisplay(true); }
    // The code page in which text from other programs is pasted (the pane's font).
    virtual TCodePage PasteCodePage() const { return TCodePage::Ansi; }

    // --- state -----------------------------------------------------------------
    void SetModified(bool Value);
    // One empty line, cursor and view at (0, 0), no mark, both rings empty, a new
    // text's encoding and line ends.
    void ResetText();
    // ResetText, then redraw and OnChange.
    void Clear();
    void ClearMark();
    // The highlight becomes the stream range Start..End, a search match when Found.
    // Every stream highlight is set here: a column-block mode left by a lone Alt+click
    // or an earlier block ends, so that what acts on the highlight next takes this
    // range and not a rectangle around it.
    void SetStreamHighlight(TPoint Start, TPoint End, bool Found = false);
    // Relayout, repaint and (when FireChange) OnChange.
    void UpdateDisplay(bool FireChange = true);
    void ScoopFire(TScoopCommand Command, TRect Range);

    // --- positions and ranges (Positions.cpp) -----------------------------------
    static int ComparePos(TPoint A, TPoint B);
    static bool PosAfter(TPoint A, TPoint B);
    static TRect NormalizeRange(TRect R);
    // P moved onto the text: the line into 0..Count-1, the column into 0..length.
    TPoint ClampPos(TPoint P) const;
    // Whether P lies on the text (a column up to its line's end).
    bool PosInText(TPoint P) const { return ClampPos(P) == P; }
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
    // The CRs inside the lines of R (characters, not line ends) by their offsets in
    // GetRangeText(R).
    TCharCrs CharCrsIn(TRect R) const;
    std::string JoinLineRange(std::int64_t First, std::int64_t Last, bool WithLF) const;
    // The highlighted text: a stream joined by CR, a column block's lines each
    // followed by CR LF.
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
    // Inserts text as a pane holds it (and as undo records keep it): its CRs are line
    // ends, but for those Crs names, and its LFs are plain characters.
    void InsertRecordText(const std::string& Text, bool KeepCursor, const TCharCrs& Crs);
    void InsertTextKeepCursor(const std::string& Text);

    // --- undo and redo (EditorEngine.cpp) ----------------------------------------
    void Undo();
    void Redo();
    // Executes one record taken from a ring and pushes its inverse onto the other.
    void ExecuteUndoItem(TUndoItem& Item, bool Last, bool FromUndoRing);
    // Takes back the changes recorded since the undo ring's Mark() answered Mark,
    // newest first, and drops their records; false, with nothing done, when some of
    // them are no longer on the ring (or the open group outgrew it).
    bool TakeBackTo(std::int64_t Mark);
    // Where a step that may be taken back began: the ring's mark and what the pane
    // showed then, put back with the text.
    struct TStepStart {
        std::int64_t Mark = 0;
        THighLight HighLight;
        TPoint Cursor;
        bool ColumnBlock = false;
        bool Modified = false;
    };
    TStepStart StepStart() const { return {UndoList->Mark(), *HighLight, Cursor->Pos(), Cursor->ColumnBlock, Modified}; }
    // Takes back what the step did since Start (TakeBackTo) and puts back the
    // highlight, cursor and modified flag; false, with nothing done, as TakeBackTo.
    bool TakeBackStep(const TStepStart& Start);
    // The last group of Ring, executed onto Other whole or not at all; a failure
    // (the memory ran out) passes on with the text and the cursor as they were.
    bool ExecuteGroupWhole(TUndoControl& Ring, TUndoControl& Other);

    // =============================================================================
    // Cursor motion, editing commands and text files. Implemented in MarkAndScoop.cpp
    // (highlight anchor, scoop, display columns), Motions.cpp, EditOperations.cpp,
    // ColumnBlocks.cpp and TextFiles.cpp.
    // =============================================================================

    // --- editing state -------------------------------------------------------------
    bool Overwrite = false;
    // A trailing Ctrl+Z (0x1A) is dropped on loading and one is written on saving.
    bool CtrlZMode = false;
    // The name given to the last successful LoadFromFile or SaveToFile; emptied by
    // ResetText.
    std::string FileName;
    // The display column that up and down moves keep; -1: take it from the cursor.
    std::int64_t DesiredColumn = -1;
    TPoint AnchorPos;   // the cursor before the latest motion or mouse press
    TPoint MarkAnchor;  // the fixed end of a highlight being extended
    bool Anchored = false;
    bool MarkingMode = false;

    // Lines longer than this are shown and mapped without tab expansion.
    static constexpr std::int64_t MaxExpandedLine = 2048;

    // Properties the widget publishes; its accessors of the same names take over.
    virtual int SpacesPerTab() const { return 8; }
    virtual bool ShowAll() const { return false; }
    virtual bool ReadOnly() const { return false; }

    // --- highlight anchor and scoop (MarkAndScoop.cpp) -------------------------------
    virtual bool HasMark() const { return !HighLight->Empty(); }
    // The highlight spans the anchor and the cursor; Alt (outside marking mode)
    // makes it a column block.
    virtual void ExtendMark();
    // After a motion: extend with Shift held (when ShiftMarks) or in marking mode,
    // else clear.
    virtual void ExtendOrClearMark(bool ShiftMarks);
    // Whether a motion made now extends the highlight rather than clearing it.
    bool MotionExtends(bool ShiftMarks) const { return (ShiftMarks && LiveModifiers().Shift) || MarkingMode; }
    // The clear that goes before a word move: a move that is going to extend the
    // highlight keeps it and its fixed end (Shift+Ctrl+Right grows the highlight
    // from where Shift+Right began it); any other move starts without one.
    void ClearMarkBeforeMotion(bool ShiftMarks);
    // Both ends of the highlight moved onto the text.
    void ClampHighlight();
    // The scoop start is one position for the whole program.
    static void ScoopSave(TPoint P);
    static TPoint ScoopStart() { return FScoopStart; }
    // scmForward or scmBackward with (saved start, P) when P differs from the start.
    void ScoopFire(TPoint P);
    void ScoopStop();

    // The column at which the character at P is shown once tabs are expanded (X
    // itself past the line end when permitted, else 0 there).
    virtual std::int64_t DisplayColumn(TPoint P, bool PermitPastEnd) const;
    // The column of line Y reached by stepping right from column 0 while the shown
    // column is below D; a shorter line gives its end.
    std::int64_t ColumnForDisplay(std::int64_t Y, std::int64_t D) const;

    // --- cursor motion (Motions.cpp) ---------------------------------------------------
    // Each leaves its outcome in Status; a move that stops part-way at the text start
    // or end leaves the failure status where it stopped.
    void CursorRight();
    void CursorLeft();
    // ShiftMarks false: Shift held does not extend the highlight (a control key
    // that reads Shift as its word-rule switch).
    void WordRight(bool Starts) { WordRight(Starts, true); }
    void WordLeft(bool Starts) { WordLeft(Starts, true); }
    void WordRight(bool Starts, bool ShiftMarks);
    void WordLeft(bool Starts, bool ShiftMarks);
    void CursorDown();
    void CursorUp();
    void LineStart();
    void NextLineStart();
    void PageDown();
    void PageUp();
    void GotoTop();
    void GotoBottom();
    bool GotoLine(std::int64_t N);
    bool GotoPos(TPoint P);
    void GotoOffset(std::int64_t N);
    // Where the word moves would take P (no state changes); false when the move
    // could not be made in full (P then holds where it stopped).
    bool WordRightPos(TPoint& P, bool Starts) const;
    bool WordLeftPos(TPoint& P, bool Starts) const;

    // --- editing commands (EditOperations.cpp, ColumnBlocks.cpp) ------------------------
    void TypeChar(char Ch);
    void InsertText(const std::string& Text) { InsertTextEx(Text, true, false); }
    // Text with CR, LF or CR LF line breaks; with KeepBreaks they go into the line as
    // characters.
    void InsertTextEx(const std::string& Text, bool FireChange, bool KeepBreaks)
    {
        InsertTextEx(Text, FireChange, KeepBreaks ? TInsertBreaks::Kept : TInsertBreaks::Any);
    }
    void InsertTextEx(const std::string& Text, bool FireChange, TInsertBreaks Breaks);
    // InsertText for a step that replaces the highlight by what it made of it (a
    // remargin, a transform): a huge text broken off between its pieces by
    // OnLongOperation is taken back whole, the text, cursor and highlight as they
    // were and no record left; false then.
    bool InsertTextWhole(const std::string& Text);
    // The same for a text made piece by piece as it goes in, so that a huge one is
    // never held whole beside its lines and its undo record: Next appends the next
    // piece of about Most bytes (or more) and answers false after the last;
    // Broken, asked after every piece, ends the step, which is then taken back
    // whole (false). Line breaks are CR, LF or CR LF, never split between pieces.
    bool InsertPiecesWhole(const std::function<bool(std::string& Piece, std::size_t Most)>& Next,
                           const std::function<bool()>& Broken);
    // Runs OnLongOperation between a step's pieces: true when it asks the step to
    // stop. When the look let another change of the text in (a key typed), the step
    // can no longer be taken back alone: false, and Looks turns off for the rest.
    bool LookLetNothingIn(bool& Looks);
    // Whether a step broken off part-way can be taken back (its records are kept).
    bool StepsCanBeTakenBack() const { return !FSuppressUndo && !UndoList->Keeping(); }
    // Lines of Text one below another at the cursor's display column.
    void InsertColumnBlock(const std::string& Text);
    void InsertColumnLines(std::span<const std::string_view> List);
    // Deletes the mark; in overwrite mode (or with Whole) replaces as many characters
    // after the cursor as Text has; inserts Text. Records inside the caller's group.
    void InsertOverwriting(const std::string& Text, bool Whole);
    void Backspace();
    void DeleteChar();
    bool DeleteMark() { return DeleteMarkedBlock(true); }
    bool DeleteMarkedBlock(bool OwnGroup);
    void DeleteToLineStart();
    void DeleteToLineEnd();
    void DeleteWordLeft(bool Starts);
    void DeleteWordRight(bool Starts);
    // Column block Rect: with Fill every character in its columns becomes Ch, else
    // those characters are removed.
    void FillBlock(TRect Rect, char Ch, bool Fill);
    // The block's characters of each line, each line followed by CR LF.
    std::string GetBlockText(TRect Rect) const;
    // The block's characters of each of its lines on the text, one entry a line
    // (empty where the line has none in the block).
    std::vector<std::string> GetBlockParts(TRect Rect) const;
    // Every line's part of column block R replaced in place by Transform(part), as one
    // undo step; lines with no character in the block are left alone, and a line
    // break in a new part becomes a blank. The highlight then covers the same
    // characters when every part kept its length, else the new parts from the
    // block's left edge to the end of the widest. False (and no undo step) when
    // nothing changed.
    bool ReplaceBlockParts(TRect R, const std::function<std::string(const TBlockPart&)>& Transform);
    std::string CutMarkedText();
    void ReplaceCurrentLine(const std::string& Text);
    void IndentLikePrevious();
    void ToggleCase();

    // --- clipboard and search (ClipboardSearch.cpp) --------------------------------------
    // The clipboard is ClipboardAccess() (engine/ClipboardAccess.h).
    // The marked text as clipboard text (lines ended CR LF); mark and cursor stay.
    void CopyMark();
    // The marked text as text and as HTML paragraphs; CutMarkHtml then removes it.
    void CutMarkHtml();
    void CopyMarkHtml();
    // Inserts the clipboard text; with Alt held now, as a column block.
    void Paste();
    // Highlight (marked found) the next match starting at or after the cursor, or
    // the previous one before it; the cursor goes to the match's end.
    bool FindNext(const std::string& Pattern);
    bool FindPrevious(const std::string& Pattern);
    // Searches only: no cursor, highlight or status change. From is a search
    // position (it reads the character before the ordinary position From).
    bool SearchForwardFrom(const std::string& Pattern, TPoint From, TRect& Range);
    // From is first moved back by the pattern's length, so that a match ending at
    // From is passed over.
    bool SearchBackwardFrom(const std::string& Pattern, TPoint From, TRect& Range);
    // Marks the whole text as a stream block.
    void SelectAll();

    // --- text files (TextFiles.cpp) -------------------------------------------------------
    // Reads the whole file first; on failure throws EFileError and changes nothing.
    void LoadFromFile(const std::string& Name);
    // Writes a temporary file beside the target and renames it into place; throws
    // EFileError on failure (the file on disk unchanged) and ELossyText for a text
    // that cannot be written back as it came (UTF-16 characters read as '?', line
    // ends that differ from the usual one), unless AllowLossy.
    void SaveToFile(const std::string& Name, bool AllowLossy = false);
    // Which bytes FileBytes gives.
    enum class TFileBytes {
        // What SaveToFile writes; ELossyText for a text that would not be written
        // back as it came (see SaveToFile).
        Save,
        // What SaveToFile writes once the user agreed to those changes: one line end
        // throughout, characters a UTF-16 file could not hold as '?'.
        SaveAgreed,
        // A draft, which nobody agreed to change anything: the encoding and Ctrl+Z
        // rule of a save, and every line end as the text was read where it still
        // lies between the same lines (GetFileBytes with AsRead); '?' as shown.
        Draft,
    };
    // The one routine that turns the text into the bytes written to disk, for saves,
    // the emergency file, auto-saves and drafts alike.
    std::string FileBytes(TFileBytes How = TFileBytes::Save) const;
    // The same bytes handed to Put in pieces of at most 1 MiB, made from the lines as
    // they go: no copy of the text and nothing per line is held, so a large text is
    // written while little memory is left (under a limit shared with other programs
    // it may not be there). ELossyText (as FileBytes) comes before any piece.
    void PutFileBytes(TFileBytes How, const std::function<void(std::string_view)>& Put) const;
    // Throws the ELossyText those would throw for How; nothing else.
    void CheckFileBytes(TFileBytes How) const;
    // Replaces the whole text as loading does: reset, decode, Ctrl+Z rule, redraw.
    void SetText(std::string_view Bytes);
    // SetText keeping Bytes itself as the block the lines view (no copy).
    void AdoptText(std::string&& Bytes);
    void AdoptText(TFileBlock&& Bytes);
    // The same for a text already cut into lines, perhaps on another thread while
    // this engine was busy elsewhere: Prepared is left an empty text.
    void AdoptText(TEditBuffer& Prepared);
    // The whole text with the line end it came with, none after the last line.
    std::string GetText() const { return Strings->GetTextStr(); }

private:
    // The cursor moved onto its line (a column-block cursor may stand past the end).
    void ClampCursor();

    // Undo records at the cursor. Inserted text is stored with its line breaks as
    // CR; text taken from the lines is stored as it stands. Nothing is recorded
    // while FSuppressUndo is set (a large change recorded as a whole).
    void RecordInserted(const std::string& Text, std::uint8_t Flag);
    void RecordExact(std::uint8_t Kind, std::string Text, std::uint8_t Flag, TCharCrs Crs = {});
    // Text out of one line, each CR in it a character of the line; read only when
    // recording.
    void RecordLineText(std::uint8_t Kind, std::string_view Text, std::uint8_t Flag);
    void RecordBracket(std::uint8_t Flag);
    // A cursor-move record, then the cursor goes to P.
    void MoveRecorded(TPoint P, std::uint8_t Flag = 1);

    // The view's first line put so that the cursor stands on screen row Row (as far
    // as the text's start allows).
    void KeepCursorRow(std::int64_t Row);

    // Motion frame around Move, which changes the cursor and answers success.
    template <class F>
    void RunMotion(F&& Move, bool KeepColumn, TEditStatus FailStatus, bool ShiftMarks = true);

    // Runs Change, which replaces lines First..LastOld (and may add lines after
    // them) without records, and records it as one replacement of those lines.
    // When the memory runs out on the way the old lines are put back (or, when not
    // even that fits, left empty with records that give them back) and the failure
    // goes on to the caller.
    template <class F>
    void RecordLinesReplaced(std::int64_t First, std::int64_t LastOld, F&& Change);
    // Line Y replaced by New, recorded as one line taken out and New put in.
    void ReplaceLineRecorded(std::int64_t Y, std::string New);
    // Rewrites the characters of column block R on each of its lines by Transform
    // (recorded line by line, or as a whole when the group would not fit the ring).
    // Answers whether Transform reported a change of any character.
    template <class F>
    bool TransformBlock(TRect R, F&& Transform);  // Transform(Y, Line, From, To)
    // FillBlock with its own group brackets, or inside the caller's group.
    void FillBlockIn(TRect Rect, char Ch, bool Fill, bool OwnGroup);
    // The case of every letter in column block R swapped in place; false when the
    // block held no letter.
    bool ToggleBlockCase(TRect R);
    // The display columns a column block covers.
    void BlockColumns(TRect R, std::int64_t& Left, std::int64_t& Right) const;
    // The first and one-past-last character of line Y inside display columns L..R.
    void BlockRun(std::int64_t Y, std::int64_t L, std::int64_t R, std::int64_t& From, std::int64_t& To) const;

    inline static TPoint FScoopStart;
    bool FSuppressUndo = false;
    // The lines the open undo group has changed, so that a group too large for the
    // ring is kept whole (EditorEngine.cpp).
    TChangedSpan FSpan;
    // The records that take the kept group back in one step; none when its old
    // text does not fit in the memory.
    std::vector<TUndoItem> KeptGroupRecords();
    // A text put in whole with the rings emptied: an open group starts from it.
    void SpanFromNewText();
    // InsertTextEx with Whole: a broken-off insertion is taken back; false then.
    bool InsertPieces(const std::string& Text, bool FireChange, TInsertBreaks Breaks, bool Whole);
    // The undo ring's mark after a text record whose change is still to come (-1:
    // none). Every raw change of the lines is strong: when it fails (the memory ran
    // out) the lines are as they were, and this record goes too, so that undo never
    // takes back what was not done.
    std::int64_t FRecordPending = -1;
    void NoteRecordPending();
    class TRawChange {
    public:
        // Only a change with a record pending has anything to take back.
        explicit TRawChange(TEditorEngine& E)
            : FEngine(E), FExceptions(E.FRecordPending >= 0 ? std::uncaught_exceptions() : -1)
        {
        }
        ~TRawChange();
        TRawChange(const TRawChange&) = delete;
        TRawChange& operator=(const TRawChange&) = delete;

    private:
        TEditorEngine& FEngine;
        int FExceptions;
    };
};

}  // namespace narvo
