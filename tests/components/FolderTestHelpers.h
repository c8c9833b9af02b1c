// Helpers of the folder view tests: waiting for a condition while the event loop
// runs, and writing files of a given size and modification time.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <fstream>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <utime.h>

namespace narvo::testing {

inline bool WaitFor(const std::function<bool()>& Condition, int Ms = 5000)
{
    QElapsedTimer Timer;
    Timer.start();
    while (Timer.elapsed() < Ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (Condition())
            return true;
        QThread::msleep(5);
    }
    QCoreApplication::processEvents();
    return Condition();
}

// Runs the event loop for Ms milliseconds.
inline void Pump(int Ms) { WaitFor([] { return false; }, Ms); }

// Writes Size bytes of 'x' to Path; a Time other than 0 becomes its modification time.
inline void WriteFile(const std::string& Path, std::size_t Size, long Time = 0)
{
    std::ofstream(Path, std::ios::binary) << std::string(Size, 'x');
    if (Time != 0) {
        utimbuf Times {Time, Time};
        ::utime(Path.c_str(), &Times);
    }
}

}  // namespace narvo::testing
