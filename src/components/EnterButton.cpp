// Enter in a field presses the field's own button (EnterButton.h).
#include "components/EnterButton.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

namespace narvo {

namespace {

class TEnterFilter : public QObject {
public:
    TEnterFilter(QLineEdit* Edit, QPushButton* Button) : QObject(Edit), FButton(Button) {}

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::KeyPress) {
            const int Key = static_cast<QKeyEvent*>(Event)->key();
            const auto Mods = static_cast<QKeyEvent*>(Event)->modifiers() & ~Qt::KeypadModifier;
            if ((Key == Qt::Key_Return || Key == Qt::Key_Enter) && Mods == Qt::NoModifier && FButton) {
                if (FButton->isEnabled())
                    FButton->click();
                return true;
            }
        }
        return QObject::eventFilter(Watched, Event);
    }

private:
    QPointer<QPushButton> FButton;
};

}  // namespace

void PressOnEnter(QLineEdit* Edit, QPushButton* Button) { Edit->installEventFilter(new TEnterFilter(Edit, Button)); }

}  // namespace narvo
