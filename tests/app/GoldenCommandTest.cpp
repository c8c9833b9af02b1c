// Runs every case folder under tests/app/golden (see the README there): the start
// text with its cursor and highlight, the command line, the expected text and the
// optional expectations of the message, the value and the rest. Each run is also
// undone once, which must give the start text back (one run, one undo group).
#include "FakeCommandHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace narvo::test {
namespace {

namespace fs = std::filesystem;

fs::path GoldenDir()
{
#ifdef NARVO_GOLDEN_DIR
    if (fs::is_directory(NARVO_GOLDEN_DIR))
        return NARVO_GOLDEN_DIR;
#endif
    const char* Src = std::getenv("NARVO_SOURCE_DIR");
    return fs::path(Src ? Src : ".") / "tests" / "app" / "golden";
}

std::string ReadFile(const fs::path& P)
{
    std::ifstream In(P, std::ios::binary);
    std::stringstream S;
    S << In.rdbuf();
    std::string T = S.str();
    if (!T.empty() && T.back() == '\n')
        T.pop_back();
    return T;
}

// Named characters: <Esc>, <CR>, <LF>, <Tab>, <FF>, <^A>..<^_>, <$hh>.
bool DecodeToken(const std::string& S, std::size_t& I, char& C)
{
    static const std::map<std::string, char> Names = {
        {"<Esc>", 27}, {"<CR>", 13}, {"<LF>", 10}, {"<Tab>", 9}, {"<FF>", 12}, {"<Sp>", ' '}};
    for (const auto& [Name, Ch] : Names)
        if (S.compare(I, Name.size(), Name) == 0) {
            C = Ch;
            I += Name.size();
            return true;
        }
    if (I + 3 < S.size() && S[I] == '<' && S[I + 1] == '^' && S[I + 3] == '>' && S[I + 2] >= '@' && S[I + 2] <= '_') {
        C = static_cast<char>(S[I + 2] - '@');
        I += 4;
        return true;
    }
    if (I + 4 < S.size() && S[I] == '<' && S[I + 1] == '$' && S[I + 4] == '>' && std::isxdigit(static_cast<unsigned char>(S[I + 2])) &&
        std::isxdigit(static_cast<unsigned char>(S[I + 3]))) {
        C = static_cast<char>(std::stoi(S.substr(I + 2, 2), nullptr, 16));
        I += 5;
        return true;
    }
    return false;
}

std::string Decode(const std::string& S)
{
    std::string Out;
    for (std::size_t I = 0; I < S.size();) {
        char C;
        if (DecodeToken(S, I, C))
            Out.push_back(C);
        else
            Out.push_back(S[I++]);
    }
    return Out;
}

// A text with its marks: lines, the cursor and the highlight.
struct TMarkedText {
    std::vector<std::string> Lines{""};
    bool HasCursor = false;
    TPoint Cursor;
    bool HasMark = false;
    TPoint MarkStart, MarkEnd;
};

TMarkedText ParseMarked(const std::string& S)
{
    TMarkedText T;
    auto Here = [&] { return TPoint{static_cast<std::int64_t>(T.Lines.back().size()), static_cast<std::int64_t>(T.Lines.size()) - 1}; };
    for (std::size_t I = 0; I < S.size();) {
        if (S.compare(I, 3, "<|>") == 0) {
            T.HasCursor = true;
            T.Cursor = Here();
            I += 3;
        } else if (S.compare(I, 2, "<[") == 0) {
            T.HasMark = true;
            T.MarkStart = Here();
            I += 2;
        } else if (S.compare(I, 2, "]>") == 0) {
            T.MarkEnd = Here();
            I += 2;
        } else {
            char C;
            if (!DecodeToken(S, I, C))
                C = S[I++];
            if (C == '\n' || C == '\r')
                T.Lines.emplace_back();
            else
                T.Lines.back().push_back(C);
        }
    }
    return T;
}

std::string RenderChar(char C)
{
    const auto U = static_cast<unsigned char>(C);
    if (U == 27)
        return "<Esc>";
    if (U == 9)
        return "<Tab>";
    if (U < 32 || U >= 127) {
        char B[8];
        std::snprintf(B, sizeof B, "<$%02X>", U);
        return B;
    }
    return std::string(1, C);
}

// One notation for both sides: `]>`, then `<|>`, then `<[` where marks meet.
std::string Render(const TMarkedText& T)
{
    std::string Out;
    for (std::size_t Y = 0; Y < T.Lines.size(); ++Y) {
        if (Y > 0)
            Out += "\n";
        const std::string& L = T.Lines[Y];
        for (std::size_t X = 0; X <= L.size(); ++X) {
            const TPoint P{static_cast<std::int64_t>(X), static_cast<std::int64_t>(Y)};
            if (T.HasMark && T.MarkEnd == P)
                Out += "]>";
            if (T.HasCursor && T.Cursor == P)
                Out += "<|>";
            if (T.HasMark && T.MarkStart == P)
                Out += "<[";
            if (X < L.size())
                Out += RenderChar(L[X]);
        }
    }
    // Marks beyond the text (a cursor past a line's end) are shown at the end.
    return Out;
}

TMarkedText PaneText(const TEditorEngine& E)
{
    TMarkedText T;
    T.Lines = LinesOf(*E.Strings);
    T.HasCursor = true;
    T.Cursor = E.Cursor->Pos();
    if (!E.HighLight->Empty()) {
        const TRect R = TEditorEngine::NormalizeRange(E.HighLight->Range());
        T.HasMark = true;
        T.MarkStart = TPoint{R.Left, R.Top};
        T.MarkEnd = TPoint{R.Right, R.Bottom};
    }
    return T;
}

std::map<std::string, std::string> ReadKeys(const fs::path& P)
{
    std::map<std::string, std::string> M;
    if (!fs::exists(P))
        return M;
    std::istringstream In(ReadFile(P));
    for (std::string Line; std::getline(In, Line);) {
        if (Line.empty() || Line[0] == '#')
            continue;
        const std::size_t Eq = Line.find('=');
        M[Line.substr(0, Eq)] = Eq == std::string::npos ? "" : Decode(Line.substr(Eq + 1));
    }
    return M;
}

std::vector<std::string> CaseNames()
{
    std::vector<std::string> Names;
    const fs::path D = GoldenDir();
    if (fs::is_directory(D))
        for (const auto& E : fs::directory_iterator(D))
            if (E.is_directory())
                Names.push_back(E.path().filename().string());
    std::sort(Names.begin(), Names.end());
    return Names;
}

class Golden : public ::testing::TestWithParam<std::string> {};

TEST_P(Golden, Case)
{
    const fs::path Dir = GoldenDir() / GetParam();
    TCommandBench B;
    TFakeCommandHost& H = B.Host;

    const TMarkedText Start = ParseMarked(ReadFile(Dir / "start.txt"));
    H.Main.SetLines("");
    std::string Joined;
    for (std::size_t I = 0; I < Start.Lines.size(); ++I)
        Joined += (I ? "\r" : "") + Start.Lines[I];
    H.Main.Strings->SetTextStr(Joined);
    H.Main.Cursor->SetPos(Start.Cursor);
    if (Start.HasMark) {
        H.Main.HighLight->StartPos = Start.MarkStart;
        H.Main.HighLight->EndPos = Start.MarkEnd;
    }
    H.Main.UndoList->Clear();

    auto Setup = ReadKeys(Dir / "setup.txt");
    for (const auto& [K, V] : Setup) {
        if (K == "value")
            CurrentValue = std::stoi(V);
        else if (K.size() == 2 && K[0] == 'B' && std::isdigit(static_cast<unsigned char>(K[1])))
            NumericRegisters[static_cast<std::size_t>(K[1] - '0')] = std::stoi(V);
        else if (K == "register")
            H.Reg.AddText(V);
        else if (K == "forward")
            ForwardFlag = V == "1";
        else if (K == "ignorecase")
            IgnoreCaseFlag = V == "1";
        else if (K == "wholeword")
            WholeWordFlag = V == "1";
        else if (K == "shift")
            H.Main.Modifiers.Shift = V == "1";
        else if (K == "keys")
            H.Keys.assign(V.begin(), V.end());
        else if (K == "words") {
            std::istringstream W(V);
            for (std::string Word; W >> Word;)
                H.Words.insert(Word);
        } else if (K == "nodictionary")
            H.HaveDictionary = false;
        else if (K == "clipboard")
            B.Clipboard.Text = V;
        else if (K == "overwrite")
            H.Main.Overwrite = V == "1";
        else if (K.rfind("line", 0) == 0)
            B.Store.Lines[static_cast<std::size_t>(std::stoi(K.substr(4)))] = V;
        else
            FAIL() << "unknown setup key " << K;
    }

    B.Run(Decode(ReadFile(Dir / "command.txt")));

    EXPECT_EQ(Render(PaneText(H.Main)), Render(ParseMarked(ReadFile(Dir / "expected.txt")))) << "text";
    auto Expect = ReadKeys(Dir / "expect.txt");
    for (const auto& [K, V] : Expect) {
        if (K == "message")
            EXPECT_EQ(StatusMessage(), V) << "message";
        else if (K == "error")
            EXPECT_EQ(StatusMessageIsError(), V == "1") << "error flag";
        else if (K == "value")
            EXPECT_EQ(CurrentValue, std::stoi(V)) << "%";
        else if (K.size() == 2 && K[0] == 'B' && std::isdigit(static_cast<unsigned char>(K[1])))
            EXPECT_EQ(NumericRegisters[static_cast<std::size_t>(K[1] - '0')], std::stoi(V)) << K;
        else if (K == "register")
            EXPECT_EQ(H.Reg.GetText(), V) << "register";
        else if (K == "info")
            EXPECT_EQ(H.Info, V) << "info";
        else if (K == "find")
            EXPECT_EQ(H.FindText, V) << "find text";
        else if (K == "replace")
            EXPECT_EQ(H.ReplaceText, V) << "replace text";
        else if (K == "cmdeditor")
            EXPECT_EQ(H.CmdEditor, V) << "command editor";
        else if (K == "clipboard")
            EXPECT_EQ(B.Clipboard.Text, V) << "clipboard";
        else if (K == "forward")
            EXPECT_EQ(ForwardFlag, V == "1") << "ForwardFlag";
        else if (K == "ignorecase")
            EXPECT_EQ(IgnoreCaseFlag, V == "1") << "IgnoreCaseFlag";
        else if (K == "wholeword")
            EXPECT_EQ(WholeWordFlag, V == "1") << "WholeWordFlag";
        else if (K == "quotenext")
            EXPECT_EQ(QuoteNextFlag, V == "1") << "QuoteNextFlag";
        else if (K == "margins") {
            EXPECT_EQ(std::to_string(LeftMargin) + "," + std::to_string(RightMargin) + "," + std::to_string(ParaIndent) + "," +
                          std::to_string(BellColumn),
                      V)
                << "left,right,indent,bell";
        } else if (K == "calls") {
            // name:count pairs of the host's services, e.g. "help:1 print:1"
            const std::map<std::string, int> Calls = {
                {"help", H.HelpShown}, {"print", H.Printed},   {"remargin", H.Remargins}, {"center", H.Centered},
                {"formfeed", H.FormFeedDeletes}, {"save", H.Saves}, {"showall", H.ShowAllToggles}, {"quit", H.Quits},
                {"exit", H.Exits},     {"append", H.Appends},  {"open", H.Opens},         {"scoop", H.ScoopState}};
            std::istringstream W(V);
            for (std::string Pair; W >> Pair;) {
                const std::size_t C = Pair.find(':');
                EXPECT_EQ(Calls.at(Pair.substr(0, C)), std::stoi(Pair.substr(C + 1))) << Pair;
            }
        } else if (K != "undo") {
            ADD_FAILURE() << "unknown expectation " << K;
        }
    }

    // One undo takes the whole run back.
    if (Expect.count("undo") == 0 || Expect["undo"] != "skip") {
        H.Main.Undo();
        TMarkedText Back = PaneText(H.Main);
        TMarkedText Want = Start;
        Back.HasCursor = Want.HasCursor = false;
        Back.HasMark = Want.HasMark = false;
        EXPECT_EQ(Render(Back), Render(Want)) << "one undo after the run";
    }
}

INSTANTIATE_TEST_SUITE_P(Commands, Golden, ::testing::ValuesIn(CaseNames()),
                         [](const ::testing::TestParamInfo<std::string>& I) {
                             std::string N = I.param;
                             for (char& C : N)
                                 if (!std::isalnum(static_cast<unsigned char>(C)))
                                     C = '_';
                             return N;
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(Golden);

}  // namespace
}  // namespace narvo::test
