// The tools' one host over the main window (the text tools, the spelling dialog, the
// clipboard viewer, the user tools and the backup browser reach the window through
// it), and the text tools' windows (file details, pair matching, block indent,
// change case) made and freed with the forms. The menus call the tools directly.
#pragma once

namespace narvo {

void InstallTextTools();

// The text tools' forms, made with the start-up forms and freed after the message loop.
void CreateTextToolForms();
void FreeTextToolForms();

}  // namespace narvo
