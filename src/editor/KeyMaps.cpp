// The keyboard modes of a stand-alone editor: the character maps of kmDefault (the
// desktop's usual control keys), kmNRV (the full control-key set) and kmNRVLite (a
// reduced set), kmNoMap (every character typed), the composite cut and copy keys,
// the quote-next key, and finding the marked word. ReadOnly stops what changes the
// text; motion, copying, searching, undo and redo go on.
#include "editor/ScrollEditor.h"

namespace narvo {

namespace {
constexpr unsigned char Ctrl(char Letter) { return static_cast<unsigned char>(Letter - '@'); }
constexpr unsigned char QuoteNextCode = 30;  // ^^
}  // namespace

void TScrollEditor::TypeKey(char Ch)
{
    if (!ReadOnly())
        TypeChar(Ch);
}

void TScrollEditor::DispatchKey(char Ch)
{
    const bool Shift = LiveModifiers().Shift;
    bool Taken = false;
    switch (FKeyMapping) {
    case kmNRV: Taken = MapNRVKey(Ch, Shift); break;
    case kmNRVLite: Taken = MapNRVLiteKey(Ch, Shift); break;
    case kmNoMap: break;
    default: Taken = MapDefaultKey(Ch, Shift); break;
    }
    if (!Taken)
        TypeKey(Ch);
}

void TScrollEditor::CutKey(bool Shift, bool LineMode)
{
    const bool Marked = HasMark();
    if (Marked)
        CopyMark();
    if (ReadOnly())
        return;
    if (Marked && HighLight->Found) {
        // What went to the clipboard is the match: deleting from the line start
        // instead would remove text that was not copied.
        ClearMark();
        UpdateDisplay(true, true);
        return;
    }
    if (!LineMode)
        DeleteMark();
    else if (Shift)
        DeleteToLineEnd();
    else
        DeleteToLineStart();
}

void TScrollEditor::CopyKey(bool DeleteWord)
{
    if (HasMark()) {
        CopyMark();
        return;
    }
    if (DeleteWord && !ReadOnly()) {
        ClearMark();
        DeleteWordLeft(true);
    }
}

bool TScrollEditor::MapDefaultKey(char Ch, bool Shift)
{
    switch (static_cast<unsigned char>(Ch)) {
    case Ctrl('A'): SelectAll(); return true;
    case Ctrl('C'): CopyKey(false); return true;
    case Ctrl('H'): if (!ReadOnly()) Backspace(); return true;
    case Ctrl('V'): if (!ReadOnly()) Paste(); return true;
    case Ctrl('X'): CutKey(Shift, false); return true;
    case Ctrl('Y'): Redo(); return true;
    case Ctrl('Z'): Undo(); return true;
    default: return false;
    }
}

bool TScrollEditor::MapNRVKey(char Ch, bool Shift)
{
    if (QuoteNextKey) {
        TypeKey(Ch);
        QuoteNextKey = false;
        return true;
    }
    switch (static_cast<unsigned char>(Ch)) {
    case Ctrl('A'): CursorRight(); return true;
    case Ctrl('B'): ClearMarkBeforeMotion(true); WordLeft(true); return true;
    case Ctrl('C'): CopyKey(true); return true;
    case Ctrl('D'): GotoBottom(); return true;
    case Ctrl('E'): GotoTop(); return true;
    case Ctrl('H'): if (!ReadOnly()) Backspace(); return true;
    case Ctrl('J'): PageDown(); return true;
    case Ctrl('K'): PageUp(); return true;
    case Ctrl('N'): ClearMarkBeforeMotion(true); WordRight(true); return true;
    case Ctrl('O'): Shift ? Redo() : Undo(); return true;
    case Ctrl('Q'): CursorLeft(); return true;
    case Ctrl('S'): NextLineStart(); return true;
    case Ctrl('T'): SetShowAll(!ShowAll()); return true;
    case Ctrl('U'): if (!ReadOnly()) IndentLikePrevious(); return true;
    case Ctrl('V'): if (!ReadOnly()) Paste(); return true;
    case Ctrl('W'): LineStart(); return true;
    case Ctrl('X'): CutKey(Shift, true); return true;
    case Ctrl('Z'): ToggleCase(); return true;
    case QuoteNextCode: QuoteNextKey = true; return true;
    default: return false;
    }
}

bool TScrollEditor::MapNRVLiteKey(char Ch, bool Shift)
{
    if (QuoteNextKey) {
        TypeKey(Ch);
        QuoteNextKey = false;
        return true;
    }
    switch (static_cast<unsigned char>(Ch)) {
    case Ctrl('C'): CopyKey(true); return true;
    case Ctrl('H'): if (!ReadOnly()) Backspace(); return true;
    case Ctrl('O'): Shift ? Redo() : Undo(); return true;
    case Ctrl('V'): if (!ReadOnly()) Paste(); return true;
    case Ctrl('X'): CutKey(Shift, true); return true;
    case QuoteNextCode: QuoteNextKey = true; return true;
    default: return false;
    }
}

std::string TScrollEditor::GetMarkOrWord()
{
    if (!HasMark())
        MarkWordAtCursor();
    return GetMarkedText();
}

void TScrollEditor::FindMark(bool Forward)
{
    const std::string Pattern = GetMarkOrWord();
    const TPoint Before = Cursor->Pos();
    const TRect R = NormalizeRange(HighLight->Range());
    UndoList->SetLastPos(Before);
    Cursor->SetPos(Forward ? TPoint{R.Right, R.Bottom} : TPoint{R.Left, R.Top});
    UndoList->AddMoveIfMoved(Cursor->Pos());
    Searcher->IgnoreCase = true;
    Searcher->WholeWord = true;
    if (Forward)
        FindNext(Pattern);
    else
        FindPrevious(Pattern);
}

void TScrollEditor::FindMarkBackward() { FindMark(false); }
void TScrollEditor::FindMarkForward() { FindMark(true); }

}  // namespace narvo
