// The recent-files submenu: order, duplicates, the limit, MustExist, captions, the
// ini section with a clamped count, a huge list, clicks and a destroyed submenu.
#include "components/RecentFiles.h"

#include "platform/MessageBoxes.h"
#include "platform/posix/IniFile.h"
#include "support/TempFolder.h"

#include <QAction>
#include <QMenu>
#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>
#include <memory>

namespace narvo {
namespace {

class RecentFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int I = 1; I <= 10; ++I)
            std::ofstream(File(I)) << I;
        R.SetMenuItem(&Menu);
        R.INIFile = "narvo.ini";
        R.INISection = "FileHistory";
        R.Limit = 8;
    }
    std::string File(int I) const { return Folder + "/f" + std::to_string(I) + ".txt"; }
    std::string Text(int I) const { return Menu.actions().at(I)->text().toStdString(); }

    test::TTempFolder Dir;
    const std::string Folder = Dir.Path();
    test::TEnvGuard Config{"NARVO_CONFIG_DIR", Folder};
    QMenu Menu;
    TReopenMenu R;
    TScriptedMessageBoxes Boxes;
};

TEST_F(RecentFiles, MostRecentFirstWithoutDuplicatesCutToTheLimit)
{
    for (int I = 1; I <= 9; ++I)
        R.AddFile(File(I));
    ASSERT_EQ(R.Paths().size(), 8u);
    EXPECT_EQ(R.Paths().front(), File(9));
    EXPECT_EQ(R.Paths().back(), File(2));  // the oldest was pushed out
    R.AddFile(File(5));
    EXPECT_EQ(R.Paths().front(), File(5));
    EXPECT_EQ(R.Paths().size(), 8u);
    EXPECT_EQ(Menu.actions().size(), 8);
    EXPECT_EQ(Text(0), "&1 f5.txt");
    EXPECT_EQ(Text(2), "&3 f8.txt");
    R.AddFile(Folder + "/missing.txt");  // MustExist
    EXPECT_EQ(R.Paths().front(), File(5));
    // Names differing in case are different files here.
    std::ofstream(Folder + "/F5.txt") << 5;
    R.AddFile(Folder + "/F5.txt");
    EXPECT_EQ(R.Paths()[1], File(5));

    // Captions double an ampersand and follow ShowPath and NumberItems.
    std::ofstream(Folder + "/a&b.txt") << 1;
    R.AddFile(Folder + "/a&b.txt");
    EXPECT_EQ(R.Caption(0), "&1 a&&b.txt");
    R.ShowPath = true;
    R.NumberItems = false;
    EXPECT_EQ(R.Caption(0), Folder + "/a&&b.txt");
}

TEST_F(RecentFiles, IniRoundTripAndClampedCount)
{
    for (int I = 1; I <= 3; ++I)
        R.AddFile(File(I));
    R.SaveToIni();
    TReopenMenu Other;
    QMenu OtherMenu;
    Other.SetMenuItem(&OtherMenu);
    Other.INIFile = "Narvo.ini";  // the same file
    Other.INISection = "FileHistory";
    Other.LoadFromIni();
    EXPECT_EQ(Other.Paths(), R.Paths());

    {
        TIniFile Ini("narvo.ini");
        Ini.EraseSection("FileHistory");
        Ini.WriteInteger("FileHistory", "Count", 2000000000);
        for (int I = 0; I < 12; ++I)
            Ini.WriteString("FileHistory", "Path" + std::to_string(I), I == 4 ? "" : Folder + "/g" + std::to_string(I));
        Ini.UpdateFile();
    }
    R.LoadFromIni();
    EXPECT_EQ(R.Paths().size(), 12u);  // not cut to the limit until the next AddFile
    EXPECT_EQ(R.Paths()[4], "");
    EXPECT_EQ(R.Caption(4), "&5 ");
    R.AddFile(File(10));
    EXPECT_EQ(R.Paths().size(), 8u);
    {
        TIniFile Ini("narvo.ini");
        Ini.WriteInteger("FileHistory", "Count", -3);
        Ini.UpdateFile();
    }
    R.LoadFromIni();
    EXPECT_TRUE(R.Paths().empty());
}

