// Helpers of the folder view tests: waiting for a condition while the event loop
// runs, and writing files of a given size and modification time.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <utime.h>

namespace narvo::testing {

// Runs the event loop until Condition holds; false after Ms milliseconds, a bound that
// only a fault reaches, even on a busy machine.
inline bool WaitFor(const std::function<bool()>& Condition, int Ms = 30000)
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

// Whether an inotify descriptor of this process watches the folder Path, as the
// kernel lists each descriptor's watches (inode and device) in /proc/self/fdinfo.
inline bool InotifyWatches(const std::string& Path)
{
    struct stat St {};
    if (::stat(Path.c_str(), &St) != 0)
        return false;
    char Key[64];
    // The kernel's device number: the major above the 20 bits of the minor.
    std::snprintf(Key, sizeof Key, " ino:%llx sdev:%llx ", static_cast<unsigned long long>(St.st_ino),
                  (static_cast<unsigned long long>(major(St.st_dev)) << 20) | minor(St.st_dev));
    std::error_code Ec;
    for (const auto& Fd : std::filesystem::directory_iterator("/proc/self/fd", Ec)) {
        std::error_code LinkEc;
        if (std::filesystem::read_symlink(Fd.path(), LinkEc).string() != "anon_inode:inotify")
            continue;
        std::ifstream Info("/proc/self/fdinfo/" + Fd.path().filename().string());
        for (std::string Line; std::getline(Info, Line);)
            if (Line.rfind("inotify ", 0) == 0 && Line.find(Key) != std::string::npos)
                return true;
    }
    return false;
}

// Whether a notifier of this process watches the folder Path. A notifier opens its
// watch on its worker thread, so a test waits for this before it changes the folder:
// no fixed pause is long enough on a busy machine. Where the kernel does not list
// watches, a generous pause stands in.
inline bool Watched(const std::string& Path)
{
    static const bool Listed = [] {
        const int Fd = ::inotify_init1(IN_CLOEXEC);
        const bool Seen = Fd >= 0 && ::inotify_add_watch(Fd, "/", IN_CREATE) >= 0 && InotifyWatches("/");
        if (Fd >= 0)
            ::close(Fd);
        return Seen;
    }();
    if (Listed)
        return InotifyWatches(Path);
    Pump(1000);
    return true;
}

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
