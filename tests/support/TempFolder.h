// A fresh folder for one test, removed with everything in it afterwards, and small
// file helpers the file tests share.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#include <algorithm>

namespace narvo::test {

class TTempFolder {
public:
    TTempFolder()
    {
        std::string Pattern = (std::filesystem::temp_directory_path() / "narvo-test-XXXXXX").string();
        if (!::mkdtemp(Pattern.data()))
            std::abort();
        Path_ = Pattern;
    }
    ~TTempFolder()
    {
        std::error_code Ignored;
        std::filesystem::permissions(Path_, std::filesystem::perms::owner_all, Ignored);
        std::filesystem::remove_all(Path_, Ignored);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const std::string& Path() const { return Path_; }
    std::string operator/(const std::string& Name) const { return Path_ + "/" + Name; }
    // The names in the folder, sorted.
    std::string Listing() const
    {
        std::string Result;
        std::vector<std::string> Names;
        for (const auto& E : std::filesystem::directory_iterator(Path_))
            Names.push_back(E.path().filename().string());
        std::sort(Names.begin(), Names.end());
        for (const auto& N : Names)
            Result += N + ";";
        return Result;
    }

private:
    std::string Path_;
};

inline void PutFile(const std::string& Path, const std::string& Bytes)
{
    std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
    Out << Bytes;
}

inline std::string GetFile(const std::string& Path)
{
    std::ifstream In(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), {});
}

// The mode bits of every file this process holds open under Folder, named or not:
// what another user could do with a file while it is being written.
inline std::vector<unsigned> OpenFileModesUnder(const std::string& Folder)
{
    std::vector<unsigned> Modes;
    std::error_code Ignored;
    const std::string Real = std::filesystem::canonical(Folder, Ignored).string();
    for (const auto& E : std::filesystem::directory_iterator("/proc/self/fd", Ignored)) {
        const std::string Where = std::filesystem::read_symlink(E.path(), Ignored).string();
        if (Where.rfind(Real + "/", 0) != 0)
            continue;
        struct stat St {};
        if (::fstat(std::stoi(E.path().filename().string()), &St) == 0 && S_ISREG(St.st_mode))
            Modes.push_back(St.st_mode & 07777);
    }
    return Modes;
}

// Sets an environment variable for the scope and restores it afterwards.
class TEnvGuard {
public:
    TEnvGuard(const char* Name, const std::string& Value) : Name_(Name)
    {
        if (const char* Old = std::getenv(Name)) {
            Had_ = true;
            Old_ = Old;
        }
        ::setenv(Name, Value.c_str(), 1);
    }
    ~TEnvGuard()
    {
        if (Had_)
            ::setenv(Name_, Old_.c_str(), 1);
        else
            ::unsetenv(Name_);
    }

private:
    const char* Name_;
    bool Had_ = false;
    std::string Old_;
};

}  // namespace narvo::test
