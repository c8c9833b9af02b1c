// The search commands (see SearchCommands.h).
#include "language/SearchCommands.h"

#include "language/AppState.h"
#include "language/CommandHost.h"
#include "language/CommandLines.h"
#include "language/CommandContext.h"

namespace narvo {

namespace {

void PrepareSearcher(TEditorEngine& Pane)
{
    Pane.Searcher->IgnoreCase = IgnoreCaseFlag;
    Pane.Searcher->WholeWord = WholeWordFlag;
}

}  // namespace

namespace {

// The search step of S and F; Found tells whether it found a match.
std::int64_t SearchStep(TCommandHost& Host, TEditorEngine& Pane, char Prev, const std::string& Line, std::int64_t Pos,
                        bool& Found)
{
    if (Prev == '+')
        ForwardFlag = true;
    else if (Prev == '-')
        ForwardFlag = false;
    const std::string Text = TCommandContext::ReadTextToEsc(Line, Pos);
    Host.SetFindText(Text);
    PrepareSearcher(Pane);
    Found = ForwardFlag ? Pane.FindNext(Text) : Pane.FindPrevious(Text);
    return Pos;
}

}  // namespace

std::int64_t SearchTextCore(TCommandHost& Host, TEditorEngine& Pane, const std::string& Line, std::int64_t Pos)
{
    bool Found = false;
    return SearchStep(Host, Pane, 0, Line, Pos, Found);
}

std::int64_t SearchCmd(TCommandHost& Host, TEditorEngine& Pane, char Prev, const std::string& Line, std::int64_t Pos)
{
    bool Found = false;
    return SearchStep(Host, Pane, Prev, Line, Pos, Found);
}

std::int64_t FindReplaceCmd(TCommandHost& Host, TEditorEngine& Pane, char Prev, const std::string& Line,
                            std::int64_t Pos)
{
    // What the search answered decides, not the pane's status afterwards: the
    // dialogs' text setters and the pane's change handlers run in between.
    bool Found = false;
    Pos = SearchStep(Host, Pane, Prev, Line, Pos, Found) + 1;
    const std::string Replacement = TCommandContext::ReadTextToEsc(Line, Pos);
    Host.SetReplaceText(Replacement);
    if (!Found) {
        // The command fails with the search's status.
        Pane.Status = edNotFound;
        return Pos;
    }
    // Inserting ends a scoop, and a scoop's end clears the user's block: end it
    // while the block is still the match, which survives it.
    if (!Replacement.empty())
        Pane.ScoopStop();
    // A found match is spared by editing; as the user's block it is replaced.
    Pane.Cursor->ColumnBlock = false;
    Pane.HighLight->Found = false;
    if (!Replacement.empty())
        Pane.InsertText(Replacement);
    else
        Pane.DeleteMark();
    return Pos;
}

std::string GetWordToSearch(TCommandHost& Host, TEditorEngine& Pane)
{
    if (Pane.HighLight->Empty()) {
        TRect R;
        if (Host.WordAtCursorBounds(Pane, R))
            Pane.SetStreamHighlight(TPoint{R.Left, R.Top}, TPoint{R.Right, R.Bottom});
    }
    return Pane.GetMarkedText();
}

namespace {

void WordSearch(TCommandHost& Host, TEditorEngine& Pane, bool Forward)
{
    const std::string Text = GetWordToSearch(Host, Pane);
    const TRect R = TEditorEngine::NormalizeRange(Pane.HighLight->Range());
    Pane.UndoList->SetLastPos(Pane.Cursor->Pos());
    Pane.Cursor->SetPos(Forward ? TPoint{R.Right, R.Bottom} : TPoint{R.Left, R.Top});
    Pane.UndoList->AddMoveIfMoved(Pane.Cursor->Pos());
    PrepareSearcher(Pane);
    if (Forward)
        Pane.FindNext(Text);
    else
        Pane.FindPrevious(Text);
}

}  // namespace

void WordSearchBackward(TCommandHost& Host, TEditorEngine& Pane) { WordSearch(Host, Pane, false); }

void WordSearchForward(TCommandHost& Host, TEditorEngine& Pane) { WordSearch(Host, Pane, true); }

void MakeSearchCmdLine(TCommandHost& Host, TCommandLineStore& Store, TEditorEngine& Pane, bool Backward)
{
    TRect R;
    std::string Word;
    if (Host.WordAtCursorBounds(Pane, R))
        Word = Pane.GetRangeText(R);
    std::string Line = (Backward ? "-S" : "S") + Word + "\x1b\x1b";
    Store.NextCmdLine(Host);
    Host.SetCmdEditorText(Line);
}

}  // namespace narvo
