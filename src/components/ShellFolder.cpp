// File-system items for the folder views, and the freedesktop trash (see ShellFolder.h).
#include "components/ShellFolder.h"

#include "platform/Shell.h"
#include "platform/TextConvert.h"
#include "platform/posix/SafeFile.h"

#include <QDateTime>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QLocale>
#include <QMimeDatabase>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace narvo {

namespace {

int CompareNoCase(const std::string& A, const std::string& B)
{
    const std::size_t N = std::min(A.size(), B.size());
    for (std::size_t I = 0; I < N; ++I) {
        unsigned char X = static_cast<unsigned char>(A[I]);
        unsigned char Y = static_cast<unsigned char>(B[I]);
        if (X >= 'a' && X <= 'z')
            X = static_cast<unsigned char>(X - 32);
        if (Y >= 'a' && Y <= 'z')
            Y = static_cast<unsigned char>(Y - 32);
        if (X != Y)
            return X < Y ? -1 : 1;
    }
    if (A.size() != B.size())
        return A.size() < B.size() ? -1 : 1;
    return A.compare(B) < 0 ? -1 : (A == B ? 0 : 1);  // names differing only by case
}

bool SameNoCase(const std::string& A, const char* B)
{
    const std::size_t N = std::strlen(B);
    if (A.size() != N)
        return false;
    for (std::size_t I = 0; I < N; ++I) {
        const unsigned char X = static_cast<unsigned char>(A[I]);
        const unsigned char Y = static_cast<unsigned char>(B[I]);
        if ((X >= 'A' && X <= 'Z' ? X + 32 : X) != (Y >= 'A' && Y <= 'Z' ? Y + 32 : Y))
            return false;
    }
    return true;
}

std::string Local(QStandardPaths::StandardLocation Where)
{
    return QFile::encodeName(QStandardPaths::writableLocation(Where)).toStdString();
}

// The folder of a special-folder name; empty when the name has no counterpart here.
std::string SpecialFolderPath(const std::string& Name)
{
    const std::string Config = Local(QStandardPaths::GenericConfigLocation);
    if (SameNoCase(Name, "rfDesktop") || SameNoCase(Name, "rfDesktopDirectory"))
        return Local(QStandardPaths::DesktopLocation);
    if (SameNoCase(Name, "rfMyComputer"))
        return "/";
    if (SameNoCase(Name, "rfRecycleBin"))
        return HomeTrashFolder() + "/files";
    if (SameNoCase(Name, "rfAppData"))
        return Config;
    if (SameNoCase(Name, "rfFonts"))
        return Local(QStandardPaths::FontsLocation);
    if (SameNoCase(Name, "rfPersonal"))
        return Local(QStandardPaths::DocumentsLocation);
    if (SameNoCase(Name, "rfPrograms") || SameNoCase(Name, "rfStartMenu"))
        return Local(QStandardPaths::ApplicationsLocation);
    if (SameNoCase(Name, "rfStartup"))
        return Config + "/autostart";
    if (SameNoCase(Name, "rfCommonPrograms") || SameNoCase(Name, "rfCommonStartMenu"))
        return "/usr/share/applications";
    if (SameNoCase(Name, "rfCommonStartup"))
        return "/etc/xdg/autostart";
    return {};
}

bool IsRootFolderName(const std::string& Root)
{
    return std::any_of(RootFolderNames.begin(), RootFolderNames.end(),
                       [&](const char* N) { return SameNoCase(Root, N); });
}

[[noreturn]] void RootError(const TRoot& Root)
{
    throw std::runtime_error("Error setting path: \"" + Root + "\"");
}

std::string ExtensionOf(const std::string& Name)
{
    const std::size_t Dot = Name.rfind('.');
    if (Dot == std::string::npos || Dot == 0)
        return {};
    return Name.substr(Dot + 1);
}

}  // namespace

