// Putting the status line on the main window: the message field, the fields of
// both status bars computed by the status model, the on/off indicators, the copy,
// cut and save buttons, the ruler following the main pane, and the clicks of the
// indicators that change the switches they show.
#include "app/MainWindow.h"

#include "app/CommandLanguage.h"
#include "app/SmallTools.h"
#include "components/AutoButton.h"
#include "components/OnOffBox.h"
#include "components/TextRuler.h"
#include "language/AppState.h"
#include "language/CommandLines.h"
#include "language/Margins.h"
#include "language/StatusLine.h"
#include "language/TextRegister.h"
#include "platform/TextConvert.h"

#include <QLabel>
#include <QMouseEvent>
#include <algorithm>
#include <climits>
#include <cmath>

namespace narvo {

namespace {

void SetText(QLabel* L, const std::string& Text) { L->setText(AnsiToQString(Text)); }

int ClampToInt(std::int64_t V) { return static_cast<int>(std::clamp<std::int64_t>(V, INT_MIN, INT_MAX)); }

// A click on the zoom field resets the main pane's zoom.
class TZoomClick : public QObject {
public:
    explicit TZoomClick(TForm1* Form) : QObject(Form), FForm(Form) {}
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(Event)->button() == Qt::LeftButton)
            FForm->MainEditor->SetScale(1.0);
        return QObject::eventFilter(Watched, Event);
    }

private:
    TForm1* FForm;
};

}  // namespace

void TForm1::ShowStatusText() { SetText(StatusDis, " " + StatusMessage()); }

void TForm1::UpdateStatus()
{
    if (FDestroyed)
        return;
    FStatusHeld = false;
    FStatusShown = std::chrono::steady_clock::now();
    TScrollEditor* A = ActiveEditor ? ActiveEditor : MainEditor;
    const TStatusFields F = ComputeStatusFields(*A, A->Scale(), *MainEditor, static_cast<int>(CommandLines().Current),
                                                BoxCharText());
    SetText(StatusDis, F.StatusDis);
    SetText(CmdNumberDis, F.CmdNumberDis);
    SrchCaseOnOff->SetBoxOn(F.SrchCase);
    FileTypeOnOff->SetBoxOn(F.FileType);
    SrchDirOnOff->SetBoxOn(F.SrchDir);
    WordSearchOnOff->SetBoxOn(F.WordSearch);
    OverWriteOnOff->SetBoxOn(F.OverWrite);
    WrapOnOff->SetBoxOn(F.Wrap);
    // The style's cross is a code page 437 line character.
    BoxCharDis->setText(OemToQString(F.BoxCharDis));
    SetText(LineNumDis, F.LineNumDis);
    SetText(ColumnDis, F.ColumnDis);
    SetText(HighlightDis, F.HighlightDis);
    SetText(ZoomDis, F.ZoomDis);
    SetText(ModifiedDis, F.ModifiedDis);
    SaveBtn->setEnabled(F.SaveEnabled);
    EnableCopyCutButtons();
    // The ruler follows the main pane, whichever pane is active.
    SyncRulerScale(MainEditor);
    TextRuler->SetSpacing(MainEditor->CharWidth());
    // The pane paints its gutter zoomed too, so the ruler's first column starts
    // where the zoomed gutter ends, measured from the ruler's own left edge (within
    // the window: a place on the screen would ask the display server each time).
    const int ViewX = MainEditor->viewport()->mapTo(this, QPoint(0, 0)).x() - TextRuler->mapTo(this, QPoint(0, 0)).x();
    const int ZoomedGutter = static_cast<int>(std::nearbyint(MainEditor->GutterWidth() * MainEditor->Scale()));
    TextRuler->SetGutter(ViewX + ZoomedGutter - TextRuler->FrameSize());
    TextRuler->SetStart(ClampToInt(MainEditor->LeftColumn));
    const int CursorColumn = ClampToInt(MainEditor->DisplayColumn(MainEditor->Cursor->Pos(), true));
    if (TextRuler->CursorColumn != CursorColumn) {
        TextRuler->CursorColumn = CursorColumn;
        TextRuler->update();
    }
    TextRuler->SetMarker1(LeftMargin);
    TextRuler->SetMarker2(RightMargin);
    // Margins are whatever `M`, the settings or a preset gave, up to the int
    // limits: their sum is taken in 64 bits and the marker stops at the limit.
    TextRuler->SetMarker3(ClampToInt(std::int64_t{LeftMargin} + ParaIndent));
    SetText(CharHexDis, F.CharHexDis);
}

