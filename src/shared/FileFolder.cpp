// Folder and file-date routines (see FileFolder.h), through std::filesystem.
#include "shared/FileFolder.h"

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace narvo {

namespace fs = std::filesystem;

void ChDirToFileFolder(std::string_view FileName)
{
    const std::size_t Slash = FileName.rfind('/');
    if (Slash == std::string_view::npos)
        return;
    const fs::path Folder = Slash == 0 ? fs::path("/") : fs::path(FileName.substr(0, Slash));
    std::error_code Error;
    fs::current_path(Folder, Error);
}

std::string GetCurrentFolder()
{
    std::error_code Error;
    const fs::path Current = fs::current_path(Error);
    return Error ? std::string() : Current.string();
}

std::int64_t GetFileDateTime(const std::string& FileName)
{
    std::error_code Error;
    const fs::file_time_type Time = fs::last_write_time(FileName, Error);
    if (Error)
        throw std::runtime_error("Cannot read the date of \"" + FileName + "\": " + Error.message());
    const auto System = std::chrono::file_clock::to_sys(Time);
    return std::chrono::duration_cast<std::chrono::seconds>(System.time_since_epoch()).count();
}

}  // namespace narvo
