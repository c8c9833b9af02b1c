// SIGTERM, SIGHUP, SIGINT and SIGQUIT reach the program through the event loop: the
// process lives on, the reaction runs after the handler has returned, once per batch
// of signals, the default action comes back when nobody listens any more, a stuck
// program still ends when the signal comes again while one writing a text does not,
// and a signal ignored before (nohup, a background start) stays ignored.
#include "platform/EndSignals.h"

#include "platform/posix/SafeFile.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace narvo {
namespace {

// Signal sent to this process by another one, as kill(1) does.
void SendFromAnotherProcess(int Signal)
{
    const pid_t Parent = ::getpid();
    const pid_t Child = ::fork();
    if (Child == 0)
        ::_exit(::kill(Parent, Signal) == 0 ? 0 : 1);
    int Status = 0;
    ASSERT_GT(Child, 0);
    ASSERT_EQ(::waitpid(Child, &Status, 0), Child);
    ASSERT_TRUE(WIFEXITED(Status) && WEXITSTATUS(Status) == 0);
}

template <class F>
bool Pump(F&& Done)
{
    const auto End = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!Done() && std::chrono::steady_clock::now() < End)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return Done();
}

TEST(EndSignals, TermAndHupAreAnsweredInTheEventLoopNotInTheHandler)
{
    std::vector<int> Seen;
    {
        TEndSignals Signals([&](int S) { Seen.push_back(S); });
        ASSERT_TRUE(Signals.Active());
        // Only one listener at a time: a second one stays inactive and harmless.
        TEndSignals Second([](int) { ADD_FAILURE() << "the second listener was called"; });
        EXPECT_FALSE(Second.Active());

        ASSERT_EQ(::raise(SIGTERM), 0);
        EXPECT_TRUE(Seen.empty()) << "nothing runs inside the handler";
        ASSERT_TRUE(Pump([&] { return !Seen.empty(); }));
        EXPECT_EQ(Seen, std::vector<int>{SIGTERM});

        ASSERT_EQ(::raise(SIGHUP), 0);
        ASSERT_TRUE(Pump([&] { return Seen.size() == 2; }));
        EXPECT_EQ(Seen.back(), SIGHUP);

        // Logout's SIGTERM and SIGHUP at once, a SIGHUP twice (kernel and shell):
        // answered once, and the process lives on to answer.
        for (const int S : {SIGTERM, SIGHUP, SIGHUP})
            ASSERT_EQ(::raise(S), 0);
        ASSERT_TRUE(Pump([&] { return Seen.size() == 3; }));
        EXPECT_EQ(Seen.back(), SIGTERM);
    }
    struct sigaction Now {};
    ASSERT_EQ(::sigaction(SIGTERM, nullptr, &Now), 0);
    EXPECT_EQ(Now.sa_handler, SIG_DFL);
    ASSERT_EQ(::sigaction(SIGHUP, nullptr, &Now), 0);
    EXPECT_EQ(Now.sa_handler, SIG_DFL);

    // A new listener after the first works as well.
    TEndSignals Again([&](int S) { Seen.push_back(S); });
    ASSERT_TRUE(Again.Active());
    ASSERT_EQ(::raise(SIGTERM), 0);
    ASSERT_TRUE(Pump([&] { return Seen.size() == 4; }));
}

TEST(EndSignalsDeathTest, TheSameSignalAgainEndsAProgramWhoseLoopIsStuck)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The event loop never runs here: the first SIGTERM waits in the pipe, and the
    // same signal seconds later takes its default action.
    EXPECT_EXIT(
        {
            TEndSignals Signals([](int) {});
            ::raise(SIGTERM);
            ::sleep(3);
            ::raise(SIGTERM);
            std::_Exit(0);
        },
        ::testing::KilledBySignal(SIGTERM), "");
}

TEST(EndSignals, ASignalIgnoredBeforeStaysIgnored)
{
    // As under nohup: the closed terminal's SIGHUP must not end the program.
    ASSERT_NE(::signal(SIGHUP, SIG_IGN), SIG_ERR);
    std::vector<int> Seen;
    {
        TEndSignals Signals([&](int S) { Seen.push_back(S); });
        ASSERT_TRUE(Signals.Active());
        ASSERT_EQ(::raise(SIGHUP), 0);
        ASSERT_EQ(::raise(SIGTERM), 0);  // read with any byte SIGHUP had written first
        ASSERT_TRUE(Pump([&] { return !Seen.empty(); }));
        EXPECT_EQ(Seen, std::vector<int>{SIGTERM});
    }
    struct sigaction Now {};
    ASSERT_EQ(::sigaction(SIGHUP, nullptr, &Now), 0);
    EXPECT_EQ(Now.sa_handler, SIG_IGN);
    ::signal(SIGHUP, SIG_DFL);
}

