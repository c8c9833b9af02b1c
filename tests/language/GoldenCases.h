// The command-line cases under tests/app/golden (see the README there), run on any
// host: a rig sets up its main pane and the module state from a case folder, runs
// the command line as Ctrl+G would, and answers what the case expects. The same
// cases run on the headless pane with the fake host and on the program's own main
// window, so that every case checks the wiring between the interpreter and the
// window too.
#pragma once

#include "engine/EditorEngine.h"
#include "language/AppState.h"
#include "language/CommandLines.h"
#include "language/Expressions.h"
#include "language/StatusLine.h"
#include "language/TextRegister.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace narvo::test {

namespace fs = std::filesystem;

inline fs::path GoldenDir()
{
#ifdef NARVO_GOLDEN_DIR
    if (fs::is_directory(NARVO_GOLDEN_DIR))
        return NARVO_GOLDEN_DIR;
#endif
    const char* Src = std::getenv("NARVO_SOURCE_DIR");
    return fs::path(Src ? Src : ".") / "tests" / "app" / "golden";
}

inline std::string ReadGoldenFile(const fs::path& P)
{
    std::ifstream In(P, std::ios::binary);
    std::stringstream S;
    S << In.rdbuf();
    std::string T = S.str();
    if (!T.empty() && T.back() == '\n')
        T.pop_back();
    return T;
}

// Named characters: <Esc>, <CR>, <LF>, <Tab>, <FF>, <Sp>, <^A>..<^_>, <$hh>.
inline bool DecodeToken(const std::string& S, std::size_t& I, char& C)
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

inline std::string DecodeGolden(const std::string& S)
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

// In start and expected texts a newline (and <CR>) is a line break; <LF> is a
// character of its line, as a typed line feed is.
inline TMarkedText ParseMarked(const std::string& S)
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
        } else if (S[I] == '\n' || S[I] == '\r' || S.compare(I, 4, "<CR>") == 0) {
            I += S[I] == '<' ? 4 : 1;
            T.Lines.emplace_back();
        } else {
            char C;
            if (!DecodeToken(S, I, C))
                C = S[I++];
            T.Lines.back().push_back(C);
        }
    }
    return T;
}

inline std::string RenderChar(char C)
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
inline std::string Render(const TMarkedText& T)
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
    return Out;
}

