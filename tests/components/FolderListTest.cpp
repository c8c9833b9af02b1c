// The folder list: filling and its orders, column sorts with their per-column
// directions, refresh with the selected row kept, type-ahead, bad roots, automatic
// refresh from the notifier; and the trash that deletions go to.
#include "components/FolderList.h"

#include "components/FolderTestHelpers.h"
#include "platform/Application.h"
#include "support/TempFolder.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace narvo {
namespace {

using testing::WaitFor;
using testing::WriteFile;

std::vector<std::string> Names(const TFolderList& L)
{
    std::vector<std::string> Out;
    for (int I = 0; I < L.Count(); ++I)
        Out.push_back(L.Folders(I).DisplayName());
    return Out;
}

class FolderListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSortDirections();
        D = T.path().toStdString();
        QDir(T.path()).mkdir("sub");
        WriteFile(D + "/b.txt", 300, 1600000100);
        WriteFile(D + "/a.txt", 10, 1600000200);
        WriteFile(D + "/C.txt", 200, 1600000000);
        WriteFile(D + "/.hidden", 1);
        L.SetRoot(D);
    }
    QTemporaryDir T;
    std::string D;
    TFolderList L;
};

using V = std::vector<std::string>;

TEST_F(FolderListTest, FillsFoldersFirstAndByKind)
{
    EXPECT_EQ(Names(L), (V {"sub", "a.txt", "b.txt", "C.txt"}));
    EXPECT_EQ(L.RootFolder()->PathName(), D);
    L.SetObjectTypes(otNonFolders);
    EXPECT_EQ(Names(L), (V {"a.txt", "b.txt", "C.txt"}));
    L.SetObjectTypes(otNonFolders | otHidden);
    EXPECT_EQ(L.Count(), 4);
    L.SetObjectTypes(otFolders);
    EXPECT_EQ(Names(L), (V {"sub"}));
    L.OnAddFolder = [](TShellFolder& F, bool& CanAdd) { CanAdd = F.DisplayName() != "b.txt"; };
    L.SetObjectTypes(otNonFolders);
    EXPECT_EQ(Names(L), (V {"a.txt", "C.txt"}));
    EXPECT_THROW(L.Folders(2), std::out_of_range);
    EXPECT_THROW(L.Folders(-1), std::out_of_range);
}

TEST_F(FolderListTest, ColumnSortsToggleEachColumnOnItsOwn)
{
    L.SetObjectTypes(otNonFolders);
    const struct {
        int Column;
        V Expected;
    } Steps[] = {
        {0, {"a.txt", "b.txt", "C.txt"}},  // name, ascending
        {0, {"C.txt", "b.txt", "a.txt"}},  // again: descending
        {1, {"a.txt", "C.txt", "b.txt"}},  // size: first click ascending whatever column 0 says
        {3, {"C.txt", "b.txt", "a.txt"}},  // modified, ascending
        {3, {"a.txt", "b.txt", "C.txt"}},  // descending
        {0, {"a.txt", "b.txt", "C.txt"}},  // name's third click: ascending again
        {1, {"b.txt", "C.txt", "a.txt"}},  // size's second click: descending
    };
    for (const auto& S : Steps) {
        L.SortByColumn(S.Column);
        EXPECT_EQ(Names(L), S.Expected) << "column " << S.Column;
    }
    EXPECT_EQ(L.Folders(0).Size(), 300);
    L.Refresh();  // a refill gives the name order again
    EXPECT_EQ(Names(L), (V {"a.txt", "b.txt", "C.txt"}));
}

TEST_F(FolderListTest, RefreshReadsTheFolderAndKeepsTheSelectedRow)
{
    L.SelectRow(3);
    WriteFile(D + "/0.txt", 1);
    L.Refresh();
    EXPECT_EQ(Names(L), (V {"sub", "0.txt", "a.txt", "b.txt", "C.txt"}));
    EXPECT_EQ(L.SelectedIndex(), 4);  // C.txt, moved down by the new file
    std::remove((D + "/C.txt").c_str());
    std::remove((D + "/b.txt").c_str());
    L.SelectRow(4);
    L.Refresh();  // the row is gone: nothing selected
    EXPECT_EQ(L.Count(), 3);
    EXPECT_EQ(L.SelectedIndex(), -1);
    EXPECT_EQ(L.SelectedFolder(), nullptr);
}

