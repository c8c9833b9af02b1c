// Undo and redo rings. Each ring holds at most 255,999 records (one slot of the
// 256,000 always stays free) and drops the oldest when full, a whole group at a
// time, so that an undo never takes back half of one. Slots are
// allocated as the ring fills, so an unused ring costs next to nothing. Records are
// grouped with brackets and group flags so that one command, or one whole command
// line, undoes in one step.
#pragma once

#include "shared/Geometry.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace narvo {

// Record kinds: what executing a record does at the cursor.
enum : std::uint8_t {
    ukMove = 0,          // move the cursor to Pos
    ukInsert = 1,        // insert Text, the cursor ends after it
    ukInsertBefore = 2,  // insert Text, the cursor stays before it
    ukDeleteBack = 3,    // delete as many characters before the cursor as Text holds
    ukDeleteForward = 4, // delete as many characters after the cursor as Text holds
    ukBracket = 6,       // group bracket: Flag 0 opens, 2 closes
};

// Group flags.
enum : std::uint8_t { ufOpen = 0, ufInner = 1, ufClose = 2, ufSingle = 3 };

// Which CRs of a record's text are characters of their line. A line end is stored as
// the one CR the buffer counts, so a CR kept inside a line (text inserted keeping its
// line ends as characters, or a file line holding one) reads the same and is told
// apart here. Nearly every record has none.
struct TCharCrs {
    enum : std::uint8_t { None, All, Listed };
    std::uint8_t Which = None;
    std::vector<std::int64_t> At;  // with Listed: their offsets in the text, ascending

    // For text out of one line: every CR in it is a character.
    static TCharCrs InLine(std::string_view Text)
    {
        TCharCrs C;
        if (Text.find('\r') != std::string_view::npos)
            C.Which = All;
        return C;
    }
};

struct TUndoItem {
    std::uint8_t Kind = 0;
    std::uint8_t Flag = 0;
    TPoint Pos;
    std::string Text;
    std::unique_ptr<TCharCrs> Crs;  // none: every CR of Text is a line end
};

// The record that undoes Item: kinds 1<->3 and 2<->4, flags 0<->2.
void InvertUndoItem(TUndoItem& Item);

class TUndoControl {
public:
    static constexpr std::int64_t DefaultCapacity = 256000;

    TUndoControl();
    TUndoControl(const TUndoControl&) = delete;
    TUndoControl& operator=(const TUndoControl&) = delete;

    std::int64_t Capacity() const { return FCapacity; }
    // Sets the number of slots (at least 2) and clears the ring when it changes.
    void SetCapacity(std::int64_t N);
    void Clear();
    // Adds a record and fires OnChange. A line end in the text of an insertion or
    // deletion is stored as the one CR the buffer counts, whatever the caller passed.
    void AddItem(std::uint8_t Kind, std::string_view Text, std::uint8_t Flag, TPoint Pos);
    // A text made for the record (a whole range read out of the lines) is moved in,
    // not copied: a large deletion would otherwise build its text twice.
    template <class S>
        requires std::is_same_v<S, std::string>
    void AddItem(std::uint8_t Kind, S&& Text, std::uint8_t Flag, TPoint Pos)
    {
        AddOwned(Kind, std::move(Text), Flag, Pos, true, {});
    }
    // The same with Text stored as it stands (text taken from the lines, where an LF
    // is a character of its line), and Crs telling which of its CRs are characters
    // too. An insertion's record needs none: executing it finds them in the lines it
    // deletes, and its inverse carries them.
    void AddItemExact(std::uint8_t Kind, std::string_view Text, std::uint8_t Flag, TPoint Pos, TCharCrs Crs = {});
    template <class S>
        requires std::is_same_v<S, std::string>
    void AddItemExact(std::uint8_t Kind, S&& Text, std::uint8_t Flag, TPoint Pos, TCharCrs Crs = {})
    {
        AddOwned(Kind, std::move(Text), Flag, Pos, false, std::move(Crs));
    }
    // A record as the Add calls store it, Text as it stands; for records made before
    // their change and pushed with PushMade.
    static TUndoItem MakeItem(std::uint8_t Kind, std::string Text, std::uint8_t Flag, TPoint Pos, TCharCrs Crs = {});
    // Adds a record without OnChange (moving records between the rings). A closing
    // bracket right after an opening one cancels both.
    void Push(TUndoItem Item);
    // Where the next record goes; after a Push, the mark that DropNewest takes.
    std::int64_t Mark() const { return Head; }
    // Takes the newest record back when the ring still ends where Push left it
    // (Mark() answered AfterPush): its change could not be made.
    void DropNewest(std::int64_t AfterPush);
    // The records pushed since Mark() answered M; more than Count() when some of
    // them are gone (dropped as the oldest, or the ring cleared).
    std::int64_t Since(std::int64_t M) const { return (Head - M + FCapacity) % FCapacity; }
    // Takes the newest record off the ring (without executing it); false when empty.
    bool TakeNewest(TUndoItem& Item);
    // Makes room for one more record, so that the next Push cannot fail for memory.
    void ReserveOne() { Reserve(1); }
    // The same for the next N records.
    void Reserve(std::int64_t N);
    // Adds records made beforehand, oldest first, then fires OnChange once; after
    // Reserve(Records.size()) nothing here allocates, so a change made between the
    // two is never left without its records.
    void PushMade(std::span<TUndoItem> Records);
    void SetLastPos(TPoint P) { LastPos = P; }
    // A cursor-move record back to LastPos when P differs from it. The newest
    // record is executed where the cursor stands, so a move is never left out: one
    // whose record finds no room (the memory ran out) waits outside the slots, goes
    // in before the next record and is undone by the next undo as its own group.
    void AddMoveIfMoved(TPoint P);
    // A group nested in an open one adds its records to the outer group; only the
    // outermost BeginGroup and EndGroup count.
    void BeginGroup();
    void EndGroup();
    // The group that ended last was too large to keep: none of its records are left,
    // so that no undo takes back part of it. Cleared by the next group.
    bool GroupLost() const { return FGroupLost; }
    // The open group has outgrown the ring: it adds no records until it ends.
    bool Keeping() const { return FKeeping; }
    // Executes the records of the last group, newest first; true when any ran.
    // OnExecute moves each executed record, inverted, onto Other (the redo ring for
    // the undo ring and back). With Other the group runs whole or not at all: the
    // slots it takes there and the room its insertions need are looked at before the
    // first record runs, and should a record fail all the same (the memory ran out),
    // those executed before it run back from Other, so that the text and both rings
    // are as they were, and the failure passes on. Without Other a record whose
    // execution fails stays on the ring.
    bool ExecuteGroup(TUndoControl* Other = nullptr);

