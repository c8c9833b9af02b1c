// The text model on a large file of words (100 MB, about 2.7 million lines of 3 to
// 10 words): loading and saving it (time and peak memory against the file), an
// absent word searched both ways with and without case, splitting and joining one
// line in the middle, the offset of the text's end, and the memory once every tenth
// line has been changed.
#include "engine/EditorEngine.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <string>
#include <unistd.h>

namespace narvo {
namespace {

constexpr std::size_t FileBytes = 100'000'000;
using bench::ReadStatusKb;
using bench::ResetPeakRss;

// The 100 MB file of words in a temporary folder, written once and removed at exit.
const std::string& WordFile()
{
    static const std::string& Path = *new std::string([] {
        char Template[] = "/tmp/narvo-large-bench-XXXXXX";
        if (!::mkdtemp(Template))
            std::abort();
        const std::string P = std::string(Template) + "/words.txt";
        std::ofstream(P, std::ios::binary) << bench::MakeWordLines(FileBytes);
        std::atexit([] {
            std::remove(WordFile().c_str());
            std::remove((WordFile() + ".out").c_str());
            ::rmdir(WordFile().substr(0, WordFile().rfind('/')).c_str());
        });
        return P;
    }());
    return Path;
}

void ReportMemory(benchmark::State& State, long BeforeKb, long PeakKb)
{
    State.counters["PeakMB"] = static_cast<double>(PeakKb) / 1024.0;
    State.counters["AddedPerFile"] = static_cast<double>(PeakKb - BeforeKb) * 1024.0 / FileBytes;
}

TEditorEngine& LoadedWords()
{
    static std::unique_ptr<TEditorEngine> E = [] {
        auto P = std::make_unique<TEditorEngine>();
        P->LoadFromFile(WordFile());
        return P;
    }();
    return *E;
}

void BM_WordsLoadFromFile(benchmark::State& State)
{
    const std::string& Path = WordFile();
    long Before = 0, Peak = 0;
    for (auto _ : State) {
        State.PauseTiming();
        auto E = std::make_unique<TEditorEngine>();
        ResetPeakRss();
        Before = ReadStatusKb("VmRSS:");
        State.ResumeTiming();
        E->LoadFromFile(Path);
        State.PauseTiming();
        Peak = ReadStatusKb("VmHWM:");
        State.counters["Lines"] = static_cast<double>(E->Strings->Count());
        E.reset();
        State.ResumeTiming();
    }
    ReportMemory(State, Before, Peak);
}
BENCHMARK(BM_WordsLoadFromFile)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_WordsSaveToFile(benchmark::State& State)
{
    TEditorEngine& E = LoadedWords();
    const std::string Out = WordFile() + ".out";
    long Before = 0, Peak = 0;
    for (auto _ : State) {
        ResetPeakRss();
        Before = ReadStatusKb("VmRSS:");
        E.SaveToFile(Out);
        Peak = ReadStatusKb("VmHWM:");
    }
    ReportMemory(State, Before, Peak);
    E.FileName = WordFile();
}
BENCHMARK(BM_WordsSaveToFile)->Iterations(3)->Unit(benchmark::kMillisecond);

// Arg 0: forward (0) or backward (1); arg 1: ignore case.
void BM_WordsSearchAbsent(benchmark::State& State)
{
    TEditorEngine& E = LoadedWords();
    const bool Backward = State.range(0) != 0;
    E.Searcher->IgnoreCase = State.range(1) != 0;
    const std::int64_t Last = E.Strings->Count() - 1;
    for (auto _ : State) {
        TRect R;
        if (Backward) {
            TPoint P{E.Strings->LineLength(Last), Last};
            if (E.Searcher->SearchBackward("ezqxy", P, R))
                State.SkipWithError("found an absent word");
        } else {
            TPoint P{0, 0};
            if (E.Searcher->SearchForward("ezqxy", P, R))
                State.SkipWithError("found an absent word");
        }
    }
    E.Searcher->IgnoreCase = false;
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * FileBytes));
}
BENCHMARK(BM_WordsSearchAbsent)
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

// One line break typed in the middle line and taken away again, both recorded for
// undo as the editing commands do.
void BM_WordsSplitJoinMiddleLine(benchmark::State& State)
{
    TEditorEngine& E = LoadedWords();
    const std::int64_t Middle = E.Strings->Count() / 2;
    const std::int64_t Lines = E.Strings->Count();
    double Split = 0, Join = 0;
    for (auto _ : State) {
        E.Cursor->SetPos(TPoint{2, Middle});
        const auto T0 = std::chrono::steady_clock::now();
        E.InsertText("\r");
        const auto T1 = std::chrono::steady_clock::now();
        E.Backspace();
        const auto T2 = std::chrono::steady_clock::now();
        Split += std::chrono::duration<double, std::micro>(T1 - T0).count();
        Join += std::chrono::duration<double, std::micro>(T2 - T1).count();
    }
    if (E.Strings->Count() != Lines)
        State.SkipWithError("the line count changed");
    const auto N = static_cast<double>(State.iterations());
    State.counters["SplitUs"] = Split / N;
    State.counters["JoinUs"] = Join / N;
    E.UndoList->Clear();
    E.RedoList->Clear();
}
BENCHMARK(BM_WordsSplitJoinMiddleLine)->Iterations(200)->Unit(benchmark::kMicrosecond);

void BM_WordsCursorOffsetAtEnd(benchmark::State& State)
{
    TEditorEngine& E = LoadedWords();
    const std::int64_t Last = E.Strings->Count() - 1;
    E.Cursor->SetPos(TPoint{E.Strings->LineLength(Last), Last});
    for (auto _ : State)
        benchmark::DoNotOptimize(E.CursorOffset());
}
BENCHMARK(BM_WordsCursorOffsetAtEnd)->Unit(benchmark::kMicrosecond);

// Every tenth line gets one more character; the memory the text then holds is
// measured against the file: the heap in use (which freed memory of earlier
// benchmarks cannot hide) and the resident growth.
void BM_WordsEveryTenthLineChanged(benchmark::State& State)
{
    auto HeapBytes = [] {
        const struct mallinfo2 M = ::mallinfo2();
        return static_cast<double>(M.uordblks + M.hblkhd);
    };
    for (auto _ : State) {
        State.PauseTiming();
        const long Before = ReadStatusKb("VmRSS:");
        const double HeapBefore = HeapBytes();
        auto E = std::make_unique<TEditorEngine>();
        E->LoadFromFile(WordFile());
        State.ResumeTiming();
        {
            TEditBuffer& B = *E->Strings;
            TEditBuffer::TUpdate U(B);
            for (std::int64_t Y = 0; Y < B.Count(); Y += 10)
                B.MutableLine(Y).push_back('!');
        }
        State.PauseTiming();
        const long After = ReadStatusKb("VmRSS:");
        State.counters["RssPerFile"] = static_cast<double>(After - Before) * 1024.0 / FileBytes;
        State.counters["HeapPerFile"] = (HeapBytes() - HeapBefore) / FileBytes;
        E.reset();
        State.ResumeTiming();
    }
}
BENCHMARK(BM_WordsEveryTenthLineChanged)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace narvo
