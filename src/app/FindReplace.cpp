// Find and replace from the Edit menu: the searches and the dialog (FindReplace.h).
#include "app/FindReplace.h"

#include "app/Documents.h"

#include "engine/EditorEngine.h"
#include "language/CommandHost.h"
#include "language/Margins.h"
#include "language/StatusLine.h"
#include "platform/Application.h"
#include "platform/TextConvert.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace narvo {

namespace {

void PrepareSearcher(TEditorEngine& Pane, const TFindOptions& O)
{
    Pane.Searcher->WholeWord = O.WholeWord;
    Pane.Searcher->IgnoreCase = !O.MatchCase;
}

TPoint RangeStart(const TRect& R) { return TPoint{R.Left, R.Top}; }
TPoint RangeEnd(const TRect& R) { return TPoint{R.Right, R.Bottom}; }

// The first match beginning at or after P (a text position); no state changes.
bool MatchFrom(TEditorEngine& Pane, const std::string& Pattern, TPoint P, TRect& R)
{
    // As a search position the place after P reads the character at P.
    return Pane.NextPos(P) && Pane.SearchForwardFrom(Pattern, P, R);
}

// The last match that ends at or before P; no state changes. A replacement that
// ends the text still lets the match right before it be found.
bool MatchEndingBy(TEditorEngine& Pane, const std::string& Pattern, TPoint P, TRect& R)
{
    // The search looks at matches beginning at or before the character read at its
    // search position, which is the one before it.
    if (!Pane.MovePos(P, -static_cast<std::int64_t>(Pattern.size()) + 1))
        return false;
    return Pane.Searcher->SearchBackward(Pattern, P, R);
}

// Replaces the highlighted match R; the cursor ends after the replacement.
void ReplaceRange(TEditorEngine& Pane, const TRect& R, const std::string& Text, bool FireChange)
{
    // Inserting ends a scoop, whose end clears the highlight: end it first, so the
    // insertion replaces the match.
    if (!Text.empty())
        Pane.ScoopStop();
    HighlightForReplacement(Pane, RangeStart(R), RangeEnd(R));
    if (Text.empty())
        Pane.DeleteMark();
    else
        Pane.InsertTextEx(Text, FireChange, false);
}

}  // namespace

bool SearchFromFindDialog(TEditorEngine& Pane, const TFindOptions& Options)
{
    if (Options.FindText.empty())
        return false;
    PrepareSearcher(Pane, Options);
    return Options.Down ? Pane.FindNext(Options.FindText) : Pane.FindPrevious(Options.FindText);
}

bool HighlightIsMatch(TEditorEngine& Pane, const TFindOptions& Options)
{
    if (Options.FindText.empty() || !Pane.HasMark() || Pane.Cursor->ColumnBlock)
        return false;
    PrepareSearcher(Pane, Options);
    const TRect Mark = TEditorEngine::NormalizeRange(Pane.HighLight->Range());
    TRect R;
    return MatchFrom(Pane, Options.FindText, RangeStart(Mark), R) && R == Mark;
}

bool ReplaceOnce(TEditorEngine& Pane, const TFindOptions& Options)
{
    if (HighlightIsMatch(Pane, Options))
        ReplaceRange(Pane, TEditorEngine::NormalizeRange(Pane.HighLight->Range()), Options.ReplaceText, true);
    return SearchFromFindDialog(Pane, Options);
}

