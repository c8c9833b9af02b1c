// The undo ring: pushing with bracket cancelling, grouping, and executing a group.
// The group start is kept between the oldest and the newest record at all times, so
// that ending a group can never take in records older than the group.
#include "engine/UndoRing.h"

#include "engine/EditBuffer.h"
#include "platform/posix/ProcessMemory.h"

#include <algorithm>
#include <new>
#include <stdexcept>

namespace narvo {

void InvertUndoItem(TUndoItem& Item)
{
    switch (Item.Kind) {
    case ukInsert: Item.Kind = ukDeleteBack; break;
    case ukInsertBefore: Item.Kind = ukDeleteForward; break;
    case ukDeleteBack: Item.Kind = ukInsert; break;
    case ukDeleteForward: Item.Kind = ukInsertBefore; break;
    default: break;
    }
    if (Item.Flag == ufOpen)
        Item.Flag = ufClose;
    else if (Item.Flag == ufClose)
        Item.Flag = ufOpen;
}

TUndoControl::TUndoControl() = default;

void TUndoControl::SetCapacity(std::int64_t N)
{
    if (N < 2)
        N = 2;
    if (N == FCapacity)
        return;
    FCapacity = N;
    Clear();
}

void TUndoControl::Clear()
{
    std::vector<TUndoItem>().swap(Items);
    Head = 0;
    Tail = 0;
    if (GroupStart >= 0)
        GroupStart = 0;
    // An open group goes on from here with records of its own again.
    FKeeping = false;
    FMoveBack.reset();
    if (OnCleared)
        OnCleared();
    if (OnChange)
        OnChange();
}

void TUndoControl::AddItem(std::uint8_t Kind, std::string_view Text, std::uint8_t Flag, TPoint Pos)
{
    AddOwned(Kind, std::string(Text), Flag, Pos, true, {});
}

TUndoItem TUndoControl::MakeItem(std::uint8_t Kind, std::string Text, std::uint8_t Flag, TPoint Pos, TCharCrs Crs)
{
    TUndoItem Item;
    Item.Kind = Kind;
    Item.Flag = Flag;
    Item.Pos = Pos;
    Item.Text = std::move(Text);
    if (Crs.Which != TCharCrs::None)
        Item.Crs = std::make_unique<TCharCrs>(std::move(Crs));
    return Item;
}

void TUndoControl::AddItemExact(std::uint8_t Kind, std::string_view Text, std::uint8_t Flag, TPoint Pos, TCharCrs Crs)
{
    AddOwned(Kind, std::string(Text), Flag, Pos, false, std::move(Crs));
}

void TUndoControl::AddOwned(std::uint8_t Kind, std::string&& Text, std::uint8_t Flag, TPoint Pos, bool Normalize,
                            TCharCrs Crs)
{
    if (Normalize && Kind >= ukInsert && Kind <= ukDeleteForward && Text.find('\n') != std::string::npos)
        Text = NormalizeLineBreaks(Text);
    Push(MakeItem(Kind, std::move(Text), Flag, Pos, std::move(Crs)));
    if (OnChange)
        OnChange();
}

void TUndoControl::StepBack()
{
    if (GroupStart == Head)
        GroupStart = Prev(Head);
    Head = Prev(Head);
}

void TUndoControl::PushMoveBack()
{
    const TPoint Back = *FMoveBack;
    FMoveBack.reset();
    try {
        Push(MakeItem(ukMove, {}, ufSingle, Back));
    } catch (...) {
        FMoveBack = Back;
        throw;
    }
}

void TUndoControl::Push(TUndoItem Item)
{
    if (FKeeping)
        return;  // the owner keeps the whole group
    if (FMoveBack)
        PushMoveBack();
    if (!Empty() && Item.Kind == ukBracket && Item.Flag == ufClose) {
        const TUndoItem& Before = Slot(Prev(Head));
        if (Before.Kind == ukBracket && Before.Flag == ufOpen) {
            StepBack();
            return;
        }
    }
    if (FGroupDepth > 0 && OnGroupKept && GroupStart == Tail && Next(Head) == Tail) {
        // The open group fills the ring and this record would drop its first: from
        // here its owner keeps the group whole, and its records go.
        while (Head != Tail) {
            Head = Prev(Head);
            Slot(Head) = TUndoItem();
        }
        GroupStart = Head;
        FKeeping = true;
        return;
    }
    // Slots are allocated in order: Head reaches a new slot only right after the
    // one before it was written.
    if (Head == AllocatedSlots()) {
        ReserveOne();
        Items.push_back(std::move(Item));
    } else {
        Slot(Head) = std::move(Item);
    }
    Head = Next(Head);
    if (Head == Tail)
        DropOldest();
    if (Head == GroupStart)
        GroupStart = Next(GroupStart);
}

void TUndoControl::DropOldest()
{
    const bool Opening = Slot(Tail).Flag == ufOpen;
    Slot(Tail) = TUndoItem();
    Tail = Next(Tail);
    if (!Opening)
        return;
    // The rest of a group whose opening record went is no use: undoing it would
    // leave a text that never was. It goes too, through its closing record.
    while (Tail != Head && !(FGroupDepth > 0 && Tail == GroupStart)) {
        const bool Closing = Slot(Tail).Flag == ufClose;
        Slot(Tail) = TUndoItem();
        Tail = Next(Tail);
        if (Closing)
            break;
    }
}

void TUndoControl::DropNewest(std::int64_t AfterPush)
{
    if (Empty() || Head != AfterPush)
        return;
    StepBack();
    Slot(Head) = TUndoItem();
}

bool TUndoControl::TakeNewest(TUndoItem& Item)
{
    if (Empty())
        return false;
    StepBack();
    // Moved out through a fresh record: a string moved into one that holds text
    // hands it that text's room, which the slot would then keep.
    TUndoItem Taken = std::move(Slot(Head));
    Slot(Head) = TUndoItem();
    Item = std::move(Taken);
    return true;
}

void TUndoControl::Reserve(std::int64_t N)
{
    // The slots before Head are allocated, and the ring wraps onto allocated slots.
    // A move waiting to be recorded takes a slot before them.
    const std::int64_t Need = std::min(FCapacity, Head + N + (FMoveBack ? 1 : 0));
    if (Need <= static_cast<std::int64_t>(Items.capacity()))
        return;
    const std::int64_t Grown = std::min<std::int64_t>(FCapacity, std::max<std::int64_t>(64, 2 * AllocatedSlots()));
    Items.reserve(static_cast<std::size_t>(std::max(Need, Grown)));
}

void TUndoControl::PushMade(std::span<TUndoItem> Records)
{
    for (TUndoItem& R : Records)
        Push(std::move(R));
    if (OnChange)
        OnChange();
}

void TUndoControl::AddMoveIfMoved(TPoint P)
{
    if (P == LastPos)
        return;
    try {
        AddItem(ukMove, {}, ufSingle, LastPos);
    } catch (const std::bad_alloc&) {
        // The cursor has moved all the same. Of several such moves in a row the
        // first one's start is where undo takes the cursor back to.
        if (!FMoveBack)
            FMoveBack = LastPos;
        if (OnChange)
            OnChange();
    }
}

void TUndoControl::BeginGroup()
{
    if (FGroupDepth++ > 0)
        return;
    // A move still waiting goes in before the group, which may outgrow the ring.
    if (FMoveBack) {
        try {
            PushMoveBack();
        } catch (const std::bad_alloc&) {
        }
    }
    GroupStart = Head;
    FKeeping = false;
    FGroupLost = false;
    if (OnGroupBegin)
        OnGroupBegin();
}

void TUndoControl::EndGroup()
{
    if (FGroupDepth == 0) {
        FlagGroup(GroupStart);
        return;
    }
    if (--FGroupDepth > 0)
        return;
    if (FKeeping)
        EndKeptGroup();
    else
        FlagGroup(GroupStart);
    if (OnGroupEnd)
        OnGroupEnd();
}

void TUndoControl::EndKeptGroup()
{
    FKeeping = false;
    std::vector<TUndoItem> Records;
    try {
        if (OnGroupKept)
            Records = OnGroupKept();
        Reserve(static_cast<std::int64_t>(Records.size()));
    } catch (...) {
        // A group also ends while an exception passes (a run ended by one): the
        // group is then lost, never half kept.
        Records.clear();
    }
    GroupStart = Head;
    if (Records.empty()) {
        FGroupLost = true;
        return;
    }
    for (TUndoItem& R : Records)
        Push(std::move(R));
    FlagGroup(GroupStart);
}

void TUndoControl::FlagGroup(std::int64_t G)
{
    if (G < 0 || G >= FCapacity || G == Head)
        return;
    const std::int64_t Last = Prev(Head);
    if (G == Last) {
        Slot(G).Flag = ufSingle;
        return;
    }
    Slot(G).Flag = ufOpen;
    for (std::int64_t I = Next(G); I != Last; I = Next(I))
        Slot(I).Flag = ufInner;
    Slot(Last).Flag = ufClose;
}

bool TUndoControl::ExecuteGroup(TUndoControl* Other)
{
    if (FMoveBack) {
        // The move that found no slot is the newest change: it goes back first, as
        // a group of its own.
        if (Other)
            Other->ReserveOne();
        TUndoItem Move = MakeItem(ukMove, {}, ufSingle, *FMoveBack);
        if (OnExecute)
            OnExecute(Move, true);
        FMoveBack.reset();
        return true;
    }
    if (Head == Tail)
        return false;
    if (Other) {
        const auto [Records, Growth] = LastGroupNeeds();
        // Once the first record has run, moving the others onto Other cannot fail.
        Other->Reserve(Records);
        // Past a control group's limit an insertion would not fail but end the
        // program: a group that cannot fit is refused before it starts.
        NeedRoomFor(Growth);
    }
    std::int64_t Done = 0;
    for (;;) {
        StepBack();
        TUndoItem Item = std::move(Slot(Head));
        Slot(Head) = TUndoItem();
        const bool Last = Item.Flag == ufOpen || Item.Flag == ufSingle;
        try {
            if (OnExecute)
                OnExecute(Item, Last);
        } catch (...) {
            // The execution changed nothing: the record stays for a later try, and
            // the records executed before it are taken back, so that no group is
            // ever left half done. Taking back mostly removes what was inserted; it
            // restores a text that fitted before the call.
            Slot(Head) = std::move(Item);
            Head = Next(Head);
            if (Other)
                Other->RunBack(std::min(Done, Other->Count()));
            throw;
        }
        ++Done;
        if (Last || Head == Tail)
            break;
    }
    return true;
}

std::pair<std::int64_t, std::int64_t> TUndoControl::LastGroupNeeds() const
{
    std::int64_t Records = 0;
    std::int64_t Grown = 0;
    std::int64_t Most = 0;
    for (std::int64_t I = Head; I != Tail;) {
        I = Prev(I);
        const TUndoItem& R = Items[static_cast<std::size_t>(I)];
        ++Records;
        const auto Size = static_cast<std::int64_t>(R.Text.size());
        if (R.Kind == ukInsert || R.Kind == ukInsertBefore)
            Grown += Size;
        else if (R.Kind == ukDeleteBack || R.Kind == ukDeleteForward)
            Grown -= Size;
        Most = std::max(Most, Grown);
        if (R.Flag == ufOpen || R.Flag == ufSingle)
            break;
    }
    return {Records, Most};
}

bool TUndoControl::RunBack(std::int64_t N) noexcept
{
    for (; N > 0 && Head != Tail; --N) {
        StepBack();
        TUndoItem Item = std::move(Slot(Head));
        Slot(Head) = TUndoItem();
        try {
            if (OnExecute)
                OnExecute(Item, N == 1);
        } catch (...) {
            Slot(Head) = std::move(Item);
            Head = Next(Head);
            return false;
        }
    }
    return true;
}

const TUndoItem& TUndoControl::Item(std::int64_t I) const
{
    if (I < 0 || I >= Count())
        throw std::out_of_range("TUndoControl::Item");
    return Items[static_cast<std::size_t>((Tail + I) % FCapacity)];
}

}  // namespace narvo
