// The tool windows' long walks over the text in the real main window: SIGTERM
// arriving while Find Matching runs is handled at once (the drafts written, the
// window closed, the walk stopped), and Ctrl+Break pressed in the main window stops
// File Details without leaving the command language's break flag set.
#include "PanesFixture.h"

#include "app/ToolHost.h"
#include "tools/FileDetails.h"
#include "tools/MatchPairs.h"
#include "tools/TextToolHooks.h"
#include "tools/ToolWalk.h"

#include <QKeyEvent>
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

}  // namespace
}  // namespace narvo
