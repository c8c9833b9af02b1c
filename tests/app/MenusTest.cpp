// The main window's menus, tool bar and pop-ups: every entry in its place with its
// caption and no shortcut, entries reaching their operations (open through the
// file dialog, save, undo, split view, line numbers), entries reaching their tools
// and harmless before the forms are made, the Paste button following the
// clipboard; and the handlers' own logic on a bare text model: find and replace,
// sorting, margin presets.
#include "AppWindowFixture.h"

#include "app/FindReplace.h"
#include "app/HelpServices.h"
#include "app/KeyRouting.h"
#include "app/MainWindowMenus.h"
#include "app/SecondEditor.h"
#include "app/SmallTools.h"
#include "components/AutoButton.h"
#include "components/ChmHelper.h"
#include "platform/Clipboard.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QWindow>

namespace narvo {
namespace {

// The captions of a menu's entries in order, separators left out.
std::vector<std::string> Captions(const QMenu* Menu)
{
    std::vector<std::string> R;
    for (const QAction* A : Menu->actions())
        if (!A->isSeparator())
            R.push_back(A->text().toStdString());
    return R;
}

const QMenu* FindMenu(const QWidget* Form, const char* Name)
{
    return Form->findChild<QMenu*>(QString::fromLatin1(Name));
}

class Menus : public AppWindowFixture {
protected:
    void SetUp() override
    {
        AppWindowFixture::SetUp();
        M = Form->Menus;
        ASSERT_NE(M, nullptr);
    }
    TMainMenus* M = nullptr;
};

TEST_F(Menus, EveryMenuAndEntryInOrder)
{
    const struct {
        const char* Menu;
        std::vector<std::string> Entries;
    } Rows[] = {
        {"FileMnu", {"New", "Open...", "Save", "Save As...", "Reopen", "Favorites", "Advanced File Ops",
                     "Print Preview...", "Print Highlighted...", "Exit"}},
        {"FavoritesMnu", {"View Favorites...", "Current File To Favorites"}},
        {"AdvancedFileOpsMnu", {"Open Secondary File...", "Open Folder", "Open Terminal", "Auto-backup Files...",
                                "File Details...", "Copy/Merge Files..."}},
        {"EditMnu", {"Undo", "Redo", "Cut", "Copy", "Paste", "Copy as HTML", "All Clipboard Formats...", "Select All",
                     "Find...", "Replace..."}},
        {"ViewMnu", {"Line Numbers", "Zoom", "Split Screen", "Internet"}},
        {"LineNumbersMnu", {"Show Line Numbers", "Go To Line Number..."}},
        {"ZoomMnu", {"Zoom In", "Zoom OUt", "Reset Zoom"}},
        {"SplitScreenMnu", {"Show Split Editor", "Show Secondary Editor", "Split Horizontal", "Split Vertical"}},
        {"InternetMnu", {"Open Hightlighted As Web Page", "Search Highlighted on Web"}},
        {"FormatMnu", {"Remargin", "Change Case...", "Block Indent...", "Tabs/Spaces", "Line Marks", "Enclose Text",
                       "Encoding", "Convert Spanish Characters"}},
        {"TabsSpacesMnu", {"Tabs To Spaces", "Spaces To Tabs"}},
        {"LineMarksMnu", {"Insert Line Marks", "Remove Line Marks"}},
        {"EncloseTextMnu", {"Double Quotes", "Single Quotes", "Parenthesis", "Square Brackets", "Braces", "HTML Bold",
                            "HTML Italic", "HTML Underscore"}},
        {"EncodingMnu",
         {"Remove HTML", "Convert %-Hex To String", "Convert String to %-Hex", "Convert 8-bits To 7-bits"}},
        {"ToolsMnu", {"Character Set...", "Macros...", "Match Pairs...", "Sort Highlighted", "Speech...", "Spell Check",
                      "Add User Tools..."}},
        {"PreferencesMnu", {"Options...", "Colors/Fonts...", "Margins...", "Spell Checker...", "Save User Settings",
                            "Restore User Settings", "Use Factory Settings"}},
        {"HelpMnu", {"Contents", "Keyboard Commands", "Search for Help On...", "How to Use Help", "About...", "Debug"}},
        {"DebugMnu", {"Insert Text", "Update"}},
    };
    for (const auto& R : Rows) {
        const QMenu* Menu = FindMenu(Form.get(), R.Menu);
        ASSERT_NE(Menu, nullptr) << R.Menu;
        EXPECT_EQ(Captions(Menu), R.Entries) << R.Menu;
    }
    std::vector<std::string> Bar;
    for (const QAction* A : Form->menuBar()->actions())
        Bar.push_back(A->text().toStdString());
    EXPECT_EQ(Bar, (std::vector<std::string>{"File", "Edit", "View", "Format", "Tools", "User", "Preferences", "Help"}));
    // The panes see every key: no entry has a shortcut or a menu-bar mnemonic.
    for (const QAction* A : Form->findChildren<QAction*>())
        EXPECT_TRUE(A->shortcut().isEmpty()) << A->text().toStdString();
    for (const std::string& T : Bar)
        EXPECT_EQ(T.find('&'), std::string::npos);
    EXPECT_FALSE(M->DebugMnu->menuAction()->isVisible());
}

TEST_F(Menus, OpenSaveAndUndoReachTheDocument)
{
    Write("a.txt", "hello\n");
    Dialogs.Answers.push_back(Path("a.txt"));
    Trigger("OpenMnu");
    ASSERT_EQ(Dialogs.Asked.size(), 1u);
    EXPECT_EQ(CurrentFileName, Path("a.txt"));
    EXPECT_EQ(Main().Strings->GetTextStr().substr(0, 5), "hello");

    Main().Cursor->SetPos({0, 0});
    Main().InsertText("X");
    EXPECT_TRUE(Main().Modified);
    Trigger("SaveMnu");
    EXPECT_EQ(Read("a.txt"), "Xhello\n");
    EXPECT_FALSE(Main().Modified);

    Main().InsertText("Y");
    Trigger("UndoMnu");
    EXPECT_EQ(Main().Strings->GetTextStr().substr(0, 6), "Xhello");
    Trigger("RedoMnu");
    EXPECT_EQ(Main().Strings->GetTextStr().substr(0, 7), "XYhello");
    EXPECT_TRUE(Errors.empty());
}

// Whether Menu is on the screen: its window mapped, not only marked visible.
bool OnScreen(const QMenu* Menu) { return Menu->isVisible() && Menu->windowHandle() && Menu->windowHandle()->isVisible(); }

// Opens File in the menu bar, rests the mouse on Reopen in it and answers whether
// the recent files then show; every pop-up is closed again.
bool ReopenShows(TForm1& F, TMainMenus& M)
{
    QMenuBar* Bar = F.menuBar();
    QTest::mouseClick(Bar, Qt::LeftButton, {}, Bar->actionGeometry(M.FileMnu->menuAction()).center());
    QCoreApplication::processEvents();
    // The menu takes the mouse as moved only after a few motions.
    const QPoint At = M.FileMnu->actionGeometry(M.ReopenMnu->menuAction()).center();
    for (int I = 0; I < 8; ++I)
        QTest::mouseMove(M.FileMnu, At + QPoint(I, 0));
    // The submenu opens after the style's delay.
    (void)QTest::qWaitFor([&] { return M.ReopenMnu->isVisible(); }, 2000);
    const bool Shown = OnScreen(M.ReopenMnu);
    while (QWidget* Popup = QApplication::activePopupWidget()) {
        Popup->close();
        QCoreApplication::processEvents();
    }
    return Shown;
}

TEST_F(Menus, TheRecentFilesShowOnceThereAreSomeAfterTheyWereOpenedEmpty)
{
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    ASSERT_TRUE(M->ReopenMnu->actions().isEmpty());
    EXPECT_FALSE(ReopenShows(*Form, *M));
    Write("a.txt", "a\n");
    ASSERT_TRUE(OpenTextFile(Path("a.txt")));
    ASSERT_EQ(M->ReopenMnu->actions().size(), 1);
    EXPECT_TRUE(ReopenShows(*Form, *M));
}

TEST_F(Menus, CheckMarksFollowTheirFlags)
{
    Trigger("ShowSplitEditorMnu");
    EXPECT_TRUE(Form->Editor2->isVisibleTo(Form.get()));
    EXPECT_TRUE(M->ShowSplitEditorMnu->isChecked());
    EXPECT_TRUE(M->SplitHorizontalMnu->isChecked());
    Trigger("SplitVerticalMnu");
    EXPECT_TRUE(M->SplitVerticalMnu->isChecked());
    EXPECT_FALSE(M->SplitHorizontalMnu->isChecked());
    Trigger("ShowSplitEditorMnu");
    EXPECT_FALSE(Form->Editor2->isVisibleTo(Form.get()));
    EXPECT_FALSE(M->ShowSplitEditorMnu->isChecked());

    Trigger("ShowLineNumbers1");
    EXPECT_TRUE(Form->MainEditor->LineNumbers());
    EXPECT_TRUE(Form->Editor3->LineNumbers());
    EXPECT_TRUE(M->ShowLineNumbers1->isChecked());
    // Changed elsewhere: the mark follows when the menu opens.
    for (TScrollEditor* P : {Form->MainEditor, Form->Editor2, Form->Editor3})
        P->SetLineNumbers(false);
    emit M->ViewMnu->aboutToShow();
    EXPECT_FALSE(M->ShowLineNumbers1->isChecked());
}

TEST_F(Menus, EntriesReachTheirToolsAndAreHarmlessBeforeTheFormsAreMade)
{
    // The start-up forms are not made here: entries of a modal dialog do nothing.
    const char* const Modal[] = {
        "ViewFavorites1", "CurrentFileToFavorites1", "AutobackupFiles1", "CopyMergeFilesMnu",
        "ClipboardFormatData1", "GoToLineNumber1", "DoubleQuoteTextMnu", "HTMLUnderscore1", "CharacterSetMnu",
        "UserToolsMnu", "OptionsMnu", "FontsMnu", "MarginsMnu", "AboutMnu"};
    for (const char* Name : Modal) {
        SetStatusMessage("", false);
        Trigger(Name);
        EXPECT_EQ(StatusMessage(), "") << Name;
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << Name;
    }
    for (TAutoButton* B : {Form->EncloseBtn, Form->EncloseDlgBtn})
        B->Click();
    EXPECT_TRUE(Errors.empty());

    // The text tools' windows are made on demand and shown beside the window.
    for (const char* Name : {"ChangeCaseMnu", "BlockIndentMnu", "MatchPairsMnu", "FileDetailsMnu"}) {
        Trigger(Name);
        int Visible = 0;
        for (const QWidget* W : QApplication::topLevelWidgets())
            Visible += W != Form.get() && W->isVisible();
        EXPECT_EQ(Visible, 1) << Name;
        for (QWidget* W : QApplication::topLevelWidgets())
            if (W != Form.get())
                W->hide();
    }

    // An entry's argument reaches its tool: the keyboard page of the help, and the
    // pair of an Enclose Text entry once the forms are made.
    Trigger("KeyboardCommandsMnu");
    const std::string Page = ProgramHelp().Window()->CurrentFile();
    EXPECT_EQ(Page.substr(Page.size() - 9), "keys.html") << ProgramHelp().LastError();
    ProgramHelp().CloseAll();
    CreateSmallToolForms();
    Main().SetText("word");
    Main().SelectAll();
    Trigger("HTLMBold1");
    EXPECT_EQ(Main().GetText(), "<b>word</b>");
    EXPECT_TRUE(Errors.empty());
}

TEST_F(Menus, PasteButtonFollowsTheClipboard)
{
    QGuiApplication::clipboard()->clear();
    QCoreApplication::processEvents();
    EXPECT_FALSE(Form->PasteBtn->isEnabled());
    CopyTextToClipboard("x");
    QCoreApplication::processEvents();
    EXPECT_TRUE(Form->PasteBtn->isEnabled());
    QGuiApplication::clipboard()->clear();
    QCoreApplication::processEvents();
    EXPECT_FALSE(Form->PasteBtn->isEnabled());
}

TEST_F(Menus, ClipboardEntriesActOnTheFocusedEditor)
{
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    Main().SetText("text");
    Form->CmdEditor->SetText("cmd line");
    Form->CmdEditor->setFocus();
    QApplication::setActiveWindow(Form.get());
    ASSERT_TRUE(Form->CmdEditor->hasFocus());
    Form->CmdEditor->SelectAll();
    Trigger("CutMnu");
    EXPECT_EQ(Form->CmdEditor->GetText(), "");
    EXPECT_EQ(Main().GetText(), "text");
    EXPECT_EQ(GetClipboardText(), "cmd line");
    EXPECT_TRUE(Form->PasteBtn->isEnabled());

    Form->MainEditor->setFocus();
    Main().Cursor->SetPos({4, 0});
    Trigger("PasteMnu");
    EXPECT_EQ(Main().GetText(), "textcmd line");
    // A lone Alt never takes the keyboard into the menu bar: the pane keeps it.
    QTest::keyClick(Form->MainEditor, Qt::Key_Alt);
    EXPECT_TRUE(Form->MainEditor->hasFocus());
}

TEST_F(Menus, ZoomSortAndMarginPresets)
{
    Trigger("ZoomOUt1");
    EXPECT_DOUBLE_EQ(Form->MainEditor->Scale(), 1.0);
    Trigger("ZoomIn1");
    Trigger("ZoomIn1");
    EXPECT_DOUBLE_EQ(Form->MainEditor->Scale(), 1.2);
    Trigger("ResetZoom1");
    EXPECT_DOUBLE_EQ(Form->MainEditor->Scale(), 1.0);

    emit M->MarginPopup->aboutToShow();
    EXPECT_EQ(M->MarginItems[0]->text().toStdString(), "0 - 0, 72, 0");
    M->MarginItems[3]->trigger();
    EXPECT_EQ(LeftMargin, 5);
    EXPECT_EQ(RightMargin, 68);
    EXPECT_EQ(ParaIndent, 5);
}

// --- the handlers' logic on a bare text model ---------------------------------------------

struct TextCase {
    TEditorEngine E;
    explicit TextCase(const std::string& Text, TPoint Cursor = {0, 0})
    {
        E.SetText(Text);
        E.Cursor->SetPos(Cursor);
    }
    void Mark(TPoint A, TPoint B)
    {
        E.HighLight->StartPos = A;
        E.HighLight->EndPos = B;
        E.HighLight->Found = false;
    }
    std::string Text() const { return E.GetText(); }
};

TEST(MenuLogic, SortHighlightedLines)
{
    const struct {
        const char* Text;
        TPoint From, To;
        const char* Sorted;
    } Rows[] = {
        {"b\rA\rc", {0, 0}, {1, 2}, "A\rb\rc"},
        {"b\rA\rc\rz", {0, 0}, {0, 3}, "A\rb\rc\rz"},  // the break before z stays
        {"x\rb\ra\ry", {0, 1}, {1, 2}, "x\ra\rb\ry"},
    };
    for (const auto& R : Rows) {
        TextCase C(R.Text);
        C.Mark(R.From, R.To);
        SortHighlighted(C.E);
        EXPECT_EQ(C.Text(), R.Sorted) << R.Text;
        C.E.Undo();
        EXPECT_EQ(C.Text(), R.Text) << "one undo group: " << R.Text;
    }
    TextCase None("b\ra");
    SortHighlighted(None.E);
    EXPECT_EQ(None.Text(), "b\ra");
}

TEST(MenuLogic, SortHighlightedColumnBlockSortsItsPartsInPlace)
{
    const struct {
        const char* Name;
        const char* Text;
        TPoint From, To;
        const char* Sorted;
    } Rows[] = {
        {"block", "xbx\nyCy\nzax", {1, 0}, {2, 2}, "xax\nyby\nzCx"},
        {"marked upwards from the right", "xbx\nyCy\nzax", {2, 2}, {1, 0}, "xax\nyby\nzCx"},
        {"a line with nothing in the block keeps its place", "xc1\ny\nxa2\nzb3", {1, 0}, {2, 3},
         "xa1\ny\nxb2\nzc3"},
        {"parts of different lengths past the line ends", "1ccc\n2a\n3bb", {1, 0}, {4, 2}, "1a\n2bb\n3ccc"},
        {"what lies right of the block stays", "-b!\n-a?", {1, 0}, {2, 1}, "-a!\n-b?"},
    };
    for (const auto& R : Rows) {
        SCOPED_TRACE(R.Name);
        TextCase C(R.Text);
        C.Mark(R.From, R.To);
        C.E.Cursor->SetPos(R.To);
        C.E.Cursor->ColumnBlock = true;
        SortHighlighted(C.E);
        EXPECT_EQ(C.Text(), R.Sorted);
        EXPECT_TRUE(C.E.Cursor->ColumnBlock);
        C.E.Undo();
        EXPECT_EQ(C.Text(), R.Text) << "one undo group";
        C.E.Undo();
        EXPECT_EQ(C.E.Status, edNothingToUndo);
    }
    // Already in order: nothing changes and no undo step is left.
    TextCase Sorted("xax\nybx");
    Sorted.Mark({1, 0}, {2, 1});
    Sorted.E.Cursor->ColumnBlock = true;
    SortHighlighted(Sorted.E);
    EXPECT_EQ(Sorted.Text(), "xax\nybx");
    Sorted.E.Undo();
    EXPECT_EQ(Sorted.E.Status, edNothingToUndo);
}

TEST(MenuLogic, ReplaceAll)
{
    const struct {
        const char* Text;
        TPoint Cursor;
        bool Down;
        const char* Find;
        const char* Replace;
        const char* Expected;
        std::int64_t Count;
    } Rows[] = {
        {"a x a x a", {2, 0}, true, "a", "bb", "a x bb x bb", 2},  // from the cursor on
        {"a x a x a", {5, 0}, false, "a", "bb", "bb x bb x a", 2},  // backward, before the cursor
        {"foofoo", {6, 0}, false, "foo", "", "", 2},               // adjacent matches backward
        {"aaa", {0, 0}, true, "a", "aa", "aaaaaa", 3},             // replacement holds the pattern
        {"aaa", {3, 0}, false, "a", "aa", "aaaaaa", 3},
        {"Ab ab", {0, 0}, true, "ab", "x", "x x", 2},               // case ignored
        {"ab\rab", {0, 0}, true, "ab", "c", "c\rc", 2},
        {"abc", {0, 0}, true, "z", "y", "abc", 0},
    };
    for (const auto& R : Rows) {
        TextCase C(R.Text, R.Cursor);
        TFindOptions O{R.Find, R.Replace, false, false, R.Down};
        EXPECT_EQ(ReplaceAll(C.E, O), R.Count) << R.Text << " " << R.Find;
        EXPECT_EQ(C.Text(), R.Expected) << R.Text << " " << R.Find;
    }
    // A highlighted match is replaced first; a highlight that is no match is not.
    TextCase H("ab ab ab", {8, 0});
    H.Mark({3, 0}, {5, 0});
    EXPECT_EQ(ReplaceAll(H.E, TFindOptions{"ab", "x", false, true, true}), 2);
    EXPECT_EQ(H.Text(), "ab x x");
    H.E.Undo();
    EXPECT_EQ(H.Text(), "ab ab ab");
    TextCase Other("keep ab", {0, 0});
    Other.Mark({0, 0}, {4, 0});
    ReplaceOnce(Other.E, TFindOptions{"ab", "x", false, true, true});
    EXPECT_EQ(Other.Text(), "keep ab");
    EXPECT_TRUE(Other.E.HighLight->Found);  // the match is found instead
    ReplaceOnce(Other.E, TFindOptions{"ab", "x", false, true, true});
    EXPECT_EQ(Other.Text(), "keep x");
}

TEST(MenuLogic, FindOptions)
{
    TextCase C("Word word words", {0, 0});
    TFindOptions O{"word", "", true, true, true};
    EXPECT_TRUE(SearchFromFindDialog(C.E, O));
    EXPECT_EQ(C.E.HighLight->StartPos, (TPoint{5, 0}));
    EXPECT_FALSE(SearchFromFindDialog(C.E, O));  // "words" is no whole word
    O.Down = false;
    O.MatchCase = false;
    EXPECT_TRUE(SearchFromFindDialog(C.E, O));
    EXPECT_EQ(C.E.HighLight->StartPos, (TPoint{0, 0}));
    EXPECT_FALSE(SearchFromFindDialog(C.E, TFindOptions{}));
}

}  // namespace
}  // namespace narvo
