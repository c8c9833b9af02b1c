// Windows held to the screen's available area (see ScreenFit.h).
#include "platform/ScreenFit.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLayout>
#include <QPointer>
#include <QScrollArea>
#include <QScreen>
#include <QStyle>
#include <QBoxLayout>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <vector>

namespace narvo {

namespace {

// A frame not yet known (the window manager adds it after the window is mapped) is
// taken as large as another framed window's, and at least room for a title bar and
// borders: a frame thought too thin lets the window manager push the title bar off
// the screen.
constexpr QMargins LeastFrame(4, 28, 4, 4);

QMargins FrameOf(const QWidget& Window)
{
    if (const QWindow* Handle = Window.windowHandle(); Handle && !Handle->frameMargins().isNull())
        return Handle->frameMargins();
    QMargins Frame = LeastFrame;
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

// The minimum size Window's layout asks for (before the layout has run once too).
QSize MinimumOf(const QWidget& Window)
{
    QSize Minimum = Window.minimumSize();
    if (const QLayout* L = Window.layout())
        Minimum = Minimum.expandedTo(L->totalMinimumSize());
    return Minimum;
}

constexpr const char* ScrolledProperty = "narvoScreenFitScrolled";

// A window whose layout needs more room than the screen has (the toolkit's page
// setup needs some 440 pixels of height for its groups alone) gets its content
// into a scroll area: every control stays reachable, where a window held to its
// minimum would leave its buttons off the screen. The widgets keep their parents'
// chain below the window, so the dialog's own code still finds them.
bool MakeScrollable(QWidget& Window)
{
    QLayout* Content = Window.layout();
    if (!Content || Window.property(ScrolledProperty).toBool())
        return false;
    Window.setProperty(ScrolledProperty, true);
    // Moving widgets to a new parent forgets which of them were hidden on purpose
    // (a dialog's collapsed options): they are hidden again once moved.
    std::vector<QPointer<QWidget>> Hidden;
    for (QWidget* Child : Window.findChildren<QWidget*>())
        if (Child->isHidden())
            Hidden.emplace_back(Child);
    // The dialog's buttons, when its layout ends with them, stay below the scroll
    // area, always in sight.
    QDialogButtonBox* Buttons = nullptr;
    if (auto* Box = qobject_cast<QBoxLayout*>(Content); Box && Box->count() > 0)
        if ((Buttons = qobject_cast<QDialogButtonBox*>(Box->itemAt(Box->count() - 1)->widget())))
            Box->removeWidget(Buttons);
    const QMargins Margins = Content->contentsMargins();
    auto* Inner = new QWidget;
    Inner->setLayout(Content);  // the layout and the widgets it manages move in
    auto* Scroll = new QScrollArea;
    Scroll->setObjectName(QStringLiteral("narvoScreenFitScroll"));
    Scroll->setFrameShape(QFrame::NoFrame);
    Scroll->setWidgetResizable(true);
    Scroll->setWidget(Inner);
    // The minimum the moved layout set on the window goes with it.
    Window.setMinimumSize(0, 0);
    auto* Outer = new QVBoxLayout(&Window);
    Outer->setContentsMargins(0, 0, 0, 0);
    Outer->addWidget(Scroll, 1);
    if (Buttons) {
        auto* Row = new QHBoxLayout;
        Row->setContentsMargins(Margins.left(), 0, Margins.right(), Margins.bottom());
        Row->addWidget(Buttons);
        Outer->addLayout(Row);
    }
    if (Window.isVisible())
        Scroll->show();
    for (const QPointer<QWidget>& Child : Hidden)
        if (Child && !Child->isWindow())
            Child->hide();
    return true;
}

void Fit(QWidget& Window, bool Placing);

class TScreenFitFilter : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (FBusy || !Watched->isWidgetType())
            return false;
        const QEvent::Type Type = Event->type();
        if (Type != QEvent::Show && Type != QEvent::Resize)
            return false;
        auto* W = static_cast<QWidget*>(Watched);
        // A dialog that grows while it is up (the print dialog's options shown
        // after it opened) is held to the screen again, but not placed afresh. The
        // main window's size after showing is the user's, whose window manager
        // keeps it on the screen.
        if (!IsFittedWindow(*W) || (Type == QEvent::Resize && (!W->isVisible() || !qobject_cast<QDialog*>(W))))
            return false;
        FBusy = true;
        Fit(*W, Type == QEvent::Show);
        FBusy = false;
        return false;
    }

private:
    bool FBusy = false;
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

namespace {

void Fit(QWidget& Window, bool Placing)
{
    QScreen* Screen = Window.screen() ? Window.screen() : QGuiApplication::primaryScreen();
    if (!Screen)
        return;
    const QRect Now = Window.geometry();
    const QMargins Frame = FrameOf(Window);
    const QRect Available = Screen->availableGeometry();
    if (!Placing && Available.contains(Now.marginsAdded(Frame)))
        return;
    QSize Minimum = MinimumOf(Window);
    // Whether the content must scroll is judged with room for a title bar at least:
    // a platform that reports a thinner frame may still get a window manager's.
    const QMargins Worst(std::max(Frame.left(), LeastFrame.left()), std::max(Frame.top(), LeastFrame.top()),
                         std::max(Frame.right(), LeastFrame.right()), std::max(Frame.bottom(), LeastFrame.bottom()));
    const QSize Room(Available.width() - Worst.left() - Worst.right(), Available.height() - Worst.top() - Worst.bottom());
    QRect Wanted = Now;
    if ((Minimum.width() > Room.width() || Minimum.height() > Room.height()) && MakeScrollable(Window)) {
        Minimum = MinimumOf(Window);
        // Room for the vertical scroll bar beside the content, where the screen has
        // it, so that the content does not scroll sideways as well.
        Wanted.setWidth(Now.width() + Window.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &Window));
    }
    // A dialog not placed by hand would centre itself over its parent as it shows,
    // guessing the frame; it is centred here instead, with the frame counted, so
    // that its title bar stays on the screen too.
    const bool Centre = Placing && qobject_cast<QDialog*>(&Window) && !Window.testAttribute(Qt::WA_Moved);
    QRect Fitted = FitGeometry(Wanted, Frame, Available, Minimum);
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

}  // namespace

void FitToScreen(QWidget& Window) { Fit(Window, true); }

void InstallScreenFit()
{
    if (GFilter || !qApp)
        return;
    GFilter = new TScreenFitFilter(qApp);
    qApp->installEventFilter(GFilter);
}

}  // namespace narvo
