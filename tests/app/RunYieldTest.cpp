// A long command-line run in the main window, with its status polling thread: the
// run yields to the message loop every 20 commands, and what a yield does is
// counted. Neither the status bar and ruler, nor a split view of the text, nor
// the status thread's calls, nor the keyboard's state are served at every yield:
// at most once per their intervals. After the run the status shows its final
// state and the panes repaint; Ctrl+Break still ends a loop at a yield.
#include "PanesFixture.h"

#include "app/StatusPoller.h"
#include "app/ToolHost.h"
#include "components/TextRuler.h"
#include "language/CommandLines.h"
#include "language/TextRegister.h"
#include "platform/KeyState.h"
#include "tools/TextToolHooks.h"

#include <QKeyEvent>
#include <QTest>
#include <QTimer>

#include <chrono>

namespace narvo {
namespace {

// Counts what the run makes the user-interface thread do.
class TYieldCounter : public QObject {
public:
    explicit TYieldCounter(TForm1& F) : FForm(F) { qApp->installEventFilter(this); }
    ~TYieldCounter() override { qApp->removeEventFilter(this); }

    struct TCounts {
        int StatusPaints = 0;  // the line and scoop fields and the ruler
        int SplitPaints = 0;   // the split view of the text
        int MainPaints = 0;
        int ThreadCalls = 0;   // calls of the status thread served
    } N;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::Paint) {
            N.StatusPaints += Watched == FForm.LineNumDis || Watched == FForm.TextRuler || Watched == FForm.ScoopDis;
            N.SplitPaints += Watched == FForm.Editor2->viewport();
            N.MainPaints += Watched == FForm.MainEditor->viewport();
        } else if (Event->type() == QEvent::MetaCall && Watched == qApp) {
            ++N.ThreadCalls;
        }
        return QObject::eventFilter(Watched, Event);
    }

private:
    TForm1& FForm;
};

class RunYield : public PanesFixture {
protected:
    void SetUp() override
    {
        PanesFixture::SetUp();
        CommandLines() = TCommandLineStore();
        SetKeyboardQuery([this] {
            ++KeyboardQueries;
            return Qt::NoModifier;
        });
        Form->resize(900, 600);
        Form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    }
    void TearDown() override
    {
        SetKeyboardQuery({});
        PanesFixture::TearDown();
    }

    // Runs Line on the main pane as Esc Esc does; answers the milliseconds it took.
    std::int64_t Run(const std::string& Line)
    {
        Form->CmdEditor->SetText(Line);
        const auto Start = std::chrono::steady_clock::now();
        RunCurrentCommandLine(false);
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - Start)
            .count();
    }
    // The most a run of Ms milliseconds may do of something allowed once per
    // Interval (twice for slack), and a little at its start and end.
    static std::int64_t Allowed(std::int64_t Ms, int Interval) { return 2 * (2 + Ms / Interval); }

    int KeyboardQueries = 0;
};

TEST_F(RunYield, AReplaceAllRefreshesNothingAtEveryYieldAndShowsTheEndAfterIt)
{
    constexpr int Matches = 2000;
    std::string Source;
    for (int I = 0; I < Matches; ++I)
        Source += "int std::x" + std::to_string(I) + ";\n";
    Main().SetText(Source);
    Main().Cursor->SetPos(TPoint{0, 0});
    Form->LayoutSplitEditors(1, true);
    ASSERT_TRUE(Form->Editor2->isVisible());
    ASSERT_TRUE(Pump([&] { return Text(Form->SizeDis) == FormatWhole(TStatusPoller::TextSize(Main())); }));
    QCoreApplication::processEvents();

    TYieldCounter Count(*Form);
    KeyboardQueries = 0;
    const std::int64_t Ms = Run("#{Fstd::\x1bxx::\x1b}");
    const TYieldCounter::TCounts During = Count.N;
    // About 4,000 commands: 200 yields.
    EXPECT_EQ(Main().GetText().find("std::"), std::string::npos);
    EXPECT_EQ(StatusMessage(), "Ok");
    EXPECT_LE(During.StatusPaints, Allowed(Ms, TForm1::HeldStatusMs)) << Ms << " ms";
    EXPECT_LE(During.ThreadCalls, Allowed(Ms, TStatusPoller::StaleSleepMs)) << Ms << " ms";
    EXPECT_LE(KeyboardQueries, Allowed(Ms, KeyboardAnswerMs)) << Ms << " ms";
    EXPECT_EQ(During.SplitPaints, 0);
    EXPECT_LE(During.MainPaints, 1) << "the run's pane repaints once, as the run ends";

    // The end: the cursor after the last replacement, every field and both panes.
    const TPoint End = Main().Cursor->Pos();
    EXPECT_EQ(End, (TPoint{8, Matches - 1}));
    EXPECT_EQ(Text(Form->LineNumDis), FormatWhole(Matches));
    EXPECT_EQ(Text(Form->ColumnDis), "8");
    EXPECT_EQ(Form->TextRuler->CursorColumn, 8);
    EXPECT_EQ(Text(Form->StatusDis), " Ok");
    ASSERT_TRUE(Pump([&] {
        return Text(Form->LocationDis) == FormatWhole(Main().CursorOffset()) &&
               Text(Form->SizeDis) == FormatWhole(TStatusPoller::TextSize(Main())) && Count.N.MainPaints > 0 &&
               Count.N.SplitPaints > 0;
    })) << Text(Form->LocationDis) << " / " << Text(Form->SizeDis);
}

