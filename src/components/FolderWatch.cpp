// The folder change notifier and its watching thread (see FolderWatch.h). The
// thread waits with poll() on an inotify descriptor and on an eventfd through which
// the user-interface thread wakes it: to stop it, or to make it reopen its watch
// with new options. The retired inotify descriptor is closed by the worker itself,
// so it is never closed while the worker waits on it.
#include "components/FolderWatch.h"

#include <QMetaObject>
#include <QPointer>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <map>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace narvo {

namespace {

// Guards the watch options and the reopen request of every thread.
std::mutex WatchLock;

constexpr std::uint32_t NameEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;

std::uint32_t FlagsToInotifyMask(std::uint32_t Flags, bool SubTree)
{
    std::uint32_t Mask = IN_ONLYDIR;
    if (Flags & (nfFileNameChange | nfDirNameChange))
        Mask |= NameEvents;
    if (Flags & (nfAttributeChange | nfSecurityChange))
        Mask |= IN_ATTRIB;
    if (Flags & (nfSizeChange | nfWriteChange))
        Mask |= IN_MODIFY | IN_CLOSE_WRITE;
    if (SubTree)
        Mask |= IN_CREATE | IN_MOVED_TO;  // new sub-folders must be watched too
    return Mask;
}

// Whether one inotify event is a change the filter flags ask for.
bool EventMatches(std::uint32_t Ev, std::uint32_t Flags)
{
    if (Ev & NameEvents) {
        const bool IsDir = (Ev & IN_ISDIR) != 0;
        if ((!IsDir && (Flags & nfFileNameChange)) || (IsDir && (Flags & nfDirNameChange)))
            return true;
    }
    if ((Ev & IN_ATTRIB) && (Flags & (nfAttributeChange | nfSecurityChange)))
        return true;
    if ((Ev & (IN_MODIFY | IN_CLOSE_WRITE)) && (Flags & (nfSizeChange | nfWriteChange)))
        return true;
    return false;
}

}  // namespace

std::uint32_t FiltersToFlags(TNotifyFilters Filters)
{
    constexpr std::uint32_t All = nfFileNameChange | nfDirNameChange | nfAttributeChange | nfSizeChange |
                                  nfWriteChange | nfSecurityChange;
    return Filters & All;
}

// --- the watching thread -------------------------------------------------------------------

class TShellChangeThread {
public:
    explicit TShellChangeThread(TThreadMethod ChangeEvent) : FChangeEvent(std::move(ChangeEvent))
    {
        FWakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    }
    ~TShellChangeThread()
    {
        Terminate();
        if (FThread.joinable())
            FThread.join();
        if (FWakeFd >= 0)
            ::close(FWakeFd);
    }
    TShellChangeThread(const TShellChangeThread&) = delete;
    TShellChangeThread& operator=(const TShellChangeThread&) = delete;

    void SetWatchOptions(const std::string& Directory, bool SubTree, std::uint32_t Flags)
    {
        {
            std::lock_guard<std::mutex> Guard(WatchLock);
            FDirectory = Directory;
            FWatchSubTree = SubTree;
            FFilterFlags = Flags;
            FOptionsChanged = true;
        }
        Wake();
    }
    void Resume()
    {
        if (!FThread.joinable())
            FThread = std::thread([this] { Execute(); });
    }
    void Terminate()
    {
        FTerminated = true;
        Wake();
    }
    bool Ended() const { return FEnded; }

    std::atomic<bool> Pending{false};  // a call waits on the user-interface thread

private:
    void Wake()
    {
        if (FWakeFd >= 0) {
            const std::uint64_t One = 1;
            [[maybe_unused]] const ssize_t N = ::write(FWakeFd, &One, sizeof One);
        }
    }

    void AddTree(int Fd, const std::string& Dir, std::uint32_t Mask, int Depth)
    {
        const int Wd = ::inotify_add_watch(Fd, Dir.c_str(), Mask);
        if (Wd < 0)
            return;
        FWatched[Wd] = Dir;
        if (Depth > 64)
            return;
        DIR* D = ::opendir(Dir.c_str());
        if (!D)
            return;
        while (const dirent* E = ::readdir(D)) {
            if (std::strcmp(E->d_name, ".") == 0 || std::strcmp(E->d_name, "..") == 0)
                continue;
            const std::string Sub = Dir + "/" + E->d_name;
            struct stat St {};
            if (::lstat(Sub.c_str(), &St) == 0 && S_ISDIR(St.st_mode))
                AddTree(Fd, Sub, Mask, Depth + 1);
        }
        ::closedir(D);
    }

    // Opens a watch with the current options; -1 when the folder cannot be watched.
    int OpenWatch()
    {
        std::string Dir;
        {
            std::lock_guard<std::mutex> Guard(WatchLock);
            Dir = FDirectory;
            FSubTree = FWatchSubTree;
            FFlags = FFilterFlags;
            FOptionsChanged = false;
        }
        FWatched.clear();
        const int Fd = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
        if (Fd < 0)
            return -1;
        const std::uint32_t Mask = FlagsToInotifyMask(FFlags, FSubTree);
        const int Wd = ::inotify_add_watch(Fd, Dir.c_str(), Mask);
        if (Wd < 0) {
            ::close(Fd);
            return -1;
        }
        FWatched[Wd] = Dir;
        if (FSubTree) {
            FWatched.erase(Wd);
            AddTree(Fd, Dir, Mask, 0);
        }
        return Fd;
    }

