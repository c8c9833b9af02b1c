// The mouse in the text: a press sets the cursor and the highlight (word on a
// double click, line and then paragraph on a double click in the gutter, extension
// with Shift, a pending drag inside the highlight), moves with the button held
// extend the highlight, and while the pointer is outside the client area a timer
// keeps scrolling the view (75 ms between steps close to the top or bottom edge).
#include "editor/ScrollEditor.h"

#include "platform/KeyState.h"

#include <QApplication>
#include <QMouseEvent>

namespace narvo {

void TScrollEditor::MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, std::int64_t X, std::int64_t Y,
                              bool Double)
{
    UndoList->SetLastPos(Cursor->Pos());
    ScoopStop();
    FPressPixel = QPoint(static_cast<int>(X), static_cast<int>(Y));
    FPointer = FPressPixel;
    FDragPending = false;
    Unscale(X, Y);
    if (Button == Qt::LeftButton) {
        MouseSelecting = true;
        // A display that takes no keyboard keeps it where it is.
        if (!hasFocus() && (focusPolicy() & Qt::ClickFocus))
            setFocus(Qt::MouseFocusReason);
    }
    const bool Alt = Shift.testFlag(Qt::AltModifier);
    if (!Cursor->ColumnBlock)
        Cursor->ColumnBlock = Alt;
    AnchorPos = Cursor->Pos();
    TPoint P;
    PixelToPos(X, Y, P);
    Cursor->SetPos(P);

    if (Double && Button != Qt::RightButton) {
        if (X <= GutterWidth()) {
            const TRect H = NormalizeRange(HighLight->Range());
            const std::int64_t Line = Cursor->Y.load();
            const bool WholeLine =
                H.Left == 0 && H.Top == Line && H.Bottom == Line && H.Right == Strings->LineLength(Line);
            if (WholeLine)
                MarkParagraph();
            else
                MarkLine();
        } else {
            MarkWordAtCursor();
        }
    } else if (!Shift.testFlag(Qt::ShiftModifier)) {
        const bool Inside = PointInMark(X, Y, true);
        if (Button != Qt::RightButton && Inside && !Cursor->ColumnBlock) {
            // The drag of the highlighted text begins once the mouse moves.
            FDragPending = true;
        } else if (!(Button == Qt::RightButton && Inside)) {
            Anchored = false;
            ClearMark();
            // The mode the press chose stays, and a cursor that is no longer in
            // column-block mode comes back onto its line.
            Cursor->ColumnBlock = Alt;
            if (!Alt)
                Cursor->SetPos(ClampPos(Cursor->Pos()));
            AnchorPos = Cursor->Pos();
        }
    } else {
        ExtendMark();
    }
    UndoList->AddMoveIfMoved(Cursor->Pos());
    DesiredColumn = -1;
    RefreshView(true);
}

void TScrollEditor::MouseMove(Qt::KeyboardModifiers, std::int64_t X, std::int64_t Y)
{
    FPointer = QPoint(static_cast<int>(X), static_cast<int>(Y));
    if (FDragPending) {
        if (FButtonDown && (FPointer - FPressPixel).manhattanLength() >= QApplication::startDragDistance())
            StartDrag();
        return;
    }
    if (!MouseSelecting || WordMarked)
        return;
    UndoList->SetLastPos(Cursor->Pos());
    ScoopSave(Cursor->Pos());
    DragSelectStep(true);
    UndoList->AddMoveIfMoved(Cursor->Pos());
    ScoopFire(Cursor->Pos());
    DesiredColumn = -1;
}

void TScrollEditor::MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers, std::int64_t X, std::int64_t Y)
{
    const bool Selecting = Button == Qt::LeftButton && MouseSelecting && !WordMarked && !FDragPending;
    const bool Scrolling = FDragTimer.isActive();
    const QPoint Release(static_cast<int>(X), static_cast<int>(Y));
    FButtonDown = false;
    FDragTimer.stop();
    // A drag-select ends where the button comes up, also outside the client area
    // and without a move before it; the panes' owners then see the final
    // highlight.
    if (Selecting && (Scrolling || Release != FPointer)) {
        FPointer = Release;
        UndoList->SetLastPos(Cursor->Pos());
        ScoopSave(Cursor->Pos());
        DragSelectStep(true);
        UndoList->AddMoveIfMoved(Cursor->Pos());
        ScoopFire(Cursor->Pos());
    }
    WordMarked = false;
    MouseSelecting = false;
    DesiredColumn = -1;
    FDragPending = false;
}

