// Remargining a whole text: Select All, then the highlighted 10 MB of paragraphs
// reflowed to the margins and put back in one pass, as one undo group (the words
// are cut into lines once and the lines go into the text in bulk). Also the
// unwrap of the same text into one line per paragraph.
#include "engine/EditorEngine.h"
#include "language/Margins.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

namespace narvo {
namespace {

constexpr std::size_t TextBytes = 10'000'000;

// Paragraphs of eight lines of words of 1 to 9 letters, blank lines between them.
std::string MakeParagraphs(std::size_t Bytes)
{
    std::string S;
    S.reserve(Bytes + 100);
    std::uint32_t R = 12345;
    auto Next = [&R](std::uint32_t N) {
        R = R * 1103515245u + 12345u;
        return (R >> 16) % N;
    };
    while (S.size() < Bytes) {
        for (int Line = 0; Line < 8; ++Line) {
            std::size_t Length = 0;
            while (Length < 60) {
                const std::uint32_t W = 1 + Next(9);
                for (std::uint32_t I = 0; I < W; ++I)
                    S.push_back(static_cast<char>('a' + Next(26)));
                S.push_back(' ');
                Length += W + 1;
            }
            S.back() = '\n';
        }
        S.push_back('\n');
    }
    return S;
}

void Remargin(benchmark::State& State, std::int64_t Width)
{
    const std::string Text = MakeParagraphs(TextBytes);
    TEditorEngine E;
    for (auto _ : State) {
        State.PauseTiming();
        E.SetText(Text);
        State.ResumeTiming();
        E.SelectAll();
        RemarginParagraph(E, 0, Width, 0);
        benchmark::DoNotOptimize(E.Strings->Count());
    }
    State.counters["lines"] = static_cast<double>(E.Strings->Count());
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * Text.size()));
}

void BM_SelectAllRemargin10MB(benchmark::State& State) { Remargin(State, 72); }
void BM_SelectAllUnwrap10MB(benchmark::State& State) { Remargin(State, UnwrapWidth); }

BENCHMARK(BM_SelectAllRemargin10MB)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SelectAllUnwrap10MB)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace narvo
