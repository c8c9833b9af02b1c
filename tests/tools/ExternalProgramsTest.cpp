// The user tools: % code expansion and splitting into arguments, the Transfer
// section round trip with the User menu, and runs whose exit code moves the cursor.
#include "tools/ExternalPrograms.h"

#include "components/Progmon.h"
#include "engine/EditorEngine.h"
#include "platform/MessageBoxes.h"
#include "platform/posix/IniFile.h"
#include "support/TempFolder.h"
#include "tools/TextToolHooks.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

namespace narvo {
namespace {

using Words = std::vector<std::string>;

TEST(ExpandCommand, Codes)
{
    struct Case {
        const char* Template;
        const char* Name;
        const char* Text;
        Words Args;
        bool Save, Goto;
    };
    const Case Cases[] = {
        {"TCC %W -O%O", "/src/Main.PAS", "TCC /src/Main.PAS -O/src/Main", {"TCC", "/src/Main.PAS", "-O/src/Main"}, false,
         false},
        {"cat %f %f", "/a/b.txt", "cat b.txt %f", {"cat", "b.txt", "%f"}, false, false},
        {"run %S%L %p|%n|%e", "/x/y", "run  /x/|y|", {"run", "/x/|y|"}, true, true},
        {"ed %n|%e", "/h/.bashrc", "ed .bashrc|", {"ed", ".bashrc|"}, false, false},
        {"ed %n|%e", "/h/notes.", "ed notes|", {"ed", "notes|"}, false, false},
        {"wc %w %f", "/my docs/a file.txt", "wc /my docs/a file.txt a file.txt", {"wc", "/my docs/a file.txt", "a file.txt"},
         false, false},
        // A name holding a code is data: it is never expanded again.
        {"x %w %n", "/t/a%n.txt", "x /t/a%n.txt a%n", {"x", "/t/a%n.txt", "a%n"}, false, false},
        {"\"/opt/my tool\" -f %f", "/a/say \"hi\".c", "\"/opt/my tool\" -f say \"hi\".c",
         {"/opt/my tool", "-f", "say \"hi\".c"}, false, false},
        {"p \"%w\" %s", "/a b/c", "p \"/a b/c\" ", {"p", "/a b/c"}, true, false},
        {"ls %p %o %e", "", "ls   ", {"ls"}, false, false},
        {"", "/a", "", {}, false, false},
    };
    for (const Case& C : Cases) {
        const TExpandedCommand E = ExpandCommand(C.Template, C.Name);
        EXPECT_EQ(E.Text, C.Text) << C.Template;
        EXPECT_EQ(E.Words, C.Args) << C.Template;
        EXPECT_EQ(E.SaveFirst, C.Save) << C.Template;
        EXPECT_EQ(E.GotoLine, C.Goto) << C.Template;
    }
}

TEST(ExpandCommand, SystemFileName)
{
    QTemporaryDir Dir;
    const std::string Folder = Dir.path().toStdString();
    std::ofstream(Folder + "/a b.txt") << "x";
    EXPECT_EQ(SystemFileName(Folder + "/./a b.txt"), SystemFileName(Folder) + "/a b.txt");
    EXPECT_EQ(SystemFileName(Folder + "/missing.txt"), "");
    EXPECT_EQ(SystemFileName(""), "");
}

// The main window's side of the user tools: a file name, saves counted, and the
// returned line given to a model.
struct TRunHost : TToolHost {
    TEditorEngine* Pane = nullptr;
    std::string FileName;
    int Saves = 0;
    std::string CurrentFileName() override { return FileName; }
    bool SaveIfModified() override
    {
        ++Saves;
        return true;
    }
    void GotoLine(std::int64_t N) override
    {
        if (Pane)
            Pane->GotoLine(N);
    }
};

class UserToolsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Dir.isValid());
        SetToolHost(&Host);
    }
    void TearDown() override { SetToolHost(nullptr); }
    std::string Script(const std::string& Name, const std::string& Body)
    {
        const std::string Path = Folder + "/" + Name;
        std::ofstream(Path) << "#!/bin/sh\n" << Body << "\n";
        ::chmod(Path.c_str(), 0755);
        return Path;
    }
    QTemporaryDir Dir;
    const std::string Folder = Dir.path().toStdString();
    test::TEnvGuard Config{"NARVO_CONFIG_DIR", Folder};
    TRunHost Host;
};