bool TForm1::HoldForRun(TScrollEditor* Repaint)
{
    if (!CommandLines().Running)
        return false;
    FStatusHeld = true;
    if (Repaint && std::find(FRepaintsHeld.begin(), FRepaintsHeld.end(), Repaint) == FRepaintsHeld.end())
        FRepaintsHeld.push_back(Repaint);
    return true;
}

void TForm1::ShowHeldStatus(bool Now)
{
    if (!FStatusHeld && !FScoopHeld)
        return;
    const auto Time = std::chrono::steady_clock::now();
    if (!Now && Time - FStatusShown < std::chrono::milliseconds(HeldStatusMs))
        return;
    FStatusShown = Time;
    if (FStatusHeld)
        UpdateStatus();
    if (FScoopHeld) {
        FScoopHeld = false;
        SetText(ScoopDis, FormatWhole(ProgramRegister() ? ProgramRegister()->FreeSpace() : TXRegister::Capacity));
    }
}

void TForm1::ReleaseHeld()
{
    ShowHeldStatus(true);
    for (TScrollEditor* Pane : FRepaintsHeld)
        if (Pane->isVisible())
            Pane->viewport()->update();
    FRepaintsHeld.clear();
}

TScrollEditor* TForm1::FocusedEditor() const
{
    return CmdEditor->hasFocus() ? CmdEditor : (ActiveEditor ? ActiveEditor : MainEditor);
}

void TForm1::EnableCopyCutButtons()
{
    const bool Marked = FocusedEditor()->HasMark();
    CopyBtn->setEnabled(Marked);
    CutBtn->setEnabled(Marked);
}

void TForm1::ShowScoopFreeSpace()
{
    // A scoop that collects during a run changes the register at every motion.
    FScoopHeld = true;
    if (!CommandLines().Running)
        ShowHeldStatus(true);
}

void TForm1::SyncRulerScale(TScrollEditor* Editor) { TextRuler->SetScale(Editor->Scale()); }

void TForm1::ShowLocation(std::int64_t Location) { SetText(LocationDis, FormatWhole(Location)); }

void TForm1::ShowTextSize(std::int64_t Size) { SetText(SizeDis, FormatWhole(Size)); }

void TForm1::ConnectStatusControls()
{
    // Each indicator's click copies its new state into the switch it shows.
    SrchCaseOnOff->OnClick = [this](QObject*) { IgnoreCaseFlag = SrchCaseOnOff->BoxOn(); };
    SrchDirOnOff->OnClick = [this](QObject*) { ForwardFlag = SrchDirOnOff->BoxOn(); };
    WordSearchOnOff->OnClick = [this](QObject*) { WholeWordFlag = WordSearchOnOff->BoxOn(); };
    OverWriteOnOff->OnClick = [this](QObject*) {
        (ActiveEditor ? ActiveEditor : MainEditor)->Overwrite = OverWriteOnOff->BoxOn();
    };
    // Turning wrap on wraps the cursor line at once, as F3 does.
    WrapOnOff->OnClick = [this](QObject*) {
        WrapFlag = WrapOnOff->BoxOn();
        if (WrapFlag)
            AutoWrapLine(ActiveEditor ? *ActiveEditor : *MainEditor);
    };
    // The file type only shows; the next refresh puts back what a click changed.
    FileTypeOnOff->OnClick = [this](QObject*) { UpdateStatus(); };
    ZoomDis->installEventFilter(new TZoomClick(this));
}

}  // namespace narvo
