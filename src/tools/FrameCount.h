// TFrameCounter: a panel showing the current frame and the total ("3/12") between
// four buttons that step to the first, previous, next and last frame. The print
// preview uses it as its page counter. The previous and next buttons repeat while
// held (DoRepeat).
#pragma once

#include "components/Panel.h"

namespace narvo {

class TAutoButton;

class TFrameCounter : public TCustomPanel {
    Q_OBJECT
public:
    explicit TFrameCounter(QWidget* Parent = nullptr);

    int FrameIndex() const { return FFrameIndex; }
    // Stores a value in 0 .. MaxFrames - 1 that differs; no OnChange.
    void SetFrameIndex(int Value);
    int MaxFrames() const { return FMaxFrames; }
    // Stores the count, pulling FrameIndex back inside it; OnMaxChange always.
    void SetMaxFrames(int Value);
    bool Wrap = false;
    bool DoRepeat() const { return FDoRepeat; }
    void SetDoRepeat(bool Value);
    bool ShowCount() const { return FShowCount; }
    void SetShowCount(bool Value);

    TNotifyEvent OnChange;     // the buttons changed the frame
    TNotifyEvent OnMaxChange;  // MaxFrames was written

    virtual void First();
    virtual void Prior();
    virtual void Next();
    virtual void Last();

    // First, previous, next, last.
    TAutoButton* Buttons[4] = {};
    // The caption as it shows now.
    QString CaptionText() const;

protected:
    virtual void Change();
    virtual void MaxChange();
    void resizeEvent(QResizeEvent* Event) override;

private:
    void GoTo(int Value);
    void UpdateCaption();
    int FFrameIndex = 0;
    int FMaxFrames = 5;
    bool FDoRepeat = false;
    bool FShowCount = false;
};

}  // namespace narvo