TEST_F(FolderListTest, F5AndSortsKeepTheSelectionAndTheCurrentRowOnTheChosenFiles)
{
    int Told = 0;
    L.OnSelectItem = [&] { ++Told; };
    L.SelectRow(2);         // b.txt
    L.SelectRow(3, false);  // C.txt
    L.selectionModel()->setCurrentIndex(L.model()->index(1, 0), QItemSelectionModel::NoUpdate);  // a.txt
    WriteFile(D + "/0.txt", 1);
    WriteFile(D + "/Z.txt", 1);
    QTest::keyClick(&L, Qt::Key_F5);
    ASSERT_EQ(Names(L), (V {"sub", "0.txt", "a.txt", "b.txt", "C.txt", "Z.txt"}));
    EXPECT_EQ(L.SelectedRows(), (std::vector<int> {3, 4}));
    EXPECT_EQ(L.currentIndex().row(), 2);
    EXPECT_EQ(L.SelectedFolder()->DisplayName(), "b.txt");

    // A chosen file gone meanwhile is no longer selected, and the listener hears it.
    std::remove((D + "/b.txt").c_str());
    std::remove((D + "/a.txt").c_str());
    Told = 0;
    QTest::keyClick(&L, Qt::Key_F5);
    EXPECT_EQ(L.SelectedRows(), (std::vector<int> {2}));
    EXPECT_EQ(L.SelectedFolder()->DisplayName(), "C.txt");
    EXPECT_EQ(L.currentIndex().row(), 2) << "the current row goes to the selection when its file is gone";
    EXPECT_GE(Told, 1);

    // A sort moves the rows, not the selection.
    L.SortByColumn(1);  // size ascending: Z.txt, 0.txt, C.txt; the folder has no size
    EXPECT_EQ(L.SelectedFolder()->DisplayName(), "C.txt");
    L.SortByColumn(1);
    EXPECT_EQ(L.SelectedFolder()->DisplayName(), "C.txt");
    EXPECT_EQ(L.SelectedRows().size(), 1u);

    std::remove((D + "/C.txt").c_str());
    Told = 0;
    L.Refresh();
    EXPECT_TRUE(L.SelectedRows().empty());
    EXPECT_EQ(L.SelectedFolder(), nullptr);
    EXPECT_EQ(Told, 1) << "the selection emptied is told once";
}

TEST_F(FolderListTest, TypeAheadFindsByPrefixAndWraps)
{
    // Rows: sub, a.txt, b.txt, C.txt
    const struct {
        const char* Text;
        int Start;
        bool Wrap;
        int Expected;
    } Cases[] = {
        {"S", 3, true, 0},   // from the last row, wrapping to the first
        {"S", 3, false, -1}, // no wrap: stops after the last row
        {"c", 3, true, 3},   // the start row itself, ASCII case ignored
        {"B.T", 0, true, 2},
        {"zz", 1, true, -1},
        {"a", 2, true, 1},   // back round to before the start
    };
    for (const auto& C : Cases)
        EXPECT_EQ(L.FindItem(C.Text, C.Start, C.Wrap), C.Expected) << C.Text << " from " << C.Start;
}

TEST_F(FolderListTest, BadRootKeepsTheFolderAndNavigationMoves)
{
    try {
        L.SetRoot(D + "/missing");
        FAIL() << "no error";
    } catch (const std::runtime_error& E) {
        EXPECT_EQ(std::string(E.what()), "Error setting path: \"" + D + "/missing\"");
    }
    EXPECT_EQ(L.Root(), D);
    EXPECT_EQ(L.Count(), 4);
    EXPECT_THROW(L.SetRoot("rfNetwork"), std::runtime_error);
    EXPECT_THROW(L.SetRoot(""), std::runtime_error);
    L.SetPath(D + "/sub");
    EXPECT_EQ(L.Count(), 0);
    EXPECT_EQ(L.Root(), D);  // navigation leaves the root text
    L.GoUp();
    EXPECT_EQ(L.RootFolder()->PathName(), D);
    L.SetPath("/");
    L.GoUp();
    EXPECT_EQ(L.RootFolder()->PathName(), "/");
}

TEST_F(FolderListTest, AutoRefreshFollowsTheFolder)
{
    L.SetAutoRefresh(true);
    ASSERT_NE(L.Notifier(), nullptr);
    EXPECT_FALSE(L.Notifier()->WatchSubTree());
    ASSERT_TRUE(WaitFor([&] { return testing::Watched(D); }));
    WriteFile(D + "/new.txt", 1);
    EXPECT_TRUE(WaitFor([&] { return L.Count() == 5; }));
    // The refresh made a new notifier (the old one has closed its watch); it watches too.
    ASSERT_TRUE(WaitFor([&] { return testing::Watched(D); }));
    WriteFile(D + "/newer.txt", 1);
    EXPECT_TRUE(WaitFor([&] { return L.Count() == 6; }));
    L.SetAutoRefresh(false);
    EXPECT_EQ(L.Notifier(), nullptr);
}

TEST_F(FolderListTest, RenameInPlaceRefusesClashes)
{
    std::string Reported;
    const TExceptionReporter Old = SetExceptionReporter([&](const std::string& M) { Reported = M; });
    QAbstractItemModel* M = L.model();
    EXPECT_TRUE(M->setData(M->index(1, 0), "renamed.txt"));
    EXPECT_EQ(L.Folders(1).PathName(), D + "/renamed.txt");
    EXPECT_FALSE(M->setData(M->index(1, 0), "b.txt"));
    EXPECT_EQ(Reported, "Rename to b.txt failed");
    EXPECT_FALSE(M->setData(M->index(1, 0), "x/y"));
    EXPECT_EQ(L.Folders(1).DisplayName(), "renamed.txt");
    SetExceptionReporter(Old);
}

