// The child-process runner (see Progmon.h).
#include "components/Progmon.h"

#include "platform/TextConvert.h"

#include <QCoreApplication>
#include <QPointer>
#include <QProcess>
#include <QStringList>

#include <cstdlib>
#include <unistd.h>

namespace narvo {

std::vector<std::string> SplitCommandLine(const std::string& CommandLine)
{
    std::vector<std::string> Words;
    for (const QString& Word : QProcess::splitCommand(FileNameToQString(CommandLine)))
        Words.push_back(QStringToFileName(Word));
    return Words;
}

namespace {

// The program as exec finds it: a bare name is looked up along $PATH here, in the
// parent, because the child may only make calls that take no locks.
std::string ProgramOnPath(const std::string& Program)
{
    if (Program.find('/') != std::string::npos)
        return Program;
    const char* Path = std::getenv("PATH");
    std::string Folders = Path ? Path : "/usr/local/bin:/usr/bin:/bin";
    for (std::size_t Start = 0; Start <= Folders.size();) {
        std::size_t End = Folders.find(':', Start);
        if (End == std::string::npos)
            End = Folders.size();
        const std::string Folder = Folders.substr(Start, End - Start);
        const std::string Candidate = (Folder.empty() ? std::string(".") : Folder) + "/" + Program;
        if (::access(Candidate.c_str(), X_OK) == 0)
            return Candidate;
        Start = End + 1;
    }
    return Program;
}

}  // namespace

TProgramMonitor::TProgramMonitor(QObject* Owner)
    : QObject(Owner)
{
}

TProgramMonitor::~TProgramMonitor() = default;

bool TProgramMonitor::ExecuteAndWait(const std::string& CommandLine)
{
    std::vector<std::string> Words = SplitCommandLine(CommandLine);
    if (Words.empty()) {
        FLastError = "No program to run.";
        return false;
    }
    const std::string Program = Words.front();
    Words.erase(Words.begin());
    return ExecuteAndWait(Program, Words);
}

bool TProgramMonitor::ExecuteAndWait(const std::string& Program, const std::vector<std::string>& Arguments,
                                     const std::string& WorkingFolder)
{
    // The message loop runs while a child is waited for, so a second run can be asked
    // for then; one runner holds one child, so that request is refused.
    if (FRunning) {
        FLastError = "A program is already running.";
        return false;
    }
    if (Program.empty()) {
        FLastError = "No program to run.";
        return false;
    }
    MonitorType = mtExecuteAndWait;
    QProcess Child;
    Child.setProgram(FileNameToQString(Program));
    QStringList Args;
    for (const std::string& A : Arguments)
        Args << FileNameToQString(A);
    Child.setArguments(Args);
    // The child writes where the editor writes; it reads an empty input, as a
    // program started from a window without a console does.
    Child.setProcessChannelMode(QProcess::ForwardedChannels);
    // The toolkit hands the child its names as UTF-8, where a name that is not UTF-8
    // (a Latin-1 file name) turns into another file's. Such a run is started with
    // the bytes themselves, once the toolkit has set up the child's channels.
    bool AllShown = NameSurvivesText(Program) && NameSurvivesText(WorkingFolder);
    for (const std::string& A : Arguments)
        AllShown = AllShown && NameSurvivesText(A);
    if (!WorkingFolder.empty() && AllShown)
        Child.setWorkingDirectory(FileNameToQString(WorkingFolder));
    if (!WorkingFolder.empty() && !AllShown && ::access(WorkingFolder.c_str(), X_OK) != 0) {
        FLastError = "Cannot run \"" + Program + "\": cannot enter the folder \"" + WorkingFolder + "\"";
        return false;
    }
    const std::string Executable = AllShown ? std::string() : ProgramOnPath(Program);
    std::vector<char*> Argv;
    if (!AllShown) {
        Argv.push_back(const_cast<char*>(Program.c_str()));
        for (const std::string& A : Arguments)
            Argv.push_back(const_cast<char*>(A.c_str()));
        Argv.push_back(nullptr);
        const bool ProgramShown = NameSurvivesText(Program);
        Child.setChildProcessModifier([&] {
            if (!WorkingFolder.empty() && ::chdir(WorkingFolder.c_str()) != 0)
                ::_exit(127);
            ::execv(Executable.c_str(), Argv.data());
            // The toolkit's own start then fails the same way and says why; under a
            // name it cannot give as it is, it would start another program.
            if (!ProgramShown)
                ::_exit(127);
        });
    }
    Child.start(QIODevice::ReadWrite);
    if (!Child.waitForStarted(-1)) {
        FLastError = "Cannot run \"" + Program + "\": " + QStringToFileName(Child.errorString());
        return false;
    }
    Child.closeWriteChannel();
    FLastError.clear();
    FRunning = true;
    const QPointer<TProgramMonitor> Self(this);
    do {
        QCoreApplication::processEvents();
        // A handler run meanwhile may have destroyed the runner; the child is then
        // stopped with the local process object and nothing of the runner is touched.
        if (!Self)
            return false;
    } while (Child.state() != QProcess::NotRunning && !Child.waitForFinished(WaitSliceMs));
    FRunning = false;
    FLastError.clear();  // a run refused meanwhile may have left its reason here
    ExitCode = Child.exitStatus() == QProcess::CrashExit ? CrashExitBase + static_cast<std::uint32_t>(Child.exitCode())
                                                         : static_cast<std::uint32_t>(Child.exitCode());
    if (OnFinish)
        OnFinish(this, MonitorType);
    return true;
}

}  // namespace narvo
