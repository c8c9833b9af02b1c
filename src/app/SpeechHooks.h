// Wires the "Speech" tool window to the main window: the Tools menu entry shows
// it, and the window with its voice is freed with the forms at exit.
#pragma once

namespace narvo {

void InstallSpeechHooks();

}  // namespace narvo
