// The "Go To Line Numbers" tool window (see GoToLineDialog.h).
#include "tools/GoToLineDialog.h"

#include "components/IntSpin.h"
#include "editor/ScrollEditor.h"

#include <QPointer>

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

namespace narvo {

TLineNumDlg::TLineNumDlg(TGoToLineHooks Hooks, QWidget* Parent)
    : QDialog(Parent, Qt::Tool), FHooks(std::move(Hooks))
{
    setWindowTitle(QStringLiteral("Go To Line Numbers"));
    setModal(false);
    LineNumberSpin = new TIntegerSpin(this);
    LineNumberSpin->UseLimit = true;
    LineNumberSpin->SetMaxValue(1);
    LineNumberSpin->SetMinValue(1);
    LineNumberSpin->SetValue(1);
    auto* GoToBtn = new QPushButton(QStringLiteral("Go To Line"), this);
    GoToBtn->setDefault(true);
    HotTrackChk = new QCheckBox(QStringLiteral("Hot Track Numbers"), this);
    // The window's cancel button (also Esc): it closes the window.
    auto* CancelBtn = new QPushButton(QStringLiteral("Close"), this);
    auto* L = new QGridLayout(this);
    L->addWidget(new QLabel(QStringLiteral("Line Number"), this), 0, 0);
    L->addWidget(LineNumberSpin, 1, 0);
    L->addWidget(GoToBtn, 1, 1);
    L->addWidget(HotTrackChk, 2, 0);
    L->addWidget(CancelBtn, 2, 1);
    connect(GoToBtn, &QPushButton::clicked, this, [this] { GoToLineNumber(); });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    LineNumberSpin->OnChange = [this](QObject*) { LineNumberSpinChange(); };
}

void TLineNumDlg::ShowLineNumDlg()
{
    TScrollEditor* Main = FHooks.MainEditor ? FHooks.MainEditor() : nullptr;
    const std::int64_t Lines = Main ? Main->Strings->Count() : 1;
    // The number shown stays unless it no longer fits; hot tracking must not jump here.
    const bool Blocked = LineNumberSpin->BlockChangeEvent;
    LineNumberSpin->BlockChangeEvent = true;
    LineNumberSpin->SetMinValue(1);
    LineNumberSpin->SetMaxValue(std::max<std::int64_t>(Lines, 1));
    LineNumberSpin->BlockChangeEvent = Blocked;
    show();
    raise();
    activateWindow();
}

bool TLineNumDlg::GoToLineNumber()
{
    TScrollEditor* Main = FHooks.MainEditor ? FHooks.MainEditor() : nullptr;
    if (!Main)
        return false;
    auto Report = [this](const char* Text) {
        if (FHooks.ShowStatusMessage)
            FHooks.ShowStatusMessage(Text, true);
    };
    const std::int64_t Line = LineNumberSpin->Value() - 1;
    // A line the text no longer holds is not tried: the failed move would show its
    // own error, and the first error shown is the one that stays.
    const bool Moved = Main->PosInText({0, Line}) && Main->GotoPos({0, Line});
    const bool Scrolled = Main->SetTopLeft({0, Line});
    // The repaint updates the status line, so the errors come after it, as one
    // message for the same reason.
    Main->RefreshView(false);
    if (!Moved || !Scrolled)
        Report(!Scrolled ? (Moved ? "Scroll?" : "Range? Scroll?") : "Range?");
    return Moved;
}

void TLineNumDlg::LineNumberSpinChange()
{
    if (HotTrackChk->isChecked())
        GoToLineNumber();
}

void TLineNumDlg::ForgetNumber() { LineNumberSpin->SetValueQuiet(1); }

namespace {
QPointer<TLineNumDlg> GLineNum;
}

void CreateLineNumDlg(TGoToLineHooks Hooks, QWidget* Parent) { GLineNum = new TLineNumDlg(std::move(Hooks), Parent); }

void FreeLineNumDlg() { delete GLineNum.data(); }

TLineNumDlg* LineNumDlg() { return GLineNum.data(); }

void ForgetLineNumber()
{
    if (GLineNum)
        GLineNum->ForgetNumber();
}

}  // namespace narvo
