// Benchmarks of the text model on generated texts: loading 100 MB of 50-byte lines
// (time and peak memory), deleting and inserting hundreds of thousands of lines with
// their undo, searching 100 MB for an absent word both ways, and the cursor offset
// at the end of a million lines.
#include "engine/EditorEngine.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

namespace narvo {
namespace {

constexpr std::size_t TextBytes = 100'000'000;
constexpr std::size_t LineBytes = 50;  // 49 characters and LF

// Lines of lower-case words; the letter z never occurs.
std::string MakeText(std::size_t Bytes, std::size_t LineLength = LineBytes)
{
    return bench::MakeWordText(Bytes, LineLength, "\n", 25);
}
using bench::ReadStatusKb;
using bench::ResetPeakRss;

void BM_LoadPeakMemory(benchmark::State& State)
{
    for (auto _ : State) {
        ResetPeakRss();
        const long Before = ReadStatusKb("VmRSS:");
        long Peak = 0;
        {
            std::string Text = MakeText(TextBytes);
            auto B = std::make_unique<TEditBuffer>();
            B->SetTextStr(Text);
            Peak = ReadStatusKb("VmHWM:");
            benchmark::DoNotOptimize(B->Count());
        }
        State.counters["BaseMB"] = static_cast<double>(Before) / 1024.0;
        State.counters["PeakMB"] = static_cast<double>(Peak) / 1024.0;
        State.counters["PeakPerText"] = static_cast<double>(Peak) * 1024.0 / TextBytes;
        State.counters["AddedPerText"] = static_cast<double>(Peak - Before) * 1024.0 / TextBytes;
    }
}
BENCHMARK(BM_LoadPeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_SetTextStr100MB(benchmark::State& State)
{
    const std::string Text = MakeText(TextBytes);
    for (auto _ : State) {
        auto B = std::make_unique<TEditBuffer>();
        B->SetTextStr(Text);
        State.PauseTiming();
        B.reset();
        State.ResumeTiming();
    }
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * Text.size()));
}
BENCHMARK(BM_SetTextStr100MB)->Iterations(3)->Unit(benchmark::kMillisecond);

// One million lines in a fresh editor.
std::unique_ptr<TEditorEngine> MillionLines()
{
    static const std::string Text = MakeText(1'000'000 * 40, 40);
    auto E = std::make_unique<TEditorEngine>();
    E->Strings->SetTextStr(Text);
    return E;
}

void BM_DeleteHalfOfAMillionLines(benchmark::State& State)
{
    for (auto _ : State) {
        State.PauseTiming();
        auto E = MillionLines();
        State.ResumeTiming();
        E->DeleteLines(250'000, 749'999);
        benchmark::DoNotOptimize(E->Strings->Count());
        State.PauseTiming();
        E.reset();
        State.ResumeTiming();
    }
}
BENCHMARK(BM_DeleteHalfOfAMillionLines)->Iterations(5)->Unit(benchmark::kMillisecond);

// Times Change (one recorded command on a fresh million-line text), its undo and its
// redo, each averaged over the iterations into the counters <Name>Ms, UndoMs, RedoMs.
template <class FPrepare, class FChange>
void TimeChangeUndoRedo(benchmark::State& State, const char* Name, FPrepare Prepare, FChange Change)
{
    double Done = 0, Undo = 0, Redo = 0;
    for (auto _ : State) {
        State.PauseTiming();
        auto E = MillionLines();
        Prepare(*E);
        State.ResumeTiming();
        auto T0 = std::chrono::steady_clock::now();
        Change(*E);
        auto T1 = std::chrono::steady_clock::now();
        E->Undo();
        auto T2 = std::chrono::steady_clock::now();
        E->Redo();
        auto T3 = std::chrono::steady_clock::now();
        Done += std::chrono::duration<double, std::milli>(T1 - T0).count();
        Undo += std::chrono::duration<double, std::milli>(T2 - T1).count();
        Redo += std::chrono::duration<double, std::milli>(T3 - T2).count();
        benchmark::DoNotOptimize(E->Strings->Count());
        State.PauseTiming();
        E.reset();
        State.ResumeTiming();
    }
    const auto N = static_cast<double>(State.iterations());
    State.counters[std::string(Name) + "Ms"] = Done / N;
    State.counters["UndoMs"] = Undo / N;
    State.counters["RedoMs"] = Redo / N;
}

// The deletion as an editing command records it (the text as one record), then its
// undo and redo.
void BM_DeleteHalfOfAMillionLinesUndoRedo(benchmark::State& State)
{
    TimeChangeUndoRedo(
        State, "Delete", [](TEditorEngine&) {},
        [](TEditorEngine& E) {
            const TRect R{0, 250'000, 0, 750'000};
            E.Cursor->SetPos(TPoint{0, 750'000});
            E.UndoList->AddItem(ukInsert, E.GetRangeText(R), ufSingle, E.Cursor->Pos());
            E.DeleteRange(R);
        });
}
BENCHMARK(BM_DeleteHalfOfAMillionLinesUndoRedo)->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_Insert200kLinesUndoRedo(benchmark::State& State)
{
    const std::string Block = MakeText(200'000 * 40, 40);
    TimeChangeUndoRedo(
        State, "Insert", [](TEditorEngine& E) { E.Cursor->SetPos(TPoint{5, 500'000}); },
        [&Block](TEditorEngine& E) {
            E.UndoList->AddItem(ukDeleteBack, Block, ufSingle, E.Cursor->Pos());
            E.InsertTextRaw(Block, false);
        });
}
BENCHMARK(BM_Insert200kLinesUndoRedo)->Iterations(5)->Unit(benchmark::kMillisecond);

TEditorEngine& SearchText()
{
    static std::unique_ptr<TEditorEngine> E = [] {
        auto P = std::make_unique<TEditorEngine>();
        P->Strings->SetTextStr(MakeText(TextBytes));
        return P;
    }();
    return *E;
}

// "e" is frequent, "z" never occurs: every "e" is a candidate that fails later.
const std::string Absent = "eqxjzvbw";

void BM_SearchForwardAbsent100MB(benchmark::State& State)
{
    TEditorEngine& E = SearchText();
    E.Searcher->IgnoreCase = State.range(0) != 0;
    for (auto _ : State) {
        TPoint P{0, 0};
        TRect R;
        benchmark::DoNotOptimize(E.Searcher->SearchForward(Absent, P, R));
    }
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * TextBytes));
}
BENCHMARK(BM_SearchForwardAbsent100MB)->Arg(0)->Arg(1)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_SearchBackwardAbsent100MB(benchmark::State& State)
{
    TEditorEngine& E = SearchText();
    E.Searcher->IgnoreCase = State.range(0) != 0;
    const std::int64_t Last = E.Strings->Count() - 1;
    for (auto _ : State) {
        TPoint P{E.Strings->LineLength(Last), Last};
        TRect R;
        benchmark::DoNotOptimize(E.Searcher->SearchBackward(Absent, P, R));
    }
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * TextBytes));
}
BENCHMARK(BM_SearchBackwardAbsent100MB)->Arg(0)->Arg(1)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_PosToOffsetAtEndOfAMillionLines(benchmark::State& State)
{
    auto E = MillionLines();
    const std::int64_t Last = E->Strings->Count() - 1;
    const TPoint End{E->Strings->LineLength(Last), Last};
    for (auto _ : State)
        benchmark::DoNotOptimize(E->PosToOffset(End));
}
BENCHMARK(BM_PosToOffsetAtEndOfAMillionLines)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace narvo
