// Sorting lines in the locale's order without regard to case (see SortLines.h).
#include "tools/SortLines.h"

#include "platform/TextConvert.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace narvo {

namespace {

using TRanks = std::array<std::uint8_t, 256>;

// Each byte's rank among the folded characters of the code page, when every byte
// folds to one UTF-16 unit: then comparing two lines unit by unit, as the C locale
// does, is comparing their bytes' ranks. nullopt when some byte folds to more.
std::optional<TRanks> FoldedByteRanks()
{
    std::array<char16_t, 256> Unit{};
    for (int B = 0; B < 256; ++B) {
        const QString F = AnsiToQString(std::string(1, static_cast<char>(B))).toCaseFolded();
        if (F.size() != 1)
            return std::nullopt;
        Unit[static_cast<std::size_t>(B)] = F[0].unicode();
    }
    std::array<char16_t, 256> Order = Unit;
    std::sort(Order.begin(), Order.end());
    const auto End = std::unique(Order.begin(), Order.end());
    TRanks Ranks{};
    for (std::size_t B = 0; B < 256; ++B)
        Ranks[B] = static_cast<std::uint8_t>(std::lower_bound(Order.begin(), End, Unit[B]) - Order.begin());
    return Ranks;
}

// A line with the ranks of its first eight bytes packed high to low (0 past its
// end): most comparisons end on these.
struct TRankedLine {
    std::uint64_t Prefix;
    std::string_view Line;
    std::size_t Index;
};

std::vector<std::size_t> SortByRanks(std::span<const std::string_view> Lines, const TRanks& Ranks)
{
    std::vector<TRankedLine> Keys;
    Keys.reserve(Lines.size());
    for (std::size_t I = 0; I < Lines.size(); ++I) {
        const std::string_view L = Lines[I];
        std::uint64_t Prefix = 0;
        for (std::size_t K = 0; K < 8; ++K)
            Prefix = Prefix << 8 | (K < L.size() ? Ranks[static_cast<unsigned char>(L[K])] : 0);
        Keys.push_back(TRankedLine{Prefix, L, I});
    }
    std::sort(Keys.begin(), Keys.end(), [&Ranks](const TRankedLine& A, const TRankedLine& B) {
        if (A.Prefix != B.Prefix)
            return A.Prefix < B.Prefix;
        const std::size_t N = std::min(A.Line.size(), B.Line.size());
        for (std::size_t K = 0; K < N; ++K) {
            const auto X = static_cast<unsigned char>(A.Line[K]), Y = static_cast<unsigned char>(B.Line[K]);
            if (X != Y && Ranks[X] != Ranks[Y])
                return Ranks[X] < Ranks[Y];
        }
        if (A.Line.size() != B.Line.size())
            return A.Line.size() < B.Line.size();
        return A.Index < B.Index;
    });
    std::vector<std::size_t> Order;
    Order.reserve(Keys.size());
    for (const TRankedLine& K : Keys)
        Order.push_back(K.Index);
    return Order;
}

// Any other locale: the collator's sort key of each folded line, which orders as
// its comparison does. The comparison puts an empty line before any other, also
// before one the collation ignores whole (control characters only), whose key is
// an empty line's.
std::vector<std::size_t> SortByCollation(std::span<const std::string_view> Lines)
{
    const QCollator Collator;
    struct TKeyed {
        bool Filled;
        QCollatorSortKey Key;
        std::size_t Index;
    };
    std::vector<TKeyed> Keys;
    Keys.reserve(Lines.size());
    for (std::size_t I = 0; I < Lines.size(); ++I)
        Keys.push_back(TKeyed{!Lines[I].empty(), Collator.sortKey(AnsiToQString(Lines[I]).toCaseFolded()), I});
    std::stable_sort(Keys.begin(), Keys.end(), [](const TKeyed& A, const TKeyed& B) {
        return A.Filled != B.Filled ? B.Filled : A.Key.compare(B.Key) < 0;
    });
    std::vector<std::size_t> Order;
    Order.reserve(Keys.size());
    for (const TKeyed& K : Keys)
        Order.push_back(K.Index);
    return Order;
}

}  // namespace

std::vector<std::size_t> SortedLineOrder(std::span<const std::string_view> Lines)
{
    // The comparison QString's locale-aware comparison makes: the default locale's
    // collation, which in the C locale compares the UTF-16 units.
    if (QLocale().collation().language() == QLocale::C) {
        static const std::optional<TRanks> Ranks = FoldedByteRanks();
        if (Ranks)
            return SortByRanks(Lines, *Ranks);
    }
    return SortByCollation(Lines);
}

}  // namespace narvo
