// The settings file's lists and the names it cannot hold (see IniLists.h).
#include "components/IniLists.h"

#include "platform/MessageBoxes.h"
#include "platform/posix/IniFile.h"

#include <algorithm>

namespace narvo {

namespace {

bool SameNoCase(std::string_view A, std::string_view B)
{
    const auto Lower = [](char C) { return C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : C; };
    return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [&](char X, char Y) {
               return Lower(X) == Lower(Y);
           });
}

// The entry number of Key when it is one of EntryKeys followed by a number as the
// readers write it (decimal, no leading zero), else -1.
std::int64_t EntryNumber(std::string_view Key, std::initializer_list<std::string_view> EntryKeys)
{
    for (const std::string_view Name : EntryKeys) {
        if (Key.size() <= Name.size() || !SameNoCase(Key.substr(0, Name.size()), Name))
            continue;
        const std::string_view Digits = Key.substr(Name.size());
        if (Digits.size() > 10 || (Digits.size() > 1 && Digits.front() == '0'))
            continue;
        std::int64_t N = 0;
        if (!std::all_of(Digits.begin(), Digits.end(), [&](char C) {
                N = N * 10 + (C - '0');
                return C >= '0' && C <= '9';
            }))
            continue;
        return N;
    }
    return -1;
}

}  // namespace

std::int32_t ReadListCount(const TIniFile& Ini, std::string_view Section,
                           std::initializer_list<std::string_view> EntryKeys)
{
    std::int64_t Others = 0, Last = -1;
    for (const std::string& Key : Ini.ReadSection(Section)) {
        if (SameNoCase(Key, "Count"))
            continue;
        ++Others;
        Last = std::max(Last, EntryNumber(Key, EntryKeys));
    }
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(Ini.ReadInteger(Section, "Count", 0), 0, std::min(Others, Last + 1)));
}

std::vector<std::string> ReadIniList(const TIniFile& Ini, std::string_view Section, std::string_view Prefix)
{
    const std::int32_t Count = ReadListCount(Ini, Section, {Prefix});
    std::vector<std::string> List;
    List.reserve(static_cast<std::size_t>(Count));
    std::string Key(Prefix);
    for (std::int32_t I = 0; I < Count; ++I) {
        Key.resize(Prefix.size());
        Key += std::to_string(I);
        List.push_back(Ini.ReadString(Section, Key, ""));
    }
    return List;
}

bool CanStoreName(std::string_view Name) { return TIniFile::CanStore(Name); }

std::vector<TNotStored> LeaveOutUnstorable(std::vector<std::string>& Names)
{
    std::vector<TNotStored> Out;
    std::erase_if(Names, [&](const std::string& Name) {
        if (CanStoreName(Name))
            return false;
        const TNotStored Said{{}, Name};
        if (std::find(Out.begin(), Out.end(), Said) == Out.end())
            Out.push_back(Said);
        return true;
    });
    return Out;
}

void SayNotStored(const std::vector<TNotStored>& Names, const std::string& What, const std::string& File)
{
    if (Names.empty())
        return;
    const auto Shown = [](const TNotStored& N) { return (N.Label.empty() ? "" : N.Label + ": ") + "\"" + N.Name + "\""; };
    const std::string Why = ": a name holding a line break cannot be stored in " + File;
    if (Names.size() == 1) {
        MessageDlg(Shown(Names.front()) + " is not kept in " + What + Why + ".", mtWarning, mbOK);
        return;
    }
    std::string List;
    for (const TNotStored& N : Names)
        List += "\r\n" + Shown(N);
    MessageDlg("These names are not kept in " + What + Why + ":" + List, mtWarning, mbOK);
}

}  // namespace narvo
