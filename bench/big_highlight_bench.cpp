// The operations on a whole highlighted text of 10 and 100 MB of source-like lines
// (indents, mixed case, punctuation; about 2.4 million lines at 100 MB): Tools >
// Sort Highlighted, Copy as HTML onto the desktop clipboard (offscreen) and the
// print preview's preparation (the pages counted and listed, the first drawn).
// Each reports its peak resident memory. `LC_ALL=C sort` on the same lines is
// timed beside them as the yardstick.
#include "app/MainWindowMenus.h"
#include "editor/EditorClipboard.h"
#include "engine/EditorEngine.h"
#include "tools/PPMain.h"

#include "BenchSupport.h"
#include "QtBenchSupport.h"

#include <QFontDatabase>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

namespace narvo {
namespace {

// Word lines made to look like source: an indent, a capital here and there,
// brackets and a semicolon, CR LF line ends.
std::string MakeSourceLines(std::size_t Bytes)
{
    const std::string Words = bench::MakeWordLines(Bytes * 10 / 11);
    std::string S;
    S.reserve(Bytes + Bytes / 8);
    std::size_t N = 0;
    for (std::size_t Start = 0; Start < Words.size(); ++N) {
        const std::size_t End = Words.find('\n', Start);
        std::string Line = Words.substr(Start, End - Start);
        Start = End + 1;
        if (N % 3 == 0)
            Line[0] = static_cast<char>(Line[0] - 'a' + 'A');
        if (N % 4 == 1)
            Line = "(" + Line + ");";
        S.append(N % 5 * 2, ' ');
        S += Line;
        S += "\r\n";
    }
    return S;
}

const std::string& Source(std::int64_t Megabytes)
{
    static std::string Ten, Hundred;
    std::string& S = Megabytes == 10 ? Ten : Hundred;
    if (S.empty())
        S = MakeSourceLines(static_cast<std::size_t>(Megabytes) * 1'000'000);
    return S;
}

void Report(benchmark::State& State, long BeforeKb)
{
    State.counters["PeakMB"] = static_cast<double>(bench::ReadStatusKb("VmHWM:")) / 1024.0;
    State.counters["AddedMB"] = static_cast<double>(bench::ReadStatusKb("VmHWM:") - BeforeKb) / 1024.0;
}

// A pane holding the text, all of it highlighted.
std::unique_ptr<TEditorEngine> Highlighted(const std::string& Text)
{
    auto E = std::make_unique<TEditorEngine>();
    E->SetText(Text);
    E->SelectAll();
    return E;
}

void BM_SortHighlighted(benchmark::State& State)
{
    const std::string& Text = Source(State.range(0));
    long Before = 0;
    for (auto _ : State) {
        State.PauseTiming();
        auto E = Highlighted(Text);
        bench::ResetPeakRss();
        Before = bench::ReadStatusKb("VmRSS:");
        State.ResumeTiming();
        SortHighlighted(*E);
        State.PauseTiming();
        Report(State, Before);
        if (E->Strings->TextLength(2) != static_cast<std::int64_t>(Text.size()))
            State.SkipWithError("the sort lost text");
        E.reset();
        State.ResumeTiming();
    }
}
BENCHMARK(BM_SortHighlighted)->Arg(10)->Arg(100)->Iterations(1)->Unit(benchmark::kMillisecond);

// Times Step at each iteration and reports the peak memory of the last.
template <class F>
void TimeWithPeak(benchmark::State& State, F&& Step)
{
    for (auto _ : State) {
        State.PauseTiming();
        bench::ResetPeakRss();
        const long Before = bench::ReadStatusKb("VmRSS:");
        State.ResumeTiming();
        Step();
        State.PauseTiming();
        Report(State, Before);
        State.ResumeTiming();
    }
}

void BM_CopyAsHtml(benchmark::State& State)
{
    bench::EnsureApplication("narvo_bench_big_highlight");
    InstallPlatformClipboard();
    auto E = Highlighted(Source(State.range(0)));
    TimeWithPeak(State, [&] { E->CopyMarkHtml(); });
}
BENCHMARK(BM_CopyAsHtml)->Arg(10)->Arg(100)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_PrintPreviewPrepare(benchmark::State& State)
{
    bench::EnsureApplication("narvo_bench_big_highlight");
    const std::string& Text = Source(State.range(0));
    CreatePreForm(nullptr);
    const QFont Font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    TimeWithPeak(State, [&] { PreForm()->Prepare(Font, Text, TPrintMarginValues{}); });
    State.counters["Pages"] = static_cast<double>(PreForm()->TextParser->PageCount());
}
BENCHMARK(BM_PrintPreviewPrepare)->Arg(10)->Arg(100)->Iterations(1)->Unit(benchmark::kMillisecond);

// The yardstick: the system's sort on the same lines in byte order.
void BM_SystemSortSameLines(benchmark::State& State)
{
    const std::string& Text = Source(State.range(0));
    char Folder[] = "/tmp/narvo-sort-bench-XXXXXX";
    if (!::mkdtemp(Folder)) {
        State.SkipWithError("no folder");
        return;
    }
    const std::string Path = std::string(Folder) + "/lines.txt";
    std::ofstream(Path, std::ios::binary) << Text;
    const std::string Command = "LC_ALL=C sort '" + Path + "' > /dev/null";
    for (auto _ : State)
        if (std::system(Command.c_str()) != 0)
            State.SkipWithError("sort failed");
    std::remove(Path.c_str());
    ::rmdir(Folder);
}
BENCHMARK(BM_SystemSortSameLines)->Arg(10)->Arg(100)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace narvo
