// Favourites: the settings section's round trip (stale keys of a longer list stay
// and are never read, a damaged Count), the grid's rows, and the dialog's moves,
// deletes, inserts and open.
#include "tools/Favorites.h"

#include "platform/MessageBoxes.h"
#include "platform/posix/IniFile.h"
#include "support/TempFolder.h"

#include <QTableWidget>
#include <gtest/gtest.h>

#include <fstream>

namespace narvo {
namespace {

class FavoritesTest : public ::testing::Test {
protected:
    TFavoritesHooks Hooks()
    {
        TFavoritesHooks H;
        H.Load = [this] { return ReadFavorites(TIniFile(Ini)); };
        H.Save = [this](const std::vector<std::string>& L) {
            TIniFile F(Ini);
            WriteFavorites(F, L);
        };
        H.OpenTextFile = [this](const std::string& N) {
            Opened.push_back(N);
            return false;
        };
        H.CurrentFileName = [this] { return Current; };
        return H;
    }
    std::vector<std::string> Stored() const { return ReadFavorites(TIniFile(Ini)); }

    test::TTempFolder Dir;
    const std::string Ini = Dir / "Narvo.ini";
    std::string Current;
    std::vector<std::string> Opened;
};

TEST_F(FavoritesTest, RoundTripThroughTheSettingsFile)
{
    const std::vector<std::string> Five{"/a/1", "/a/2", "/b/3", "/b/3", "/c/5"};
    {
        TIniFile F(Ini);
        WriteFavorites(F, Five);
    }
    EXPECT_EQ(Stored(), Five);
    {
        TIniFile F(Ini);
        WriteFavorites(F, {"/x", "/y", "/z"});
    }
    const TIniFile F(Ini);
    EXPECT_EQ(F.ReadInteger(FavoritesSection, "Count", -1), 3);
    EXPECT_EQ(F.ReadString(FavoritesSection, "Item4", ""), "/c/5");  // left, never read
    EXPECT_EQ(Stored(), (std::vector<std::string>{"/x", "/y", "/z"}));

    // A damaged count reads no further than the keys that are there.
    std::ofstream(Ini) << "[Favorites]\nCount=2000000000\nItem0=/only\n";
    EXPECT_EQ(Stored(), std::vector<std::string>{"/only"});  // "Count" itself is no entry
    std::ofstream(Ini) << "[Favorites]\nCount=-4\nItem0=/only\n";
    EXPECT_TRUE(Stored().empty());
}

TEST_F(FavoritesTest, GridRowsMovesDeletesAndInserts)
{
    TFavoritesDlg D(Hooks());
    D.InsertBtnClick();  // no document name: nothing
    EXPECT_TRUE(D.FavoritesList.empty());
    Current = "/w/doc.txt";
    D.InsertBtnClick();
    D.InsertBtnClick();  // the same file twice gives two entries
    D.AddFavorite("/w/other.txt");
    EXPECT_EQ(Stored(), (std::vector<std::string>{"/w/doc.txt", "/w/doc.txt", "/w/other.txt"}));
    EXPECT_EQ(D.FavoritesGrid->item(2, 1)->text(), "other.txt");
    EXPECT_EQ(D.FavoritesGrid->item(2, 1)->toolTip(), "/w/other.txt");

    D.SelectEntry(2);
    D.MoveUpBtnClick();
    EXPECT_EQ(D.Selected(), 1);
    D.MoveUpBtnClick();
    D.MoveUpBtnClick();  // at the top: nothing
    EXPECT_EQ(D.Selected(), 0);
    EXPECT_EQ(Stored().front(), "/w/other.txt");
    for (int I = 0; I < 5; ++I)
        D.MoveDnBtnClick();  // stops at the last entry
    EXPECT_EQ(D.Selected(), 2);
    EXPECT_EQ(Stored().back(), "/w/other.txt");
    D.SelectEntry(5);  // a blank row
    D.DeleteBtnClick();
    EXPECT_EQ(Stored().size(), 3u);
    D.SelectEntry(0);
    D.DeleteBtnClick();
    EXPECT_EQ(Stored(), (std::vector<std::string>{"/w/doc.txt", "/w/other.txt"}));

    // A fresh dialog reads what was saved; opening keeps the entry.
    TFavoritesDlg Again(Hooks());
    EXPECT_EQ(Again.FavoritesList, Stored());
    Again.SelectEntry(1);
    Again.FavoritesGridDblClick();
    EXPECT_EQ(Opened, (std::vector<std::string>{"/w/other.txt"}));
    EXPECT_EQ(Again.FavoritesList.size(), 2u);
}

// Two windows on one settings folder: each one's additions and removals are made on
// the list as the file holds it, and a name the file cannot hold is left out (said).
TEST_F(FavoritesTest, TwoWindowsKeepEachOthersEntries)
{
    TScriptedMessageBoxes Boxes;
    TFavoritesDlg A(Hooks()), B(Hooks());
    A.AddFavorite("/f1.txt");
    B.AddFavorite("/f2.txt");
    EXPECT_EQ(Stored(), (std::vector<std::string>{"/f2.txt", "/f1.txt"}));
    EXPECT_EQ(B.FavoritesList, Stored());
    A.AddFavorite("/f3.txt");
    EXPECT_EQ(A.FavoritesList, (std::vector<std::string>{"/f1.txt", "/f3.txt", "/f2.txt"}));
    A.SelectEntry(0);
    A.DeleteBtnClick();
    EXPECT_EQ(Stored(), (std::vector<std::string>{"/f3.txt", "/f2.txt"}));
    EXPECT_TRUE(Boxes.Asked.empty());

    B.AddFavorite("/n\nl.txt");
    ASSERT_EQ(Boxes.Asked.size(), 1u);
    EXPECT_NE(Boxes.Asked[0].Text.find("line break"), std::string::npos);
    EXPECT_EQ(Stored(), (std::vector<std::string>{"/f2.txt", "/f3.txt"}));  // in B's order
    EXPECT_EQ(TIniFile(Ini).ReadInteger(FavoritesSection, "Count", -1), 2);
}

}  // namespace
}  // namespace narvo