void TScrollEditor::DragSelectStep(bool Extend)
{
    const TPoint Before = Cursor->Pos();
    const TRect MarkBefore = HighLight->Range();
    std::int64_t X = FPointer.x(), Y = FPointer.y();
    Unscale(X, Y);
    TPoint P;
    PixelToPos(X, Y, P);
    Cursor->SetPos(P);
    if (Extend)
        ExtendMark();
    UpdateDisplay(true, false);
    const QRect Client = viewport()->rect();
    if (FButtonDown && MouseSelecting && !Client.contains(FPointer)) {
        // Outside the client area the view keeps scrolling while the button is
        // down; slowly close to the top or bottom edge.
        const int PY = FPointer.y();
        const bool Near = (PY < 0 && PY > -26) || (PY >= Client.height() && PY < Client.height() + 26);
        FDragTimer.start(Near ? 75 : 10);
        // Every step that moved the cursor or the highlight is told, not only
        // the one that ends inside.
        if (Cursor->Pos() != Before || HighLight->Range() != MarkBefore)
            DoChange();
        return;
    }
    FDragTimer.stop();
    DoChange();
}

void TScrollEditor::DragSelectTick()
{
    if (!FButtonDown || !MouseSelecting || WordMarked)
        return;
    UndoList->SetLastPos(Cursor->Pos());
    ScoopSave(Cursor->Pos());
    DragSelectStep(true);
    UndoList->AddMoveIfMoved(Cursor->Pos());
    ScoopFire(Cursor->Pos());
}

// --- Qt's mouse events ---------------------------------------------------------------

void TScrollEditor::mousePressEvent(QMouseEvent* Event)
{
    const TKeyStateScope Scope(Event->modifiers());
    const QPoint P = Event->position().toPoint();
    if (Event->button() == Qt::LeftButton)
        FButtonDown = true;
    FBeforePress = TPressState{*HighLight, Cursor->Pos(), Cursor->ColumnBlock, Anchored, AnchorPos};
    FPressSinceRelease = true;
    MouseDown(Event->button(), Event->modifiers(), P.x(), P.y(), false);
    if (OnMouseDown)
        OnMouseDown(this, Event->button(), Event->modifiers(), P.x(), P.y());
}

void TScrollEditor::mouseDoubleClickEvent(QMouseEvent* Event)
{
    const TKeyStateScope Scope(Event->modifiers());
    const QPoint P = Event->position().toPoint();
    if (Event->button() == Qt::LeftButton)
        FButtonDown = true;
    if (FPressSinceRelease) {
        // The second press already ran as a plain press: undo what it did to the
        // highlight, so that a double click in the gutter sees the line it marked.
        *HighLight = FBeforePress.Mark;
        Cursor->SetPos(FBeforePress.CursorPos);
        Cursor->ColumnBlock = FBeforePress.ColumnBlock;
        Anchored = FBeforePress.Anchored;
        AnchorPos = FBeforePress.AnchorPos;
    }
    MouseDown(Event->button(), Event->modifiers(), P.x(), P.y(), true);
    if (OnDblClick)
        OnDblClick(this);
    if (OnMouseDown)
        OnMouseDown(this, Event->button(), Event->modifiers(), P.x(), P.y());
}

void TScrollEditor::mouseMoveEvent(QMouseEvent* Event)
{
    const TKeyStateScope Scope(Event->modifiers());
    const QPoint P = Event->position().toPoint();
    MouseMove(Event->modifiers(), P.x(), P.y());
    if (OnMouseMove)
        OnMouseMove(this, Event->modifiers(), P.x(), P.y());
}

void TScrollEditor::mouseReleaseEvent(QMouseEvent* Event)
{
    const TKeyStateScope Scope(Event->modifiers());
    const QPoint P = Event->position().toPoint();
    const bool Click = viewport()->rect().contains(P);
    FPressSinceRelease = false;
    MouseUp(Event->button(), Event->modifiers(), P.x(), P.y());
    if (OnMouseUp)
        OnMouseUp(this, Event->button(), Event->modifiers(), P.x(), P.y());
    if (Click && Event->button() == Qt::LeftButton && OnClick)
        OnClick(this);
}

}  // namespace narvo
