// One round of the status polling thread, without Qt: the cursor's character offset
// ("At:") and the text size ("Size:") of one pane, computed off the user-interface
// thread and handed to it through the capsule's synchronized call.
//
// Off the user-interface thread only the cursor and change counter (atomics) and
// the buffer's try-locked offset queries are read; a query that meets a buffer
// being changed answers -1 and the round skips that value. A value is shown only
// when the cursor and change counter still hold, on the user-interface thread, the
// values it was computed from, so a stale number never reaches the status bar.
//
// Both fields count a line end as 2 characters (CR LF), so "At:" at the end of the
// text equals "Size:" whatever the cursor's place. The location is recomputed when
// the cursor moves and also when the text changes (a change before the cursor can
// move the offset without moving the cursor).
#pragma once

#include "engine/EditorEngine.h"

#include <cstdint>
#include <functional>

namespace narvo {

class TThreadCapsule;

class TStatusPoller {
public:
    // Show functions run on the user-interface thread.
    struct TTarget {
        std::function<void(std::int64_t Location)> ShowLocation;
        std::function<void(std::int64_t Size)> ShowTextSize;
    };
    // Pane must outlive the thread that polls it.
    TStatusPoller(const TEditorEngine& Pane, TTarget Target);

    // StatusThreadPoll: one round, then the round's sleep: none when something was
    // shown, StaleSleepMs when a computed value went stale before the user-interface
    // thread could show it (changes keep coming, as in a command-line run, which
    // serves the call only at its next yield), else IdleSleepMs (also while the
    // buffer is being changed). An exception inside the round is dropped and the
    // round ends without sleeping.
    void StatusThreadPoll(TThreadCapsule& Thread);
    // The round itself: something was shown, or every value computed went stale
    // before it could be shown, or there was nothing to compute.
    enum class TRound { Idle, Shown, Stale };
    TRound Poll(TThreadCapsule& Thread);
    // Whether the round computed anything.
    bool PollOnce(TThreadCapsule& Thread) { return Poll(Thread) != TRound::Idle; }

    // The text size as shown: the offset of the end of the text, each line end
    // counting 2; -1 while the buffer is changing.
    static std::int64_t TextSize(const TEditorEngine& Pane);

    static constexpr int IdleSleepMs = 100;
    // Long enough that a stream of changes costs the user-interface thread a call
    // now and then rather than one per yield, short enough that the fields catch
    // up at once when the stream stops.
    static constexpr int StaleSleepMs = 20;

private:
    const TEditorEngine& FPane;
    TTarget FTarget;
    // What the user-interface thread last showed, and from which state (worker only).
    TPoint FLastPos{-1, -1};
    std::int64_t FLastLocationCount = -1;
    std::int64_t FLastSizeCount = -1;
};

}  // namespace narvo
