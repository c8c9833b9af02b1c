// Copy/Merge Files: the checks in order, text and byte merges, a failing source
// leaving the destination as it was, the question before replacing a file, and the
// list's order operations.
#include "tools/FileTool.h"

#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "support/TempFolder.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QLineEdit>
#include <QListWidget>
#include <gtest/gtest.h>
#include <sys/stat.h>


namespace narvo {
namespace {

class FileToolTest : public ::testing::Test {
protected:
    std::string Path(const std::string& N) const { return Dir / N; }
    void Write(const std::string& N, const std::string& B) const { test::PutFile(Path(N), B); }
    std::string Read(const std::string& N) const { return test::GetFile(Path(N)); }

    test::TTempFolder Dir;
    const std::string Folder = Dir.Path();
    TScriptedMessageBoxes Boxes;
};

TEST_F(FileToolTest, ChecksComeInOrder)
{
    Write("a.txt", "x");
    const std::string A = Path("a.txt");
    EXPECT_EQ(CopyCheckMessage({}, ""), "No source files specified");
    EXPECT_EQ(CopyCheckMessage({A}, ""), "No destination file specified");
    EXPECT_EQ(CopyCheckMessage({A}, Path("A.TXT")), "Cannot overwrite a source file");
    EXPECT_EQ(CopyCheckMessage({A}, Folder + "/./a.txt"), "Cannot overwrite a source file");
    EXPECT_EQ(CopyCheckMessage({A}, Path("b.txt")), "");
}

TEST_F(FileToolTest, MergesAsTextOrBytes)
{
    Write("one", std::string("ab\r\nc\x1A" "dropped", 13));
    Write("two", std::string("\0z\x1A", 3));
    std::vector<int> Steps;
    MergeFiles({Path("one"), Path("two")}, Path("out"), true, [&](int D) { Steps.push_back(D); });
    EXPECT_EQ(Read("out"), std::string("ab\r\nc\0z", 7));
    EXPECT_EQ(Steps, (std::vector<int>{0, 1, 2}));
    MergeFiles({Path("one"), Path("two")}, Path("out"), false);
    EXPECT_EQ(Read("out"), std::string("ab\r\nc\x1A" "dropped\0z\x1A", 16));

    // A missing source: an error naming it, and the destination as it was.
    try {
        MergeFiles({Path("one"), Path("gone")}, Path("out"), true);
        ADD_FAILURE() << "no error";
    } catch (const std::exception& E) {
        EXPECT_NE(std::string(E.what()).find("gone"), std::string::npos);
    }
    EXPECT_EQ(Read("out").size(), 16u);
}

TEST_F(FileToolTest, DialogRefusesAsksAndOrders)
{
    TFileToolDlg D;
    D.Button2Click();
    ASSERT_EQ(Boxes.Asked.size(), 1u);
    EXPECT_EQ(Boxes.Asked[0].Text, "No source files specified");

    Write("b.txt", "B");
    Write("A.txt", "A");
    Write("dest", "old");
    for (const char* N : {"b.txt", "A.txt"})
        D.AddSourceFile(Path(N));
    EXPECT_EQ(D.SourceList->item(0)->text(), "b.txt");
    D.DestinationEdit->setText(QString::fromStdString(Path("dest")));
    Boxes.Answers = {mrNo};
    D.Button2Click();  // exists: asked, declined
    EXPECT_EQ(Read("dest"), "old");
    Boxes.Answers = {mrYes};
    D.Button2Click();
    EXPECT_EQ(Read("dest"), "BA");

    D.SortDateBtnClick();
    EXPECT_EQ(D.SourceFiles(), (std::vector<std::string>{Path("A.txt"), Path("b.txt")}));
    D.SourceList->setCurrentRow(0);
    D.MoveUpBtnClick();  // first item: nothing
    EXPECT_EQ(D.SourceFiles().front(), Path("A.txt"));
    D.MoveDnBtnClick();
    D.MoveDnBtnClick();  // last item: nothing
    EXPECT_EQ(D.SourceFiles().front(), Path("b.txt"));
    D.PathChk->setChecked(true);
    EXPECT_EQ(D.SourceList->item(0)->text().toStdString(), Path("b.txt"));
    D.DeleteBtnClick();
    EXPECT_EQ(D.SourceFiles().size(), 1u);
    D.NewFileBtnClick();
    EXPECT_TRUE(D.SourceFiles().empty());
}

TEST_F(FileToolTest, AReadOnlyDestinationIsReplacedOnlyAfterTheReadOnlyQuestion)
{
    Write("a.txt", "A");
    Write("dest", "old");
    ::chmod(Path("dest").c_str(), 0444);
    TFileToolDlg D;
    D.AddSourceFile(Path("a.txt"));
    D.DestinationEdit->setText(QString::fromStdString(Path("dest")));
    Boxes.Answers = {mrYes, mrNo};  // replace it? yes; read-only, save anyway? no
    D.Button2Click();
    ASSERT_EQ(Boxes.Asked.size(), 2u);
    EXPECT_EQ(Boxes.Asked[1].Text, ReadOnlyQuestion);
    EXPECT_EQ(Read("dest"), "old");
    Boxes.Answers = {mrYes, mrYes};
    D.Button2Click();
    EXPECT_EQ(Read("dest"), "A");
}

// A destination chosen as a new name that another program made meanwhile, or an
// existing one it changed, is replaced only after the question Save asks; No
// keeps that file and says so. The copy's own file is replaced again unasked.
TEST_F(FileToolTest, ADestinationMadeOrChangedAfterItWasChosenIsAskedAbout)
{
    Write("a.txt", "A");
    TScriptedFileDialogs Dialogs;
    Dialogs.Answers = {Path("new.txt")};
    TFileToolDlg D;
    D.AddSourceFile(Path("a.txt"));
    D.Button1Click();
    Write("new.txt", "theirs");
    Boxes.Answers = {mrNo};
    D.Button2Click();
    ASSERT_EQ(Boxes.Asked.size(), 2u);
    EXPECT_EQ(Boxes.Asked[0].Text, ChangedFileQuestion(Path("new.txt"), true, "chosen"));
    EXPECT_EQ(Boxes.Asked[1].Text, NotWrittenText(Path("new.txt")) + ".");
    EXPECT_EQ(Read("new.txt"), "theirs");
    Boxes.Answers = {mrYes};
    D.Button2Click();
    EXPECT_EQ(Read("new.txt"), "A");
    D.Button2Click();  // the file is this copy's now
    EXPECT_EQ(Boxes.Asked.size(), 3u);

    // Changed by another program after the copy wrote it.
    Write("new.txt", "theirs, longer");
    Boxes.Answers = {mrNo};
    D.Button2Click();
    ASSERT_EQ(Boxes.Asked.size(), 5u);
    EXPECT_EQ(Boxes.Asked[3].Text, ChangedFileQuestion(Path("new.txt"), false, "chosen"));
    EXPECT_EQ(Read("new.txt"), "theirs, longer");

    // Asked when the sources have been read, just before the file is replaced.
    std::vector<std::string> Order;
    EXPECT_FALSE(MergeFiles(
        {Path("a.txt")}, Path("new.txt"), true, [&](int Done) { Order.push_back("read " + std::to_string(Done)); },
        [&] {
            Order.push_back("asked");
            return false;
        }));
    EXPECT_EQ(Order, (std::vector<std::string>{"read 0", "asked"}));
    EXPECT_EQ(Read("new.txt"), "theirs, longer");
}

TEST_F(FileToolTest, ChoosesSeveralInputsAtOnceAndDraggingExchanges)
{
    Write("1.txt", "one\r\n");
    Write("2.txt", "two\x1Atail");
    Write("3.txt", "three");
    TScriptedFileDialogs Dialogs;
    Dialogs.ListAnswers = {{Path("3.txt"), Path("1.txt"), Path("2.txt")}, {}};
    TFileToolDlg D;
    D.InputBtnClick();
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_EQ(Dialogs.Asked[0].DefaultExt, "txt");
    EXPECT_EQ(Dialogs.Asked[0].InitialFolder, ".");
    EXPECT_EQ(D.SourceFiles(), (std::vector<std::string>{Path("3.txt"), Path("1.txt"), Path("2.txt")}));
    D.InputBtnClick();  // cancelled: the list stays
    EXPECT_EQ(D.SourceFiles().size(), 3u);

    // Dropping the first entry on the last trades the two; the middle one stays.
    D.SourceList->setCurrentRow(0);
    D.SourceListDragDrop(2);
    EXPECT_EQ(D.SourceFiles(), (std::vector<std::string>{Path("2.txt"), Path("1.txt"), Path("3.txt")}));
    EXPECT_EQ(D.SourceList->currentRow(), 2);
    D.SourceListDragDrop(2);  // onto itself
    D.SourceListDragDrop(3);  // below the last entry
    EXPECT_EQ(D.SourceFiles(), (std::vector<std::string>{Path("2.txt"), Path("1.txt"), Path("3.txt")}));
    // A drop that did not come from the list itself changes nothing.
    QMimeData Mime;
    Mime.setText("x");
    QDropEvent Foreign(QPointF(5, 5), Qt::CopyAction, &Mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(D.SourceList->viewport(), &Foreign);
    EXPECT_EQ(D.SourceFiles(), (std::vector<std::string>{Path("2.txt"), Path("1.txt"), Path("3.txt")}));

    D.DestinationEdit->setText(QString::fromStdString(Path("all.txt")));
    D.Button2Click();
    EXPECT_EQ(Read("all.txt"), "twoone\r\nthree");
    D.ASCIIChk->setChecked(false);
    Boxes.Answers = {mrYes};
    D.Button2Click();
    EXPECT_EQ(Read("all.txt"), "two\x1Atailone\r\nthree");
}

TEST_F(FileToolTest, AChosenDestinationKeepsTheBytesOfItsName)
{
    // A name that is not UTF-8 shows with U+FFFD; the merge goes to the file chosen,
    // not to one whose name holds the replacement character's bytes.
    Write("a.txt", "A");
    const std::string Latin = Path("caf\xE9.txt"), LookAlike = Path("caf\xEF\xBF\xBD.txt");
    Write("caf\xEF\xBF\xBD.txt", "keep");
    TScriptedFileDialogs Dialogs;
    Dialogs.Answers = {Latin};
    TFileToolDlg D;
    D.AddSourceFile(Path("a.txt"));
    D.Button1Click();
    D.Button2Click();
    EXPECT_TRUE(Boxes.Asked.empty());
    EXPECT_EQ(test::GetFile(Latin), "A");
    EXPECT_EQ(test::GetFile(LookAlike), "keep");
}

}  // namespace
}  // namespace narvo
