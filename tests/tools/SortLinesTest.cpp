// The order of Sort Highlighted made from keys is the order the locale's
// comparison of the case-folded lines gives, equal lines keeping theirs: in the C
// locale and, in a child process, in an English one.
#include "platform/TextConvert.h"
#include "support/ChildUnderLimit.h"
#include "tools/SortLines.h"

#include <QCollator>
#include <QLocale>
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

namespace narvo {
namespace {

// Lines that differ in case, accents, punctuation, control and high bytes, length
// and indent, with repeats.
std::vector<std::string> MixedLines()
{
    std::vector<std::string> Lines = {"", "a", "A", "ab", "aB", " a", "\ta", "a ", "Zeta", "zeta", "zebra", "(x);",
                                      "x", "\x80uro", "\xe9t\xe9", "\xc9T\xc9", "etre", "\xdf", "ss", "\x01", "\xff",
                                      "b\x8a", "b\x9a", "10", "9", "-1", "_", "~", "\xa0nbsp"};
    std::uint32_t R = 7;
    for (int I = 0; I < 400; ++I) {
        std::string L;
        for (int K = 0, N = static_cast<int>(R % 7); K < N; ++K) {
            R = R * 1103515245u + 12345u;
            L += static_cast<char>(R >> 24);
        }
        R = R * 1103515245u + 12345u;
        Lines.push_back(L);
        Lines.push_back(L);  // an equal line keeps its place after the first
    }
    return Lines;
}

// The order a stable sort by the comparison gives.
template <class F>
std::vector<std::size_t> ReferenceOrder(const std::vector<std::string>& Lines, F&& Compare)
{
    std::vector<QString> Folded;
    for (const std::string& L : Lines)
        Folded.push_back(AnsiToQString(L).toCaseFolded());
    std::vector<std::size_t> Order(Lines.size());
    std::iota(Order.begin(), Order.end(), std::size_t{0});
    std::stable_sort(Order.begin(), Order.end(),
                     [&](std::size_t A, std::size_t B) { return Compare(Folded[A], Folded[B]) < 0; });
    return Order;
}

std::vector<std::size_t> KeyedOrder(const std::vector<std::string>& Lines)
{
    const std::vector<std::string_view> Views(Lines.begin(), Lines.end());
    return SortedLineOrder(Views);
}

TEST(SortLines, TheKeysOrderAsTheLocaleComparesTheFoldedLines)
{
    const std::vector<std::string> Lines = MixedLines();
    if (QLocale().collation().language() == QLocale::C)
        EXPECT_EQ(KeyedOrder(Lines), ReferenceOrder(Lines, [](const QString& A, const QString& B) {
                      return QString::localeAwareCompare(A, B);
                  }));
    // A collating locale: the collator's sort keys order as its comparison does.
    EXPECT_EQ(test::InChild([&Lines] {
                  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
                  const QCollator Collator;
                  const auto Reference = ReferenceOrder(Lines, [&](const QString& A, const QString& B) {
                      return Collator.compare(A, B);
                  });
                  return KeyedOrder(Lines) == Reference ? std::string() : std::string("the orders differ");
              }),
              "");
    EXPECT_TRUE(SortedLineOrder({}).empty());
}

}  // namespace
}  // namespace narvo
