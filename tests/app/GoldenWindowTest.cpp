// The golden command-line cases run a second time, on the program's own main
// window (offscreen) with every module installed as the program's entry installs
// them: the real find/replace dialog, status line, panes, text register, key wait
// and status polling thread. The line is put into the command editor and run by
// Ctrl+G typed into the main pane; the key operand's keys are typed while it
// waits. Only the services that would leave the program (help, print, files,
// saving, closing) and the spelling word list are replaced by counters and a list,
// as the fake host has them; the margin and form-feed routines are counted and
// run. A case that only makes sense headless says why in its "headless.txt".
#include "language/FakeCommandHost.h"
#include "language/GoldenCases.h"

#include "app/CommandLanguage.h"
#include "app/Documents.h"
#include "app/FindReplace.h"
#include "app/MainWindow.h"
#include "app/MainWindowHost.h"
#include "app/MainWindowMenus.h"
#include "app/Settings.h"
#include "editor/EditorClipboard.h"
#include "platform/Application.h"
#include "platform/FileDialogs.h"
#include "platform/KeyState.h"
#include "platform/MessageBoxes.h"
#include "ProgramWindow.h"
#include "platform/TextConvert.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>

#include <chrono>
#include <memory>
#include <unistd.h>

namespace narvo::test {
namespace {

// A key event that types the character C (printable ASCII) and says when it has
// been delivered (a posted event is deleted then).
class TTypedKey : public QKeyEvent {
public:
    TTypedKey(char C, bool& Delivered)
        : QKeyEvent(QEvent::KeyPress, QChar(static_cast<unsigned char>(C)).toUpper().unicode(),
                    C >= 'A' && C <= 'Z' ? Qt::ShiftModifier : Qt::NoModifier, QString(QChar(static_cast<unsigned char>(C)))),
          FDelivered(Delivered)
    {
        FDelivered = false;
    }
    ~TTypedKey() override { FDelivered = true; }

private:
    bool& FDelivered;
};

// The program's own host, except that what leaves the program (help, print, files,
// closing) counts its calls instead, and the spelling operand reads the case's word
// list. The text routines of M, Y and Z are counted and run.
class TCountingHost : public TMainWindowHost {
public:
    std::map<std::string, int> Counts;
    std::set<std::string> Words;
    bool HaveDictionary = true;

    void ShowHelpContents() override { ++Counts["help"]; }
    void PrintText() override { ++Counts["print"]; }
    void RemarginParagraph(TEditorEngine& Pane) override
    {
        ++Counts["remargin"];
        TMainWindowHost::RemarginParagraph(Pane);
    }
    void CenterLine(TEditorEngine& Pane) override
    {
        ++Counts["center"];
        TMainWindowHost::CenterLine(Pane);
    }
    void DeleteBackToFormFeed(TEditorEngine& Pane) override
    {
        ++Counts["formfeed"];
        TMainWindowHost::DeleteBackToFormFeed(Pane);
    }
    void SaveIfModified() override { ++Counts["save"]; }
    void SaveAndExitCmd() override { ++Counts["quit"]; }
    std::int64_t InsertFileCmd(const std::string&, std::int64_t Pos) override
    {
        ++Counts["append"];
        return Pos;
    }
    std::int64_t OpenFileCmd(const std::string&, std::int64_t Pos) override
    {
        ++Counts["open"];
        return Pos;
    }
    // T closes the document and then the window; the document stays.
    void ExitWithoutSavingCmd() override { ++Counts["exit"]; }
    int SpellCheck(const std::string& Word, bool& NoDictionary) override
    {
        NoDictionary = !HaveDictionary;
        return Words.count(Word) ? 0 : -1;
    }
};

class TWindowRig : public TGoldenRig, private test::TProgramWindow {
public:
    TWindowRig()
    {
        // The program's host with the calls that leave the program counted.
        OpenWindow("/tmp/narvo-golden-XXXXXX", Host);
        // The settings and the edit state are the program's start; the command
        // state is the cases' start.
        ResetCommandState();
        Form->MainEditor->setFocus();
        ShowAllBefore = Form->MainEditor->ShowAll();
    }
    ~TWindowRig() override
    {
        InjectKeyState(std::nullopt);
        CloseWindow();
    }

    template <class F>
    static void Pump(F&& Done, int Ms = 30000)
    {
        const auto End = std::chrono::steady_clock::now() + std::chrono::milliseconds(Ms);
        while (!Done() && std::chrono::steady_clock::now() < End)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }

