// Growable arrays of fixed-size elements in one contiguous block, with a parallel
// list of object references, a change event and an in-place quicksort. The text
// register keeps its character buffer in a THugeChar and the pagination its page
// starts in a THugeInteger.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace narvo {

class THugeArray {
public:
    // A plain comparison of two element addresses: negative, zero or positive.
    using TCompare = int (*)(const void* A, const void* B);
    using TChangeEvent = std::function<void(THugeArray& Sender)>;

    // Allocates InitialCapacity elements of ElementSize bytes (zero-filled). A zero
    // total size throws std::length_error("Empty Array Allocation").
    THugeArray(std::size_t ElementSize, std::int64_t InitialCapacity);
    virtual ~THugeArray();
    THugeArray(const THugeArray&) = delete;
    THugeArray& operator=(const THugeArray&) = delete;

    std::size_t ElementSize() const { return ElementSize_; }
    std::int64_t InitialCapacity() const { return InitialCapacity_; }
    std::int64_t Capacity() const { return Capacity_; }
    std::int64_t Count() const { return Count_; }
    // The last growth step (4 at construction).
    std::int64_t GrowthDelta() const { return Delta_; }
    // One entry per element; the referenced objects are not owned.
    const std::vector<void*>& Objects() const { return Objects_; }
    // The object of element Index (0 <= Index < Count); std::out_of_range otherwise.
    void* Object(std::int64_t Index) const;
    // Replaces the object of element Index (0 <= Index < Count), firing OnChange.
    void SetObject(std::int64_t Index, void* Obj);
    // The start of the block, for block copies of up to Capacity elements.
    void* Data() { return Data_; }
    const void* Data() const { return Data_; }

    // Chooses the order of SortDefault.
    bool Ascending = true;
    // Fired after every modification; ignored calls fire nothing.
    TChangeEvent OnChange;

    virtual void Changed();
    // Appends one element copied from Item with no object; returns its index.
    virtual std::int64_t Add(const void* Item);
    // Removes element Index (0 <= Index < Count); any other index is ignored.
    virtual void Delete(std::int64_t Index);
    // Swaps two elements and their objects; both must lie in 0 .. Count - 1, else
    // std::out_of_range.
    virtual void Exchange(std::int64_t Index1, std::int64_t Index2);
    // Quicksort of elements 0 .. Count - 1 through Exchange, so objects move along.
    virtual void Sort(TCompare Compare);
    // Nothing here; the element classes sort by value in the Ascending order.
    virtual void SortDefault();
    // Count 0, the block back to InitialCapacity, no objects.
    virtual void Clear();

protected:
    // The address of element Index, which must lie in 0 .. Capacity - 1, else
    // std::out_of_range.
    std::byte* ItemAt(std::int64_t Index) const;
    // Element storage by raw bytes; the typed classes wrap these.
    void PutItem(std::int64_t Index, const void* Item);
    std::int64_t AddItem(const void* Item, void* Obj);
    void InsertItem(const void* Item, std::int64_t Index);
    // Resizes the block keeping its contents; 0 throws "Empty Array Allocation".
    void SetCapacity(std::int64_t NewCapacity);

private:
    void Grow();
    void QuickSort(std::int64_t L, std::int64_t R, TCompare Compare);

    std::size_t ElementSize_;
    std::byte* Data_ = nullptr;
    std::int64_t Delta_ = 4;
    std::int64_t InitialCapacity_;
    std::int64_t Capacity_ = 0;
    std::int64_t Count_ = 0;
    std::vector<void*> Objects_;
};

// 32-bit signed integers.
class THugeInteger : public THugeArray {
public:
    explicit THugeInteger(std::int64_t InitialCapacity);

    using THugeArray::Add;
    std::int64_t Add(std::int32_t Value);
    // Stores Value at Index (0 <= Index < Capacity) without changing Count.
    virtual void Put(std::int64_t Index, std::int32_t Value);
    virtual std::int64_t AddObject(std::int32_t Value, void* Obj);
    // For 0 <= Index <= Count inserts Value with no object; any other index is ignored.
    virtual void Insert(std::int32_t Value, std::int64_t Index);
    // The element at Index (0 <= Index < Capacity), else std::out_of_range.
    std::int32_t GetItem(std::int64_t Index) const;
    void SortDefault() override;
};

// 8-bit characters.
class THugeChar : public THugeArray {
public:
    explicit THugeChar(std::int64_t InitialCapacity);

    using THugeArray::Add;
    std::int64_t Add(char Value);
    virtual void Put(std::int64_t Index, char Value);
    virtual std::int64_t AddObject(char Value, void* Obj);
    virtual void Insert(char Value, std::int64_t Index);
    char GetItem(std::int64_t Index) const;
    void SortDefault() override;
};

}  // namespace narvo