std::int64_t ReplaceAll(TEditorEngine& Pane, const TFindOptions& Options)
{
    if (Options.FindText.empty())
        return 0;
    const std::string& Pattern = Options.FindText;
    // All the replacements undo in one step, however many there are.
    Pane.UndoList->BeginGroup();
    struct TGroupEnd {
        TEditorEngine& P;
        ~TGroupEnd() { P.UndoList->EndGroup(); }
    } GroupEnd{Pane};
    TRect R;
    bool Have = HighlightIsMatch(Pane, Options);
    if (Have)
        R = TEditorEngine::NormalizeRange(Pane.HighLight->Range());
    else {
        PrepareSearcher(Pane, Options);
        Have = Options.Down ? MatchFrom(Pane, Pattern, Pane.Cursor->Pos(), R)
                            : MatchEndingBy(Pane, Pattern, Pane.Cursor->Pos(), R);
    }
    if (!Have) {
        Pane.Status = edNotFound;
        return 0;
    }
    std::int64_t Count = 0;
    while (Have) {
        ReplaceRange(Pane, R, Options.ReplaceText, false);
        ++Count;
        // Forward the search goes on after the replacement, backward before it, so
        // the replacement itself is never searched.
        Have = Options.Down ? MatchFrom(Pane, Pattern, Pane.Cursor->Pos(), R)
                            : MatchEndingBy(Pane, Pattern, RangeStart(R), R);
    }
    Pane.UpdateDisplay(true);
    return Count;
}

// --- the dialog --------------------------------------------------------------------------

TFindReplaceDialog::TFindReplaceDialog(QWidget* Parent) : QDialog(Parent, Qt::Tool)
{
    setObjectName(QStringLiteral("FindReplaceDialog"));
    auto* Grid = new QGridLayout;
    FindEdit = new QLineEdit(this);
    ReplaceEdit = new QLineEdit(this);
    Grid->addWidget(new QLabel(QStringLiteral("Find what:"), this), 0, 0);
    Grid->addWidget(FindEdit, 0, 1);
    FReplaceRow = new QLabel(QStringLiteral("Replace with:"), this);
    Grid->addWidget(FReplaceRow, 1, 0);
    Grid->addWidget(ReplaceEdit, 1, 1);
    WholeWordChk = new QCheckBox(QStringLiteral("Match whole word only"), this);
    MatchCaseChk = new QCheckBox(QStringLiteral("Match case"), this);
    Grid->addWidget(WholeWordChk, 2, 0, 1, 2);
    Grid->addWidget(MatchCaseChk, 3, 0, 1, 2);
    auto* Direction = new QGroupBox(QStringLiteral("Direction"), this);
    auto* DirRow = new QHBoxLayout(Direction);
    UpBtn = new QRadioButton(QStringLiteral("Up"), Direction);
    DownBtn = new QRadioButton(QStringLiteral("Down"), Direction);
    DownBtn->setChecked(true);
    DirRow->addWidget(UpBtn);
    DirRow->addWidget(DownBtn);
    Grid->addWidget(Direction, 4, 0, 1, 2);

    auto* Buttons = new QVBoxLayout;
    FindNextBtn = new QPushButton(QStringLiteral("Find Next"), this);
    ReplaceBtn = new QPushButton(QStringLiteral("Replace"), this);
    ReplaceAllBtn = new QPushButton(QStringLiteral("Replace All"), this);
    auto* CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    FindNextBtn->setDefault(true);
    for (QPushButton* B : {FindNextBtn, ReplaceBtn, ReplaceAllBtn, CancelBtn})
        Buttons->addWidget(B);
    Buttons->addStretch(1);
    auto* Row = new QHBoxLayout(this);
    Row->addLayout(Grid, 1);
    Row->addLayout(Buttons);

    connect(FindNextBtn, &QPushButton::clicked, this, [this] { RunGuarded([this] { FindNextClick(); }); });
    connect(ReplaceBtn, &QPushButton::clicked, this, [this] { RunGuarded([this] { ReplaceClick(); }); });
    connect(ReplaceAllBtn, &QPushButton::clicked, this, [this] { RunGuarded([this] { ReplaceAllClick(); }); });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::hide);
    SetMode(false);
}

void TFindReplaceDialog::SetMode(bool Replace)
{
    FReplaceMode = Replace;
    setWindowTitle(Replace ? QStringLiteral("Replace") : QStringLiteral("Find"));
    FReplaceRow->setVisible(Replace);
    ReplaceEdit->setVisible(Replace);
    ReplaceBtn->setVisible(Replace);
    ReplaceAllBtn->setVisible(Replace);
}

