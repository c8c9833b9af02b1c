// TAutoButton: a speed button that repeats its click while held. With DoRepeat
// (or ControlRepeat and Ctrl down at the press) a timer fires the click first
// after InitialDelay and then every RepeatDelay milliseconds while the button is
// down and the mouse still held; the release clicks once more as any button does.
// The spin edits' arrow buttons derive from it and read MouseIsDown.
#pragma once

#include "platform/ControlEvents.h"

#include <QToolButton>

class QTimer;

namespace narvo {

class TAutoButton : public QToolButton {
    Q_OBJECT
public:
    explicit TAutoButton(QWidget* Parent = nullptr);
    ~TAutoButton() override;

    int InitialDelay() const { return FInitialDelay; }
    void SetInitialDelay(int Value) { FInitialDelay = Value; }
    int RepeatDelay() const { return FRepeatDelay; }
    void SetRepeatDelay(int Value) { FRepeatDelay = Value; }
    bool DoRepeat() const { return FDoRepeat; }
    void SetDoRepeat(bool Value) { FDoRepeat = Value; }
    bool ControlRepeat() const { return FControlRepeat; }
    void SetControlRepeat(bool Value) { FControlRepeat = Value; }
    // True between a press and its release.
    bool MouseIsDown() const { return FMouseIsDown; }
    // The repeat timer: none until the first press that repeats.
    QTimer* RepeatTimer() const { return FRepeatTimer; }

    // Runs the click: OnClick when assigned. The release of a press inside the
    // button and each repeat come here.
    virtual void Click();
    // A tick of the repeat timer: later ticks come every RepeatDelay; the click
    // runs only while the button is down and the mouse is still held. A click that
    // throws stops the timer and the exception goes on to the caller.
    void TimerExpired();

    TNotifyEvent OnClick;
    TMouseEvent OnMouseDown;
    TNotifyEvent OnMouseUp; // after a release, once the timer has stopped

protected:
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;

private:
    int FInitialDelay = 400;
    int FRepeatDelay = 100;
    QTimer* FRepeatTimer = nullptr;
    bool FDoRepeat = false;
    bool FMouseIsDown = false;
    bool FControlRepeat = false;
};

} // namespace narvo
