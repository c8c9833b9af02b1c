// The worker-thread capsule (see ThreadLib.h). One mutex and one condition variable
// carry everything the two threads share: the stop request, the end of the body and
// the synchronized call in progress. The state lives in a shared block, so that a
// call posted to the user-interface thread that arrives after the capsule is gone
// finds nothing to run instead of a freed object.
#include "components/ThreadLib.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace narvo {

TCapsuleHost& CapsuleHost()
{
    static TCapsuleHost Host;
    return Host;
}

struct TThreadCapsule::TState {
    std::mutex M;
    std::condition_variable CV;
    bool Terminated = false;
    bool Finished = false;
    // The synchronized call waiting for the owner thread; null when none.
    const TCapsuleProc* Pending = nullptr;
    bool Serving = false;
    std::exception_ptr SyncError;
    TThreadCapsule* Owner = nullptr;
    std::thread::id OwnerThread;
    // Taken from the host at construction, so the worker never reads the host.
    std::function<void(std::function<void()>)> Post;
    TThreadPriority Wanted = TThreadPriority::tpNormal;
    TThreadPriority Applied = TThreadPriority::tpNormal;  // worker only
};

namespace {

void ShowCapsuleError(const std::string& Message)
{
    try {
        if (const auto& Show = CapsuleHost().ShowError)
            Show(Message);
        else
            std::fprintf(stderr, "%s\n", Message.c_str());
    } catch (...) {
        // Nothing more can be done for a message that cannot be shown.
    }
}

int NiceValue(TThreadPriority P)
{
    switch (P) {
    case TThreadPriority::tpIdle:
    case TThreadPriority::tpLowest: return 19;
    case TThreadPriority::tpLower: return 10;
    case TThreadPriority::tpNormal: return 0;
    case TThreadPriority::tpHigher: return -5;
    case TThreadPriority::tpHighest: return -10;
    case TThreadPriority::tpTimeCritical: return -20;
    }
    return 0;
}

}  // namespace

TThreadCapsule::TThreadCapsule(TCapsuleProc Proc, TThreadData Data)
    : Data(std::move(Data)), FProc(std::move(Proc)), FState(std::make_shared<TState>())
{
    FState->Owner = this;
    FState->OwnerThread = std::this_thread::get_id();
    FState->Post = CapsuleHost().Post;
    FThread = std::thread([this] { Execute(); });
}

TThreadCapsule::~TThreadCapsule()
{
    Terminate();
    WaitFor();
    if (FThread.joinable())
        FThread.join();
}

void TThreadCapsule::Terminate()
{
    std::lock_guard L(FState->M);
    FState->Terminated = true;
    FState->CV.notify_all();
}

bool TThreadCapsule::Terminated() const
{
    std::lock_guard L(FState->M);
    return FState->Terminated;
}

bool TThreadCapsule::Finished() const
{
    std::lock_guard L(FState->M);
    return FState->Finished;
}

void TThreadCapsule::Sleep(int Ms)
{
    if (Ms <= 0) {
        std::this_thread::yield();
        return;
    }
    std::unique_lock L(FState->M);
    FState->CV.wait_for(L, std::chrono::milliseconds(Ms), [this] { return FState->Terminated; });
}

void TThreadCapsule::SetPriority(TThreadPriority Priority)
{
    std::lock_guard L(FState->M);
    FState->Wanted = Priority;
}

TThreadPriority TThreadCapsule::Priority() const
{
    std::lock_guard L(FState->M);
    return FState->Wanted;
}

void TThreadCapsule::ApplyPriority()
{
    TThreadPriority Wanted;
    {
        std::lock_guard L(FState->M);
        Wanted = FState->Wanted;
    }
    if (Wanted == FState->Applied)
        return;
    FState->Applied = Wanted;
    // Failures (raising a priority without the right to) leave the thread as it is.
    sched_param Param{};
    Param.sched_priority = 0;
    const int Policy = Wanted == TThreadPriority::tpIdle ? SCHED_IDLE : SCHED_OTHER;
    (void)pthread_setschedparam(pthread_self(), Policy, &Param);
    const auto Tid = static_cast<id_t>(::syscall(SYS_gettid));
    (void)::setpriority(PRIO_PROCESS, Tid, NiceValue(Wanted));
}

void TThreadCapsule::ServeSyncCalls()
{
    TState& S = *FState;
    std::unique_lock L(S.M);
    if (!S.Pending || S.Serving)
        return;
    const TCapsuleProc* Proc = S.Pending;
    S.Serving = true;
    L.unlock();
    std::exception_ptr Error;
    try {
        (*Proc)(*this);
    } catch (...) {
        Error = std::current_exception();
    }
    L.lock();
    S.Serving = false;
    S.Pending = nullptr;
    S.SyncError = Error;
    S.CV.notify_all();
}

void TThreadCapsule::SyncCall(const TCapsuleProc& Proc)
{
    TState& S = *FState;
    if (std::this_thread::get_id() == S.OwnerThread) {
        Proc(*this);
        return;
    }
    {
        std::lock_guard L(S.M);
        S.Pending = &Proc;
        S.SyncError = nullptr;
        // An owner already waiting for the thread serves the call.
        S.CV.notify_all();
    }
    if (S.Post) {
        // The posted call holds the state alive; once the capsule is gone it finds
        // no owner and nothing waiting.
        S.Post([Weak = std::weak_ptr<TState>(FState)] {
            const std::shared_ptr<TState> St = Weak.lock();
            if (!St)
                return;
            TThreadCapsule* Owner = nullptr;
            {
                std::lock_guard L(St->M);
                if (St->Pending && !St->Serving)
                    Owner = St->Owner;
            }
            // The owner waits in SyncCall's caller chain for this very call, so it
            // cannot be destroyed before the call has been served.
            if (Owner)
                Owner->ServeSyncCalls();
        });
    }
    std::unique_lock L(S.M);
    S.CV.wait(L, [&S] { return S.Pending == nullptr; });
    const std::exception_ptr Error = S.SyncError;
    S.SyncError = nullptr;
    L.unlock();
    if (Error)
        std::rethrow_exception(Error);
}

void TThreadCapsule::WaitFor()
{
    if (std::this_thread::get_id() != FState->OwnerThread) {
        // Another thread can only wait; the owner serves the calls.
        std::unique_lock L(FState->M);
        FState->CV.wait(L, [this] { return FState->Finished; });
        return;
    }
    TState& S = *FState;
    std::unique_lock L(S.M);
    for (;;) {
        S.CV.wait(L, [&S] { return S.Finished || (S.Pending && !S.Serving); });
        if (S.Pending && !S.Serving) {
            L.unlock();
            ServeSyncCalls();
            L.lock();
            continue;
        }
        return;
    }
}

void TThreadCapsule::Execute()
{
    std::string Message;
    bool Show = false;
    try {
        while (!Terminated()) {
            ApplyPriority();
            FProc(*this);
        }
    } catch (const EAbort&) {
        // Stops the work without a message.
    } catch (const std::exception& E) {
        Message = E.what();
        Show = true;
    } catch (...) {
        Message = "Unknown exception in a worker thread";
        Show = true;
    }
    if (Show) {
        try {
            SyncCall([&Message](TThreadCapsule&) { ShowCapsuleError(Message); });
        } catch (...) {
        }
    }
    std::lock_guard L(FState->M);
    FState->Terminated = true;
    FState->Finished = true;
    FState->CV.notify_all();
}

}  // namespace narvo
