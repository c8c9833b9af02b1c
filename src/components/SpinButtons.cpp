// Edit boxes with undo and the spin edit base (see SpinButtons.h).
#include "components/SpinButtons.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <algorithm>

namespace narvo {

namespace {

std::function<void()>& BeepHook()
{
    static std::function<void()> Hook;
    return Hook;
}

}  // namespace

void SpinBeep()
{
    if (BeepHook())
        BeepHook()();
    else
        QApplication::beep();
}

std::function<void()> SetSpinBeepHook(std::function<void()> Hook)
{
    std::function<void()> Previous = std::move(BeepHook());
    BeepHook() = std::move(Hook);
    return Previous;
}

// --- snapshots ------------------------------------------------------------------------------------

TEditSnapshot TEditUndoer::Take(const TCustomEditEx& Edit)
{
    return TEditSnapshot{Edit.text(), Edit.SelStart(), Edit.SelLength()};
}

void TEditUndoer::Restore(TCustomEditEx& Edit, const TEditSnapshot& S)
{
    Edit.setText(S.Text);
    if (Edit.focusPolicy() != Qt::NoFocus && Edit.isEnabled() && Edit.isVisible())
        Edit.setFocus();
    Edit.update();
    if (S.SelLength > 0)
        Edit.setSelection(S.SelStart, S.SelLength);
    else
        Edit.setCursorPosition(S.SelStart);
}

void TEditUndoer::SaveSnapshot(TCustomEditEx& Edit)
{
    FUndo.push_back(Take(Edit));
    FRedo.clear();
}

void TEditUndoer::PushRedo(TCustomEditEx& Edit) { FRedo.push_back(Take(Edit)); }

void TEditUndoer::Undo(TCustomEditEx& Edit)
{
    if (FUndo.empty())
        return;
    PushRedo(Edit);
    const TEditSnapshot S = std::move(FUndo.back());
    FUndo.pop_back();
    Restore(Edit, S);
}

void TEditUndoer::Redo(TCustomEditEx& Edit)
{
    if (FRedo.empty())
        return;
    FUndo.push_back(Take(Edit));
    const TEditSnapshot S = std::move(FRedo.back());
    FRedo.pop_back();
    Restore(Edit, S);
}

// --- the edit box ----------------------------------------------------------------------------------

TCustomEditEx::TCustomEditEx(QWidget* Parent) : QLineEdit(Parent) {}

int TCustomEditEx::SelStart() const { return hasSelectedText() ? selectionStart() : cursorPosition(); }

int TCustomEditEx::SelLength() const { return hasSelectedText() ? static_cast<int>(selectedText().size()) : 0; }

void TCustomEditEx::DoUndo()
{
    Undoer.Undo(*this);
    if (OnUndo)
        OnUndo(this);
}

void TCustomEditEx::DoRedo()
{
    Undoer.Redo(*this);
    if (OnReDo)
        OnReDo(this);
}

void TCustomEditEx::KeyDown(std::uint16_t& Key, Qt::KeyboardModifiers)
{
    if (Key == VK_DELETE && (SelStart() < text().size() || SelLength() > 0))
        Undoer.SaveSnapshot(*this);
}

void TCustomEditEx::KeyPress(char& Key)
{
    if (ShortCutMode == smStandard) {
        switch (Key) {
        case 1:
            selectAll();
            Key = 0;
            return;
        case 26:
            DoUndo();
            Key = 0;
            return;
        case 25:
            DoRedo();
            Key = 0;
            return;
        case 8:
            if (SelStart() == 0 && SelLength() == 0) {
                Key = 0;
                return;
            }
            break;
        default:
            break;
        }
    }
    Undoer.SaveSnapshot(*this);
}

namespace {

// Whether Window has a visible default button, which Enter presses in any box of it.
bool HasDefaultButton(const QWidget* Window)
{
    const auto Buttons = Window->findChildren<QPushButton*>();
    return std::any_of(Buttons.begin(), Buttons.end(), [](const QPushButton* B) { return B->isDefault() && B->isVisible(); });
}

}  // namespace

void TCustomEditEx::keyPressEvent(QKeyEvent* Event)
{
    // Enter is the window's key when it has a default button: the box neither types
    // nor refuses it, and the dialog presses the button.
    const bool Enter = Event->key() == Qt::Key_Return || Event->key() == Qt::Key_Enter;
    if (Enter && !(Event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) && HasDefaultButton(window())) {
        Event->ignore();
        return;
    }
    const TKeyStroke S = TranslateKeyEvent(*Event);
    if (S.Refused) {
        // A character without a byte in the code page is never put into the box.
        SpinBeep();
        Event->accept();
        return;
    }
    if (S.Key != 0) {
        std::uint16_t Key = S.Key;
        KeyDown(Key, S.Shift);
        if (Key == 0) {
            Event->accept();
            return;
        }
    }
    if (S.HasChar) {
        char C = S.Char;
        KeyPress(C);
        if (C == 0) {
            Event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(Event);
}

void TCustomEditEx::focusOutEvent(QFocusEvent* Event)
{
    QLineEdit::focusOutEvent(Event);
    if (OnKillFocus)
        OnKillFocus(this);
}

// --- arrow buttons -----------------------------------------------------------------------------------

TArrowButton::TArrowButton(QWidget* Parent) : TAutoButton(Parent) {}

void TArrowButton::SetUpArrow(bool Value)
{
    if (FUpArrow == Value)
        return;
    FUpArrow = Value;
    update();
}

void TArrowButton::paintEvent(QPaintEvent* Event)
{
    TAutoButton::paintEvent(Event);
    QPainter P(this);
    const QColor Colour = isEnabled() ? QColor(0, 0, 0) : QColor(0x80, 0x80, 0x80);
    P.setPen(Colour);
    P.setBrush(Colour);
    const int X = (width() - 7) / 2;
    QPolygon Triangle;
    if (FUpArrow) {
        const int Base = (height() - 3) / 2 - 1 + 3;
        Triangle << QPoint(X, Base) << QPoint(X + 6, Base) << QPoint(X + 3, Base - 3);
    } else {
        const int Top = (height() - 3) / 2;
        Triangle << QPoint(X, Top) << QPoint(X + 6, Top) << QPoint(X + 3, Top + 3);
    }
    P.drawPolygon(Triangle);
    if (Focused && hasFocus()) {
        QStyleOptionFocusRect Option;
        Option.initFrom(this);
        const int Shift = isDown() ? 1 : 0;
        Option.rect = rect().adjusted(3 + Shift, 3 + Shift, -3 + Shift, -3 + Shift);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &Option, &P, this);
    }
}

TUpDownButton::TUpDownButton(QWidget* Parent) : QWidget(Parent)
{
    UpButton = new TArrowButton(this);
    DownButton = new TArrowButton(this);
    UpButton->SetUpArrow(true);
    for (TArrowButton* B : {UpButton, DownButton}) {
        B->SetDoRepeat(true);
        B->OnClick = [this, B](QObject*) { BtnClick(B); };
        B->OnMouseDown = [this, B](QObject*, Qt::MouseButton Button, Qt::KeyboardModifiers, int, int) {
            BtnMouseDown(B, Button);
        };
    }
    SetFocusBtn(UpButton);
    resize(17, 23);
    AdjustSize();
}

bool TUpDownButton::Pressed() const { return UpButton->isDown() || DownButton->isDown(); }

void TUpDownButton::AdjustSize()
{
    const int W = std::max(width(), 15);
    if (W != width()) {
        resize(W, height());
        return;  // the resize lays the buttons out again
    }
    const int UpHeight = height() / 2;
    UpButton->setGeometry(0, 0, W, UpHeight);
    DownButton->setGeometry(0, UpHeight - 1, W, height() - UpHeight + 1);
}

void TUpDownButton::resizeEvent(QResizeEvent* Event)
{
    QWidget::resizeEvent(Event);
    AdjustSize();
}

void TUpDownButton::SetFocusBtn(TArrowButton* Button)
{
    if (FFocusedButton)
        FFocusedButton->Focused = false;
    FFocusedButton = Button;
    Button->Focused = true;
    UpButton->update();
    DownButton->update();
}

void TUpDownButton::BtnClick(TArrowButton* Sender)
{
    const TNotifyEvent& E = Sender == UpButton ? OnUpClick : OnDownClick;
    if (E)
        E(this);
}

void TUpDownButton::BtnMouseDown(TArrowButton* Sender, Qt::MouseButton Button)
{
    if (Button != Qt::LeftButton)
        return;
    const bool TabStop = (focusPolicy() & Qt::TabFocus) != 0;
    if (TabStop && isEnabled())
        SetFocusBtn(Sender);
    QWidget* F = FocusControl.data();
    if (F && (F->focusPolicy() & Qt::TabFocus) && F->isEnabled() && F->isVisible() && !F->hasFocus())
        F->setFocus(Qt::MouseFocusReason);
    else if (TabStop && isEnabled())
        setFocus(Qt::MouseFocusReason);
}

void TUpDownButton::keyPressEvent(QKeyEvent* Event)
{
    switch (Event->key()) {
    case Qt::Key_Space:
        FFocusedButton->Click();
        break;
    case Qt::Key_Up:
        SetFocusBtn(UpButton);
        UpButton->Click();
        break;
    case Qt::Key_Down:
        SetFocusBtn(DownButton);
        DownButton->Click();
        break;
    default:
        QWidget::keyPressEvent(Event);
        return;
    }
    Event->accept();
}

// --- the spin edit base --------------------------------------------------------------------------------

TCustomSpin::TCustomSpin(QWidget* Parent) : TCustomEditEx(Parent)
{
    FButton = new TUpDownButton(this);
    FButton->resize(15, 17);
    FButton->FocusControl = this;
    FButton->setFocusPolicy(Qt::NoFocus);
    FPanel = new TDisPanel(this);
    FPanel->resize(0, 17);
    FPanel->SetBevelInner(TBevelCut::bvNone);
    FPanel->SetBevelOuter(TBevelCut::bvRaised);
    FPanel->SetBorderWidth(0);
    FPanel->hide();
    setText(QStringLiteral("0"));
    setMinimumHeight(MinHeight());
    connect(this, &QLineEdit::textChanged, this, [this] { Change(); });
    LayoutParts();
}

int TCustomSpin::MinHeight() const
{
    const int Frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    return fontMetrics().height() + 2 * Frame + 2;
}

QString TCustomSpin::UnitsString() const { return FPanel->Caption(); }

void TCustomSpin::SetUnitsString(const QString& Value)
{
    FPanel->SetCaption(Value);
    FPanel->setVisible(!Value.isEmpty());
    UpdateUnitsPanel();
}

void TCustomSpin::SetPanelWidth(int Value)
{
    if (Value == FPanelWidth)
        return;
    FPanelWidth = Value;
    UpdateUnitsPanel();
}

void TCustomSpin::UpdateUnitsPanel()
{
    int W = FPanelWidth;
    if (W == 0)
        W = FPanel->Caption().isEmpty() ? 0 : FPanel->fontMetrics().horizontalAdvance(FPanel->Caption()) + 6;
    FPanel->resize(W, FPanel->height());
    LayoutParts();
}

void TCustomSpin::LayoutParts()
{
    const int BW = FButton->width();
    // The pair sits inside the box's frame; the units panel immediately left of it.
    FButton->setGeometry(width() - BW - 2, 2, BW, std::max(0, height() - 4));
    FPanel->setGeometry(FButton->x() - FPanel->width(), FButton->y(), FPanel->width(), FButton->height());
    // Typed text never runs under the buttons or the units.
    const int Right = BW + 2 + (FPanel->isVisibleTo(this) ? FPanel->width() : 0);
    setTextMargins(0, 0, Right, 0);
}

void TCustomSpin::resizeEvent(QResizeEvent* Event)
{
    TCustomEditEx::resizeEvent(Event);
    const int Min = MinHeight();
    if (height() < Min) {
        resize(width(), Min);
        return;
    }
    LayoutParts();
}

void TCustomSpin::Change()
{
    if (!BlockChangeEvent && OnChange)
        OnChange(this);
}

void TCustomSpin::DoWrap(TWrapMode Mode)
{
    if (OnWrap)
        OnWrap(this, Mode);
}

bool TCustomSpin::AcceptChar(char Key, bool Allowed) const
{
    const unsigned char C = static_cast<unsigned char>(Key);
    if ((C >= 32 || C == 13) && !Allowed)
        return false;
    if (!FEditorEnabled && (C >= 32 || C == 8))
        return false;
    return true;
}

void TCustomSpin::KeyDown(std::uint16_t& Key, Qt::KeyboardModifiers Shift)
{
    if (Key == VK_UP) {
        UpClick();
        Key = 0;
        return;
    }
    if (Key == VK_DOWN) {
        DownClick();
        Key = 0;
        return;
    }
    if (Key == VK_DELETE && !FEditorEnabled) {
        SpinBeep();
        Key = 0;
        return;
    }
    TCustomEditEx::KeyDown(Key, Shift);
}

void TCustomSpin::KeyPress(char& Key)
{
    if (!IsValidChar(Key)) {
        Key = 0;
        SpinBeep();
        return;
    }
    TCustomEditEx::KeyPress(Key);
}

void TCustomSpin::keyPressEvent(QKeyEvent* Event)
{
    // Paste and cut change the text only while it may be edited.
    if ((Event->matches(QKeySequence::Paste) || Event->matches(QKeySequence::Cut)) &&
        (!FEditorEnabled || isReadOnly())) {
        Event->accept();
        return;
    }
    TCustomEditEx::keyPressEvent(Event);
}

void TCustomSpin::contextMenuEvent(QContextMenuEvent* Event)
{
    if (!FEditorEnabled) {
        Event->accept();
        return;
    }
    TCustomEditEx::contextMenuEvent(Event);
}

void TCustomSpin::focusInEvent(QFocusEvent* Event)
{
    if (AutoSelect && QApplication::mouseButtons() == Qt::NoButton)
        selectAll();
    TCustomEditEx::focusInEvent(Event);
}

void TCustomSpin::changeEvent(QEvent* Event)
{
    TCustomEditEx::changeEvent(Event);
    if (Event->type() == QEvent::EnabledChange)
        FPanel->SetFontColor(isEnabled() ? 0x000000 : 0x808080);
}

}  // namespace narvo
