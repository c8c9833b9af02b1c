// Painting the editor's view: only the visible slice of the text may cost anything,
// so a view onto one 10 MB line and one onto the end of a 1,000,000-line text must
// each paint well within a frame. Runs on the offscreen platform.
#include "editor/ScrollEditor.h"

#include "QtBenchSupport.h"

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>
#include <memory>
#include <string>
#include <vector>

namespace {

using narvo::TPoint;
using narvo::TScrollEditor;

void EnsureApplication() { narvo::bench::EnsureApplication("narvo_bench_editor_paint"); }

std::unique_ptr<TScrollEditor> MakeEditor(const std::vector<std::string>& Lines)
{
    EnsureApplication();
    auto E = std::make_unique<TScrollEditor>();
    E->resize(1000, 800);
    E->SetStrings(Lines);
    // Shown, so that the client area is laid out at its full size.
    E->show();
    QApplication::processEvents();
    return E;
}

void PaintLoop(benchmark::State& State, TScrollEditor& E)
{
    QImage Image(E.viewport()->size(), QImage::Format_RGB32);
    State.counters["lines"] = static_cast<double>(E.VisibleLines());
    State.counters["columns"] = static_cast<double>(E.VisibleColumns());
    for (auto _ : State) {
        E.viewport()->render(&Image);
        benchmark::ClobberMemory();
    }
}

void BM_PaintTenMegabyteLine(benchmark::State& State)
{
    std::string Line;
    Line.reserve(10'000'000);
    while (Line.size() < 10'000'000)
        Line += "word\tother ";
    auto E = MakeEditor({Line});
    E->SetShowAll(State.range(0) != 0);
    E->Cursor->SetPos(TPoint{5'000'000, 0});
    E->RefreshView(true);
    PaintLoop(State, *E);
}
BENCHMARK(BM_PaintTenMegabyteLine)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_PaintEndOfAMillionLines(benchmark::State& State)
{
    std::vector<std::string> Lines;
    Lines.reserve(1'000'000);
    for (int I = 0; I < 1'000'000; ++I)
        Lines.push_back("\tline " + std::to_string(I) + " of a long text with some words in it");
    auto E = MakeEditor(Lines);
    E->SetLineNumbers(State.range(0) != 0);
    E->Cursor->SetPos(TPoint{0, 999'999});
    E->HighLight->StartPos = TPoint{3, 999'980};
    E->HighLight->EndPos = TPoint{5, 999'990};
    E->RefreshView(true);
    PaintLoop(State, *E);
}
BENCHMARK(BM_PaintEndOfAMillionLines)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
