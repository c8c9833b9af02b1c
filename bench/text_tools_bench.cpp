// The tool windows that walk the whole text, driven as the user drives them in the
// real main window (offscreen) on a C-like source of 1, 10 and 100 MB: "Find
// Matching" of the Match Pairs window with the "{ }" pair on the text enclosed in
// braces (the cursor at the start, the match is the last character), also on a text
// made mostly of braces, "Analyze File" of the File Details window, the spelling walk
// to the end after "Ignore All", and "Insert Line Marks" on the whole text. Each
// figure runs from the click to the end of the repaint and status the tool leaves.
#include "app/MainWindow.h"
#include "app/MainWindowMenus.h"
#include "editor/ScrollEditor.h"
#include "platform/MessageBoxes.h"
#include "tools/FileDetails.h"
#include "tools/MatchPairs.h"
#include "tools/SpellChecker.h"
#include "tools/SpellDialog.h"

#include "BenchSupport.h"
#include "QtBenchSupport.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
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

// "{" and "}" on lines of their own within one pair, up to about Bytes.
std::string MakeBraces(std::size_t Bytes)
{
    std::string S = "{";
    S.reserve(Bytes + 4);
    while (S.size() + 4 < Bytes)
        S += "{}\n";
    return S + "}";
}

// Lines of words that are all in the words of MakeSpellingDictionary, never one word
// twice in a row, after one unknown word at the start.
const char* const SpellingWords[] = {"the", "cat", "sat", "on", "a", "mat", "and", "dog", "ran", "far", "away"};
std::string MakeSpellingText(std::size_t Bytes)
{
    std::string S = "qqzx ";
    S.reserve(Bytes + 64);
    while (S.size() + 64 < Bytes) {
        for (const char* W : SpellingWords) {
            S += W;
            S += ' ';
        }
        S.back() = '\n';
    }
    return S;
}

// The program's window, shown offscreen with the text loaded, for one benchmark.
struct TWindow {
    TWindow(std::size_t Bytes, std::string (*Make)(std::size_t) = MakeEnclosedSource)
    {
        if (bench::EnsureApplication("narvo_bench_text_tools"))
            InstallProgramModules();
        Form = std::make_unique<TForm1>();
        Form->resize(1000, 700);
        Form->show();
        Form->MainEditor->SetText(Make(Bytes));
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
BENCHMARK(BM_MatchPairsMainWindow)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(3);

// Find Matching on a text made mostly of braces: one step per brace.
void BM_MatchPairsBracesMainWindow(benchmark::State& State)
{
    TWindow W(static_cast<std::size_t>(State.range(0)) << 20, MakeBraces);
    TScrollEditor& Main = *W.Form->MainEditor;
    ShowMatchPairsDlg();
    TMatchPairsDlg& D = MatchPairsDlg();
    D.PairsComboChange(1);
    for (auto _ : State) {
        State.PauseTiming();
        Main.ClearMark();
        Main.Cursor->SetPos(TPoint{0, 0});
        QApplication::processEvents();
        State.ResumeTiming();
        D.MatchBtnClick();
        QApplication::processEvents();
    }
    if (D.StatusDis->text() != "Match Found")
        throw std::runtime_error("no match: " + D.StatusDis->text().toStdString());
    D.close();
}
BENCHMARK(BM_MatchPairsBracesMainWindow)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(2);

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
BENCHMARK(BM_FileDetailsMainWindow)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(3);

// "Ignore All" on the unknown word at the start: the walk goes on to the end of the
// text, where "Finished Spell Checking" is answered.
void BM_SpellingIgnoreAllMainWindow(benchmark::State& State)
{
    TWindow W(static_cast<std::size_t>(State.range(0)) << 20, MakeSpellingText);
    TScrollEditor& Main = *W.Form->MainEditor;
    TSpellingDlg* D = SpellingDlg(W.Form.get());
    DictionaryFile = W.Settings.Folder + "/words.dix";
    {
        std::ofstream Out(DictionaryFile);
        for (const char* Word : SpellingWords)
            Out << Word << "\r\n";
    }
    if (!LoadDictionary())
        throw std::runtime_error("no dictionary");
    for (auto _ : State) {
        State.PauseTiming();
        SpellChecker->ClearIgnoreList();
        Main.ClearMark();
        Main.Cursor->SetPos(TPoint{0, 0});
        D->SpellCheckNext();
        if (D->NotFoundEdit->text() != "qqzx")
            throw std::runtime_error("the unknown word was not found first");
        QApplication::processEvents();
        TScriptedMessageBoxes Boxes({mrOk});
        State.ResumeTiming();
        D->IgnoreAllBtnClick();
        QApplication::processEvents();
        State.PauseTiming();
        if (Boxes.Asked.size() != 1 || Boxes.Asked[0].Text != "Finished Spell Checking")
            throw std::runtime_error("the walk did not reach the end");
        State.ResumeTiming();
    }
}
BENCHMARK(BM_SpellingIgnoreAllMainWindow)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(2);

// Format > Line Marks > Insert Line Marks on the whole text highlighted.
void BM_InsertLineMarksMainWindow(benchmark::State& State)
{
    TWindow W(static_cast<std::size_t>(State.range(0)) << 20);
    TScrollEditor& Main = *W.Form->MainEditor;
    const std::int64_t Lines = Main.Strings->Count();
    for (auto _ : State) {
        State.PauseTiming();
        Main.SelectAll();
        QApplication::processEvents();
        State.ResumeTiming();
        W.Form->Menus->InsertMarksMnu->trigger();
        QApplication::processEvents();
        State.PauseTiming();
        if (Main.Strings->Count() != Lines || (*Main.Strings)[0].substr(0, 2) != "> ")
            throw std::runtime_error("the lines were not marked");
        Main.Undo();
        State.ResumeTiming();
    }
}
BENCHMARK(BM_InsertLineMarksMainWindow)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
