// The two-state indicator of the status bar.
#include "components/OnOffBox.h"

namespace narvo {


TOnOffBox::TOnOffBox(QWidget* Parent)
    : TCustomPanel(Parent)
{
    SetPreferredSize(26, 26);
    SetBevelInner(TBevelCut::bvNone);
    SetBevelOuter(TBevelCut::bvLowered);
    SetAlignment(Qt::AlignHCenter);
    UpdateDisplay();
}

void TOnOffBox::UpdateDisplay()
{
    if (!isEnabled()) {
        SetColor(clSilver);
        return;
    }
    SetColor(FBoxOn ? FOnColor : FOffColor);
    SetCaption(FBoxOn ? FOnString : FOffString);
}

void TOnOffBox::SetUserChangeable(bool Value)
{
    if (Value != FUserChangeable) {
        FUserChangeable = Value;
        UpdateDisplay();
    }
}

void TOnOffBox::SetBoxOn(bool Value)
{
    FBoxOn = Value;
    UpdateDisplay();
}

void TOnOffBox::SetOnColor(TColor Value)
{
    if (Value != FOnColor) {
        FOnColor = Value;
        UpdateDisplay();
    }
}

void TOnOffBox::SetOffColor(TColor Value)
{
    if (Value != FOffColor) {
        FOffColor = Value;
        UpdateDisplay();
    }
}

void TOnOffBox::SetOnString(const QString& Value)
{
    FOnString = Value;
    if (FBoxOn)
        SetCaption(Value);
}

void TOnOffBox::SetOffString(const QString& Value)
{
    FOffString = Value;
    if (!FBoxOn)
        SetCaption(Value);
}

void TOnOffBox::MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)
{
    TCustomPanel::MouseDown(Button, Shift, X, Y);
    if (Button == Qt::LeftButton && FUserChangeable)
        SetBoxOn(!FBoxOn);
}

} // namespace narvo
