// The text tools' one host (see TextToolHooks.h).
#include "tools/TextToolHooks.h"

namespace narvo {

namespace {
TToolHost* GHost = nullptr;
}

TToolHost* ToolHost() { return GHost; }
void SetToolHost(TToolHost* Host) { GHost = Host; }

TToolWorking::TToolWorking(std::int64_t Bytes) : FShown(Bytes >= LongOperationBytes && GHost)
{
    if (FShown)
        GHost->ShowWorking(true);
}

TToolWorking::~TToolWorking()
{
    if (FShown && GHost)
        GHost->ShowWorking(false);
}

QWidget* ToolMainWindow() { return GHost ? GHost->MainWindow() : nullptr; }
TScrollEditor* ToolActiveEditor() { return GHost ? GHost->ActiveEditor() : nullptr; }
bool ReplaceColumnParts(TEditorEngine& Pane, const std::function<std::string(const TBlockPart&)>& PartTransform)
{
    if (!Pane.HasMark() || !Pane.Cursor->ColumnBlock)
        return false;
    return Pane.ReplaceBlockParts(Pane.HighLight->Range(), PartTransform);
}

TScrollEditor* ToolMainEditor() { return GHost ? GHost->MainEditor() : nullptr; }

}  // namespace narvo
