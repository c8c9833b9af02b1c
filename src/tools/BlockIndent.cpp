// The highlight transforms of the Format menu and the "Block Indent" tool window.
#include "tools/BlockIndent.h"

#include "components/ChmHelper.h"
#include "components/IntSpin.h"
#include "editor/ScrollEditor.h"
#include "tools/StepWatch.h"
#include "tools/TextToolHooks.h"
#include "tools/TextTransforms.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace narvo {

void ConvertStringToHex(TEditorEngine& Pane)
{
    ReplaceHighlightedText(Pane, [](const std::string& S, TLongStep& Step) { return StringToPercentHex(S, &Step); });
}

void ConvertHexToString(TEditorEngine& Pane)
{
    ReplaceHighlightedText(Pane, [](const std::string& S) { return PercentHexToString(S); });
}

void InsertLineMarks(TEditorEngine& Pane, char Mark)
{
    ReplaceHighlightedText(Pane, [Mark](const std::string& S, TLongStep& Step) { return InsertLineMarksText(S, Mark, &Step); });
}

void RemoveLineMarks(TEditorEngine& Pane, char Mark)
{
    ReplaceHighlightedText(Pane, [Mark](const std::string& S, TLongStep& Step) { return RemoveLineMarksText(S, Mark, &Step); });
}

void ApplySpanishAccents(TEditorEngine& Pane)
{
    ReplaceHighlightedText(Pane, [](const std::string& S) { return SpanishAccentsText(S); });
}

void RemoveHTML(TEditorEngine& Pane)
{
    ReplaceHighlightedText(Pane, [](const std::string& S) { return RemoveHtmlText(S); });
}

// A column block's tab stops are the pane's, counted from the line start, so that
// the converted block looks as it did.
void ConvertTabsToSpaces(TEditorEngine& Pane)
{
    const int Width = Pane.SpacesPerTab();
    if (Pane.HasMark() && Pane.Cursor->ColumnBlock) {
        ReplaceColumnParts(Pane, [Width](const TBlockPart& P) { return ExpandTabsLine(P.Text, Width, P.Column); });
        return;
    }
    ReplaceHighlightedText(Pane, [Width](const std::string& S, TLongStep& Step) { return TabsToSpacesText(S, Width, &Step); });
}

void ConvertSpacesToTabs(TEditorEngine& Pane, int MinSpaces)
{
    const int Width = Pane.SpacesPerTab();
    if (Pane.HasMark() && Pane.Cursor->ColumnBlock) {
        // Blanks at the block's right edge stay as wide unless the line ends there.
        ReplaceColumnParts(Pane, [Width, MinSpaces](const TBlockPart& P) {
            return SpacesToTabsLine(P.Text, Width, MinSpaces, P.Column, !P.AtLineEnd);
        });
        return;
    }
    ReplaceHighlightedText(Pane,
                           [Width, MinSpaces](const std::string& S, TLongStep& Step) {
                               return SpacesToTabsText(S, Width, MinSpaces, &Step);
                           });
}

void IndentHighlight(TEditorEngine& Pane, char Ch, int Count, bool Unindent)
{
    if (!Pane.HasMark())
        return;
    if (Pane.Cursor->ColumnBlock) {
        // Each line's part of the block is indented where it stands.
        ReplaceHighlightedText(Pane, [&](const std::string& S, TLongStep& Step) { return IndentText(S, Ch, Count, Unindent, &Step); });
        return;
    }
    const TRect R = TEditorEngine::NormalizeRange(Pane.HighLight->Range());
    ReplaceHighlightedText(Pane, [&](const std::string& S, TLongStep& Step) { return IndentText(S, Ch, Count, Unindent, &Step); });
    // Only line starts changed, so the lines are where they were; the end column
    // follows its line's new length.
    const std::int64_t EndLine = std::min(R.Bottom, Pane.Strings->Count() - 1);
    Pane.SetStreamHighlight(Pane.ClampPos(TPoint{R.Left, R.Top}), TPoint{Pane.Strings->LineLength(EndLine), EndLine});
    // The insertion told of an empty highlight; the status bar follows this one.
    Pane.UpdateDisplay(true);
}

// --- the dialog --------------------------------------------------------------------------------

TIndentDlg::TIndentDlg(QWidget* Parent) : QDialog(Parent)
{
    setObjectName("IndentDlg");
    setWindowTitle("Block Indent");
    setWindowFlag(Qt::Tool);
    setModal(false);

    auto* ActionBox = new QGroupBox("Action", this);
    IndentRadio = new QRadioButton("Indent", ActionBox);
    UnindentRadio = new QRadioButton("Unindent", ActionBox);
    IndentRadio->setChecked(true);
    auto* ActionLayout = new QVBoxLayout(ActionBox);
    ActionLayout->addWidget(IndentRadio);
    ActionLayout->addWidget(UnindentRadio);

    auto* CharBox = new QGroupBox("Indent Character", this);
    TabRadio = new QRadioButton("Tab", CharBox);
    SpaceRadio = new QRadioButton("Space", CharBox);
    TabRadio->setChecked(true);
    auto* CharLayout = new QVBoxLayout(CharBox);
    CharLayout->addWidget(TabRadio);
    CharLayout->addWidget(SpaceRadio);

    CountSpin = new TIntegerSpin(this);
    CountSpin->UseLimit = true;
    CountSpin->SetMinValue(1);
    CountSpin->SetMaxValue(10);
    CountSpin->SetValueQuiet(1);

    ApplyBtn = new QPushButton("Apply", this);
    CloseBtn = new QPushButton("Close", this);
    HelpBtn = new QPushButton("Help", this);
    ApplyBtn->setDefault(true);

    auto* CountRow = new QHBoxLayout;
    CountRow->addWidget(new QLabel("Count", this));
    CountRow->addWidget(CountSpin);
    auto* Buttons = new QHBoxLayout;
    Buttons->addWidget(ApplyBtn);
    Buttons->addWidget(CloseBtn);
    Buttons->addWidget(HelpBtn);
    auto* Main = new QVBoxLayout(this);
    Main->addWidget(ActionBox);
    Main->addWidget(CharBox);
    Main->addLayout(CountRow);
    Main->addLayout(Buttons);

    connect(ApplyBtn, &QPushButton::clicked, this, [this] { ApplyBtnClick(); });
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::close);
    SetDialogHelp(this, HelpBtn, HelpContext);
}

void TIndentDlg::ApplyBtnClick()
{
    TScrollEditor* Pane = ToolActiveEditor();
    if (!Pane)
        return;
    const char Ch = SpaceRadio->isChecked() ? ' ' : '\t';
    const TToolWorking Working(Pane->HasMark() ? Pane->MarkedLength() : 0);
    const TStepWatch Watch(*Pane);
    IndentHighlight(*Pane, Ch, static_cast<int>(CountSpin->Value()), UnindentRadio->isChecked());
}

namespace {
QPointer<TIndentDlg> GIndentDlg;
}

TIndentDlg& IndentDlg()
{
    if (!GIndentDlg)
        GIndentDlg = new TIndentDlg(ToolMainWindow());
    return *GIndentDlg;
}

void ShowIndentDlg()
{
    TIndentDlg& D = IndentDlg();
    D.show();
    D.raise();
    D.activateWindow();
}

void FreeIndentDlg() { delete GIndentDlg.data(); }

}  // namespace narvo
