// The help in the program: the `?` service and the Help menu's hooks open the
// shipped help's pages.
#include "app/HelpServices.h"
#include "app/MainWindowHost.h"

#include "app/CommandLanguage.h"
#include "app/Documents.h"
#include "app/MainWindowMenus.h"
#include "app/Settings.h"
#include "components/ChmHelper.h"
#include "platform/ProgramFolder.h"

#include <gtest/gtest.h>

namespace narvo {
namespace {

TEST(HelpServices, CommandAndMenusOpenShippedPages)
{
    const TMenuActions SavedMenus = MenuActions();
    InstallHelpServices();
    ASSERT_EQ(ApplicationHelper(), &ProgramHelp());

    const std::string Folder = ProgramFolder() + "/help/";
    ProgramHost().ShowHelpContents();
    EXPECT_EQ(ProgramHelp().Window()->CurrentFile(), Folder + "contents.html") << ProgramHelp().LastError();
    MenuActions().HelpTopic(1);
    EXPECT_EQ(ProgramHelp().Window()->CurrentFile(), Folder + "keys.html");
    MenuActions().HelpOnHelp();
    EXPECT_EQ(ProgramHelp().Window()->CurrentFile(), Folder + "usinghelp.html");
    MenuActions().HelpIndex("");
    EXPECT_NE(ProgramHelp().Window()->ShownText().find("command table"), std::string::npos);
    EXPECT_TRUE(HelpContext(12));  // a dialog's Help button
    EXPECT_EQ(ProgramHelp().Window()->CurrentAnchor(), "external");
    ProgramHelp().CloseAll();

    MenuActions() = SavedMenus;
}

}  // namespace
}  // namespace narvo