void TFindReplaceDialog::Present()
{
    // Above the main window (a tool window of it), left where the user put it, and
    // with the keyboard in its find field, text selected: what the user types next
    // is the text to find, not text for the pane.
    show();
    raise();
    activateWindow();
    FindEdit->setFocus(Qt::OtherFocusReason);
    FindEdit->selectAll();
    // Enter in the find field is Find Next at every opening: a button pressed last
    // time (Cancel) took the default with the keyboard and kept it while hidden.
    FindNextBtn->setDefault(false);
    FindNextBtn->setDefault(true);
}

void TFindReplaceDialog::ShowFind(const std::string& FindText)
{
    SetMode(false);
    if (!FindText.empty())
        SetFindText(FindText);
    Present();
}

void TFindReplaceDialog::ShowReplace(const std::string& FindText, const std::string& ReplaceText)
{
    SetMode(true);
    if (!FindText.empty()) {
        SetFindText(FindText);
        SetReplaceText(ReplaceText);
    }
    Present();
}

TFindOptions TFindReplaceDialog::Options() const
{
    TFindOptions O;
    O.FindText = QStringToAnsi(FindEdit->text());
    O.ReplaceText = QStringToAnsi(ReplaceEdit->text());
    O.WholeWord = WholeWordChk->isChecked();
    O.MatchCase = MatchCaseChk->isChecked();
    O.Down = DownBtn->isChecked();
    return O;
}

namespace {

// A command line sets the texts at every search of a run: the same text again is
// left alone (a line edit given its own text anew still redoes its layout).
void SetEditText(QLineEdit* Edit, const std::string& Text)
{
    const QString Q = AnsiToQString(Text);
    if (Edit->text() != Q)
        Edit->setText(Q);
}

}  // namespace

void TFindReplaceDialog::SetFindText(const std::string& Text) { SetEditText(FindEdit, Text); }
void TFindReplaceDialog::SetReplaceText(const std::string& Text) { SetEditText(ReplaceEdit, Text); }

namespace {

// While a button's action runs the pane does not repaint, as during a command-line
// run: a Replace All of thousands of matches would otherwise paint (and scroll to)
// every one of them. The pane shows the end once, when the action is over.
class TRepaintAtEnd {
public:
    explicit TRepaintAtEnd(TEditorEngine& Pane) : FPane(Pane), FHost(CommandHost())
    {
        if (FHost)
            FHost->SetPaneUpdates(FPane, false);
    }
    ~TRepaintAtEnd()
    {
        if (FHost) {
            FHost->SetPaneUpdates(FPane, true);
            FHost->RepaintPane(FPane);
        }
    }
    TRepaintAtEnd(const TRepaintAtEnd&) = delete;
    TRepaintAtEnd& operator=(const TRepaintAtEnd&) = delete;

private:
    TEditorEngine& FPane;
    TCommandHost* FHost;
};

}  // namespace

void TFindReplaceDialog::RunSearch(bool (*Action)(TEditorEngine&, const TFindOptions&))
{
    if (!Pane)
        return;
    TEditorEngine& P = Pane();
    bool Found = false;
    {
        const TRepaintAtEnd Repaint(P);
        Found = Action(P, Options());
        // A search that finds nothing leaves no match looking found, and its
        // status outlives the pane's change handlers, which show and reset it.
        if (!Found && P.HighLight->Found)
            P.ClearMark();
    }
    P.Status = Found ? edDone : edNotFound;
    if (OnSearched)
        OnSearched();
}

void TFindReplaceDialog::FindNextClick() { RunSearch(&SearchFromFindDialog); }

void TFindReplaceDialog::ReplaceClick() { RunSearch(&ReplaceOnce); }

void TFindReplaceDialog::ReplaceAllClick()
{
    RunSearch([](TEditorEngine& P, const TFindOptions& O) {
        // On many megabytes the run passes a second: it shows that it works.
        const TWorkingOn Working(P.Strings->TextLength(1));
        return ReplaceAll(P, O) > 0;
    });
    if (Pane) {
        ShowGroupEnd(*Pane().UndoList);
        UpdateStatus();
    }
}

}  // namespace narvo
