// A lone Alt+click leaves the pane in column-block mode with nothing highlighted, and
// Alt held on a press starts that mode. Whatever highlights a stream of text then
// (a double click in the gutter, the word search key, the case toggle at the
// cursor, pair matching's return to the last location) must end that mode, or the
// next delete, overwrite or toggle acts on a rectangle of the lines. Driven through
// the real main window with real mouse and key events.
#include "AppWindowFixture.h"

#include "app/ToolHost.h"
#include "editor/EditorTestHelpers.h"
#include "tools/MatchPairs.h"
#include "tools/TextToolHooks.h"

#include <QTest>
#include <functional>

namespace narvo {
namespace {

class StreamHighlight : public AppWindowFixture {
protected:
    void SetUp() override
    {
        AppWindowFixture::SetUp();
        InstallTextTools();
        Form->resize(700, 400);
        Form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    }
    void TearDown() override
    {
        FreeMatchPairsDlg();
        SetToolHost(nullptr);
        AppWindowFixture::TearDown();
    }
    TScrollEditor& E() const { return *Form->MainEditor; }
    QWidget* View() const { return Form->MainEditor->viewport(); }
    // A lone Alt+click: column-block mode with nothing highlighted.
    void AltClick(std::int64_t Column, std::int64_t Row)
    {
        QTest::mouseClick(View(), Qt::LeftButton, Qt::AltModifier, testing::CellCenter(E(), Column, Row));
        ASSERT_TRUE(E().Cursor->ColumnBlock);
        ASSERT_FALSE(E().HasMark());
    }
    // The events a double click brings a widget: the second press comes as a plain
    // press and then as the double click.
    void GutterDoubleClick(std::int64_t Row, Qt::KeyboardModifiers M)
    {
        const QPoint P(2, testing::CellCenter(E(), 0, Row).y());
        QTest::mousePress(View(), Qt::LeftButton, M, P);
        QTest::mouseRelease(View(), Qt::LeftButton, M, P);
        QTest::mousePress(View(), Qt::LeftButton, M, P);
        QTest::mouseDClick(View(), Qt::LeftButton, M, P);
        QTest::mouseRelease(View(), Qt::LeftButton, M, P);
    }
    void Key(Qt::Key K, Qt::KeyboardModifiers M = {}) { QTest::keyClick(Form->MainEditor, K, M); }
    void Mark(TPoint From, TPoint To)
    {
        E().HighLight->StartPos = From;
        E().HighLight->EndPos = To;
        E().Cursor->SetPos(To);
    }
};

TEST_F(StreamHighlight, EveryStreamHighlightEndsColumnBlockMode)
{
    struct TRow {
        const char* Name;
        const char* Text;
        std::function<void()> Act;
        const char* Expected;
        TPoint Cursor;
    };
    const TRow Rows[] = {
        {"Alt+double click in the gutter marks the line; typed over in overwrite mode", "abc\ndef",
         [&] {
             E().Overwrite = true;
             GutterDoubleClick(0, Qt::AltModifier);
             QTest::keyClicks(Form->MainEditor, "X");
         },
         "X\ndef", {1, 0}},
        {"Alt+click on a word, then Ctrl+F10 searches for the word", "cat dog\ncat dog",
         [&] {
             AltClick(1, 0);
             Key(Qt::Key_F10, Qt::ControlModifier);
         },
         "cat dog\ncat dog", {3, 1}},
        {"Alt+click past the line end, then Ctrl+Z toggles the line break there", "abc\ndefgh",
         [&] {
             AltClick(6, 0);
             Key(Qt::Key_Z, Qt::ControlModifier);
         },
         "abc\ndefgh", {0, 1}},
        {"pair matching goes back to a highlight saved before an Alt+click; Delete", "(a\nbc)\nxyz",
         [&] {
             Mark({0, 0}, {2, 1});
             MatchPairsDlg().FindNextBtnClick();
             AltClick(1, 2);
             MatchPairsDlg().GoLastLocBtmClick();
             Key(Qt::Key_Delete);
         },
         ")\nxyz", {0, 0}},
    };
    for (const TRow& R : Rows) {
        SCOPED_TRACE(R.Name);
        E().Overwrite = false;
        E().SetText(R.Text);
        E().ClearMark();
        E().Cursor->SetPos({0, 0});
        E().setFocus();
        R.Act();
        EXPECT_EQ(E().GetText(), R.Expected);
        EXPECT_EQ(E().Cursor->Pos(), R.Cursor);
        E().Overwrite = false;
    }
}

TEST_F(StreamHighlight, PairMatchingGoesBackToASavedColumnBlockAsABlock)
{
    // The walk's cursor steps end column-block mode; the saved block comes back as
    // a block all the same, so Delete takes its columns only.
    E().SetText("xabcx\nydefy\nzghiz");
    Mark({1, 0}, {3, 2});
    E().Cursor->ColumnBlock = true;
    MatchPairsDlg().FindNextBtnClick();
    EXPECT_FALSE(E().Cursor->ColumnBlock);
    MatchPairsDlg().GoLastLocBtmClick();
    Key(Qt::Key_Delete);
    EXPECT_EQ(E().GetText(), "xcx\nyfy\nziz");
    E().Undo();
    EXPECT_EQ(E().GetText(), "xabcx\nydefy\nzghiz");
}

}  // namespace
}  // namespace narvo
