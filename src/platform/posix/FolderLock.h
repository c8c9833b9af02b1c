// TFolderLock: an exclusive lock on a folder, held by files that several programs
// read, change and replace (the settings file, the word list) while one of them reads
// the file again and writes it back. The lock is on the folder because the folder
// stays, while the file is a new one after every atomic write (a lock on the file
// would be on the copy that is replaced).
#pragma once

#include <string>

namespace narvo {

class TFolderLock {
public:
    // Waits for the lock, at most 10 seconds. Where the folder cannot be opened or
    // locked (a file system without locks), or another writer keeps the lock far
    // longer than a write takes (a program stopped halfway), the caller goes on
    // without it, as it did before there was a lock.
    explicit TFolderLock(const std::string& Folder);
    ~TFolderLock();
    TFolderLock(const TFolderLock&) = delete;
    TFolderLock& operator=(const TFolderLock&) = delete;

    bool Held() const { return Fd_ >= 0; }

private:
    int Fd_ = -1;
};

}  // namespace narvo
