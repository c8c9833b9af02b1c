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

// What the tools see of the main window.
class TWindowToolHost : public TToolHost {
public:
    QWidget* MainWindow() override { return Form1; }
    TScrollEditor* ActiveEditor() override { return Form1 ? Form1->ActiveEditor : nullptr; }
    TScrollEditor* MainEditor() override { return Form1 ? Form1->MainEditor : nullptr; }
    std::string CurrentFileName() override { return narvo::CurrentFileName; }
    void UpdateStatus() override { narvo::UpdateStatus(); }
};

}  // namespace

void InstallTextTools()
{
    static TWindowToolHost Host;
    SetToolHost(&Host);

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
