// The editor control as a component: construction and destruction, the published
// properties and their setters, the hooks the text model asks, and the sharing of
// one pane's buffer, cursor, highlight, undo rings and searcher with another.
#include "editor/ScrollEditor.h"

#include "editor/EditorClipboard.h"
#include "platform/KeyState.h"
#include "platform/ResourceFont.h"

#include <QScrollBar>
#include <algorithm>

namespace narvo {

namespace {

// The live editors, so that a drag's data and a dying owner of shared parts can be
// matched to a pane that still exists. User-interface thread only.
std::vector<TScrollEditor*>& LiveEditors()
{
    static std::vector<TScrollEditor*> Editors;
    return Editors;
}

}  // namespace

std::vector<TScrollEditor*>& ScrollEditorRegistry() { return LiveEditors(); }

TScrollEditor::TScrollEditor(QWidget* Parent) : TScrollBarWindow(Parent)
{
    LiveEditors().push_back(this);
    InstallPlatformClipboard();
    setAttribute(Qt::WA_InputMethodEnabled, true);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent, true);
    viewport()->setCursor(Qt::IBeamCursor);
    setFont(FixedSysFont());
    MeasureCell();
    SetScrollBars(ssBoth);
    connect(&FCaretTimer, &QTimer::timeout, this, [this] {
        // While updates are off (a command-line run) the caret does not blink: its
        // repaint would show a piece of the text in the middle of the run.
        if (!UpdatesEnabled)
            return;
        FCaretOn = !FCaretOn;
        viewport()->update(CaretRect().united(FCaretDrawn));
    });
    FDragTimer.setSingleShot(true);
    connect(&FDragTimer, &QTimer::timeout, this, [this] { DragSelectTick(); });
    Relayout();
    SetScrollRanges(0);
}

TScrollEditor::~TScrollEditor()
{
    auto& Editors = LiveEditors();
    Editors.erase(std::remove(Editors.begin(), Editors.end(), this), Editors.end());
    // Parts that another live pane still uses must keep working after this pane is
    // gone: their callbacks move to that pane, and this pane lets go of them before
    // the text model's destructor unhooks what it holds.
    if (Strings.use_count() > 1) {
        // The pane that takes the callbacks owns them from now on and unhooks them
        // when it goes in turn; with no such pane nothing may point here any more.
        TScrollEditor* Heir = nullptr;
        for (TScrollEditor* Other : Editors)
            if (Other->Strings == Strings) {
                Heir = Other;
                break;
            }
        if (Heir) {
            Heir->HookParts();
            Heir->Shared = false;
        } else if (!Shared) {
            UnhookParts();
        }
        Strings = std::make_shared<TEditBuffer>();
        Cursor = std::make_shared<TCursorObject>();
        HighLight = std::make_shared<THighLight>();
        UndoList = std::make_shared<TUndoControl>();
        RedoList = std::make_shared<TUndoControl>();
        Searcher = std::make_shared<TListSearcher>(*Strings);
    }
}

void TScrollEditor::ShareBuffer(TScrollEditor* Source)
{
    if (Shared || !Source || Source == this)
        return;
    TEditorEngine::ShareBuffer(*Source);
    TopLine = std::min(TopLine, Strings->Count() - 1);
    UpdateDisplay(true, false);
}

TShiftState TScrollEditor::LiveModifiers() const
{
    const Qt::KeyboardModifiers M = narvo::LiveModifiers();
    return TShiftState{M.testFlag(Qt::ShiftModifier), M.testFlag(Qt::ControlModifier), M.testFlag(Qt::AltModifier)};
}

void TScrollEditor::RequestRedraw(bool Relayout)
{
    UpdateDisplay(Relayout, false);
}

void TScrollEditor::UpdateDisplay(bool Relayout, bool FireChange)
{
    if (Relayout)
        EnsureCursorVisible();
    ClampTopLine();
    if (UpdatesEnabled) {
        // The bars follow the view also while the control is hidden (no paint).
        SetScrollRanges(LongestVisibleLine());
        if (isVisible())
            viewport()->repaint();
        CaretMoved();
    }
    if (FireChange)
        DoChange();
}

void TScrollEditor::Clear()
{
    TopLine = 0;
    LeftColumn = 0;
    Anchored = false;
    TEditorEngine::Clear();
}

void TScrollEditor::SetMarking(bool Value)
{
    if (Value != MarkingMode) {
        MarkingMode = Value;
        MarkAnchor = Cursor->Pos();
    }
}

void TScrollEditor::SetStrings(const std::vector<std::string>& Lines)
{
    {
        TEditBuffer::TUpdate U(*Strings);
        Strings->DeleteLines(0, Strings->Count() - 1);
        if (!Lines.empty()) {
            Strings->SetLine(0, Lines.front());
            Strings->InsertLines(1, std::vector<std::string>(Lines.begin() + 1, Lines.end()));
        }
    }
    Cursor->SetPos(ClampPos(Cursor->Pos()));
    if (HighLight->StartPos.Y >= Strings->Count() || HighLight->EndPos.Y >= Strings->Count())
        ClearMark();
    UpdateDisplay(false, false);
}

// --- property setters ------------------------------------------------------------------

void TScrollEditor::SetLineNumbers(bool Value)
{
    FLineNumbers = Value;
    UpdateDisplay(false, false);
}

void TScrollEditor::SetShowAll(bool Value)
{
    if (Value != FShowAll) {
        FShowAll = Value;
        RefreshView(true);
    }
}

void TScrollEditor::SetGutterSize(int Value)
{
    Value = std::max(Value, 0);
    if (Value != FGutterSize) {
        FGutterSize = Value;
        RefreshView(true);
    }
}

void TScrollEditor::SetCursorWidth(int Value)
{
    Value = std::max(Value, 1);
    if (Value != FCursorWidth) {
        DestroyCaret();
        FCursorWidth = Value;
        if (hasFocus())
            CreateCaret();
    }
}

void TScrollEditor::SetUseTabStops(bool Value)
{
    if (Value != FUseTabStops) {
        FUseTabStops = Value;
        RefreshView(true);
    }
}

void TScrollEditor::SetSpacesPerTab(int Value)
{
    // A settings file may hold 0 or a negative number; a tab is never narrower than
    // one column.
    Value = std::max(Value, 1);
    if (Value != FSpacesPerTab) {
        FSpacesPerTab = Value;
        RefreshView(true);
    }
}

namespace {

template <class T>
void SetAndRepaint(TScrollEditor& E, T& Field, T Value)
{
    if (Field != Value) {
        Field = Value;
        E.UpdateDisplay(false, false);
    }
}

}  // namespace

void TScrollEditor::SetHighlightColor(TColor Value) { SetAndRepaint(*this, FHighlightColor, Value); }
void TScrollEditor::SetNonDeleteColor(TColor Value) { SetAndRepaint(*this, FNonDeleteColor, Value); }
void TScrollEditor::SetControlColor(TColor Value) { SetAndRepaint(*this, FControlColor, Value); }
void TScrollEditor::SetShadowColor(TColor Value) { SetAndRepaint(*this, FShadowColor, Value); }
void TScrollEditor::SetShadowLine(bool Value) { SetAndRepaint(*this, FShadowLine, Value); }
void TScrollEditor::SetColor(TColor Value) { SetAndRepaint(*this, FColor, Value); }
void TScrollEditor::SetFontColor(TColor Value) { SetAndRepaint(*this, FFontColor, Value); }
void TScrollEditor::SetFontCharset(TCodePage Value) { SetAndRepaint(*this, FFontCharset, Value); }

}  // namespace narvo
