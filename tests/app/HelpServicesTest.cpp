// The help in the program: the `?` service and what the Help menu asks of the help
// bridge open the shipped help's pages; a modal dialog's Help shows the help above
// the dialog, where it can be read and closed while the dialog waits with its edits.
#include "app/HelpServices.h"
#include "app/MainWindowHost.h"
#include "AppWindowFixture.h"

#include "app/CommandLanguage.h"
#include "app/Documents.h"
#include "app/Settings.h"
#include "components/ChmHelper.h"
#include "platform/ProgramFolder.h"
#include "tools/OptionsDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

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
            if (Options)
                EXPECT_EQ(Options->ShadowChk->isChecked(), Edited);
        });
        EXPECT_EQ(Runs, 1);
    }
    // The Help menu, with no dialog up, shows the help over the main window again.
    ProgramHelp().ShowTableOfContents();
    ASSERT_NE(ProgramHelp().Window(), nullptr);
    EXPECT_EQ(ProgramHelp().Window()->windowHandle()->transientParent(), Form->windowHandle());
    ProgramHelp().CloseAll();
}

}  // namespace
}  // namespace narvo
