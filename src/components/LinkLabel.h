// TWebLinkLabel: a label in blue underlined type with a hand cursor that opens
// the address held in its hint when clicked (the about box's link). An address
// that cannot be opened raises an exception with the shell's error text, which
// the application's handler shows.
#pragma once

#include "platform/ControlEvents.h"

#include <QLabel>

namespace narvo {

class TWebLinkLabel : public QLabel {
    Q_OBJECT
public:
    // The address a new label shows and opens.
    static constexpr const char* DefaultAddress = "https://narvo.example.org/";

    explicit TWebLinkLabel(QWidget* Parent = nullptr);

    QString Hint() const { return toolTip(); }
    void SetHint(const QString& Value) { setToolTip(Value); }
    QString Caption() const { return text(); }
    void SetCaption(const QString& Value) { setText(Value); }

    // Opens the hint of Sender when it is a label (OpenDocument); raises
    // EShellError with the shell's text when the address cannot be opened.
    void LinkClick(QObject* Sender);

    // The click; bound to LinkClick at construction.
    TNotifyEvent OnClick;

protected:
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;

private:
    bool FClicked = false;
};

} // namespace narvo
