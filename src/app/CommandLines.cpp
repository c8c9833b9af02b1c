// The command-line store (see CommandLines.h).
#include "app/CommandLines.h"

#include "app/CommandHost.h"

namespace narvo {

void TCommandLineStore::StoreCmdLine(TCommandHost& Host) { Lines[static_cast<std::size_t>(Current)] = Host.CmdEditorText(); }

void TCommandLineStore::NextCmdLine(TCommandHost& Host)
{
    StoreCmdLine(Host);
    AdvanceCmdLineIndex();
    Host.SetCmdEditorText(Lines[static_cast<std::size_t>(Current)]);
}

void TCommandLineStore::PrevCmdLine(TCommandHost& Host)
{
    StoreCmdLine(Host);
    RetreatCmdLineIndex();
    Host.SetCmdEditorText(Lines[static_cast<std::size_t>(Current)]);
}

void TCommandLineStore::SelectCmdLine(TCommandHost& Host, int N)
{
    if (N < 0 || N >= LineCount)
        return;
    StoreCmdLine(Host);
    Current = N;
    Host.SetCmdEditorText(Lines[static_cast<std::size_t>(N)]);
}

void TCommandLineStore::EscToCmdLine(TCommandHost& Host)
{
    StoreCmdLine(Host);
    AdvanceCmdLineIndex();
    Host.SetCmdEditorText(std::string(1, '\x1b'));
    Host.UpdateStatus();
}

TCommandLineStore& CommandLines()
{
    static TCommandLineStore Store;
    return Store;
}

}  // namespace narvo
