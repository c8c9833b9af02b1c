// Wires the print preview into the window: the File menu's two print entries, the
// tool bar's print button and the command language's L (print the last preview).
#pragma once

namespace narvo {

void InstallPrintHooks();

// The print preview's form, made with the start-up forms.
void CreatePrintForms();

}  // namespace narvo
