// A host of the text tools for tests: the given panes are the active and the main
// pane; the file name is given, and status updates are counted.
#pragma once

#include "tools/TextToolHooks.h"

#include <string>

namespace narvo {

struct TPaneToolHost : TToolHost {
    TScrollEditor* Active = nullptr;
    TScrollEditor* Main = nullptr;
    std::string FileName;
    int StatusUpdates = 0;

    TScrollEditor* ActiveEditor() override { return Active; }
    TScrollEditor* MainEditor() override { return Main; }
    std::string CurrentFileName() override { return FileName; }
    void UpdateStatus() override { ++StatusUpdates; }
};

}  // namespace narvo
