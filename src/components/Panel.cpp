// The bevelled panel base of the ruler and the on/off indicators.
#include "components/Panel.h"

#include "platform/Canvas.h"

#include <QMouseEvent>
#include <QPainter>

namespace narvo {


namespace {

// Width rings round Rect: top and left edges in Top, right and bottom edges in
// Bottom; Rect is left inside the rings.
void Frame3D(QPainter& Canvas, QRect& Rect, const QColor& Top, const QColor& Bottom, int Width)
{
    for (int i = 0; i < Width && Rect.width() > 0 && Rect.height() > 0; ++i) {
        Canvas.fillRect(QRect(Rect.left(), Rect.top(), Rect.width(), 1), Top);
        Canvas.fillRect(QRect(Rect.left(), Rect.top(), 1, Rect.height()), Top);
        Canvas.fillRect(QRect(Rect.right(), Rect.top(), 1, Rect.height()), Bottom);
        Canvas.fillRect(QRect(Rect.left(), Rect.bottom(), Rect.width(), 1), Bottom);
        Rect.adjust(1, 1, -1, -1);
    }
}

void DrawBevel(QPainter& Canvas, QRect& Rect, TBevelCut Cut, int Width)
{
    if (Cut == TBevelCut::bvNone)
        return;
    QColor top = ToQColor(clBtnHighlight);
    QColor bottom = ToQColor(clBtnShadow);
    if (Cut == TBevelCut::bvLowered)
        std::swap(top, bottom);
    else if (Cut == TBevelCut::bvSpace)
        top = bottom = ToQColor(clBtnFace);
    Frame3D(Canvas, Rect, top, bottom, Width);
}

} // namespace

TCustomPanel::TCustomPanel(QWidget* Parent)
    : QWidget(Parent)
{
    // Mouse moves are reported also with no button down, as the move handler expects.
    setMouseTracking(true);
    resize(FPreferredSize);
}

void TCustomPanel::SetPreferredSize(int Width, int Height)
{
    FPreferredSize = QSize(Width, Height);
    resize(FPreferredSize);
    updateGeometry();
}

void TCustomPanel::SetBevelInner(TBevelCut Value)
{
    if (Value != FBevelInner) {
        FBevelInner = Value;
        update();
    }
}

void TCustomPanel::SetBevelOuter(TBevelCut Value)
{
    if (Value != FBevelOuter) {
        FBevelOuter = Value;
        update();
    }
}

void TCustomPanel::SetBevelWidth(int Value)
{
    if (Value >= 1 && Value != FBevelWidth) {
        FBevelWidth = Value;
        update();
    }
}

void TCustomPanel::SetBorderWidth(int Value)
{
    if (Value >= 0 && Value != FBorderWidth) {
        FBorderWidth = Value;
        update();
    }
}

void TCustomPanel::SetBorderStyle(TBorderStyle Value)
{
    if (Value != FBorderStyle) {
        FBorderStyle = Value;
        update();
    }
}

void TCustomPanel::SetColor(TColor Value)
{
    if (Value != FColor) {
        FColor = Value;
        update();
    }
}

void TCustomPanel::SetFontColor(TColor Value)
{
    if (Value != FFontColor) {
        FFontColor = Value;
        update();
    }
}

void TCustomPanel::SetCaption(const QString& Value)
{
    if (Value != FCaption) {
        FCaption = Value;
        update();
    }
}

void TCustomPanel::SetAlignment(Qt::Alignment Value)
{
    Value &= Qt::AlignHorizontal_Mask;
    if (Value != FAlignment) {
        FAlignment = Value;
        update();
    }
}

int TCustomPanel::FrameSize() const
{
    int size = FBorderWidth;
    if (FBevelInner != TBevelCut::bvNone)
        size += FBevelWidth;
    if (FBevelOuter != TBevelCut::bvNone)
        size += FBevelWidth;
    if (FBorderStyle != TBorderStyle::bsNone)
        size += 1;
    return size;
}

void TCustomPanel::Paint(QPainter& Canvas)
{
    QRect rect = this->rect();
    if (FBorderStyle == TBorderStyle::bsSingle)
        Frame3D(Canvas, rect, ToQColor(clWindowFrame), ToQColor(clWindowFrame), 1);
    DrawBevel(Canvas, rect, FBevelOuter, FBevelWidth);
    const QColor fill = ToQColor(FColor);
    Frame3D(Canvas, rect, fill, fill, FBorderWidth);
    DrawBevel(Canvas, rect, FBevelInner, FBevelWidth);
    if (rect.isEmpty())
        return;
    Canvas.fillRect(rect, fill);
    if (FCaption.isEmpty())
        return;
    Canvas.setFont(font());
    Canvas.setPen(isEnabled() ? ToQColor(FFontColor) : ToQColor(clGrayText));
    // One text line centred vertically, as the panel always shows its caption.
    const int textHeight = Canvas.fontMetrics().height();
    const QRect line(rect.left(), rect.top() + (rect.height() - textHeight) / 2, rect.width(), textHeight);
    Canvas.drawText(line, int(FAlignment | Qt::AlignVCenter | Qt::TextSingleLine), FCaption);
}

void TCustomPanel::paintEvent(QPaintEvent*)
{
    QPainter canvas(this);
    Paint(canvas);
}

void TCustomPanel::MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)
{
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TCustomPanel::MouseMove(Qt::KeyboardModifiers Shift, int X, int Y)
{
    if (OnMouseMove)
        OnMouseMove(this, Shift, X, Y);
}

void TCustomPanel::MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)
{
    if (OnMouseUp)
        OnMouseUp(this, Button, Shift, X, Y);
}

void TCustomPanel::Click()
{
    if (OnClick)
        OnClick(this);
}

void TCustomPanel::mousePressEvent(QMouseEvent* Event)
{
    const QPoint p = Event->position().toPoint();
    if (Event->button() == Qt::LeftButton)
        FClicked = true;
    MouseDown(Event->button(), Event->modifiers(), p.x(), p.y());
}

void TCustomPanel::mouseMoveEvent(QMouseEvent* Event)
{
    const QPoint p = Event->position().toPoint();
    MouseMove(Event->modifiers(), p.x(), p.y());
}

void TCustomPanel::mouseReleaseEvent(QMouseEvent* Event)
{
    const QPoint p = Event->position().toPoint();
    // The click comes before the release handler, so a handler of either sees the
    // state the press left.
    if (Event->button() == Qt::LeftButton && FClicked) {
        FClicked = false;
        if (rect().contains(p))
            Click();
    }
    MouseUp(Event->button(), Event->modifiers(), p.x(), p.y());
}

} // namespace narvo
