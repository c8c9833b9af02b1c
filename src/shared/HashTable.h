// A table from 32-bit keys to entry indexes: FNV-1a buckets with chains kept in
// huge integer arrays. The text engine's row marks look keys up in it.
#pragma once

#include <cstdint>

#include "shared/HugeArray.h"

namespace narvo {

class THashTable {
public:
    // 2^BucketBits buckets (1 to 24 bits; std::invalid_argument otherwise).
    explicit THashTable(int BucketBits = 8);

    // The bucket of Key: 32-bit FNV-1a over its four bytes, lowest first, folded by
    // Shift and cut by Mask.
    std::int32_t HashKey(std::int32_t Key) const;
    // The index of Key's entry (also the index of its payload in Keys().Objects()),
    // or -1. Records the bucket in LastBucket, also when the key is absent.
    std::int64_t Find(std::int32_t Key);
    // Adds Key with the payload Obj and returns its index; for a key already present
    // the payload is replaced and the existing index returned.
    std::int64_t Add(std::int32_t Key, void* Obj = nullptr);
    // The payload of the entry at Index.
    void* Object(std::int64_t Index) const { return Keys_.Object(Index); }
    std::int64_t Count() const { return Keys_.Count(); }
    // Removes every entry; the buckets stay.
    void Clear();

    std::int32_t LastBucket() const { return LastBucket_; }
    int Shift() const { return Shift_; }
    std::int32_t Mask() const { return Mask_; }
    const THugeInteger& Heads() const { return Heads_; }
    const THugeInteger& Links() const { return Links_; }
    const THugeInteger& Keys() const { return Keys_; }

private:
    std::int32_t LastBucket_ = -1;
    int Shift_;
    std::int32_t Mask_;
    THugeInteger Heads_;
    THugeInteger Links_;
    THugeInteger Keys_;
};

}  // namespace narvo
