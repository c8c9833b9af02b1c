// Whole-file reads and atomic replacement of files (see SafeFile.h). Every system
// call is checked; a failure removes what this code created and leaves the target
// as it was.
#include "platform/posix/SafeFile.h"

#include "platform/posix/ProcessMemory.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <new>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>
#include <utility>

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
    throw EFileError(FileErrorText(What, Path, Errno), Errno);
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
// error number. A large file gets its room on disk first and is written in windows,
// each handed to the disk as soon as it is in the cache, so that the final sync
// waits only for the last ones instead of the whole file.
int WritePieces(int Fd, const std::vector<std::string_view>& Pieces, std::size_t Limit)
{
    constexpr std::size_t Window = std::size_t{8} << 20;
    const bool WriteBehind = Limit >= 2 * Window;
#if defined(__linux__)
    // Best effort: a file system without it still takes the writes.
    if (WriteBehind)
        [[maybe_unused]] const int Ignored = ::fallocate(Fd, 0, 0, static_cast<off_t>(Limit));
#endif
    std::size_t Next = 0, Skip = 0;  // the first piece not fully written, and its part done
    std::size_t Written = 0;
    while (Limit > 0 && Next < Pieces.size()) {
        iovec Vec[256];
        int Count = 0;
        std::size_t Want = 0;
        const std::size_t Most = WriteBehind ? std::min(Limit, Window) : Limit;
        for (std::size_t I = Next; I < Pieces.size() && Count < 256 && Want < Most; ++I) {
            const std::size_t From = I == Next ? Skip : 0;
            const std::size_t Len = std::min(Pieces[I].size() - From, Most - Want);
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
#if defined(__linux__)
        // Starts the disk on this window without waiting for it.
        if (WriteBehind)
            ::sync_file_range(Fd, static_cast<off_t>(Written), static_cast<off_t>(N), SYNC_FILE_RANGE_WRITE);
#endif
        Written += static_cast<std::size_t>(N);
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

std::size_t FileNameLimit(const std::string& Folder)
{
    const long Limit = ::pathconf(Folder.c_str(), _PC_NAME_MAX);
    return Limit > 0 ? static_cast<std::size_t>(Limit) : 255;
}

std::string CutFileName(std::string_view Name, std::size_t Limit)
{
    if (Name.size() <= Limit)
        return std::string(Name);
    // A UTF-8 character is at most four bytes: a longer run of continuation bytes
    // is no UTF-8 (a name in an 8-bit encoding) and is cut where the limit falls.
    std::size_t End = Limit;
    for (int Back = 0; Back < 3 && End > 0 && (static_cast<unsigned char>(Name[End]) & 0xC0) == 0x80; ++Back)
        --End;
    if ((static_cast<unsigned char>(Name[End]) & 0xC0) == 0x80)
        End = Limit;
    return std::string(Name.substr(0, End));
}

std::string FitFileName(const std::string& Folder, std::string_view Name, std::size_t Reserved)
{
    const std::size_t Limit = FileNameLimit(Folder);
    return CutFileName(Name, Limit > Reserved ? Limit - Reserved : 0);
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

bool IsRegularFile(const std::string& Path)
{
    struct stat St;
    return ::stat(Path.c_str(), &St) == 0 && S_ISREG(St.st_mode);
}

bool IsReadOnlyFile(const std::string& Path)
{
    struct stat St;
    if (::stat(Path.c_str(), &St) != 0 || !S_ISREG(St.st_mode))
        return false;
    return (St.st_mode & 0222) == 0 || ::access(Path.c_str(), W_OK) != 0;
}

TFileStamp StampOf(const std::string& Path)
{
    TFileStamp S;
    struct stat St {};
    if (::stat(Path.c_str(), &St) != 0 || !S_ISREG(St.st_mode))
        return S;
    S.Valid = true;
    S.Device = St.st_dev;
    S.Inode = St.st_ino;
    S.Size = St.st_size;
    S.MTimeSec = St.st_mtim.tv_sec;
    S.MTimeNsec = St.st_mtim.tv_nsec;
    return S;
}

bool ChangedSince(const TFileStamp& Then, const TFileStamp& Now) { return Now.Valid && !(Now == Then); }

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
        // grows meanwhile is read on to its end. A file the memory cannot hold is
        // refused with its name and the bound it met.
        std::size_t Room = static_cast<std::size_t>(St.st_size) + 1;
        const auto Allocate = [&](std::size_t N) {
            try {
                if (!RoomFor(static_cast<std::int64_t>(N)))
                    throw std::bad_alloc();
                return UnclearedBytes(N);
            } catch (const std::bad_alloc&) {
                ::close(Fd);
                throw EFileError(FileTooLargeText(Path, static_cast<std::int64_t>(N)));
            }
        };
        Result.Data = Allocate(Room);
        for (;;) {
            if (Result.Size == Room) {
                const std::size_t More = Room + Room / 2 + 65536;
                auto Bigger = Allocate(More);
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
    try {
        return std::string(B.Data.get(), B.Size);
    } catch (const std::bad_alloc&) {
        throw EFileError(FileTooLargeText(Path, static_cast<std::int64_t>(B.Size)));
    }
}

namespace {

// The process's umask, read without changing it where the system tells it.
mode_t CurrentUmask()
{
    if (FILE* F = std::fopen("/proc/self/status", "re")) {
        char Line[256];
        unsigned Mask = 0;
        bool Found = false;
        while (!Found && std::fgets(Line, sizeof Line, F))
            Found = std::sscanf(Line, "Umask: %o", &Mask) == 1;
        std::fclose(F);
        if (Found)
            return static_cast<mode_t>(Mask & 0777);
    }
    static std::mutex Mutex;
    std::lock_guard Lock(Mutex);
    const mode_t Mask = ::umask(077);
    ::umask(Mask);
    return Mask;
}

// What the hidden temporary names of a file called Base in Folder begin with: "."
// and Base, shortened so that the longest name of that form still fits the
// folder's limit: the process id and the number take up to ten digits each.
std::string TempNamePrefix(const std::string& Folder, const std::string& Base)
{
    constexpr std::size_t Around = std::string_view(".").size() + std::string_view(".-.tmp").size() + 2 * 10;
    return "." + FitFileName(Folder, Base, Around) + ".";
}

// A fresh hidden name for a temporary file of Target: the process id in it tells a
// later save whether its writer still runs.
std::string HiddenTempName(const std::string& Folder, const std::string& Base)
{
    static std::atomic<unsigned> Counter{0};
    const unsigned long Stamp = static_cast<unsigned long>(std::time(nullptr)) ^ (Counter++ * 2654435761u);
    return Folder + "/" + TempNamePrefix(Folder, Base) + std::to_string(::getpid()) + "-" +
           std::to_string(Stamp % 1000000007u) + ".tmp";
}

// The process id in a hidden temporary name beginning with Prefix, 0 when Name is
// none.
pid_t TempNameOwner(const std::string& Name, const std::string& Prefix)
{
    if (Name.size() <= Prefix.size() + 4 || Name.compare(0, Prefix.size(), Prefix) != 0 ||
        Name.compare(Name.size() - 4, 4, ".tmp") != 0)
        return 0;
    const std::string Middle = Name.substr(Prefix.size(), Name.size() - Prefix.size() - 4);
    const auto Dash = Middle.find('-');
    const auto IsDigits = [](std::string_view V) {
        return !V.empty() && V.size() <= 10 && std::all_of(V.begin(), V.end(), [](char C) { return C >= '0' && C <= '9'; });
    };
    if (Dash == std::string::npos || !IsDigits(std::string_view(Middle).substr(0, Dash)) ||
        !IsDigits(std::string_view(Middle).substr(Dash + 1)))
        return 0;
    const long long Pid = std::stoll(Middle.substr(0, Dash));
    return Pid > 0 && Pid <= 0x7fffffff ? static_cast<pid_t>(Pid) : 0;
}

// An unnamed file in Folder, or -1 where the file system has none (or it could not
// be linked in later: that needs /proc without the rights of root).
int OpenUnnamed(const std::string& Folder, const std::string& Target)
{
#ifdef O_TMPFILE
    if (InjectedFault(TFileStep::Unnamed, Target) != 0)
        return -1;
    if (::geteuid() != 0 && ::access("/proc/self/fd", X_OK) != 0)
        return -1;
    return ::open(Folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
#else
    (void)Folder;
    (void)Target;
    return -1;
#endif
}

// Opens a private (0600) file in Folder for Target's new text: an unnamed one where
// the file system has them, else a hidden name taken exclusively. Fd and Name get
// the file; the result is 0 or the errno that stopped it.
int OpenPrivateTemp(const std::string& Folder, const std::string& Target, int& Fd, std::string& Name)
{
    Fd = OpenUnnamed(Folder, Target);
    if (Fd >= 0)
        return 0;
    const std::string Base = BaseName(Target);
    for (int Attempt = 0; Attempt < 100; ++Attempt) {
        std::string Candidate = HiddenTempName(Folder, Base);
        Fd = ::open(Candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (Fd >= 0) {
            Name = std::move(Candidate);
            // Held while it is written: a program in another process-id space (a
            // shared folder) then sees it is owned.
            ::flock(Fd, LOCK_EX | LOCK_NB);
            return 0;
        }
        if (errno != EEXIST)
            return errno;
    }
    return EEXIST;
}

// Gives the file Model's owner (where this user may: root any, others only a group
// of their own) and then its mode bits; chown first, as it clears set-id bits.
int TakeModeAndOwner(int Fd, const struct stat& Model)
{
    struct stat Own;
    if (::fstat(Fd, &Own) != 0)
        return errno;
    if (Own.st_uid != Model.st_uid || Own.st_gid != Model.st_gid) {
        if (::fchown(Fd, Model.st_uid, Model.st_gid) != 0 && Own.st_gid != Model.st_gid) {
            [[maybe_unused]] const int Ignored = ::fchown(Fd, static_cast<uid_t>(-1), Model.st_gid);
        }
    }
    return ::fchmod(Fd, Model.st_mode & 07777) == 0 ? 0 : errno;
}

// Fills a private temporary file and lets others have it: Pieces written whole,
// then the mode (Model's mode and owner when given, else NewFileMode less the
// umask), then synced, and closed when it has a name. 0 or the errno that stopped
// it, the faults a test injects at those steps too.
int CompleteTempFile(int& Fd, bool Unnamed, const std::string& Target, const struct stat* Model, unsigned NewFileMode)
{
    // Only now may others read it as they may read the file it replaces.
    if (Model) {
        if (const int Err = TakeModeAndOwner(Fd, *Model))
            return Err;
    } else if (::fchmod(Fd, static_cast<mode_t>(NewFileMode & 0777) & ~CurrentUmask()) != 0) {
        return errno;
    }
    if (const int Injected = InjectedFault(TFileStep::Sync, Target))
        return Injected;
    if (::fsync(Fd) != 0)
        return errno;
    if (const int Injected = InjectedFault(TFileStep::Close, Target))
        return Injected;
    if (!Unnamed && ::close(std::exchange(Fd, -1)) != 0)
        return errno;
    return 0;
}

int FillTempFile(int& Fd, bool Unnamed, const std::vector<std::string_view>& Pieces, const std::string& Target,
                 const struct stat* Model, unsigned NewFileMode)
{
    std::size_t Total = 0;
    for (std::string_view P : Pieces)
        Total += P.size();
    if (const int Injected = InjectedFault(TFileStep::Write, Target)) {
        WritePieces(Fd, Pieces, Total / 2);
        return Injected;
    }
    if (const int Err = WritePieces(Fd, Pieces, Total))
        return Err;
    return CompleteTempFile(Fd, Unnamed, Target, Model, NewFileMode);
}

// Write's pieces into Fd as they come, a slice of at most 8 MiB at a time (no
// write-behind window to keep). 0 or the errno that stopped it; what Write throws
// goes on.
int WriteFrom(int Fd, const TBytesWriter& Write, const std::string& Target)
{
    if (const int Injected = InjectedFault(TFileStep::Write, Target))
        return Injected;
    struct TStopped {
        int Err;
    };
    try {
        Write([Fd](std::string_view Piece) {
            constexpr std::size_t Slice = std::size_t{8} << 20;
            for (std::size_t At = 0; At < Piece.size(); At += Slice) {
                const std::string_view Part = Piece.substr(At, Slice);
                if (const int Err = WritePieces(Fd, {Part}, Part.size()))
                    throw TStopped{Err};
            }
        });
    } catch (const TStopped& S) {
        return S.Err;
    }
    return 0;
}

}  // namespace

TTempFile::TTempFile(TTempFile&& Other) noexcept
    : Fd_(std::exchange(Other.Fd_, -1)), Folder_(std::move(Other.Folder_)), Name_(std::move(Other.Name_))
{
    Other.Name_.clear();
}

TTempFile& TTempFile::operator=(TTempFile&& Other) noexcept
{
    if (this != &Other) {
        RemoveTempFile(*this);
        Fd_ = std::exchange(Other.Fd_, -1);
        Folder_ = std::move(Other.Folder_);
        Name_ = std::move(Other.Name_);
        Other.Name_.clear();
    }
    return *this;
}

TTempFile::~TTempFile() { RemoveTempFile(*this); }

TTempFile WriteTempFile(const std::string& Target, std::string_view Bytes, unsigned NewFileMode,
                        const std::string& ModelFile)
{
    return WriteTempFile(Target, std::vector<std::string_view>{Bytes}, NewFileMode, ModelFile);
}

TTempFile OpenTempFile(const std::string& Target)
{
    struct stat TargetStat;
    if (::stat(Target.c_str(), &TargetStat) == 0 && !S_ISREG(TargetStat.st_mode))
        RefuseKind(Target, TargetStat.st_mode);
    TTempFile Temp;
    Temp.Folder_ = FolderOfPath(Target);
    int Err = InjectedFault(TFileStep::CreateTemp, Target);
    if (!Err) {
        RemoveStaleTempFiles(Target);
        Err = OpenPrivateTemp(Temp.Folder_, Target, Temp.Fd_, Temp.Name_);
    }
    if (Err)
        Fail("Cannot create a temporary file for", Target, Err);
    return Temp;
}

namespace {

// The mode and owner a temporary file of Target takes: ModelFile's when given,
// else Target's; none for a new file.
const struct stat* ModelOf(const std::string& Target, const std::string& ModelFile, struct stat& Buffer)
{
    return ::stat((ModelFile.empty() ? Target : ModelFile).c_str(), &Buffer) == 0 ? &Buffer : nullptr;
}

}  // namespace

void FinishTempFile(TTempFile& Temp, const std::string& Target, unsigned NewFileMode)
{
    struct stat Model;
    // The writer's bytes meet a write fault a test injects here, at their end.
    int Err = InjectedFault(TFileStep::Write, Target);
    if (!Err)
        Err = CompleteTempFile(Temp.Fd_, Temp.Unnamed(), Target, ModelOf(Target, {}, Model), NewFileMode);
    if (Err) {
        RemoveTempFile(Temp);
        Fail("Cannot write", Target, Err);
    }
}

TTempFile WriteTempFile(const std::string& Target, const std::vector<std::string_view>& Pieces, unsigned NewFileMode,
                        const std::string& ModelFile)
{
    TTempFile Temp = OpenTempFile(Target);
    struct stat Model;
    if (const int Err = FillTempFile(Temp.Fd_, Temp.Unnamed(), Pieces, Target, ModelOf(Target, ModelFile, Model),
                                     NewFileMode)) {
        RemoveTempFile(Temp);
        Fail("Cannot write", Target, Err);
    }
    return Temp;
}

TTempFile WriteTempFileFrom(const std::string& Target, const TBytesWriter& Write, unsigned NewFileMode)
{
    TTempFile Temp = OpenTempFile(Target);
    struct stat Model;
    int Err = WriteFrom(Temp.Fd_, Write, Target);
    if (!Err)
        Err = CompleteTempFile(Temp.Fd_, Temp.Unnamed(), Target, ModelOf(Target, {}, Model), NewFileMode);
    if (Err) {
        RemoveTempFile(Temp);
        Fail("Cannot write", Target, Err);
    }
    return Temp;
}

namespace {

// Whether this user could remove a name of Existing's file in Folder again. In a
// sticky folder only the owner of the file or of the folder (or one with the
// rights of root) may: a link made there to another user's file would stay behind
// after a failed save, a hidden name of that user's file nobody here can remove.
bool CanRemoveLinkIn(const std::string& Folder, const std::string& Existing)
{
    struct stat Dir, File;
    if (::stat(Folder.c_str(), &Dir) != 0 || !(Dir.st_mode & S_ISVTX) || ::stat(Existing.c_str(), &File) != 0)
        return true;
    const uid_t Me = ::geteuid();
    return Me == 0 || Dir.st_uid == Me || File.st_uid == Me;
}

}  // namespace

TTempFile LinkTempFile(const std::string& Existing, const std::string& Target)
{
    TTempFile Temp;
    Temp.Folder_ = FolderOfPath(Target);
    int Err = InjectedFault(TFileStep::Link, Target);
    if (!Err && !CanRemoveLinkIn(Temp.Folder_, Existing))
        Err = EPERM;
    if (!Err)
        RemoveStaleTempFiles(Target);
    for (int Attempt = 0; !Err && Temp.Name_.empty() && Attempt < 100; ++Attempt) {
        const std::string Name = HiddenTempName(Temp.Folder_, BaseName(Target));
        if (::link(Existing.c_str(), Name.c_str()) == 0)
            Temp.Name_ = Name;
        else if (errno != EEXIST)
            Err = errno;
    }
    if (Temp.Name_.empty())
        Fail("Cannot link \"" + Existing + "\" as", Target, Err ? Err : EEXIST);
    // Held like a temporary file being written, so that a program in another
    // process-id space does not take it for one left behind.
    Temp.Fd_ = ::open(Temp.Name_.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (Temp.Fd_ >= 0)
        ::flock(Temp.Fd_, LOCK_EX | LOCK_NB);
    return Temp;
}

void RenameIntoPlace(TTempFile Temp, const std::string& Target)
{
    int Err = InjectedFault(TFileStep::Rename, Target);
    if (!Err && Temp.Unnamed()) {
        // Linked in under a hidden name for the moment of the rename: a link cannot
        // replace a file.
        const std::string Proc = "/proc/self/fd/" + std::to_string(Temp.Fd_);
        Err = EEXIST;
        for (int Attempt = 0; Err == EEXIST && Attempt < 100; ++Attempt) {
            const std::string Name = HiddenTempName(Temp.Folder_, BaseName(Target));
            int Rc = ::linkat(AT_FDCWD, Proc.c_str(), AT_FDCWD, Name.c_str(), AT_SYMLINK_FOLLOW);
#ifdef AT_EMPTY_PATH
            if (Rc != 0 && errno == ENOENT)
                Rc = ::linkat(Temp.Fd_, "", AT_FDCWD, Name.c_str(), AT_EMPTY_PATH);
#endif
            if (Rc == 0) {
                Temp.Name_ = Name;
                Err = 0;
            } else {
                Err = errno;
            }
        }
    }
    if (!Err && ::rename(Temp.Name_.c_str(), Target.c_str()) != 0)
        Err = errno;
    if (Err) {
        RemoveTempFile(Temp);
        Fail("Cannot replace", Target, Err);
    }
    // A rename between two names of one file does nothing: the target already is
    // this file, and the temporary name must not stay behind.
    struct stat Left, Placed;
    if (::lstat(Temp.Name_.c_str(), &Left) == 0 && ::lstat(Target.c_str(), &Placed) == 0 &&
        Left.st_dev == Placed.st_dev && Left.st_ino == Placed.st_ino)
        ::unlink(Temp.Name_.c_str());
    Temp.Name_.clear();  // it is the target now
    RemoveTempFile(Temp);
    SyncFolder(Target);
}

void RemoveTempFile(TTempFile& Temp) noexcept
{
    if (Temp.Fd_ >= 0)
        ::close(std::exchange(Temp.Fd_, -1));
    if (!Temp.Name_.empty())
        ::unlink(Temp.Name_.c_str());
    Temp.Name_.clear();
}

void RemoveStaleTempFiles(const std::string& Target) noexcept
{
    const std::string Folder = FolderOfPath(Target);
    const std::string Prefix = TempNamePrefix(Folder, BaseName(Target));
    DIR* D = ::opendir(Folder.c_str());
    if (!D)
        return;
    while (const dirent* E = ::readdir(D)) {
        const std::string Name = E->d_name;
        const pid_t Owner = TempNameOwner(Name, Prefix);
        // A process of that number still runs (or runs as another user): it may be
        // the writer.
        if (Owner == 0 || Owner == ::getpid() || ::kill(Owner, 0) == 0 || errno != ESRCH)
            continue;
        const int Fd = ::openat(::dirfd(D), Name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (Fd < 0)
            continue;
        struct stat St;
        // A lock still held belongs to a writer elsewhere.
        if (::fstat(Fd, &St) == 0 && S_ISREG(St.st_mode) && ::flock(Fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(::dirfd(D), Name.c_str(), 0);
        ::close(Fd);
    }
    ::closedir(D);
}

void AtomicWriteFile(const std::string& Path, std::string_view Bytes, unsigned NewFileMode)
{
    const std::string Target = ResolveFileLink(Path);
    RenameIntoPlace(WriteTempFile(Target, Bytes, NewFileMode), Target);
}

bool RenameNoReplace(const std::string& From, const std::string& To)
{
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, From.c_str(), AT_FDCWD, To.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
#endif
    // A file system without the one-step form: the look and the rename stay apart.
    struct stat St {};
    if (::lstat(To.c_str(), &St) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(From.c_str(), To.c_str()) == 0;
}

std::string NumberedFileName(const std::string& Target, int N)
{
    if (N < 2)
        return Target;
    const auto Slash = Target.rfind('/');
    const std::size_t BaseAt = Slash == std::string::npos ? 0 : Slash + 1;
    auto Dot = Target.rfind('.');
    // A leading dot starts a hidden name, not an extension.
    if (Dot == std::string::npos || Dot <= BaseAt)
        Dot = Target.size();
    return Target.substr(0, Dot) + "-" + std::to_string(N) + Target.substr(Dot);
}

std::string PlaceAsNewFile(TTempFile Temp, const std::string& Target)
{
    int Err = EEXIST;
    for (int N = 1; N <= 1000 && Err == EEXIST; ++N) {
        const std::string Name = NumberedFileName(Target, N);
        if ((Err = InjectedFault(TFileStep::Rename, Name)) != 0)
            break;
        // A link never replaces a file: the name is taken whole or not at all.
        int Rc = -1;
        if (Temp.Unnamed()) {
            const std::string Proc = "/proc/self/fd/" + std::to_string(Temp.Fd_);
            Rc = ::linkat(AT_FDCWD, Proc.c_str(), AT_FDCWD, Name.c_str(), AT_SYMLINK_FOLLOW);
            Err = Rc == 0 ? 0 : errno;
#ifdef AT_EMPTY_PATH
            if (Rc != 0 && Err == ENOENT && ::linkat(Temp.Fd_, "", AT_FDCWD, Name.c_str(), AT_EMPTY_PATH) == 0)
                Rc = Err = 0;
#endif
        } else {
            Rc = ::link(Temp.Name_.c_str(), Name.c_str());
            Err = Rc == 0 ? 0 : errno;
            if (Rc != 0 && (Err == EPERM || Err == ENOTSUP || Err == EOPNOTSUPP || Err == EMLINK)) {
                // No hard links here: the name is claimed by an exclusive create first
                // and then taken over by the rename.
                const int Fd = ::open(Name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
                Err = Fd >= 0 ? 0 : errno;
                if (Fd >= 0) {
                    ::close(Fd);
                    if (::rename(Temp.Name_.c_str(), Name.c_str()) == 0) {
                        Temp.Name_.clear();
                        Rc = 0;
                    } else {
                        Err = errno;
                        ::unlink(Name.c_str());
                    }
                }
            }
        }
        if (Rc == 0) {
            RemoveTempFile(Temp);
            SyncFolder(Name);
            return Name;
        }
    }
    RemoveTempFile(Temp);
    Fail("Cannot create", Target, Err);
}

std::string WriteNewFile(const std::string& Target, std::string_view Bytes, unsigned Mode)
{
    return WriteNewFileFrom(Target, [Bytes](const TPutBytes& Put) { Put(Bytes); }, Mode);
}

std::string WriteNewFileFrom(const std::string& Target, const TBytesWriter& Write, unsigned Mode)
{
    TTempFile Temp;
    Temp.Folder_ = FolderOfPath(Target);
    int Err = InjectedFault(TFileStep::CreateTemp, Target);
    if (!Err)
        Err = OpenPrivateTemp(Temp.Folder_, Target, Temp.Fd_, Temp.Name_);
    if (Err)
        Fail("Cannot create", Target, Err);
    if (!(Err = WriteFrom(Temp.Fd_, Write, Target)))
        Err = CompleteTempFile(Temp.Fd_, Temp.Unnamed(), Target, nullptr, Mode);
    if (Err) {
        RemoveTempFile(Temp);
        Fail("Cannot write", Target, Err);
    }
    return PlaceAsNewFile(std::move(Temp), Target);
}

}  // namespace narvo
