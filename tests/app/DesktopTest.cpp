// The main window meeting the desktop, through the real window on the offscreen
// platform: the find field takes the keyboard, the ruler's columns stand over the
// text's at every zoom, a narrow window folds its tool bar, a shell action that
// finds no program says so, Enter in Go To Line acts as its button, Save As starts
// at the document's own name, and the window and its panes use the shipped font and
// the program's icon.
#include "AppWindowFixture.h"

#include "app/FindReplace.h"
#include "app/MainWindowMenus.h"
#include "app/PreferenceDialogs.h"
#include "components/FoldingBar.h"
#include "components/IntSpin.h"
#include "components/TextRuler.h"
#include "platform/ResourceFont.h"
#include "platform/Shell.h"
#include "tools/GoToLineDialog.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QToolButton>

namespace narvo {
namespace {

class Desktop : public AppWindowFixture {
protected:
    void ShowWindow(int Width = 800, int Height = 600)
    {
        Form->FormActivate();
        Form->show();
        Form->resize(Width, Height);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    }
};

TEST_F(Desktop, EditFindAndReplaceGiveTheFindFieldTheKeyboard)
{
    ShowWindow();
    Main().SetStrings({"one Status two"});
    for (const char* Entry : {"FindMnu", "ReplaceMnu"}) {
        // The user works in the pane, then opens the dialog from the menu.
        Form->activateWindow();
        Main().setFocus();
        ASSERT_TRUE(QTest::qWaitFor([this] { return QApplication::focusWidget() == &Main(); })) << Entry;
        // A highlighted word is the find text, selected, so typing replaces it.
        Main().HighLight->StartPos = {4, 0};
        Main().HighLight->EndPos = {10, 0};
        Trigger(Entry);
        auto* D = Form->findChild<TFindReplaceDialog*>();
        ASSERT_NE(D, nullptr);
        // A tool window counts as active with its owner, so wait for the keyboard itself.
        EXPECT_TRUE(QTest::qWaitFor([D] { return QApplication::focusWidget() == D->FindEdit; })) << Entry;
        EXPECT_EQ(D->FindEdit->selectedText(), QStringLiteral("Status")) << Entry;
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("two"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(D->FindEdit->text(), QStringLiteral("two")) << Entry;
        EXPECT_EQ(Main().Strings->GetTextStr(), "one Status two") << Entry;
        D->hide();
    }
}

TEST_F(Desktop, RulerColumnsStandOverTheTextAtEveryZoom)
{
    ShowWindow(900, 500);
    Main().SetStrings({std::string(200, 'x')});
    struct Row {
        double Zoom;
        bool LineNumbers;
    } Rows[] = {{1.0, false}, {1.2, false}, {2.0, false}, {1.0, true}, {1.2, true}, {2.0, true}};
    for (const Row& R : Rows) {
        Main().SetLineNumbers(R.LineNumbers);
        Main().SetScale(R.Zoom);
        for (const std::int64_t Column : {0, 10, 25}) {
            Main().Cursor->SetPos({Column, 0});
            Form->UpdateStatus();
            ASSERT_EQ(Main().LeftColumn, 0);
            // Where the pane draws the caret before that column, in the ruler's pixels.
            const QPoint Caret = Main().CaretRect().topLeft();
            const int X = Form->TextRuler->mapFromGlobal(Main().viewport()->mapToGlobal(Caret)).x();
            const auto C = static_cast<int>(Column);
            const std::string Case =
                "zoom " + std::to_string(R.Zoom) + (R.LineNumbers ? " numbers" : "") + " column " + std::to_string(C);
            if (C == 0)
                EXPECT_EQ(Form->TextRuler->ColumnX(0), X) << Case;
            else
                EXPECT_NEAR(Form->TextRuler->ColumnX(C), X, 1) << Case;
            // A marker dropped there lands on that column.
            EXPECT_EQ(Form->TextRuler->ColumnAt(X), C) << Case;
        }
    }
}

TEST_F(Desktop, ANarrowWindowFoldsItsToolBar)
{
    ShowWindow(1600, 400);
    auto* Bar = qobject_cast<TFoldingBar*>(Form->ToolBar);
    ASSERT_NE(Bar, nullptr);
    EXPECT_TRUE(Bar->Folded().empty());
    EXPECT_FALSE(Bar->OverflowButton()->isVisible());
    // The tool bar does not set the window's narrowest width.
    EXPECT_LT(Form->minimumSizeHint().width(), Bar->sizeHint().width());
    Form->resize(Form->minimumSizeHint().width(), 400);
    QApplication::processEvents();
    EXPECT_FALSE(Bar->Folded().empty());
    EXPECT_TRUE(Bar->OverflowButton()->isVisible());
    EXPECT_LE(Bar->OverflowButton()->geometry().right(), Bar->width());
}

TEST_F(Desktop, ASavedSizeLargerThanTheScreenOpensInsideIt)
{
    Write("Narvo.ini", "[Form]\nFormWidth=32000\nFormHeight=32000\n");
    LoadSettings();
    const QRect Area = Form->screen()->availableGeometry();
    EXPECT_LT(Form->width(), Area.width());
    EXPECT_LT(Form->height(), Area.height());
    EXPECT_TRUE(Area.contains(Form->frameGeometry())) << Form->frameGeometry().x() << "," << Form->frameGeometry().y();
}

// A desktop where no program can be started.
class TNoPrograms : public TShellBackend {
public:
    TNoPrograms() { FOld = SetShellBackend(this); }
    ~TNoPrograms() override { SetShellBackend(FOld); }
    bool OpenUrl(const QUrl&) override { return false; }
    bool StartDetached(const QString&, const QStringList&, const QString&) override { return false; }

private:
    TShellBackend* FOld;
};

TEST_F(Desktop, AShellActionThatStartsNothingSaysSoOnTheStatusLine)
{
    ShowWindow();
    TNoPrograms None;
    const struct {
        const char* Entry;
        const char* Message;
    } Rows[] = {{"OpenFolder1", NoFileManagerMessage}, {"OpenDOSPrompt1", NoTerminalMessage}};
    for (const auto& R : Rows) {
        ShowOk();
        Trigger(R.Entry);
        EXPECT_TRUE(StatusMessageIsError()) << R.Entry;
        EXPECT_EQ(StatusMessage(), R.Message);
    }
    EXPECT_EQ(Form->findChild<QAction*>(QStringLiteral("OpenDOSPrompt1"))->text(), QStringLiteral("Open Terminal"));
}

TEST_F(Desktop, EnterInGoToLineGoes)
{
    CreatePreferenceDialogs();
    ShowWindow();
    std::vector<std::string> Lines;
    for (int I = 0; I < 10; ++I)
        Lines.push_back("line " + std::to_string(I));
    Main().SetStrings(Lines);
    Trigger("GoToLineNumber1");
    TLineNumDlg& D = *LineNumDlg();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&D));
    D.LineNumberSpin->setFocus();
    D.LineNumberSpin->selectAll();
    QTest::keyClicks(D.LineNumberSpin, QStringLiteral("7"));
    QTest::keyClick(D.LineNumberSpin, Qt::Key_Return);
    EXPECT_EQ(Main().Cursor->Pos().Y, 6);
    EXPECT_EQ(D.LineNumberSpin->text(), QStringLiteral("7"));  // Enter typed nothing
    D.hide();
}

TEST_F(Desktop, SaveAsStartsAtTheDocumentsNameAndFolder)
{
    Write("notes.txt", "text\n");
    ASSERT_TRUE(OpenTextFile(Path("notes.txt")));
    Trigger("SaveAsMnu");  // the script answers as if cancelled
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_EQ(Dialogs.Asked[0].FileName, "notes.txt");
    EXPECT_EQ(Dialogs.Asked[0].InitialFolder, Folder);

    // An untitled text proposes no name.
    Trigger("NewMnu");
    Trigger("SaveAsMnu");
    ASSERT_EQ(Dialogs.Asked.size(), 2u);
    EXPECT_EQ(Dialogs.Asked[1].FileName, "*.*");
}

TEST_F(Desktop, PanesUseTheShippedFontAndTheWindowHasTheIcon)
{
    const QString Shipped = FixedSysFont().family();
    for (TScrollEditor* P : {Form->MainEditor, Form->Editor2, Form->Editor3, Form->CmdEditor})
        EXPECT_EQ(P->font().family(), Shipped) << P->objectName().toStdString();
    const QIcon Icon = Form->windowIcon();
    ASSERT_FALSE(Icon.isNull());
    const QImage Small = Icon.pixmap(32, 32).toImage();
    ASSERT_EQ(Small.size(), QSize(32, 32));
    EXPECT_GT(qAlpha(Small.pixel(16, 16)), 0);  // drawn, not blank
    // The command line is a visible field before Esc enters it.
    EXPECT_NE(Form->CmdEditor->frameShape(), QFrame::NoFrame);
}

}  // namespace
}  // namespace narvo
