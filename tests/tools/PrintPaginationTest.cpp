// Pagination: tab expansion, line splitting, lines per page, form feeds and page
// ranges, and a huge text paginated in one pass.
#include "tools/PrintPreview.h"

#include <gtest/gtest.h>

#include <chrono>

namespace narvo {
namespace {

std::vector<std::int32_t> Starts(const THugeInteger& H)
{
    std::vector<std::int32_t> V;
    for (std::int64_t I = 0; I < H.Count(); ++I)
        V.push_back(H.GetItem(I));
    return V;
}

TEST(PrintPagination, ExpandTabs)
{
    const struct {
        const char* In;
        const char* Out;
    } Cases[] = {
        {"a\tb", "a       b"},
        {"12345678\tX", "12345678        X"},
        {"1234567\tX", "1234567 X"},
        {"\t", "        "},
        {"", ""},
        {"no tabs", "no tabs"},
        {"a\t\tb", "a               b"},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(ExpandTabs(C.In), C.Out) << C.In;
}

TEST(PrintPagination, SplitTextLines)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitTextLines(""), V{});
    EXPECT_EQ(SplitTextLines("a"), V{"a"});
    EXPECT_EQ(SplitTextLines("a\r\nb"), (V{"a", "b"}));
    EXPECT_EQ(SplitTextLines("a\rb\nc\r\n"), (V{"a", "b", "c"}));
    EXPECT_EQ(SplitTextLines("a\n\nb"), (V{"a", "", "b"}));
    EXPECT_EQ(SplitTextLines("\n"), V{""});
    EXPECT_EQ(SplitTextLines("a\n\r"), (V{"a", ""}));
}

TEST(PrintPagination, LinesPerPage)
{
    EXPECT_EQ(LinesPerPageFor(1000, 0, 0, 16), 61);  // one line's room stays free
    EXPECT_EQ(LinesPerPageFor(1072, 36, 36, 16), 61);
    EXPECT_EQ(LinesPerPageFor(32, 0, 0, 16), 1);
    EXPECT_EQ(LinesPerPageFor(20, 0, 0, 16), 0);
    EXPECT_EQ(LinesPerPageFor(10, 20, 20, 16), -2);  // truncates toward zero
    EXPECT_THROW(LinesPerPageFor(100, 0, 0, 0), std::invalid_argument);
}

TEST(PrintPagination, PageStartsTableAndTabsExpandedInPlace)
{
    auto Lines = [](int N, std::vector<int> FormFeeds = {}) {
        std::vector<std::string> L(static_cast<std::size_t>(N), "x");
        for (int F : FormFeeds)
            L[static_cast<std::size_t>(F)] = "\fx";
        return L;
    };
    using S = std::vector<std::int32_t>;
    const struct {
        const char* Name;
        std::vector<std::string> Text;
        std::int64_t PerPage;
        S Expected;
    } Cases[] = {
        {"empty text", {}, 61, S{0}},
        {"130 lines", Lines(130), 61, S{0, 61, 122}},
        {"exactly one page", Lines(61), 61, S{0}},
        {"one over", Lines(62), 61, S{0, 61}},
        {"form feed in line 0", Lines(3, {0}), 61, S{0, 0}},
        {"form feeds 5 and 6", Lines(10, {5, 6}), 61, S{0, 5, 6}},
        {"form feed resets count", Lines(8, {2}), 3, S{0, 2, 5}},
        {"no room", Lines(3), 0, S{0, 0, 1, 2}},
        {"negative room", Lines(2), -3, S{0, 0, 1}},
    };
    for (const auto& C : Cases) {
        std::vector<std::string> L = C.Text;
        THugeInteger P(5);
        PaginateLines(L, C.PerPage, P);
        EXPECT_EQ(Starts(P), C.Expected) << C.Name;
    }
    // Tabs are expanded in place; a form feed stays at its line's start.
    std::vector<std::string> L{"a\tb", "\fc\td"};
    THugeInteger P(5);
    PaginateLines(L, 10, P);
    EXPECT_EQ(L[0], "a       b");
    EXPECT_EQ(L[1], "\fc      d");
}

TEST(PrintPagination, PageRanges)
{
    std::vector<std::string> L(10, "x");
    L[0] = "\f";
    THugeInteger P(5);
    PaginateLines(L, 4, P);  // starts 0, 0, 4, 8
    const struct {
        std::int64_t Page;
        bool Ok;
        std::int64_t First, Last;
    } Cases[] = {{0, true, 0, -1}, {1, true, 0, 3}, {2, true, 4, 7}, {3, true, 8, 9}, {4, false, 0, 0}, {-1, false, 0, 0}};
    for (const auto& C : Cases) {
        std::int64_t F = 0, La = 0;
        ASSERT_EQ(PageLineRange(P, 10, C.Page, F, La), C.Ok) << C.Page;
        if (C.Ok) {
            EXPECT_EQ(F, C.First) << C.Page;
            EXPECT_EQ(La, C.Last) << C.Page;
        }
    }
    THugeInteger Empty(5);
    std::vector<std::string> None;
    PaginateLines(None, 61, Empty);
    std::int64_t F = 5, La = 5;
    ASSERT_TRUE(PageLineRange(Empty, 0, 0, F, La));
    EXPECT_LT(La, F);  // one page holding no line
}

TEST(PrintPagination, LineNumberTextAndScaling)
{
    EXPECT_EQ(PageLineText(9, "t", true), "9  t");
    EXPECT_EQ(PageLineText(0, "t", true), "0  t");
    EXPECT_EQ(PageLineText(10, "t", true), "10 t");
    EXPECT_EQ(PageLineText(123, "t", true), "123 t");
    EXPECT_EQ(PageLineText(123, "t", false), "t");
    // Scaling rounds to the nearest; a zero divisor gives -1.
    EXPECT_EQ(MulDivRound(100, 1, 3), 33);
    EXPECT_EQ(MulDivRound(100, 2, 3), 67);
    EXPECT_EQ(MulDivRound(600, 93, 100), 558);
    EXPECT_EQ(MulDivRound(255, 50, 100), 128);
    EXPECT_EQ(MulDivRound(5, 1, 0), -1);
}

TEST(PrintPagination, HugeTextInOnePass)
{
    // Two million lines with a form feed every 1000: linear work, well under a second
    // or two even unoptimised.
    std::string Text;
    Text.reserve(2'000'000 * 8);
    for (int I = 0; I < 2'000'000; ++I)
        Text += (I % 1000 == 999) ? "\fline\t\n" : "line\t1\n";
    const auto T0 = std::chrono::steady_clock::now();
    std::vector<std::string> L = SplitTextLines(Text);
    THugeInteger P(5);
    PaginateLines(L, 61, P);
    const double Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - T0).count();
    ASSERT_EQ(L.size(), 2'000'000u);
    // per 1000 lines: 16 full pages of 61 (976 lines) then 24 lines, a form feed
    // page start at line 999 and the next block continues that page
    EXPECT_GT(P.Count(), 2'000'000 / 61);
    EXPECT_EQ(L[999], "\fline   ");
    EXPECT_LT(Seconds, 10.0);
}

}  // namespace
}  // namespace narvo
