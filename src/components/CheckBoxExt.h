// TCheckBoxExt, a check box that can be set without firing its click, and
// TCheckedGroup, a group box whose caption is such a check box and whose state
// can enable and disable the group's contents. As on the program's forms, the
// click event of a check box fires also when code changes its state; only
// NoEventChecked changes it silently.
#pragma once

#include "platform/ControlEvents.h"

#include <QCheckBox>
#include <QGroupBox>

namespace narvo {

class TCheckBoxExt : public QCheckBox {
    Q_OBJECT
public:
    explicit TCheckBoxExt(QWidget* Parent = nullptr);

    bool Checked() const { return isChecked(); }
    // Changes the state and, when it changed, fires the click.
    void SetChecked(bool Value) { setChecked(Value); }
    bool NoEventChecked() const { return isChecked(); }
    // Changes the state with the click handling switched off.
    void SetNoEventChecked(bool Value);

    // The click: fired when the state changes, by the user or by SetChecked.
    TNotifyEvent OnClick;

protected:
    virtual void Click();

private:
    bool FClicksDisabled = false;
};

class TCheckedGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit TCheckedGroup(QWidget* Parent = nullptr);
    ~TCheckedGroup() override;

    // The caption check box, named "InternalCheckBox".
    TCheckBoxExt* CheckBox() const { return FCheckBox; }

    bool EnableChildren() const { return FEnableChildren; }
    void SetEnableChildren(bool Value) { FEnableChildren = Value; }
    const QString& Caption() const { return FCaption; }
    void SetCaption(const QString& Value);
    bool Checked() const;
    // While the form is loading the check box is set silently; afterwards its click
    // fires and so does OnCheckClick.
    void SetChecked(bool Value);
    bool NoEventChecked() const;
    // Sets the state silently, then (with EnableChildren) enables or disables the
    // contents by it.
    void SetNoEventChecked(bool Value);

    // A form built in code brackets its property settings with these two, the way
    // a stored form is loaded: Loaded then applies the check box's state to the
    // contents.
    void BeginLoad() { FLoading = true; }
    void Loaded();
    bool Loading() const { return FLoading; }

    // Enables or disables every control in Container except the caption check
    // boxes, children first. A nested checked group whose state governs its
    // contents passes its own state on instead of Enable, so an unchecked one keeps
    // its contents disabled.
    static void EnableChildControls(QWidget* Container, bool Enable);

    TNotifyEvent OnCheckClick;

protected:
    void changeEvent(QEvent* Event) override;
    void childEvent(QChildEvent* Event) override;

private:
    void CheckBoxClick();
    void PlaceCheckBox();

    TCheckBoxExt* FCheckBox = nullptr;
    bool FEnableChildren = false;
    bool FLoading = false;
    QString FCaption;
};

} // namespace narvo
