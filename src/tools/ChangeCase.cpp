// The "Set Case" tool window and the case change of a pane's highlight.
#include "tools/ChangeCase.h"

#include "components/ChmHelper.h"
#include "editor/ScrollEditor.h"
#include "tools/TextToolHooks.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace narvo {

void ApplyCase(TEditorEngine& Pane, TCaseMode Mode)
{
    if (Pane.HasMark() && Pane.Cursor->ColumnBlock) {
        // The case rules read the block as one text (a sentence goes on into the
        // next line's part); the result has the block's shape and goes back in place.
        std::string S = Pane.GetMarkedText();
        ApplyCaseMode(S, Mode);
        std::vector<std::string> Parts;
        for (std::size_t Start = 0, End; (End = S.find("\r\n", Start)) != std::string::npos; Start = End + 2)
            Parts.push_back(S.substr(Start, End - Start));
        ReplaceColumnParts(Pane, [&Parts](const TBlockPart& P) {
            const auto I = static_cast<std::size_t>(P.Index);
            return I < Parts.size() ? Parts[I] : std::string(P.Text);
        });
        return;
    }
    const THighLight Saved{Pane.HighLight->Found, Pane.HighLight->StartPos, Pane.HighLight->EndPos};
    if (!ReplaceHighlightedText(Pane, [Mode](std::string S) {
            ApplyCaseMode(S, Mode);
            return S;
        }))
        return;
    // The length is unchanged, so the saved ends cover the same characters.
    *Pane.HighLight = Saved;
    // The insertion told of an empty highlight; the status bar follows this one.
    Pane.UpdateDisplay(true);
}

TCaseDlg::TCaseDlg(QWidget* Parent) : QDialog(Parent)
{
    setObjectName("CaseDlg");
    setWindowTitle("Set Case");
    setWindowFlag(Qt::Tool);
    setModal(false);

    auto* Box = new QGroupBox("Case Options", this);
    auto* BoxLayout = new QVBoxLayout(Box);
    CaseRadio = new QButtonGroup(this);
    const char* Items[] = {"UPPER CASE", "lower case", "Sentence case", "Title Case", "tOGGLE cASE"};
    for (int I = 0; I < 5; ++I) {
        auto* Radio = new QRadioButton(Items[I], Box);
        CaseRadio->addButton(Radio, I);
        BoxLayout->addWidget(Radio);
    }
    SetMode(TCaseMode::Lower);

    ApplyBtn = new QPushButton("Apply", this);
    CloseBtn = new QPushButton("Close", this);
    HelpBtn = new QPushButton("Help", this);
    ApplyBtn->setDefault(true);
    auto* Buttons = new QHBoxLayout;
    Buttons->addWidget(ApplyBtn);
    Buttons->addWidget(CloseBtn);
    Buttons->addWidget(HelpBtn);
    auto* Main = new QVBoxLayout(this);
    Main->addWidget(Box);
    Main->addLayout(Buttons);

    connect(ApplyBtn, &QPushButton::clicked, this, [this] { ApplyBtnClick(); });
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::close);
    SetDialogHelp(this, HelpBtn, HelpContext);
}

TCaseMode TCaseDlg::Mode() const
{
    const int Id = CaseRadio->checkedId();
    return Id < 0 ? TCaseMode::Lower : static_cast<TCaseMode>(Id);
}

void TCaseDlg::SetMode(TCaseMode Mode) { CaseRadio->button(static_cast<int>(Mode))->setChecked(true); }

void TCaseDlg::ApplyBtnClick()
{
    if (TScrollEditor* Pane = ToolActiveEditor()) {
        const TToolWorking Working(Pane->HasMark() ? Pane->MarkedLength() : 0);
        ApplyCase(*Pane, Mode());
    }
}

namespace {
QPointer<TCaseDlg> GCaseDlg;
}

TCaseDlg& CaseDlg()
{
    if (!GCaseDlg)
        GCaseDlg = new TCaseDlg(ToolMainWindow());
    return *GCaseDlg;
}

void ShowCaseDlg()
{
    TCaseDlg& D = CaseDlg();
    D.show();
    D.raise();
    D.activateWindow();
}

void FreeCaseDlg() { delete GCaseDlg.data(); }

}  // namespace narvo
