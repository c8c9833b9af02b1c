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
TScrollEditor* ToolMainEditor() { return TextToolHooks().MainEditor ? TextToolHooks().MainEditor() : nullptr; }

}  // namespace narvo
