// The huge arrays (see HugeArray.h). The block is managed with realloc because the
// elements are plain bytes; a failed resize keeps the old block and count.
#include "shared/HugeArray.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>

namespace narvo {

namespace {

[[noreturn]] void ThrowIndex(const char* Operation, std::int64_t Index, std::int64_t Limit)
{
    throw std::out_of_range(std::string(Operation) + ": index " + std::to_string(Index) +
                            " is outside 0.." + std::to_string(Limit - 1));
}

int CompareIntegers(const void* A, const void* B)
{
    std::int32_t X, Y;
    std::memcpy(&X, A, sizeof X);
    std::memcpy(&Y, B, sizeof Y);
    return (X > Y) - (X < Y);
}

int CompareIntegersDescending(const void* A, const void* B) { return CompareIntegers(B, A); }

int CompareChars(const void* A, const void* B)
{
    return static_cast<int>(*static_cast<const unsigned char*>(A)) -
           static_cast<int>(*static_cast<const unsigned char*>(B));
}

int CompareCharsDescending(const void* A, const void* B) { return CompareChars(B, A); }

}  // namespace

THugeArray::THugeArray(std::size_t ElementSize, std::int64_t InitialCapacity)
    : ElementSize_(ElementSize), InitialCapacity_(InitialCapacity)
{
    if (ElementSize == 0 || InitialCapacity <= 0)
        throw std::length_error("Empty Array Allocation");
    SetCapacity(InitialCapacity);
}

THugeArray::~THugeArray() { std::free(Data_); }

void* THugeArray::Object(std::int64_t Index) const
{
    if (Index < 0 || Index >= Count_)
        ThrowIndex("Object", Index, Count_);
    return Objects_[static_cast<std::size_t>(Index)];
}

void THugeArray::SetObject(std::int64_t Index, void* Obj)
{
    if (Index < 0 || Index >= Count_)
        ThrowIndex("SetObject", Index, Count_);
    Objects_[static_cast<std::size_t>(Index)] = Obj;
    Changed();
}

void THugeArray::SetCapacity(std::int64_t NewCapacity)
{
    if (NewCapacity <= 0)
        throw std::length_error("Empty Array Allocation");
    if (static_cast<std::uint64_t>(NewCapacity) > std::numeric_limits<std::size_t>::max() / ElementSize_)
        throw std::bad_alloc();
    const std::size_t OldBytes = static_cast<std::size_t>(Capacity_) * ElementSize_;
    const std::size_t NewBytes = static_cast<std::size_t>(NewCapacity) * ElementSize_;
    void* Block = std::realloc(Data_, NewBytes);
    if (!Block)
        throw std::bad_alloc();
    Data_ = static_cast<std::byte*>(Block);
    // New storage reads as zeros rather than as leftover heap bytes.
    if (NewBytes > OldBytes)
        std::memset(Data_ + OldBytes, 0, NewBytes - OldBytes);
    Capacity_ = NewCapacity;
}

void THugeArray::Grow()
{
    if (Count_ < Capacity_)
        return;
    if (Count_ > 64)
        Delta_ = Count_ / 4;
    else if (Count_ > 8)
        Delta_ = 16;
    else
        Delta_ = 4;
    SetCapacity(Count_ + Delta_);
}

std::byte* THugeArray::ItemAt(std::int64_t Index) const
{
    if (Index < 0 || Index >= Capacity_)
        ThrowIndex("HugeArray", Index, Capacity_);
    return Data_ + static_cast<std::size_t>(Index) * ElementSize_;
}

void THugeArray::Changed()
{
    if (OnChange)
        OnChange(*this);
}

std::int64_t THugeArray::Add(const void* Item) { return AddItem(Item, nullptr); }

std::int64_t THugeArray::AddItem(const void* Item, void* Obj)
{
    Grow();
    // Reserve the object slot first so that a failure leaves the array unchanged.
    Objects_.push_back(Obj);
    std::memcpy(ItemAt(Count_), Item, ElementSize_);
    const std::int64_t Index = Count_++;
    Changed();
    return Index;
}

void THugeArray::InsertItem(const void* Item, std::int64_t Index)
{
    if (Index < 0 || Index > Count_)
        return;
    Grow();
    Objects_.insert(Objects_.begin() + Index, nullptr);
    std::byte* At = ItemAt(Index);
    std::memmove(At + ElementSize_, At, static_cast<std::size_t>(Count_ - Index) * ElementSize_);
    std::memcpy(At, Item, ElementSize_);
    ++Count_;
    Changed();
}

void THugeArray::PutItem(std::int64_t Index, const void* Item)
{
    std::memcpy(ItemAt(Index), Item, ElementSize_);
    Changed();
}

void THugeArray::Delete(std::int64_t Index)
{
    if (Index < 0 || Index >= Count_)
        return;
    std::byte* At = ItemAt(Index);
    std::memmove(At, At + ElementSize_, static_cast<std::size_t>(Count_ - Index - 1) * ElementSize_);
    Objects_.erase(Objects_.begin() + Index);
    --Count_;
    Changed();
}

void THugeArray::Exchange(std::int64_t Index1, std::int64_t Index2)
{
    if (Index1 < 0 || Index1 >= Count_)
        ThrowIndex("Exchange", Index1, Count_);
    if (Index2 < 0 || Index2 >= Count_)
        ThrowIndex("Exchange", Index2, Count_);
    std::byte* A = ItemAt(Index1);
    std::byte* B = ItemAt(Index2);
    for (std::size_t K = 0; K < ElementSize_; ++K)
        std::swap(A[K], B[K]);
    std::swap(Objects_[static_cast<std::size_t>(Index1)], Objects_[static_cast<std::size_t>(Index2)]);
    Changed();
}

void THugeArray::Sort(TCompare Compare)
{
    if (Count_ > 1)
        QuickSort(0, Count_ - 1, Compare);
}

void THugeArray::QuickSort(std::int64_t L, std::int64_t R, TCompare Compare)
{
    // Hoare partitioning around the middle element, whose value the pivot follows
    // through the exchanges. The smaller side is sorted by recursion and the larger
    // one by the loop, so the depth stays below log2(Count).
    while (L < R) {
        std::int64_t I = L;
        std::int64_t J = R;
        std::int64_t P = L + (R - L) / 2;
        do {
            // The bounds only matter for a comparison that is no ordering.
            while (I < R && Compare(ItemAt(I), ItemAt(P)) < 0)
                ++I;
            while (J > L && Compare(ItemAt(J), ItemAt(P)) > 0)
                --J;
            if (I <= J) {
                Exchange(I, J);
                if (P == I)
                    P = J;
                else if (P == J)
                    P = I;
                ++I;
                --J;
            }
        } while (I <= J);
        if (J - L < R - I) {
            if (L < J)
                QuickSort(L, J, Compare);
            L = I;
        } else {
            if (I < R)
                QuickSort(I, R, Compare);
            R = J;
        }
    }
}

void THugeArray::SortDefault() {}

void THugeArray::Clear()
{
    // Shrinking never fails in practice; should it, the array stays as it was.
    SetCapacity(InitialCapacity_);
    Count_ = 0;
    Objects_.clear();
    Objects_.shrink_to_fit();
    Changed();
}

// --- THugeInteger ---

THugeInteger::THugeInteger(std::int64_t InitialCapacity) : THugeArray(sizeof(std::int32_t), InitialCapacity) {}

std::int64_t THugeInteger::Add(std::int32_t Value) { return AddItem(&Value, nullptr); }

void THugeInteger::Put(std::int64_t Index, std::int32_t Value) { PutItem(Index, &Value); }

std::int64_t THugeInteger::AddObject(std::int32_t Value, void* Obj) { return AddItem(&Value, Obj); }

void THugeInteger::Insert(std::int32_t Value, std::int64_t Index) { InsertItem(&Value, Index); }

std::int32_t THugeInteger::GetItem(std::int64_t Index) const
{
    std::int32_t Value;
    std::memcpy(&Value, ItemAt(Index), sizeof Value);
    return Value;
}

void THugeInteger::SortDefault() { Sort(Ascending ? CompareIntegers : CompareIntegersDescending); }

// --- THugeChar ---

THugeChar::THugeChar(std::int64_t InitialCapacity) : THugeArray(1, InitialCapacity) {}

std::int64_t THugeChar::Add(char Value) { return AddItem(&Value, nullptr); }

void THugeChar::Put(std::int64_t Index, char Value) { PutItem(Index, &Value); }

std::int64_t THugeChar::AddObject(char Value, void* Obj) { return AddItem(&Value, Obj); }

void THugeChar::Insert(char Value, std::int64_t Index) { InsertItem(&Value, Index); }

char THugeChar::GetItem(std::int64_t Index) const { return static_cast<char>(*ItemAt(Index)); }

void THugeChar::SortDefault() { Sort(Ascending ? CompareChars : CompareCharsDescending); }

}  // namespace narvo

