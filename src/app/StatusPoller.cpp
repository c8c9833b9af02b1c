// The status polling round (see StatusPoller.h). The offsets are computed under the
// buffer's read lock from the counts of its chunks: a change under way makes the
// round skip that value instead of waiting, and the user-interface thread never
// waits for more than one walk over the chunks.
#include "app/StatusPoller.h"

#include "components/ThreadLib.h"

#include <algorithm>

namespace narvo {

namespace {

// The offset of P, a column past the end of its line (a column-block cursor) taken
// as the line's end; -1 while the buffer is changing or when P names no line.
std::int64_t LocationOf(const TEditorEngine& Pane, TPoint P)
{
    const TEditBuffer& B = *Pane.Strings;
    TEditBuffer::TReadLock Lock(B);
    if (!Lock.Owns() || !B.ValidLine(P.Y) || P.X < 0)
        return -1;
    P.X = std::min(P.X, B.LineLength(P.Y));
    return Pane.PosToOffset(P);
}

}  // namespace

TStatusPoller::TStatusPoller(const TEditorEngine& Pane, TTarget Target) : FPane(Pane), FTarget(std::move(Target)) {}

std::int64_t TStatusPoller::TextSize(const TEditorEngine& Pane)
{
    const TEditBuffer& B = *Pane.Strings;
    TEditBuffer::TReadLock Lock(B);
    if (!Lock.Owns())
        return -1;
    const std::int64_t Last = B.Count() - 1;
    if (Last < 0)
        return 0;
    return Pane.PosToOffset(TPoint{B.LineLength(Last), Last});
}

TStatusPoller::TRound TStatusPoller::Poll(TThreadCapsule& Thread)
{
    bool Computed = false, Shown = false;
    // Read before computing: a value is shown only while these still hold.
    const TPoint Pos = FPane.Cursor->Pos();
    const std::int64_t Count = FPane.ChangeCount.load();

    if (!(Pos == FLastPos) || Count != FLastLocationCount) {
        const std::int64_t Location = LocationOf(FPane, Pos);
        if (Location >= 0) {
            bool Done = false;
            Thread.SyncCall([&](TThreadCapsule&) {
                if (FPane.Cursor->Pos() == Pos && FPane.ChangeCount.load() == Count) {
                    if (FTarget.ShowLocation)
                        FTarget.ShowLocation(Location);
                    Done = true;
                }
            });
            if (Done) {
                FLastPos = Pos;
                FLastLocationCount = Count;
            }
            Computed = true;
            Shown = Shown || Done;
        }
    }

    if (Count != FLastSizeCount) {
        const std::int64_t Size = TextSize(FPane);
        if (Size >= 0) {
            bool Done = false;
            Thread.SyncCall([&](TThreadCapsule&) {
                if (FPane.ChangeCount.load() == Count) {
                    if (FTarget.ShowTextSize)
                        FTarget.ShowTextSize(Size);
                    Done = true;
                }
            });
            if (Done)
                FLastSizeCount = Count;
            Computed = true;
            Shown = Shown || Done;
        }
    }
    return Shown ? TRound::Shown : Computed ? TRound::Stale : TRound::Idle;
}

void TStatusPoller::StatusThreadPoll(TThreadCapsule& Thread)
{
    TRound Round = TRound::Idle;
    try {
        Round = Poll(Thread);
    } catch (...) {
        // A round that met trouble is dropped; the next one starts at once.
        return;
    }
    Thread.Sleep(Round == TRound::Shown ? 0 : Round == TRound::Stale ? StaleSleepMs : IdleSleepMs);
}

}  // namespace narvo
