// The current folder and file dates: changing to a file's folder, reading the
// current folder and a file's modification time.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace narvo {

// Changes the current folder to the folder part of FileName (up to its last '/').
// A bare file name changes nothing; a file in the root selects the root. A failure
// is ignored.
void ChDirToFileFolder(std::string_view FileName);
// The current folder; empty when it cannot be read (it was removed).
std::string GetCurrentFolder();
// The last modification time of FileName in seconds since 1970-01-01 UTC. A missing
// or unreadable file throws std::runtime_error naming the file and the reason.
std::int64_t GetFileDateTime(const std::string& FileName);

}  // namespace narvo