inline TMarkedText PaneText(const TEditorEngine& E)
{
    TMarkedText T;
    for (std::int64_t Y = 0; Y < E.Strings->Count(); ++Y)
        T.Lines.emplace_back((*E.Strings)[Y]);
    T.Lines.erase(T.Lines.begin());
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

inline std::string TextOnly(TMarkedText T)
{
    T.HasCursor = T.HasMark = false;
    return Render(T);
}

inline std::map<std::string, std::string> ReadKeys(const fs::path& P)
{
    std::map<std::string, std::string> M;
    if (!fs::exists(P))
        return M;
    std::istringstream In(ReadGoldenFile(P));
    for (std::string Line; std::getline(In, Line);) {
        if (Line.empty() || Line[0] == '#')
            continue;
        const std::size_t Eq = Line.find('=');
        M[Line.substr(0, Eq)] = Eq == std::string::npos ? "" : DecodeGolden(Line.substr(Eq + 1));
    }
    return M;
}

inline std::vector<std::string> GoldenCaseNames()
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

inline std::string GoldenTestName(const ::testing::TestParamInfo<std::string>& I)
{
    std::string N = I.param;
    for (char& C : N)
        if (!std::isalnum(static_cast<unsigned char>(C)))
            C = '_';
    return N;
}

// What a case needs of a host. The module state (value, registers, switches,
// margins, the status message) is the program's own and is set and read directly.
class TGoldenRig {
public:
    virtual ~TGoldenRig() = default;
    virtual TEditorEngine& Main() = 0;
    virtual TXRegister& Register() = 0;
    virtual TCommandLineStore& Store() = 0;
    // Shift held during the whole run.
    virtual void HoldShift() = 0;
    // Shift goes down as the first key wait takes its key and stays down.
    virtual void HoldShiftFromKeyWait() = 0;
    // The characters the key operand receives, one per wait.
    virtual void SetKeys(const std::string& Keys) = 0;
    virtual void SetWords(const std::set<std::string>& Words, bool HaveDictionary) = 0;
    virtual void SetClipboard(const std::string& Text) = 0;
    virtual std::string Clipboard() = 0;
    // Puts Line into command line 0 and runs it as Ctrl+G in the main pane would.
    virtual void Run(const std::string& Line) = 0;
    virtual std::string Info() = 0;
    virtual std::string FindText() = 0;
    virtual std::string ReplaceText() = 0;
    virtual std::string CmdEditor() = 0;
    // How often a service was used (names of the README), or the scoop indicator.
    virtual int Calls(const std::string& Name) = 0;
    // The command line number shown at each key wait, blank-separated.
    virtual std::string KeyWaitLines() = 0;
    // Checks of the host's own after a run (the window's status line).
    virtual void CheckAfterRun() {}
};

// Runs the case in Dir on R.
inline void RunGoldenCase(TGoldenRig& R, const fs::path& Dir)
{
    TEditorEngine& Main = R.Main();
    const TMarkedText Start = ParseMarked(ReadGoldenFile(Dir / "start.txt"));
    // Line by line, so that a <$0D> stays a character of its line.
    Main.Strings->SetTextStr(std::string(Start.Lines.size() - 1, '\r'));
    for (std::size_t I = 0; I < Start.Lines.size(); ++I)
        Main.Strings->SetLine(static_cast<std::int64_t>(I), Start.Lines[I]);
    Main.Cursor->SetPos(Start.Cursor);
    Main.ClearMark();
    if (Start.HasMark) {
        Main.HighLight->StartPos = Start.MarkStart;
        Main.HighLight->EndPos = Start.MarkEnd;
    }
    Main.UndoList->Clear();
    Main.RedoList->Clear();

    std::set<std::string> Words;
    bool HaveDictionary = true;
    for (const auto& [K, V] : ReadKeys(Dir / "setup.txt")) {
        if (K == "value")
            CurrentValue = std::stoi(V);
        else if (K.size() == 2 && K[0] == 'B' && std::isdigit(static_cast<unsigned char>(K[1])))
            NumericRegisters[static_cast<std::size_t>(K[1] - '0')] = std::stoi(V);
        else if (K == "register")
            R.Register().AddText(V);
        else if (K == "forward")
            ForwardFlag = V == "1";
        else if (K == "ignorecase")
            IgnoreCaseFlag = V == "1";
        else if (K == "wholeword")
            WholeWordFlag = V == "1";
        else if (K == "shift" && V == "1")
            R.HoldShift();
        else if (K == "shift" && V == "key")
            R.HoldShiftFromKeyWait();
        else if (K == "keys")
            R.SetKeys(V);
        else if (K == "words") {
            std::istringstream W(V);
            for (std::string Word; W >> Word;)
                Words.insert(Word);
        } else if (K == "nodictionary")
            HaveDictionary = V != "1";
        else if (K == "clipboard")
            R.SetClipboard(V);
        else if (K == "overwrite")
            Main.Overwrite = V == "1";
        else if (K.rfind("line", 0) == 0)
            R.Store().Lines[static_cast<std::size_t>(std::stoi(K.substr(4)))] = V;
        else
            FAIL() << "unknown setup key " << K;
    }
    R.SetWords(Words, HaveDictionary);

    R.Run(DecodeGolden(ReadGoldenFile(Dir / "command.txt")));

    const TMarkedText Expected = ParseMarked(ReadGoldenFile(Dir / "expected.txt"));
    EXPECT_EQ(Render(PaneText(Main)), Render(Expected)) << "text";
    R.CheckAfterRun();
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
            EXPECT_EQ(R.Register().GetText(), V) << "register";
        else if (K == "info")
            EXPECT_EQ(R.Info(), V) << "info";
        else if (K == "find")
            EXPECT_EQ(R.FindText(), V) << "find text";
        else if (K == "replace")
            EXPECT_EQ(R.ReplaceText(), V) << "replace text";
        else if (K == "cmdeditor")
            EXPECT_EQ(R.CmdEditor(), V) << "command editor";
        else if (K == "clipboard")
            EXPECT_EQ(R.Clipboard(), V) << "clipboard";
        else if (K == "forward")
            EXPECT_EQ(ForwardFlag, V == "1") << "ForwardFlag";
        else if (K == "ignorecase")
            EXPECT_EQ(IgnoreCaseFlag, V == "1") << "IgnoreCaseFlag";
        else if (K == "wholeword")
            EXPECT_EQ(WholeWordFlag, V == "1") << "WholeWordFlag";
        else if (K == "quotenext")
            EXPECT_EQ(QuoteNextFlag, V == "1") << "QuoteNextFlag";
        else if (K == "keylines")
            EXPECT_EQ(R.KeyWaitLines(), V) << "command line at each key wait";
        else if (K == "margins") {
            EXPECT_EQ(std::to_string(LeftMargin) + "," + std::to_string(RightMargin) + "," + std::to_string(ParaIndent) + "," +
                          std::to_string(BellColumn),
                      V)
                << "left,right,indent,bell";
        } else if (K == "calls") {
            // name:count pairs of the host's services, e.g. "help:1 print:1"
            std::istringstream W(V);
            for (std::string Pair; W >> Pair;) {
                const std::size_t C = Pair.find(':');
                EXPECT_EQ(R.Calls(Pair.substr(0, C)), std::stoi(Pair.substr(C + 1))) << Pair;
            }
        } else if (K != "undo") {
            ADD_FAILURE() << "unknown expectation " << K;
        }
    }

    // One undo takes the whole run back, and one redo gives exactly its text again.
    if (Expect.count("undo") == 0 || Expect["undo"] != "skip") {
        Main.Undo();
        EXPECT_EQ(TextOnly(PaneText(Main)), TextOnly(Start)) << "one undo after the run";
        Main.Redo();
        EXPECT_EQ(TextOnly(PaneText(Main)), TextOnly(Expected)) << "one redo after the undo";
    }
}

}  // namespace narvo::test
