// Random command lines from fixed seeds, run on the program's own main window
// (offscreen) the way Ctrl+G runs them: numbers at and past the 32-bit limits as
// repeat counts, margins, expression operands, offsets and registers, among the
// commands that move, edit, search, centre, remargin and scoop. Between runs the
// zoom, the view origin and the ruler's markers are set to far-off values, and text
// is typed with wrap while typing on. Every run has to end (a long one is broken as
// Ctrl+Break would), free the run guard and report no exception, and the window
// then refreshes and paints its status bars, ruler and panes. In a build with
// -DNARVO_SANITIZE=address,undefined the sanitizers judge every step; the seeds and
// the length of the round are fixed, so a finding can be run again.
#include "app/CommandLanguage.h"
#include "app/MainWindow.h"
#include "app/MainWindowHost.h"
#include "components/TextRuler.h"
#include "editor/EditorClipboard.h"
#include "language/AppState.h"
#include "language/CommandHost.h"
#include "language/CommandLines.h"
#include "language/StatusLine.h"
#include "platform/Application.h"
#include "platform/Clipboard.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "ProgramWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <climits>
#include <cstdlib>
#include <memory>
#include <random>
#include <unistd.h>

namespace narvo {
namespace {

// The program's host, except that what would leave the program or wait for the
// user (help, print, files, saving, closing, a key) only counts.
class TStayingHost : public TMainWindowHost {
public:
    int Calls = 0;
    void ShowHelpContents() override { ++Calls; }
    void PrintText() override { ++Calls; }
    void SaveIfModified() override { ++Calls; }
    void SaveAndExitCmd() override { ++Calls; }
    void ExitWithoutSavingCmd() override { ++Calls; }
    std::int64_t InsertFileCmd(const std::string&, std::int64_t Pos) override { return ++Calls, Pos; }
    std::int64_t OpenFileCmd(const std::string&, std::int64_t Pos) override { return ++Calls, Pos; }
    int WaitForKey() override { return 'k'; }
    int SpellCheck(const std::string&, bool& NoDictionary) override
    {
        NoDictionary = false;
        return -1;
    }
};

// Numbers around the limits the language and the window meet: the 16-bit columns of
// the settings, the 32-bit values of the language, and texts that do not fit them.
const char* const Numbers[] = {"0",          "1",          "2",          "9",          "72",
                               "255",        "32767",      "32768",      "65535",      "1048576",
                               "2147483646", "2147483647", "2147483648", "4294967295", "99999999999"};

class TLineMaker {
public:
    explicit TLineMaker(unsigned Seed) : FRandom(Seed) {}

    std::string Line()
    {
        std::string L;
        const int Commands = Pick(1, 8);
        for (int I = 0; I < Commands; ++I)
            L += Command(0);
        return L;
    }

private:
    int Pick(int Low, int High) { return std::uniform_int_distribution<int>(Low, High)(FRandom); }
    bool Chance(int Percent) { return Pick(1, 100) <= Percent; }
    std::string Number() { return Numbers[Pick(0, static_cast<int>(std::size(Numbers)) - 1)]; }
    std::string SmallCount() { return std::to_string(Pick(1, 3)); }

    std::string Text()
    {
        static const char Letters[] = "ab ca\t\r x";
        std::string T;
        for (int I = Pick(0, 6); I > 0; --I)
            T += Letters[Pick(0, static_cast<int>(sizeof Letters) - 2)];
        return T;
    }

    std::string Operand(int Depth)
    {
        switch (Pick(0, Depth < 3 ? 9 : 8)) {
        case 0: return "$" + std::string(Chance(50) ? "FFFFFFFF" : "80000000");
        case 1: return "%";
        case 2: return "C";
        case 3: return ".";
        case 4: return Chance(50) ? "@" : "_";
        case 5: return "^a";
        case 6: return Chance(50) ? "Z" : "K";
        case 9: return "(" + Expression(Depth + 1) + ")";
        default: return Number();
        }
    }

    std::string Expression(int Depth)
    {
        static const char* const Operators[] = {"+", "-", "*", "/", "\\", "&", "!", "#", "=", "<", ">", "<=", ">="};
        std::string E = (Chance(20) ? "-" : Chance(10) ? "~" : "") + Operand(Depth);
        for (int I = Pick(0, 2); I > 0; --I)
            E += Operators[Pick(0, static_cast<int>(std::size(Operators)) - 1)] + Operand(Depth);
        return E;
    }

