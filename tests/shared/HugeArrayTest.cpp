// Huge arrays and the key hash table.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <random>
#include <stdexcept>
#include <vector>

#include "shared/HashTable.h"
#include "shared/HugeArray.h"

namespace narvo {
namespace {

std::vector<std::int32_t> Items(const THugeInteger& A)
{
    std::vector<std::int32_t> Result;
    for (std::int64_t I = 0; I < A.Count(); ++I)
        Result.push_back(A.GetItem(I));
    return Result;
}

TEST(HugeArray, GrowthSequence)
{
    THugeInteger A(5);
    std::vector<std::int64_t> Capacities;
    for (std::int32_t I = 0; I < 80; ++I) {
        A.Add(I);
        if (Capacities.empty() || Capacities.back() != A.Capacity())
            Capacities.push_back(A.Capacity());
    }
    EXPECT_EQ(Capacities, (std::vector<std::int64_t>{5, 9, 25, 41, 57, 73, 91}));
    EXPECT_EQ(A.GrowthDelta(), 18);
    for (std::int32_t I = 0; I < 80; ++I)
        ASSERT_EQ(A.GetItem(I), I);
}

TEST(HugeArray, EmptyAllocationRefused)
{
    try {
        THugeInteger A(0);
        FAIL();
    } catch (const std::exception& E) {
        EXPECT_STREQ(E.what(), "Empty Array Allocation");
    }
    EXPECT_THROW(THugeChar(-1), std::length_error);
}

TEST(HugeArray, InsertDeleteEdgesAndOnChange)
{
    THugeInteger A(2);
    int Changes = 0;
    A.OnChange = [&](THugeArray& Sender) {
        EXPECT_EQ(&Sender, &A);
        ++Changes;
    };
    A.Add(1);
    A.Add(3);
    EXPECT_EQ(Changes, 2);
    A.Insert(2, 1);
    A.Insert(4, A.Count());  // at Count: appends
    A.Insert(0, 0);
    EXPECT_EQ(Items(A), (std::vector<std::int32_t>{0, 1, 2, 3, 4}));
    EXPECT_EQ(Changes, 5);
    // Ignored calls change nothing and fire nothing.
    A.Insert(9, A.Count() + 1);
    A.Insert(9, -1);
    A.Delete(A.Count());
    A.Delete(-1);
    EXPECT_EQ(Changes, 5);
    EXPECT_EQ(A.Count(), 5);
    A.Delete(0);
    A.Delete(A.Count() - 1);
    EXPECT_EQ(Items(A), (std::vector<std::int32_t>{1, 2, 3}));
    EXPECT_EQ(Changes, 7);
    A.Put(4, 77);  // beyond Count, within Capacity
    EXPECT_EQ(A.GetItem(4), 77);
    EXPECT_EQ(A.Count(), 3);
    EXPECT_EQ(Changes, 8);
}

TEST(HugeArray, ObjectsFollowTheirElements)
{
    THugeChar A(4);
    int X = 0, Y = 0;
    A.AddObject('b', &X);
    A.Add('c');
    A.Insert('a', 0);
    A.AddObject('a', &Y);
    ASSERT_EQ(A.Objects().size(), 4u);
    A.SortDefault();
    EXPECT_EQ(std::string({A.GetItem(0), A.GetItem(1), A.GetItem(2), A.GetItem(3)}), "aabc");
    EXPECT_EQ(A.Object(2), &X);
    EXPECT_EQ(A.Object(3), nullptr);
    A.Exchange(2, 3);
    EXPECT_EQ(A.Object(3), &X);
    A.Delete(3);
    EXPECT_EQ(std::count(A.Objects().begin(), A.Objects().end(), &X), 0);
}

TEST(HugeArray, OutOfRangeIndexesThrow)
{
    THugeInteger A(4);
    A.Add(1);
    A.Add(2);
    int Changes = 0;
    A.OnChange = [&](THugeArray&) { ++Changes; };
    EXPECT_THROW(A.Put(4, 0), std::out_of_range);
    EXPECT_THROW(A.Put(-1, 0), std::out_of_range);
    EXPECT_THROW(A.GetItem(4), std::out_of_range);
    EXPECT_THROW(A.GetItem(-1), std::out_of_range);
    EXPECT_THROW(A.Exchange(0, 2), std::out_of_range);  // within Capacity but not Count
    EXPECT_THROW(A.Exchange(-1, 0), std::out_of_range);
    EXPECT_THROW(A.Object(2), std::out_of_range);
    EXPECT_EQ(Changes, 0);
    EXPECT_EQ(Items(A), (std::vector<std::int32_t>{1, 2}));
    THugeChar C(100000);
    C.Put(99999, 'z');
    EXPECT_EQ(C.GetItem(99999), 'z');
    EXPECT_THROW(C.Put(100000, 'z'), std::out_of_range);
}

TEST(HugeArray, ClearShrinksToInitialCapacity)
{
    THugeInteger A(10);
    for (std::int32_t I = 0; I < 1000; ++I)
        A.AddObject(I, &A);
    ASSERT_GT(A.Capacity(), 1000);
    int Changes = 0;
    A.OnChange = [&](THugeArray&) { ++Changes; };
    A.Clear();
    EXPECT_EQ(A.Capacity(), 10);
    EXPECT_TRUE(A.Objects().empty());
    EXPECT_EQ(Changes, 1);
    A.Add(5);
    EXPECT_EQ(Items(A), std::vector<std::int32_t>{5});
}

TEST(HugeArray, SortDefaultWithoutOverflow)
{
    THugeInteger A(3);
    for (std::int32_t V : {INT32_MAX, -1, 0, INT32_MIN})
        A.Add(V);
    A.SortDefault();
    EXPECT_EQ(Items(A), (std::vector<std::int32_t>{INT32_MIN, -1, 0, INT32_MAX}));
    A.Ascending = false;
    A.SortDefault();
    EXPECT_EQ(Items(A), (std::vector<std::int32_t>{INT32_MAX, 0, -1, INT32_MIN}));
    // A comparison that is no order at all still stays within the array.
    THugeInteger B(8);
    for (std::int32_t I = 0; I < 50; ++I)
        B.Add(I % 7);
    B.Sort([](const void*, const void*) { return -1; });
    B.Sort([](const void*, const void*) { return 1; });
    EXPECT_EQ(B.Count(), 50);
}

TEST(HugeArray, SortMatchesStdSort)
{
    std::mt19937 Random(7);
    for (int Size : {0, 1, 2, 3, 17, 1000}) {
        for (int Range : {3, 1000000}) {
            THugeInteger A(1);
            std::vector<std::int32_t> Expected;
            for (int I = 0; I < Size; ++I) {
                const auto V = static_cast<std::int32_t>(Random() % Range);
                A.Add(V);
                Expected.push_back(V);
            }
            A.SortDefault();
            std::sort(Expected.begin(), Expected.end());
            EXPECT_EQ(Items(A), Expected) << Size << " " << Range;
        }
    }
}

TEST(HugeArray, OrganPipeKeepsRecursionShallow)
{
    // An organ pipe puts the largest value in the middle, the pivot's place, so
    // every partition splits off a single element. Recursing into the smaller side
    // keeps the stack shallow all the same.
    THugeInteger A(16);
    const std::int32_t N = 12000;
    for (std::int32_t I = 0; I < N; ++I)
        A.Add(I < N / 2 ? I : N - I);
    static std::uintptr_t Deepest;
    const char Top = 0;
    Deepest = reinterpret_cast<std::uintptr_t>(&Top);
    A.Sort([](const void* X, const void* Y) {
        const char Here = 0;
        Deepest = std::min(Deepest, reinterpret_cast<std::uintptr_t>(&Here));
        const auto P = *static_cast<const std::int32_t*>(X), Q = *static_cast<const std::int32_t*>(Y);
        return (P > Q) - (P < Q);
    });
    for (std::int64_t I = 1; I < N; ++I)
        ASSERT_LE(A.GetItem(I - 1), A.GetItem(I));
    // Ten thousand nested calls would take far more than this.
    EXPECT_LT(reinterpret_cast<std::uintptr_t>(&Top) - Deepest, 64u * 1024u);
}

TEST(HashTable, FindAndLastBucket)
{
    THashTable T(4);
    const std::int32_t Key = 12345;
    const std::int32_t Bucket = T.HashKey(Key);
    ASSERT_EQ(T.Heads().GetItem(Bucket), -1);
    EXPECT_EQ(T.Find(Key), -1);
    EXPECT_EQ(T.LastBucket(), Bucket);

    int Payload[40];
    for (std::int32_t K = 0; K < 40; ++K)
        EXPECT_EQ(T.Add(K * 1000 - 7, &Payload[K]), K);
    for (std::int32_t K = 0; K < 40; ++K) {
        const std::int64_t I = T.Find(K * 1000 - 7);
        ASSERT_EQ(I, K);
        EXPECT_EQ(T.Object(I), &Payload[K]);
        EXPECT_EQ(T.LastBucket(), T.HashKey(K * 1000 - 7));
    }
    EXPECT_EQ(T.Find(1), -1);
    // Adding a present key replaces the payload only.
    EXPECT_EQ(T.Add(-7, nullptr), 0);
    EXPECT_EQ(T.Object(0), nullptr);
    EXPECT_EQ(T.Count(), 40);
    T.Clear();
    EXPECT_EQ(T.Find(-7), -1);
    EXPECT_THROW(THashTable(0), std::invalid_argument);  // no bucket bits
}

}  // namespace
}  // namespace narvo
