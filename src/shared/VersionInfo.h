// The program's version strings for the about box and the build number. They come
// from constants CMake writes into NarvoVersion.h, which stand in for a version
// resource; other files have none, so loading them changes nothing.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace narvo {

enum class TVersionType {
    vtCompanyName,
    vtFileDescription,
    vtFileVersion,
    vtInternalName,
    vtLegalCopyright,
    vtLegalTradeMark,
    vtOriginalFileName,
    vtProductName,
    vtProductVersion,
    vtComments
};

inline constexpr int VersionTypeCount = 10;

class TVersionInfo {
public:
    // Loads the program's own strings.
    TVersionInfo();
    virtual ~TVersionInfo() = default;

    virtual std::string GetVersionString(TVersionType Kind) const;
    // The constants of this build.
    virtual void LoadFromApplication();
    // For the program's own executable the constants of this build; any other file
    // carries no version strings and leaves them as they are.
    virtual void LoadFromFile(const std::string& FileName);
    // Replaces one string (tests, and callers that know better).
    void SetVersionString(TVersionType Kind, std::string_view Value);

    std::string CompanyName() const { return GetVersionString(TVersionType::vtCompanyName); }
    std::string FileDescription() const { return GetVersionString(TVersionType::vtFileDescription); }
    std::string FileVersion() const { return GetVersionString(TVersionType::vtFileVersion); }
    std::string InternalName() const { return GetVersionString(TVersionType::vtInternalName); }
    std::string LegalCopyright() const { return GetVersionString(TVersionType::vtLegalCopyright); }
    std::string LegalTradeMark() const { return GetVersionString(TVersionType::vtLegalTradeMark); }
    std::string OriginalFileName() const { return GetVersionString(TVersionType::vtOriginalFileName); }
    std::string ProductName() const { return GetVersionString(TVersionType::vtProductName); }
    std::string ProductVersion() const { return GetVersionString(TVersionType::vtProductVersion); }
    std::string Comments() const { return GetVersionString(TVersionType::vtComments); }

    // FileVersion split at '.' into four integers, 0 for a missing or non-numeric
    // field. Always true.
    bool GetVersionNumbers(int& V1, int& V2, int& V3, int& V4) const;

private:
    std::array<std::string, VersionTypeCount> Strings_;
};

// The text after the last '.' of FileVersion, the whole text without a '.', empty
// for an empty version.
std::string BuildNumberOf(std::string_view FileVersion);
// The build number of this program.
std::string GetBuildNumber();

}  // namespace narvo
