// The self-pipe behind TEndSignals (see EndSignals.h). The handler is the only code
// that runs inside the signal: one write(2) of one byte, errno kept. The same signal
// again, a while after the first that the event loop has still not taken, means the
// loop is stuck: that one ends the process with the default action, so that a
// program that hangs can still be stopped by sending the signal again. Signals close
// together are not that: logout sends SIGTERM and at once SIGHUP, and a closed
// terminal's SIGHUP may come from the kernel and the shell. Nor is a loop writing a
// text (a long save on a slow disk, the drafts at the signal): ending it then would
// lose the very text being made safe. Nor is a loop busy computing one long step (a
// sort of a large text): the program's processor time tells it from one waiting for
// something that never comes, and the step's end lets the loop keep the texts.
#include "platform/EndSignals.h"

#include <QSocketNotifier>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <ctime>
#include <iterator>
#include <unistd.h>
#include <utility>

namespace narvo {

namespace {

// How the handler reads a signal.
enum class TKind : std::uint8_t {
    None,
    // Sent from outside to end the program: its texts are kept.
    Ending,
    // The processor's own report of a fault of this program (a bad address, an
    // illegal instruction); only one sent by another program asks it to end.
    Fault,
    // abort() of this program's own; only one sent by another program asks it to end.
    Abort,
    // What a failing write ends a program with: SIGXFSZ (past the file-size limit)
    // and SIGPIPE (standard error piped to a program that has ended). The write then
    // fails with EFBIG or EPIPE instead, which a save reports with the text still
    // there. Only one sent by another program asks it to end.
    WriteFailure,
};

// Beside those a desktop sends: the timers' and I/O signals nobody here asked for,
// a CPU time limit's SIGXCPU, a power failure's SIGPWR and the user signals, whose
// default action too ends the program with its texts. The real-time signals are
// added at run time: SIGRTMIN is a call, and it already leaves out the two signals
// below it that the C library keeps for its threads and timers.
constexpr int EndingSignals[] = {SIGTERM, SIGHUP,  SIGINT, SIGQUIT, SIGALRM, SIGVTALRM, SIGPROF,
                                 SIGIO,   SIGSTKFLT, SIGXCPU, SIGPWR, SIGUSR1, SIGUSR2};
constexpr int FaultSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGTRAP, SIGSYS};
constexpr int WriteFailureSignals[] = {SIGXFSZ, SIGPIPE};

// The handler may run on any thread: only lock-free atomics are shared with it,
// besides the table below, which is filled before the first handler is set.
static_assert(std::atomic<std::int64_t>::is_always_lock_free && std::atomic<int>::is_always_lock_free);

TKind GKind[NSIG] = {};
// The signals this program listens to (those with their default action at the start).
bool GTaken[NSIG] = {};

// The pipe's ends while a TEndSignals exists; the handler reads only the write end.
std::atomic<int> GWriteEnd{-1};
int GReadEnd = -1;
// For each signal not yet taken by the event loop: the moment it came (monotonic
// clock, nanoseconds, plus 1; 0: none waiting) and the program's processor time then.
std::atomic<std::int64_t> GPendingSince[NSIG];
std::atomic<std::int64_t> GPendingCpu[NSIG];
// How many TWritingText exist, and when (as above) the last one ended.
std::atomic<int> GWriting{0};
std::atomic<std::int64_t> GWritingEndedAt{0};
std::atomic<std::int64_t> GWritingEndedCpu{0};

constexpr std::int64_t NsPerSecond = 1000000000;

std::int64_t ClockNs(clockid_t Clock) noexcept
{
    struct timespec Now {};
    ::clock_gettime(Clock, &Now);
    return static_cast<std::int64_t>(Now.tv_sec) * NsPerSecond + Now.tv_nsec + 1;
}

// Whether the loop, which has not taken a signal that came at Since (processor time
// SinceCpu), is stuck by now: it waited long enough, and either the program computed
// less than a tenth of that while (it waits for something that never comes; a step
// on a machine busy with other programs still gets more) or it waited the longest a
// step may take.
bool Stuck(std::int64_t Since, std::int64_t SinceCpu, std::int64_t Now, std::int64_t Cpu)
{
    const std::int64_t Waited = Now - Since;
    if (Waited < StuckAfterSeconds * NsPerSecond)
        return false;
    return Cpu - SinceCpu < Waited / 10 || Waited >= StuckAfterBusySeconds * NsPerSecond;
}

void SetDefault(int Signal)
{
    struct sigaction Action {};
    Action.sa_handler = SIG_DFL;
    sigemptyset(&Action.sa_mask);
    ::sigaction(Signal, &Action, nullptr);
}

extern "C" void OnEndSignal(int Signal, siginfo_t* Info, void*)
{
    const int SavedErrno = errno;
    const TKind Kind = Signal > 0 && Signal < NSIG ? GKind[Signal] : TKind::None;
    // Sent by another program (kill, sigqueue, tgkill), not by the kernel for this
    // program's own doing nor raised by the program itself.
    const bool FromOutside = Info && Info->si_code <= 0 && Info->si_pid != ::getpid();
    if (Kind == TKind::WriteFailure && !FromOutside) {
        errno = SavedErrno;
        return;  // the write fails instead
    }
    if ((Kind == TKind::Fault || Kind == TKind::Abort) && !FromOutside) {
        // The program's own fault ends it as if it had not been caught: raised again,
        // the signal comes with its default action once the handler returns.
        SetDefault(Signal);
        ::raise(Signal);
        errno = SavedErrno;
        return;
    }
    if (Kind != TKind::None) {
        const std::int64_t Now = ClockNs(CLOCK_MONOTONIC), Cpu = ClockNs(CLOCK_PROCESS_CPUTIME_ID);
        const std::int64_t Since = GPendingSince[Signal].load();
        if (Since != 0 && GWriting.load() == 0) {
            // Measured from the end of the last write when that came later.
            const std::int64_t WriteEnd = GWritingEndedAt.load();
            const bool AfterWrite = WriteEnd > Since;
            if (Stuck(AfterWrite ? WriteEnd : Since, AfterWrite ? GWritingEndedCpu.load() : GPendingCpu[Signal].load(),
                      Now, Cpu)) {
                SetDefault(Signal);
                ::raise(Signal);
            }
        }
        if (Since == 0) {
            GPendingCpu[Signal].store(Cpu);
            GPendingSince[Signal].store(Now);
        }
    }
    const unsigned char Byte = static_cast<unsigned char>(Signal);
    if (const int WriteEnd = GWriteEnd.load(); WriteEnd >= 0) {
        // A full pipe already holds a byte that wakes the loop: losing this one is fine.
        [[maybe_unused]] const ssize_t Written = ::write(WriteEnd, &Byte, 1);
    }
    errno = SavedErrno;
}

void ClearPending()
{
    for (std::atomic<std::int64_t>& Since : GPendingSince)
        Since.store(0);
}

void FillKinds()
{
    for (TKind& K : GKind)
        K = TKind::None;
    for (const int S : EndingSignals)
        GKind[S] = TKind::Ending;
    for (int S = SIGRTMIN; S <= SIGRTMAX && S < NSIG; ++S)
        GKind[S] = TKind::Ending;
    for (const int S : FaultSignals)
        GKind[S] = TKind::Fault;
    GKind[SIGABRT] = TKind::Abort;
    for (const int S : WriteFailureSignals)
        GKind[S] = TKind::WriteFailure;
}

bool Ours(int Signal)
{
    struct sigaction Now {};
    return ::sigaction(Signal, nullptr, &Now) == 0 && (Now.sa_flags & SA_SIGINFO) != 0 &&
           Now.sa_sigaction == OnEndSignal;
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
    FillKinds();
    for (int S = 1; S < NSIG; ++S) {
        struct sigaction Now {};
        // A signal ignored at the start (nohup's SIGHUP, a background job's SIGINT)
        // stays ignored, and one somebody else handles stays theirs.
        GTaken[S] = GKind[S] != TKind::None && ::sigaction(S, nullptr, &Now) == 0 &&
                    (Now.sa_flags & SA_SIGINFO) == 0 && Now.sa_handler == SIG_DFL;
        if (!GTaken[S])
            continue;
        struct sigaction Action {};
        Action.sa_sigaction = OnEndSignal;
        sigemptyset(&Action.sa_mask);
        // Interrupted system calls of the program go on as if no signal had come.
        Action.sa_flags = SA_RESTART | SA_SIGINFO;
        ::sigaction(S, &Action, nullptr);
    }
}

TEndSignals::~TEndSignals()
{
    if (!FNotifier)
        return;
    for (int S = 1; S < NSIG; ++S)
        // A handler set since by somebody else stays.
        if (std::exchange(GTaken[S], false) && Ours(S))
            SetDefault(S);
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
    GWritingEndedCpu.store(ClockNs(CLOCK_PROCESS_CPUTIME_ID));
    GWritingEndedAt.store(ClockNs(CLOCK_MONOTONIC));
    GWriting.fetch_sub(1);
}

}  // namespace narvo
