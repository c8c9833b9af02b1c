// The command language's host over one bare engine pane, for benchmarks that time
// the interpreter without a window: the pane, its text register and the command
// editor's text are all it answers.
#pragma once

#include "engine/EditorEngine.h"
#include "language/CommandHost.h"
#include "language/TextRegister.h"

#include <string>

namespace narvo::bench {

class TEngineCommandHost : public TCommandHost {
public:
    TEditorEngine Pane;
    TXRegister Reg{&Pane};
    std::string CmdEditor;

    TEditorEngine& ActivePane() override { return Pane; }
    TEditorEngine& MainPane() override { return Pane; }
    TXRegister& Register() override { return Reg; }
    std::string CmdEditorText() override { return CmdEditor; }
    void SetCmdEditorText(const std::string& Text) override { CmdEditor = Text; }
};

}  // namespace narvo::bench