TEST(EndSignals, CtrlCAndCtrlBackslashAreAnsweredLikeTermUnlessIgnoredAtStart)
{
    std::vector<int> Seen;
    {
        TEndSignals Signals([&](int S) { Seen.push_back(S); });
        for (const int S : {SIGINT, SIGQUIT}) {
            ASSERT_EQ(::raise(S), 0);
            ASSERT_TRUE(Pump([&] { return !Seen.empty() && Seen.back() == S; }));
        }
    }
    struct sigaction Now {};
    ASSERT_EQ(::sigaction(SIGINT, nullptr, &Now), 0);
    EXPECT_EQ(Now.sa_handler, SIG_DFL);

    // Started in the background by a shell: Ctrl+C meant for the shell's foreground
    // job must not end it.
    ASSERT_NE(::signal(SIGINT, SIG_IGN), SIG_ERR);
    Seen.clear();
    {
        TEndSignals Signals([&](int S) { Seen.push_back(S); });
        ASSERT_EQ(::raise(SIGINT), 0);
        ASSERT_EQ(::raise(SIGTERM), 0);
        ASSERT_TRUE(Pump([&] { return !Seen.empty(); }));
        EXPECT_EQ(Seen, std::vector<int>{SIGTERM});
    }
    ASSERT_EQ(::sigaction(SIGINT, nullptr, &Now), 0);
    EXPECT_EQ(Now.sa_handler, SIG_IGN);
    ::signal(SIGINT, SIG_DFL);
}

TEST(EndSignals, EveryOtherSignalThatWouldEndTheProgramIsAnsweredToo)
{
    std::vector<int> Seen;
    TEndSignals Signals([&](int S) { Seen.push_back(S); });
    for (const int S : {SIGXCPU, SIGPWR, SIGUSR1, SIGUSR2}) {
        ASSERT_EQ(::raise(S), 0);
        ASSERT_TRUE(Pump([&] { return !Seen.empty() && Seen.back() == S; })) << S;
    }
}

TEST(EndSignalsDeathTest, TheSameSignalAgainWaitsForATextBeingWritten)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // A long save with the loop busy: the repeated signal waits for the text, and
    // one just after the write ended is not yet taken for a stuck loop either.
    EXPECT_EXIT(
        {
            TEndSignals Signals([](int) {});
            {
                TWritingText Writing;
                ::raise(SIGTERM);
                ::sleep(3);
                ::raise(SIGTERM);
            }
            ::raise(SIGTERM);
            std::_Exit(7);
        },
        ::testing::ExitedWithCode(7), "");
}

// A save past the file-size limit (ulimit -f), or a message to a standard error
// piped to a program that has ended, fails with an error the caller reports; the
// program and its texts stay.
TEST(EndSignalsDeathTest, AWritePastTheFileLimitOrIntoADeadPipeFailsInsteadOfEndingTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto WriteBoth = [] {
        TEndSignals Signals([](int) {});
        char Folder[] = "/tmp/narvo-fsize-XXXXXX";
        if (!::mkdtemp(Folder))
            return 1;
        const std::string Target = std::string(Folder) + "/big.txt";
        const rlimit Limit{1024, RLIM_INFINITY};
        int Code = ::setrlimit(RLIMIT_FSIZE, &Limit) == 0 ? 0 : 2;
        try {
            AtomicWriteFile(Target, std::string(8192, 'x'));
            Code = 3;
        } catch (const EFileError& E) {
            if (E.Code() != EFBIG)
                Code = 4;
        }
        ::rmdir(Folder);
        int Ends[2];
        if (::pipe(Ends) != 0)
            return 5;
        ::close(Ends[0]);
        if (::write(Ends[1], "x", 1) != -1 || errno != EPIPE)
            Code = 6;
        return Code == 0 ? 7 : Code;
    };
    EXPECT_EXIT(std::_Exit(WriteBoth()), ::testing::ExitedWithCode(7), "");
}

// The timers' and I/O signals nobody here asked for, SIGSTKFLT and each real-time
// signal end a program by default as SIGTERM does: their texts are kept the same way.
TEST(EndSignals, TimerIoAndRealTimeSignalsAreAnsweredToo)
{
    std::vector<int> Seen;
    TEndSignals Signals([&](int S) { Seen.push_back(S); });
    std::vector<int> Sent{SIGALRM, SIGVTALRM, SIGPROF, SIGIO, SIGSTKFLT};
    for (int S = SIGRTMIN; S <= SIGRTMAX; ++S)
        Sent.push_back(S);
    for (const int S : Sent) {
        ASSERT_EQ(::raise(S), 0);
        ASSERT_TRUE(Pump([&] { return !Seen.empty() && Seen.back() == S; })) << S;
    }
    EXPECT_EQ(Seen, Sent);
}

