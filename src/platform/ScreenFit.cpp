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

// A frame not yet known (the window manager adds it after the window is mapped):
// that of another framed window of the program, else room for a title bar.
QMargins FrameOf(const QWidget& Window)
{
    if (const QWindow* Handle = Window.windowHandle(); Handle && !Handle->frameMargins().isNull())
        return Handle->frameMargins();
    for (const QWidget* Other : QApplication::topLevelWidgets()) {
        const QWindow* Handle = Other->windowHandle();
        if (Other != &Window && Other->isVisible() && Handle && !Handle->frameMargins().isNull())
            return Handle->frameMargins();
    }
    return QMargins(4, 28, 4, 4);
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
    const QRect Fitted = FitGeometry(Now, Frame, Screen->availableGeometry(), Minimum);
    if (Fitted.size() != Now.size())
        Window.resize(Fitted.size());
    // A dialog not placed by hand is centred over its parent as it shows, within
    // the screen; moving it here would stop that.
    const bool CentredByItself = qobject_cast<QDialog*>(&Window) && !Window.testAttribute(Qt::WA_Moved);
    // A window's position is that of its frame.
    if (!CentredByItself && Fitted.topLeft() != Now.topLeft())
        Window.move(Fitted.topLeft() - QPoint(Frame.left(), Frame.top()));
}

void InstallScreenFit()
{
    if (GFilter || !qApp)
        return;
    GFilter = new TScreenFitFilter(qApp);
    qApp->installEventFilter(GFilter);
}

}  // namespace narvo
