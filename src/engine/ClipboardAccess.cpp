// The process-wide clipboard of the text model (see ClipboardAccess.h). Only the
// user-interface thread edits, so a plain pointer suffices.
#include "engine/ClipboardAccess.h"

namespace narvo {

namespace {
TClipboardAccess* GInstalled = nullptr;

TMemoryClipboard& MemoryClipboard()
{
    static TMemoryClipboard Board;
    return Board;
}
}  // namespace

TClipboardAccess& ClipboardAccess() { return GInstalled ? *GInstalled : MemoryClipboard(); }

TClipboardAccess* SetClipboardAccess(TClipboardAccess* Access)
{
    TClipboardAccess* Previous = GInstalled;
    GInstalled = Access;
    return Previous;
}

TClipboardAccess* InstalledClipboardAccess() { return GInstalled; }

}  // namespace narvo
