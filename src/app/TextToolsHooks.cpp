// The text tools' hooks and menu entries (see TextToolsHooks.h).
#include "app/TextToolsHooks.h"

#include "app/MainWindow.h"
#include "app/MainWindowMenus.h"
#include "app/Settings.h"
#include "editor/ScrollEditor.h"
#include "language/AppState.h"
#include "language/StatusLine.h"
#include "tools/BlockIndent.h"
#include "tools/ChangeCase.h"
#include "tools/FileDetails.h"
#include "tools/MatchPairs.h"
#include "tools/SevenBit.h"
#include "tools/TextToolHooks.h"

namespace narvo {

namespace {

// Runs Transform on the active pane, when there is one.
template <class F>
std::function<void()> OnActivePane(F Transform)
{
    return [Transform] {
        if (TScrollEditor* Pane = ToolActiveEditor())
            Transform(*Pane);
    };
}

}  // namespace

void InstallTextTools()
{
    TTextToolHooks& H = TextToolHooks();
    H.MainWindow = []() -> QWidget* { return Form1; };
    H.ActiveEditor = []() -> TScrollEditor* { return Form1 ? Form1->ActiveEditor : nullptr; };
    H.MainEditor = []() -> TScrollEditor* { return Form1 ? Form1->MainEditor : nullptr; };
    H.MinimumSpace = [] { return static_cast<int>(MinimumSpace); };
    H.CurrentFileName = [] { return CurrentFileName; };
    H.UpdateStatus = [] { UpdateStatus(); };

    TMenuActions& M = MenuActions();
    M.FileDetails = ShowDetailsDlg;
    M.MatchPairs = ShowMatchPairsDlg;
    M.BlockIndent = ShowIndentDlg;
    M.ChangeCase = ShowCaseDlg;
    M.TabsToSpaces = OnActivePane([](TScrollEditor& P) { ConvertTabsToSpaces(P); });
    M.SpacesToTabs = OnActivePane([](TScrollEditor& P) { ConvertSpacesToTabs(P, MinimumSpace); });
    M.InsertLineMarks = OnActivePane([](TScrollEditor& P) { InsertLineMarks(P, '>'); });
    M.RemoveLineMarks = OnActivePane([](TScrollEditor& P) { RemoveLineMarks(P, '>'); });
    M.RemoveHtml = OnActivePane([](TScrollEditor& P) { RemoveHTML(P); });
    M.HexToString = OnActivePane([](TScrollEditor& P) { ConvertHexToString(P); });
    M.StringToHex = OnActivePane([](TScrollEditor& P) { ConvertStringToHex(P); });
    M.Convert8BitsTo7Bits = OnActivePane([](TScrollEditor& P) { ConvertSelectionTo7Bit(P); });
    M.ConvertSpanish = OnActivePane([](TScrollEditor& P) { ApplySpanishAccents(P); });
}

void CreateTextToolForms()
{
    DetailsDlg();
    MatchPairsDlg();
    IndentDlg();
    CaseDlg();
}

void FreeTextToolForms()
{
    FreeCaseDlg();
    FreeIndentDlg();
    FreeMatchPairsDlg();
    FreeDetailsDlg();
}

}  // namespace narvo
