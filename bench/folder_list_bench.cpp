// The backup browser's list at the size of a folder that was never tidied: 50,000
// files of a dozen kinds, read once, then sorted by each of the four columns (Name,
// Size, Type, Modified). Offscreen; the folder is a temporary one.
#include "components/FolderList.h"

#include "QtBenchSupport.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

using namespace narvo;

class TBackupFolder {
public:
    explicit TBackupFolder(int Files)
    {
        char Pattern[] = "/tmp/narvo-bench-XXXXXX";
        Path = mkdtemp(Pattern);
        static const char* Kinds[] = {".txt", ".c", ".h", ".cpp", ".py", ".html", ".md", ".ini", ".sh", ".pdf", ".zvt", ""};
        for (int I = 0; I < Files; ++I) {
            const std::string Name = Path + "/NRV" + std::to_string(I * 7919 % Files) + Kinds[I % 12];
            const int Fd = ::open(Name.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (Fd >= 0) {
                if (I % 5 != 0 && ::ftruncate(Fd, I % 997) != 0) {
                }
                ::close(Fd);
            }
        }
    }
    ~TBackupFolder() { std::system(("rm -rf '" + Path + "'").c_str()); }
    std::string Path;
};

void BM_SortByColumn(benchmark::State& State)
{
    bench::EnsureApplication("narvo_bench_folder_list");
    static TBackupFolder Folder(50000);
    TFolderList List;
    List.SetObjectTypes(otNonFolders);
    List.SetSorted(false);
    List.SetRoot(Folder.Path);
    const int Column = static_cast<int>(State.range(0));
    for (auto _ : State) {
        // Each run starts from a list read anew, as the dialog's list after F5.
        State.PauseTiming();
        List.Refresh();
        State.ResumeTiming();
        List.SortByColumn(Column);
    }
    State.counters["rows"] = List.Count();
}
BENCHMARK(BM_SortByColumn)->ArgName("column")->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
