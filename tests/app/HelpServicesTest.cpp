// The help in the program: the `?` service and what the Help menu asks of the help
// bridge open the shipped help's pages.
#include "app/HelpServices.h"
#include "app/MainWindowHost.h"

#include "app/CommandLanguage.h"
#include "app/Documents.h"
#include "app/Settings.h"
#include "components/ChmHelper.h"
#include "platform/ProgramFolder.h"

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

}  // namespace
}  // namespace narvo
