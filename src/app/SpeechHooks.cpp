// The speech window's menu entry and lifetime (see SpeechHooks.h).
#include "app/SpeechHooks.h"

#include "app/AppHooks.h"
#include "app/MainWindowMenus.h"
#include "tools/SpeechDialog.h"

namespace narvo {

void InstallSpeechHooks()
{
    MenuActions().Speech = ShowSpeechDlg;
    AppHooks().FreeForms.push_back(FreeSpeechDlg);
}

}  // namespace narvo