TEST_F(UserToolsTest, TransferSectionRoundTripAndMenu)
{
    {
        TIniFile Ini("Narvo.ini");
        Ini.WriteString("Flags", "Keep", "1");
        Ini.WriteString("Transfer", "Title7", "stale");
        Ini.UpdateFile();
    }
    const std::string Long(100, 'p');
    TExternalDlg Saved;
    Saved.InitExternalPrograms(nullptr, 0, "Narvo.ini", "Transfer");
    EXPECT_EQ(Saved.ProgramCount(), 0);
    Saved.AddProgram("&Compile", "cc %w", false);
    Saved.AddProgram("Long", Long, true);
    Saved.AddProgram("", "", false);  // empty fields are kept
    Saved.SaveProgramList();

    const TIniFile Ini("Narvo.ini");
    EXPECT_EQ(Ini.ReadString("Flags", "Keep", ""), "1");
    EXPECT_EQ(Ini.ReadInteger("Transfer", "Count", -1), 3);
    EXPECT_FALSE(Ini.ValueExists("Transfer", "Title7"));
    EXPECT_EQ(Ini.ReadString("Transfer", "DOSPath1", ""), "1");

    QMenu User;
    User.addAction("fixed");
    TExternalDlg Loaded;
    Loaded.InitExternalPrograms(&User, 1, "Narvo.ini", "Transfer");
    ASSERT_EQ(Loaded.ProgramCount(), 3);
    std::string Title, Path;
    bool Dos = false;
    ASSERT_TRUE(Loaded.GetProgram(1, Title, Path, Dos));
    EXPECT_EQ(Title, "Long");
    EXPECT_EQ(Path, Long.substr(0, MaxProgramPathLength));
    EXPECT_TRUE(Dos);
    ASSERT_EQ(User.actions().size(), 4);
    EXPECT_EQ(User.actions()[0]->text(), "fixed");
    EXPECT_EQ(User.actions()[1]->text(), "Compile");  // no mnemonic takes keys from the panes
    // Rebuilding replaces the program items only.
    Loaded.BuildUserMenu();
    EXPECT_EQ(User.actions().size(), 4);
}

// Two windows on one settings folder each add a tool and press OK: both tools stay,
// and a window shows the other's after its own OK.
TEST_F(UserToolsTest, TwoWindowsKeepEachOthersTools)
{
    QMenu MenuA, MenuB;
    TExternalDlg A, B;
    A.InitExternalPrograms(&MenuA, 0, "Narvo.ini", "Transfer");
    B.InitExternalPrograms(&MenuB, 0, "Narvo.ini", "Transfer");
    A.AddProgram("ToolA", "a %w", false);
    A.SaveProgramList();
    B.AddProgram("ToolB", "b %w", true);
    B.SaveProgramList();
    ASSERT_EQ(MenuB.actions().size(), 2);
    EXPECT_EQ(MenuB.actions()[1]->text(), "ToolA");
    A.ProgramList->clear();  // A deletes its tool
    A.SaveProgramList();
    TExternalDlg C;
    C.InitExternalPrograms(nullptr, 0, "Narvo.ini", "Transfer");
    ASSERT_EQ(C.ProgramCount(), 1);
    std::string Title, Path;
    bool Dos = false;
    C.GetProgram(0, Title, Path, Dos);
    EXPECT_EQ(Title, "ToolB");
    EXPECT_TRUE(Dos);

    // A settings file made read-only is written only after Yes.
    const std::string Ini = Folder + "/Narvo.ini", Before = test::GetFile(Ini);
    ASSERT_EQ(::chmod(Ini.c_str(), 0444), 0);
    TScriptedMessageBoxes Boxes({mrNo});
    C.AddProgram("ToolC", "c", false);
    C.SaveProgramList();
    ASSERT_EQ(Boxes.Asked.size(), 1u);
    EXPECT_EQ(Boxes.Asked[0].Text, ReadOnlyQuestion);
    EXPECT_EQ(test::GetFile(Ini), Before);
}

