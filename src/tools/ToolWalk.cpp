// The pace of a long walk over the text (see ToolWalk.h).
#include "tools/ToolWalk.h"

#include "platform/KeyTranslate.h"
#include "tools/TextToolHooks.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWindow>

#include <chrono>

namespace narvo {

namespace {

// Input held during a walk, delivered in the order it came once the walk is over. It
// travels as posted events of its own so that each goes after what the walk's tool
// does on its way out, and is dropped when its window has gone or been hidden
// meanwhile (a click on a button of a window the stop closed acts on nothing).
class THeldInput : public QEvent {
public:
    static QEvent::Type Kind()
    {
        static const auto K = static_cast<QEvent::Type>(QEvent::registerEventType());
        return K;
    }
    THeldInput(QPointer<QObject> Receiver, std::unique_ptr<QEvent> Input)
        : QEvent(Kind()), Receiver(std::move(Receiver)), Input(std::move(Input))
    {
    }
    QPointer<QObject> Receiver;
    std::unique_ptr<QEvent> Input;
};

bool ShownNow(QObject* Receiver)
{
    if (auto* W = qobject_cast<QWidget*>(Receiver))
        return W->window()->isVisible();
    if (auto* Win = qobject_cast<QWindow*>(Receiver))
        return Win->isVisible();
    return Receiver != nullptr;
}

class TInputRelay : public QObject {
public:
    bool event(QEvent* E) override
    {
        if (E->type() != THeldInput::Kind())
            return QObject::event(E);
        auto* Held = static_cast<THeldInput*>(E);
        if (Held->Receiver && ShownNow(Held->Receiver))
            QCoreApplication::sendEvent(Held->Receiver, Held->Input.get());
        return true;
    }
};

TInputRelay& InputRelay()
{
    static TInputRelay* Relay = new TInputRelay;
    return *Relay;
}

bool IsModifierKey(int Key)
{
    switch (Key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock: return true;
    default: return false;
    }
}

// The widget a click on Receiver (a window, or a widget itself) lands on.
QWidget* WidgetUnder(QObject* Receiver, const QMouseEvent& E)
{
    QWidget* Top = qobject_cast<QWidget*>(Receiver);
    if (auto* Win = qobject_cast<QWindow*>(Receiver)) {
        for (QWidget* W : QApplication::topLevelWidgets())
            if (W->windowHandle() == Win)
                Top = W;
    }
    if (!Top)
        return nullptr;
    QWidget* Child = Top->childAt(E.position().toPoint());
    return Child ? Child : Top;
}

bool IsInput(QEvent::Type T)
{
    switch (T) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::InputMethod: return true;
    default: return false;
    }
}

}  // namespace

std::function<std::int64_t()> TToolWalk::Clock = [] {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
};

TToolWalk::TToolWalk(QWidget* Window, std::function<void()> ShowProgress, std::int64_t Bytes)
    : FShowProgress(std::move(ShowProgress)), FWindow(Window), FMain(ToolMainWindow()),
      FModal(QApplication::activeModalWidget())
{
    FWindowShown = Window && Window->isVisible();
    FMainShown = FMain && FMain->isVisible();
    FLastLook = Clock();
    FWorking = std::make_unique<TToolWorking>(Bytes);
    // Installed last, the filter sees a key before the main window's own, which
    // would leave the command language's break flag set for the next run.
    if (QCoreApplication* App = QCoreApplication::instance())
        App->installEventFilter(this);
}

TToolWalk::~TToolWalk()
{
    if (QCoreApplication* App = QCoreApplication::instance())
        App->removeEventFilter(this);
    FWorking.reset();
    if (TToolHost* Host = ToolHost(); Host && FStopped)
        Host->ShowStatusMessage("Stopped");
    for (TDeferred& D : FDeferred)
        QCoreApplication::postEvent(&InputRelay(), new THeldInput(D.Receiver, std::move(D.Event)));
}

bool TToolWalk::WindowGone() const
{
    // A window that was open and is now hidden or destroyed was closed meanwhile; the
    // main window closes at the session's end too.
    return (FWindowShown && (!FWindow || !FWindow->isVisible())) || (FMainShown && (!FMain || !FMain->isVisible())) ||
           QCoreApplication::closingDown();
}

bool TToolWalk::Look()
{
    FUnits = 0;
    if (FStopped)
        return false;
    const std::int64_t Now = Clock();
    // The first look takes events at once: the panels start to move and a Close
    // given at once is seen.
    if (FLooked && Now - FLastLook < PaceMs)
        return true;
    FLooked = true;
    if (FShowProgress)
        FShowProgress();
    QCoreApplication::processEvents();
    FLastLook = Clock();
    if (WindowGone())
        FStopped = true;
    return !FStopped;
}

bool TToolWalk::StopsWalk(QObject* Watched, QEvent* Event) const
{
    switch (Event->type()) {
    case QEvent::KeyPress: return !IsModifierKey(static_cast<QKeyEvent*>(Event)->key());
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        // A click on a control that is off (the tool's own buttons while it walks)
        // does nothing, now or later.
        const QWidget* Under = WidgetUnder(Watched, *static_cast<QMouseEvent*>(Event));
        return !Under || Under->isEnabled();
    }
    default: return false;
    }
}

void TToolWalk::Defer(QObject* Watched, const QEvent* Event)
{
    FDeferred.push_back({QPointer<QObject>(Watched), std::unique_ptr<QEvent>(Event->clone())});
}

bool TToolWalk::InOwnWindow(QObject* Receiver) const
{
    if (!FWindow)
        return false;
    if (auto* W = qobject_cast<QWidget*>(Receiver))
        return W->window() == FWindow;
    return Receiver == FWindow->windowHandle();
}

bool TToolWalk::eventFilter(QObject* Watched, QEvent* Event)
{
    const QEvent::Type T = Event->type();
    if (!IsInput(T))
        return QObject::eventFilter(Watched, Event);
    // A message box or menu opened meanwhile (by a timer) takes its input as usual.
    if (QApplication::activeModalWidget() != FModal || QApplication::activePopupWidget())
        return QObject::eventFilter(Watched, Event);
    if (T == QEvent::KeyPress && TranslateKeyEvent(*static_cast<QKeyEvent*>(Event)).Break) {
        FBreak = FStopped = true;
        return true;
    }
    if (!FStopped && FWindowLive && InOwnWindow(Watched))
        return QObject::eventFilter(Watched, Event);
    if (!FStopped && StopsWalk(Watched, Event))
        FInput = FStopped = true;
    if (!FStopped)
        return QObject::eventFilter(Watched, Event);
    // Once stopped, all input waits, so that it keeps its order.
    Defer(Watched, Event);
    return true;
}

}  // namespace narvo
