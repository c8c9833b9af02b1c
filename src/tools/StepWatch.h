// Ctrl+Break for a long step started outside a command-line run: a remargin from
// F6 or the menu, a transform from the Format menu, the block indent. For the
// step's duration the pane's OnLongOperation takes the program's events now and
// then (the window repaints, the session's end is handled) and answers whether
// Ctrl+Break, a key or a click came; the step then stops with the text as it was
// (the key or click acts after it), and the status line says "Break" or "Stopped".
// Inside a run the run's own look stays in charge.
#pragma once

#include <functional>
#include <memory>

namespace narvo {

class TEditorEngine;
class TToolWalk;

class TStepWatch {
public:
    explicit TStepWatch(TEditorEngine& Pane);
    ~TStepWatch();
    TStepWatch(const TStepWatch&) = delete;
    TStepWatch& operator=(const TStepWatch&) = delete;

    // Ctrl+Break came while the step went on.
    bool BreakPressed() const;

private:
    TEditorEngine& FPane;
    std::unique_ptr<TToolWalk> FWalk;
};

}  // namespace narvo
