// The clipboard formats viewer and the user tools (external programs) in the
// running program: their forms made at start-up and freed at exit, the User
// menu filled at the first activation (they reach the window through the tools'
// host).
#pragma once

namespace narvo {

// The clipboard-format viewer and the external-program list, made with the start-up
// forms and freed after the message loop.
void CreateUserToolForms();
void FreeUserToolForms();
// Fills the User menu from the external-program list of the settings file.
void LoadExternalPrograms();

}  // namespace narvo
