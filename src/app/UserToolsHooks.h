// The clipboard formats viewer and the user tools (external programs) in the
// running program: their forms made at start-up, their menu entries, the User
// menu filled at the first activation, and what they need of the main window.
#pragma once

namespace narvo {

// Fills the hooks once, before the main window exists.
void InstallUserToolsHooks();

}  // namespace narvo
