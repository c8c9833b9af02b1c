// Typing at the end of a 100 MB text of words in the real editor widget (offscreen)
// while a status thread keeps asking for the cursor offset and the text size, as
// the main window's poller does: one character typed and the pane repainted.
#include "app/StatusPoller.h"
#include "editor/ScrollEditor.h"

#include "BenchSupport.h"
#include "QtBenchSupport.h"

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace {

using namespace narvo;

void EnsureApplication() { bench::EnsureApplication("narvo_bench_typing"); }

void BM_TypeAtEndOf100MBWithPoller(benchmark::State& State)
{
    EnsureApplication();
    auto E = std::make_unique<TScrollEditor>();
    E->resize(1000, 800);
    E->SetText(bench::MakeWordLines(100'000'000));
    E->show();
    QApplication::processEvents();
    E->GotoBottom();
    QImage Image(E->viewport()->size(), QImage::Format_RGB32);

    std::atomic<bool> Stop{false};
    std::atomic<std::int64_t> Answers{0}, Busy{0};
    std::thread Poller([&] {
        while (!Stop.load()) {
            const std::int64_t A = E->CursorOffset();
            const std::int64_t S = TStatusPoller::TextSize(*E);
            ++Answers;
            if (A < 0 || S < 0)
                ++Busy;
        }
    });
    for (auto _ : State) {
        E->TypeChar('x');
        E->viewport()->render(&Image);
        benchmark::ClobberMemory();
    }
    Stop = true;
    Poller.join();
    State.counters["PollerAnswers"] = static_cast<double>(Answers.load());
    State.counters["PollerBusy"] = static_cast<double>(Busy.load());
}
BENCHMARK(BM_TypeAtEndOf100MBWithPoller)->Iterations(300)->Unit(benchmark::kMillisecond);

}  // namespace
