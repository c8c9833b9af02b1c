// The desktop clipboard for the text model: an implementation of the model's
// clipboard interface over the platform's clipboard adapter. Every editor control
// installs it when it is created, unless a clipboard was installed before (a test's
// fake).
#pragma once

#include "engine/ClipboardAccess.h"

namespace narvo {

TClipboardAccess& PlatformClipboardAccess();
// Installs PlatformClipboardAccess() unless another clipboard is installed.
void InstallPlatformClipboard();

}  // namespace narvo
