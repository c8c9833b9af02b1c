// The auto-repeat speed button.
#include "components/AutoButton.h"

#include <QMouseEvent>
#include <QTimer>
#include <algorithm>

namespace narvo {

TAutoButton::TAutoButton(QWidget* Parent)
    : QToolButton(Parent)
{
    // A speed button never takes the keyboard focus from the pane it acts on.
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QAbstractButton::clicked, this, [this] { Click(); });
}

TAutoButton::~TAutoButton() = default; // the timer is a child and goes with the button

void TAutoButton::Click()
{
    if (OnClick)
        OnClick(this);
}

void TAutoButton::TimerExpired()
{
    if (!FRepeatTimer)
        return;
    FRepeatTimer->setInterval(std::max(0, FRepeatDelay));
    if (isDown() && FMouseIsDown) {
        try {
            Click();
        } catch (...) {
            FRepeatTimer->stop();
            throw;
        }
    }
}

void TAutoButton::mousePressEvent(QMouseEvent* Event)
{
    FMouseIsDown = true;
    QToolButton::mousePressEvent(Event);
    // Other buttons than the left one are kept too, so that their release comes
    // here and clears MouseIsDown.
    Event->accept();
    if (OnMouseDown) {
        const QPoint p = Event->position().toPoint();
        OnMouseDown(this, Event->button(), Event->modifiers(), p.x(), p.y());
    }
    if (FDoRepeat || (FControlRepeat && (Event->modifiers() & Qt::ControlModifier))) {
        if (!FRepeatTimer) {
            FRepeatTimer = new QTimer(this);
            connect(FRepeatTimer, &QTimer::timeout, this, &TAutoButton::TimerExpired);
        }
        FRepeatTimer->setInterval(std::max(0, FInitialDelay));
        FRepeatTimer->start();
    }
}

void TAutoButton::mouseReleaseEvent(QMouseEvent* Event)
{
    FMouseIsDown = false;
    {
        // The timer stops also when the release click throws.
        struct StopTimer {
            QTimer* Timer;
            ~StopTimer()
            {
                if (Timer)
                    Timer->stop();
            }
        } stop{FRepeatTimer};
        QToolButton::mouseReleaseEvent(Event);
    }
    Event->accept();
    if (OnMouseUp)
        OnMouseUp(this);
}

} // namespace narvo