std::uint32_t ObjectTypesToEnumFlags(TShellObjectTypes Types)
{
    std::uint32_t Flags = 0;
    if (Types & otFolders)
        Flags += 32;
    if (Types & otNonFolders)
        Flags += 64;
    if (Types & otHidden)
        Flags += 128;
    return Flags;
}

// --- TShellFolder ----------------------------------------------------------------------------

TShellFolder::TShellFolder(std::string Path, const TShellFolder* Parent) : FPath(std::move(Path)), FParent(Parent)
{
    for (const TShellFolder* P = Parent ? Parent->FParent : nullptr; P; P = P->FParent)
        ++FLevel;
    ReadFileData();
}

void TShellFolder::ReadFileData()
{
    struct stat St {};
    // A link shows what it names, as the file manager does.
    FExists = ::stat(FPath.c_str(), &St) == 0 || ::lstat(FPath.c_str(), &St) == 0;
    if (!FExists)
        return;
    FIsFolder = S_ISDIR(St.st_mode);
    FSize = static_cast<std::int64_t>(St.st_size);
    FModifiedNs = static_cast<std::int64_t>(St.st_mtim.tv_sec) * 1000000000 + St.st_mtim.tv_nsec;
    FMode = St.st_mode;
}

std::string TShellFolder::DisplayName() const
{
    if (FPath.empty() || FPath == "/")
        return FPath;
    std::string P = FPath;
    while (P.size() > 1 && P.back() == '/')
        P.pop_back();
    const std::size_t Slash = P.rfind('/');
    return Slash == std::string::npos ? P : P.substr(Slash + 1);
}

bool TShellFolder::HasSubFolders() const { return HasEnumerableChildren(otFolders); }

bool TShellFolder::HasEnumerableChildren(TShellObjectTypes Types) const
{
    if (!FIsFolder)
        return false;
    DIR* D = ::opendir(FPath.c_str());
    if (!D)
        return false;
    bool Found = false;
    while (!Found) {
        const dirent* E = ::readdir(D);
        if (!E)
            break;
        const std::string Name = E->d_name;
        if (Name == "." || Name == ".." || (Name[0] == '.' && !(Types & otHidden)))
            continue;
        bool IsDir = E->d_type == DT_DIR;
        if (E->d_type == DT_UNKNOWN || E->d_type == DT_LNK) {
            struct stat St {};
            IsDir = ::stat((FPath + "/" + Name).c_str(), &St) == 0 && S_ISDIR(St.st_mode);
        }
        Found = IsDir ? (Types & otFolders) != 0 : (Types & otNonFolders) != 0;
    }
    ::closedir(D);
    return Found;
}

QIcon TShellFolder::Icon() const
{
    static QFileIconProvider Provider;
    return Provider.icon(QFileInfo(QFile::decodeName(QByteArray::fromStdString(FPath))));
}

void TShellFolder::LoadColumnDetails(int ColumnCount)
{
    if (static_cast<int>(FDetails.size()) >= ColumnCount)
        return;
    FDetails.clear();
    for (int J = 1; J <= ColumnCount; ++J)
        FDetails.push_back(DefaultDetailText(*this, J));
}

std::string TShellFolder::ColumnDetail(int Index) const
{
    if (FDetails.empty())
        throw std::runtime_error(DisplayName() + ": Missing call to LoadColumnDetails");
    if (Index < 1 || Index > static_cast<int>(FDetails.size()))
        return {};
    return FDetails[static_cast<std::size_t>(Index - 1)];
}

bool TShellFolder::Rename(const std::string& NewName)
{
    if (NewName.empty() || NewName == "." || NewName == ".." || NewName.find('/') != std::string::npos ||
        NewName.find('\0') != std::string::npos)
        throw std::runtime_error("Rename to " + NewName + " failed");
    const std::size_t Slash = FPath.rfind('/');
    const std::string Folder = Slash == std::string::npos ? std::string() : FPath.substr(0, Slash + 1);
    const std::string Target = Folder + NewName;
    if (Target == FPath)
        return true;
    // Never replace another item of that name, also one made a moment before.
    if (!RenameNoReplace(FPath, Target))
        throw std::runtime_error("Rename to " + NewName + " failed");
    FPath = Target;
    FDetails.clear();
    FTypeKnown = false;
    ReadFileData();
    return true;
}

