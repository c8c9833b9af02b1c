// Version strings (see VersionInfo.h).
#include "shared/VersionInfo.h"

#include <charconv>
#include <cstdint>
#include <filesystem>
#include <system_error>

#include "NarvoVersion.h"
#include "shared/StringRoutines.h"

namespace narvo {

namespace {

std::size_t Slot(TVersionType Kind) { return static_cast<std::size_t>(Kind); }

// True when FileName names the running executable (through links and relative
// paths). Where /proc is missing nothing matches, which loads nothing.
bool IsOwnExecutable(const std::string& FileName)
{
    std::error_code Error;
    const auto Own = std::filesystem::canonical("/proc/self/exe", Error);
    if (Error)
        return false;
    const auto Given = std::filesystem::canonical(FileName, Error);
    if (Error)
        return false;
    return Own == Given;
}

int FieldToInt(const std::string& Field)
{
    int Value = 0;
    const char* End = Field.data() + Field.size();
    const auto [Ptr, Error] = std::from_chars(Field.data(), End, Value);
    if (Error != std::errc() || Ptr != End)
        return 0;
    return Value;
}

}  // namespace

TVersionInfo::TVersionInfo() { LoadFromApplication(); }

std::string TVersionInfo::GetVersionString(TVersionType Kind) const { return Strings_[Slot(Kind)]; }

void TVersionInfo::SetVersionString(TVersionType Kind, std::string_view Value) { Strings_[Slot(Kind)] = Value; }

void TVersionInfo::LoadFromApplication()
{
    using enum TVersionType;
    SetVersionString(vtCompanyName, version::CompanyName);
    SetVersionString(vtFileDescription, version::FileDescription);
    SetVersionString(vtFileVersion, version::FileVersion);
    SetVersionString(vtInternalName, version::InternalName);
    SetVersionString(vtLegalCopyright, version::LegalCopyright);
    SetVersionString(vtLegalTradeMark, version::LegalTradeMark);
    SetVersionString(vtOriginalFileName, version::OriginalFileName);
    SetVersionString(vtProductName, version::ProductName);
    SetVersionString(vtProductVersion, version::ProductVersion);
    SetVersionString(vtComments, version::Comments);
}

void TVersionInfo::LoadFromFile(const std::string& FileName)
{
    if (IsOwnExecutable(FileName))
        LoadFromApplication();
}

bool TVersionInfo::GetVersionNumbers(int& V1, int& V2, int& V3, int& V4) const
{
    const std::string Version = FileVersion();
    std::int64_t Pos = 1;
    std::string Field;
    int* Numbers[] = {&V1, &V2, &V3, &V4};
    for (int* Number : Numbers) {
        NextField(Version, '.', Pos, Field);
        *Number = FieldToInt(Field);
    }
    return true;
}

std::string BuildNumberOf(std::string_view FileVersion)
{
    const std::size_t Dot = FileVersion.rfind('.');
    if (Dot == std::string_view::npos)
        return std::string(FileVersion);
    return std::string(FileVersion.substr(Dot + 1));
}

std::string GetBuildNumber()
{
    const TVersionInfo Info;
    return BuildNumberOf(Info.FileVersion());
}

}  // namespace narvo
