// The folder views' access to the file system, in place of the desktop shell's
// namespace: one TShellFolder per item (a file or a folder, named by its full path),
// roots given as a special-folder name (rfDesktop, rfPersonal... through the XDG
// folders) or as a path, enumeration with the view's object types, the detail
// columns "Name", "Size", "Type" and "Modified", renaming, opening with the user's
// program, and deleting into the freedesktop trash (never for good).
//
// An item reads its file data once, when it is made; a view re-reads by refilling.
// File names are file-system bytes; they are shown through QFile::decodeName.
#pragma once

#include <QIcon>

#include <array>
#include <cstdint>
#include <ctime>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace narvo {

// A root: one of the special-folder names below (ignoring case) or a folder path.
using TRoot = std::string;

// The special-folder names a root may give. Those without a counterpart on this
// system (rfNetwork, rfControlPanel, rfPrinters...) cannot be resolved.
inline constexpr std::array<const char*, 23> RootFolderNames = {
    "rfDesktop", "rfMyComputer", "rfNetwork", "rfRecycleBin", "rfAppData", "rfCommonDesktopDirectory",
    "rfCommonPrograms", "rfCommonStartMenu", "rfCommonStartup", "rfControlPanel", "rfDesktopDirectory",
    "rfFavorites", "rfFonts", "rfInternet", "rfPersonal", "rfPrinters", "rfPrintHood", "rfPrograms",
    "rfRecent", "rfSendTo", "rfStartMenu", "rfStartup", "rfTemplates"};

// Which items a view lists: a set of these bits.
enum TShellObjectType : std::uint8_t { otFolders = 1, otNonFolders = 2, otHidden = 4 };
using TShellObjectTypes = std::uint8_t;
// The enumeration flags of a set: folders 32, non-folders 64, hidden 128.
std::uint32_t ObjectTypesToEnumFlags(TShellObjectTypes Types);

// An item whose file details cannot be read.
class EInvalidPath : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TShellFolder {
public:
    // Path is the item's full path; Parent (not owned) is the folder it was listed in.
    explicit TShellFolder(std::string Path, const TShellFolder* Parent = nullptr);

    const std::string& PathName() const { return FPath; }
    // The last part of the path ("/" for the root of the file system).
    std::string DisplayName() const;
    const TShellFolder* Parent() const { return FParent; }
    int Level() const { return FLevel; }

    bool Exists() const { return FExists; }
    bool IsFolder() const { return FIsFolder; }
    bool HasSubFolders() const;
    // True when the item is a folder holding at least one item of the kinds in Types
    // (it stops at the first one found).
    bool HasEnumerableChildren(TShellObjectTypes Types) const;
    std::int64_t Size() const { return FSize; }
    std::int64_t ModifiedNs() const { return FModifiedNs; }  // last write, ns since 1970
    std::uint32_t Mode() const { return FMode; }
    QIcon Icon() const;

    // The "Type" column's text, looked up once per item (a sort asks it for every
    // comparison).
    const std::string& TypeText() const;
    // Fills the column texts 1 to ColumnCount (nothing when already as many).
    void LoadColumnDetails(int ColumnCount);
    // The text of column Index, from 1; raises when LoadColumnDetails never ran.
    std::string ColumnDetail(int Index) const;

    // Renames the item inside its folder (true). A name that is not a plain name,
    // names an existing item or is refused by the system raises "Rename to %s failed"
    // and the item keeps its name.
    bool Rename(const std::string& NewName);
    // Opens the item with the user's program; the result is ShellOpen's.
    int ExecuteDefault() const;

private:
    void ReadFileData();

    std::string FPath;
    const TShellFolder* FParent = nullptr;
    int FLevel = 0;
    bool FExists = false;
    bool FIsFolder = false;
    std::int64_t FSize = 0;
    std::int64_t FModifiedNs = 0;
    std::uint32_t FMode = 0;
    std::vector<std::string> FDetails;
    mutable std::string FType;
    mutable bool FTypeKnown = false;
};

// The fallback column text of an item: 1 size (empty for a folder), 2 type,
// 3 last write in the locale's short date and time, 4 mode bits in decimal.
std::string DefaultDetailText(const TShellFolder& Item, int Column);

// The folder a root names, as an absolute path; raises "Error setting path: "%s""
// for an empty root, a special folder without a counterpart, or a path that is not
// a folder.
std::string ResolveRoot(const TRoot& Root);
std::unique_ptr<TShellFolder> CreateRootFolder(const TRoot& Root);

// True when Path is Root or lies below it (absolute paths without a trailing '/').
bool IsBelowOrSame(const std::string& Path, const std::string& Root);
// Every folder from just below Root down to Path, shortest first (empty for Root).
std::vector<std::string> FolderChain(const std::string& Root, const std::string& Path);

// The items of Folder of the kinds in Types, by name. Ok is false when the folder
// cannot be read (the list is then empty).
std::vector<std::unique_ptr<TShellFolder>> EnumObjects(const TShellFolder& Folder, TShellObjectTypes Types,
                                                       bool* Ok = nullptr);

// Folders before other items, then by name: negative, 0 or positive.
int CompareFoldersFirst(const TShellFolder* A, const TShellFolder* B);
// The order of two items by one detail column: 0 name, 1 size, 2 type, 3 modified;
// ties are broken by name.
int CompareIDs(int Column, const TShellFolder& A, const TShellFolder& B);

// --- the freedesktop trash ------------------------------------------------------------------
// The home trash: $XDG_DATA_HOME/Trash, else ~/.local/share/Trash.
std::string HomeTrashFolder();
// Moves Path into the home trash (files/ and an info/*.trashinfo record). False
// with the reason in Error when it could not be moved; the file is then untouched.
// A file on another file system than the trash is refused rather than copied.
bool MoveToTrash(const std::string& Path, std::string& Error);

}  // namespace narvo