TEST_F(RunYield, ControlKeyCommandsAskTheKeyboardOncePerInterval)
{
    Main().SetText(std::string(4000, 'a'));
    Main().Cursor->SetPos(TPoint{0, 0});
    KeyboardQueries = 0;
    // ^A moves right; the loop ends at the text end.
    const std::int64_t Ms = Run("#{\x01}");
    EXPECT_EQ(Main().Cursor->Pos(), (TPoint{4000, 0}));
    EXPECT_GE(KeyboardQueries, 1);
    EXPECT_LE(KeyboardQueries, Allowed(Ms, KeyboardAnswerMs)) << Ms << " ms";
}

TEST_F(RunYield, AScoopCollectingInARunShowsItsFreeSpaceAfterIt)
{
    Main().SetText(std::string(4000, 'a'));
    Main().Cursor->SetPos(TPoint{4000, 0});
    QCoreApplication::processEvents();
    TYieldCounter Count(*Form);
    // ^R starts the scoop; ^Q moves left, collecting, until the text start.
    const std::int64_t Ms = Run("\x12#{\x11}");
    EXPECT_LE(Count.N.StatusPaints, Allowed(Ms, TForm1::HeldStatusMs)) << Ms << " ms";
    EXPECT_EQ(Text(Form->ScoopDis), FormatWhole(TXRegister::Capacity - 4000));
    EXPECT_EQ(Text(Form->ColumnDis), "0");
}

TEST_F(RunYield, CtrlBreakReachesAnEndlessLoopAtAYield)
{
    Main().SetText("abc");
    Form->MainEditor->setFocus();
    QTimer Key, Guard;
    Key.setSingleShot(true);
    QObject::connect(&Key, &QTimer::timeout, [this] {
        QCoreApplication::postEvent(Form->MainEditor, new QKeyEvent(QEvent::KeyPress, Qt::Key_Pause, Qt::ControlModifier));
    });
    Key.start(50);
    // Should the key never arrive, the test ends the loop itself and fails.
    bool Forced = false;
    Guard.setSingleShot(true);
    QObject::connect(&Guard, &QTimer::timeout, [&Forced] {
        Forced = !BreakFlag;
        BreakFlag = true;
    });
    Guard.start(20000);
    Run("#{J}");
    EXPECT_FALSE(Forced);
    EXPECT_EQ(StatusMessage(), "Break");
    EXPECT_EQ(Text(Form->StatusDis), " Break");
    EXPECT_FALSE(CommandLines().Running);
}

// One remargin that puts a margin of 65,535 blanks before every word: Ctrl+Break
// stops it while its lines are built, in a run (`M`) and from F6 alike, and the
// paragraph stays as it was.
TEST_F(RunYield, CtrlBreakStopsOneWideRemarginWithTheParagraphWhole)
{
    std::string Words;
    for (int I = 0; I < 2000; ++I)
        Words += "ab ";
    const auto PressBreakSoon = [this] {
        QTimer::singleShot(0, Form.get(), [this] {
            QCoreApplication::postEvent(Form->MainEditor,
                                        new QKeyEvent(QEvent::KeyPress, Qt::Key_Pause, Qt::ControlModifier));
        });
    };
    // The program's tool host says "Break" for a step outside a run.
    InstallTextTools();
    Form->MainEditor->setFocus();
    Main().SetText(Words);
    PressBreakSoon();
    Run("M65535,65535M");
    EXPECT_EQ(StatusMessage(), "Break");
    EXPECT_EQ(Text(Form->StatusDis), " Break");
    EXPECT_TRUE(Main().GetText() == Words);
    EXPECT_FALSE(Main().HasMark());

    Main().Cursor->SetPos({0, 0});
    PressBreakSoon();
    QTest::keyClick(Form->MainEditor, Qt::Key_F6);
    EXPECT_EQ(Text(Form->StatusDis), " Break");
    EXPECT_TRUE(Main().GetText() == Words);
    EXPECT_FALSE(Main().OnLongOperation);
    // Unbroken, F6 remargins it.
    QTest::keyClick(Form->MainEditor, Qt::Key_F6);
    EXPECT_EQ(Main().Strings->Count(), 2000);
    BreakFlag = false;
    SetToolHost(nullptr);
}

}  // namespace
}  // namespace narvo
