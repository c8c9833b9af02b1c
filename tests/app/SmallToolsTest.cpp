// The small tools in the window: box-drawing keys and the style field, the
// favourites reaching "Narvo.ini", Enclose Text on the active pane and the about
// box's panel showing the Debug menu.
#include "app/SmallTools.h"

#include "app/KeyRouting.h"
#include "app/MainWindowMenus.h"
#include "AppWindowFixture.h"
#include "components/AutoButton.h"
#include "editor/ScrollEditor.h"
#include "platform/posix/IniFile.h"
#include "tools/AboutBox.h"
#include "tools/Favorites.h"

#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <sys/stat.h>

namespace narvo {
namespace {

class SmallToolsTest : public AppWindowFixture {
protected:
    void SetUp() override
    {
        AppWindowFixture::SetUp();
        CreateSmallToolForms();
    }
    void TearDown() override
    {
        BoxStyle = 0;
        AppWindowFixture::TearDown();
    }
};

TEST_F(SmallToolsTest, BoxStylesTypeLineCharactersAndShowTheCross)
{
    Main().SetText("");
    EXPECT_FALSE(TypeBoxDrawingChar(Main(), '7'));  // style 0: off
    for (int I = 0; I < 4; ++I)
        NextBoxDrawingStyle();
    EXPECT_EQ(BoxStyle, 4);
    EXPECT_EQ(Form->BoxCharDis->text(), QString(QChar(0x256C)));  // the double cross
    for (char K : {'7', '8', '9'})
        EXPECT_TRUE(TypeBoxDrawingChar(Main(), K));
    EXPECT_FALSE(TypeBoxDrawingChar(Main(), 'a'));
    EXPECT_EQ(Main().GetText(), "\xC9\xCB\xBB");
    NextBoxDrawingStyle();
    EXPECT_EQ(BoxStyle, 0);
    EXPECT_EQ(Form->BoxCharDis->text(), " ");
}

TEST_F(SmallToolsTest, FavouritesEncloseAndAboutBox)
{
    Trigger("CurrentFileToFavorites1");  // untitled: nothing kept
    CurrentFileName = Path("notes.txt");
    Trigger("CurrentFileToFavorites1");
    const TIniFile Ini("Narvo.ini");
    EXPECT_EQ(Ini.ReadInteger("Favorites", "Count", 0), 1);
    EXPECT_EQ(Ini.ReadString("Favorites", "Item0", ""), Path("notes.txt"));

    Main().SetText("x");
    Main().SelectAll();
    Form->EncloseBtn->Click();  // the dialog starts with double quotes
    EXPECT_EQ(Main().GetText(), "\"x\"");
    Main().SelectAll();
    Trigger("Parenthesis1");
    EXPECT_EQ(Main().GetText(), "(\"x\")");

    EXPECT_FALSE(Form->Menus->DebugMnu->menuAction()->isVisible());
    AboutBox()->Panel1Click();
    EXPECT_TRUE(Form->Menus->DebugMnu->menuAction()->isVisible());
}

// A settings file made read-only: adding a favourite asks the question the
// document's Save asks, and No leaves the file as it was.
TEST_F(SmallToolsTest, AFavouriteReachesAReadOnlySettingsFileOnlyAfterYes)
{
    Write("Narvo.ini", "[Favorites]\nCount=0\n");
    ASSERT_EQ(chmod(Path("Narvo.ini").c_str(), 0444), 0);
    CurrentFileName = Path("notes.txt");
    Boxes.Answers = {mrNo};
    Trigger("CurrentFileToFavorites1");
    EXPECT_EQ(LastAsked(), ReadOnlyQuestion);
    EXPECT_EQ(Read("Narvo.ini"), "[Favorites]\nCount=0\n");
    Boxes.Answers = {mrYes};
    CurrentFileName = Path("more.txt");
    Trigger("CurrentFileToFavorites1");
    EXPECT_EQ(ReadFavorites(TIniFile("Narvo.ini")), (std::vector<std::string>{Path("notes.txt"), Path("more.txt")}));
}

TEST_F(SmallToolsTest, EncloseAndSortFromTheMenusActOnAColumnBlockInPlace)
{
    auto Trigger = [&](const char* Name) {
        QAction* A = Form->findChild<QAction*>(QString::fromLatin1(Name));
        ASSERT_NE(A, nullptr) << Name;
        A->trigger();
    };
    auto MarkBlock = [&] {
        Main().HighLight->StartPos = TPoint{1, 0};
        Main().HighLight->EndPos = TPoint{3, 2};
        Main().Cursor->ColumnBlock = true;
    };
    Main().SetText("xcc1\nybb2\nzaa3");
    MarkBlock();
    Trigger("Parenthesis1");
    EXPECT_EQ(Main().GetText(), "x(cc)1\ny(bb)2\nz(aa)3");
    Main().Undo();
    EXPECT_EQ(Main().GetText(), "xcc1\nybb2\nzaa3");
    MarkBlock();
    Trigger("SortHighlightedMnu");
    EXPECT_EQ(Main().GetText(), "xaa1\nybb2\nzcc3");
    Main().Undo();
    EXPECT_EQ(Main().GetText(), "xcc1\nybb2\nzaa3");
}

// Records what the status line paints and whether the wait cursor is up then.
class TStatusPaints : public QObject {
public:
    std::vector<std::pair<QString, bool>> Seen;
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::Paint) {
            const QCursor* C = QGuiApplication::overrideCursor();
            Seen.emplace_back(static_cast<QLabel*>(Watched)->text(), C && C->shape() == Qt::WaitCursor);
        }
        return false;
    }
};

TEST_F(SmallToolsTest, AnOperationOnALargeHighlightShowsThatItIsWorking)
{
    // The window takes no event while it runs: "Working" and the wait cursor are
    // painted before it starts, and the cursor is back after it.
    std::string Text;
    for (int I = 0; Text.size() < (5u << 20); ++I)
        Text += "line " + std::to_string(I * 7919 % 100003) + " of the text\r\n";
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    ASSERT_TRUE(Form->StatusDis->isVisible());
    TStatusPaints Paints;
    Form->StatusDis->installEventFilter(&Paints);
    for (const char* Name : {"SortHighlightedMnu", "CopyasTHML1"}) {
        SCOPED_TRACE(Name);
        Main().SetText(Text);
        Main().SelectAll();
        Paints.Seen.clear();
        Trigger(Name);
        EXPECT_NE(std::find(Paints.Seen.begin(), Paints.Seen.end(), std::pair{QStringLiteral(" Working"), true}),
                  Paints.Seen.end());
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_NE(Form->StatusDis->text(), QStringLiteral(" Working"));
    }
    // A small highlight shows nothing of the kind.
    Main().SetText("b\r\na\r\n");
    Main().SelectAll();
    Paints.Seen.clear();
    Trigger("SortHighlightedMnu");
    EXPECT_TRUE(Paints.Seen.empty() || Paints.Seen.front().first != QStringLiteral(" Working"));
    Form->StatusDis->removeEventFilter(&Paints);
}

}  // namespace
}  // namespace narvo
