// The worker-thread capsule's host in the Qt program: a synchronized call reaches
// the user-interface thread as a queued call into the application's event loop, and
// an exception that ended a work procedure is shown by the exception boundary.
#include "components/ThreadLib.h"

#include "platform/Application.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace narvo {

void InstallQtCapsuleHost()
{
    TCapsuleHost& Host = CapsuleHost();
    Host.Post = [](std::function<void()> Call) {
        // Without an application (at the very end of the run) the owner serves the
        // call itself while it waits for the thread.
        if (QCoreApplication* App = QCoreApplication::instance())
            QMetaObject::invokeMethod(App, [Call = std::move(Call)] { RunGuarded(Call); }, Qt::QueuedConnection);
    };
    Host.ShowError = [](const std::string& Message) { ShowExceptionMessage(Message); };
}

}  // namespace narvo
