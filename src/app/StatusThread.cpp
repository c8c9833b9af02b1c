// The main window's status polling thread (see StatusThread.h): a thread capsule
// whose procedure is the poller's round, writing the two status fields through
// the window's ShowLocation and ShowTextSize on the user-interface thread.
#include "app/StatusThread.h"

#include "app/MainWindow.h"
#include "app/StatusPoller.h"
#include "components/ThreadLib.h"

#include <QPointer>
#include <memory>

namespace narvo {

namespace {

// The poller outlives the capsule that calls it: the capsule is stopped first.
std::unique_ptr<TStatusPoller> GPoller;
std::unique_ptr<TThreadCapsule> GThread;

}  // namespace

void StartStatusThread(TForm1& Form)
{
    StopStatusThread();
    // The show functions run on the user-interface thread; the window may be on its
    // way out when a last call is served while the thread is being stopped.
    QPointer<TForm1> Window(&Form);
    TStatusPoller::TTarget Target;
    Target.ShowLocation = [Window](std::int64_t Location) {
        if (Window)
            Window->ShowLocation(Location);
    };
    Target.ShowTextSize = [Window](std::int64_t Size) {
        if (Window)
            Window->ShowTextSize(Size);
    };
    GPoller = std::make_unique<TStatusPoller>(*Form.MainEditor, std::move(Target));
    TStatusPoller* Poller = GPoller.get();
    GThread = std::make_unique<TThreadCapsule>([Poller](TThreadCapsule& T) { Poller->StatusThreadPoll(T); });
    GThread->SetPriority(TThreadPriority::tpLowest);
}

void StopStatusThread()
{
    if (GThread) {
        GThread->SetPriority(TThreadPriority::tpNormal);
        GThread->Terminate();
        GThread.reset();  // waits for the current round
    }
    GPoller.reset();
}

TThreadCapsule* StatusThread() { return GThread.get(); }

void InstallStatusThread() { InstallQtCapsuleHost(); }

}  // namespace narvo
