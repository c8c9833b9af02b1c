// The signals that end a desktop program from outside: SIGTERM (logout, shutdown,
// kill), SIGHUP (its terminal closed), SIGINT and SIGQUIT (Ctrl+C and Ctrl+\ in the
// terminal it was started from), and the others whose default action ends a program
// (SIGXCPU past a CPU time limit, SIGPWR, SIGUSR1 and SIGUSR2). Their handler only writes the signal's
// number into a pipe; the program's own reaction runs later in the event loop, where
// it may allocate, write files and use the toolkit, none of which a handler may do.
#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace narvo {

// While one exists, those signals no longer end the process at once: OnSignal is
// called with the signal's number from the event loop of the thread that made it.
// A signal ignored before (SIGHUP under nohup, SIGINT and SIGQUIT of a program
// started in the background) stays ignored. One at a time; destroying it gives the
// signals it took their default action back. Meanwhile a write past the file-size
// limit or into a pipe nobody reads fails with an error (EFBIG, EPIPE) instead of
// ending the program.
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
// while after the last such write ended. Any thread; they may nest.
class TWritingText {
public:
    TWritingText() noexcept;
    ~TWritingText();
    TWritingText(const TWritingText&) = delete;
    TWritingText& operator=(const TWritingText&) = delete;
};

}  // namespace narvo
