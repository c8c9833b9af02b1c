// Reading whole files and replacing files so that what was on disk survives any
// failure: the new bytes go to a temporary file in the target's folder, are synced,
// take over the target's mode bits and are renamed over it. Only regular files are
// read; a symbolic link is followed to the file it names. The steps are separate
// functions so that saving with a ".BAK" copy can put its own step between them.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace narvo {

// Every failure of this layer's file work: the message names the file and the reason.
class EFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The steps at which a test may inject a failure.
enum class TFileStep { Read, CreateTemp, Write, Sync, Close, Rename, Link };

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

// True when Path names an existing file system object (after links).
bool FileExists(const std::string& Path);

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

// A temporary file beside Target holding Bytes, written in full, synced and closed,
// with Target's mode bits (and, for root, its owner); a new target gets NewFileMode
// (0600 for a private file) less the umask. On any failure the temporary file is
// removed and EFileError thrown.
std::string WriteTempFile(const std::string& Target, std::string_view Bytes, unsigned NewFileMode = 0666);
// The same for bytes given as pieces to be written one after another (a large text
// is written from where its lines lie, without joining them first).
std::string WriteTempFile(const std::string& Target, const std::vector<std::string_view>& Pieces,
                          unsigned NewFileMode = 0666);
// Renames Temp over Target and syncs the folder; on failure Temp is removed.
void RenameIntoPlace(const std::string& Temp, const std::string& Target);
// Removes a temporary file, ignoring errors (used on failure paths).
void RemoveTempFile(const std::string& Temp) noexcept;

// Replaces the file Path names (after links) by Bytes atomically. On failure the
// target is left byte for byte and no temporary file remains.
void AtomicWriteFile(const std::string& Path, std::string_view Bytes);

}  // namespace narvo