int TShellFolder::ExecuteDefault() const { return ShellOpen(FPath); }

const std::string& TShellFolder::TypeText() const
{
    if (FTypeKnown)
        return FType;
    FTypeKnown = true;
    if (FIsFolder)
        return FType = "File folder";
    static const QMimeDatabase Mimes;
    const auto Lookup = [](const std::string& Name, const std::string& Ext) {
        const QMimeType Type = Mimes.mimeTypeForFile(QFile::decodeName(QByteArray::fromStdString(Name)),
                                                     QMimeDatabase::MatchExtension);
        if (Type.isValid() && !Type.isDefault())
            return QStringToAnsi(Type.comment());
        return Ext.empty() ? std::string("File") : Ext + " File";
    };
    const std::string Ext = ExtensionOf(DisplayName());
    if (Ext.empty())
        return FType = Lookup(DisplayName(), Ext);
    // A file's type is its extension's, as the desktop registers it: looked up once
    // per extension (a glob match costs tens of microseconds, 50,000 backups a second).
    static std::map<std::string, std::string> ByExtension;
    auto Known = ByExtension.find(Ext);
    if (Known == ByExtension.end())
        Known = ByExtension.emplace(Ext, Lookup("x." + Ext, Ext)).first;
    return FType = Known->second;
}

std::string DefaultDetailText(const TShellFolder& Item, int Column)
{
    switch (Column) {
    case 1:
        return Item.IsFolder() ? std::string() : std::to_string(Item.Size());
    case 2:
        return Item.TypeText();
    case 3: {
        if (!Item.Exists())
            return {};
        const QDateTime When = QDateTime::fromMSecsSinceEpoch(Item.ModifiedNs() / 1000000);
        return QStringToAnsi(QLocale().toString(When, QLocale::ShortFormat));
    }
    case 4:
        return std::to_string(Item.Mode());
    default:
        return {};
    }
}

std::string ResolveRoot(const TRoot& Root)
{
    if (Root.empty())
        RootError(Root);
    std::string Path;
    if (IsRootFolderName(Root)) {
        Path = SpecialFolderPath(Root);
        if (Path.empty())
            RootError(Root);
    } else {
        Path = Root;
        if (Path[0] != '/') {
            char* Cwd = ::getcwd(nullptr, 0);
            if (!Cwd)
                RootError(Root);
            Path = std::string(Cwd) + "/" + Path;
            std::free(Cwd);
        }
    }
    while (Path.size() > 1 && Path.back() == '/')
        Path.pop_back();
    struct stat St {};
    if (::stat(Path.c_str(), &St) != 0 || !S_ISDIR(St.st_mode))
        RootError(Root);
    return Path;
}

bool IsBelowOrSame(const std::string& Path, const std::string& Root)
{
    if (Path == Root)
        return true;
    const std::string Prefix = Root == "/" ? Root : Root + "/";
    return Path.compare(0, Prefix.size(), Prefix) == 0;
}

std::vector<std::string> FolderChain(const std::string& Root, const std::string& Path)
{
    std::vector<std::string> Chain;
    std::size_t Pos = Root == "/" ? 0 : Root.size();
    while (Pos < Path.size()) {
        const std::size_t Next = Path.find('/', Pos + 1);
        Chain.push_back(Path.substr(0, Next));
        if (Next == std::string::npos)
            break;
        Pos = Next;
    }
    return Chain;
}

std::unique_ptr<TShellFolder> CreateRootFolder(const TRoot& Root)
{
    return std::make_unique<TShellFolder>(ResolveRoot(Root));
}