TEST_F(UserToolsTest, EditingTheList)
{
    TExternalDlg D;
    D.AddProgram("a", "x", false);
    D.AddProgram("b", "y", false);
    D.AddBtnClick();  // "Add" then "Done" with an empty field removes the new entry
    EXPECT_TRUE(D.Editing());
    D.DoneBtnClick();
    EXPECT_FALSE(D.Editing());
    EXPECT_EQ(D.ProgramCount(), 2);
    D.ProgramList->setCurrentRow(1);
    D.MoveUpBtnClick();
    std::string T, P;
    bool Dos = false;
    D.GetProgram(0, T, P, Dos);
    EXPECT_EQ(T, "b");
    EXPECT_EQ(D.ProgramList->currentRow(), 0);
    D.EditListClick();
    D.TitleEdit->setText("bb");
    D.DoneBtnClick();
    D.GetProgram(0, T, P, Dos);
    EXPECT_EQ(T, "bb");
    EXPECT_EQ(P, "y");

    // A path that is not UTF-8 keeps its bytes when only the title is edited.
    D.AddProgram("c", "/opt/caf\xE9/run %w", false);
    D.ProgramList->setCurrentRow(2);
    D.EditListClick();
    D.TitleEdit->setText("cc");
    D.DoneBtnClick();
    D.GetProgram(2, T, P, Dos);
    EXPECT_EQ(P, "/opt/caf\xE9/run %w");
}

TEST_F(UserToolsTest, EnterInTheItemEditorIsOk)
{
    TExternalDlg D;
    D.AddProgram("a", "x", false);
    D.show();
    D.AddBtnClick();
    D.TitleEdit->setText("b");
    D.PathEdit->setText("y");
    QTest::keyClick(D.PathEdit, Qt::Key_Return);
    EXPECT_EQ(D.result(), QDialog::Accepted);
    EXPECT_FALSE(D.isVisible());
    EXPECT_EQ(D.ProgramCount(), 2);  // no other program added
}

TEST_F(UserToolsTest, RunsMoveTheCursorToTheReturnedLine)
{
    TEditorEngine Pane;
    Pane.SetText("0\r1\r2\r3\r4\r5\r");
    Host.Pane = &Pane;
    Host.FileName = Folder + "/my file.txt";
    int& Saves = Host.Saves;
    const std::string Three = Script("three", "exit 3");
    const std::string Count = Script("count args", "exit $#");

    QMenu User;
    TExternalDlg D;
    D.InitExternalPrograms(&User, 0, "Narvo.ini", "Transfer");
    D.AddProgram("true", "/bin/true %L", false);
    D.AddProgram("three", Three + " %l %s", false);
    D.AddProgram("three, no %l", Three, false);
    D.AddProgram("count", "\"" + Count + "\" %w %l", false);
    D.AddProgram("missing", Folder + "/no-such-program %l", false);
    D.BuildUserMenu();

    const auto Run = [&](int Index) { User.actions()[Index]->trigger(); };
    Pane.GotoLine(5);
    Run(0);
    EXPECT_EQ(Pane.Cursor->Y, 0);
    Run(1);
    EXPECT_EQ(Pane.Cursor->Y, 3);
    EXPECT_EQ(Saves, 1);
    Pane.GotoLine(5);
    Run(2);
    EXPECT_EQ(Pane.Cursor->Y, 5);
    Run(3);  // the name with a blank is one argument
    EXPECT_EQ(Pane.Cursor->Y, 1);
    Run(4);  // a failed start moves nothing and does not report the old exit code
    EXPECT_EQ(Pane.Cursor->Y, 1);

    const QStringList Log = D.ComMemo->toPlainText().split('\n');
    ASSERT_EQ(Log.size(), 10);
    EXPECT_EQ(Log[0], "Command: /bin/true ");
    EXPECT_EQ(Log[1], "Return: 0");
    EXPECT_EQ(Log[3], "Return: 3");
    EXPECT_EQ(Log[6], QString::fromStdString("Command: \"" + Count + "\" " + Folder + "/my file.txt "));
    EXPECT_TRUE(Log[9].startsWith("Return: not started")) << Log[9].toStdString();
    D.ClearBtnClick();
    EXPECT_TRUE(D.ComMemo->toPlainText().isEmpty());
}

}  // namespace
}  // namespace narvo
