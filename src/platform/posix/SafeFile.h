// Reading whole files and replacing files so that what was on disk survives any
// failure: the new bytes go to a temporary file in the target's folder, are synced,
// take over the target's mode bits and are renamed over it. The temporary file is
// private (0600) while it is written and, where the file system allows, has no name
// until it is put in place, so a program killed meanwhile leaves nothing behind.
// Only regular files are read; a symbolic link is followed to the file it names.
// The steps are separate functions so that saving with a ".BAK" copy can put its
// own step between them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace narvo {

// Every failure of this layer's file work: the message names the file and the reason.
// Code() is the errno value behind it, 0 where none applies.
class EFileError : public std::runtime_error {
public:
    explicit EFileError(const std::string& Text, int Errno = 0) : std::runtime_error(Text), Errno_(Errno) {}
    int Code() const { return Errno_; }

private:
    int Errno_;
};

// The steps at which a test may inject a failure.
// Unnamed: creating a temporary file without a name (a failure there is not an
// error: a named temporary file is used instead, as on file systems without them).
enum class TFileStep { Read, CreateTemp, Write, Sync, Close, Rename, Link, Unnamed };

// The hook returns 0 to let the step run, else the errno value the step fails with.
// A failure injected at Write first writes half of the bytes (a short write).
using TFileFaultHook = std::function<int(TFileStep Step, const std::string& Path)>;
// Installs Hook (an empty function removes it); returns the previous hook.
TFileFaultHook SetFileFaultHook(TFileFaultHook Hook);

// "<what> "<Path>": <reason>" in one place so that every message reads alike.
std::string FileErrorText(std::string_view What, const std::string& Path, int Errno);

// Path with every symbolic link of its last component followed (relative link
// targets taken from the link's folder). A missing file or a dangling link gives the
// path it would be created at. A loop of links throws.
std::string ResolveFileLink(const std::string& Path);

// The folder part of Path ("." for a bare name, "/" for a file in the root).
std::string FolderOfPath(const std::string& Path);

// The longest file name, in bytes, that Folder's file system takes (255 on most;
// 255 too when the folder cannot be asked).
std::size_t FileNameLimit(const std::string& Folder);
// The first bytes of Name, at most Limit, ending at a character boundary of UTF-8
// so that a shortened name never ends in half a character.
std::string CutFileName(std::string_view Name, std::size_t Limit);
// Name cut (as CutFileName cuts) so that Reserved more bytes still fit in a name in
// Folder: a name made of it and a suffix of that many bytes always fits.
std::string FitFileName(const std::string& Folder, std::string_view Name, std::size_t Reserved);

// True when Path names an existing file system object (after links).
bool FileExists(const std::string& Path);
// True when Path names an existing regular file (after links).
bool IsRegularFile(const std::string& Path);

// True when Path names a regular file (after links) marked read-only by its mode
// bits or refused to this user. Root may write anything, but a file marked
// read-only is still one its owner meant to keep.
bool IsReadOnlyFile(const std::string& Path);

// What identifies the bytes of a file on disk without reading them: another
// program that writes it (or makes it, where there was none) changes at least one
// of these. A writer takes it when the file is read or chosen and compares it just
// before writing, so that a change made meanwhile is not lost unasked.
struct TFileStamp {
    bool Valid = false;  // false: no regular file of that name
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;
    std::int64_t Size = 0;
    std::int64_t MTimeSec = 0, MTimeNsec = 0;
    bool operator==(const TFileStamp&) const = default;
};
// The stamp of the regular file Path names (after links); not Valid when there is none.
TFileStamp StampOf(const std::string& Path);
// True when a file is there now (Now) that is not the one stamped Then: another
// program changed it, replaced it, or made it where there was none. A file gone
// since is no change: writing loses nothing then.
bool ChangedSince(const TFileStamp& Then, const TFileStamp& Now);

// The whole content of a regular file. A folder, FIFO, socket or device is refused;
// a missing or unreadable file throws with the name and the reason.
std::string ReadFileBytes(const std::string& Path);

// The same bytes read straight into memory that is not cleared first (large files
// load at the speed of the copy from the system).
struct TFileBlock {
    std::unique_ptr<char[]> Data;
    std::size_t Size = 0;
};
TFileBlock ReadFileBlock(const std::string& Path);

// What a writer of bytes in pieces is given (see WriteTempFileFrom).
using TPutBytes = std::function<void(std::string_view)>;
using TBytesWriter = std::function<void(const TPutBytes& Put)>;

// A temporary file beside its target, written in full and synced. It has no name
// while the file system allows unnamed files; otherwise it is
// ".<target name>.<process id>-<number>.tmp", which a later save of the same target
// removes once no running program owns it. The target name in it is shortened
// (see CutFileName) as far as the whole name must be to fit the folder's limit, so
// that every name a file may have can be saved. Dropping it removes it.
class TTempFile {
public:
    TTempFile() = default;
    TTempFile(TTempFile&& Other) noexcept;
    TTempFile& operator=(TTempFile&& Other) noexcept;
    TTempFile(const TTempFile&) = delete;
    TTempFile& operator=(const TTempFile&) = delete;
    ~TTempFile();

