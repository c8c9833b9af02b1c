// The signals that end a desktop program from outside: SIGTERM (logout, shutdown,
// kill) and SIGHUP (its terminal closed). Their handler only writes the signal's
// number into a pipe; the program's own reaction runs later in the event loop, where
// it may allocate, write files and use the toolkit, none of which a handler may do.
#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace narvo {

// While one exists, SIGTERM and SIGHUP no longer end the process at once: OnSignal is
// called with the signal's number from the event loop of the thread that made it.
// A signal ignored before (SIGHUP under nohup) stays ignored. One at a time;
// destroying it gives the signals it took their default action back.
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

}  // namespace narvo
