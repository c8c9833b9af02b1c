// The pace of a step that builds a large result before it changes the text (a
// paragraph remargined with a wide margin, a highlight transformed, the parts of a
// column block): between pieces of its work it asks the pane's OnLongOperation
// whether to stop, so that Ctrl+Break ends it within a few hundredths of a second
// with the text untouched and what it built freed. Asking costs a call and a
// coarse clock read, so it comes once every LookEvery bytes of work, never per
// character. What the look lets in (a key typed, another command) may change the
// pane meanwhile; the result of a step is then no longer the text's, and is
// dropped as if the step had been stopped.
#pragma once

#include "engine/EditorEngine.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace narvo {

class TLongStep {
public:
    // Bytes of work between two looks: a few microseconds of building.
    static constexpr std::size_t LookEvery = std::size_t{1} << 16;

    explicit TLongStep(const TEditorEngine& Pane)
        : FPane(&Pane), FLook(Pane.OnLongOperation), FChangeCount(Pane.ChangeCount.load()),
          FStart(Pane.HighLight->StartPos), FEnd(Pane.HighLight->EndPos)
    {
    }
    // A step that nothing can stop (a test, a small helper).
    TLongStep() = default;
    // A stopped step hands what it built back to the system: freed, the many
    // margin-wide lines of a wide remargin stay the program's own in the heap.
    ~TLongStep()
    {
#if defined(__GLIBC__)
        if (FStopped && FPane)
            malloc_trim(0);
#endif
    }
    TLongStep(const TLongStep&) = delete;
    TLongStep& operator=(const TLongStep&) = delete;

    // After Units more bytes of work; false once the step is to stop.
    bool Going(std::size_t Units)
    {
        FUnits += Units;
        if (FUnits < LookEvery)
            return !FStopped;
        FUnits = 0;
        if (!FStopped && FLook && FLook())
            FStopped = true;
        if (!FStopped && FPane && Changed())
            FStopped = true;
        return !FStopped;
    }
    // Going for a step that changes the pane itself as it goes: only its look can
    // stop it. A look that let a change of the text in (a key typed between two
    // pieces) makes the step unstoppable: taking it back would take that too.
    bool GoingOn(std::size_t Units)
    {
        FUnits += Units;
        if (FUnits < LookEvery)
            return !FStopped;
        FUnits = 0;
        if (!FStopped && FLook) {
            const std::int64_t Before = FPane ? FPane->UndoList->Mark() : 0;
            const bool Stop = FLook();
            if (FPane && FPane->UndoList->Mark() != Before)
                FLook = nullptr;
            else if (Stop)
                FStopped = true;
        }
        return !FStopped;
    }
    // In a loop over characters: looks when Index reaches a multiple of LookEvery.
    bool GoingAt(std::size_t Index) { return (Index & (LookEvery - 1)) != 0 || Going(LookEvery); }
    // A look has stopped the step (whatever the pane did meanwhile).
    bool Broken() const { return FStopped; }
    // The step's change was broken off and taken back (InsertTextWhole).
    void Stop() { FStopped = true; }
    // The step is not to change the text: it was stopped, or the pane changed
    // meanwhile (its text or its highlight).
    bool Stopped()
    {
        if (!FStopped && FPane && Changed())
            FStopped = true;
        return FStopped;
    }

private:
    bool Changed() const
    {
        return FPane->ChangeCount.load() != FChangeCount || !(FPane->HighLight->StartPos == FStart) ||
               !(FPane->HighLight->EndPos == FEnd);
    }

    const TEditorEngine* FPane = nullptr;
    std::function<bool()> FLook;
    std::int64_t FChangeCount = 0;
    TPoint FStart, FEnd;
    std::size_t FUnits = 0;
    bool FStopped = false;
};

}  // namespace narvo
