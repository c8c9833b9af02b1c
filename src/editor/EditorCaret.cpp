// Our own caret: it exists while the editor has the focus, blinks every 500 ms on
// a timer of its own (the desktop's blink time is never touched), is drawn
// inverted over the text by the paint, and is reported to input methods so that
// their windows open at the cursor. Also the focus handling.
#include "editor/ScrollEditor.h"

#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethod>
#include <cmath>

namespace narvo {

namespace {
constexpr int BlinkMilliseconds = 500;
}

QRect TScrollEditor::CaretRect() const
{
    const TPoint P = CaretPos();
    const double S = Scale();
    return QRect(static_cast<int>(std::lround(static_cast<double>(P.X) * S)),
                 static_cast<int>(std::lround(static_cast<double>(P.Y) * S)),
                 std::max(1, static_cast<int>(std::lround(FCursorWidth * S))),
                 std::max(1, static_cast<int>(std::lround(FLineHeight * S))));
}

void TScrollEditor::CreateCaret()
{
    FCaretCreated = true;
    FCaretOn = true;
    FCaretTimer.start(BlinkMilliseconds);
    CaretMoved();
}

void TScrollEditor::DestroyCaret()
{
    if (!FCaretCreated)
        return;
    FCaretCreated = false;
    FCaretOn = false;
    FCaretTimer.stop();
    viewport()->update(FCaretDrawn);
}

void TScrollEditor::RecreateCaret()
{
    if (!FCaretCreated)
        return;
    DestroyCaret();
    CreateCaret();
}

void TScrollEditor::CaretMoved()
{
    if (!FCaretCreated)
        return;
    const QRect R = CaretRect();
    if (R != FCaretDrawn) {
        // A caret that moved shows at once and starts a new blink period.
        FCaretOn = true;
        FCaretTimer.start(BlinkMilliseconds);
        viewport()->update(FCaretDrawn.united(R));
    }
    if (hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle | Qt::ImEnabled);
}

QVariant TScrollEditor::inputMethodQuery(Qt::InputMethodQuery Query) const
{
    switch (Query) {
    case Qt::ImEnabled:
        return true;
    case Qt::ImCursorRectangle:
        return QRectF(CaretRect().translated(viewport()->pos()));
    default:
        return TScrollBarWindow::inputMethodQuery(Query);
    }
}

void TScrollEditor::focusInEvent(QFocusEvent* Event)
{
    TScrollBarWindow::focusInEvent(Event);
    CreateCaret();
    if (OnFocus)
        OnFocus(this);
}

void TScrollEditor::focusOutEvent(QFocusEvent* Event)
{
    TScrollBarWindow::focusOutEvent(Event);
    DestroyCaret();
    if (OnUnFocus)
        OnUnFocus(this);
}

bool TScrollEditor::focusNextPrevChild(bool Next)
{
    // A pane that handles its keys wants Tab and Shift+Tab itself; a display of
    // text passes them on to the next control.
    return TakesKeys() ? false : TScrollBarWindow::focusNextPrevChild(Next);
}

}  // namespace narvo
