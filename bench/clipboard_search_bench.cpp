// Searching and pasting large texts: FindNext for a word that is not in a 100 MB
// text, and pasting a 10 MB clipboard text of 200,000 lines as a stream (also with
// a lone LF in every line) and as a column block (through the model with its memory
// clipboard).
#include "engine/ClipboardAccess.h"
#include "engine/EditorEngine.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

namespace {

using namespace narvo;

// Lines of pseudo-random lower-case words, LineLength characters each (before
// the line end).
std::string MakeText(std::int64_t Lines, int LineLength, const char* LineEnd)
{
    std::string S;
    S.reserve(static_cast<std::size_t>(Lines * (LineLength + 2)));
    std::uint32_t Seed = 12345;
    for (std::int64_t Y = 0; Y < Lines; ++Y) {
        for (int X = 0; X < LineLength; ++X) {
            Seed = Seed * 1103515245u + 12345u;
            const std::uint32_t R = (Seed >> 16) % 32;
            S += R < 26 ? static_cast<char>('a' + R) : ' ';
        }
        if (Y + 1 < Lines)
            S += LineEnd;
    }
    return S;
}

class TAltEngine : public TEditorEngine {
public:
    bool Alt = false;
    TShiftState LiveModifiers() const override { return TShiftState{false, false, Alt}; }
};

void BM_FindNextAbsentWord100MB(benchmark::State& State)
{
    TEditorEngine E;
    E.Strings->SetTextStr(MakeText(1'000'000, 100, "\r"));
    for (auto _ : State) {
        E.Cursor->SetPos(TPoint{0, 0});
        benchmark::DoNotOptimize(E.FindNext("zyxwvutsr"));
    }
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations()) * 101'000'000);
}
BENCHMARK(BM_FindNextAbsentWord100MB)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_FindNextAbsentWordIgnoreCase100MB(benchmark::State& State)
{
    TEditorEngine E;
    E.Strings->SetTextStr(MakeText(1'000'000, 100, "\r"));
    E.Searcher->IgnoreCase = true;
    for (auto _ : State) {
        E.Cursor->SetPos(TPoint{0, 0});
        benchmark::DoNotOptimize(E.FindNext("ZYXWVUTSR"));
    }
}
BENCHMARK(BM_FindNextAbsentWordIgnoreCase100MB)->Unit(benchmark::kMillisecond)->Iterations(3);

void PasteBench(benchmark::State& State, bool Column, bool LfInLines = false)
{
    TMemoryClipboard Board;
    TClipboardAccess* Previous = SetClipboardAccess(&Board);
    Board.Text = MakeText(200'000, 48, "\r\n");  // 10 MB with the CR LF line ends
    // A copy of a file of CR LF lines each holding a lone LF of its own.
    if (LfInLines)
        for (std::size_t I = 24; I < Board.Text.size(); I += 50)
            Board.Text[I] = '\n';
    for (auto _ : State) {
        State.PauseTiming();
        TAltEngine E;
        E.Alt = Column;
        State.ResumeTiming();
        E.Paste();
        benchmark::DoNotOptimize(E.Strings->Count());
        State.PauseTiming();
        if (E.Strings->Count() < 200'000)
            State.SkipWithError("lines lost");
        State.ResumeTiming();
    }
    SetClipboardAccess(Previous);
}

void BM_Paste10MB200kLines(benchmark::State& State) { PasteBench(State, false); }
BENCHMARK(BM_Paste10MB200kLines)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Paste10MB200kLinesEachWithAnLf(benchmark::State& State) { PasteBench(State, false, true); }
BENCHMARK(BM_Paste10MB200kLinesEachWithAnLf)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_PasteColumn10MB200kLines(benchmark::State& State) { PasteBench(State, true); }
BENCHMARK(BM_PasteColumn10MB200kLines)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
