// The self-pipe behind TEndSignals (see EndSignals.h). The handler is the only code
// that runs inside the signal: one write(2) of one byte, errno kept. The same signal
// again, a while after the first that the event loop has still not taken, means the
// loop is stuck (a long computation): that one ends the process with the default
// action, so that a program that hangs can still be stopped by sending the signal
// again. Signals close together are not that: logout sends SIGTERM and at once
// SIGHUP, and a closed terminal's SIGHUP may come from the kernel and the shell.
#include "platform/EndSignals.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <ctime>
#include <iterator>
#include <unistd.h>

namespace narvo {

namespace {

constexpr int EndingSignals[] = {SIGTERM, SIGHUP};

// The pipe's ends while a TEndSignals exists; the handler reads only the write end.
volatile sig_atomic_t GWriteEnd = -1;
// For each signal, the second (of the monotonic clock, plus 1) at which it came and
// was not yet taken by the event loop; 0: none waiting.
volatile sig_atomic_t GPendingSince[2] = {0, 0};
constexpr int StuckAfterSeconds = 2;
int GReadEnd = -1;
// The signals this program listens to: one ignored when the program started (nohup
// ignores SIGHUP) stays ignored.
bool GListening[2] = {false, false};

extern "C" void OnEndSignal(int Signal)
{
    const int SavedErrno = errno;
    const unsigned char Byte = static_cast<unsigned char>(Signal);
    const int I = Signal == EndingSignals[0] ? 0 : 1;
    struct timespec Now {};
    ::clock_gettime(CLOCK_MONOTONIC, &Now);
    const auto Second = static_cast<sig_atomic_t>(Now.tv_sec + 1);
    if (GPendingSince[I] != 0 && Second - GPendingSince[I] >= StuckAfterSeconds) {
        ::signal(Signal, SIG_DFL);
        ::raise(Signal);
    }
    if (GPendingSince[I] == 0)
        GPendingSince[I] = Second;
    if (GWriteEnd >= 0) {
        // A full pipe already holds a byte that wakes the loop: losing this one is fine.
        [[maybe_unused]] const ssize_t Written = ::write(GWriteEnd, &Byte, 1);
    }
    errno = SavedErrno;
}

void SetHandler(int Signal, void (*Handler)(int))
{
    struct sigaction Action {};
    Action.sa_handler = Handler;
    sigemptyset(&Action.sa_mask);
    // Interrupted system calls of the program go on as if no signal had come.
    Action.sa_flags = SA_RESTART;
    ::sigaction(Signal, &Action, nullptr);
}

}  // namespace

TEndSignals::TEndSignals(std::function<void(int)> OnSignal, QObject* Parent)
    : QObject(Parent), FOnSignal(std::move(OnSignal))
{
    if (GReadEnd >= 0)
        return;  // another one is listening
    int Ends[2];
    if (::pipe2(Ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    GReadEnd = Ends[0];
    GWriteEnd = Ends[1];
    FNotifier = new QSocketNotifier(GReadEnd, QSocketNotifier::Read, this);
    connect(FNotifier, &QSocketNotifier::activated, this, [this] { ReadPipe(); });
    for (std::size_t I = 0; I < std::size(EndingSignals); ++I) {
        struct sigaction Now {};
        GListening[I] = ::sigaction(EndingSignals[I], nullptr, &Now) == 0 && Now.sa_handler != SIG_IGN;
        if (GListening[I])
            SetHandler(EndingSignals[I], OnEndSignal);
    }
}

TEndSignals::~TEndSignals()
{
    if (!FNotifier)
        return;
    for (std::size_t I = 0; I < std::size(EndingSignals); ++I)
        if (GListening[I])
            SetHandler(EndingSignals[I], SIG_DFL);
    delete FNotifier;
    FNotifier = nullptr;
    const int WriteEnd = GWriteEnd;
    GWriteEnd = -1;
    ::close(WriteEnd);
    ::close(GReadEnd);
    GReadEnd = -1;
    GPendingSince[0] = 0;
    GPendingSince[1] = 0;
}

void TEndSignals::ReadPipe()
{
    // Every byte is taken so the notifier quiets; a signal that came twice (TERM then
    // HUP from a closing terminal) is answered once.
    unsigned char Bytes[64];
    int First = 0;
    GPendingSince[0] = 0;
    GPendingSince[1] = 0;
    for (;;) {
        const ssize_t N = ::read(GReadEnd, Bytes, sizeof Bytes);
        if (N <= 0)
            break;
        if (First == 0)
            First = Bytes[0];
    }
    if (First != 0 && FOnSignal)
        FOnSignal(First);
}

}  // namespace narvo