TEST_F(FolderListTest, RenameKeepsTheBytesTheUserDidNotEdit)
{
    // Latin-1 names under UTF-8 show U+FFFD: an unchanged text renames nothing, and an
    // edit keeps the bytes on either side of it.
    WriteFile(D + "/d\xE9.txt", 1);
    WriteFile(D + "/caf\xE9.txt", 1);
    WriteFile(D + "/d\xEF\xBF\xBD.txt", 1);  // taken: a rename to it would fail
    L.Refresh();
    const auto Row = [&](const std::string& Name) {
        for (int I = 0; I < L.Count(); ++I)
            if (L.Folders(I).DisplayName() == Name)
                return I;
        return -1;
    };
    QAbstractItemModel* M = L.model();
    const int D1 = Row("d\xE9.txt");
    ASSERT_GE(D1, 0);
    EXPECT_FALSE(M->setData(M->index(D1, 0), M->data(M->index(D1, 0))));
    EXPECT_EQ(L.Folders(D1).DisplayName(), "d\xE9.txt");
    const int C1 = Row("caf\xE9.txt");
    EXPECT_TRUE(M->setData(M->index(C1, 0), M->data(M->index(C1, 0)).toString() + "2"));
    EXPECT_EQ(L.Folders(C1).DisplayName(), "caf\xE9.txt2");
    EXPECT_TRUE(QFile::exists(QFile::decodeName(QByteArray::fromStdString(D)) + "/") &&
                ::access((D + "/caf\xE9.txt2").c_str(), F_OK) == 0);
    EXPECT_TRUE(M->setData(M->index(C1, 0), "X" + M->data(M->index(C1, 0)).toString().mid(1)));
    EXPECT_EQ(L.Folders(C1).DisplayName(), "Xaf\xE9.txt2");
}

// --- the trash -----------------------------------------------------------------------------

std::string ReadAll(const std::string& Path)
{
    std::ifstream In(Path);
    std::stringstream S;
    S << In.rdbuf();
    return S.str();
}

TEST(TrashTest, MovesFilesIntoTheHomeTrashWithTheirRecords)
{
    QTemporaryDir T;
    const std::string D = T.path().toStdString();
    const test::TEnvGuard Data("XDG_DATA_HOME", D + "/data");
    EXPECT_EQ(HomeTrashFolder(), D + "/data/Trash");
    const std::string Trash = D + "/data/Trash";

    QDir(T.path()).mkdir("one");
    QDir(T.path()).mkdir("two");
    WriteFile(D + "/one/my file.txt", 3);
    WriteFile(D + "/two/my file.txt", 4);
    std::string Error;
    ASSERT_TRUE(MoveToTrash(D + "/one/my file.txt", Error)) << Error;
    ASSERT_TRUE(MoveToTrash(D + "/two/my file.txt", Error)) << Error;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(D + "/one/my file.txt")));
    EXPECT_EQ(ReadAll(Trash + "/files/my file.txt"), "xxx");
    EXPECT_EQ(ReadAll(Trash + "/files/my file.2.txt"), "xxxx");
    const std::string Info = ReadAll(Trash + "/info/my file.2.txt.trashinfo");
    EXPECT_EQ(Info.rfind("[Trash Info]\nPath=" + D + "/two/my%20file.txt\nDeletionDate=", 0), 0u) << Info;
    EXPECT_EQ(Info.back(), '\n');

    EXPECT_FALSE(MoveToTrash(D + "/one/gone.txt", Error));
    EXPECT_NE(Error.find("gone.txt"), std::string::npos);
}

// A name near the 255-byte limit still goes to the trash: its record, which adds
// ".trashinfo", is given a shortened name (the record keeps the whole path).
TEST(TrashTest, LongNamesGoToTheTrashToo)
{
    QTemporaryDir T;
    const std::string D = T.path().toStdString();
    const test::TEnvGuard Data("XDG_DATA_HOME", D + "/data");
    const std::string Trash = D + "/data/Trash";
    const std::string Stem(251, 'q');
    std::string Error;
    for (const int Size : {5, 6}) {
        WriteFile(D + "/" + Stem + ".txt", Size);
        ASSERT_TRUE(MoveToTrash(D + "/" + Stem + ".txt", Error)) << Error;
    }
    EXPECT_EQ(ReadAll(Trash + "/files/" + Stem.substr(0, 241) + ".txt"), "xxxxx");
    EXPECT_EQ(ReadAll(Trash + "/files/" + Stem.substr(0, 239) + ".2.txt"), "xxxxxx");
    const std::string Info = ReadAll(Trash + "/info/" + Stem.substr(0, 239) + ".2.txt.trashinfo");
    EXPECT_EQ(Info.rfind("[Trash Info]\nPath=" + D + "/" + Stem + ".txt\n", 0), 0u) << Info;
}

}  // namespace
}  // namespace narvo
