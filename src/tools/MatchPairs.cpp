// The "Match Begin-End Pairs" tool window.
#include "tools/MatchPairs.h"

#include "components/ChmHelper.h"
#include "editor/ScrollEditor.h"
#include "platform/TextConvert.h"
#include "shared/CharClass.h"
#include "tools/TextToolHooks.h"
#include "tools/ToolWalk.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace narvo {

namespace {

std::string Lowered(std::string S)
{
    for (char& C : S)
        C = static_cast<char>(LowCaseChar(static_cast<unsigned char>(C)));
    return S;
}

std::string EditText(const QLineEdit* Edit) { return QStringToAnsi(Edit->text()); }

}  // namespace

TMatchPairsDlg::TMatchPairsDlg(QWidget* Parent) : QDialog(Parent)
{
    setObjectName("MatchPairsDlg");
    setWindowTitle("Match Begin-End Pairs");
    setWindowFlag(Qt::Tool);
    setModal(false);

    BeginEdit = new QLineEdit("begin", this);
    EndEdit = new QLineEdit("end", this);
    PairsCombo = new QComboBox(this);
    PairsCombo->addItems({"begin end", "{ }", "[ ]", "< >", "( )", "\" \"", "' '"});
    auto* Edits = new QFormLayout;
    Edits->addRow("\"Begin\" String", BeginEdit);
    Edits->addRow("\"End\" String", EndEdit);
    Edits->addRow(PairsCombo);

    auto* Options = new QGroupBox("Options", this);
    CaseChk = new QCheckBox("Case Sensitive Search", Options);
    WordChk = new QCheckBox("Whole Word Search", Options);
    auto* OptionsLayout = new QVBoxLayout(Options);
    OptionsLayout->addWidget(CaseChk);
    OptionsLayout->addWidget(WordChk);

    DepthDis = new QLabel("0", this);
    MaxDepthDis = new QLabel("0", this);
    StatusDis = new QLabel(this);
    auto* Depths = new QFormLayout;
    Depths->addRow("Nesting Depth", DepthDis);
    Depths->addRow("Maximum Depth", MaxDepthDis);
    Depths->addRow(" Status:", StatusDis);

    FindNextBtn = new QPushButton("Find Next Item", this);
    MatchBtn = new QPushButton("Find Matching ", this);
    ResetBtn = new QPushButton("Reset Depths", this);
    GoLastLocBtm = new QPushButton("To Last Loc", this);
    OKBtn = new QPushButton("Close", this);
    HelpBtn = new QPushButton("Help", this);
    auto* Buttons = new QGridLayout;
    Buttons->addWidget(MatchBtn, 0, 0);
    Buttons->addWidget(FindNextBtn, 0, 1);
    Buttons->addWidget(ResetBtn, 1, 0);
    Buttons->addWidget(GoLastLocBtm, 1, 1);
    Buttons->addWidget(OKBtn, 2, 0);
    Buttons->addWidget(HelpBtn, 2, 1);

    auto* Main = new QVBoxLayout(this);
    Main->addLayout(Edits);
    Main->addWidget(Options);
    Main->addLayout(Depths);
    Main->addLayout(Buttons);

    connect(MatchBtn, &QPushButton::clicked, this, [this] { MatchBtnClick(); });
    connect(FindNextBtn, &QPushButton::clicked, this, [this] { FindNextBtnClick(); });
    connect(ResetBtn, &QPushButton::clicked, this, [this] { ResetBtnClick(); });
    connect(GoLastLocBtm, &QPushButton::clicked, this, [this] { GoLastLocBtmClick(); });
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::close);
    SetDialogHelp(this, HelpBtn, HelpContext);
    connect(PairsCombo, &QComboBox::activated, this, [this](int Index) { PairsComboChange(Index); });
}

void TMatchPairsDlg::PairsComboChange(int Index)
{
    static const char* const Pairs[][2] = {{"begin", "end"}, {"{", "}"}, {"[", "]"}, {"<", ">"},
                                           {"(", ")"},       {"\"", "\""}, {"'", "'"}};
    if (Index < 0 || Index >= 7)
        return;
    BeginEdit->setText(Pairs[Index][0]);
    EndEdit->setText(Pairs[Index][1]);
}

bool TMatchPairsDlg::Search(TScrollEditor& Pane, const std::string& Pattern, TPoint From, TRect& Range)
{
    if (Pattern.empty())
        return false;
    // The pane's searcher serves Find and Replace too: its options are lent for
    // this one search only.
    TListSearcher& S = *Pane.Searcher;
    const bool OldCase = S.IgnoreCase, OldWord = S.WholeWord;
    S.WholeWord = WordChk->isChecked();
    S.IgnoreCase = !CaseChk->isChecked();
    const bool Found = Pane.SearchForwardFrom(Pattern, From, Range);
    S.IgnoreCase = OldCase;
    S.WholeWord = OldWord;
    return Found;
}

