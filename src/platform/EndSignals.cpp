// The self-pipe behind TEndSignals (see EndSignals.h). The handler is the only code
// that runs inside the signal: one write(2) of one byte, errno kept. A second signal
// that comes before the event loop has taken the first means the loop is stuck (a
// long computation): that one ends the process with the default action, so that a
// program that hangs can still be stopped by sending the signal again.
#include "platform/EndSignals.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace narvo {

namespace {

constexpr int EndingSignals[] = {SIGTERM, SIGHUP};

// The pipe's ends while a TEndSignals exists; the handler reads only the write end.
volatile sig_atomic_t GWriteEnd = -1;
// Set by the handler, cleared when the event loop has read the pipe.
volatile sig_atomic_t GPending = 0;
int GReadEnd = -1;

extern "C" void OnEndSignal(int Signal)
{
    const int SavedErrno = errno;
    const unsigned char Byte = static_cast<unsigned char>(Signal);
    if (GPending) {
        ::signal(Signal, SIG_DFL);
        ::raise(Signal);
    }
    GPending = 1;
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
    for (const int Signal : EndingSignals)
        SetHandler(Signal, OnEndSignal);
}

TEndSignals::~TEndSignals()
{
    if (!FNotifier)
        return;
    for (const int Signal : EndingSignals)
        SetHandler(Signal, SIG_DFL);
    delete FNotifier;
    FNotifier = nullptr;
    const int WriteEnd = GWriteEnd;
    GWriteEnd = -1;
    ::close(WriteEnd);
    ::close(GReadEnd);
    GReadEnd = -1;
    GPending = 0;
}

void TEndSignals::ReadPipe()
{
    // Every byte is taken so the notifier quiets; a signal that came twice (TERM then
    // HUP from a closing terminal) is answered once.
    unsigned char Bytes[64];
    int First = 0;
    GPending = 0;
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
