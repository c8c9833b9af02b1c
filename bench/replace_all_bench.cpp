// Replace all by a command line, `#{Fstd::` Esc `xx::` Esc `}`, on a 1 MB C++-like
// source with 4,200 matches: once through the interpreter on a pane without a
// window, and once through the real main window (offscreen) with its status
// polling thread running, started as Esc Esc starts it. The window's figure is the
// engine's plus what the window costs around the run: its yields to the message
// loop every 20 commands, the status bar and the polling thread. The same replace
// all from Edit > Replace... (the dialog's Replace All button), and the dialog's
// Find Next and Replace pressed many times each, in the same window.
#include "app/CommandLanguage.h"
#include "app/FindReplace.h"
#include "app/MainWindow.h"
#include "app/MainWindowHost.h"
#include "app/MainWindowMenus.h"
#include "language/CommandHost.h"
#include "language/CommandLines.h"
#include "language/Interpreter.h"
#include "language/StatusLine.h"
#include "language/TextRegister.h"

#include "EngineCommandHost.h"
#include "QtBenchSupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace {

using namespace narvo;

constexpr int Records = 4'200;
const std::string ReplaceAll = "#{Fstd::\x1bxx::\x1b}";

// Records of four lines of code, one of them starting with "std::" (Dense: two of
// them, 8,400 matches): 1 MB.
std::string MakeSource(bool Dense = false)
{
    std::string S;
    S.reserve(static_cast<std::size_t>(Records) * 256);
    for (int I = 0; I < Records; ++I) {
        const std::string N = std::to_string(I);
        S += "    int count_" + N + " = compute_value(" + N + ", offset + " + N + "); // total\n";
        if (Dense)
            S += "    std::string name_" + N + " = label(count_" + N + "); report(limit);\n";
        else
            S += "    if (count_" + N + " > limit) { limit = count_" + N + "; report(limit); }\n";
        S += "    std::vector<int> values_" + N + "(count_" + N + ", 0); // next pass\n";
        S += "    for (int k = 0; k < count_" + N + "; ++k) total += w[k] * f;\n";
    }
    return S;
}

std::int64_t CountReplaced(const TEditorEngine& Pane)
{
    std::int64_t Found = 0;
    for (std::int64_t Y = 0; Y < Pane.Strings->Count(); ++Y)
        for (std::size_t P = 0; (P = (*Pane.Strings)[Y].find("xx::", P)) != std::string::npos; ++P)
            ++Found;
    return Found;
}

void CheckResult(benchmark::State& State, const TEditorEngine& Pane, int Expected = Records)
{
    const std::int64_t Replaced = CountReplaced(Pane);
    if (Replaced != Expected || StatusMessage() != "Ok")
        throw std::runtime_error("replace all left " + std::to_string(Replaced) + " replacements and \"" +
                                 StatusMessage() + "\"");
    State.counters["replacements"] = static_cast<double>(Replaced);
}

void BM_ReplaceAllEngine(benchmark::State& State)
{
    const std::string Text = MakeSource();
    bench::TEngineCommandHost H;
    TCommandLineStore Store;
    TCommandInterpreter I(Store, H);
    for (auto _ : State) {
        State.PauseTiming();
        H.Pane.ResetText();
        H.Pane.Strings->SetTextStr(Text);
        H.CmdEditor = ReplaceAll;
        State.ResumeTiming();
        I.RunCommandLine(false);
    }
    CheckResult(State, H.Pane);
}
BENCHMARK(BM_ReplaceAllEngine)->Unit(benchmark::kMillisecond)->Iterations(20);

// The program's main window, shown offscreen, in a settings folder of its own.
class TBenchWindow {
public:
    TBenchWindow()
    {
        if (bench::EnsureApplication("narvo_bench_replace_all"))
            InstallProgramModules();
        Form = std::make_unique<TForm1>();
        Form->resize(1000, 700);
        Form->show();
        QApplication::processEvents();
    }
    TScrollEditor& Main() { return *Form->MainEditor; }
    // The text loaded, the cursor at its start and the message loop idle: what the
    // load left is not the run's.
    void Load(const std::string& Text)
    {
        Main().SetText(Text);
        Main().Cursor->SetPos(TPoint{0, 0});
        QApplication::processEvents();
    }
    // Edit > Replace... with the texts typed in.
    TFindReplaceDialog& ReplaceDialog(const char* Find, const char* Replace)
    {
        Form->Menus->ReplaceMnuClick();
        TFindReplaceDialog& D = *Form->Menus->FindDialog();
        D.FindEdit->setText(QString::fromLatin1(Find));
        D.ReplaceEdit->setText(QString::fromLatin1(Replace));
        QApplication::processEvents();
        return D;
    }

    const bench::TSettingsFolder Settings;
    std::unique_ptr<TForm1> Form;
};

void BM_ReplaceAllMainWindow(benchmark::State& State)
{
    TBenchWindow W;
    const std::string Text = MakeSource();
    for (auto _ : State) {
        State.PauseTiming();
        W.Load(Text);
        ProgramHost().SetCmdEditorText(ReplaceAll);
        QApplication::processEvents();
        State.ResumeTiming();
        RunCurrentCommandLine(false);
        // The repaint and the status the run leaves are part of it.
        QApplication::processEvents();
    }
    CheckResult(State, W.Main());
}
BENCHMARK(BM_ReplaceAllMainWindow)->Unit(benchmark::kMillisecond)->Iterations(20);

// Replace All in the Replace dialog, from the click to the window idle again; the
// range is the matches per record (one or two).
void BM_ReplaceAllDialog(benchmark::State& State)
{
    TBenchWindow W;
    const bool Dense = State.range(0) == 2;
    const std::string Text = MakeSource(Dense);
    TFindReplaceDialog& D = W.ReplaceDialog("std::", "xx::");
    for (auto _ : State) {
        State.PauseTiming();
        W.Load(Text);
        State.ResumeTiming();
        D.ReplaceAllBtn->click();
        QApplication::processEvents();
    }
    CheckResult(State, W.Main(), Dense ? 2 * Records : Records);
}
BENCHMARK(BM_ReplaceAllDialog)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(20);

// The dialog's Find Next (range 0) or Replace (range 1) pressed 1,000 times through
// the first quarter of the text; the figure is per press, each costing one search
// and its repaint, however many presses came before.
void BM_DialogPresses(benchmark::State& State)
{
    constexpr int Presses = 1'000;
    TBenchWindow W;
    const std::string Text = MakeSource();
    TFindReplaceDialog& D = W.ReplaceDialog("std::", "xx::");
    QPushButton* Button = State.range(0) == 0 ? D.FindNextBtn : D.ReplaceBtn;
    for (auto _ : State) {
        State.PauseTiming();
        W.Load(Text);
        State.ResumeTiming();
        for (int I = 0; I < Presses; ++I) {
            Button->click();
            QApplication::processEvents();
        }
    }
    if (StatusMessage() != "Ok")
        throw std::runtime_error("the presses ended with \"" + StatusMessage() + "\"");
    State.counters["per_press"] =
        benchmark::Counter(static_cast<double>(Presses) * State.iterations(),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_DialogPresses)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
