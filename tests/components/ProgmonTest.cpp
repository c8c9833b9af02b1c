// The child-process runner: exit codes, splitting command lines, no shell, a missing
// program, the working folder, a crash, and the message loop running while waiting
// (with a second run refused meanwhile).
#include "components/Progmon.h"

#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

namespace narvo {
namespace {

TEST(SplitCommandLine, Words)
{
    struct Case {
        const char* Line;
        std::vector<std::string> Words;
    };
    const Case Cases[] = {
        {"", {}},
        {"   ", {}},
        {"prog", {"prog"}},
        {"  prog  a   b ", {"prog", "a", "b"}},
        {"\"/my tools/run\" \"two words\" x", {"/my tools/run", "two words", "x"}},
        {"say \"\"\"quoted\"\"\"", {"say", "\"quoted\""}},
        {"a;b $HOME |c", {"a;b", "$HOME", "|c"}},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(SplitCommandLine(C.Line), C.Words) << C.Line;
}

TEST(ProgramMonitor, ExitCodesAndFinishEvent)
{
    TProgramMonitor M;
    int Finished = 0;
    M.OnFinish = [&](QObject* Sender, TMonitorType Type) {
        EXPECT_EQ(Sender, &M);
        EXPECT_EQ(Type, mtExecuteAndWait);
        ++Finished;
    };
    struct Case {
        const char* Line;
        std::uint32_t Code;
    };
    const Case Cases[] = {
        {"/bin/true", 0},
        {"/bin/false", 1},
        {"/bin/sh -c \"exit 12\"", 12},
        {"sh -c \"exit 3\"", 3},  // found through PATH
        // No shell between: ";" is only an argument of false, which still fails.
        {"/bin/false ; /bin/true", 1},
    };
    for (const Case& C : Cases) {
        ASSERT_TRUE(M.ExecuteAndWait(C.Line)) << C.Line << ": " << M.LastError();
        EXPECT_EQ(M.ExitCode, C.Code) << C.Line;
    }
    EXPECT_EQ(Finished, 5);
    EXPECT_FALSE(M.Running());
}

TEST(ProgramMonitor, MissingProgramFailsClearly)
{
    TProgramMonitor M;
    bool Finished = false;
    M.OnFinish = [&](QObject*, TMonitorType) { Finished = true; };
    ASSERT_TRUE(M.ExecuteAndWait("/bin/sh -c \"exit 7\""));
    for (const char* Line : {"/no/such/program --x", "narvo-no-such-program-here", "", "   "}) {
        Finished = false;
        EXPECT_FALSE(M.ExecuteAndWait(Line)) << Line;
        EXPECT_FALSE(M.LastError().empty()) << Line;
        EXPECT_EQ(M.ExitCode, 7u) << Line;  // the last finished run's code stays
        EXPECT_FALSE(Finished) << Line;
    }
    EXPECT_FALSE(M.ExecuteAndWait("/no/such/program"));
    EXPECT_EQ(M.LastError().rfind("Cannot run \"/no/such/program\": ", 0), 0u) << M.LastError();
}

TEST(ProgramMonitor, WorkingFolderAndArgumentsWithBlanks)
{
    QTemporaryDir Temp;
    const std::string Folder = Temp.path().toStdString();
    for (const char* Name : {"a", "b c", "d"})
        std::ofstream(Folder + "/" + Name) << "x";
    TProgramMonitor M;
    // The script counts the folder's entries and the arguments it got.
    ASSERT_TRUE(M.ExecuteAndWait("/bin/sh", {"-c", "exit $(( $(ls | wc -l) * 10 + $# ))", "sh", "one arg", "two"}, Folder));
    EXPECT_EQ(M.ExitCode, 32u);
}

TEST(ProgramMonitor, NamesThatAreNotUtf8ReachTheProgramAsTheyAre)
{
    // A Latin-1 file name given to a tool: the program gets those bytes, not the
    // replacement character's, in its arguments, its folder and its own name.
    QTemporaryDir Temp;
    const std::string Folder = Temp.path().toStdString() + "/caf\xE9";
    ASSERT_EQ(::mkdir(Folder.c_str(), 0755), 0);
    std::ofstream(Folder + "/d\xE9.txt") << "x";
    const std::string Script = Folder + "/t\xE9.sh";
    std::ofstream(Script) << "#!/bin/sh\ntest -f \"$1\" && test -f \"d\xE9.txt\" && exit 5\nexit 6\n";
    ASSERT_EQ(::chmod(Script.c_str(), 0755), 0);
    TProgramMonitor M;
    ASSERT_TRUE(M.ExecuteAndWait("/bin/sh", {"-c", "test -f \"$0\" && exit 4", Folder + "/d\xE9.txt"}));
    EXPECT_EQ(M.ExitCode, 4u);
    ASSERT_TRUE(M.ExecuteAndWait(Script, {Folder + "/d\xE9.txt"}, Folder)) << M.LastError();
    EXPECT_EQ(M.ExitCode, 5u);
}

TEST(ProgramMonitor, CrashGivesCodeAboveLineNumbers)
{
    TProgramMonitor M;
    ASSERT_TRUE(M.ExecuteAndWait("/bin/sh", {"-c", "kill -9 $$"}));
    EXPECT_GE(M.ExitCode, 0x40000000u);
    EXPECT_EQ(M.ExitCode, TProgramMonitor::CrashExitBase + 9);
}

TEST(ProgramMonitor, MessageLoopRunsWhileWaiting)
{
    TProgramMonitor M;
    int Ticks = 0;
    bool SecondRefused = false;
    std::string SecondError;
    QTimer Timer;
    QObject::connect(&Timer, &QTimer::timeout, [&] {
        ++Ticks;
        if (Ticks == 1) {
            EXPECT_TRUE(M.Running());
            SecondRefused = !M.ExecuteAndWait("/bin/true");
            SecondError = M.LastError();
        }
    });
    // The child runs until the third tick leaves a file (or, should the loop never
    // run, for half a minute), so a busy machine cannot end it before the ticks come.
    QTemporaryDir Dir;
    const std::string Stop = Dir.filePath("stop").toStdString();
    QObject::connect(&Timer, &QTimer::timeout, [&] {
        if (Ticks == 3)
            std::ofstream(Stop) << "";
    });
    Timer.start(20);
    ASSERT_TRUE(M.ExecuteAndWait(
        "/bin/sh", {"-c", "i=0; while [ ! -e \"$0\" ] && [ $i -lt 600 ]; do sleep 0.05; i=$((i+1)); done", Stop}));
    Timer.stop();
    EXPECT_GE(Ticks, 3);
    EXPECT_TRUE(SecondRefused);
    EXPECT_EQ(SecondError, "A program is already running.");
    EXPECT_EQ(M.ExitCode, 0u);
    EXPECT_TRUE(M.LastError().empty());
}

TEST(ProgramMonitor, DestroyedWhileWaitingReturnsSafely)
{
    auto* M = new TProgramMonitor;
    bool Finished = false;
    M->OnFinish = [&](QObject*, TMonitorType) { Finished = true; };
    QTimer::singleShot(50, [&] { delete M; });
    EXPECT_FALSE(M->ExecuteAndWait("/bin/sleep 5"));
    EXPECT_FALSE(Finished);
}

}  // namespace
}  // namespace narvo
