// TThreadCapsule: a worker thread around a plain procedure. The thread calls the
// procedure over and over until it is told to stop; the procedure does one short
// step of work per call and its own sleeping (Sleep wakes early at a stop request).
// SyncCall runs a piece of work on the user-interface thread and waits for it. An
// exception that escapes the procedure ends the thread and is shown once, on the
// user-interface thread, unless it is the silent EAbort.
//
// This file uses no Qt: the user-interface thread is reached through the capsule
// host (CapsuleHost), which the Qt program fills with a queued call into the event
// loop (InstallQtCapsuleHost). Without a host, synchronized calls are served when
// the owner calls ServeSyncCalls or waits for the thread. The owner thread is the
// thread that created the capsule; destroy the capsule there, never from its own
// procedure.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <variant>
#include <vector>

namespace narvo {

// The silent abort: ends the work without a message.
class EAbort : public std::exception {
public:
    const char* what() const noexcept override { return "Operation aborted"; }
};

class TThreadCapsule;
using TCapsuleProc = std::function<void(TThreadCapsule& Thread)>;
// Values of any simple type, shared by reference between the owner and the work.
using TThreadValue = std::variant<std::monostate, bool, std::int64_t, double, std::string>;
using TThreadData = std::shared_ptr<std::vector<TThreadValue>>;

enum class TThreadPriority : std::uint8_t { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// How capsules reach the user-interface thread. Set once at start-up.
struct TCapsuleHost {
    // Asks the user-interface thread to run Call soon; may be called from any thread.
    // Empty: nothing is posted.
    std::function<void(std::function<void()> Call)> Post;
    // Shows the message of an exception that ended a work procedure (on the
    // user-interface thread). Empty: the message goes to standard error.
    std::function<void(const std::string& Message)> ShowError;
};
TCapsuleHost& CapsuleHost();
// The Qt program's host: queued calls into the application's event loop, and the
// exception boundary's message box (ThreadLibQt.cpp).
void InstallQtCapsuleHost();

class TThreadCapsule {
public:
    // Starts the thread at once; Proc is called until Terminate.
    explicit TThreadCapsule(TCapsuleProc Proc, TThreadData Data = {});
    // Terminate, then wait for the end of the current call (serving its synchronized
    // calls meanwhile).
    virtual ~TThreadCapsule();
    TThreadCapsule(const TThreadCapsule&) = delete;
    TThreadCapsule& operator=(const TThreadCapsule&) = delete;

    // From the work procedure: runs Proc(*this) on the owner thread and returns when
    // it has run. An exception thrown by Proc is thrown here again. Called on the
    // owner thread itself, Proc simply runs.
    void SyncCall(const TCapsuleProc& Proc);
    // Runs a synchronized call that is waiting, if any (owner thread).
    void ServeSyncCalls();

    // The loop ends after the current call of the work procedure.
    void Terminate();
    bool Terminated() const;
    // The thread's body has returned.
    bool Finished() const;
    // Waits for the thread's body to return, serving synchronized calls (owner thread).
    void WaitFor();

    // Sleeps Ms milliseconds or until Terminate; 0 yields.
    void Sleep(int Ms);

    // Applied by the worker before its next call of the procedure. Lowering works
    // everywhere; raising back may be refused by the system and is then ignored.
    void SetPriority(TThreadPriority Priority);
    TThreadPriority Priority() const;

    const TThreadData Data;

private:
    struct TState;
    void Execute();
    void ApplyPriority();

    TCapsuleProc FProc;
    std::shared_ptr<TState> FState;
    std::thread FThread;
};

}  // namespace narvo
