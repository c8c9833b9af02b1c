// Remargining a whole text: Select All, then the highlighted 10 MB of paragraphs
// reflowed to the margins and put back in one pass, as one undo group (the words
// are cut into lines once and the lines go into the text in bulk). Also the
// unwrap of the same text into one line per paragraph, and Ctrl+Break inside one
// huge remargin: `ab ` 20,000 times in one paragraph, margins 65535, `M` run as a
// command line, the break asked for 0.15 s (or later) after the run began; the
// time counted is from that request to the end of the run.
#include "engine/EditorEngine.h"
#include "language/AppState.h"
#include "language/CommandLines.h"
#include "language/Interpreter.h"
#include "language/Margins.h"
#include "language/StatusLine.h"

#include "EngineCommandHost.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <thread>

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

// The program's message loop as far as Ctrl+Break goes: a key pressed meanwhile
// (another thread's request) sets the break flag at the run's next look.
class TBreakHost : public bench::TEngineCommandHost {
public:
    std::atomic<bool> Requested{false};
    void ProcessMessages() override
    {
        if (Requested)
            BreakFlag = true;
    }
    void RemarginParagraph(TEditorEngine& P) override { narvo::RemarginParagraph(P); }
};

// Range(0): milliseconds from the run's start to the request.
void BM_BreakInsideWideRemargin(benchmark::State& State)
{
    using Clock = std::chrono::steady_clock;
    std::string Words;
    for (int I = 0; I < 20'000; ++I)
        Words += "ab ";
    TBreakHost H;
    TCommandLineStore Store;
    TCommandInterpreter I(Store, H);
    for (auto _ : State) {
        H.Pane.ResetText();
        H.Pane.Strings->SetTextStr(Words);
        H.Requested = false;
        H.CmdEditor = "M65535,65535M";
        Store.Current = 0;
        Clock::time_point Asked;
        std::thread Key([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(State.range(0)));
            Asked = Clock::now();
            H.Requested = true;
        });
        I.RunCommandLine(false);
        const Clock::time_point Done = Clock::now();
        Key.join();
        if (StatusMessage() != "Break" || H.Pane.Strings->GetTextStr() != Words)
            throw std::runtime_error("the remargin was not stopped with the text whole");
        State.SetIterationTime(std::chrono::duration<double>(Done - Asked).count());
    }
}
BENCHMARK(BM_BreakInsideWideRemargin)->Arg(150)->Arg(1000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// The same remargin unbroken: 20,000 lines of 65,535 blanks and a word.
void BM_WideRemarginUnbroken(benchmark::State& State)
{
    std::string Words;
    for (int I = 0; I < 20'000; ++I)
        Words += "ab ";
    TBreakHost H;
    TCommandLineStore Store;
    TCommandInterpreter I(Store, H);
    for (auto _ : State) {
        State.PauseTiming();
        H.Pane.ResetText();
        H.Pane.Strings->SetTextStr(Words);
        H.CmdEditor = "M65535,65535M";
        Store.Current = 0;
        State.ResumeTiming();
        I.RunCommandLine(false);
        if (H.Pane.Strings->Count() != 20'000)
            throw std::runtime_error("the remargin did not run");
    }
}
BENCHMARK(BM_WideRemarginUnbroken)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
}  // namespace narvo