std::vector<std::unique_ptr<TShellFolder>> EnumObjects(const TShellFolder& Folder, TShellObjectTypes Types,
                                                       bool* Ok)
{
    std::vector<std::unique_ptr<TShellFolder>> Items;
    DIR* D = ::opendir(Folder.PathName().c_str());
    if (Ok)
        *Ok = D != nullptr;
    if (!D)
        return Items;
    const std::string Prefix = Folder.PathName() == "/" ? "/" : Folder.PathName() + "/";
    while (const dirent* E = ::readdir(D)) {
        const std::string Name = E->d_name;
        if (Name == "." || Name == "..")
            continue;
        if (Name[0] == '.' && !(Types & otHidden))
            continue;
        auto Item = std::make_unique<TShellFolder>(Prefix + Name, &Folder);
        if (Item->IsFolder() ? (Types & otFolders) : (Types & otNonFolders))
            Items.push_back(std::move(Item));
    }
    ::closedir(D);
    // The directory's own order is arbitrary here; the views expect names in order.
    std::sort(Items.begin(), Items.end(),
              [](const auto& A, const auto& B) { return CompareNoCase(A->DisplayName(), B->DisplayName()) < 0; });
    return Items;
}

int CompareFoldersFirst(const TShellFolder* A, const TShellFolder* B)
{
    if (!A || !B)
        return 0;
    const int Kind = (B->IsFolder() ? 1 : 0) - (A->IsFolder() ? 1 : 0);
    return Kind != 0 ? Kind : CompareNoCase(A->DisplayName(), B->DisplayName());
}

int CompareIDs(int Column, const TShellFolder& A, const TShellFolder& B)
{
    int R = 0;
    switch (Column) {
    case 1:
        R = A.Size() < B.Size() ? -1 : (A.Size() > B.Size() ? 1 : 0);
        break;
    case 2:
        R = CompareNoCase(A.TypeText(), B.TypeText());
        break;
    case 3:
        R = A.ModifiedNs() < B.ModifiedNs() ? -1 : (A.ModifiedNs() > B.ModifiedNs() ? 1 : 0);
        break;
    default:
        break;
    }
    return R != 0 ? R : CompareNoCase(A.DisplayName(), B.DisplayName());
}

// --- the freedesktop trash ---------------------------------------------------------------------

std::string HomeTrashFolder()
{
    const char* Data = std::getenv("XDG_DATA_HOME");
    if (Data && Data[0] == '/')
        return std::string(Data) + "/Trash";
    const char* Home = std::getenv("HOME");
    return std::string(Home ? Home : "") + "/.local/share/Trash";
}

