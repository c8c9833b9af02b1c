// The preference and navigation dialogs of the tools layer wired into the main
// window: "Options", "Colors and Fonts", "Margins" and "Go To Line Numbers". They
// are created with the other forms at start-up and freed at exit; the menus open
// them through the accessors below.
#pragma once

#include "tools/GoToLineDialog.h"

namespace narvo {

class TColorDlg;
class TMarginsDlg;
class TOptionsDlg;

// The dialogs of the run (nullptr before the forms are created or after they are freed).
TOptionsDlg* OptionsDlg();
TColorDlg* ColorDlg();
TMarginsDlg* MarginsDlg();

// The dialogs, made with the start-up forms and freed after the message loop.
void CreatePreferenceDialogs();
void FreePreferenceDialogs();

}  // namespace narvo
