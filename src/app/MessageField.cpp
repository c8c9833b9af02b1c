// The status bar's message field (see MessageField.h).
#include "app/MessageField.h"

#include "language/StatusLine.h"
#include "platform/TextConvert.h"

#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>

namespace narvo {

TMessageField::TMessageField(const QString& Hint, QWidget* Parent) : QLabel(Parent), FHint(Hint)
{
    setToolTip(Hint);
    setTextFormat(Qt::PlainText);
}

QRect TMessageField::TextRect() const
{
    // Where a label puts its text: inside the frame and margin, after the indent a
    // framed label takes when none is set.
    QRect R = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    int Indent = indent();
    if (Indent < 0 && frameWidth() > 0)
        Indent = fontMetrics().horizontalAdvance(QLatin1Char('x')) / 2 - margin();
    if (Indent > 0) {
        const Qt::Alignment A = QStyle::visualAlignment(layoutDirection(), alignment());
        if (A & Qt::AlignLeft)
            R.setLeft(R.left() + Indent);
        if (A & Qt::AlignRight)
            R.setRight(R.right() - Indent);
    }
    return R;
}

QString TMessageField::ShownText() const
{
    const QFontMetrics M = fontMetrics();
    const std::string Whole = QStringToAnsi(text());
    return AnsiToQString(FitStatusText(Whole, TextRect().width(),
                                       [&](const std::string& T) { return M.horizontalAdvance(AnsiToQString(T)); }));
}

QString TMessageField::ToolTipText() const
{
    return ShownText() == text() ? FHint : text().trimmed();
}

void TMessageField::paintEvent(QPaintEvent* Event)
{
    QFrame::paintEvent(Event);  // the sunken frame
    QPainter P(this);
    style()->drawItemText(&P, TextRect(), static_cast<int>(QStyle::visualAlignment(layoutDirection(), alignment())),
                          palette(), isEnabled(), ShownText(), foregroundRole());
}

bool TMessageField::event(QEvent* Event)
{
    if (Event->type() == QEvent::ToolTip) {
        QToolTip::showText(static_cast<QHelpEvent*>(Event)->globalPos(), ToolTipText(), this);
        return true;
    }
    return QLabel::event(Event);
}

}  // namespace narvo
