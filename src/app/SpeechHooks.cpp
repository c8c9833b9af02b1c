// The speech window's menu entry and lifetime (see SpeechHooks.h).
#include "app/SpeechHooks.h"

#include "app/MainWindowMenus.h"
#include "tools/SpeechDialog.h"

namespace narvo {

void InstallSpeechHooks()
{
    MenuActions().Speech = ShowSpeechDlg;
}

}  // namespace narvo
