// TCustomPanel: the bevelled panel the ruler and the on/off indicators are built
// on. It paints an optional single border, an outer bevel, a border gap and an
// inner bevel, fills the rest with its colour and centres its caption, and turns
// Qt's mouse events into the mouse-down/move/up and click handlers that
// descendants override (calling the panel's own handling first).
#pragma once

#include "shared/Colour.h"
#include "platform/ControlEvents.h"

#include <QString>
#include <QWidget>

class QPainter;

namespace narvo {

enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum class TBorderStyle { bsNone, bsSingle };

class TCustomPanel : public QWidget {
    Q_OBJECT
public:
    explicit TCustomPanel(QWidget* Parent = nullptr);

    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value); // below 1 is refused
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value); // below 0 is refused
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TColor FontColor() const { return FFontColor; }
    void SetFontColor(TColor Value);
    const QString& Caption() const { return FCaption; }
    void SetCaption(const QString& Value);
    Qt::Alignment Alignment() const { return FAlignment; }
    void SetAlignment(Qt::Alignment Value); // horizontal part only

    // The width of everything painted around the client area: both bevels, the
    // single border and the border gap.
    int FrameSize() const;

    QSize sizeHint() const override { return FPreferredSize; }

    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnClick;

protected:
    // The size the control asks for in a layout, and its size now.
    void SetPreferredSize(int Width, int Height);

    // Painting of the frame, the fill and the caption; descendants draw after it.
    virtual void Paint(QPainter& Canvas);
    virtual void MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    virtual void MouseMove(Qt::KeyboardModifiers Shift, int X, int Y);
    virtual void MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    virtual void Click();

    void paintEvent(QPaintEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;

private:
    TBevelCut FBevelInner = TBevelCut::bvNone;
    TBevelCut FBevelOuter = TBevelCut::bvRaised;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    TBorderStyle FBorderStyle = TBorderStyle::bsNone;
    TColor FColor = clBtnFace;
    TColor FFontColor = clWindowText;
    QString FCaption;
    Qt::Alignment FAlignment = Qt::AlignHCenter;
    QSize FPreferredSize{185, 41};
    bool FClicked = false; // a left press began here; its release inside is a click
};

} // namespace narvo
