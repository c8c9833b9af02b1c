// A change larger than the undo ring, taken back and given again: the command loop
// `#{Fstd::` Esc `xx::` Esc `}` and Replace All (the find dialog's routine, down
// from the start and up from the end) on a generated C-like source of 10 MB (about
// 142,000 `std::`) and 100 MB, each followed by one undo and one redo. The counters give the seconds of the change
// (run_s), of the undo (undo_s) and of the redo (redo_s), and the replacements
// made; every undo is checked to give back the text byte for byte.
#include "app/FindReplace.h"
#include "engine/EditorEngine.h"
#include "language/CommandLines.h"
#include "language/Interpreter.h"

#include "BenchSupport.h"
#include "EngineCommandHost.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <stdexcept>
#include <string>

namespace {

using namespace narvo;

// Records of four lines of code with four `std::` between them, up to Bytes.
std::string MakeSource(std::size_t Bytes)
{
    std::string S;
    S.reserve(Bytes + 256);
    for (int I = 0; S.size() < Bytes; ++I) {
        const std::string N = std::to_string(I);
        S += "    std::vector<int> values_" + N + "(count_" + N + ", 0); // next pass over the table\n";
        S += "    int count_" + N + " = compute_value(" + N + ", offset + " + N + "); // running total\n";
        S += "    std::string name_" + N + " = std::to_string(count_" + N + ") + label;\n";
        S += "    for (int k = 0; k < count_" + N + "; ++k) total += std::max(w[k], factor);\n";
    }
    return S;
}

double Seconds(std::chrono::steady_clock::time_point Since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - Since).count();
}

// Change the pane's text, then undo and redo it, with the three timed.
template <class F>
void ChangeUndoRedo(benchmark::State& State, bench::TEngineCommandHost& H, const std::string& Text, F&& Change)
{
    double Run = 0, Undo = 0, Redo = 0;
    std::int64_t Replaced = 0;
    for (auto _ : State) {
        H.Pane.ResetText();
        H.Pane.Strings->SetTextStr(Text);
        bench::ResetPeakRss();
        auto T = std::chrono::steady_clock::now();
        Replaced = Change();
        Run += Seconds(T);
        T = std::chrono::steady_clock::now();
        H.Pane.Undo();
        Undo += Seconds(T);
        if (H.Pane.Strings->GetTextStr() != Text)
            throw std::runtime_error("undo did not give back the text");
        T = std::chrono::steady_clock::now();
        H.Pane.Redo();
        Redo += Seconds(T);
        if (H.Pane.Status != edDone)
            throw std::runtime_error("nothing to redo");
    }
    const auto N = static_cast<double>(State.iterations());
    State.counters["run_s"] = Run / N;
    State.counters["undo_s"] = Undo / N;
    State.counters["redo_s"] = Redo / N;
    State.counters["replacements"] = static_cast<double>(Replaced);
    State.counters["peak_MB"] = static_cast<double>(bench::ReadStatusKb("VmHWM:")) / 1e3;
}

std::int64_t CountOf(const TEditorEngine& Pane, const std::string& What)
{
    std::int64_t Found = 0;
    for (std::int64_t Y = 0; Y < Pane.Strings->Count(); ++Y)
        for (std::size_t P = 0; (P = (*Pane.Strings)[Y].find(What, P)) != std::string::npos; ++P)
            ++Found;
    return Found;
}

void BM_CommandLoopUndoRedo(benchmark::State& State)
{
    const std::string Text = MakeSource(static_cast<std::size_t>(State.range(0)) << 20);
    bench::TEngineCommandHost H;
    TCommandLineStore Store;
    TCommandInterpreter I(Store, H);
    ChangeUndoRedo(State, H, Text, [&] {
        H.CmdEditor = "#{Fstd::\x1bxx::\x1b}";
        H.Pane.Cursor->SetPos(TPoint{0, 0});
        I.RunCommandLine(false);
        return CountOf(H.Pane, "xx::");
    });
}
BENCHMARK(BM_CommandLoopUndoRedo)->Arg(10)->Arg(100)->Unit(benchmark::kSecond)->Iterations(1);

// Range 1 is the direction: 1 down from the start, 0 up from the end.
void BM_ReplaceAllUndoRedo(benchmark::State& State)
{
    const std::string Text = MakeSource(static_cast<std::size_t>(State.range(0)) << 20);
    bench::TEngineCommandHost H;
    TFindOptions O;
    O.FindText = "std::";
    O.ReplaceText = "xx::";
    O.Down = State.range(1) != 0;
    ChangeUndoRedo(State, H, Text, [&] {
        if (O.Down)
            H.Pane.Cursor->SetPos(TPoint{0, 0});
        else
            H.Pane.GotoBottom();
        return ReplaceAll(H.Pane, O);
    });
}
BENCHMARK(BM_ReplaceAllUndoRedo)
    ->Args({10, 1})
    ->Args({100, 1})
    ->Args({10, 0})
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

}  // namespace
