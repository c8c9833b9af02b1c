// The pace of a long walk over the text (see ToolWalk.h).
#include "tools/ToolWalk.h"

#include "platform/KeyTranslate.h"
#include "tools/TextToolHooks.h"

#include <QCoreApplication>
#include <QKeyEvent>

#include <chrono>

namespace narvo {

std::function<std::int64_t()> TToolWalk::Clock = [] {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
};

TToolWalk::TToolWalk(QWidget* Window, std::function<void()> ShowProgress)
    : FShowProgress(std::move(ShowProgress)), FWindow(Window), FMain(ToolMainWindow())
{
    FWindowShown = Window && Window->isVisible();
    FMainShown = FMain && FMain->isVisible();
    FLastLook = Clock();
    // Installed last, the filter sees a key before the main window's own, which
    // would leave the command language's break flag set for the next run.
    if (QCoreApplication* App = QCoreApplication::instance())
        App->installEventFilter(this);
}

TToolWalk::~TToolWalk()
{
    if (QCoreApplication* App = QCoreApplication::instance())
        App->removeEventFilter(this);
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

bool TToolWalk::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Event->type() == QEvent::KeyPress && TranslateKeyEvent(*static_cast<QKeyEvent*>(Event)).Break) {
        FBreak = FStopped = true;
        return true;
    }
    return QObject::eventFilter(Watched, Event);
}

}  // namespace narvo
