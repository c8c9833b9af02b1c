// The silent check box and the checked group box.
#include "components/CheckBoxExt.h"

#include <QChildEvent>
#include <QEvent>
#include <QFontMetrics>
#include <algorithm>

#include "components/Panel.h"

namespace narvo {

namespace {

const QString InternalCheckBoxName = QStringLiteral("InternalCheckBox");

// Controls that hold other controls the way a form's panels and group boxes do.
// Composite widgets (spin boxes, combo boxes, lists) are single controls: their
// inner parts are theirs to manage.
bool IsContainer(const QWidget* Control)
{
    const QMetaObject* meta = Control->metaObject();
    return meta == &QWidget::staticMetaObject || meta == &QFrame::staticMetaObject ||
           qobject_cast<const QGroupBox*>(Control) || qobject_cast<const TCustomPanel*>(Control);
}

} // namespace

TCheckBoxExt::TCheckBoxExt(QWidget* Parent)
    : QCheckBox(Parent)
{
    connect(this, &QAbstractButton::toggled, this, [this] {
        if (!FClicksDisabled)
            Click();
    });
}

void TCheckBoxExt::SetNoEventChecked(bool Value)
{
    const bool saved = FClicksDisabled;
    FClicksDisabled = true;
    setChecked(Value);
    FClicksDisabled = saved;
}

void TCheckBoxExt::Click()
{
    if (OnClick)
        OnClick(this);
}

TCheckedGroup::TCheckedGroup(QWidget* Parent)
    : QGroupBox(Parent)
{
    // The group's own title is a single space; the check box over it shows the caption.
    setTitle(QStringLiteral(" "));
    FCheckBox = new TCheckBoxExt(this);
    FCheckBox->setObjectName(InternalCheckBoxName);
    // The check box hides the frame line it sits on.
    FCheckBox->setAutoFillBackground(true);
    FCheckBox->OnClick = [this](QObject*) { CheckBoxClick(); };
    PlaceCheckBox();
    FCheckBox->setVisible(true);
    FCheckBox->setEnabled(true);
}

TCheckedGroup::~TCheckedGroup()
{
    // Children are destroyed after this body; the check box must not call back.
    FCheckBox->OnClick = nullptr;
    FCheckBox = nullptr;
}

void TCheckedGroup::PlaceCheckBox()
{
    FCheckBox->setText(FCaption);
    const int textWidth = QFontMetrics(font()).horizontalAdvance(FCaption) + 22;
    FCheckBox->setGeometry(8, -2, std::max(textWidth, FCheckBox->sizeHint().width()),
                           FCheckBox->sizeHint().height());
}

void TCheckedGroup::SetCaption(const QString& Value)
{
    if (Value != FCaption) {
        FCaption = Value;
        PlaceCheckBox();
        update();
    }
}

bool TCheckedGroup::Checked() const
{
    return FCheckBox->isChecked();
}

bool TCheckedGroup::NoEventChecked() const
{
    return FCheckBox->isChecked();
}

void TCheckedGroup::SetChecked(bool Value)
{
    if (FLoading)
        FCheckBox->SetNoEventChecked(Value);
    else
        FCheckBox->SetChecked(Value);
}

void TCheckedGroup::SetNoEventChecked(bool Value)
{
    if (Value != FCheckBox->isChecked())
        FCheckBox->SetNoEventChecked(Value);
    if (FEnableChildren)
        EnableChildControls(this, FCheckBox->isChecked());
}

void TCheckedGroup::Loaded()
{
    FLoading = false;
    if (FEnableChildren)
        EnableChildControls(this, FCheckBox->isChecked());
}

void TCheckedGroup::CheckBoxClick()
{
    if (FEnableChildren)
        EnableChildControls(this, FCheckBox->isChecked());
    if (OnCheckClick)
        OnCheckClick(this);
}

void TCheckedGroup::EnableChildControls(QWidget* Container, bool Enable)
{
    const auto children = Container->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* control : children) {
        if (control->isWindow() || control->objectName() == InternalCheckBoxName)
            continue;
        if (IsContainer(control)) {
            bool inner = Enable;
            if (auto* group = qobject_cast<TCheckedGroup*>(control); group && group->EnableChildren() && Enable)
                inner = group->Checked();
            EnableChildControls(control, inner);
        }
        control->setEnabled(Enable);
    }
}

void TCheckedGroup::changeEvent(QEvent* Event)
{
    QGroupBox::changeEvent(Event);
    if (!FCheckBox)
        return;
    if (Event->type() == QEvent::EnabledChange)
        FCheckBox->setEnabled(isEnabled());
    else if (Event->type() == QEvent::FontChange)
        PlaceCheckBox();
}

void TCheckedGroup::childEvent(QChildEvent* Event)
{
    QGroupBox::childEvent(Event);
    // The check box itself arrives while FCheckBox is still unset.
    if (Event->added() && FEnableChildren && FCheckBox && Event->child() != FCheckBox &&
        Event->child()->isWidgetType())
        static_cast<QWidget*>(Event->child())->setEnabled(FCheckBox->isChecked());
}

} // namespace narvo

