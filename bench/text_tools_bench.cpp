// The tool windows that walk the whole text, driven as the user drives them in the
// real main window (offscreen) on a C-like source of 1 and 10 MB: "Find Matching"
// of the Match Pairs window with the "{ }" pair on the text enclosed in braces (the
// cursor at the start, the match is the last character), and "Analyze File" of the
// File Details window. Each figure runs from the click to the end of the repaint
// and status the tool leaves.
#include "app/MainWindow.h"
#include "editor/ScrollEditor.h"
#include "tools/FileDetails.h"
#include "tools/MatchPairs.h"

#include "BenchSupport.h"
#include "QtBenchSupport.h"

#include <QApplication>
#include <QLabel>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

using namespace narvo;

// Records of four lines of code in one pair of braces, up to about Bytes.
std::string MakeEnclosedSource(std::size_t Bytes)
{
    std::string S = "{\n";
    S.reserve(Bytes + 256);
    for (int I = 0; S.size() + 256 < Bytes; ++I) {
        const std::string N = std::to_string(I);
        S += "    int count_" + N + " = compute_value(" + N + ", offset + " + N + "); // total\n";
        S += "    if (count_" + N + " > limit) { limit = count_" + N + "; report(limit); }\n";
        S += "    std::vector<int> values_" + N + "(count_" + N + ", 0); // next pass\n";
        S += "    for (int k = 0; k < count_" + N + "; ++k) { total += w[k] * f; }\n";
    }
    S += "}";
    return S;
}

// The program's window, shown offscreen with the text loaded, for one benchmark.
struct TWindow {
    TWindow(std::size_t Bytes)
    {
        if (bench::EnsureApplication("narvo_bench_text_tools"))
            InstallProgramModules();
        Form = std::make_unique<TForm1>();
        Form->resize(1000, 700);
        Form->show();
        Form->MainEditor->SetText(MakeEnclosedSource(Bytes));
        QApplication::processEvents();
    }

    bench::TSettingsFolder Settings;
    std::unique_ptr<TForm1> Form;
};

void BM_MatchPairsMainWindow(benchmark::State& State)
{
    TWindow W(static_cast<std::size_t>(State.range(0)) << 20);
    TScrollEditor& Main = *W.Form->MainEditor;
    ShowMatchPairsDlg();
    TMatchPairsDlg& D = MatchPairsDlg();
    D.PairsComboChange(1);
    const std::int64_t LastLine = Main.Strings->Count() - 1;
    bench::ResetPeakRss();
    for (auto _ : State) {
        State.PauseTiming();
        Main.ClearMark();
        Main.Cursor->SetPos(TPoint{0, 0});
        QApplication::processEvents();
        State.ResumeTiming();
        D.MatchBtnClick();
        QApplication::processEvents();
    }
    if (D.StatusDis->text() != "Match Found" || Main.Cursor->Pos() != TPoint{1, LastLine})
        throw std::runtime_error("the match was not the last brace: " + D.StatusDis->text().toStdString());
    State.counters["max_depth"] = D.MaxDepth;
    State.counters["peak_MB"] = static_cast<double>(bench::ReadStatusKb("VmHWM:")) / 1024.0;
    D.close();
}
BENCHMARK(BM_MatchPairsMainWindow)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_FileDetailsMainWindow(benchmark::State& State)
{
    TWindow W(static_cast<std::size_t>(State.range(0)) << 20);
    ShowDetailsDlg();
    TDetailsDlg& D = DetailsDlg();
    D.PageControl->setCurrentIndex(2);
    bench::ResetPeakRss();
    bool Complete = false;
    for (auto _ : State) {
        State.PauseTiming();
        QApplication::processEvents();
        State.ResumeTiming();
        Complete = D.AnalyzeText(false);
        QApplication::processEvents();
    }
    if (!Complete || D.Counts.Lines != W.Form->MainEditor->Strings->Count())
        throw std::runtime_error("the analysis did not count every line");
    State.counters["lines"] = static_cast<double>(D.Counts.Lines);
    State.counters["peak_MB"] = static_cast<double>(bench::ReadStatusKb("VmHWM:")) / 1024.0;
    D.close();
}
BENCHMARK(BM_FileDetailsMainWindow)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
