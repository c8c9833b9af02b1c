// Dragging highlighted text between panes. The drop inserts the text at the point
// and, unless Ctrl is held or the source pane is read-only, deletes it from the
// source; the undo records are written so that one undo takes the whole drop back.
// Within one buffer (the same pane, or panes sharing a buffer) positions behind the
// moved block are shifted by its removal; a pane with its own buffer is changed
// independently, with a group of its own on its own undo ring.
#include "editor/ScrollEditor.h"

#include "platform/TextConvert.h"

#include <QCoreApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>

#include "platform/KeyState.h"

namespace narvo {

namespace {

// The dragging pane, named by process and address; only a live pane of this
// process is ever taken from it.
const QString DragMimeType = QStringLiteral("application/x-narvo-editor-drag");

QByteArray DragToken(const TScrollEditor* Editor)
{
    return QByteArray::number(QCoreApplication::applicationPid()) + ':' +
           QByteArray::number(reinterpret_cast<quintptr>(Editor));
}

}  // namespace

TScrollEditor* TScrollEditor::EditorFromMime(const QMimeData* Data)
{
    if (!Data || !Data->hasFormat(DragMimeType))
        return nullptr;
    const QByteArray Token = Data->data(DragMimeType);
    for (TScrollEditor* E : ScrollEditorRegistry())
        if (DragToken(E) == Token)
            return E;
    return nullptr;
}

void TScrollEditor::StartDrag()
{
    FDragPending = false;
    MouseSelecting = false;
    FButtonDown = false;
    DragStartPos = Cursor->Pos();
    auto* Data = new QMimeData;
    Data->setData(DragMimeType, DragToken(this));
    std::string Text = GetMarkedText();
    for (char& C : Text)
        if (C == '\r')
            C = '\n';
    Data->setText(BytesToQString(FFontCharset, Text));
    auto* Drag = new QDrag(this);
    Drag->setMimeData(Data);
    Drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
}

// Only a drag from a live pane of this process is taken: a drag from another
// program is refused from its entry, so that it never counts as a finished move and
// its source keeps its text (or file).
void TScrollEditor::dragEnterEvent(QDragEnterEvent* Event)
{
    if (EditorFromMime(Event->mimeData()))
        Event->acceptProposedAction();
    else
        Event->ignore();
}

void TScrollEditor::dragMoveEvent(QDragMoveEvent* Event)
{
    TScrollEditor* Source = EditorFromMime(Event->mimeData());
    if (!Source) {
        Event->ignore();
        return;
    }
    Event->acceptProposedAction();
    const QPoint P = Event->position().toPoint();
    DragOver(Source, P.x(), P.y());
}

void TScrollEditor::dropEvent(QDropEvent* Event)
{
    const TKeyStateScope Scope(Event->modifiers());
    const QPoint P = Event->position().toPoint();
    // The source learns of a move only when the text went in here; a drop that
    // inserted nothing is refused.
    const Qt::DropAction Done = DragDrop(EditorFromMime(Event->mimeData()), P.x(), P.y());
    if (Done == Qt::IgnoreAction) {
        Event->setDropAction(Qt::IgnoreAction);
        Event->ignore();
        return;
    }
    Event->setDropAction(Done);
    Event->accept();
}

void TScrollEditor::DragOver(TScrollEditor*, std::int64_t X, std::int64_t Y)
{
    if (!hasFocus())
        setFocus(Qt::OtherFocusReason);
    // The cursor follows the pointer, and the view scrolls to keep it visible.
    FPointer = QPoint(static_cast<int>(X), static_cast<int>(Y));
    DragSelectStep(false);
}

Qt::DropAction TScrollEditor::DragDrop(TScrollEditor* Source, std::int64_t X, std::int64_t Y)
{
    if (!Source || FReadOnly)
        return Qt::IgnoreAction;
    Unscale(X, Y);
    // Only stream highlights are dragged.
    if (Source->HighLight->Empty() || Source->Cursor->ColumnBlock) {
        UpdateDisplay(true, true);
        return Qt::IgnoreAction;
    }
    const bool SameBuffer = Source->Strings == Strings;
    TPoint D;
    PixelToPos(X, Y, D);
    D = ClampPos(D);
    const std::string T = Source->GetMarkedText();
    // A read-only source cannot lose the text: the drop copies.
    const bool Move = !LiveModifiers().Ctrl && !Source->ReadOnly();
    if (SameBuffer) {
        const TRect H = NormalizeRange(HighLight->Range());
        const bool OnBlock =
            ComparePos(D, TPoint{H.Left, H.Top}) >= 0 && ComparePos(D, TPoint{H.Right, H.Bottom}) <= 0;
        if (PointInMark(X, Y, false) || OnBlock) {
            UpdateDisplay(true, true);
            return Qt::IgnoreAction;
        }
        DropWithin(Source, D, T, Move);
    } else {
        DropAcross(Source, D, T, Move);
    }
    UpdateDisplay(true, true);
    if (Source != this)
        Source->UpdateDisplay(false, true);
    return Move ? Qt::MoveAction : Qt::CopyAction;
}

void TScrollEditor::DropWithin(TScrollEditor* Source, TPoint D, const std::string& T, bool Move)
{
    const TRect H = NormalizeRange(HighLight->Range());
    const TPoint HS{H.Left, H.Top}, HE{H.Right, H.Bottom};
    // The text goes in as the block holds it: an LF of a line stays a character.
    const TCharCrs Crs = CharCrsIn(H);
    // A position behind the block, once the block is gone.
    auto ShiftBack = [&](TPoint P) {
        return P.Y == H.Bottom ? TPoint{H.Left + P.X - H.Right, H.Top} : TPoint{P.X, P.Y - (H.Bottom - H.Top)};
    };
    UndoList->AddItem(ukMove, "", ufOpen, Source->DragStartPos);
    Cursor->SetPos(HE);
    TPoint InsStart = D, InsEnd = D;
    auto Insert = [&] {
        UndoList->AddItem(ukMove, "", ufInner, Cursor->Pos());
        Cursor->SetPos(D);
        UndoList->AddItemExact(ukDeleteBack, T, ufInner, D, Crs);
        InsertRecordText(T, false, Crs);
        InsEnd = Cursor->Pos();
    };
    auto Delete = [&] {
        Cursor->SetPos(HE);
        UndoList->AddItemExact(ukInsert, T, ufInner, HE, Crs);
        DeleteRange(H);
        ClearMark();
    };
    if (ComparePos(HS, D) <= 0) {
        // Behind the block: insert first, so that the block's positions still hold.
        Insert();
        if (Move) {
            UndoList->AddItem(ukMove, "", ufInner, Cursor->Pos());
            Delete();
            InsStart = ShiftBack(InsStart);
            InsEnd = ShiftBack(InsEnd);
        }
    } else {
        if (Move)
            Delete();
        Insert();
    }
    UndoList->AddItem(ukMove, "", ufClose, Cursor->Pos());
    Cursor->SetPos(InsStart);
    SetStreamHighlight(InsStart, InsEnd);
    Anchored = false;
}

void TScrollEditor::DropAcross(TScrollEditor* Source, TPoint D, const std::string& T, bool Move)
{
    const TRect H = NormalizeRange(Source->HighLight->Range());
    // The text goes in as the source holds it: an LF of a line stays a character.
    const TCharCrs Crs = Source->CharCrsIn(H);
    UndoList->AddItem(ukMove, "", ufOpen, Cursor->Pos());
    Cursor->SetPos(D);
    UndoList->AddItemExact(ukDeleteBack, T, ufInner, D, Crs);
    InsertRecordText(T, false, Crs);
    const TPoint InsEnd = Cursor->Pos();
    UndoList->AddItem(ukMove, "", ufClose, InsEnd);
    Cursor->SetPos(D);
    SetStreamHighlight(D, InsEnd);
    Anchored = false;
    if (!Move)
        return;
    // The source's own group on its own ring: one undo there brings the text back.
    TUndoControl& SourceUndo = *Source->UndoList;
    SourceUndo.AddItem(ukMove, "", ufOpen, Source->Cursor->Pos());
    Source->Cursor->SetPos(TPoint{H.Right, H.Bottom});
    SourceUndo.AddItemExact(ukInsert, T, ufInner, TPoint{H.Right, H.Bottom}, Crs);
    Source->DeleteRange(H);
    Source->ClearMark();
    Source->Anchored = false;
    SourceUndo.AddItem(ukMove, "", ufClose, Source->Cursor->Pos());
}

}  // namespace narvo
