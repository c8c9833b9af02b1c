// The command-line store (see CommandLines.h).
#include "language/CommandLines.h"

#include "language/CommandHost.h"

namespace narvo {

void TCommandLineStore::StoreCmdLine(TCommandHost& Host)
{
    Lines[static_cast<std::size_t>(ShownLine())] = Host.CmdEditorText();
}

void TCommandLineStore::NextCmdLine(TCommandHost& Host)
{
    StoreCmdLine(Host);
    AdvanceCmdLineIndex();
    Host.SetCmdEditorText(Lines[static_cast<std::size_t>(ShownLine())]);
}

void TCommandLineStore::PrevCmdLine(TCommandHost& Host)
{
    StoreCmdLine(Host);
    RetreatCmdLineIndex();
    Host.SetCmdEditorText(Lines[static_cast<std::size_t>(ShownLine())]);
}

void TCommandLineStore::SelectCmdLine(TCommandHost& Host, int N)
{
    if (N < 0 || N >= LineCount)
        return;
    StoreCmdLine(Host);
    Shown() = N;
    Host.SetCmdEditorText(Lines[static_cast<std::size_t>(N)]);
}

void TCommandLineStore::EscToCmdLine(TCommandHost& Host)
{
    StoreCmdLine(Host);
    AdvanceCmdLineIndex();
    Host.SetCmdEditorText(std::string(1, '\x1b'));
    Host.UpdateStatus();
}

std::int32_t TCommandLineStore::BeginCall(std::int32_t N)
{
    const std::int32_t Saved = Current;
    if (FCalls++ == 0)
        EditorLine = Current;
    Current = N;
    return Saved;
}

void TCommandLineStore::EndCall(std::int32_t Saved)
{
    // The outermost call ends on the line the command editor shows (the user may
    // have moved to another one meanwhile); an inner one on its caller.
    if (--FCalls == 0) {
        Current = EditorLine;
        EditorLine = -1;
    } else {
        Current = Saved;
    }
}

TCommandLineStore& CommandLines()
{
    static TCommandLineStore Store;
    return Store;
}

}  // namespace narvo
