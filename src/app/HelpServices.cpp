// The program's help bridge and the hooks that reach it (see HelpServices.h).
#include "app/HelpServices.h"

#include "app/MainWindow.h"
#include "app/MainWindowMenus.h"
#include "components/ChmHelper.h"
#include "language/AppState.h"

#include <QPointer>
#include <string>

namespace narvo {

namespace {

QPointer<TCHMHelper> GProgramHelp;

}  // namespace

TCHMHelper& ProgramHelp()
{
    if (!GProgramHelp)
        GProgramHelp = new TCHMHelper(Form1);
    // The help file name moves into the program's folder when the window is made,
    // so it is taken afresh at every request.
    GProgramHelp->HelpFile = HelpFileName;
    return *GProgramHelp;
}

void InstallHelpServices()
{
    TMenuActions& Menus = MenuActions();
    Menus.HelpContents = [] { ProgramHelp().ShowTableOfContents(); };
    Menus.HelpTopic = [](int Topic) { ProgramHelp().ShowContextHelp(Topic); };
    // "Search for Help On..." asks with an empty keyword: the index.
    Menus.HelpIndex = [](const std::string& Keyword) { ProgramHelp().ShowHelp(Keyword); };
    Menus.HelpOnHelp = [] { ProgramHelp().HelpOnHelp(); };
}

}  // namespace narvo
