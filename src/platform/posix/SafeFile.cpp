// Whole-file reads and atomic replacement of files (see SafeFile.h). Every system
// call is checked; a failure removes what this code created and leaves the target
// as it was.
#include "platform/posix/SafeFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace narvo {

namespace {

std::mutex GHookMutex;
TFileFaultHook GHook;

// The errno a test wants the step to fail with, 0 normally.
int InjectedFault(TFileStep Step, const std::string& Path)
{
    std::lock_guard Lock(GHookMutex);
    return GHook ? GHook(Step, Path) : 0;
}

[[noreturn]] void Fail(std::string_view What, const std::string& Path, int Errno)
{
    throw EFileError(FileErrorText(What, Path, Errno));
}

const char* FileKindName(mode_t Mode)
{
    if (S_ISDIR(Mode))
        return "a folder";
    if (S_ISFIFO(Mode))
        return "a FIFO";
    if (S_ISSOCK(Mode))
        return "a socket";
    if (S_ISCHR(Mode) || S_ISBLK(Mode))
        return "a device";
    return "not a regular file";
}

[[noreturn]] void RefuseKind(const std::string& Path, mode_t Mode)
{
    throw EFileError("Cannot open \"" + Path + "\": it is " + FileKindName(Mode) + ", not a regular file");
}

// Writes the first Limit bytes of Pieces in order, many pieces per call; 0 or the
// error number.
int WritePieces(int Fd, const std::vector<std::string_view>& Pieces, std::size_t Limit)
{
    std::size_t Next = 0, Skip = 0;  // the first piece not fully written, and its part done
    while (Limit > 0 && Next < Pieces.size()) {
        iovec Vec[256];
        int Count = 0;
        std::size_t Want = 0;
        for (std::size_t I = Next; I < Pieces.size() && Count < 256 && Want < Limit; ++I) {
            const std::size_t From = I == Next ? Skip : 0;
            const std::size_t Len = std::min(Pieces[I].size() - From, Limit - Want);
            if (Len == 0)
                continue;
            Vec[Count].iov_base = const_cast<char*>(Pieces[I].data() + From);
            Vec[Count].iov_len = Len;
            ++Count;
            Want += Len;
        }
        if (Count == 0)
            break;
        const ssize_t N = ::writev(Fd, Vec, Count);
        if (N < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (N == 0)
            return EIO;
        Limit -= static_cast<std::size_t>(N);
        // Step over what was written.
        std::size_t Done = static_cast<std::size_t>(N);
        while (Done > 0 && Next < Pieces.size()) {
            const std::size_t Left = Pieces[Next].size() - Skip;
            if (Done >= Left) {
                Done -= Left;
                ++Next;
                Skip = 0;
            } else {
                Skip += Done;
                Done = 0;
            }
        }
        while (Next < Pieces.size() && Pieces[Next].size() == Skip) {
            ++Next;
            Skip = 0;
        }
    }
    return 0;
}

// The folder holding a file must be synced too, or a crash may forget the rename.
void SyncFolder(const std::string& Path)
{
    const int Fd = ::open(FolderOfPath(Path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (Fd >= 0) {
        ::fsync(Fd);
        ::close(Fd);
    }
}

std::string BaseName(const std::string& Path)
{
    const auto Slash = Path.rfind('/');
    return Slash == std::string::npos ? Path : Path.substr(Slash + 1);
}

}  // namespace

TFileFaultHook SetFileFaultHook(TFileFaultHook Hook)
{
    std::lock_guard Lock(GHookMutex);
    std::swap(GHook, Hook);
    return Hook;
}

std::string FileErrorText(std::string_view What, const std::string& Path, int Errno)
{
    std::string Result(What);
    Result += " \"" + Path + "\": ";
    Result += std::strerror(Errno);
    return Result;
}

std::string FolderOfPath(const std::string& Path)
{
    const auto Slash = Path.rfind('/');
    if (Slash == std::string::npos)
        return ".";
    if (Slash == 0)
        return "/";
    return Path.substr(0, Slash);
}

bool FileExists(const std::string& Path)
{
    struct stat St;
    return ::stat(Path.c_str(), &St) == 0;
}

std::string ResolveFileLink(const std::string& Path)
{
    std::string Current = Path;
    for (int Depth = 0; Depth < 40; ++Depth) {
        struct stat St;
        if (::lstat(Current.c_str(), &St) != 0 || !S_ISLNK(St.st_mode))
            return Current;
        std::string Target(static_cast<std::size_t>(St.st_size > 0 ? St.st_size : 4096) + 1, '\0');
        const ssize_t N = ::readlink(Current.c_str(), Target.data(), Target.size());
        if (N < 0)
            Fail("Cannot follow the link", Current, errno);
        Target.resize(static_cast<std::size_t>(N));
        if (!Target.empty() && Target[0] != '/' && Current.find('/') != std::string::npos)
            Target = FolderOfPath(Current) + "/" + Target;
        Current = Target;
    }
    Fail("Cannot follow the link", Path, ELOOP);
}

namespace {

// Room for N bytes, not cleared: the read fills them.
std::unique_ptr<char[]> UnclearedBytes(std::size_t N) { return std::make_unique_for_overwrite<char[]>(N); }

}  // namespace

TFileBlock ReadFileBlock(const std::string& Path)
{
    if (const int Err = InjectedFault(TFileStep::Read, Path))
        Fail("Cannot read", Path, Err);
    struct stat St;
    if (::stat(Path.c_str(), &St) != 0)
        Fail("Cannot read", Path, errno);
    if (!S_ISREG(St.st_mode))
        RefuseKind(Path, St.st_mode);
    // Non-blocking, so that a FIFO put in the file's place meanwhile cannot hang the
    // open; the type is checked again on the open file.
    const int Fd = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (Fd < 0)
        Fail("Cannot read", Path, errno);
    TFileBlock Result;
    int Err = 0;
    if (::fstat(Fd, &St) != 0) {
        Err = errno;
    } else if (!S_ISREG(St.st_mode)) {
        ::close(Fd);
        RefuseKind(Path, St.st_mode);
    } else {
        // Read straight into the block, which is sized for the file; a file that
        // grows meanwhile is read on to its end.
        std::size_t Room = static_cast<std::size_t>(St.st_size) + 1;
        Result.Data = UnclearedBytes(Room);
        for (;;) {
            if (Result.Size == Room) {
                const std::size_t More = Room + Room / 2 + 65536;
                auto Bigger = UnclearedBytes(More);
                std::memcpy(Bigger.get(), Result.Data.get(), Result.Size);
                Result.Data = std::move(Bigger);
                Room = More;
            }
            const ssize_t N = ::read(Fd, Result.Data.get() + Result.Size, Room - Result.Size);
            if (N < 0) {
                if (errno == EINTR)
                    continue;
                Err = errno;
                break;
            }
            if (N == 0)
                break;
            Result.Size += static_cast<std::size_t>(N);
        }
    }
    ::close(Fd);
    if (Err)
        Fail("Cannot read", Path, Err);
    return Result;
}

std::string ReadFileBytes(const std::string& Path)
{
    const TFileBlock B = ReadFileBlock(Path);
    return std::string(B.Data.get(), B.Size);
}

std::string WriteTempFile(const std::string& Target, std::string_view Bytes, unsigned NewFileMode)
{
    return WriteTempFile(Target, std::vector<std::string_view>{Bytes}, NewFileMode);
}

std::string WriteTempFile(const std::string& Target, const std::vector<std::string_view>& Pieces, unsigned NewFileMode)
{
    struct stat TargetStat;
    const bool TargetExists = ::stat(Target.c_str(), &TargetStat) == 0;
    if (TargetExists && !S_ISREG(TargetStat.st_mode))
        RefuseKind(Target, TargetStat.st_mode);

    // Our own unique name rather than mkstemp: a new file then gets NewFileMode less
    // the umask, as any other new file of the user would.
    static std::atomic<unsigned> Counter{0};
    const std::string Prefix = FolderOfPath(Target) + "/." + BaseName(Target) + ".";
    std::string Temp;
    int Fd = -1;
    int Err = InjectedFault(TFileStep::CreateTemp, Target);
    for (int Attempt = 0; !Err && Fd < 0 && Attempt < 100; ++Attempt) {
        const unsigned long Stamp = static_cast<unsigned long>(std::time(nullptr)) ^ (Counter++ * 2654435761u);
        Temp = Prefix + std::to_string(::getpid()) + "-" + std::to_string(Stamp % 1000000007u) + ".tmp";
        Fd = ::open(Temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, static_cast<mode_t>(NewFileMode & 0777));
        if (Fd < 0 && errno != EEXIST)
            Err = errno;
    }
    if (Fd < 0)
        Fail("Cannot create a temporary file for", Target, Err ? Err : EEXIST);

    auto Abandon = [&](int Errno) {
        ::close(Fd);
        RemoveTempFile(Temp);
        Fail("Cannot write", Target, Errno);
    };
    std::size_t Total = 0;
    for (std::string_view P : Pieces)
        Total += P.size();
    if (const int Injected = InjectedFault(TFileStep::Write, Target)) {
        WritePieces(Fd, Pieces, Total / 2);
        Abandon(Injected);
    }
    if (const int Werr = WritePieces(Fd, Pieces, Total))
        Abandon(Werr);
    if (TargetExists) {
        if (::geteuid() == 0 && (TargetStat.st_uid != ::geteuid() || TargetStat.st_gid != ::getegid())) {
            // Root saving someone's file leaves it theirs; best effort only.
            [[maybe_unused]] const int Ignored = ::fchown(Fd, TargetStat.st_uid, TargetStat.st_gid);
        }
        if (::fchmod(Fd, TargetStat.st_mode & 07777) != 0)
            Abandon(errno);
    }
    if (const int Injected = InjectedFault(TFileStep::Sync, Target))
        Abandon(Injected);
    if (::fsync(Fd) != 0)
        Abandon(errno);
    const int Injected = InjectedFault(TFileStep::Close, Target);
    if (::close(Fd) != 0 || Injected) {
        const int Cerr = Injected ? Injected : errno;
        RemoveTempFile(Temp);
        Fail("Cannot write", Target, Cerr);
    }
    return Temp;
}

void RenameIntoPlace(const std::string& Temp, const std::string& Target)
{
    int Err = InjectedFault(TFileStep::Rename, Target);
    if (!Err && ::rename(Temp.c_str(), Target.c_str()) != 0)
        Err = errno;
    if (Err) {
        RemoveTempFile(Temp);
        Fail("Cannot replace", Target, Err);
    }
    SyncFolder(Target);
}

void RemoveTempFile(const std::string& Temp) noexcept
{
    if (!Temp.empty())
        ::unlink(Temp.c_str());
}

void AtomicWriteFile(const std::string& Path, std::string_view Bytes)
{
    const std::string Target = ResolveFileLink(Path);
    RenameIntoPlace(WriteTempFile(Target, Bytes), Target);
}

}  // namespace narvo