namespace {

bool MakeFolders(const std::string& Path)
{
    std::string Part;
    std::size_t Pos = 0;
    while (Pos != std::string::npos) {
        Pos = Path.find('/', Pos + 1);
        Part = Path.substr(0, Pos);
        if (Part.empty())
            continue;
        if (::mkdir(Part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    struct stat St {};
    return ::stat(Path.c_str(), &St) == 0 && S_ISDIR(St.st_mode);
}

// The path as the trash records it: every byte outside the unreserved set and '/'
// as %XX.
std::string EscapeTrashPath(const std::string& Path)
{
    static const char Hex[] = "0123456789ABCDEF";
    std::string Out;
    for (const char Ch : Path) {
        const auto B = static_cast<unsigned char>(Ch);
        if ((B >= 'A' && B <= 'Z') || (B >= 'a' && B <= 'z') || (B >= '0' && B <= '9') || B == '-' || B == '_' ||
            B == '.' || B == '~' || B == '/') {
            Out += Ch;
        } else {
            Out += '%';
            Out += Hex[B >> 4];
            Out += Hex[B & 15];
        }
    }
    return Out;
}

bool WriteAll(int Fd, const std::string& Text)
{
    std::size_t Done = 0;
    while (Done < Text.size()) {
        const ssize_t N = ::write(Fd, Text.data() + Done, Text.size() - Done);
        if (N < 0 && errno == EINTR)
            continue;
        if (N <= 0)
            return false;
        Done += static_cast<std::size_t>(N);
    }
    return true;
}

}  // namespace

bool MoveToTrash(const std::string& Path, std::string& Error)
{
    std::string Abs = Path;
    if (Abs.empty() || Abs[0] != '/') {
        char* Cwd = ::getcwd(nullptr, 0);
        Abs = std::string(Cwd ? Cwd : "") + "/" + Path;
        std::free(Cwd);
    }
    struct stat St {};
    if (::lstat(Abs.c_str(), &St) != 0) {
        Error = "Cannot move \"" + Path + "\" to the trash: " + std::strerror(errno) + ".";
        return false;
    }
    const std::string Trash = HomeTrashFolder();
    if (!MakeFolders(Trash + "/files") || !MakeFolders(Trash + "/info")) {
        Error = "Cannot make the trash folder \"" + Trash + "\": " + std::strerror(errno) + ".";
        return false;
    }
    const TShellFolder Item(Abs);
    const std::string Base = Item.DisplayName();
    const std::size_t Dot = Base.rfind('.');
    const bool HasExt = Dot != std::string::npos && Dot != 0;
    const std::string Stem = HasExt ? Base.substr(0, Dot) : Base;
    const std::string Ext = HasExt ? Base.substr(Dot) : std::string();

    std::time_t Now = std::time(nullptr);
    std::tm Tm {};
    ::localtime_r(&Now, &Tm);
    char Date[32];
    std::strftime(Date, sizeof Date, "%Y-%m-%dT%H:%M:%S", &Tm);
    const std::string Info = "[Trash Info]\nPath=" + EscapeTrashPath(Abs) + "\nDeletionDate=" + Date + "\n";

    // The record's name adds ".trashinfo" to the file's: a name near the limit is
    // shortened to leave room (the record keeps the whole original path).
    constexpr std::size_t InfoExt = std::string_view(".trashinfo").size();
    const std::size_t Limit = FileNameLimit(Trash + "/info");
    const std::size_t Room = Limit > InfoExt ? Limit - InfoExt : 0;
    for (int N = 1; N < 10000; ++N) {
        const std::string Number = N == 1 ? std::string() : "." + std::to_string(N);
        std::string Name = Stem + Number + Ext;
        if (Name.size() > Room)
            Name = Number.size() + Ext.size() < Room ? CutFileName(Stem, Room - Number.size() - Ext.size()) + Number + Ext
                                                      : CutFileName(Base, Room - Number.size()) + Number;
        const std::string InfoName = Trash + "/info/" + Name + ".trashinfo";
        const std::string FileName = Trash + "/files/" + Name;
        // The info file claims the name: made exclusively, it cannot clash with
        // another program trashing at the same moment.
        const int Fd = ::open(InfoName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (Fd < 0) {
            if (errno == EEXIST)
                continue;
            Error = "Cannot write the trash record \"" + InfoName + "\": " + std::strerror(errno) + ".";
            return false;
        }
        const bool Written = WriteAll(Fd, Info) && ::fsync(Fd) == 0;
        const int WriteErr = errno;
        ::close(Fd);
        if (!Written) {
            ::unlink(InfoName.c_str());
            Error = "Cannot write the trash record \"" + InfoName + "\": " + std::strerror(WriteErr) + ".";
            return false;
        }
        if (!RenameNoReplace(Abs, FileName)) {
            const int Err = errno;
            ::unlink(InfoName.c_str());
            if (Err == EEXIST)
                continue;  // a file of that name in the trash without its record
            Error = Err == EXDEV ? "Cannot move \"" + Path + "\" to the trash: it lies on another file system. "
                                   "It was not deleted."
                                 : "Cannot move \"" + Path + "\" to the trash: " + std::strerror(Err) + ".";
            return false;
        }
        return true;
    }
    Error = "Cannot move \"" + Path + "\" to the trash: no free name in the trash.";
    return false;
}

}  // namespace narvo
