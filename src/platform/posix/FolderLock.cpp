// The folder lock (see FolderLock.h): flock on the folder, polled.
#include "platform/posix/FolderLock.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace narvo {

TFolderLock::TFolderLock(const std::string& Folder)
{
    Fd_ = ::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (Fd_ < 0)
        return;
    // Polled rather than waited for, so that a lock nobody gives back cannot keep a
    // closing window open.
    const auto GiveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    auto Pause = std::chrono::milliseconds(1);
    while (::flock(Fd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= GiveUp) {
            ::close(Fd_);
            Fd_ = -1;
            return;
        }
        std::this_thread::sleep_for(Pause);
        Pause = std::min(Pause * 2, std::chrono::milliseconds(50));
    }
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

}  // namespace narvo
