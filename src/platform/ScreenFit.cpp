// Windows held to the screen's available area (see ScreenFit.h).
#include "platform/ScreenFit.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QLayout>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace narvo {

namespace {

// A frame not yet known (the window manager adds it after the window is mapped) is
// taken as large as another framed window's, and at least room for a title bar and
// borders: a frame thought too thin lets the window manager push the title bar off
// the screen.
QMargins FrameOf(const QWidget& Window)
{
    if (const QWindow* Handle = Window.windowHandle(); Handle && !Handle->frameMargins().isNull())
        return Handle->frameMargins();
    QMargins Frame(4, 28, 4, 4);
    for (const QWidget* Other : QApplication::topLevelWidgets()) {
        const QWindow* Handle = Other->windowHandle();
        if (Other != &Window && Other->isVisible() && Handle && !Handle->frameMargins().isNull()) {
            const QMargins M = Handle->frameMargins();
            Frame = QMargins(std::max(Frame.left(), M.left()), std::max(Frame.top(), M.top()),
                             std::max(Frame.right(), M.right()), std::max(Frame.bottom(), M.bottom()));
            break;
        }
    }
    return Frame;
}

bool IsFittedWindow(const QWidget& W)
{
    if (!W.isWindow())
        return false;
    switch (W.windowType()) {
    case Qt::Window:
    case Qt::Dialog:
    case Qt::Sheet:
    case Qt::Tool:
        return true;
    default:
        return false;  // pop-ups, menus, tool tips, the splash screen and the desktop
    }
}

class TScreenFitFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::Show && Watched->isWidgetType()) {
            auto* W = static_cast<QWidget*>(Watched);
            if (IsFittedWindow(*W))
                FitToScreen(*W);
        }
        return false;
    }
};

QPointer<TScreenFitFilter> GFilter;

}  // namespace

QRect FitGeometry(const QRect& Geometry, const QMargins& Frame, const QRect& Available, const QSize& Minimum)
{
    const int RoomW = Available.width() - Frame.left() - Frame.right();
    const int RoomH = Available.height() - Frame.top() - Frame.bottom();
    const int W = std::max(std::min(Geometry.width(), RoomW), Minimum.width());
    const int H = std::max(std::min(Geometry.height(), RoomH), Minimum.height());
    const int Left = Available.left() + Frame.left(), Top = Available.top() + Frame.top();
    const int X = std::max(Left, std::min(Geometry.x(), Left + RoomW - W));
    const int Y = std::max(Top, std::min(Geometry.y(), Top + RoomH - H));
    return QRect(X, Y, W, H);
}

void FitToScreen(QWidget& Window)
{
    QScreen* Screen = Window.screen() ? Window.screen() : QGuiApplication::primaryScreen();
    if (!Screen)
        return;
    // A layout's minimum counts even before the layout has run once.
    QSize Minimum = Window.minimumSize();
    if (const QLayout* L = Window.layout())
        Minimum = Minimum.expandedTo(L->totalMinimumSize());
    const QRect Now = Window.geometry();
    const QMargins Frame = FrameOf(Window);
    const QRect Available = Screen->availableGeometry();
    // A dialog not placed by hand would centre itself over its parent as it shows,
    // guessing the frame; it is centred here instead, with the frame counted, so
    // that its title bar stays on the screen too.
    const bool Centre = qobject_cast<QDialog*>(&Window) && !Window.testAttribute(Qt::WA_Moved);
    QRect Fitted = FitGeometry(Now, Frame, Available, Minimum);
    if (Centre) {
        const QWidget* Parent = Window.parentWidget() ? Window.parentWidget()->window() : nullptr;
        Fitted.moveCenter(Parent && Parent->isVisible() ? Parent->frameGeometry().center() : Available.center());
        Fitted = FitGeometry(Fitted, Frame, Available, Minimum);
    }
    // The geometry without the frame: the window manager puts the frame round it,
    // where a frame position would depend on its guess of the frame.
    if (Centre || Fitted.topLeft() != Now.topLeft())
        Window.setGeometry(Fitted);
    else if (Fitted.size() != Now.size())
        Window.resize(Fitted.size());
}

void InstallScreenFit()
{
    if (GFilter || !qApp)
        return;
    GFilter = new TScreenFitFilter(qApp);
    qApp->installEventFilter(GFilter);
}

}  // namespace narvo
