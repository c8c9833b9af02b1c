// The folder tree and the folder combo box, alone and linked to a folder list:
// expand marks by object types, finding a folder by expanding the way down, the
// combo box's indented chain, and the linked views following each other.
#include "components/FolderCombo.h"
#include "components/FolderList.h"
#include "components/FolderTree.h"

#include "components/FolderTestHelpers.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace narvo {
namespace {

using testing::WriteFile;

class FolderTreeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        D = T.path().toStdString();
        QDir(T.path()).mkpath("sub/deeper/deepest");
        QDir(T.path()).mkdir("onlyfiles");
        WriteFile(D + "/onlyfiles/f.txt", 1);
        WriteFile(D + "/sub/deeper/g.txt", 1);
        WriteFile(D + "/a.txt", 1);
    }
    QTemporaryDir T;
    std::string D;
};

TEST_F(FolderTreeTest, ExpandMarksFollowTheObjectTypes)
{
    TFolderTree Tree;
    Tree.SetRoot(D);
    ASSERT_EQ(Tree.topLevelItemCount(), 1);
    QTreeWidgetItem* Root = Tree.topLevelItem(0);
    EXPECT_TRUE(Root->isExpanded());
    ASSERT_EQ(Root->childCount(), 2);  // folders only
    EXPECT_EQ(Root->child(0)->text(0).toStdString(), "onlyfiles");
    EXPECT_EQ(Root->child(0)->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicator);
    EXPECT_EQ(Root->child(1)->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);

    Tree.SetObjectTypes(otFolders | otNonFolders);
    Root = Tree.topLevelItem(0);
    ASSERT_EQ(Root->childCount(), 3);  // folders first, then the file
    EXPECT_EQ(Root->child(0)->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    EXPECT_EQ(Root->child(2)->text(0).toStdString(), "a.txt");

    EXPECT_THROW(Tree.SetRoot(D + "/none"), std::runtime_error);
    EXPECT_EQ(Tree.Root(), D);
}

TEST_F(FolderTreeTest, SetPathExpandsTheWayDownAndRefreshKeepsIt)
{
    TFolderTree Tree;
    Tree.SetRoot(D);
    Tree.SetPath(D + "/sub/deeper/deepest");
    ASSERT_NE(Tree.SelectedFolder(), nullptr);
    EXPECT_EQ(Tree.SelectedFolder()->PathName(), D + "/sub/deeper/deepest");
    Tree.SetPath("/elsewhere");  // outside the root: nothing changes
    EXPECT_EQ(Tree.SelectedFolder()->PathName(), D + "/sub/deeper/deepest");

    Tree.SetPath(D + "/sub");
    QDir(T.path()).mkdir("sub/new");
    Tree.RefreshSelected();
    QTreeWidgetItem* Sub = Tree.FindNode(D + "/sub");
    ASSERT_NE(Sub, nullptr);
    EXPECT_EQ(Sub->childCount(), 2);
    EXPECT_NE(Tree.FindNode(D + "/sub/new"), nullptr);
    EXPECT_EQ(Tree.SelectedFolder()->PathName(), D + "/sub");
}

TEST_F(FolderTreeTest, ComboBoxInsertsTheIndentedChain)
{
    TFolderComboBox Combo;
    Combo.SetRoot(D);
    ASSERT_EQ(Combo.count(), 3);  // root, onlyfiles, sub
    Combo.SetPath(D + "/sub/deeper/deepest");
    ASSERT_EQ(Combo.count(), 5);
    EXPECT_EQ(Combo.currentIndex(), 4);
    const int Expected[] = {0, 1, 1, 2, 3};
    for (int I = 0; I < 5; ++I)
        EXPECT_EQ(Combo.Indent(I), Expected[I]) << Combo.Folders(I).PathName();
    EXPECT_EQ(Combo.Folders(99).PathName(), D + "/sub/deeper/deepest");
}

TEST_F(FolderTreeTest, LinkedViewsFollowEachOther)
{
    TFolderList List;
    List.SetRoot(D);
    auto Tree = std::make_unique<TFolderTree>();
    TFolderComboBox Combo;
    List.SetFolderTree(Tree.get());
    List.SetFolderComboBox(&Combo);
    EXPECT_EQ(Tree->Root(), D);
    EXPECT_EQ(Combo.Root(), D);

    // The list navigates: the tree and the combo box follow.
    List.SetPath(D + "/sub/deeper");
    EXPECT_EQ(Tree->SelectedFolder()->PathName(), D + "/sub/deeper");
    EXPECT_EQ(Combo.Folders(Combo.currentIndex()).PathName(), D + "/sub/deeper");

    // A node chosen in the tree moves the list and the combo box.
    Tree->setCurrentItem(Tree->FindNode(D + "/onlyfiles"));
    EXPECT_EQ(List.RootFolder()->PathName(), D + "/onlyfiles");
    EXPECT_EQ(List.Count(), 1);
    EXPECT_EQ(Combo.Folders(Combo.currentIndex()).PathName(), D + "/onlyfiles");

    // An entry chosen in the combo box moves the others.
    emit Combo.activated(0);
    EXPECT_EQ(List.RootFolder()->PathName(), D);
    EXPECT_EQ(Tree->SelectedFolder()->PathName(), D);

    // With files in the tree, choosing a file moves the list to its folder.
    Tree->SetObjectTypes(otFolders | otNonFolders);
    Tree->SetPath(D + "/sub/deeper");
    Tree->setCurrentItem(Tree->FindNode(D + "/sub/deeper/g.txt"));
    EXPECT_EQ(List.RootFolder()->PathName(), D + "/sub/deeper");

    Tree.reset();
    EXPECT_EQ(List.FolderTree(), nullptr);
    List.SetPath(D);  // no tree to move any more
}

}  // namespace
}  // namespace narvo
