// The page counter panel (see FrameCount.h).
#include "tools/FrameCount.h"

#include "components/AutoButton.h"

#include <algorithm>

namespace narvo {

TFrameCounter::TFrameCounter(QWidget* Parent) : TCustomPanel(Parent)
{
    SetAlignment(Qt::AlignHCenter);
    SetBevelOuter(TBevelCut::bvLowered);
    SetPreferredSize(131, 20);
    // The glyphs: start, left, right, end.
    static const char* const Glyphs[4] = {"|\u25C0", "\u25C0", "\u25B6", "\u25B6|"};
    static const char* const Names[4] = {"FirstBtn", "PriorBtn", "NextBtn", "LastBtn"};
    void (TFrameCounter::*const Steps[4])() = {&TFrameCounter::First, &TFrameCounter::Prior, &TFrameCounter::Next,
                                               &TFrameCounter::Last};
    for (int I = 0; I < 4; ++I) {
        auto* Button = new TAutoButton(this);
        Button->setObjectName(Names[I]);
        Button->setText(QString::fromUtf8(Glyphs[I]));
        Button->setAutoRaise(true);
        Button->setFocusPolicy(Qt::NoFocus);
        const auto Step = Steps[I];
        Button->OnClick = [this, Step](QObject*) { (this->*Step)(); };
        Buttons[I] = Button;
    }
    SetDoRepeat(true);
    SetColor(clWhite);
    UpdateCaption();
}

void TFrameCounter::resizeEvent(QResizeEvent* Event)
{
    TCustomPanel::resizeEvent(Event);
    const int Inset = FrameSize();
    const int Side = std::max(1, height() - BevelWidth() - BorderWidth());
    const int H = std::max(1, height() - 2 * Inset);
    Buttons[0]->setGeometry(Inset, Inset, Side, H);
    Buttons[1]->setGeometry(Inset + Side, Inset, Side, H);
    Buttons[3]->setGeometry(width() - Inset - Side, Inset, Side, H);
    Buttons[2]->setGeometry(width() - Inset - 2 * Side, Inset, Side, H);
}

void TFrameCounter::First() { GoTo(0); }

void TFrameCounter::Prior()
{
    if (FFrameIndex > 0)
        GoTo(FFrameIndex - 1);
    else if (Wrap)
        GoTo(FMaxFrames - 1);
}

void TFrameCounter::Next()
{
    if (FMaxFrames - 1 > FFrameIndex)
        GoTo(FFrameIndex + 1);
    else if (Wrap)
        GoTo(0);
}

void TFrameCounter::Last() { GoTo(FMaxFrames - 1); }

void TFrameCounter::GoTo(int Value)
{
    if (Value == FFrameIndex || Value < 0 || Value >= FMaxFrames)
        return;
    FFrameIndex = Value;
    UpdateCaption();
    Change();
}

void TFrameCounter::SetFrameIndex(int Value)
{
    if (Value == FFrameIndex || Value < 0 || Value >= FMaxFrames)
        return;
    FFrameIndex = Value;
    UpdateCaption();
}

void TFrameCounter::SetMaxFrames(int Value)
{
    if (Value != FMaxFrames) {
        FMaxFrames = Value;
        if (Value - 1 < FFrameIndex)
            FFrameIndex = std::max(0, Value - 1);
        UpdateCaption();
    }
    MaxChange();
}

void TFrameCounter::SetDoRepeat(bool Value)
{
    if (Value == FDoRepeat)
        return;
    FDoRepeat = Value;
    Buttons[1]->SetDoRepeat(Value);
    Buttons[2]->SetDoRepeat(Value);
}

void TFrameCounter::SetShowCount(bool Value)
{
    if (Value == FShowCount)
        return;
    FShowCount = Value;
    UpdateCaption();
}

QString TFrameCounter::CaptionText() const
{
    if (FShowCount)
        return QString::number(FFrameIndex + 1) + "/" + QString::number(FMaxFrames);
    if (FMaxFrames < 1)
        return QString();
    return QString::number(FFrameIndex + 1);
}

void TFrameCounter::UpdateCaption() { SetCaption(CaptionText()); }

void TFrameCounter::Change()
{
    if (OnChange)
        OnChange(this);
}

void TFrameCounter::MaxChange()
{
    if (OnMaxChange)
        OnMaxChange(this);
}

}  // namespace narvo
