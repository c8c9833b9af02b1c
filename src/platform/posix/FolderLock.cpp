// The folder lock (see FolderLock.h): flock on the folder, polled.
#include "platform/posix/FolderLock.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <mutex>
#include <utility>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
#include <unistd.h>

namespace narvo {

std::chrono::milliseconds TFolderLock::Patience{10000};

namespace {

std::mutex GMutex;
TFolderLockObserver* GObserver = nullptr;

// The last holder a wait gave up on: while that process still holds the folder's
// lock, a second writer of the same operation does not wait for it again. The name
// is kept beside the inode, which a folder made after that one was removed may reuse.
struct TGivenUp {
    std::string Folder;
    dev_t Dev = 0;
    ino_t Ino = 0;
    long Pid = 0;
};
TGivenUp GGivenUp;

TFolderLockObserver* Observer()
{
    const std::lock_guard Lock(GMutex);
    return GObserver;
}

// The process that holds an exclusive flock on the file (Dev, Ino), from the kernel's
// table of locks: "1: FLOCK  ADVISORY  WRITE 1234 fe:00:10954338 0 EOF". 0 for none.
long HolderPid(dev_t Dev, ino_t Ino)
{
    std::ifstream Locks("/proc/locks");
    char Id[32];
    std::snprintf(Id, sizeof Id, "%02x:%02x:", major(Dev), minor(Dev));
    const std::string Device = Id, Inode = std::to_string(Ino);
    std::string Line;
    while (std::getline(Locks, Line)) {
        std::istringstream In(Line);
        std::string Number, Kind, Mode, Access, Pid, File;
        if (!(In >> Number >> Kind >> Mode >> Access >> Pid >> File) || Kind != "FLOCK" || Access != "WRITE")
            continue;  // blocked waiters ("->") and other kinds of lock
        if (File == Device + Inode)
            return std::strtol(Pid.c_str(), nullptr, 10);
    }
    return 0;
}

std::string DescribeProcess(long Pid)
{
    if (Pid <= 0)
        return {};
    std::string Name;
    std::getline(std::ifstream("/proc/" + std::to_string(Pid) + "/comm"), Name);
    return "process " + std::to_string(Pid) + (Name.empty() ? "" : " (" + Name + ")");
}

}  // namespace

TFolderLockObserver* SetFolderLockObserver(TFolderLockObserver* Observer)
{
    const std::lock_guard Lock(GMutex);
    return std::exchange(GObserver, Observer);
}

std::string FolderLockHolder(const std::string& Folder)
{
    struct stat St {};
    if (::stat(Folder.c_str(), &St) != 0)
        return {};
    return DescribeProcess(HolderPid(St.st_dev, St.st_ino));
}

TFolderLock::TFolderLock(const std::string& Folder)
{
    Fd_ = ::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (Fd_ < 0)
        return;
    Wait_.Folder = Folder;
    struct stat St {};
    const bool Known = ::fstat(Fd_, &St) == 0;
    // Polled rather than waited for, so that a lock nobody gives back cannot keep a
    // closing window open, and the window can paint meanwhile.
    const auto Start = std::chrono::steady_clock::now();
    auto Pause = std::chrono::milliseconds(1);
    bool Told = false;
    long Pid = -1;  // not looked up yet
    while (::flock(Fd_, LOCK_EX | LOCK_NB) != 0) {
        const int Error = errno;
        if (Error == EINTR)
            continue;
        const auto Waited = std::chrono::steady_clock::now() - Start;
        bool GiveUp = Error != EWOULDBLOCK || Waited >= Patience;
        if (!GiveUp && Known && Waited >= Unsaid && Pid < 0) {
            Pid = HolderPid(St.st_dev, St.st_ino);
            Wait_.Holder = DescribeProcess(Pid);
            const std::lock_guard Lock(GMutex);
            GiveUp = Pid > 0 && GGivenUp.Pid == Pid && GGivenUp.Dev == St.st_dev && GGivenUp.Ino == St.st_ino &&
                     GGivenUp.Folder == Folder;
        }
        Wait_.WaitedMs = std::chrono::duration_cast<std::chrono::milliseconds>(Waited).count();
        if (GiveUp) {
            GaveUp_ = Error == EWOULDBLOCK;
            ::close(Fd_);
            Fd_ = -1;
            if (GaveUp_ && Known) {
                const std::lock_guard Lock(GMutex);
                GGivenUp = {Folder, St.st_dev, St.st_ino, Pid};
            }
            break;
        }
        if (Waited >= Unsaid)
            if (TFolderLockObserver* O = Observer()) {
                Told = true;
                O->Waiting(Wait_);
            }
        std::this_thread::sleep_for(Pause);
        Pause = std::min(Pause * 2, std::chrono::milliseconds(50));
    }
    if (Fd_ >= 0 && Known) {
        // The holder given up on let the lock go at last: it is waited for again.
        const std::lock_guard Lock(GMutex);
        if (GGivenUp.Dev == St.st_dev && GGivenUp.Ino == St.st_ino)
            GGivenUp = {};
    }
    if (Told)
        if (TFolderLockObserver* O = Observer())
            O->WaitEnded(Wait_, Fd_ >= 0);
}

TFolderLock::~TFolderLock()
{
    if (Fd_ < 0)
        return;
    // Unlocked before closing: a child process started meanwhile shares the
    // descriptor until it runs its program, and would hold the lock as long.
    ::flock(Fd_, LOCK_UN);
    ::close(Fd_);
}

void TFolderLock::Written(const std::string& File) const
{
    if (!GaveUp_)
        return;
    if (TFolderLockObserver* O = Observer())
        O->WrittenWithoutLock(File, Wait_);
}

}  // namespace narvo
