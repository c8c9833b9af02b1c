// Point division, colours, version strings and the folder and file-date routines.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

#include "NarvoVersion.h"
#include "shared/Colour.h"
#include "shared/FileFolder.h"
#include "shared/Geometry.h"
#include "shared/VersionInfo.h"

namespace narvo {
namespace {

namespace fs = std::filesystem;

TEST(Geometry, PointDivRealRoundsHalvesToEven)
{
    struct Case {
        std::int64_t V;
        double D;
        std::int64_t Result;
    };
    const Case Cases[] = {
        {1, 2, 0},   {3, 2, 2},   {5, 2, 2},   {7, 2, 4},  {-1, 2, 0}, {-3, 2, -2},
        {10, 4, 2},  {10, 3, 3},  {11, 3, 4},  {0, 7, 0},  {-7, 2, -4}, {1, 0.25, 4},
    };
    for (const Case& K : Cases) {
        EXPECT_EQ(PointDivReal(Point(K.V, K.V), K.D), Point(K.Result, K.Result)) << K.V << "/" << K.D;
    }
    EXPECT_THROW(PointDivReal(Point(1, 1), 0), std::range_error);
    EXPECT_THROW(PointDivReal(Point(0, 0), 0), std::range_error);
}

TEST(Colour, LuminanceAndContrast)
{
    struct Case {
        TColor Color;
        TColor Contrast;
    };
    const Case Cases[] = {
        {clWhite, clBlack},
        {clBlack, clWhite},
        {RGBColor(128, 128, 128), clBlack},  // 0.502
        {RGBColor(127, 127, 127), clWhite},  // 0.498
        {RGBColor(255, 255, 0), clBlack},    // yellow
        {RGBColor(0, 0, 255), clWhite},      // blue
        {RGBColor(0, 204, 68), clWhite},     // 587 * 204 + 114 * 68 = 127500: exactly one half
    };
    for (const Case& K : Cases)
        EXPECT_EQ(ContrastColor(K.Color), K.Contrast) << std::hex << K.Color;
    EXPECT_EQ(ColorLuminance(RGBColor(0, 204, 68)), 0.5);
}

TEST(Colour, SystemColoursGoThroughTheResolver)
{
    EXPECT_EQ(ContrastColor(clWindow), clBlack);
    const auto Previous = SetSystemColorResolver([](int Index) -> TColor { return Index == 5 ? 0x123456 : 0; });
    EXPECT_EQ(ColorToRGB(clWindow), 0x123456u);
    std::uint8_t R, G, B;
    ColorToRGBBytes(clWindow, R, G, B);
    EXPECT_EQ(R, 0x56);
    EXPECT_EQ(B, 0x12);
    SetSystemColorResolver(Previous);
    EXPECT_EQ(ColorToRGB(clWindow), clWhite);
    EXPECT_EQ(ColorToRGB(SystemColorFlag | 200), clBlack);  // beyond the table
}

TEST(VersionInfo, StringsAndNumbers)
{
    TVersionInfo Info;
    EXPECT_EQ(Info.FileVersion(), version::FileVersion);
    Info.SetVersionString(TVersionType::vtFileVersion, "3.0.0.72");
    int V1 = -1, V2 = -1, V3 = -1, V4 = -1;
    EXPECT_TRUE(Info.GetVersionNumbers(V1, V2, V3, V4));
    EXPECT_EQ(V1 * 1000 + V2 * 100 + V3 * 10, 3000);
    EXPECT_EQ(V4, 72);
    Info.SetVersionString(TVersionType::vtFileVersion, "2.x");
    EXPECT_TRUE(Info.GetVersionNumbers(V1, V2, V3, V4));
    EXPECT_EQ(V1, 2);
    EXPECT_EQ(V2, 0);
    EXPECT_EQ(V4, 0);

    // Another file carries no strings: nothing changes. The test binary is ours.
    Info.LoadFromFile("/bin/sh");
    EXPECT_EQ(Info.FileVersion(), "2.x");
    Info.LoadFromFile("/no/such/file");
    EXPECT_EQ(Info.FileVersion(), "2.x");
    Info.LoadFromFile(fs::read_symlink("/proc/self/exe").string());
    EXPECT_EQ(Info.FileVersion(), version::FileVersion);
}

TEST(VersionInfo, BuildNumber)
{
    EXPECT_EQ(BuildNumberOf("1234"), "1234");
    EXPECT_EQ(BuildNumberOf(""), "");
    EXPECT_EQ(BuildNumberOf("1.2."), "");
    const std::string Version = version::FileVersion;
    EXPECT_EQ(GetBuildNumber(), Version.substr(Version.rfind('.') + 1));
}

class FileFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        Saved_ = fs::current_path();
        Dir_ = fs::temp_directory_path() / ("narvo_shared_test_" + std::to_string(::getpid()));
        fs::create_directories(Dir_ / "sub");
    }
    void TearDown() override
    {
        fs::current_path(Saved_);
        fs::remove_all(Dir_);
    }
    fs::path Saved_;
    fs::path Dir_;
};

TEST_F(FileFolder, ChDirToFileFolder)
{
    const fs::path Start = fs::current_path();
    ChDirToFileFolder("bare-name.txt");
    EXPECT_EQ(fs::current_path(), Start);
    ChDirToFileFolder((Dir_ / "sub" / "file.txt").string());
    EXPECT_EQ(fs::path(GetCurrentFolder()), fs::canonical(Dir_ / "sub"));
    ChDirToFileFolder((Dir_ / "missing" / "file.txt").string());  // ignored
    EXPECT_EQ(fs::path(GetCurrentFolder()), fs::canonical(Dir_ / "sub"));
    ChDirToFileFolder("/file-in-root");
    EXPECT_EQ(GetCurrentFolder(), "/");
}

TEST_F(FileFolder, GetFileDateTime)
{
    const fs::path File = Dir_ / "dated.txt";
    std::ofstream(File) << "x";
    const auto Now = std::chrono::duration_cast<std::chrono::seconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
    EXPECT_LE(std::llabs(GetFileDateTime(File.string()) - Now), 60);
    try {
        GetFileDateTime((Dir_ / "nope.txt").string());
        FAIL();
    } catch (const std::runtime_error& E) {
        EXPECT_NE(std::string(E.what()).find("nope.txt"), std::string::npos);
    }
}

}  // namespace
}  // namespace narvo
