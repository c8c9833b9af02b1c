// Saving into the settings file as the program does it: open "Narvo.ini", write a
// group of keys, update the file. Once on a small file like a usual one (the
// editor settings written whole), once on a file of about 10 MB (40,000 recent
// files and long command lines) whose command-line section is written anew.
#include "platform/posix/IniFile.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

using narvo::TIniFile;

// A folder of its own holding Narvo.ini, removed at the end.
class TSettingsFile {
public:
    TSettingsFile(int RecentFiles, std::size_t CommandLineBytes)
    {
        char Pattern[] = "/tmp/narvo-bench-XXXXXX";
        Folder_ = ::mkdtemp(Pattern);
        Path_ = Folder_ + "/Narvo.ini";
        std::ofstream Ini(Path_, std::ios::binary);
        Ini << "[Flags]\nWrapFlag=0\nShowToolBar=1\n\n[Screen]\nFontName=FixedSys\nFontSize=9\n\n";
        Ini << "[FileHistory]\nCount=" << RecentFiles << "\n";
        for (int I = 0; I < RecentFiles; ++I)
            Ini << "Path" << I << "=/home/user/projects/some/folder/file" << I << ".txt\n";
        Ini << "\n[CurrentMacros]\n";
        for (int K = 0; K < 32; ++K)
            Ini << "Macro" << K << "=" << std::string(CommandLineBytes / 32, 'A') << "\n";
    }
    ~TSettingsFile()
    {
        std::error_code Ignored;
        std::filesystem::remove_all(Folder_, Ignored);
    }
    const std::string& Path() const { return Path_; }

private:
    std::string Folder_, Path_;
};

void BM_SaveEditorSettingsIntoSmallFile(benchmark::State& State)
{
    const TSettingsFile File(8, 2000);
    int Round = 0;
    for (auto _ : State) {
        TIniFile Ini(File.Path());
        for (int K = 0; K < 60; ++K)
            Ini.WriteInteger(K % 2 ? "Flags" : "Screen", "Key" + std::to_string(K), Round + K);
        Ini.UpdateFile();
        ++Round;
    }
}
BENCHMARK(BM_SaveEditorSettingsIntoSmallFile)->Unit(benchmark::kMicrosecond);

void BM_SaveCommandLinesInto10MBFile(benchmark::State& State)
{
    const TSettingsFile File(40000, 8'000'000);
    int Round = 0;
    for (auto _ : State) {
        TIniFile Ini(File.Path());
        Ini.EraseSection("CurrentMacros");
        for (int K = 0; K < 32; ++K)
            Ini.WriteString("CurrentMacros", "Macro" + std::to_string(K), std::string(250'000, static_cast<char>('A' + Round % 26)));
        Ini.WriteInteger("CurrentMacros", "CurrentInx", Round);
        Ini.UpdateFile();
        ++Round;
    }
}
BENCHMARK(BM_SaveCommandLinesInto10MBFile)->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace
