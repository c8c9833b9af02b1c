// The main window on the offscreen platform: the controls in their order, the
// panes, the command-line parameters at the first activation, the status bars
// following the panes, and closing (the question, Cancel, a run on the stack).
#include "AppWindowFixture.h"

#include "components/AutoButton.h"
#include "components/OnOffBox.h"
#include "components/TextRuler.h"
#include "shared/SystemData.h"

#include <QCoreApplication>
#include <QLabel>
#include <QSplitter>
#include <QTest>
#include <QTimer>

#include <cerrno>
#include <sys/stat.h>

namespace narvo {
namespace {

std::string Text(QLabel* L) { return L->text().toStdString(); }

// The bare window (no settings or document modules) started with its parameters.
class MainWindow : public AppWindowFixture {
protected:
    void SetUp() override
    {
        AppWindowFixture::SetUp();
        Form.reset();
        SystemData.SetThousandSeparator(',');
        std::ofstream Out(Path("forty.txt"));
        for (int I = 1; I <= 40; ++I)
            Out << "line " << I << "\n";
        Write("other.txt", "other\n");
        mkdir(Path("sub").c_str(), 0700);
    }
    TForm1& Start(std::vector<std::string> Params)
    {
        Form = std::make_unique<TForm1>(std::move(Params));
        Form->FormActivate();
        return *Form;
    }
    TSeparatorGuard Separators;
};

TEST_F(MainWindow, ControlsAreStackedInTheirOrder)
{
    TForm1& F = Start({});
    F.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&F));
    EXPECT_EQ(Form1, &F);
    QWidget* Central = F.centralWidget();
    const QWidget* Order[] = {F.ToolBar, F.ScreenDivider, F.TextRuler, F.CmdControl, F.StatusBar, F.StatusBar2};
    int Bottom = 0;
    for (const QWidget* W : Order) {
        const QRect R(W->mapTo(Central, QPoint(0, 0)), W->size());
        EXPECT_EQ(R.top(), Bottom) << W->objectName().toStdString();
        EXPECT_GT(R.height(), 0);
        Bottom = R.bottom() + 1;
    }
    EXPECT_EQ(Bottom, Central->height());
    EXPECT_TRUE(F.MainEditor->isVisible());
    EXPECT_FALSE(F.Editor2->isVisible());
    EXPECT_FALSE(F.Editor3->isVisible());
    EXPECT_EQ(F.ActiveEditor, F.MainEditor);
}

TEST_F(MainWindow, PanesAndCommandEditorAreSetUp)
{
    TForm1& F = Start({});
    EXPECT_EQ(F.Editor2->Strings, F.MainEditor->Strings);
    EXPECT_EQ(F.Editor2->Cursor, F.MainEditor->Cursor);
    F.MainEditor->InsertText("shared");
    EXPECT_EQ(F.Editor2->GetText(), "shared");
    EXPECT_NE(F.Editor3->Strings, F.MainEditor->Strings);
    EXPECT_EQ(F.Editor3->Color(), RGBColor(227, 240, 227));
    EXPECT_EQ(Text(F.ScoopDis), "100,000");
}

TEST_F(MainWindow, ExtraPanesTakeTheirPlaceBesideTheMainPane)
{
    TForm1& F = Start({});
    F.resize(800, 600);
    F.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&F));
    F.LayoutSplitEditors(2, true);
    EXPECT_TRUE(F.Editor3->isVisible());
    EXPECT_FALSE(F.Editor2->isVisible());
    EXPECT_GT(F.Editor3->y(), F.MainEditor->y());
    EXPECT_TRUE(F.IsSplitHorizontal());
    const QImage Shot = F.Editor3->viewport()->grab().toImage();
    EXPECT_EQ(Shot.pixelColor(Shot.width() - 3, Shot.height() - 3), QColor(227, 240, 227));
    F.LayoutSplitEditors(1, false);
    EXPECT_TRUE(F.Editor2->isVisible());
    EXPECT_FALSE(F.Editor3->isVisible());
    EXPECT_GT(F.Editor2->x(), F.MainEditor->x());
    EXPECT_FALSE(F.IsSplitHorizontal());
    F.LayoutSplitEditors(0, true);
    EXPECT_FALSE(F.Editor2->isVisible());
    EXPECT_FALSE(F.IsSplitHorizontal());  // the orientation stays with no pane shown
}

TEST_F(MainWindow, CommandLineParameters)
{
    struct Row {
        std::vector<std::string> Params;
        std::string File;  // the document afterwards, relative to the folder
        std::int64_t CursorLine;
        const char* Why;
        const char* Said = nullptr;  // part of the message shown, when one is
    };
    const Row Rows[] = {
        {{"/#", "25", "forty.txt"}, "forty.txt", 24, "line number before the file"},
        {{"forty.txt", "/#", "x25.9y"}, "forty.txt", 24, "number found inside the parameter, truncated"},
        {{"forty.txt", "/#"}, "forty.txt", 0, "a trailing /# is ignored"},
        {{"/#"}, "", 0, "/# alone does nothing"},
        {{"forty.txt", "other.txt"}, "forty.txt", 0, "only the first file"},
        {{"/#", "3", "missing.txt", "forty.txt"}, "", 0, "a missing file is ignored silently"},
        {{"sub"}, "", 0, "a folder is not a file", "it is a folder, not a regular file"},
        {{"fifo"}, "", 0, "a FIFO is not read", "it is a FIFO, not a regular file"},
        {{"/dev/zero"}, "", 0, "a device is not read", "it is a device, not a regular file"},
        {{"loop"}, "", 0, "a loop of links", "Too many levels of symbolic links"},
        {{"gone"}, "", 0, "a link to nothing names no file"},
        {{"forty.txt", "/#", "0"}, "forty.txt", 0, "line 0 stays at the start"},
    };
    ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
    ASSERT_EQ(symlink("loop", Path("loop").c_str()), 0);
    ASSERT_EQ(symlink("nowhere", Path("gone").c_str()), 0);
    for (const Row& R : Rows) {
        ASSERT_EQ(chdir(Folder.c_str()), 0);
        TForm1& F = Start(R.Params);
        const std::string Expected = R.File.empty() ? "" : Folder + "/" + R.File;
        EXPECT_EQ(CurrentFileName, Expected) << R.Why;
        EXPECT_EQ(F.MainEditor->Cursor->Pos(), (TPoint{0, R.CursorLine})) << R.Why;
        EXPECT_EQ(F.MainEditor->Strings->Count(), R.File == "forty.txt" ? 41 : 1) << R.Why;
        EXPECT_FALSE(F.MainEditor->Modified) << R.Why;
        if (!R.File.empty()) {
            EXPECT_EQ(F.windowTitle().toStdString(), "Narvo - " + R.File) << R.Why;
        }
        if (R.Said) {
            ASSERT_EQ(Boxes.Asked.size(), 1u) << R.Why;
            EXPECT_NE(Boxes.Asked[0].Text.find(R.Said), std::string::npos) << Boxes.Asked[0].Text;
            Boxes.Asked.clear();
        }
        EXPECT_TRUE(Boxes.Asked.empty()) << R.Why;
        EXPECT_TRUE(Errors.empty()) << R.Why;
        Form.reset();
        CurrentFileName.clear();
    }
}

