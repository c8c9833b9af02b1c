// The main window's tool bar: the buttons in their row, what the buttons without a
// menu twin do (word search, the position markers, enclosing, the status bars), and
// the wiring of every button to its handler. The buttons never take the focus, so
// the pane the user works in keeps it.
#include "app/MainWindow.h"
#include "app/MainWindowMenus.h"
#include "app/SecondEditor.h"
#include "app/SmallTools.h"
#include "app/Spelling.h"
#include "components/AutoButton.h"
#include "components/FoldingBar.h"
#include "language/AppState.h"
#include "language/CommandHost.h"
#include "language/SearchCommands.h"
#include "language/StatusLine.h"
#include "language/WordCommands.h"
#include "platform/Application.h"
#include "tools/EncloseText.h"

#include <QBoxLayout>
#include <QCheckBox>

namespace narvo {

namespace {

constexpr int ToolBarHeight = 38;

TAutoButton* ToolButton(QWidget* Parent, TFoldingBar* Row, const char* Name, const char* Text, const char* Hint)
{
    auto* B = new TAutoButton(Parent);
    B->setObjectName(QString::fromLatin1(Name));
    B->setText(QString::fromLatin1(Text));
    B->setToolTip(QString::fromLatin1(Hint));
    B->setAutoRaise(true);
    B->setFocusPolicy(Qt::NoFocus);
    if (Row)
        Row->AddWidget(B);
    return B;
}

void Gap(TFoldingBar* Row) { Row->AddGap(8); }

// Button's click runs Handler guarded: no exception crosses the event loop.
void OnClick(TAutoButton* Button, std::function<void()> Handler)
{
    Button->OnClick = [H = std::move(Handler)](QObject*) { RunGuarded(H); };
}

}  // namespace

QWidget* TForm1::CreateToolBar()
{
    // The buttons that do not fit a narrow window fold into an overflow button, so
    // the tool bar never sets the window's width.
    auto* Row = new TFoldingBar(this);
    ToolBar = Row;
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setFixedHeight(ToolBarHeight);
    OpenBtn = ToolButton(ToolBar, Row, "OpenBtn", "Open", "Open");
    SaveBtn = ToolButton(ToolBar, Row, "SaveBtn", "Save", "Save");
    PrintBtn = ToolButton(ToolBar, Row, "PrintBtn", "Print", "Print Preview");
    Gap(Row);
    CutBtn = ToolButton(ToolBar, Row, "CutBtn", "Cut", "Cut");
    CopyBtn = ToolButton(ToolBar, Row, "CopyBtn", "Copy", "Copy");
    PasteBtn = ToolButton(ToolBar, Row, "PasteBtn", "Paste", "Paste");
    Gap(Row);
    MarginBtn = ToolButton(ToolBar, Row, "MarginBtn", "Margin", "Remargin Paragraph");
    SpellBtn = ToolButton(ToolBar, Row, "SpellBtn", "Spell", "Spell Check");
    Gap(Row);
    BackSearchBtn = ToolButton(ToolBar, Row, "BackSearchBtn", "<Wrd", "Word Search Back");
    ForeSearchBtn = ToolButton(ToolBar, Row, "ForeSearchBtn", "Wrd>", "Word Search Forward");
    Gap(Row);
    DropMarkBtn = ToolButton(ToolBar, Row, "DropMarkBtn", "Drop", "Drop Position Marker");
    GoMarkBtn = ToolButton(ToolBar, Row, "GoMarkBtn", "Go", "Go To Position Marker");
    Gap(Row);
    Toggle2ndEditBtn = ToolButton(ToolBar, Row, "Toggle2ndEditBtn", "2nd", "Toggle Second Editor");
    ToggleTopRightBtn = ToolButton(ToolBar, Row, "ToggleTopRightBtn", "Pos", "Toggle Second Editor Position");
    Gap(Row);
    EncloseBtn = ToolButton(ToolBar, Row, "EncloseBtn", "( )", "Enclose Text");
    EncloseDlgBtn = ToolButton(ToolBar, Row, "EncloseDlgBtn", "(...)", "Enclose Text...");
    Row->AddStretch();
    SingleStepChk = new QCheckBox(QStringLiteral("Macro Debugger"), ToolBar);
    SingleStepChk->setObjectName(QStringLiteral("SingleStepChk"));
    SingleStepChk->setFocusPolicy(Qt::NoFocus);
    Row->AddWidget(SingleStepChk);
    ShowStatusBtn = ToolButton(ToolBar, Row, "ShowStatusBtn", "Status", "Show Status Bars");
    return ToolBar;
}

void TMainMenus::ConnectToolBar()
{
    // The hide buttons sit at the right end of their status bars.
    F.HideStatus1Btn = ToolButton(F.StatusBar, nullptr, "HideStatus1Btn", "x", "Hide Status Bar");
    F.HideStatus2Btn = ToolButton(F.StatusBar2, nullptr, "HideStatus2Btn", "x", "Hide Status Bar");
    for (auto [Bar, Button] : {std::pair{F.StatusBar, F.HideStatus1Btn}, std::pair{F.StatusBar2, F.HideStatus2Btn}})
        if (auto* Row = qobject_cast<QBoxLayout*>(Bar->layout()))
            Row->addWidget(Button);

    OnClick(F.OpenBtn, [this] { OpenMnuClick(); });
    OnClick(F.SaveBtn, [this] { SaveMnuClick(); });
    OnClick(F.PrintBtn, [this] { Print1Click(); });
    OnClick(F.CutBtn, [this] { CutBtnClick(); });
    OnClick(F.CopyBtn, [this] { CopyBtnClick(); });
    OnClick(F.PasteBtn, [this] { PasteBtnClick(); });
    OnClick(F.MarginBtn, [this] { RemarginMnuClick(); });
    OnClick(F.SpellBtn, [] { SpellCheckNext(); });
    OnClick(F.BackSearchBtn, [this] { BackSearchBtnClick(); });
    OnClick(F.ForeSearchBtn, [this] { ForeSearchBtnClick(); });
    OnClick(F.DropMarkBtn, [this] { DropMarkBtnClick(); });
    OnClick(F.GoMarkBtn, [this] { GoMarkBtnClick(); });
    OnClick(F.Toggle2ndEditBtn, [this] {
        CycleSplitEditor(F);
        UpdateSplitMenuChecks();
    });
    OnClick(F.ToggleTopRightBtn, [this] {
        ToggleTopRightBtnClick(F);
        UpdateSplitMenuChecks();
    });
    OnClick(F.EncloseBtn, [this] { EncloseBtnClick(); });
    OnClick(F.EncloseDlgBtn, [] {
        if (TEncloseDlg* Dlg = EncloseDlg())
            Dlg->ShowEncloseDlg();
    });
    OnClick(F.ShowStatusBtn, [this] { ShowStatusBtnClick(); });
    OnClick(F.HideStatus1Btn, [this] { F.StatusBar->hide(); });
    OnClick(F.HideStatus2Btn, [this] { F.StatusBar2->hide(); });
}

void TMainMenus::BackSearchBtnClick()
{
    ShowOk();
    TScrollEditor& P = Active();
    if (TCommandHost* Host = CommandHost())
        WordSearchBackward(*Host, P);
    F.UpdateStatus();
    FocusBack(P);
}

void TMainMenus::ForeSearchBtnClick()
{
    ShowOk();
    TScrollEditor& P = Active();
    if (TCommandHost* Host = CommandHost())
        WordSearchForward(*Host, P);
    F.UpdateStatus();
    FocusBack(P);
}

void TMainMenus::DropMarkBtnClick()
{
    TScrollEditor& P = Active();
    DropMarker(P);
    F.UpdateStatus();
    FocusBack(P);
}

void TMainMenus::GoMarkBtnClick()
{
    TScrollEditor& P = Active();
    GoToMarker(P);
    P.ClearMark();
    P.RefreshView(true);
    F.UpdateStatus();
    FocusBack(P);
}

void TMainMenus::EncloseBtnClick()
{
    if (TEncloseDlg* Dlg = EncloseDlg())
        Dlg->EncloseSelection();
    FocusBack(Active());
}

void TMainMenus::ShowStatusBtnClick()
{
    // Both bars shown, back at the bottom of the window in their order.
    auto* Stack = qobject_cast<QBoxLayout*>(F.centralWidget()->layout());
    for (QWidget* Bar : {F.StatusBar, F.StatusBar2}) {
        if (Stack) {
            Stack->removeWidget(Bar);
            Stack->addWidget(Bar);
        }
        Bar->show();
    }
}

}  // namespace narvo
