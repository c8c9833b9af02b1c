// Menus that stay shut while empty (see EmptyMenus.h): a filter on the menu follows
// its items being added, removed and shown or hidden.
#include "platform/EmptyMenus.h"

#include <QAction>
#include <QActionEvent>
#include <QMenu>

namespace narvo {

namespace {

class TEmptyMenuFilter : public QObject {
public:
    static constexpr const char* Name = "narvoEmptyMenuFilter";

    explicit TEmptyMenuFilter(QMenu* Menu) : QObject(Menu), FMenu(Menu) { setObjectName(QLatin1String(Name)); }

    // Gone is an item on its way out: not counted even while still listed.
    void Update(const QAction* Gone = nullptr)
    {
        bool Any = false;
        for (const QAction* A : FMenu->actions())
            Any = Any || (A != Gone && A->isVisible());
        FMenu->menuAction()->setEnabled(Any);
    }

    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        switch (Event->type()) {
        case QEvent::ActionAdded:
        case QEvent::ActionChanged:
            Update();
            break;
        case QEvent::ActionRemoved:
            Update(static_cast<QActionEvent*>(Event)->action());
            break;
        default:
            break;
        }
        return QObject::eventFilter(Watched, Event);
    }

private:
    QMenu* FMenu;
};

}  // namespace

void DisableMenuWhileEmpty(QMenu* Menu)
{
    if (!Menu || Menu->findChild<QObject*>(QLatin1String(TEmptyMenuFilter::Name), Qt::FindDirectChildrenOnly))
        return;
    auto* Filter = new TEmptyMenuFilter(Menu);
    Menu->installEventFilter(Filter);
    Filter->Update();
}

}  // namespace narvo
