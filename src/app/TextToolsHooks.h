// Wires the text tools (file details, pair matching, block indent and the Format
// menu's transforms, change case, 7-bit conversion) to the main window: installs the
// tools' one host over the window (which the spelling dialog, the clipboard viewer,
// the user tools and the backup browser reach it through too), fills the menu
// entries, and makes and frees the text tools' windows with the forms.
#pragma once

namespace narvo {

void InstallTextTools();

// The text tools' forms, made with the start-up forms and freed after the message loop.
void CreateTextToolForms();
void FreeTextToolForms();

}  // namespace narvo
