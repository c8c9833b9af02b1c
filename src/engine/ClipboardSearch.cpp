// Exchanging text with the clipboard (copy, cut, copy as HTML, paste as a stream
// or as a column block) and finding a pattern forward and backward through the
// pane's searcher, the match shown as a highlight marked found, which editing
// clears instead of deleting.
#include "engine/EditorEngine.h"

#include "engine/ClipboardAccess.h"
#include "engine/LineBreakText.h"
#include "shared/HtmlClipboard.h"

namespace narvo {

namespace {

// A column block's text already ends each line with CR LF; a stream's CRs are its
// line ends, each given its LF, so that an LF of a line's own comes back as itself.
std::string ClipboardTextOf(const std::string& Marked, bool Column)
{
    return Column ? CrToCrLf(Marked) : StreamToCrLf(Marked);
}

}  // namespace

void TEditorEngine::CopyMark() { ClipboardAccess().SetText(ClipboardTextOf(GetMarkedText(), Cursor->ColumnBlock)); }

void TEditorEngine::CopyMarkHtml()
{
    const std::string T = ClipboardTextOf(GetMarkedText(), Cursor->ColumnBlock);
    ClipboardAccess().SetHtml(TextToHtmlParagraphs(T), T);
}

void TEditorEngine::CutMarkHtml()
{
    ScoopStop();
    const bool Column = Cursor->ColumnBlock;
    const std::string T = ClipboardTextOf(CutMarkedText(), Column);
    ClipboardAccess().SetHtml(TextToHtmlParagraphs(T), T);
}

void TEditorEngine::Paste()
{
    ScoopStop();
    // Clipboard text ends its lines with CR LF or CR (the platform turns another
    // program's lone LF into CR LF), so a lone LF there is a character of its line,
    // as the pane it was copied from held it.
    const std::string Text = ClipboardAccess().GetText(PasteCodePage());
    if (LiveModifiers().Alt)
        InsertColumnBlock(StripLineFeeds(Text));
    else
        InsertTextEx(CrLfToCr(Text), true, TInsertBreaks::CrOnly);
}

bool TEditorEngine::SearchForwardFrom(const std::string& Pattern, TPoint From, TRect& Range)
{
    return Searcher->SearchForward(Pattern, From, Range);
}

bool TEditorEngine::SearchBackwardFrom(const std::string& Pattern, TPoint From, TRect& Range)
{
    From = ClampPos(From);
    MovePos(From, -static_cast<std::int64_t>(Pattern.size()));
    return Searcher->SearchBackward(Pattern, From, Range);
}

namespace {

// The cursor goes to the end of the match R, which becomes the found highlight;
// the view keeps the cursor on its screen row when it can.
struct TFoundMove {
    TEditorEngine& E;

    void Run(const TRect& R) const
    {
        const TPoint Old = E.Cursor->Pos();
        E.ScoopSave(Old);
        E.UndoList->AddItem(ukMove, {}, ufSingle, Old);
        E.SetStreamHighlight(TPoint{R.Left, R.Top}, TPoint{R.Right, R.Bottom}, true);
        const std::int64_t Row = Old.Y - E.ViewTopLine();
        E.Cursor->SetPos(TPoint{R.Right, R.Bottom});
        E.DesiredColumn = -1;
        const std::int64_t Top = R.Bottom - Row;
        if (Top >= 0)
            E.SetViewTopLine(Top);
        E.ScoopFire(E.Cursor->Pos());
        E.Status = edDone;
    }
};

}  // namespace

bool TEditorEngine::FindNext(const std::string& Pattern)
{
    Status = edNotFound;
    TPoint Start = ClampPos(Cursor->Pos());
    TRect R;
    // As a search position the place after the cursor reads the character at the
    // cursor, so a match beginning there is found. At the text end there is none.
    const bool Found = NextPos(Start) && Searcher->SearchForward(Pattern, Start, R);
    if (Found)
        TFoundMove{*this}.Run(R);
    RedrawFound();
    return Found;
}

bool TEditorEngine::FindPrevious(const std::string& Pattern)
{
    Status = edNotFound;
    TRect R;
    const bool Found = SearchBackwardFrom(Pattern, Cursor->Pos(), R);
    if (Found)
        TFoundMove{*this}.Run(R);
    UpdateDisplay(true);
    return Found;
}

void TEditorEngine::SelectAll()
{
    // A stream block of the whole text: a found highlight or a column block left
    // over would make Delete and Cut spare the text or cut a rectangle instead.
    const std::int64_t Last = Strings->Count() - 1;
    SetStreamHighlight(TPoint{0, 0}, TPoint{Strings->LineLength(Last), Last});
    UpdateDisplay(true);
}

}  // namespace narvo