// A handler a library or a tool set before (a debugging aid's SIGUSR1, a profiler's SIGPROF) stays in place,
// also once nobody listens any more.
TEST(EndSignals, ASignalSomebodyElseHandlesStaysTheirs)
{
    static std::atomic<int> Theirs{0};
    Theirs.store(0);
    struct sigaction Action {};
    Action.sa_handler = [](int) { Theirs.fetch_add(1); };
    sigemptyset(&Action.sa_mask);
    ASSERT_EQ(::sigaction(SIGUSR1, &Action, nullptr), 0);
    std::vector<int> Seen;
    {
        TEndSignals Signals([&](int S) { Seen.push_back(S); });
        ASSERT_EQ(::raise(SIGUSR1), 0);
        ASSERT_EQ(::raise(SIGTERM), 0);
        ASSERT_TRUE(Pump([&] { return !Seen.empty(); }));
        EXPECT_EQ(Seen, std::vector<int>{SIGTERM});
        EXPECT_EQ(Theirs.load(), 1);
    }
    struct sigaction Now {};
    ASSERT_EQ(::sigaction(SIGUSR1, nullptr, &Now), 0);
    EXPECT_EQ(Now.sa_handler, Action.sa_handler);
    ::signal(SIGUSR1, SIG_DFL);
}

// SIGSEGV, SIGBUS, SIGABRT, SIGPIPE and the like sent by another program (kill)
// ask the program to end: answered as SIGTERM is. Its own faults still end it at
// once, with a core as before, and its own writes into a dead pipe just fail. A
// fault signal that a tool in the process handles already (a sanitizer takes
// SIGSEGV, SIGBUS and SIGFPE) stays the tool's, so it is left out here.
TEST(EndSignalsDeathTest, FaultSignalsFromAnotherProgramAreAnsweredWhileTheProgramsOwnFaultsStillEndIt)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto AtDefault = [](int S) {
        struct sigaction Now {};
        return ::sigaction(S, nullptr, &Now) == 0 && !(Now.sa_flags & SA_SIGINFO) && Now.sa_handler == SIG_DFL;
    };
    std::vector<int> Sent;
    for (const int S : {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGTRAP, SIGSYS, SIGABRT, SIGPIPE, SIGXFSZ})
        if (AtDefault(S))
            Sent.push_back(S);
    const auto AnsweredFromOutside = [&] {
        std::vector<int> Seen;
        TEndSignals Signals([&](int S) { Seen.push_back(S); });
        for (const int S : Sent) {
            SendFromAnotherProcess(S);
            if (!Pump([&] { return !Seen.empty() && Seen.back() == S; }))
                return 100 + S;
        }
        return Seen == Sent ? 7 : 1;
    };
    EXPECT_EXIT(std::_Exit(AnsweredFromOutside()), ::testing::ExitedWithCode(7), "");

    if (AtDefault(SIGSEGV))
        EXPECT_EXIT(
            {
                TEndSignals Signals([](int) { std::_Exit(1); });
                volatile int* Nowhere = nullptr;
                *Nowhere = 1;
                Pump([] { return false; });
                std::_Exit(2);
            },
            ::testing::KilledBySignal(SIGSEGV), "");
    if (AtDefault(SIGBUS))
        EXPECT_EXIT(
            {
                TEndSignals Signals([](int) { std::_Exit(1); });
                ::raise(SIGBUS);
                Pump([] { return false; });
                std::_Exit(2);
            },
            ::testing::KilledBySignal(SIGBUS), "");
    if (AtDefault(SIGABRT))
        EXPECT_EXIT(
            {
                TEndSignals Signals([](int) { std::_Exit(1); });
                std::abort();
            },
            ::testing::KilledBySignal(SIGABRT), "");
}

// A long step computing in the event loop's thread (a sort of a large text) is not
// a stuck loop: the signal sent again waits for it, and the loop then answers.
TEST(EndSignalsDeathTest, TheSameSignalAgainWaitsForALoopBusyComputing)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            int Answered = 0;
            TEndSignals Signals([&](int) { ++Answered; });
            ::raise(SIGTERM);
            const auto End = std::chrono::steady_clock::now() + std::chrono::milliseconds(3500);
            volatile std::uint64_t Sum = 0;
            while (std::chrono::steady_clock::now() < End)
                for (int I = 0; I < 1000; ++I)
                    Sum = Sum + static_cast<std::uint64_t>(I);
            ::raise(SIGTERM);
            Pump([&] { return Answered > 0; });
            std::_Exit(Answered == 1 ? 7 : 1);
        },
        ::testing::ExitedWithCode(7), "");
}

}  // namespace
}  // namespace narvo
