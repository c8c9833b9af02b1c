// The lists the settings file keeps (recent files, user tools, favourites) read and
// written by the started window under one rule each: a damaged count reads no entry
// past the keys that are there, and a name holding a line break is left out of any of
// them, and out of the editor settings, with one box saying which.
#include "AppWindowFixture.h"

#include "app/SmallTools.h"
#include "components/RecentFiles.h"
#include "platform/posix/IniFile.h"
#include "tools/ExternalPrograms.h"
#include "tools/Favorites.h"

#include <QCoreApplication>

namespace narvo {
namespace {

class SettingsLists : public AppWindowFixture {
protected:
    void Start()
    {
        Form.reset();
        InstallProgramModules();
        Form = std::make_unique<TForm1>(std::vector<std::string>{});
        CreateStartupForms();
        Form->show();
        // The first activation (settings, user tools) is queued by show.
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    void TearDown() override
    {
        FreeStartupForms();
        AppWindowFixture::TearDown();
    }
};

TEST_F(SettingsLists, EveryListReadsNoEntryPastItsKeys)
{
    Write("a.txt", "a");
    Write("Narvo.ini", "[FileHistory]\nCount=2000000000\nPath0=" + Path("a.txt") +
                           "\n[Transfer]\nCount=2000000000\nTitle0=Tool\nPath0=/bin/true\nDOSPath0=0\nTitle1=Half\n"
                           "[Favorites]\nCount=7\nItem0=/x\nItem1=/y\n");
    Start();
    EXPECT_EQ(ReopenMenu().Paths(), std::vector<std::string>{Path("a.txt")});
    ASSERT_NE(ExternalDlg(), nullptr);
    ASSERT_EQ(ExternalDlg()->ProgramCount(), 2) << "an entry with some of its keys stays, none past them";
    std::string Title, Program;
    bool Dos = true;
    ASSERT_TRUE(ExternalDlg()->GetProgram(1, Title, Program, Dos));
    EXPECT_EQ(Title, "Half");
    EXPECT_EQ(Program, "");
    EXPECT_FALSE(Dos);
    ASSERT_NE(FavoritesDlg(), nullptr);
    EXPECT_EQ(FavoritesDlg()->FavoritesList, (std::vector<std::string>{"/x", "/y"}));
    EXPECT_TRUE(Errors.empty());
}

TEST_F(SettingsLists, ANameHoldingALineBreakIsLeftOutOfEveryListAndSaid)
{
    Start();
    const auto SaidOnce = [&](const char* What, const std::string& Name) {
        ASSERT_EQ(Boxes.Asked.size(), 1u) << What;
        EXPECT_NE(LastAsked().find("\"" + Name + "\" is not kept in " + What), std::string::npos) << LastAsked();
        EXPECT_NE(LastAsked().find("line break"), std::string::npos) << LastAsked();
        Boxes.Asked.clear();
    };

    // User tools: the command is not stored as another one (with a blank for the break).
    ExternalDlg()->AddProgram("Good", "/bin/true", false);
    ExternalDlg()->AddProgram("Odd", "/bin/tr\nue", false);
    ExternalDlg()->SaveProgramList();
    SaidOnce("the user tools", "/bin/tr\nue");
    EXPECT_EQ(TIniFile("Narvo.ini").ReadInteger("Transfer", "Count", -1), 1);
    EXPECT_EQ(TIniFile("Narvo.ini").ReadString("Transfer", "Path0", ""), "/bin/true");
    EXPECT_EQ(ExternalDlg()->ProgramCount(), 1) << "the list shows what the file holds";

    FavoritesDlg()->AddFavorite("/f.txt");
    FavoritesDlg()->AddFavorite("/n\nl.txt");
    SaidOnce("the favourites", "/n\nl.txt");
    EXPECT_EQ(TIniFile("Narvo.ini").ReadString("Favorites", "Item0", ""), "/f.txt");

    Write("n\nl.txt", "x");
    ReopenMenu().AddFile(Path("n\nl.txt"));
    ReopenMenu().SaveToIni();
    SaidOnce("the recent files", Path("n\nl.txt"));

    MacroFolder = "/m\nf";
    SaveSettings();
    SaidOnce("the settings", "/m\nf");
    EXPECT_NE(TIniFile("Narvo.ini").ReadString("Transfer", "Path0", ""), "") << "the other sections stay";
    EXPECT_TRUE(Errors.empty());
}

}  // namespace
}  // namespace narvo
