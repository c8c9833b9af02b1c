// The control-key dispatcher (see ControlKeys.h).
#include "language/ControlKeys.h"

#include "language/AppState.h"
#include "language/CommandHost.h"
#include "language/CommandLines.h"
#include "language/TextRegister.h"

namespace narvo {

bool WordRuleFlag(TCommandHost& Host, bool Shift) { return !Host.NewWordStyle() != Shift; }

void TypeCmdLineText(TCommandHost& Host, TCommandLineStore& Store, TEditorEngine& Pane)
{
    Store.StoreCmdLine(Host);
    for (const char C : Store.Lines[static_cast<std::size_t>(Store.ShownLine())])
        Pane.TypeChar(C);
}

void InsertAndEmptyScoop(TCommandHost& Host, TEditorEngine& Pane, bool AsLines)
{
    TXRegister& R = Host.Register();
    if (AsLines)
        R.InsertLinesIntoEditor();
    else
        R.InsertIntoEditor();
    R.Clear();
    Pane.ClearMark();
}

void DeleteLineBackCmd(TEditorEngine& Pane, bool ToEnd)
{
    if (Pane.HasMark())
        Pane.CopyMark();
    if (ToEnd)
        Pane.DeleteToLineEnd();
    else
        Pane.DeleteToLineStart();
}

void CopyOrDeleteWordCmd(TCommandHost& Host, TEditorEngine& Pane, bool Shift)
{
    if (Pane.HasMark()) {
        Pane.CopyMark();
        return;
    }
    Pane.ClearMark();
    Pane.DeleteWordLeft(WordRuleFlag(Host, Shift));
}

bool DispatchControlKey(TCommandHost& Host, TCommandLineStore& Store, TEditorEngine& Pane, char Ch)
{
    if (Host.KeypadFlag() && BoxStyle != 0 && Host.BoxDrawKey(Pane, Ch))
        return true;
    const auto C = static_cast<unsigned char>(Ch);
    if (C > 31)
        return false;
    // Read for control characters only: every command of a run comes through here.
    const bool Shift = Pane.LiveModifiers().Shift;
    switch (C) {
    case 1:
        Pane.CursorRight();
        break;
    case 2:
        // Shift switches the word rule here; the move neither keeps nor makes a
        // highlight, also while Shift is held during a command line, except in
        // marking mode (a scoop), where it grows the highlight from its anchor.
        Pane.ClearMarkBeforeMotion(false);
        Pane.WordLeft(WordRuleFlag(Host, Shift), false);
        break;
    case 3:
        CopyOrDeleteWordCmd(Host, Pane, Shift);
        break;
    case 4:
        if (Shift)
            Host.NextBoxStyle();
        else
            Pane.GotoBottom();
        break;
    case 5:
        Pane.GotoTop();
        break;
    case 6:
        Host.Register().ScoopOff(Pane, Shift);
        break;
    case 8:
        Pane.Backspace();
        break;
    case 10:
        Pane.PageDown();
        break;
    case 11:
        Pane.PageUp();
        break;
    case 14:
        Pane.ClearMarkBeforeMotion(false);
        Pane.WordRight(WordRuleFlag(Host, Shift), false);
        break;
    case 16:
        Host.SaveIfModified();
        break;
    case 17:
        Pane.CursorLeft();
        break;
    case 18:
        Host.Register().ScoopOn(Pane, Shift);
        break;
    case 19:
        Pane.NextLineStart();
        break;
    case 20:
        Host.ToggleShowAll(Pane);
        break;
    case 21:
        Pane.IndentLikePrevious();
        break;
    case 22:
        if (Shift)
            TypeCmdLineText(Host, Store, Pane);
        else
            Host.PasteIntoFocused(Pane);
        break;
    case 23:
        Pane.LineStart();
        break;
    case 24:
        DeleteLineBackCmd(Pane, Shift);
        break;
    case 25:
        InsertAndEmptyScoop(Host, Pane, Shift);
        break;
    case 26:
        Pane.ToggleCase();
        break;
    case 28:
        WholeWordFlag = !WholeWordFlag;
        Host.UpdateStatus();
        break;
    case 29:
        IgnoreCaseFlag = !IgnoreCaseFlag;
        Host.UpdateStatus();
        break;
    case 30:
        QuoteNextFlag = true;
        break;
    case 31:
        ForwardFlag = !ForwardFlag;
        Host.UpdateStatus();
        break;
    default:
        return false;
    }
    return true;
}

}  // namespace narvo
