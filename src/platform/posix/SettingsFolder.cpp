// The settings folder and the case-insensitive lookup of bare file names in it.
#include "platform/posix/SettingsFolder.h"

#include "platform/posix/SafeFile.h"
#include "shared/CharClass.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace narvo {

namespace {

std::string EnvValue(const char* Name)
{
    const char* Value = std::getenv(Name);
    return Value ? std::string(Value) : std::string();
}

std::string HomeFolder()
{
    std::string Home = EnvValue("HOME");
    if (Home.empty()) {
        if (const passwd* Entry = ::getpwuid(::geteuid()))
            Home = Entry->pw_dir ? Entry->pw_dir : "";
    }
    return Home.empty() ? std::string("/tmp") : Home;
}

std::string WithoutTrailingSlash(std::string Path)
{
    while (Path.size() > 1 && Path.back() == '/')
        Path.pop_back();
    return Path;
}

bool SameNoCase(const std::string& A, const std::string& B)
{
    if (A.size() != B.size())
        return false;
    for (std::size_t I = 0; I < A.size(); ++I)
        if (LowCaseChar(static_cast<unsigned char>(A[I])) != LowCaseChar(static_cast<unsigned char>(B[I])))
            return false;
    return true;
}

}  // namespace

std::string SettingsFolder()
{
    const std::string Own = EnvValue("NARVO_CONFIG_DIR");
    if (!Own.empty())
        return WithoutTrailingSlash(Own);
    // The XDG rules ignore a relative value.
    const std::string Xdg = EnvValue("XDG_CONFIG_HOME");
    if (!Xdg.empty() && Xdg[0] == '/')
        return WithoutTrailingSlash(Xdg) + "/narvo";
    return WithoutTrailingSlash(HomeFolder()) + "/.config/narvo";
}

void EnsureSettingsFolder()
{
    const std::string Folder = SettingsFolder();
    // Every level from the top, so that a missing ~/.config is made too.
    for (std::size_t Pos = 1; Pos <= Folder.size(); ++Pos) {
        if (Pos != Folder.size() && Folder[Pos] != '/')
            continue;
        const std::string Level = Folder.substr(0, Pos);
        if (::mkdir(Level.c_str(), 0700) != 0 && errno != EEXIST)
            throw EFileError(FileErrorText("Cannot create the settings folder", Level, errno));
    }
    struct stat St;
    if (::stat(Folder.c_str(), &St) != 0 || !S_ISDIR(St.st_mode))
        throw EFileError(FileErrorText("Cannot create the settings folder", Folder, ENOTDIR));
}

std::string SettingsFilePath(const std::string& Name)
{
    if (Name.find('/') != std::string::npos)
        return Name;
    const std::string Folder = SettingsFolder();
    std::string Found;
    if (DIR* Dir = ::opendir(Folder.c_str())) {
        while (const dirent* Entry = ::readdir(Dir)) {
            const std::string Candidate = Entry->d_name;
            if (Candidate == Name) {
                Found = Candidate;
                break;
            }
            // Of several case variants the smallest name wins, whatever the order
            // the folder lists them in.
            if (SameNoCase(Candidate, Name) && (Found.empty() || Candidate < Found))
                Found = Candidate;
        }
        ::closedir(Dir);
    }
    return Folder + "/" + (Found.empty() ? Name : Found);
}

}  // namespace narvo
