// The command language headless: a loop of one million cursor motions (`#{^A}` on
// a text of a million positions, ended by the text's end), and a loop of 100,000
// `F` replacements over a 6 MB text. Both run through the interpreter as a command
// line does in the program, with a host that has no window.
#include "language/CommandHost.h"
#include "language/CommandLines.h"
#include "language/Interpreter.h"
#include "language/StatusLine.h"
#include "language/TextRegister.h"

#include "EngineCommandHost.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <stdexcept>
#include <string>

namespace {

using namespace narvo;

using TBenchHost = bench::TEngineCommandHost;

// Lines of LineLength characters: 'x' with Needle every Every characters.
std::string MakeText(std::int64_t Lines, int LineLength, const std::string& Needle, int Every)
{
    std::string S;
    S.reserve(static_cast<std::size_t>(Lines * (LineLength + 1)));
    for (std::int64_t Y = 0; Y < Lines; ++Y) {
        std::string L(static_cast<std::size_t>(LineLength), 'x');
        for (int X = 0; Every > 0 && X + static_cast<int>(Needle.size()) <= LineLength; X += Every)
            L.replace(static_cast<std::size_t>(X), Needle.size(), Needle);
        S += L;
        if (Y + 1 < Lines)
            S += '\r';
    }
    return S;
}

void RunLine(TBenchHost& H, TCommandLineStore& Store, TCommandInterpreter& I, const std::string& Line)
{
    H.CmdEditor = Line;
    Store.Current = 0;
    I.RunCommandLine(false);
}

void BM_MillionMotions(benchmark::State& State)
{
    TBenchHost H;
    TCommandLineStore Store;
    TCommandInterpreter I(Store, H);
    // 10,000 lines of 99 characters: 1,000,000 steps from the start to the end.
    H.Pane.Strings->SetTextStr(MakeText(10'000, 99, "", 0));
    for (auto _ : State) {
        State.PauseTiming();
        H.Pane.Cursor->SetPos(TPoint{0, 0});
        H.Pane.UndoList->Clear();
        State.ResumeTiming();
        RunLine(H, Store, I, "#{\x01}");
    }
    if (H.Pane.Cursor->Pos() != TPoint{99, 9'999} || StatusMessage() != "Ok")
        throw std::runtime_error("the loop did not end at the text end");
    State.counters["motions"] = 1'000'000;
}
BENCHMARK(BM_MillionMotions)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_HundredThousandReplacements(benchmark::State& State)
{
    TBenchHost H;
    TCommandLineStore Store;
    TCommandInterpreter I(Store, H);
    // 50,000 lines of 120 characters (6 MB) with 100,000 needles.
    const std::string Text = MakeText(50'000, 120, "needle", 60);
    std::int64_t Replaced = 0;
    for (auto _ : State) {
        State.PauseTiming();
        H.Pane.ResetText();
        H.Pane.Strings->SetTextStr(Text);
        State.ResumeTiming();
        RunLine(H, Store, I, "#{Fneedle\x1bpin\x1b}");
        State.PauseTiming();
        Replaced = 0;
        for (std::int64_t Y = 0; Y < H.Pane.Strings->Count(); ++Y)
            for (std::size_t P = 0; (P = (*H.Pane.Strings)[Y].find("pin", P)) != std::string::npos; ++P)
                ++Replaced;
        State.ResumeTiming();
    }
    if (Replaced != 100'000)
        throw std::runtime_error("wrong number of replacements: " + std::to_string(Replaced));
    State.counters["replacements"] = static_cast<double>(Replaced);
}
BENCHMARK(BM_HundredThousandReplacements)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
