// The help in the program: the `?` service and what the Help menu asks of the help
// bridge open the shipped help's pages; a modal dialog's Help shows the help above
// the dialog, where it can be read and closed while the dialog waits with its edits,
// and a tool window kept above the others keeps its help above as well; the pages
// name the dialogs' boxes as the dialogs show them and tell where a scoop ends.
#include "app/HelpServices.h"
#include "app/MainWindowHost.h"
#include "AppWindowFixture.h"

#include "app/CommandLanguage.h"
#include "app/Documents.h"
#include "app/Settings.h"
#include "app/UserTools.h"
#include "components/ChmHelper.h"
#include "platform/ProgramFolder.h"
#include "language/TextRegister.h"
#include "app/DebuggerDialog.h"
#include "engine/EditBuffer.h"
#include "tools/ExternalPrograms.h"
#include "tools/MatchPairs.h"
#include "tools/OptionsDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sstream>

namespace narvo {
namespace {

TEST(HelpServices, CommandAndMenusOpenShippedPages)
{
    ASSERT_EQ(ApplicationHelper(), &ProgramHelp());

    const std::string Folder = ProgramFolder() + "/help/";
    ProgramHost().ShowHelpContents();
    EXPECT_EQ(ProgramHelp().Window()->CurrentFile(), Folder + "contents.html") << ProgramHelp().LastError();
    // What the Help menu's entries ask of the bridge.
    ProgramHelp().ShowContextHelp(1);
    EXPECT_EQ(ProgramHelp().Window()->CurrentFile(), Folder + "keys.html");
    ProgramHelp().HelpOnHelp();
    EXPECT_EQ(ProgramHelp().Window()->CurrentFile(), Folder + "usinghelp.html");
    ProgramHelp().ShowHelp("");
    EXPECT_NE(ProgramHelp().Window()->ShownText().find("command table"), std::string::npos);
    EXPECT_TRUE(HelpContext(12));  // a dialog's Help button
    EXPECT_EQ(ProgramHelp().Window()->CurrentAnchor(), "external");
    ProgramHelp().CloseAll();
}

class HelpFromDialogs : public AppWindowFixture {
protected:
    void SetUp() override
    {
        AppWindowFixture::SetUp();
        // A bridge made before this window (by a test without one) would keep the
        // help over no window at all; this window makes its own.
        if (TCHMHelper* Old = ApplicationHelper(); Old && !Old->parent())
            delete Old;
        Form->show();
        CreateStartupForms();
    }
    void TearDown() override
    {
        FreeStartupForms();
        AppWindowFixture::TearDown();
    }
    // Triggers the menu entry Name and runs Script once on the modal dialog it shows;
    // answers how many times Script ran.
    int WhileModal(const char* Name, const std::function<void(QDialog&)>& Script)
    {
        int Runs = 0;
        QTimer Poll;
        Poll.setInterval(10);
        QObject::connect(&Poll, &QTimer::timeout, [&] {
            if (auto* D = qobject_cast<QDialog*>(QApplication::activeModalWidget()); D && D->isVisible()) {
                Poll.stop();
                ++Runs;
                Script(*D);
                D->reject();
            }
        });
        Poll.start();
        Trigger(Name);
        return Runs;
    }
    static QAbstractButton* HelpButton(QWidget& Dialog)
    {
        for (QAbstractButton* B : Dialog.findChildren<QAbstractButton*>())
            if (B->text().remove('&') == "Help" && B->isVisibleTo(&Dialog))
                return B;
        return nullptr;
    }
};

TEST_F(HelpFromDialogs, HelpShowsAboveTheModalDialogAndClosesWithoutCancellingIt)
{
    for (const char* Name : {"OptionsMnu", "FontsMnu", "MarginsMnu", "CharacterSetMnu", "MacrosMnu", "UserToolsMnu",
                             "CopyMergeFilesMnu", "Print1"}) {
        SCOPED_TRACE(Name);
        const int Runs = WhileModal(Name, [&](QDialog& D) {
            // An edit the Esc meant for the help must not throw away.
            auto* Options = qobject_cast<TOptionsDlg*>(&D);
            if (Options)
                Options->ShadowChk->setChecked(!Options->ShadowChk->isChecked());
            const bool Edited = Options && Options->ShadowChk->isChecked();
            QAbstractButton* Help = HelpButton(D);
            ASSERT_NE(Help, nullptr);
            Help->click();
            THelpWindow* W = ProgramHelp().Window();
            ASSERT_NE(W, nullptr);
            ASSERT_TRUE(W->isVisible()) << ProgramHelp().LastError();
            EXPECT_FALSE(W->CurrentFile().empty());
            // Above the dialog: the window system keeps it over the dialog's window.
            ASSERT_NE(W->windowHandle(), nullptr);
            EXPECT_EQ(W->windowHandle()->transientParent(), D.windowHandle());
            // Keys reach it through the window system, which drops what a window
            // blocked by the modal dialog is sent: Esc closes the help alone.
            QTest::keyClick(W->windowHandle(), Qt::Key_Escape);
            EXPECT_FALSE(W->isVisible());
            EXPECT_TRUE(D.isVisible());
            if (Options) {
                EXPECT_EQ(Options->ShadowChk->isChecked(), Edited);
            }
        });
        EXPECT_EQ(Runs, 1);
    }
    // The Help menu, with no dialog up, shows the help over the main window again.
    ProgramHelp().ShowTableOfContents();
    ASSERT_NE(ProgramHelp().Window(), nullptr);
    EXPECT_EQ(ProgramHelp().Window()->windowHandle()->transientParent(), Form->windowHandle());
    ProgramHelp().CloseAll();
}

// On X11 the toolkit names a window's owner to the window manager only for a
// dialog-type window: an ordinary window over the Options dialog fell under the
// main window once the dialog was clicked. And a window manager may raise a modal
// dialog over the windows that belong to it, so the help is kept above meanwhile.
TEST_F(HelpFromDialogs, HelpOverAModalDialogStaysAboveItAndTheMainWindow)
{
    const int Runs = WhileModal("OptionsMnu", [&](QDialog& D) {
        QAbstractButton* Help = HelpButton(D);
        ASSERT_NE(Help, nullptr);
        Help->click();
        THelpWindow* W = ProgramHelp().Window();
        ASSERT_TRUE(W && W->isVisible());
        EXPECT_EQ(W->windowType(), Qt::Dialog);
        EXPECT_TRUE(W->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        EXPECT_FALSE(W->isModal());
        EXPECT_TRUE(D.isEnabled());
        QTest::keyClick(W->windowHandle(), Qt::Key_Escape);
    });
    EXPECT_EQ(Runs, 1);
    ProgramHelp().ShowTableOfContents();
    EXPECT_EQ(ProgramHelp().Window()->windowType(), Qt::Window);
    EXPECT_FALSE(ProgramHelp().Window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    ProgramHelp().CloseAll();
}

TEST_F(HelpFromDialogs, HelpShowsAboveTheToolWindowThatAskedForIt)
{
    // Tool windows stay above the main window (the debugger above every window):
    // help shown over the main window would lie under them.
    Trigger("MatchPairsMnu");
    ASSERT_NE(DebugDlg(), nullptr);
    DebugDlg()->show();
    for (QDialog* D : {static_cast<QDialog*>(&MatchPairsDlg()), static_cast<QDialog*>(DebugDlg())}) {
        SCOPED_TRACE(D->windowTitle().toStdString());
        ASSERT_TRUE(D->isVisible());
        QApplication::setActiveWindow(D);
        QAbstractButton* Help = HelpButton(*D);
        ASSERT_NE(Help, nullptr);
        Help->click();
        THelpWindow* W = ProgramHelp().Window();
        ASSERT_NE(W, nullptr);
        ASSERT_TRUE(W->isVisible());
        EXPECT_EQ(W->windowHandle()->transientParent(), D->windowHandle());
        // A window kept above all others has its help kept above too, or the help
        // lies under it.
        EXPECT_EQ(W->windowFlags().testFlag(Qt::WindowStaysOnTopHint),
                  D->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QTest::keyClick(W->windowHandle(), Qt::Key_Escape);
        EXPECT_FALSE(W->isVisible());
        EXPECT_TRUE(D->isVisible());
    }
    EXPECT_TRUE(DebugDlg()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    DebugDlg()->hide();
    MatchPairsDlg().hide();
    // Asked for over the main window again, the help is an ordinary window.
    QApplication::setActiveWindow(Form.get());
    ProgramHost().ShowHelpContents();
    ASSERT_TRUE(ProgramHelp().Window()->isVisible());
    EXPECT_FALSE(ProgramHelp().Window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    ProgramHelp().CloseAll();
}

// The page the help window shows ("" when it is closed).
std::string ShownPage()
{
    const THelpWindow* W = ProgramHelp().Window();
    return W && W->isVisible() ? W->CurrentFile() + "#" + W->CurrentAnchor() : std::string();
}

// F1 on the dialog, and on every control of it that can take the focus, shows the
// page its Help button shows.
void ExpectF1OpensHelpButtonsPage(QDialog& D, QAbstractButton& Help)
{
    SCOPED_TRACE(D.windowTitle().toStdString());
    ProgramHelp().CloseAll();
    Help.click();
    const std::string Page = ShownPage();
    ASSERT_FALSE(Page.empty()) << ProgramHelp().LastError();
    ProgramHelp().CloseAll();
    std::vector<QWidget*> Targets{&D};
    for (QWidget* W : D.findChildren<QWidget*>())
        if (W->focusPolicy() != Qt::NoFocus && W->window() == &D && W->isVisibleTo(&D))
            Targets.push_back(W);
    for (QWidget* T : Targets) {
        QTest::keyClick(T, Qt::Key_F1);
        EXPECT_EQ(ShownPage(), Page) << T->metaObject()->className() << " " << T->objectName().toStdString();
        ProgramHelp().CloseAll();
    }
}

TEST_F(HelpFromDialogs, F1OnEveryDialogWithAHelpButtonOpensItsPage)
{
    std::set<const QWidget*> Walked;
    const auto Check = [&](QDialog& D) {
        QAbstractButton* Help = HelpButton(D);
        ASSERT_NE(Help, nullptr) << D.windowTitle().toStdString();
        ExpectF1OpensHelpButtonsPage(D, *Help);
        Walked.insert(&D);
    };
    for (const char* Name : {"OptionsMnu", "FontsMnu", "MarginsMnu", "CharacterSetMnu", "MacrosMnu", "UserToolsMnu",
                             "CopyMergeFilesMnu", "Print1", "SpellCheckerMnu"}) {
        SCOPED_TRACE(Name);
        EXPECT_EQ(WhileModal(Name, Check), 1);
    }
    // The tool windows stay open beside the main window.
    for (const char* Name : {"MatchPairsMnu", "ChangeCaseMnu", "BlockIndentMnu"}) {
        SCOPED_TRACE(Name);
        Trigger(Name);
        auto* D = qobject_cast<QDialog*>(QApplication::activeWindow());
        for (QWidget* W : QApplication::topLevelWidgets())
            if (auto* Shown = qobject_cast<QDialog*>(W); Shown && Shown->isVisible() && !Walked.count(Shown) &&
                                                         HelpButton(*Shown))
                D = Shown;
        ASSERT_NE(D, nullptr);
        Check(*D);
        D->hide();
    }
    ASSERT_NE(DebugDlg(), nullptr);
    DebugDlg()->show();
    Check(*DebugDlg());
    DebugDlg()->hide();
    // None is left out: every window of the program with a Help button was walked.
    for (QWidget* W : QApplication::topLevelWidgets())
        if (auto* D = qobject_cast<QDialog*>(W); D && HelpButton(*D))
            EXPECT_TRUE(Walked.count(D)) << D->windowTitle().toStdString();
    EXPECT_GE(Walked.size(), 13u);

    // The main window names no page: F1 there keeps its own meaning (in a pane it
    // recalls a command line, as the key routing's tests check) and opens no help.
    for (QWidget* Where : {static_cast<QWidget*>(&Main()), static_cast<QWidget*>(Form->CmdEditor)}) {
        QTest::keyClick(Where, Qt::Key_F1);
        EXPECT_EQ(ShownPage(), "");
    }
}

// The part of a shipped help page from the anchor Name to the next heading.
std::string HelpSection(const std::string& Page, const std::string& Name)
{
    std::ifstream In(ProgramFolder() + "/help/" + Page);
    std::ostringstream S;
    S << In.rdbuf();
    const std::string Html = S.str();
    const auto Start = Html.find("<a name=\"" + Name + "\">");
    if (Start == std::string::npos)
        return {};
    const auto End = Html.find("<h2", Start);
    return Html.substr(Start, End == std::string::npos ? std::string::npos : End - Start);
}

using HelpTellsWhatTheProgramDoes = HelpFromDialogs;

TEST_F(HelpTellsWhatTheProgramDoes, KeysTheCommandLineKeepsForItself)
{
    // Each control key the command line takes for itself (it does not go into the
    // line as a command) is named in the help's section on that line.
    const std::string Section = HelpSection("keys.html", "cmdline");
    ASSERT_FALSE(Section.empty());
    TScrollEditor& Line = *Form->CmdEditor;
    int Kept = 0;
    for (int C = 1; C < 32; ++C) {
        if (C == 27)
            continue;  // Esc: Esc Esc runs the line
        Line.SetStrings({""});
        char Key = static_cast<char>(C);
        Line.KeyPress(Key);
        char Next = 'q';
        Line.KeyPress(Next);  // after ^^ this goes in as it is
        if (Line.GetText().find(static_cast<char>(C)) != std::string::npos)
            continue;
        ++Kept;
        const std::string Name = std::string("^") + static_cast<char>(C + 64);
        EXPECT_NE(Section.find(Name), std::string::npos) << Name;
    }
    EXPECT_EQ(Kept, 6);  // ^C ^H ^O ^V ^X and ^^
}

TEST_F(HelpTellsWhatTheProgramDoes, CodesOfTheUserTools)
{
    // Every % code the program line of a user tool knows is in the help's table.
    const std::string Section = HelpSection("dialogs.html", "external");
    ASSERT_FALSE(Section.empty());
    int Codes = 0;
    for (char L = 'a'; L <= 'z'; ++L) {
        const std::string Code = std::string("%") + L;
        const TExpandedCommand E = ExpandCommand(Code, "/home/me/main.c");
        if (E.Text == Code && !E.SaveFirst && !E.GotoLine)
            continue;
        ++Codes;
        EXPECT_NE(Section.find("<code>" + Code + "</code>"), std::string::npos) << Code;
    }
    EXPECT_EQ(Codes, 8);
}

TEST_F(HelpTellsWhatTheProgramDoes, WhereTheScoopEnds)
{
    // Forward past the ^R point gives back the older text too; the scoop ends on
    // the step after the register is empty.
    ASSERT_NE(ProgramRegister(), nullptr);
    TXRegister& R = *ProgramRegister();
    R.Clear();
    R.AddText("ld");
    Main().SetStrings({"hello world"});
    Main().setFocus();
    Main().Cursor->SetPos(TPoint{5, 0});
    QTest::keyClick(&Main(), Qt::Key_R, Qt::ControlModifier);
    QTest::keyClick(&Main(), Qt::Key_Left);
    EXPECT_EQ(R.FreeSpace(), 99997);
    for (const std::int64_t Free : {99998, 99999, 100000}) {
        QTest::keyClick(&Main(), Qt::Key_Right);
        EXPECT_EQ(R.FreeSpace(), Free);
        EXPECT_EQ(R.Mode(), 1);  // still "On"
    }
    QTest::keyClick(&Main(), Qt::Key_Right);
    EXPECT_EQ(R.Mode(), 0);
    const std::string Section = HelpSection("keys.html", "register");
    EXPECT_EQ(Section.find("empties the register and ends"), std::string::npos);
    EXPECT_NE(Section.find("The scoop ends on the first\nstep forward after the register is empty"), std::string::npos);
}

TEST_F(HelpTellsWhatTheProgramDoes, TheBoxesOfADialogByTheNamesItShows)
{
    LoadExternalPrograms();  // the User menu the tools dialog edits
    const std::pair<const char*, const char*> Dialogs[] = {
        {"UserToolsMnu", "external"}, {"CopyMergeFilesMnu", "copymerge"}, {"FontsMnu", "colors"}};
    for (const auto& [Menu, Anchor] : Dialogs) {
        const std::string Section = HelpSection("dialogs.html", Anchor);
        ASSERT_FALSE(Section.empty()) << Anchor;
        int Boxes = 0;
        const int Runs = WhileModal(Menu, [&](QDialog& D) {
            for (const QCheckBox* Box : D.findChildren<QCheckBox*>()) {
                ++Boxes;
                const std::string Name = "\"" + Box->text().remove('&').toStdString() + "\"";
                EXPECT_NE(Section.find(Name), std::string::npos) << Anchor << ": " << Name;
            }
        });
        EXPECT_EQ(Runs, 1) << Menu;
        EXPECT_GT(Boxes, 0) << Menu;
    }
}

TEST_F(HelpTellsWhatTheProgramDoes, WhichWayTheScoopCollectsAndWhereALineEnds)
{
    Main().SetStrings({"hello world"});
    Main().setFocus();
    QTest::keyClick(&Main(), Qt::Key_End);
    QTest::keyClick(&Main(), Qt::Key_R, Qt::ControlModifier);
    for (int I = 0; I < 5; ++I)
        QTest::keyClick(&Main(), Qt::Key_Left);
    QTest::keyClick(&Main(), Qt::Key_F, Qt::ControlModifier);
    ASSERT_NE(ProgramRegister(), nullptr);
    ASSERT_EQ(ProgramRegister()->GetText(), "world");  // collected moving backward
    EXPECT_NE(HelpSection("keys.html", "register").find("<b>backward</b>"), std::string::npos);

    // The end of a line: the start of the next one, then Left.
    Main().SetStrings({"ab", "cd"});
    QTest::keyClick(&Main(), Qt::Key_Home);
    QTest::keyClick(&Main(), Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(&Main(), Qt::Key_Left);
    EXPECT_EQ(Main().Cursor->Pos(), (TPoint{2, 0}));
    EXPECT_NE(HelpSection("keys.html", "lineend").find("^S (start of the next line) and then Left"), std::string::npos);
}

TEST_F(HelpTellsWhatTheProgramDoes, UtfSixteenKeepsItsByteOrderAndRJoinsTheNextLine)
{
    // A big-endian UTF-16 file is written back big-endian, byte for byte.
    const std::string Big("\xFE\xFF\0a\0\r\0\n\0b", 10);
    Main().SetText(Big);
    ASSERT_EQ(Main().Strings->Encoding, 2);
    EXPECT_EQ(Main().FileBytes(), Big);
    const std::string Text = HelpSection("files.html", "text");
    EXPECT_EQ(Text.find("little-endian"), std::string::npos);
    EXPECT_NE(Text.find("in the byte order it came in"), std::string::npos);

    // R (and Shift+^X) take the line end too: the next line joins on.
    Main().SetStrings({"abcd", "ef"});
    Main().Cursor->SetPos(TPoint{2, 0});
    Form->CmdEditor->SetText("R");
    RunCurrentCommandLine(false);
    EXPECT_EQ(Main().GetText(), "abef");
    EXPECT_NE(HelpSection("commands.html", "table").find("joining the next line on"), std::string::npos);
    EXPECT_NE(HelpSection("keys.html", "lineend").find("so the next line joins on"), std::string::npos);
}

}  // namespace
}  // namespace narvo

