// The status bar's message field. A message wider than the field is shown as much as
// fits: the middle of a file's path gives way before the end of the message
// (FitStatusText of language/StatusLine.h), and while the message is cut the field's
// tooltip holds it whole. The label's text stays the whole message, whoever set it.
#pragma once

#include <QLabel>

namespace narvo {

class TMessageField : public QLabel {
public:
    // Hint is the tooltip while the whole message shows.
    TMessageField(const QString& Hint, QWidget* Parent);

    // The text as painted, in the room the field has now.
    QString ShownText() const;
    // The whole message while it is cut, else the hint.
    QString ToolTipText() const;
    // The width the text has inside the frame, margin and indent.
    QRect TextRect() const;

protected:
    void paintEvent(QPaintEvent* Event) override;
    bool event(QEvent* Event) override;

private:
    QString FHint;
};

}  // namespace narvo
