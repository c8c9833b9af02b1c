// The web link label.
#include "components/LinkLabel.h"

#include "shared/Colour.h"
#include "platform/Canvas.h"
#include "platform/Shell.h"
#include "platform/TextConvert.h"

#include <QMouseEvent>

namespace narvo {

TWebLinkLabel::TWebLinkLabel(QWidget* Parent)
    : QLabel(Parent)
{
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, ToQColor(clBlue));
    setPalette(pal);
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    setCursor(Qt::PointingHandCursor);
    OnClick = [this](QObject* Sender) { LinkClick(Sender); };
    SetHint(QString::fromLatin1(DefaultAddress));
    SetCaption(QString::fromLatin1(DefaultAddress));
}

void TWebLinkLabel::LinkClick(QObject* Sender)
{
    const auto* label = qobject_cast<const QLabel*>(Sender);
    if (!label)
        return;
    // Addresses are the program's text: Windows-1252 bytes.
    OpenDocument(QStringToAnsi(label->toolTip()));
}

void TWebLinkLabel::mousePressEvent(QMouseEvent* Event)
{
    if (Event->button() == Qt::LeftButton)
        FClicked = true;
    QLabel::mousePressEvent(Event);
    // A plain label passes presses on to its parent; this one keeps them so that
    // the release comes back here.
    Event->accept();
}

void TWebLinkLabel::mouseReleaseEvent(QMouseEvent* Event)
{
    QLabel::mouseReleaseEvent(Event);
    if (Event->button() == Qt::LeftButton && FClicked) {
        FClicked = false;
        if (rect().contains(Event->position().toPoint()) && OnClick)
            OnClick(this);
    }
}

} // namespace narvo
