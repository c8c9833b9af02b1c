// Positions, offsets (line ends counting 2 or 1), past-the-end answers and character
// access of the text model.
#include "FakeEditor.h"

#include <gtest/gtest.h>

namespace narvo::test {
namespace {

class Positions : public ::testing::Test {
protected:
    void SetUp() override { E.SetLines("ab|c||def"); }
    TFakeEditor E;
};

TEST_F(Positions, PosToOffsetCountsLineEndsAsTwo)
{
    struct { TPoint P; std::int64_t Offset; } Cases[] = {
        {{0, 0}, 0}, {{2, 0}, 2}, {{0, 1}, 4}, {{1, 1}, 5}, {{0, 2}, 7}, {{0, 3}, 9}, {{3, 3}, 12},
        {{3, 0}, -1}, {{0, 4}, -1}, {{-1, 0}, -1}, {{0, -1}, -1},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(E.PosToOffset(C.P), C.Offset) << C.P.X << "," << C.P.Y;
}

TEST_F(Positions, CharsAfterPosCountsLineEndsAsOne)
{
    struct { TPoint P; std::int64_t After; } Cases[] = {
        {{0, 0}, 9}, {{2, 0}, 7}, {{0, 1}, 6}, {{0, 3}, 3}, {{3, 3}, 0}, {{4, 3}, -1}, {{0, 9}, -1},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(E.CharsAfterPos(C.P), C.After) << C.P.X << "," << C.P.Y;
    TFakeEditor Two;
    Two.SetLines("ab|c");
    EXPECT_EQ(Two.CharsAfterPos({0, 0}), 4);
}

TEST_F(Positions, CursorQueriesFollowTheCursor)
{
    E.SetCursor(1, 1);
    EXPECT_EQ(E.CursorOffset(), 5);
    EXPECT_EQ(E.CharsAfterCursor(), 5);
    E.SetCursor(9, 1);  // column-block cursor past the line end
    EXPECT_EQ(E.CursorOffset(), -1);
}

TEST_F(Positions, OffsetsAnswerMinusOneWhileChanging)
{
    TEditBuffer::TUpdate U(*E.Strings);
    EXPECT_EQ(E.PosToOffset({0, 1}), -1);
    EXPECT_EQ(E.CharsAfterPos({0, 1}), -1);
}

TEST_F(Positions, OffsetToPosCountsLineEndsAsOne)
{
    struct { std::int64_t N; TPoint P; } Cases[] = {
        {0, {0, 0}}, {2, {2, 0}}, {3, {0, 1}}, {4, {1, 1}}, {5, {0, 2}}, {6, {0, 3}}, {9, {3, 3}},
        {10, {-1, -1}}, {-1, {-1, -1}},
    };
    for (const auto& C : Cases) {
        TPoint P;
        E.OffsetToPos(C.N, P);
        EXPECT_EQ(P, C.P) << C.N;
    }
}

TEST_F(Positions, RangeAndStreamLengthInEitherOrder)
{
    const TRect R{1, 0, 2, 3};
    EXPECT_EQ(E.RangeLength(R), 1 + 2 + 1 + 3);
    EXPECT_EQ(E.StreamLength(R), 1 + 2 + 3 + 2 + 2);
    EXPECT_EQ(E.RangeLength(TRect{2, 3, 1, 0}), E.RangeLength(R));
    // A range reaching past the text is clamped to it.
    EXPECT_EQ(E.RangeLength(TRect{0, 0, 99, 99}), 9);
}

TEST_F(Positions, StepsAndMovesStopAtTheTextEnds)
{
    TPoint P{3, 3};
    EXPECT_FALSE(E.NextPos(P));
    EXPECT_EQ(P, (TPoint{3, 3}));
    P = {1, 0};
    EXPECT_TRUE(E.MovePos(P, 5));
    EXPECT_EQ(P, (TPoint{0, 3}));
    EXPECT_TRUE(E.MovePos(P, -5));
    EXPECT_EQ(P, (TPoint{1, 0}));
    EXPECT_FALSE(E.MovePos(P, 100));
    EXPECT_EQ(P, (TPoint{3, 3}));
    EXPECT_FALSE(E.MovePos(P, -100));
    EXPECT_EQ(P, (TPoint{0, 0}));

}

TEST_F(Positions, CharacterAccessReadsLineEndsAsCr)
{
    char C = 0;
    EXPECT_TRUE(E.CharAfter({2, 0}, C));
    EXPECT_EQ(C, '\r');
    EXPECT_TRUE(E.CharBefore({0, 1}, C));
    EXPECT_EQ(C, '\r');
    EXPECT_FALSE(E.CharBefore({0, 0}, C));
    EXPECT_FALSE(E.CharBefore({5, 1}, C));
    EXPECT_FALSE(E.CharAfter({3, 3}, C));

    E.SetCursor(3, 3);
    EXPECT_EQ(E.CharAtCursor(), '\0');
    EXPECT_EQ(E.CharBeforeCursor(), 'f');
    E.SetCursor(0, 40);
    EXPECT_EQ(E.GetCurrentLine(), "");
}

TEST_F(Positions, GetCharsStopsAtTheTextEnds)
{
    std::string S;
    E.SetCursor(1, 1);
    EXPECT_TRUE(E.GetChars(true, 3, S));
    EXPECT_EQ(S, "b\rc");
    EXPECT_FALSE(E.GetChars(true, 10, S));
    EXPECT_EQ(S, "ab\rc");
    EXPECT_TRUE(E.GetChars(false, 2, S));
    EXPECT_EQ(S, "\r\r");
    EXPECT_FALSE(E.GetChars(false, 10, S));
    EXPECT_EQ(S, "\r\rdef");
}

}  // namespace
}  // namespace narvo::test
