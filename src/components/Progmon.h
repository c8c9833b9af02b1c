// TProgramMonitor: runs a program as a child process and waits for it to end while
// the user interface stays responsive, then keeps its exit code. The external
// programs ("user tools") run through it and may use the exit code, for example as
// a line number to go to.
//
// A command line is split into the program and its arguments by rules of our own
// (SplitCommandLine) and the program is started directly: never through a shell, so
// the characters ; | & $ ` > < and the like mean nothing special.
#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace narvo {

// How a run was watched; every run here is waited for.
enum TMonitorType : std::uint8_t { mtExecuteAndWait = 0 };

using TMonitorEvent = std::function<void(QObject* Sender, TMonitorType MonitorType)>;

// Words separated by blanks; double quotes group a word with blanks in it, and three
// double quotes in a row stand for one literal quote. Bytes are file-system bytes.
std::vector<std::string> SplitCommandLine(const std::string& CommandLine);

class TProgramMonitor : public QObject {
public:
    // How often the wait looks at the child between turns of the message loop.
    static constexpr int WaitSliceMs = 100;
    // A child ended by a signal leaves this plus the signal number as its exit code:
    // at or above $40000000, like the crash codes callers already refuse to take
    // for a line number.
    static constexpr std::uint32_t CrashExitBase = 0xC0000000u;

    explicit TProgramMonitor(QObject* Owner = nullptr);
    ~TProgramMonitor() override;

    // Runs CommandLine (split by SplitCommandLine) in the current folder and returns
    // when the child has ended; false when it could not be started (LastError says
    // why; ExitCode keeps its value and OnFinish does not fire).
    bool ExecuteAndWait(const std::string& CommandLine);
    // The same with the program and its arguments given apart; an empty
    // WorkingFolder means the current folder. A program name without '/' is looked
    // up in PATH.
    bool ExecuteAndWait(const std::string& Program, const std::vector<std::string>& Arguments,
                        const std::string& WorkingFolder = {});

    // Fired after a run has ended and ExitCode is set.
    TMonitorEvent OnFinish;
    TMonitorType MonitorType = mtExecuteAndWait;
    // The exit code of the last finished run.
    std::uint32_t ExitCode = 0;

    // True while a run is waited for: the message loop runs meanwhile, and a second
    // run asked for then is refused.
    bool Running() const { return FRunning; }
    // Why the last run could not start ("" after a run that started).
    const std::string& LastError() const { return FLastError; }

private:
    bool FRunning = false;
    std::string FLastError;
};

}  // namespace narvo
