// The single table of the text tools' hooks.
#include "tools/TextToolHooks.h"

namespace narvo {

TTextToolHooks& TextToolHooks()
{
    static TTextToolHooks Hooks;
    return Hooks;
}

QWidget* ToolMainWindow() { return TextToolHooks().MainWindow ? TextToolHooks().MainWindow() : nullptr; }
TScrollEditor* ToolActiveEditor() { return TextToolHooks().ActiveEditor ? TextToolHooks().ActiveEditor() : nullptr; }
bool ReplaceColumnParts(TEditorEngine& Pane, const std::function<std::string(const TBlockPart&)>& PartTransform)
{
    if (!Pane.HasMark() || !Pane.Cursor->ColumnBlock)
        return false;
    return Pane.ReplaceBlockParts(Pane.HighLight->Range(), PartTransform);
}

TScrollEditor* ToolMainEditor() { return TextToolHooks().MainEditor ? TextToolHooks().MainEditor() : nullptr; }

}  // namespace narvo
