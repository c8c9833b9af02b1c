// Runs every case folder under tests/app/golden (see the README there) on a
// headless pane with the fake host. GoldenWindowTest.cpp runs the same cases on
// the program's own main window.
#include "language/FakeCommandHost.h"
#include "language/GoldenCases.h"

namespace narvo::test {
namespace {

class THeadlessRig : public TGoldenRig {
public:
    TCommandBench B;
    TFakeCommandHost& H = B.Host;
    std::string Lines;
    bool ShiftAtKey = false;

    THeadlessRig()
    {
        H.Main.SetLines("");
        H.OnKeyWait = [this] {
            Lines += (Lines.empty() ? "" : " ") + std::to_string(B.Store.Current);
            if (ShiftAtKey)
                H.Main.Modifiers.Shift = true;
        };
    }
    TEditorEngine& Main() override { return H.Main; }
    TXRegister& Register() override { return H.Reg; }
    TCommandLineStore& Store() override { return B.Store; }
    void HoldShift() override { H.Main.Modifiers.Shift = true; }
    void HoldShiftFromKeyWait() override { ShiftAtKey = true; }
    void SetKeys(const std::string& Keys) override { H.Keys.assign(Keys.begin(), Keys.end()); }
    void SetWords(const std::set<std::string>& Words, bool HaveDictionary) override
    {
        H.Words = Words;
        H.HaveDictionary = HaveDictionary;
    }
    void SetClipboard(const std::string& Text) override { B.Clipboard.Text = Text; }
    std::string Clipboard() override { return B.Clipboard.Text; }
    void Run(const std::string& Line) override { B.Run(Line); }
    std::string Info() override { return H.Info; }
    std::string FindText() override { return H.FindText; }
    std::string ReplaceText() override { return H.ReplaceText; }
    std::string CmdEditor() override { return H.CmdEditor; }
    int Calls(const std::string& Name) override
    {
        const std::map<std::string, int> Calls = {
            {"help", H.HelpShown}, {"print", H.Printed},   {"remargin", H.Remargins}, {"center", H.Centered},
            {"formfeed", H.FormFeedDeletes}, {"save", H.Saves}, {"showall", H.ShowAllToggles}, {"quit", H.Quits},
            {"exit", H.Exits},     {"append", H.Appends},  {"open", H.Opens},         {"scoop", H.ScoopState},
            {"box", H.BoxSteps}};
        return Calls.at(Name);
    }
    std::string KeyWaitLines() override { return Lines; }
};

class Golden : public ::testing::TestWithParam<std::string> {};

TEST_P(Golden, Case)
{
    THeadlessRig R;
    RunGoldenCase(R, GoldenDir() / GetParam());
}

INSTANTIATE_TEST_SUITE_P(Commands, Golden, ::testing::ValuesIn(GoldenCaseNames()), GoldenTestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(Golden);

}  // namespace
}  // namespace narvo::test
