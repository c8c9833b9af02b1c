// The child-process runner (see Progmon.h).
#include "components/Progmon.h"

#include "platform/TextConvert.h"

#include <QCoreApplication>
#include <QPointer>
#include <QProcess>
#include <QStringList>

namespace narvo {

std::vector<std::string> SplitCommandLine(const std::string& CommandLine)
{
    std::vector<std::string> Words;
    for (const QString& Word : QProcess::splitCommand(FileNameToQString(CommandLine)))
        Words.push_back(QStringToFileName(Word));
    return Words;
}

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
    if (!WorkingFolder.empty())
        Child.setWorkingDirectory(FileNameToQString(WorkingFolder));
    // The child writes where the editor writes; it reads an empty input, as a
    // program started from a window without a console does.
    Child.setProcessChannelMode(QProcess::ForwardedChannels);
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