TEST_F(MainWindow, StatusBarsFollowTheActivePane)
{
    TForm1& F = Start({Folder + "/forty.txt", "/#", "12"});
    EXPECT_EQ(Text(F.LineNumDis), "12");
    EXPECT_EQ(Text(F.StatusDis), " Ok");
    F.MainEditor->GotoLine(500);  // past the end: the pane's change shows the error
    F.MainEditorChange();
    EXPECT_EQ(Text(F.StatusDis), " End");
    F.MainEditor->CursorRight();
    EXPECT_EQ(Text(F.CharHexDis), "$6C");  // the 'l' of "line 12"
    EXPECT_EQ(Text(F.StatusDis), " Ok");
    EXPECT_EQ(Text(F.ModifiedDis), "");
    EXPECT_FALSE(F.SaveBtn->isEnabled());
    F.MainEditor->TypeChar('x');
    EXPECT_EQ(Text(F.ModifiedDis), "Mod");
    EXPECT_TRUE(F.SaveBtn->isEnabled());

    IgnoreCaseFlag = true;
    WrapFlag = true;
    LeftMargin = 5;
    ParaIndent = 3;
    F.UpdateStatus();
    EXPECT_TRUE(F.SrchCaseOnOff->BoxOn());
    EXPECT_EQ(F.TextRuler->Marker1(), 5);
    EXPECT_EQ(F.TextRuler->Marker3(), 8);
    EXPECT_EQ(F.TextRuler->Marker2(), 72);
    F.MainEditor->SetScale(1.5);
    EXPECT_EQ(Text(F.ZoomDis), "1.50");
    EXPECT_DOUBLE_EQ(F.TextRuler->Scale(), 1.5);
    // A click on an indicator sets the switch it shows.
    QTest::mouseClick(F.WrapOnOff, Qt::LeftButton);
    EXPECT_FALSE(WrapFlag);
    IgnoreCaseFlag = false;
    LeftMargin = 0;
    ParaIndent = 0;
}

// At the size the window opens with, no status field cuts its value: the scoop
// indicator's three states, a column of 100,000 and the other counts.
TEST_F(MainWindow, StatusFieldsShowTheirWholeValuesAtTheDefaultSize)
{
    TForm1& F = Start({});
    F.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&F));
    const std::string Wide = GroupedWhole(100000);
    const std::pair<QLabel*, std::vector<std::string>> Fields[] = {
        {F.ScoopStatusDis, {"Off", "On", "Blk"}},
        {F.ScoopDis, {Wide}},
        {F.ModifiedDis, {"Mod"}},
        {F.CharHexDis, {"$FF"}},
        {F.LineNumDis, {Wide}},
        {F.ColumnDis, {Wide}},
        {F.HighlightDis, {Wide}},
    };
    for (const auto& [Field, Values] : Fields) {
        for (const std::string& V : Values) {
            Field->setText(QString::fromStdString(V));
            QCoreApplication::processEvents();
            EXPECT_GE(Field->width(), Field->sizeHint().width()) << Field->toolTip().toStdString() << ": " << V;
        }
    }
    // The indicator's texts themselves.
    for (int State = 0; State < 3; ++State) {
        CommandHost()->ShowScoopState(State);
        EXPECT_GE(F.ScoopStatusDis->width(), F.ScoopStatusDis->sizeHint().width()) << State;
    }
}

TEST_F(MainWindow, DefaultFolderIsAppliedAfterTheSettings)
{
    ASSERT_EQ(chdir(Folder.c_str()), 0);
    Write("Narvo.ini", "[Directories]\nDefaultFolder=" + Folder + "/sub\n");
    Start({"forty.txt"});
    // The file named relative to the start folder is still found.
    EXPECT_EQ(CurrentFileName, Folder + "/forty.txt");
    Form.reset();
    CurrentFileName.clear();

    Write("Narvo.ini", "[Directories]\nDefaultFolder=" + Folder + "/sub\n");
    Start({});
    EXPECT_EQ(GetCurrentFolder(), Folder + "/sub");
    Write("Narvo.ini", "[Directories]\nDefaultFolder=" + Folder + "/none\n");
    Form.reset();
    Start({});
    ASSERT_EQ(Errors.size(), 1u);  // a clear message, and the start goes on
    EXPECT_NE(Errors[0].find("none"), std::string::npos);
}

