// TOnOffBox: a two-state indicator, a short text on a coloured panel ("On" on
// lime, "Off" on red by default). A left press toggles it when UserChangeable;
// the click follows at the release, so a click handler sees the new state. A
// disabled box shows silver, with the text of the state it had, from its next
// display update.
#pragma once

#include "components/Panel.h"

namespace narvo {

class TOnOffBox : public TCustomPanel {
    Q_OBJECT
public:
    explicit TOnOffBox(QWidget* Parent = nullptr);

    bool UserChangeable() const { return FUserChangeable; }
    void SetUserChangeable(bool Value);
    bool BoxOn() const { return FBoxOn; }
    void SetBoxOn(bool Value); // always stores and updates the display
    TColor OnColor() const { return FOnColor; }
    void SetOnColor(TColor Value);
    TColor OffColor() const { return FOffColor; }
    void SetOffColor(TColor Value);
    const QString& OnString() const { return FOnString; }
    void SetOnString(const QString& Value);
    const QString& OffString() const { return FOffString; }
    void SetOffString(const QString& Value);

protected:
    void MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) override;

private:
    void UpdateDisplay();

    bool FUserChangeable = true;
    bool FBoxOn = true;
    TColor FOnColor = clLime;
    TColor FOffColor = clRed;
    QString FOnString = QStringLiteral("On");
    QString FOffString = QStringLiteral("Off");
};

} // namespace narvo
