// The lists the settings file keeps in sections of their own, as "Count" and numbered
// keys (the recent files, the user tools, the favourites), and the names a line of the
// file cannot hold (the folders among the editor settings too). One rule for each, so
// that what holds for one list holds for all of them.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace narvo {

class TIniFile;

// How many entries a list section holds, whose entry I has the keys EntryKeys each
// followed by I ("Title0", "Path0"...): its "Count", at least 0, and at most the number
// of the section's other keys and one more than the highest entry that has a key. So
// a damaged count makes neither a huge list nor empty entries past the last one;
// an entry with some of its keys, or with empty values, stays.
std::int32_t ReadListCount(const TIniFile& Ini, std::string_view Section,
                           std::initializer_list<std::string_view> EntryKeys);
// A list of one key per entry, Prefix0, Prefix1 ... up to ReadListCount; a missing key
// reads as an empty entry.
std::vector<std::string> ReadIniList(const TIniFile& Ini, std::string_view Section, std::string_view Prefix);

// A name that a settings file cannot keep (it holds a line break), as the user is told
// of it: `Label: "Name"`, or `"Name"` without a label.
struct TNotStored {
    std::string Label;
    std::string Name;
    bool operator==(const TNotStored&) const = default;
};
// Whether Name can be kept in a settings file.
bool CanStoreName(std::string_view Name);
// Takes the names a settings file cannot keep out of Names, so that the rest is
// written whole; returns them, each once, in their order.
std::vector<TNotStored> LeaveOutUnstorable(std::vector<std::string>& Names);
// Says in one warning box that Names are not kept in What ("the recent files"), since
// File cannot hold a name with a line break. Nothing for no names.
void SayNotStored(const std::vector<TNotStored>& Names, const std::string& What, const std::string& File);

}  // namespace narvo
