// The signals that end a desktop program from outside: SIGTERM (logout, shutdown,
// kill), SIGHUP (its terminal closed), SIGINT and SIGQUIT (Ctrl+C and Ctrl+\ in the
// terminal it was started from), and every other whose default action ends a program
// (SIGALRM, SIGVTALRM, SIGPROF, SIGIO, SIGSTKFLT, SIGXCPU, SIGPWR, SIGUSR1, SIGUSR2,
// the real-time signals SIGRTMIN..SIGRTMAX, and SIGSEGV, SIGBUS, SIGILL, SIGFPE,
// SIGTRAP, SIGSYS, SIGABRT, SIGPIPE and SIGXFSZ when another program sends them).
// Their handler only writes the signal's number into a pipe; the program's own
// reaction runs later in the event loop, where it may allocate, write files and use
// the toolkit, none of which a handler may do. SIGKILL and SIGSTOP cannot be caught.
#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace narvo {

// While one exists, those signals no longer end the process at once: OnSignal is
// called with the signal's number from the event loop of the thread that made it.
// Only signals with their default action are taken: one ignored before (SIGHUP
// under nohup, SIGINT and SIGQUIT of a program started in the background) stays
// ignored, and one a library or a tool (a profiler's SIGPROF, a sanitizer's SIGSEGV)
// handles stays its. A fault of the program's own (a bad address, abort()) still
// ends it at once as before: there is no sound text left to keep. One at a time;
// destroying it gives the signals it took their default action back. Meanwhile a
// write past the file-size limit or into a pipe nobody reads fails with an error
// (EFBIG, EPIPE) instead of ending the program.
class TEndSignals : public QObject {
public:
    explicit TEndSignals(std::function<void(int Signal)> OnSignal, QObject* Parent = nullptr);
    ~TEndSignals() override;
    TEndSignals(const TEndSignals&) = delete;
    TEndSignals& operator=(const TEndSignals&) = delete;

    // False when the pipe or the handlers could not be set up (the signals then keep
    // their default action).
    bool Active() const { return FNotifier != nullptr; }

private:
    void ReadPipe();

    std::function<void(int)> FOnSignal;
    QSocketNotifier* FNotifier = nullptr;
};

// Held while a text is being written to disk (a save, a draft). A loop busy writing
// is not stuck: the same signal again does not end the program until the text is
// safe, and a program is taken as stuck only once the signal has waited the usual
// while after the last such write ended. Any thread; they may nest. A loop busy
// computing (a sort of a large text) is not stuck either, up to a limit: see
// StuckAfterBusySeconds.
class TWritingText {
public:
    TWritingText() noexcept;
    ~TWritingText();
    TWritingText(const TWritingText&) = delete;
    TWritingText& operator=(const TWritingText&) = delete;
};

// When the same signal comes again and the event loop has not taken the first, the
// loop is stuck, and that signal ends the program, once the first has waited this
// long while the program computed nothing (waiting for something that never
// comes)...
inline constexpr long StuckAfterSeconds = 2;
// ...or this long however busy it was: a long step (a sort, a transform of a large
// text) ends meanwhile and the loop then keeps the texts, while a loop that never
// ends can still be stopped.
inline constexpr long StuckAfterBusySeconds = 60;

}  // namespace narvo