TEST_F(MainWindow, ModifiedTextAsksOnCloseAndCancelKeepsTheWindow)
{
    TForm1& F = Start({Folder + "/forty.txt"});
    F.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&F));
    F.MainEditor->TypeChar('x');
    Boxes.Answers = {mrCancel};
    EXPECT_FALSE(F.close());
    EXPECT_TRUE(F.isVisible());
    ASSERT_EQ(Boxes.Asked.size(), 1u);
    EXPECT_EQ(Boxes.Asked[0].Text, "Save Changes?");
    EXPECT_EQ(Boxes.Asked[0].Buttons, mbYesNoCancel);
    EXPECT_TRUE(F.MainEditor->Modified);
    EXPECT_FALSE(BreakFlag);

    Boxes.Answers = {mrYes};  // saved to its own name, then closed
    EXPECT_TRUE(F.close());
    EXPECT_TRUE(BreakFlag);
    std::ifstream In(Folder + "/forty.txt");
    std::string First;
    std::getline(In, First);
    EXPECT_EQ(First, "xline 1");
}

TEST_F(MainWindow, AFailedSaveKeepsTheWindowOpen)
{
    TForm1& F = Start({Folder + "/forty.txt"});
    F.show();
    F.MainEditor->TypeChar('x');
    SetFileFaultHook([](TFileStep Step, const std::string&) { return Step == TFileStep::Write ? ENOSPC : 0; });
    Boxes.Answers = {mrYes};
    const bool Closed = F.close();
    SetFileFaultHook(nullptr);
    EXPECT_FALSE(Closed);
    EXPECT_TRUE(F.isVisible());
    EXPECT_TRUE(F.MainEditor->Modified);
    ASSERT_EQ(Boxes.Asked.size(), 2u);  // the question, then the reason the save failed
    EXPECT_EQ(Boxes.Asked[1].Text.rfind("Cannot save", 0), 0u) << Boxes.Asked[1].Text;
}

TEST_F(MainWindow, AFailedOpenKeepsTheCurrentText)
{
    TForm1& F = Start({Folder + "/forty.txt"});
    F.MainEditor->TypeChar('x');
    SetFileFaultHook([](TFileStep Step, const std::string&) { return Step == TFileStep::Read ? EACCES : 0; });
    EXPECT_FALSE(OpenTextFile(Folder + "/other.txt"));
    SetFileFaultHook(nullptr);
    // The reason is shown; the modified text is not even asked about, since it stays.
    ASSERT_EQ(Boxes.Asked.size(), 1u);
    EXPECT_NE(Boxes.Asked[0].Text.find("other.txt"), std::string::npos) << Boxes.Asked[0].Text;
    EXPECT_EQ(F.MainEditor->Strings->Count(), 41);
    EXPECT_TRUE(F.MainEditor->Modified);
    EXPECT_EQ(CurrentFileName, Folder + "/forty.txt");
}

TEST_F(MainWindow, UnchangedTextClosesWithoutAQuestion)
{
    TForm1& F = Start({Folder + "/forty.txt"});
    F.show();
    EXPECT_TRUE(F.close());
    EXPECT_TRUE(Boxes.Asked.empty());
}

TEST_F(MainWindow, ClosingDuringARunLeavesTheWindowToTheRun)
{
    TForm1& F = Start({});
    F.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&F));
    // J alone is an endless loop that only a break ends; the window is closed while it
    // runs.
    bool Closed = false;
    CommandHost()->SetCmdEditorText("J");
    QTimer::singleShot(50, &F, [&] {
        Closed = F.close();
        // The window is still whole under the run.
        EXPECT_EQ(Form1, &F);
        F.MainEditor->InsertText("still here");
    });
    QTest::mouseClick(F.ExecCmdBtn, Qt::LeftButton);
    EXPECT_TRUE(Closed);
    EXPECT_NE(F.MainEditor->GetText().find("still here"), std::string::npos);
    EXPECT_TRUE(BreakFlag);
    EXPECT_FALSE(F.isVisible());
    EXPECT_EQ(Form1, &F);
    Form.reset();
    EXPECT_EQ(Form1, nullptr);
}

}  // namespace
}  // namespace narvo
