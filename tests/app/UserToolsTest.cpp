// The user tools and the clipboard viewer in the running window: the forms made at
// start-up, the User menu filled from the Transfer section at the first
// activation, and a menu item whose exit code moves the main pane's cursor.
#include "app/UserTools.h"

#include "app/MainWindowMenus.h"
#include "app/ToolHost.h"
#include "AppWindowFixture.h"
#include "tools/ClipFormatDialog.h"
#include "tools/ExternalPrograms.h"
#include "tools/TextToolHooks.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <sys/stat.h>

namespace narvo {
namespace {

class UserToolsTest : public AppWindowFixture {};

TEST_F(UserToolsTest, UserMenuRunsAToolThatMovesTheCursor)
{
    Write("three", "#!/bin/sh\nexit 3\n");
    ::chmod(Path("three").c_str(), 0755);
    Write("Narvo.ini", "[Transfer]\nCount=1\nTitle0=Three\nPath0=" + Path("three") + " %l\nDOSPath0=0\n");
    InstallTextTools();
    CreateUserToolForms();
    ASSERT_NE(ExternalDlg(), nullptr);
    ASSERT_NE(ClipFormatDlg(), nullptr);

    LoadExternalPrograms();
    const QList<QAction*> Items = Form->Menus->UserMnu->actions();
    ASSERT_EQ(Items.size(), 1);
    EXPECT_EQ(Items[0]->text(), "Three");
    Main().SetText("0\r1\r2\r3\r4\r");
    Main().GotoLine(4);
    Items[0]->trigger();
    EXPECT_EQ(Main().Cursor->Y, 3);

    FreeUserToolForms();
    EXPECT_EQ(ExternalDlg(), nullptr);
    EXPECT_TRUE(Form->Menus->UserMnu->actions().isEmpty());
    SetToolHost(nullptr);
}

TEST_F(UserToolsTest, ASaveFirstToolSeesTheNameJustSavedAndRunsOnlyAfterTheSave)
{
    // The tool writes its arguments into "args".
    Write("tool.sh", "#!/bin/sh\necho \"$@\" > " + Path("args") + "\n");
    ::chmod(Path("tool.sh").c_str(), 0755);
    Write("Narvo.ini", "[Transfer]\nCount=1\nTitle0=Tool\nPath0=" + Path("tool.sh") + " %s%w\nDOSPath0=0\n");
    InstallTextTools();
    CreateUserToolForms();
    LoadExternalPrograms();
    QAction* Tool = Form->Menus->UserMnu->actions().value(0);
    ASSERT_NE(Tool, nullptr);
    Main().SetText("text\r");
    Main().SetModified(true);

    // Save As cancelled: the untitled text stays unsaved and the tool does not run.
    Dialogs.Answers = {std::nullopt};
    Tool->trigger();
    EXPECT_FALSE(Exists("args"));
    EXPECT_TRUE(ExternalDlg()->ComMemo->toPlainText().contains("not started (the text was not saved)"));

    // A save that fails (the folder refuses the new file) does not run it either.
    Dialogs.Answers = {Path("named.txt")};
    SetFileFaultHook([](TFileStep Step, const std::string&) { return Step == TFileStep::CreateTemp ? ENOSPC : 0; });
    Tool->trigger();
    SetFileFaultHook({});
    EXPECT_FALSE(Exists("args"));
    EXPECT_FALSE(Exists("named.txt"));

    // Saved under a name: the tool gets that name.
    Dialogs.Answers = {Path("named.txt")};
    Tool->trigger();
    EXPECT_EQ(Read("args"), Path("named.txt") + "\n");
    EXPECT_TRUE(Exists("named.txt"));

    FreeUserToolForms();
    SetToolHost(nullptr);
}

// Clicks the title of Menu in the window's menu bar and runs the events; true when
// the menu then shows on the screen (its window mapped, not only marked visible).
bool ClickTitleShows(TForm1& F, QMenu* Menu)
{
    QMenuBar* Bar = F.menuBar();
    QTest::mouseClick(Bar, Qt::LeftButton, {}, Bar->actionGeometry(Menu->menuAction()).center());
    QCoreApplication::processEvents();
    const bool Shown = Menu->isVisible() && Menu->windowHandle() && Menu->windowHandle()->isVisible();
    if (QWidget* Popup = QApplication::activePopupWidget())
        Popup->close();
    QCoreApplication::processEvents();
    return Shown;
}

TEST_F(UserToolsTest, TheUserMenuOpensWithTheToolsAddedAfterItWasClickedEmpty)
{
    InstallTextTools();
    CreateUserToolForms();
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    LoadExternalPrograms();
    QMenu* User = Form->Menus->UserMnu;
    ASSERT_TRUE(User->actions().isEmpty());
    EXPECT_FALSE(ClickTitleShows(*Form, User)) << "nothing drops down while there is no tool";

    // Tools > Add User Tools..., one tool, OK.
    TExternalDlg* Dlg = ExternalDlg();
    Dlg->AddProgram("Echo", "echo %f", false);
    QTimer::singleShot(0, Dlg, [Dlg] { Dlg->OKBtn->click(); });
    Dlg->EditExternalPrograms();
    ASSERT_EQ(User->actions().size(), 1);
    EXPECT_TRUE(ClickTitleShows(*Form, User));
    EXPECT_TRUE(ClickTitleShows(*Form, User)) << "and again";

    FreeUserToolForms();
    SetToolHost(nullptr);
}

TEST_F(UserToolsTest, ViewerPasteKeepsTheLinesOfAnyLineEnd)
{
    // The viewer's Paste button, through the program's own host.
    InstallTextTools();
    CreateClipFormatDlg(Form.get());
    ClipFormatDlg()->Memo1->setPlainText(QStringLiteral("one\ntwo\r\nthree\rfour"));
    ClipFormatDlg()->PasteBtnClick();
    EXPECT_EQ(Main().Strings->JoinLines('|'), "one|two|three|four");
    FreeClipFormatDlg();
    SetToolHost(nullptr);
}

}  // namespace
}  // namespace narvo
