// The tool windows' long walks over the text in the real main window: SIGTERM
// arriving while Find Matching runs is handled at once (the drafts written, the
// window closed, the walk stopped), Ctrl+Break pressed in the main window stops
// File Details without leaving the command language's break flag set, the user's
// click or key stops a walk and acts after it, a walk over a large text shows that
// it works, and a stopped one says so.
#include "PanesFixture.h"

#include "app/FindReplace.h"
#include "app/SmallTools.h"
#include "app/Spelling.h"
#include "app/ToolHost.h"
#include "tools/BlockIndent.h"
#include "tools/ChangeCase.h"
#include "tools/FileDetails.h"
#include "tools/MatchPairs.h"
#include "tools/SpellChecker.h"
#include "tools/SpellDialog.h"
#include "tools/TextToolHooks.h"
#include "tools/ToolWalk.h"

#include "../editor/EditorTestHelpers.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <csignal>

namespace narvo {
namespace {

class LongToolWalks : public PanesFixture {
protected:
    void SetUp() override
    {
        PanesFixture::SetUp();
        InstallTextTools();
        Form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    }
    void TearDown() override
    {
        FreeMatchPairsDlg();
        FreeDetailsDlg();
        FreeSpellingDlg();
        SetToolHost(nullptr);
        BreakFlag = false;
        PanesFixture::TearDown();
    }
    // Nested braces, more of them than a walk takes before its first look around.
    static std::string Braces()
    {
        std::string S = "{";
        for (int I = 0; I < TToolWalk::UnitsPerLook; ++I)
            S += "{}\n";
        return S + "}";
    }
    // Braces enough for a walk that shows "Working".
    static std::string ManyBraces()
    {
        std::string S = "{";
        while (static_cast<std::int64_t>(S.size()) < TToolWalk::LongWalkBytes)
            S += "{}\n";
        return S + "}";
    }
    static bool WaitCursorShown()
    {
        return QGuiApplication::overrideCursor() && QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor;
    }
    void Break(QObject* To)
    {
        QKeyEvent Key(QEvent::KeyPress, Qt::Key_Pause, Qt::ControlModifier);
        QCoreApplication::sendEvent(To, &Key);
    }
};

// Records whether a tool's walk was over when a key reached the pane.
class TKeyWatch : public QObject {
public:
    TKeyWatch(QObject* Pane, std::function<bool()> WalkOver) : FWalkOver(std::move(WalkOver))
    {
        Pane->installEventFilter(this);
    }
    int Keys = 0, KeysAfterWalk = 0;

protected:
    bool eventFilter(QObject*, QEvent* E) override
    {
        if (E->type() == QEvent::KeyPress) {
            ++Keys;
            KeysAfterWalk += FWalkOver() ? 1 : 0;
        }
        return false;
    }

private:
    std::function<bool()> FWalkOver;
};

TEST_F(LongToolWalks, SigtermDuringFindMatchingKeepsTheDraftAtOnce)
{
    Main().InsertText(Braces());
    Main().Cursor->SetPos({0, 0});
    ShowMatchPairsDlg();
    TMatchPairsDlg& D = MatchPairsDlg();
    D.PairsComboChange(1);
    ASSERT_EQ(::raise(SIGTERM), 0);
    D.MatchBtnClick();
    // Handled inside the walk, not after it.
    EXPECT_EQ(D.StatusDis->text(), "Stopped");
    EXPECT_FALSE(Form->isVisible());
    EXPECT_EQ(FilesIn(Path("BackupFiles")).size(), 1u);
    EXPECT_TRUE(Boxes.Asked.empty());
}

TEST_F(LongToolWalks, CtrlBreakInTheMainWindowStopsFileDetails)
{
    Main().InsertText(Braces());
    ShowDetailsDlg();
    TDetailsDlg& D = DetailsDlg();
    QTimer::singleShot(0, Form.get(), [this] {
        QKeyEvent Break(QEvent::KeyPress, Qt::Key_Pause, Qt::ControlModifier);
        QCoreApplication::sendEvent(Form->MainEditor, &Break);
    });
    EXPECT_FALSE(D.AnalyzeText(false));
    EXPECT_LT(D.Counts.Lines, Main().Strings->Count());
    // The key was the walk's: the next command line runs.
    EXPECT_FALSE(BreakFlag);
}

// A click in the text stops Find Matching where it stands and leaves the cursor
// and the view where the click put them; a key stops it and is typed once the walk
// is over, where the user sees the cursor.
TEST_F(LongToolWalks, ClickOrKeyStopsFindMatchingAndActsAfterIt)
{
    Main().InsertText(Braces());
    ShowMatchPairsDlg();
    TMatchPairsDlg& D = MatchPairsDlg();
    D.PairsComboChange(1);
    TKeyWatch Watch(Form->MainEditor, [&D] { return D.MatchBtn->isEnabled(); });

    Main().Cursor->SetPos({0, 0});
    QTimer::singleShot(0, Form.get(), [this] {
        QTest::mouseClick(Form->MainEditor->viewport(), Qt::LeftButton, {}, testing::CellCenter(Main(), 1, 5));
    });
    D.MatchBtnClick();
    Pump([this] { return Main().Cursor->Pos() == TPoint{1, 5}; }, 2000);
    EXPECT_EQ(D.StatusDis->text(), "Stopped");
    EXPECT_EQ(Main().Cursor->Pos(), (TPoint{1, 5}));
    EXPECT_EQ(Main().TopLine, 0);

    Main().Cursor->SetPos({0, 0});
    Form->MainEditor->setFocus();
    QTimer::singleShot(0, Form.get(), [this] { QTest::keyClick(Form->MainEditor, Qt::Key_Q); });
    D.MatchBtnClick();
    Pump([&Watch] { return Watch.Keys > 0; }, 2000);
    EXPECT_EQ(D.StatusDis->text(), "Stopped");
    EXPECT_EQ(Watch.KeysAfterWalk, 1);
    // The begin the walk started from stood highlighted: the key took its place.
    EXPECT_EQ((*Main().Strings)[0], "q{}");
    EXPECT_EQ(Main().Cursor->Pos(), (TPoint{1, 0}));
}

// A walk over a large text shows "Working" and the wait cursor while it runs, and
// the message that stood before once it has found what it looked for.
TEST_F(LongToolWalks, LongWalksShowTheyWork)
{
    Main().InsertText(ManyBraces());
    Main().Cursor->SetPos({0, 0});
    ShowOk();
    ShowMatchPairsDlg();
    TMatchPairsDlg& D = MatchPairsDlg();
    D.PairsComboChange(1);
    std::string Shown;
    bool Waiting = false;
    auto Look = [&] {
        Shown = Text(Form->StatusDis);
        Waiting = WaitCursorShown();
    };
    QTimer::singleShot(0, Form.get(), Look);
    D.MatchBtnClick();
    EXPECT_EQ(D.StatusDis->text(), "Match Found");
    EXPECT_EQ(Shown, " Working");
    EXPECT_TRUE(Waiting);
    EXPECT_EQ(Text(Form->StatusDis), " Ok");
    EXPECT_FALSE(WaitCursorShown());

    Shown.clear();
    Waiting = false;
    ShowDetailsDlg();
    QTimer::singleShot(0, Form.get(), Look);
    EXPECT_TRUE(DetailsDlg().AnalyzeText(false));
    EXPECT_EQ(Shown, " Working");
    EXPECT_TRUE(Waiting);
    EXPECT_FALSE(WaitCursorShown());
}

// Ctrl+Break in Analyze File: "Stopped" in the report and on the status line, and
// no counts of part of the text reported as the file's. The window's own tabs are
// used meanwhile without stopping the count.
TEST_F(LongToolWalks, StoppedAnalysisSaysSoAndReportsNoCounts)
{
    Main().InsertText(Braces());
    ShowDetailsDlg();
    TDetailsDlg& D = DetailsDlg();
    D.PageControl->setCurrentIndex(0);
    QTimer::singleShot(0, Form.get(), [this, &D] {
        QTabBar* Tabs = D.PageControl->tabBar();
        QTest::mouseClick(Tabs, Qt::LeftButton, {}, Tabs->tabRect(2).center());
        Break(Form->MainEditor);
    });
    EXPECT_FALSE(D.AnalyzeText(false));
    EXPECT_EQ(D.PageControl->currentIndex(), 2);
    const QString Report = D.CountReport->toPlainText();
    EXPECT_TRUE(Report.endsWith("Stopped")) << Report.toStdString();
    EXPECT_FALSE(Report.contains("Words: ")) << Report.toStdString();
    EXPECT_EQ(Text(Form->StatusDis), " Stopped");
}

// The spelling walk after Ignore All shows "Working", and Ctrl+Break or the dialog's
// Cancel stops it: no "Finished Spell Checking", "Stopped" on the status line, the
// dialog gone and the cursor where it was.
TEST_F(LongToolWalks, SpellingWalkShowsItWorksAndStops)
{
    Write("words.dix", "cat\r\nthe\r\n");
    Write("NrvDictionary.ini", "[Files]\nDictionary=" + Path("words.dix") + "\n");
    std::string Words = "teh ";
    while (static_cast<std::int64_t>(Words.size()) < TToolWalk::LongWalkBytes)
        Words += "the cat\n";
    enum { ByBreak, ByCancel };
    for (const int By : {ByBreak, ByCancel}) {
        SCOPED_TRACE(By);
        Main().SetText(Words);
        Main().GotoPos(TPoint{0, 0});
        SpellCheckNext();
        TSpellingDlg* Dlg = SpellingDlg();
        ASSERT_TRUE(Dlg->isVisible());
        ASSERT_EQ(Dlg->NotFoundEdit->text(), "teh");
        std::string Shown;
        bool Waiting = false;
        QTimer::singleShot(0, Form.get(), [&] {
            Shown = Text(Form->StatusDis);
            Waiting = WaitCursorShown();
            if (By == ByBreak)
                Break(Form->MainEditor);
            else
                QTest::mouseClick(Dlg->CancelBtn, Qt::LeftButton);
        });
        Dlg->IgnoreAllBtnClick();
        QCoreApplication::processEvents();
        EXPECT_EQ(Shown, " Working");
        EXPECT_TRUE(Waiting);
        EXPECT_TRUE(Boxes.Asked.empty()) << LastAsked();
        EXPECT_FALSE(Dlg->isVisible());
        EXPECT_EQ(Text(Form->StatusDis), " Stopped");
        EXPECT_EQ(Main().Cursor->Pos(), (TPoint{3, 0}));
        SpellChecker->ClearIgnoreList();
    }
}

// Insert Line Marks on a large highlight shows "Working" and the wait cursor while
// it changes the text.
TEST_F(LongToolWalks, InsertLineMarksShowsItWorks)
{
    Main().InsertText(ManyBraces());
    Main().SelectAll();
    std::string Shown;
    bool Waiting = false;
    const std::function<void()> WindowHook = Main().OnChange;
    Main().OnChange = [&] {
        if (Shown.empty()) {
            Shown = Text(Form->StatusDis);
            Waiting = WaitCursorShown();
        }
        if (WindowHook)
            WindowHook();
    };
    Trigger("InsertMarksMnu");
    Main().OnChange = WindowHook;
    EXPECT_EQ((*Main().Strings)[1], "> {}");
    EXPECT_EQ(Shown, " Working");
    EXPECT_TRUE(Waiting);
    EXPECT_FALSE(WaitCursorShown());
}

// The tool windows' Apply and the Enclose Text entries on a large highlight show
// "Working" and the wait cursor while they change the text.
TEST_F(LongToolWalks, ToolTransformsShowTheyWork)
{
    const std::vector<std::pair<const char*, std::function<void()>>> Tools = {
        {"Change Case",
         [] {
             CaseDlg().SetMode(TCaseMode::Toggle);
             CaseDlg().ApplyBtnClick();
         }},
        {"Block Indent", [] { IndentDlg().ApplyBtnClick(); }},
        {"Enclose Text", [this] { Trigger("Braces1"); }},
    };
    CreateSmallToolForms();
    std::string Lines;
    while (static_cast<std::int64_t>(Lines.size()) < TToolWalk::LongWalkBytes)
        Lines += "ab\n";
    Main().InsertText(Lines);
    const std::function<void()> WindowHook = Main().OnChange;
    std::string Shown;
    bool Waiting = false;
    Main().OnChange = [&] {
        if (Shown.empty()) {
            Shown = Text(Form->StatusDis);
            Waiting = WaitCursorShown();
        }
        if (WindowHook)
            WindowHook();
    };
    for (const auto& [Name, Apply] : Tools) {
        SCOPED_TRACE(Name);
        Main().SelectAll();
        Shown.clear();
        Waiting = false;
        Apply();
        EXPECT_EQ(Shown, " Working");
        EXPECT_TRUE(Waiting);
        EXPECT_FALSE(WaitCursorShown());
    }
    Main().OnChange = WindowHook;
    FreeCaseDlg();
    FreeIndentDlg();
}

// Replace All from the Replace dialog on a large text shows "Working" and the wait
// cursor while it changes the text.
TEST_F(LongToolWalks, ReplaceAllShowsItWorks)
{
    Main().InsertText(ManyBraces());
    Main().Cursor->SetPos({0, 0});
    std::string Shown;
    bool Waiting = false;
    const std::function<void()> WindowHook = Main().OnChange;
    Main().OnChange = [&] {
        if (Shown.empty()) {
            Shown = Text(Form->StatusDis);
            Waiting = WaitCursorShown();
        }
        if (WindowHook)
            WindowHook();
    };
    Form->Menus->ReplaceMnuClick();
    TFindReplaceDialog& D = *Form->Menus->FindDialog();
    D.FindEdit->setText("{}");
    D.ReplaceEdit->setText("()");
    D.ReplaceAllClick();
    Main().OnChange = WindowHook;
    EXPECT_EQ((*Main().Strings)[1], "()");
    EXPECT_EQ(Shown, " Working");
    EXPECT_TRUE(Waiting);
    EXPECT_FALSE(WaitCursorShown());
    D.close();
}

}  // namespace
}  // namespace narvo