    std::string Command(int Depth)
    {
        static const char Controls[] = {1, 2, 3, 4, 5, 6, 8, 10, 11, 14, 17, 18, 19, 20, 21, 22, 24, 25, 26, 28, 29, 31};
        static const char* const Plain[] = {"D", "R", "E", "X", "Y", "Z", "V", "K", ":", "BN", "BS", "BD", "BH", "BA",
                                            "BT", "-B3", "B3", "A", "O", "Q", "T", "L", "?", "N", "[", "]", ";"};
        switch (Pick(0, Depth < 2 ? 11 : 10)) {
        case 0: {
            // Margins: none, the bell column, two or three numbers, in any form.
            const int N = Pick(0, 3);
            std::string M = "M";
            const bool Parenthesised = Chance(30);
            if (Parenthesised)
                M += "(";
            for (int I = 0; I < N; ++I)
                M += (I ? (Chance(50) ? "," : " ") : "") + Number();
            return M + (Parenthesised ? ")" : "");
        }
        case 1: return "(" + Expression(0) + ")";
        case 2: return "(" + Expression(0) + ")" + (Chance(50) ? "_" : ":");
        case 3: return (Chance(30) ? Number() : SmallCount()) + Plain[Pick(0, 12)];
        case 4: return std::string(1, Controls[Pick(0, static_cast<int>(sizeof Controls) - 1)]);
        case 5: return "I" + Text() + "\x1b";
        case 6: return std::string(Chance(30) ? "-" : "") + "S" + Text() + "\x1b";
        case 7: return "F" + Text() + "\x1b" + Text() + "\x1b";
        case 8: return "P" + std::to_string(Pick(0, 40));
        case 9: return std::string(1, static_cast<char>(Pick(33, 126)));
        case 11: {
            std::string Body;
            for (int I = Pick(1, 3); I > 0; --I)
                Body += Command(Depth + 1);
            return SmallCount() + "{" + Body + "}";
        }
        default: return Plain[Pick(0, static_cast<int>(std::size(Plain)) - 1)];
        }
    }

    std::mt19937 FRandom;
};

class CommandFuzz : public ::testing::Test, protected test::TProgramWindow {
protected:
    void SetUp() override
    {
        OpenWindow("/tmp/narvo-fuzz-XXXXXX", Host);
        Form->MainEditor->setFocus();
    }
    void TearDown() override
    {
        CloseWindow();
        LeftMargin = ParaIndent = 0;
        RightMargin = BellColumn = 72;
        WrapFlag = false;
    }

    // The line run as Ctrl+G in the main pane runs it; a run still going after
    // 300 ms is broken as Ctrl+Break would.
    void Run(const std::string& Line)
    {
        CommandLines().Current = 0;
        CommandHost()->SetCmdEditorText(Line);
        Form->MainEditor->setFocus();
        QTimer Watchdog;
        Watchdog.setSingleShot(true);
        QObject::connect(&Watchdog, &QTimer::timeout, [] { BreakFlag = true; });
        Watchdog.start(300);
        QKeyEvent Press(QEvent::KeyPress, Qt::Key_G, Qt::ControlModifier, QString(QChar(7)));
        QApplication::sendEvent(Form->MainEditor, &Press);
        QKeyEvent Release(QEvent::KeyRelease, Qt::Key_G, Qt::ControlModifier, QString(QChar(7)));
        QApplication::sendEvent(Form->MainEditor, &Release);
        BreakFlag = false;
    }

    TScriptedFileDialogs Dialogs;
    TStayingHost Host;
};

TEST_F(CommandFuzz, LinesWithNumbersAtTheLimitsRunAndTheWindowShowsThem)
{
    const std::string Start = "the cat sat\n\tindented line with some words in it\n\nx\fy\n" +
                              std::string(300, 'w') + " tail\nlast";
    const std::int64_t FarValues[] = {0, 1, INT_MAX, std::int64_t{INT_MAX} + 1, -1, INT_MIN, INT64_MAX / 2,
                                      INT64_MAX};
    int Lines = 0;
    for (const unsigned Seed : {1u, 27u, 4242u, 90210u, 31337u}) {
        TLineMaker Maker(Seed);
        std::mt19937 Window(Seed);
        const auto Far = [&] { return FarValues[Window() % std::size(FarValues)]; };
        TScrollEditor& P = *Form->MainEditor;
        for (int I = 0; I < 100; ++I, ++Lines) {
            if (I % 10 == 0) {
                P.SetText(Start);
                P.Cursor->SetPos(TPoint{0, 0});
            }
            const std::string Line = Maker.Line();
            SCOPED_TRACE("seed " + std::to_string(Seed) + " line " + std::to_string(I) + ": " + Line);
            Run(Line);
            ASSERT_FALSE(CommandLines().Running);
            // The window between runs: a zoom, a view origin, a ruler drag, or
            // typing with wrap while typing on, F6 and F3 under the margins set.
            switch (Window() % 5) {
            case 0: P.SetScale(1.0 + static_cast<double>(Window() % 1000) / 10.0); break;
            case 1: P.SetViewOrigin(TPoint{Far(), Far()}); break;
            case 2: {
                TTextRuler& R = *Form->TextRuler;
                const int C = static_cast<int>(std::clamp<std::int64_t>(Far(), INT_MIN, INT_MAX));
                Window() % 2 ? R.DragMarker1(C) : Window() % 2 ? R.DragMarker2(C) : R.DragMarker3(C);
                R.OnMarkerChange(&R);
                break;
            }
            case 3:
                WrapFlag = true;
                QTest::keyClicks(Form->MainEditor, "ab cd");
                QTest::keyClick(Form->MainEditor, Qt::Key_Return);
                QTest::keyClick(Form->MainEditor, Window() % 2 ? Qt::Key_F6 : Qt::Key_F3);
                break;
            default: break;
            }
            Form->UpdateStatus();
            Form->ShowLocation(Far());
            Form->ShowTextSize(Far());
            Form->StatusBar->grab();
            Form->StatusBar2->grab();
            Form->TextRuler->grab();
            if (I % 5 == 0)
                P.grab();
        }
    }
    EXPECT_EQ(Lines, 500);
    for (const std::string& E : Errors)
        ADD_FAILURE() << "shown as an error: " << E;
}

}  // namespace
}  // namespace narvo
