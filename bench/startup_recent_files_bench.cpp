// Start-up with a long recent-files list: the main window created and its first
// activation run (settings, command lines, the list) on a settings folder whose
// Narvo.ini holds 40,000 recent files (every path twice), and the same list
// followed by 10 MB of damaged [FileHistory] lines (stray keys, junk, counts).
// Also the list's own load. Offscreen; the settings folder is a temporary one.
#include "app/Documents.h"
#include "app/MainWindow.h"
#include "components/RecentFiles.h"

#include "QtBenchSupport.h"

#include <QApplication>
#include <QMenu>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

using namespace narvo;

void EnsureApplication()
{
    if (bench::EnsureApplication("narvo_bench_startup_recent_files"))
        InstallProgramModules();
}

// A settings folder of its own holding Narvo.ini with Entries recent files and
// DamagedBytes of junk after them, removed at the end.
class TSettingsFolder {
public:
    TSettingsFolder(int Entries, std::size_t DamagedBytes)
    {
        char Pattern[] = "/tmp/narvo-bench-XXXXXX";
        Folder = mkdtemp(Pattern);
        setenv("NARVO_CONFIG_DIR", Folder.c_str(), 1);
        std::ofstream Ini(Folder + "/Narvo.ini", std::ios::binary);
        Ini << "[FileHistory]\nCount=" << Entries << "\n";
        for (int I = 0; I < Entries; ++I)
            Ini << "Path" << I << "=/home/user/projects/some/folder/file" << I % (Entries / 2 + 1) << ".txt\n";
        std::uint32_t R = 12345;
        std::size_t Written = 0;
        while (Written < DamagedBytes) {
            R = R * 1103515245u + 12345u;
            std::string Line;
            switch ((R >> 16) % 4) {
            case 0: Line = "Path" + std::to_string(R) + "=" + std::string(R % 200, 'x'); break;
            case 1: Line = "garbage line without an equals sign " + std::to_string(R); break;
            case 2: Line = "Count=" + std::to_string(static_cast<std::int32_t>(R)); break;
            default: Line = "=\x01\x02 junk"; break;
            }
            Ini << Line << "\n";
            Written += Line.size() + 1;
        }
    }
    ~TSettingsFolder() { std::system(("rm -rf '" + Folder + "'").c_str()); }

    std::string Folder;
};

void StartUp(benchmark::State& State, std::size_t DamagedBytes)
{
    EnsureApplication();
    const TSettingsFolder Settings(40000, DamagedBytes);
    for (auto _ : State) {
        auto Form = std::make_unique<TForm1>();
        Form->FormActivate();
        benchmark::DoNotOptimize(ReopenMenu().Paths().size());
        State.PauseTiming();
        Form.reset();
        State.ResumeTiming();
    }
}

void BM_StartUpWith40000RecentFiles(benchmark::State& State) { StartUp(State, 0); }
BENCHMARK(BM_StartUpWith40000RecentFiles)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_StartUpWith40000RecentFilesAnd10MBDamaged(benchmark::State& State) { StartUp(State, 10'000'000); }
BENCHMARK(BM_StartUpWith40000RecentFilesAnd10MBDamaged)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_LoadRecentFiles40000(benchmark::State& State)
{
    EnsureApplication();
    const TSettingsFolder Settings(40000, 0);
    QMenu Menu;
    TReopenMenu R;
    R.SetMenuItem(&Menu);
    R.INIFile = "Narvo.ini";
    R.INISection = "FileHistory";
    for (auto _ : State)
        R.LoadFromIni();
    State.counters["Entries"] = static_cast<double>(R.Paths().size());
    State.counters["MenuItems"] = static_cast<double>(Menu.actions().size());
}
BENCHMARK(BM_LoadRecentFiles40000)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