    TEditorEngine& Main() override { return *Form->MainEditor; }
    TXRegister& Register() override { return *ProgramRegister(); }
    TCommandLineStore& Store() override { return CommandLines(); }
    void HoldShift() override { InjectKeyState(Qt::ShiftModifier); }
    void HoldShiftFromKeyWait() override { ShiftAtKey = true; }
    void SetKeys(const std::string& K) override { Keys = K; }
    void SetWords(const std::set<std::string>& Words, bool HaveDictionary) override
    {
        Host.Words = Words;
        Host.HaveDictionary = HaveDictionary;
    }
    void SetClipboard(const std::string& Text) override { PlatformClipboardAccess().SetText(Text); }
    std::string Clipboard() override { return PlatformClipboardAccess().GetText(TCodePage::Ansi); }

    void Run(const std::string& Line) override
    {
        CommandLines().Current = 0;
        CommandHost()->SetCmdEditorText(Line);
        Form->MainEditor->setFocus();
        // The keys are typed while the key operand waits ("Waiting" stands in the
        // status line then), one per wait.
        QTimer Typist;
        QObject::connect(&Typist, &QTimer::timeout, [&] {
            // One key per wait: a wait that has had its key may still show "Waiting"
            // while the key reaches it, so only a "Waiting" set anew asks for a key.
            if (StatusMessage() != "Waiting" || StatusMessageIsError() || !Delivered ||
                StatusMessageSerial() == AnsweredWait)
                return;
            AnsweredWait = StatusMessageSerial();
            WaitLines += (WaitLines.empty() ? "" : " ") + Form->CmdNumberDis->text().toStdString();
            if (Keys.empty()) {
                if (!BreakFlag)
                    ADD_FAILURE() << "no key left for a key wait";
                BreakFlag = true;
                return;
            }
            if (ShiftAtKey)
                InjectKeyState(Qt::ShiftModifier);
            QCoreApplication::postEvent(QApplication::focusWidget() ? QApplication::focusWidget() : Form->MainEditor,
                                        new TTypedKey(Keys.front(), Delivered));
            Keys.erase(0, 1);
        });
        Typist.start(1);
        // A run that does not end fails the case instead of hanging the suite.
        QTimer Watchdog;
        Watchdog.setSingleShot(true);
        QObject::connect(&Watchdog, &QTimer::timeout, [] {
            ADD_FAILURE() << "the run did not end; stopped as Ctrl+Break would";
            BreakFlag = true;
        });
        Watchdog.start(10000);
        QKeyEvent Press(QEvent::KeyPress, Qt::Key_G, Qt::ControlModifier, QString(QChar(7)));
        QApplication::sendEvent(Form->MainEditor, &Press);
        QKeyEvent Release(QEvent::KeyRelease, Qt::Key_G, Qt::ControlModifier, QString(QChar(7)));
        QApplication::sendEvent(Form->MainEditor, &Release);
        Typist.stop();
    }
    std::string Info() override { return QStringToAnsi(Form->InfoDis->text()); }
    std::string FindText() override { return Form->Menus->FindDialog()->Options().FindText; }
    std::string ReplaceText() override { return Form->Menus->FindDialog()->Options().ReplaceText; }
    std::string CmdEditor() override { return CommandHost()->CmdEditorText(); }
    int Calls(const std::string& Name) override
    {
        if (Name == "showall")
            return Form->MainEditor->ShowAll() != ShowAllBefore ? 1 : 0;
        // The box-drawing style: from 0, one step reaches 1.
        if (Name == "box")
            return BoxStyle;
        if (Name == "scoop") {
            const QString S = Form->ScoopStatusDis->text();
            return S == QLatin1String("On") ? 1 : S == QLatin1String("Blk") ? 2 : 0;
        }
        return Host.Counts[Name];
    }
    std::string KeyWaitLines() override { return WaitLines; }
    void CheckAfterRun() override
    {
        EXPECT_FALSE(CommandLines().Running) << "the run guard";
        EXPECT_EQ(QStringToAnsi(Form->StatusDis->text()), " " + StatusMessage()) << "the status line";
        for (const std::string& E : Errors)
            ADD_FAILURE() << "shown as an error: " << E;
    }

private:
    TScriptedFileDialogs Dialogs;
    TCountingHost Host;
    std::string Keys, WaitLines;
    // Whether the last key typed has reached the program (a key wait takes it).
    bool Delivered = true;
    // The message serial of the last "Waiting" that was given a key.
    std::uint64_t AnsweredWait = 0;
    bool ShowAllBefore = false;
    bool ShiftAtKey = false;
};

class GoldenWindow : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenWindow, Case)
{
    const fs::path Dir = GoldenDir() / GetParam();
    if (fs::exists(Dir / "headless.txt"))
        GTEST_SKIP() << ReadGoldenFile(Dir / "headless.txt");
    TWindowRig R;
    RunGoldenCase(R, Dir);
}

INSTANTIATE_TEST_SUITE_P(Window, GoldenWindow, ::testing::ValuesIn(GoldenCaseNames()), GoldenTestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(GoldenWindow);

}  // namespace
}  // namespace narvo::test
