// The self-pipe behind TEndSignals (see EndSignals.h). The handler is the only code
// that runs inside the signal: one write(2) of one byte, errno kept. The same signal
// again, a while after the first that the event loop has still not taken, means the
// loop is stuck (a long computation): that one ends the process with the default
// action, so that a program that hangs can still be stopped by sending the signal
// again. Signals close together are not that: logout sends SIGTERM and at once
// SIGHUP, and a closed terminal's SIGHUP may come from the kernel and the shell. Nor
// is a loop writing a text (a long save on a slow disk, the drafts at the signal):
// ending it then would lose the very text being made safe.
#include "platform/EndSignals.h"

#include <QSocketNotifier>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <ctime>
#include <iterator>
#include <unistd.h>
#include <utility>

namespace narvo {

namespace {

// Beside those a desktop sends: a CPU time limit's SIGXCPU, a power failure's
// SIGPWR and the user signals, whose default action too ends the program with its
// texts.
constexpr int EndingSignals[] = {SIGTERM, SIGHUP, SIGINT, SIGQUIT, SIGXCPU, SIGPWR, SIGUSR1, SIGUSR2};
constexpr std::size_t SignalCount = std::size(EndingSignals);

// The handler may run on any thread: only lock-free atomics are shared with it.
static_assert(std::atomic<long>::is_always_lock_free && std::atomic<int>::is_always_lock_free);

// The pipe's ends while a TEndSignals exists; the handler reads only the write end.
std::atomic<int> GWriteEnd{-1};
// For each signal, the second (of the monotonic clock, plus 1) at which it came and
// was not yet taken by the event loop; 0: none waiting.
std::atomic<long> GPendingSince[SignalCount];
constexpr long StuckAfterSeconds = 2;
// How many TWritingText exist, and the second (as above) the last one ended at.
std::atomic<int> GWriting{0};
std::atomic<long> GWritingEndedAt{0};
int GReadEnd = -1;
// The signals this program listens to: one ignored when the program started (nohup
// ignores SIGHUP, a shell's background job SIGINT and SIGQUIT) stays ignored.
bool GListening[SignalCount] = {};

// The signals a failing write ends a program with: SIGXFSZ (past the file-size
// limit) and SIGPIPE (standard error piped to a program that has ended). Caught by a
// handler that does nothing, the write fails with EFBIG or EPIPE instead, which a
// save reports with the text still there. A caught signal, unlike an ignored one,
// has its default action again in the programs this one starts.
constexpr int WriteFailureSignals[] = {SIGXFSZ, SIGPIPE};
bool GWriteFailureTaken[std::size(WriteFailureSignals)] = {};

extern "C" void OnWriteFailureSignal(int) {}

long MonotonicSecond() noexcept
{
    struct timespec Now {};
    ::clock_gettime(CLOCK_MONOTONIC, &Now);
    return static_cast<long>(Now.tv_sec) + 1;
}

extern "C" void OnEndSignal(int Signal)
{
    const int SavedErrno = errno;
    const unsigned char Byte = static_cast<unsigned char>(Signal);
    const auto I = static_cast<std::size_t>(std::find(EndingSignals, EndingSignals + SignalCount, Signal) -
                                            EndingSignals);
    if (I < SignalCount) {
        const long Second = MonotonicSecond();
        const long Since = GPendingSince[I].load();
        if (Since != 0 && GWriting.load() == 0 &&
            Second - std::max(Since, GWritingEndedAt.load()) >= StuckAfterSeconds) {
            ::signal(Signal, SIG_DFL);
            ::raise(Signal);
        }
        if (Since == 0)
            GPendingSince[I].store(Second);
    }
    if (const int WriteEnd = GWriteEnd.load(); WriteEnd >= 0) {
        // A full pipe already holds a byte that wakes the loop: losing this one is fine.
        [[maybe_unused]] const ssize_t Written = ::write(WriteEnd, &Byte, 1);
    }
    errno = SavedErrno;
}

void ClearPending()
{
    for (std::atomic<long>& Since : GPendingSince)
        Since.store(0);
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
    GWriteEnd.store(Ends[1]);
    FNotifier = new QSocketNotifier(GReadEnd, QSocketNotifier::Read, this);
    connect(FNotifier, &QSocketNotifier::activated, this, [this] { ReadPipe(); });
    for (std::size_t I = 0; I < SignalCount; ++I) {
        struct sigaction Now {};
        GListening[I] = ::sigaction(EndingSignals[I], nullptr, &Now) == 0 && Now.sa_handler != SIG_IGN;
        if (GListening[I])
            SetHandler(EndingSignals[I], OnEndSignal);
    }
    for (std::size_t I = 0; I < std::size(WriteFailureSignals); ++I) {
        struct sigaction Now {};
        GWriteFailureTaken[I] = ::sigaction(WriteFailureSignals[I], nullptr, &Now) == 0 && Now.sa_handler == SIG_DFL;
        if (GWriteFailureTaken[I])
            SetHandler(WriteFailureSignals[I], OnWriteFailureSignal);
    }
}

TEndSignals::~TEndSignals()
{
    if (!FNotifier)
        return;
    for (std::size_t I = 0; I < SignalCount; ++I)
        if (GListening[I])
            SetHandler(EndingSignals[I], SIG_DFL);
    for (std::size_t I = 0; I < std::size(WriteFailureSignals); ++I)
        if (std::exchange(GWriteFailureTaken[I], false))
            SetHandler(WriteFailureSignals[I], SIG_DFL);
    delete FNotifier;
    FNotifier = nullptr;
    ::close(GWriteEnd.exchange(-1));
    ::close(GReadEnd);
    GReadEnd = -1;
    ClearPending();
}

void TEndSignals::ReadPipe()
{
    // Every byte is taken so the notifier quiets; a signal that came twice (TERM then
    // HUP from a closing terminal) is answered once.
    unsigned char Bytes[64];
    int First = 0;
    ClearPending();
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

TWritingText::TWritingText() noexcept { GWriting.fetch_add(1); }

TWritingText::~TWritingText()
{
    // The end is noted before the count drops, so a handler that sees no writer
    // also sees when the last one ended.
    GWritingEndedAt.store(MonotonicSecond());
    GWriting.fetch_sub(1);
}

}  // namespace narvo
