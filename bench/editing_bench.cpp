// Benchmarks of the editing operations and text files on generated texts: loading
// and saving a 100 MB file of a million lines (time and peak memory against the file
// size), inserting 200,000 lines into a million-line text as one command and undoing
// it, and page moves across a 100 MB line.
#include "engine/EditorEngine.h"

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

namespace narvo {
namespace {

constexpr std::size_t FileBytes = 100'000'000;
constexpr std::size_t LineBytes = 100;  // 98 characters and CR LF: a million lines

// Lines of lower-case words ending in CR LF.
std::string MakeText(std::size_t Bytes, std::size_t LineLength)
{
    return bench::MakeWordText(Bytes, LineLength, "\r\n");
}
using bench::ReadStatusKb;
using bench::ResetPeakRss;

// A 100 MB file in a temporary folder, written once and removed at exit (the name
// is never destroyed, so the exit handler can still read it).
const std::string& BigFile()
{
    static const std::string& Path = *new std::string([] {
        char Template[] = "/tmp/narvo-editing-bench-XXXXXX";
        if (!::mkdtemp(Template))
            std::abort();
        const std::string P = std::string(Template) + "/big.txt";
        std::ofstream(P, std::ios::binary) << MakeText(FileBytes, LineBytes);
        std::atexit([] {
            std::remove(BigFile().c_str());
            ::rmdir(BigFile().substr(0, BigFile().rfind('/')).c_str());
        });
        return P;
    }());
    return Path;
}

void ReportPeak(benchmark::State& State, long BeforeKb, long PeakKb)
{
    State.counters["PeakMB"] = static_cast<double>(PeakKb) / 1024.0;
    State.counters["AddedPerFile"] = static_cast<double>(PeakKb - BeforeKb) * 1024.0 / FileBytes;
}

void BM_LoadFile100MB(benchmark::State& State)
{
    const std::string& Path = BigFile();
    long Before = 0, Peak = 0;
    for (auto _ : State) {
        auto E = std::make_unique<TEditorEngine>();
        ResetPeakRss();
        Before = ReadStatusKb("VmRSS:");
        E->LoadFromFile(Path);
        Peak = ReadStatusKb("VmHWM:");
        State.counters["Lines"] = static_cast<double>(E->Strings->Count());
        State.PauseTiming();
        E.reset();
        State.ResumeTiming();
    }
    ReportPeak(State, Before, Peak);
}
BENCHMARK(BM_LoadFile100MB)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_SaveFile100MB(benchmark::State& State)
{
    auto E = std::make_unique<TEditorEngine>();
    E->LoadFromFile(BigFile());
    const std::string Out = BigFile() + ".out";
    long Before = 0, Peak = 0;
    for (auto _ : State) {
        ResetPeakRss();
        Before = ReadStatusKb("VmRSS:");
        E->SaveToFile(Out);
        Peak = ReadStatusKb("VmHWM:");
    }
    // Peak memory while saving, added to the loaded text, against the file.
    ReportPeak(State, Before, Peak);
    std::remove(Out.c_str());
}
BENCHMARK(BM_SaveFile100MB)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_InsertText200kLinesThenUndo(benchmark::State& State)
{
    static const std::string Million = MakeText(1'000'000 * 40, 40);
    const std::string Block = MakeText(200'000 * 40, 40);
    double Insert = 0, Undo = 0;
    for (auto _ : State) {
        State.PauseTiming();
        auto E = std::make_unique<TEditorEngine>();
        E->Strings->SetTextStr(Million);
        E->Cursor->SetPos(TPoint{5, 500'000});
        State.ResumeTiming();
        const auto T0 = std::chrono::steady_clock::now();
        E->InsertText(Block);
        const auto T1 = std::chrono::steady_clock::now();
        E->Undo();
        const auto T2 = std::chrono::steady_clock::now();
        if (E->Strings->Count() != 1'000'001)
            State.SkipWithError("undo did not restore the text");
        Insert += std::chrono::duration<double, std::milli>(T1 - T0).count();
        Undo += std::chrono::duration<double, std::milli>(T2 - T1).count();
        State.PauseTiming();
        E.reset();
        State.ResumeTiming();
    }
    const auto N = static_cast<double>(State.iterations());
    State.counters["InsertMs"] = Insert / N;
    State.counters["UndoMs"] = Undo / N;
}
BENCHMARK(BM_InsertText200kLinesThenUndo)->Iterations(3)->Unit(benchmark::kMillisecond);

// Deleting 200,000 marked lines, then undo and redo; with argument 1 every 1000th of
// them holds a CR as a character, which the undo record must tell from its line ends.
void BM_DeleteMarked200kLinesUndoRedo(benchmark::State& State)
{
    static const std::string Million = MakeText(1'000'000 * 40, 40);
    double Undo = 0, Redo = 0;
    for (auto _ : State) {
        State.PauseTiming();
        auto E = std::make_unique<TEditorEngine>();
        E->Strings->SetTextStr(Million);
        if (State.range(0) == 1)
            for (std::int64_t Y = 400'000; Y < 600'000; Y += 1000)
                E->Strings->SetLine(Y, "a\r\nb");
        E->HighLight->StartPos = TPoint{0, 400'000};
        E->HighLight->EndPos = TPoint{0, 600'000};
        E->DeleteMark();
        State.ResumeTiming();
        const auto T0 = std::chrono::steady_clock::now();
        E->Undo();
        const auto T1 = std::chrono::steady_clock::now();
        E->Redo();
        const auto T2 = std::chrono::steady_clock::now();
        if (E->Strings->Count() != 800'001)
            State.SkipWithError("redo did not delete the lines again");
        Undo += std::chrono::duration<double, std::milli>(T1 - T0).count();
        Redo += std::chrono::duration<double, std::milli>(T2 - T1).count();
        State.PauseTiming();
        E.reset();
        State.ResumeTiming();
    }
    const auto N = static_cast<double>(State.iterations());
    State.counters["UndoMs"] = Undo / N;
    State.counters["RedoMs"] = Redo / N;
}
BENCHMARK(BM_DeleteMarked200kLinesUndoRedo)->Arg(0)->Arg(1)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_PageDownAndUpOver100MBLine(benchmark::State& State)
{
    auto E = std::make_unique<TEditorEngine>();
    E->Strings->SetTextStr(std::string(FileBytes, 'x') + "\r\nlast");
    for (auto _ : State) {
        E->Cursor->SetPos(TPoint{0, 0});
        E->PageDown();
        E->PageUp();
        if (E->Status != edAtStart)
            State.SkipWithError("page moves did not reach the text ends");
    }
}
BENCHMARK(BM_PageDownAndUpOver100MBLine)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace narvo
