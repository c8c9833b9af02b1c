// The key hash table (see HashTable.h). Entries are only ever appended, so an
// entry's index stays valid for the table's life (or until Clear).
#include "shared/HashTable.h"

#include <limits>
#include <stdexcept>

namespace narvo {

namespace {

constexpr std::int64_t InitialEntries = 16;

std::int32_t BucketCountFor(int BucketBits)
{
    if (BucketBits < 1 || BucketBits > 24)
        throw std::invalid_argument("THashTable: bucket bits must lie in 1..24");
    return std::int32_t{1} << BucketBits;
}

}  // namespace

THashTable::THashTable(int BucketBits)
    // The fold brings the hash's top bits down onto the bucket bits.
    : Shift_(32 - BucketBits),
      Mask_(BucketCountFor(BucketBits) - 1),
      Heads_(std::int64_t{Mask_} + 1),
      Links_(InitialEntries),
      Keys_(InitialEntries)
{
    for (std::int32_t B = 0; B <= Mask_; ++B)
        Heads_.Add(std::int32_t{-1});
}

std::int32_t THashTable::HashKey(std::int32_t Key) const
{
    std::uint32_t H = 2166136261u;
    std::uint32_t K = static_cast<std::uint32_t>(Key);
    for (int Byte = 0; Byte < 4; ++Byte) {
        H = (H ^ (K & 0xFF)) * 16777619u;
        K >>= 8;
    }
    return static_cast<std::int32_t>((H ^ (H >> (Shift_ % 32))) & static_cast<std::uint32_t>(Mask_));
}

std::int64_t THashTable::Find(std::int32_t Key)
{
    const std::int32_t B = HashKey(Key);
    LastBucket_ = B;
    std::int64_t I = Heads_.GetItem(B);
    while (I != -1 && Keys_.GetItem(I) != Key)
        I = Links_.GetItem(I);
    return I;
}

std::int64_t THashTable::Add(std::int32_t Key, void* Obj)
{
    const std::int64_t Existing = Find(Key);
    if (Existing != -1) {
        Keys_.SetObject(Existing, Obj);
        return Existing;
    }
    // Chains hold 32-bit indexes.
    if (Keys_.Count() >= std::numeric_limits<std::int32_t>::max())
        throw std::length_error("THashTable: too many entries");
    const std::int32_t Bucket = LastBucket_;
    const std::int32_t Head = Heads_.GetItem(Bucket);
    Links_.Add(Head);
    std::int64_t Index;
    try {
        Index = Keys_.AddObject(Key, Obj);
    } catch (...) {
        Links_.Delete(Links_.Count() - 1);  // keep Links and Keys the same length
        throw;
    }
    Heads_.Put(Bucket, static_cast<std::int32_t>(Index));
    return Index;
}

void THashTable::Clear()
{
    Keys_.Clear();
    Links_.Clear();
    for (std::int32_t B = 0; B <= Mask_; ++B)
        Heads_.Put(B, -1);
    LastBucket_ = -1;
}

}  // namespace narvo