    bool Empty() const { return Head == Tail; }
    std::int64_t Count() const { return (Head - Tail + FCapacity) % FCapacity; }
    // Record I counted from the oldest.
    const TUndoItem& Item(std::int64_t I) const;
    // Slots allocated so far.
    std::int64_t AllocatedSlots() const { return static_cast<std::int64_t>(Items.size()); }

    std::function<void(TUndoItem& Item, bool Last)> OnExecute;
    std::function<void()> OnChange;
    // A group that grows past the ring's records is kept by its owner instead: once
    // the group fills the ring and one more record would drop its first, its records
    // go and the rest of the group adds none; when it ends, OnGroupKept gives the
    // records that take the whole group back (none: it could not be kept). Without
    // OnGroupKept the oldest records are dropped as in any full ring.
    std::function<void()> OnGroupBegin;
    std::function<void()> OnGroupEnd;
    std::function<std::vector<TUndoItem>()> OnGroupKept;
    // After Clear.
    std::function<void()> OnCleared;
    TPoint LastPos;

private:
    // AddItem (Normalize) or AddItemExact with a text of the record's own.
    void AddOwned(std::uint8_t Kind, std::string&& Text, std::uint8_t Flag, TPoint Pos, bool Normalize, TCharCrs Crs);
    std::int64_t Next(std::int64_t I) const { return I + 1 == FCapacity ? 0 : I + 1; }
    std::int64_t Prev(std::int64_t I) const { return I == 0 ? FCapacity - 1 : I - 1; }
    // Head one slot back; a group start on Head follows it, so that it never lies
    // after the newest record.
    void StepBack();
    TUndoItem& Slot(std::int64_t I) { return Items[static_cast<std::size_t>(I)]; }

    std::int64_t FCapacity = DefaultCapacity;
    std::int64_t GroupStart = -1;
    std::vector<TUndoItem> Items;
    std::int64_t Head = 0;
    std::int64_t Tail = 0;
    int FGroupDepth = 0;
    // The open group outgrew the ring: its records are kept by the owner.
    bool FKeeping = false;
    bool FGroupLost = false;
    // A move that could not be recorded yet: where the cursor was before it.
    std::optional<TPoint> FMoveBack;
    // Puts the waiting move in the slots; throws (and it keeps waiting) when no
    // room can be had.
    void PushMoveBack();
    // The oldest record goes; when it opened a group, the rest of that group goes
    // with it (up to the open group, whose start the owner keeps).
    void DropOldest();
    // Ends a group that outgrew the ring with the owner's records for it.
    void EndKeptGroup();
    // Flags the records from G to the newest as one group.
    void FlagGroup(std::int64_t G);
    // The number of records of the last group, and the most its execution grows the
    // text by on the way (what its insertions add less what its deletions took).
    std::pair<std::int64_t, std::int64_t> LastGroupNeeds() const;
    // Executes the N newest records, newest first (taking back what a group's
    // execution on the other ring did); false when one of them failed.
    bool RunBack(std::int64_t N) noexcept;
};

}  // namespace narvo
