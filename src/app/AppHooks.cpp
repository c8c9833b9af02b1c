// The hooks' defaults (see AppHooks.h): the documents module for the document
// hooks, and harmless no-ops for the modules that install themselves at start-up.
#include "app/AppHooks.h"

#include "app/Documents.h"

namespace narvo {

namespace {

TAppHooks DefaultHooks()
{
    TAppHooks H;
    H.LoadSettings = [] {};
    H.LoadExternalPrograms = [] {};
    // The documents module answers until something else is installed.
    H.ResetEditState = [] { ResetEditState(); };
    H.OpenTextFile = [](const std::string& Name) { return OpenTextFile(Name); };
    H.CloseTextFile = [] { return CloseTextFile(); };
    H.LoadCommandLines = [] {};
    H.SaveCommandLines = [] {};
    H.CurrentCommandLine = [] { return 0; };
    H.RunCommandLine = [](bool) {};
    H.StepCommandLine = [](int) {};
    H.ClearRunGuard = [] {};
    H.CreateTextRegister = [] {};
    H.FreeTextRegister = [] {};
    H.ScoopFreeSpace = []() -> std::int64_t { return 100000; };
    H.StartStatusThread = [] {};
    H.StopStatusThread = [] {};
    H.StartAutoSave = [] {};
    H.StopAutoSave = [] {};
    H.LoadRecentFiles = [] {};
    H.BoxCharText = [] { return std::string(" "); };
    return H;
}

TAppHooks GHooks = DefaultHooks();

}  // namespace

TAppHooks& AppHooks() { return GHooks; }

void ResetAppHooks() { GHooks = DefaultHooks(); }

}  // namespace narvo