    // Reads the pending events; true when one of them is a change asked for.
    bool ReadEvents(int Fd)
    {
        bool Changed = false;
        alignas(inotify_event) char Buf[8192];
        for (;;) {
            const ssize_t N = ::read(Fd, Buf, sizeof Buf);
            if (N <= 0)
                break;
            for (ssize_t Off = 0; Off < N;) {
                const auto* Ev = reinterpret_cast<const inotify_event*>(Buf + Off);
                if (EventMatches(Ev->mask, FFlags))
                    Changed = true;
                if (FSubTree && (Ev->mask & IN_ISDIR) && (Ev->mask & (IN_CREATE | IN_MOVED_TO)) && Ev->len > 0) {
                    auto It = FWatched.find(Ev->wd);
                    if (It != FWatched.end())
                        AddTree(Fd, It->second + "/" + Ev->name, FlagsToInotifyMask(FFlags, true), 0);
                }
                if (Ev->mask & IN_IGNORED)
                    FWatched.erase(Ev->wd);
                Off += static_cast<ssize_t>(sizeof(inotify_event) + Ev->len);
            }
        }
        return Changed;
    }

    void Execute()
    {
        int Fd = OpenWatch();
        while (Fd >= 0 && FWakeFd >= 0 && !FTerminated) {
            pollfd Fds[2] = {{Fd, POLLIN, 0}, {FWakeFd, POLLIN, 0}};
            if (::poll(Fds, 2, -1) < 0) {
                if (errno == EINTR)
                    continue;
                break;  // a failed wait ends the thread silently
            }
            // A change is served before a wake-up when both are signalled.
            // While one call waits to be served, a burst of changes posts no more.
            if ((Fds[0].revents & POLLIN) && ReadEvents(Fd) && !FTerminated && FChangeEvent &&
                !Pending.exchange(true))
                FChangeEvent();
            if (Fds[0].revents & (POLLERR | POLLNVAL))
                break;
            if (Fds[1].revents & POLLIN) {
                std::uint64_t Count = 0;
                [[maybe_unused]] const ssize_t N = ::read(FWakeFd, &Count, sizeof Count);
            }
            bool Reopen = false;
            {
                std::lock_guard<std::mutex> Guard(WatchLock);
                Reopen = FOptionsChanged;
            }
            if (Reopen && !FTerminated) {
                ::close(Fd);
                Fd = OpenWatch();
            }
        }
        if (Fd >= 0)
            ::close(Fd);
        FEnded = true;
    }

    TThreadMethod FChangeEvent;  // called on the worker: it only posts to the UI thread
    int FWakeFd = -1;
    std::thread FThread;
    std::atomic<bool> FTerminated{false};
    std::atomic<bool> FEnded{false};
    // Under WatchLock:
    std::string FDirectory;
    bool FWatchSubTree = true;
    std::uint32_t FFilterFlags = 0;
    bool FOptionsChanged = false;
    // The worker's own copies of the options in force, and its watches.
    bool FSubTree = true;
    std::uint32_t FFlags = 0;
    std::map<int, std::string> FWatched;
};

// --- the notifier --------------------------------------------------------------------------

TFolderChangeNotifier::TFolderChangeNotifier(QObject* AOwner) : QObject(AOwner)
{
    StartWatching();  // nothing yet: OnChange is unassigned
}

TFolderChangeNotifier::~TFolderChangeNotifier() { StopWatching(); }

void TFolderChangeNotifier::SetRoot(const std::string& Value)
{
    // File names on this system differ by case, so the comparison is exact.
    if (Value == FRoot)
        return;
    FRoot = Value;
    ApplyWatchSettings();
}

void TFolderChangeNotifier::SetNotifyFilters(TNotifyFilters Value)
{
    FNotifyFilters = Value;
    ApplyWatchSettings();
}

void TFolderChangeNotifier::SetWatchSubTree(bool Value)
{
    FWatchSubTree = Value;
    ApplyWatchSettings();
}

void TFolderChangeNotifier::SetOnChange(TThreadMethod Value)
{
    FOnChange = std::move(Value);
    if (!FOnChange)
        StopWatching();
    else if (!FThread)
        StartWatching();
    // A running thread calls whatever FOnChange holds when its call is served.
}

bool TFolderChangeNotifier::ThreadEnded() const { return FThread && FThread->Ended(); }

void TFolderChangeNotifier::ApplyWatchSettings()
{
    if (FThread)
        FThread->SetWatchOptions(FRoot, FWatchSubTree, FiltersToFlags(FNotifyFilters));
}

void TFolderChangeNotifier::StartWatching()
{
    if (!FOnChange)
        return;
    // The worker only posts; the notifier lives until the worker has been joined,
    // and a call queued for a notifier that is gone is dropped by Qt.
    TFolderChangeNotifier* Self = this;
    FThread = std::make_unique<TShellChangeThread>([Self] {
        QMetaObject::invokeMethod(Self, [Self] { Self->Deliver(); }, Qt::QueuedConnection);
    });
    FThread->SetWatchOptions(FRoot, FWatchSubTree, FiltersToFlags(FNotifyFilters));
    FThread->Resume();
}

void TFolderChangeNotifier::StopWatching()
{
    // Joining returns at once: the worker is woken and posts nothing more.
    FThread.reset();
}

void TFolderChangeNotifier::Deliver()
{
    if (!FThread || !FOnChange)
        return;  // stopped meanwhile
    FThread->Pending = false;
    // The handler may stop or replace this notifier: nothing of it is touched after.
    const TThreadMethod Handler = FOnChange;
    Handler();
}

}  // namespace narvo