TEST_F(RecentFiles, AHugeListLoadsWholeButTheSubmenuShowsItsHead)
{
    // 40,000 entries, every path twice: a path met again keeps its later place.
    constexpr int N = 40000;
    {
        TIniFile Ini("Narvo.ini");
        Ini.WriteInteger("FileHistory", "Count", N);
        for (int I = 0; I < N; ++I)
            Ini.WriteString("FileHistory", "Path" + std::to_string(I), Folder + "/h" + std::to_string(I % (N / 2)));
        Ini.UpdateFile();
    }
    R.LoadFromIni();
    ASSERT_EQ(R.Paths().size(), static_cast<std::size_t>(N / 2));
    EXPECT_EQ(R.Paths().front(), Folder + "/h0");
    EXPECT_EQ(R.Paths().back(), Folder + "/h19999");
    EXPECT_EQ(R.ShownCount(), static_cast<std::size_t>(TReopenMenu::MaxShownItems));
    ASSERT_EQ(Menu.actions().size(), TReopenMenu::MaxShownItems);
    EXPECT_EQ(Text(29), "&30 h29");

    // The items keep clear of the submenu's other entries, and a click still reports.
    QAction* Other = Menu.addAction("other");
    std::string Clicked;
    R.OnMenuClick = [&](QObject*, const std::string& P) { Clicked = P; };
    Menu.actions().at(2)->trigger();
    EXPECT_EQ(Clicked, Folder + "/h2");
    // The next file cuts the list to the limit; the other entry stays last.
    R.AddFile(File(1));
    EXPECT_EQ(R.Paths().size(), 8u);
    ASSERT_EQ(Menu.actions().size(), 9);
    EXPECT_EQ(Menu.actions().back(), Other);
    EXPECT_EQ(Text(0), "&1 f1.txt");
    EXPECT_EQ(Text(7), "&8 h6");
    // A list within the limit shows whole again when reloaded, before the other entry.
    R.Limit = 40;
    R.LoadFromIni();
    ASSERT_EQ(Menu.actions().size(), 41);
    EXPECT_EQ(Menu.actions().back(), Other);
    EXPECT_EQ(Text(39), "&40 h39");
}

TEST_F(RecentFiles, ClickReportsThePathAndMovesItUp)
{
    R.UpdateOnClick = true;
    for (int I = 1; I <= 3; ++I)
        R.AddFile(File(I));
    std::string Clicked;
    R.OnMenuClick = [&](QObject*, const std::string& P) { Clicked = P; };
    Menu.actions().at(2)->trigger();
    EXPECT_EQ(Clicked, File(1));
    EXPECT_EQ(R.Paths().front(), File(1));
    // A deleted file is still reported and keeps its place.
    std::remove(File(2).c_str());
    const std::vector<std::string> Before = R.Paths();
    Menu.actions().at(2)->trigger();
    EXPECT_EQ(Clicked, File(2));
    EXPECT_EQ(R.Paths(), Before);
}

TEST_F(RecentFiles, ClearHistoryAndADestroyedMenu)
{
    R.AddFile(File(1));
    R.SaveToIni();
    R.ClearHistory();
    EXPECT_FALSE(TIniFile("narvo.ini").SectionExists("FileHistory"));
    EXPECT_EQ(R.Paths().size(), 1u);  // the submenu keeps its items
    auto Owned = std::make_unique<QMenu>();
    R.SetMenuItem(Owned.get());
    R.AddFile(File(2));
    Owned.reset();
    EXPECT_EQ(R.MenuItem(), nullptr);
    R.AddFile(File(3));  // ignored, no crash
    R.LoadFromIni();
}

// Two windows on one settings folder: each opens a file; the list keeps both. A name
// the file cannot hold is left out and said; a read-only file is left alone.
TEST_F(RecentFiles, TwoWindowsKeepEachOthersFilesAndTheListIsWrittenWhole)
{
    TReopenMenu B;
    QMenu BMenu;
    B.SetMenuItem(&BMenu);
    B.INIFile = "Narvo.ini";
    B.INISection = "FileHistory";
    B.Limit = 8;
    R.LoadFromIni();
    B.LoadFromIni();
    R.AddFile(File(1));
    R.SaveToIni();
    B.AddFile(File(2));
    B.SaveToIni();
    EXPECT_EQ(B.Paths(), (std::vector<std::string>{File(2), File(1)}));
    R.AddFile(File(3));
    R.SaveToIni();
    EXPECT_EQ(R.Paths(), (std::vector<std::string>{File(3), File(2), File(1)}));

    const std::string Odd = Folder + "/n\nl.txt";
    std::ofstream(Odd) << 1;
    R.AddFile(Odd);
    R.SaveToIni();
    ASSERT_EQ(Boxes.Asked.size(), 1u);
    EXPECT_NE(Boxes.Asked[0].Text.find("line break"), std::string::npos);
    TReopenMenu C;
    QMenu CMenu;
    C.SetMenuItem(&CMenu);
    C.INIFile = "Narvo.ini";
    C.INISection = "FileHistory";
    C.LoadFromIni();
    EXPECT_EQ(C.Paths(), (std::vector<std::string>{File(3), File(2), File(1)}));

    const std::string Ini = Folder + "/narvo.ini";
    const std::string Before = test::GetFile(Ini);
    ASSERT_EQ(chmod(Ini.c_str(), 0444), 0);
    B.AddFile(File(4));
    B.SaveToIni();
    EXPECT_EQ(test::GetFile(Ini), Before);
}

}  // namespace
}  // namespace narvo
