// The program's help bridge (see HelpServices.h).
#include "app/HelpServices.h"

#include "app/MainWindow.h"
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

}  // namespace narvo
