// The three-way merge of a list two windows changed from one copy of the file.
#include "shared/ListMerge.h"

#include <gtest/gtest.h>

namespace narvo {
namespace {

using TList = std::vector<std::string>;

TEST(ListMerge, BothWindowsChangesAreKept)
{
    struct Case {
        TList Base, Ours, Theirs, Merged;
    };
    const Case Cases[] = {
        // Each adds one: both stay, ours first.
        {{}, {"b"}, {"a"}, {"b", "a"}},
        // They removed one, we moved the others.
        {{"x", "y", "z"}, {"z", "y", "x"}, {"x", "z"}, {"z", "x"}},
        // Both added the same entry: once.
        {{"x"}, {"x", "n"}, {"x", "n"}, {"x", "n"}},
        // Duplicates count one by one: they removed one "d" of two, we added a third.
        {{"d", "d"}, {"d", "d", "d"}, {"d"}, {"d", "d"}},
        // We removed what they removed too: nothing else goes.
        {{"a", "b"}, {"b"}, {"b"}, {"b"}},
        // An entry they edited (removed and added) replaces ours at the end.
        {{"t1", "t2"}, {"t2", "t1"}, {"t1", "t2'"}, {"t1", "t2'"}},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(MergeListChanges(C.Base, C.Ours, C.Theirs), C.Merged) << ::testing::PrintToString(C.Ours);
}

}  // namespace
}  // namespace narvo