void TMatchPairsDlg::Select(TScrollEditor& Pane, const TRect& Range)
{
    Pane.SetStreamHighlight(TPoint{Range.Left, Range.Top}, TPoint{Range.Right, Range.Bottom});
    Pane.Cursor->SetPos(TPoint{Range.Right, Range.Bottom});
    Pane.RedrawFound();  // the view follows the cursor as after a search
}

int TMatchPairsDlg::NearerItem(bool HasB, const TRect& B, bool HasE, const TRect& E)
{
    if (HasB && HasE)
        // Ending at the same place the end wins, so equal strings (quotes) close.
        return TEditorEngine::PosAfter(TPoint{E.Right, E.Bottom}, TPoint{B.Right, B.Bottom}) ? 1 : 2;
    return HasB ? 1 : HasE ? 2 : 0;
}

int TMatchPairsDlg::FindNextItem(TScrollEditor& Pane, const std::string& BeginStr, const std::string& EndStr)
{
    const TPoint From = Pane.Cursor->Pos();
    TRect B, E;
    const bool HasB = Search(Pane, BeginStr, From, B);
    const bool HasE = Search(Pane, EndStr, From, E);
    const int Result = NearerItem(HasB, B, HasE, E);
    if (Result != 0)
        Select(Pane, Result == 1 ? B : E);
    return Result;
}

bool TMatchPairsDlg::TNextItem::Find(TMatchPairsDlg& D, TScrollEditor& Pane, const std::string& Pattern, TPoint From)
{
    // The search reads from the character before From on; what it found earlier is
    // still the first occurrence while it begins there or later, and nothing found
    // stays nothing, the walk only going forward.
    TPoint Start = From;
    Pane.PrevPos(Start);
    if (!Known || (Found && TEditorEngine::PosAfter(Start, TPoint{Range.Left, Range.Top}))) {
        Found = D.Search(Pane, Pattern, From, Range);
        Known = true;
    }
    return Found;
}

void TMatchPairsDlg::ShowDepths()
{
    DepthDis->setText(QString::number(Depth));
    MaxDepthDis->setText(QString::number(MaxDepth));
}

int TMatchPairsDlg::FindNextStep(TScrollEditor& Pane)
{
    const int Result = FindNextItem(Pane, EditText(BeginEdit), EditText(EndEdit));
    if (Result == 0)
        StatusDis->setText("Not Found");
    else if (Result == 1)
        ++Depth;
    else
        --Depth;
    if (Depth > MaxDepth)
        MaxDepth = Depth;
    ShowDepths();
    return Result;
}

bool TMatchPairsDlg::BeginAtCursor(TScrollEditor& Pane, const std::string& BeginStr, TRect& Range)
{
    Pane.GetWordAtCursorBounds(Range);
    std::string Word = Pane.GetRangeText(Range);
    std::string Wanted = BeginStr;
    if (Word.empty() || Wanted.empty())
        return false;
    if (!CaseChk->isChecked()) {
        Word = Lowered(std::move(Word));
        Wanted = Lowered(std::move(Wanted));
    }
    return WordChk->isChecked() ? Word == Wanted : Word.find(Wanted) != std::string::npos;
}

bool TMatchPairsDlg::FindBegin(TScrollEditor& Pane, const std::string& BeginStr)
{
    TRect Range;
    if (!BeginAtCursor(Pane, BeginStr, Range) && !Search(Pane, BeginStr, Pane.Cursor->Pos(), Range))
        return false;
    Select(Pane, Range);
    SaveLocation(Pane);
    return true;
}

void TMatchPairsDlg::SaveLocation(TScrollEditor& Pane)
{
    FLastCursor = Pane.Cursor->Pos();
    FLastMark = *Pane.HighLight;
    FLastColumn = Pane.Cursor->ColumnBlock;
}

bool TMatchPairsDlg::StepRight(TScrollEditor& Pane)
{
    const TPoint Before = Pane.Cursor->Pos();
    Pane.CursorRight();
    return Pane.Cursor->Pos() != Before;
}

