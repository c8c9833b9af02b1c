// A command host without a window: a headless main pane (and optionally other
// panes), the text register on the main pane, the margin and form-feed routines of
// the program, a command editor held as a string,
// a message pump and key wait driven by the test, a word list for the spelling
// operand and scripted debugger answers. Command lines run on it as in the program.
#pragma once

#include "engine/ClipboardAccess.h"
#include "engine/FakeEditor.h"
#include "language/AppState.h"
#include "language/CommandHost.h"
#include "language/CommandLines.h"
#include "language/Expressions.h"
#include "language/Interpreter.h"
#include "language/Margins.h"
#include "language/StatusLine.h"
#include "language/TextRegister.h"
#include "language/WordCommands.h"

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace narvo::test {

class TFakeCommandHost : public TCommandHost {
public:
    TFakeEditor Main;
    TEditorEngine* Active = &Main;
    TXRegister Reg{&Main};

    std::string CmdEditor;
    std::string FindText, ReplaceText, Info;
    int ScoopState = 0;
    int Yields = 0;
    // Called at every yield with its number (from 1).
    std::function<void(int)> OnYield;
    std::deque<int> Keys;
    // Called at every key wait, before the key is taken.
    std::function<void()> OnKeyWait;
    std::set<std::string> Words;
    bool HaveDictionary = true;
    std::deque<int> DebugAnswers;
    std::vector<TDebugInfo> Steps;
    int HelpShown = 0, Printed = 0, Remargins = 0, Centered = 0, FormFeedDeletes = 0, Saves = 0, ShowAllToggles = 0,
        Quits = 0, Exits = 0, Appends = 0, Opens = 0, BoxSteps = 0;

    TFakeCommandHost()
    {
        Main.OnScoopEvent = [this](TScoopCommand C, TRect R) { Reg.ScoopEvent(Main, C, R); };
        Reg.OnIndicator = [this](int S) { ScoopState = S; };
    }

    TEditorEngine& ActivePane() override { return *Active; }
    TEditorEngine& MainPane() override { return Main; }
    TXRegister& Register() override { return Reg; }
    void ToggleShowAll(TEditorEngine&) override { ++ShowAllToggles; }
    void NextBoxStyle() override { ++BoxSteps; }
    void ProcessMessages() override
    {
        ++Yields;
        if (OnYield)
            OnYield(Yields);
    }
    int WaitForKey() override
    {
        if (OnKeyWait)
            OnKeyWait();
        if (Keys.empty() || BreakFlag)
            return 0;
        const int K = Keys.front();
        Keys.pop_front();
        return K;
    }
    std::string CmdEditorText() override { return CmdEditor; }
    void SetCmdEditorText(const std::string& Text) override { CmdEditor = Text; }
    void SetFindText(const std::string& Text) override { FindText = Text; }
    void SetReplaceText(const std::string& Text) override { ReplaceText = Text; }
    void ShowInfo(const std::string& Text) override { Info = Text; }
    void ShowScoopState(int State) override { ScoopState = State; }
    void UpdateStatus() override {}
    std::int64_t InsertFileCmd(const std::string&, std::int64_t Pos) override
    {
        ++Appends;
        return Pos;
    }
    std::int64_t OpenFileCmd(const std::string&, std::int64_t Pos) override
    {
        ++Opens;
        return Pos;
    }
    void SaveAndExitCmd() override { ++Quits; }
    void ExitWithoutSavingCmd() override { ++Exits; }
    void SaveIfModified() override { ++Saves; }
    void ShowHelpContents() override { ++HelpShown; }
    void PrintText() override { ++Printed; }
    // The text routines themselves run, as in the program.
    void RemarginParagraph(TEditorEngine& Pane) override
    {
        ++Remargins;
        narvo::RemarginParagraph(Pane);
    }
    void CenterLine(TEditorEngine& Pane) override
    {
        ++Centered;
        CenterLineCmd(Pane);
    }
    void DeleteBackToFormFeed(TEditorEngine& Pane) override
    {
        ++FormFeedDeletes;
        DeleteBackToFormFeedCmd(Pane);
    }
    int SpellCheck(const std::string& Word, bool& NoDictionary) override
    {
        NoDictionary = !HaveDictionary;
        return Words.count(Word) ? 0 : -1;
    }
    int DebugShowStep(const TDebugInfo& Info) override
    {
        Steps.push_back(Info);
        if (DebugAnswers.empty())
            return dbStep;
        const int A = DebugAnswers.front();
        DebugAnswers.pop_front();
        return A;
    }
};

// The module state a command line reads, back to the program's start.
inline void ResetCommandState()
{
    SetStatusMessage("", false);
    CurrentValue = 0;
    NumericRegisters = {};
    IgnoreCaseFlag = false;
    ForwardFlag = true;
    WholeWordFlag = false;
    BreakFlag = false;
    QuoteNextFlag = false;
    BoxStyle = 0;
    LeftMargin = 0;
    RightMargin = 72;
    ParaIndent = 0;
    BellColumn = 72;
}

// A host, a store and an interpreter; Run puts Line into line 0 and runs it.
template <class THost>
struct TCommandBenchOf {
    THost Host;
    TCommandLineStore Store;
    TCommandInterpreter Interp{Store, Host};
    TMemoryClipboard Clipboard;
    TClipboardAccess* Previous = SetClipboardAccess(&Clipboard);

    TCommandBenchOf()
    {
        ResetCommandState();
        // Time stands still unless a test moves it: the yields come every 20th
        // command however busy the machine is.
        Interp.Clock = [this] { return Now; };
    }
    std::int64_t Now = 0;
    ~TCommandBenchOf() { SetClipboardAccess(Previous); }

    void Run(const std::string& Line, bool SingleStep = false)
    {
        Host.CmdEditor = Line;
        Store.Current = 0;
        Interp.RunCommandLine(SingleStep);
    }
};
using TCommandBench = TCommandBenchOf<TFakeCommandHost>;

}  // namespace narvo::test
