// TFolderLock: an exclusive lock on a folder, held by files that several programs
// read, change and replace (the settings file, the word list) while one of them reads
// the file again and writes it back. The lock is on the folder because the folder
// stays, while the file is a new one after every atomic write (a lock on the file
// would be on the copy that is replaced).
//
// A wait for the lock is not silent: an observer (the program's window) hears of it
// while it lasts, so the window can say what it waits for and go on painting, and
// hears when a writer went on without the lock, so the user learns that another
// program may yet write over the change.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace narvo {

// What a wait is about.
struct TFolderLockWait {
    std::string Folder;
    // The program holding the lock as the system names it ("process 1234 (narvo)"),
    // or "" when it does not say.
    std::string Holder;
    std::int64_t WaitedMs = 0;
};

class TFolderLockObserver {
public:
    virtual ~TFolderLockObserver() = default;
    // Called every few milliseconds while the lock is waited for, first after a short
    // moment (a lock held for the length of a write is not worth a word).
    virtual void Waiting(const TFolderLockWait& Wait) = 0;
    // The wait that Waiting was told of is over: the lock was taken or given up.
    virtual void WaitEnded(const TFolderLockWait& Wait, bool Taken) = 0;
    // File was written without the lock, which was given up after Wait.
    virtual void WrittenWithoutLock(const std::string& File, const TFolderLockWait& Wait) = 0;
};

// The observer of every wait of the process (none: waits are plain polls); returns
// the previous one.
TFolderLockObserver* SetFolderLockObserver(TFolderLockObserver* Observer);

// "process 1234 (narvo)" for the process holding an exclusive flock on Folder, ""
// when none does or the system does not say.
std::string FolderLockHolder(const std::string& Folder);

class TFolderLock {
public:
    // How long a wait lasts before the writer goes on without the lock.
    static std::chrono::milliseconds Patience;
    // How long a wait goes unsaid.
    static constexpr std::chrono::milliseconds Unsaid{150};

    // Waits for the lock, at most Patience. Where the folder cannot be opened or
    // locked (a file system without locks), or another writer keeps the lock far
    // longer than a write takes (a program stopped halfway), the caller goes on
    // without it, as it did before there was a lock. A holder already given up on
    // that still holds the lock is not waited for again (one Save writes two files).
    explicit TFolderLock(const std::string& Folder);
    ~TFolderLock();
    TFolderLock(const TFolderLock&) = delete;
    TFolderLock& operator=(const TFolderLock&) = delete;

    bool Held() const { return Fd_ >= 0; }
    // The lock was given up after a wait (the folder was locked by another program).
    bool GaveUp() const { return GaveUp_; }
    // The caller wrote File under this lock object: the observer hears of it when the
    // lock was given up.
    void Written(const std::string& File) const;

private:
    int Fd_ = -1;
    bool GaveUp_ = false;
    TFolderLockWait Wait_;
};

}  // namespace narvo