void TMatchPairsDlg::MatchPair(TScrollEditor& Pane)
{
    SaveLocation(Pane);
    if (!FindBegin(Pane, EditText(BeginEdit))) {
        StatusDis->setText("No begining symbol");
        return;
    }
    Depth = 1;
    MaxDepth = 0;
    const std::string BeginStr = EditText(BeginEdit), EndStr = EditText(EndEdit);
    // The walk runs on positions only; the pane shows where it ended. Every step
    // begins one position after the last item, so the walk ends at the text's end.
    TRect Last = Pane.HighLight->Range();
    TPoint P = Pane.ClampPos(Pane.Cursor->Pos());
    TNextItem NextB, NextE;
    const char* Outcome = "No matching \"end\"";
    // The message loop runs now and then: the pane may go or its text change
    // meanwhile (the walk stops), and a second walk must not start inside this one.
    QPointer<TScrollEditor> Alive(&Pane);
    const std::int64_t Changes = Pane.ChangeCount;
    auto Unchanged = [&] { return Alive && Pane.ChangeCount == Changes; };
    MatchBtn->setEnabled(false);
    FindNextBtn->setEnabled(false);
    TToolWalk Walk(this, [this] { ShowDepths(); }, Pane.Strings->TextLength(1));
    while (Pane.NextPos(P)) {
        const bool HasB = NextB.Find(*this, Pane, BeginStr, P);
        const bool HasE = NextE.Find(*this, Pane, EndStr, P);
        const int Result = NearerItem(HasB, NextB.Range, HasE, NextE.Range);
        if (Result == 0)
            break;
        Last = Result == 1 ? NextB.Range : NextE.Range;
        Depth += Result == 1 ? 1 : -1;
        MaxDepth = std::max(MaxDepth, Depth);
        const std::int64_t Lines = Last.Bottom - P.Y;
        P = TPoint{Last.Right, Last.Bottom};
        if (Depth < 1) {
            Outcome = "Match Found";
            break;
        }
        if (!Walk.Step(1 + Lines) || !Unchanged()) {
            Walk.Stop();
            Outcome = "Stopped";
            break;
        }
    }
    MatchBtn->setEnabled(true);
    FindNextBtn->setEnabled(true);
    ShowDepths();
    StatusDis->setText(Outcome);
    // What was found no longer stands where it was in a changed text; and a key or
    // click that stopped the walk acts where the user put the cursor, in the view
    // the user sees.
    if (!Unchanged() || Walk.InputArrived())
        return;
    // One move for the whole walk: one undo record, one redraw.
    const TPoint Before = Pane.Cursor->Pos();
    TScrollEditor::ScoopSave(Before);
    Pane.UndoList->SetLastPos(Before);
    Select(Pane, Last);
    Pane.UndoList->AddMoveIfMoved(Pane.Cursor->Pos());
    Pane.ScoopFire(Pane.Cursor->Pos());
}

void TMatchPairsDlg::MatchBtnClick()
{
    if (TScrollEditor* Pane = ToolActiveEditor())
        MatchPair(*Pane);
}

void TMatchPairsDlg::FindNextBtnClick()
{
    TScrollEditor* Pane = ToolActiveEditor();
    if (!Pane)
        return;
    SaveLocation(*Pane);
    if (StepRight(*Pane))
        FindNextStep(*Pane);
    else
        StatusDis->setText("Not Found");
}

void TMatchPairsDlg::ResetBtnClick()
{
    Depth = MaxDepth = 0;
    ShowDepths();
}

void TMatchPairsDlg::GoLastLocBtmClick()
{
    TScrollEditor* Pane = ToolActiveEditor();
    if (!Pane)
        return;
    Pane->GotoPos(FLastCursor);
    // The highlight comes back as it was saved, a column block or a stream: the
    // walk's cursor steps have ended the pane's column-block mode since, or a lone
    // Alt+click has started it, and either would make the next cut take other text.
    *Pane->HighLight = FLastMark;
    Pane->Cursor->ColumnBlock = FLastColumn;
    if (FLastColumn) {
        // A block's corners may stand past their lines' ends; only a line gone
        // since is moved onto the text.
        const std::int64_t Last = Pane->Strings->Count() - 1;
        Pane->HighLight->StartPos.Y = std::min(Pane->HighLight->StartPos.Y, Last);
        Pane->HighLight->EndPos.Y = std::min(Pane->HighLight->EndPos.Y, Last);
    } else {
        Pane->ClampHighlight();
    }
    // The status bar's counts follow the highlight put back.
    Pane->RefreshView(false);
    Pane->setFocus();
}

namespace {
QPointer<TMatchPairsDlg> GMatchPairsDlg;
}

TMatchPairsDlg& MatchPairsDlg()
{
    if (!GMatchPairsDlg)
        GMatchPairsDlg = new TMatchPairsDlg(ToolMainWindow());
    return *GMatchPairsDlg;
}

void ShowMatchPairsDlg()
{
    TMatchPairsDlg& D = MatchPairsDlg();
    D.show();
    D.raise();
    D.activateWindow();
}

void FreeMatchPairsDlg() { delete GMatchPairsDlg.data(); }

}  // namespace narvo
