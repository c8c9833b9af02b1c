// Ctrl+Break for a long step outside a run (see StepWatch.h).
#include "tools/StepWatch.h"

#include "engine/EditorEngine.h"
#include "tools/TextToolHooks.h"
#include "tools/ToolWalk.h"

namespace narvo {

TStepWatch::TStepWatch(TEditorEngine& Pane) : FPane(Pane)
{
    if (Pane.OnLongOperation)
        return;
    FWalk = std::make_unique<TToolWalk>(nullptr, nullptr);
    Pane.OnLongOperation = [W = FWalk.get()] { return !W->Step(TToolWalk::UnitsPerLook); };
}

TStepWatch::~TStepWatch()
{
    if (!FWalk)
        return;
    FPane.OnLongOperation = nullptr;
    // The walk ends first: what it held comes in, and its "Stopped" gives way to
    // "Break" when Ctrl+Break was the cause.
    const bool Break = FWalk->BreakPressed();
    FWalk.reset();
    if (Break)
        if (TToolHost* H = ToolHost())
            H->ShowStepBroken();
}

bool TStepWatch::BreakPressed() const { return FWalk && FWalk->BreakPressed(); }

}  // namespace narvo