    bool Empty() const { return Fd_ < 0 && Name_.empty(); }
    bool Unnamed() const { return Fd_ >= 0 && Name_.empty(); }
    int Fd() const { return Fd_; }

private:
    friend TTempFile WriteTempFile(const std::string&, const std::vector<std::string_view>&, unsigned,
                                   const std::string&);
    friend TTempFile LinkTempFile(const std::string&, const std::string&);
    friend TTempFile OpenTempFile(const std::string&);
    friend void FinishTempFile(TTempFile&, const std::string&, unsigned);
    friend void RenameIntoPlace(TTempFile, const std::string&);
    friend std::string PlaceAsNewFile(TTempFile, const std::string&);
    friend TTempFile WriteTempFileFrom(const std::string&, const TBytesWriter&, unsigned);
    friend std::string WriteNewFileFrom(const std::string&, const TBytesWriter&, unsigned);
    friend void RemoveTempFile(TTempFile&) noexcept;
    int Fd_ = -1;          // open while the file has no name, or to hold its lock
    std::string Folder_;   // where it is linked in
    std::string Name_;     // the hidden name, empty while unnamed
};

// A temporary file beside Target holding Bytes, written in full and synced. It is
// 0600 while the bytes are written and takes Target's mode bits and owner (where
// this user may give them) only after; a new target gets NewFileMode (0600 for a
// private file) less the umask. ModelFile, when given, is the file whose mode and
// owner it takes instead of Target's (a copy made as a backup of that file). On any
// failure nothing is left behind and EFileError is thrown.
TTempFile WriteTempFile(const std::string& Target, std::string_view Bytes, unsigned NewFileMode = 0666,
                        const std::string& ModelFile = {});
// The same for bytes given as pieces to be written one after another (a large text
// is written from where its lines lie, without joining them first).
TTempFile WriteTempFile(const std::string& Target, const std::vector<std::string_view>& Pieces,
                        unsigned NewFileMode = 0666, const std::string& ModelFile = {});
// The same for bytes a writer hands over a piece at a time (a text written with no
// copy of it in memory): Write is called with a Put that writes each piece it is
// given. A write that fails throws EFileError out of Put; whatever Write throws
// leaves nothing behind and goes on to the caller.
TTempFile WriteTempFileFrom(const std::string& Target, const TBytesWriter& Write, unsigned NewFileMode = 0666);
// The same written by the caller (a print to a file streams its pages): an empty
// private temporary file beside Target, open for writing at Fd(); FinishTempFile
// then gives it its mode and syncs it, as WriteTempFile does once the bytes are in.
// Both throw EFileError and leave nothing behind on failure.
TTempFile OpenTempFile(const std::string& Target);
void FinishTempFile(TTempFile& Temp, const std::string& Target, unsigned NewFileMode = 0666);
// The file Existing under one more name, a hidden temporary one of Target (a hard
// link: no byte is copied), to be put in place as Target later. Throws EFileError
// (with the errno as Code) where the file system has no links or refuses this one,
// and (EPERM) where this user could not remove the link again: another user's file
// in a sticky folder.
TTempFile LinkTempFile(const std::string& Existing, const std::string& Target);
// Puts Temp in place as Target (replacing it) and syncs the folder; on failure Temp
// is removed and EFileError thrown. When Target already is the very file Temp names
// (a hard link of it), Target stays and Temp's name goes.
void RenameIntoPlace(TTempFile Temp, const std::string& Target);
// Puts Temp in place as a new file: under Target when no file has that name, else
// under the first free NumberedFileName of Target. A file of the name, also one
// another program makes at the same moment, is never replaced (a dated name taken by
// two windows in one second keeps both texts). Answers the name used; on failure Temp
// is removed and EFileError thrown.
std::string PlaceAsNewFile(TTempFile Temp, const std::string& Target);
// Bytes as a new file of mode Mode (less the umask), whole or not at all, named as
// PlaceAsNewFile names it. Nothing is taken from a file already of that name.
std::string WriteNewFile(const std::string& Target, std::string_view Bytes, unsigned Mode = 0600);
// The same for bytes Write hands over a piece at a time (see WriteTempFileFrom).
std::string WriteNewFileFrom(const std::string& Target, const TBytesWriter& Write, unsigned Mode = 0600);
// Target with "-N" before its extension ("a/NRV1.txt" -> "a/NRV1-2.txt", "a/x" ->
// "a/x-2"); Target itself for N below 2.
std::string NumberedFileName(const std::string& Target, int N);
// Renames From to To unless To exists, in one step where the file system can (no file
// made under To between a look and the rename is replaced); false with errno set
// (EEXIST when To is taken).
bool RenameNoReplace(const std::string& From, const std::string& To);
// Removes a temporary file, ignoring errors (used on failure paths).
void RemoveTempFile(TTempFile& Temp) noexcept;

// Removes the hidden temporary files of Target (see TTempFile) left by programs that
// no longer run; those of running programs, this one included, stay.
void RemoveStaleTempFiles(const std::string& Target) noexcept;

// Replaces the file Path names (after links) by Bytes atomically. On failure the
// target is left byte for byte and no temporary file remains. A new file gets
// NewFileMode less the umask; an existing one keeps its mode.
void AtomicWriteFile(const std::string& Path, std::string_view Bytes, unsigned NewFileMode = 0666);

}  // namespace narvo
