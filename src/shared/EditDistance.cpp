// Levenshtein distance with two rows of the dynamic-programming table: the result
// equals that of the full table, without its size limit.
#include "shared/EditDistance.h"

#include <utility>
#include <vector>

#include "shared/StringRoutines.h"

namespace narvo {

std::int64_t EditDistance(std::string_view S1, std::string_view S2)
{
    // The distance is symmetric; the rows run along the shorter string.
    if (S2.size() > S1.size())
        std::swap(S1, S2);
    if (S2.empty())
        return static_cast<std::int64_t>(S1.size());

    std::vector<std::int64_t> Previous(S2.size() + 1);
    std::vector<std::int64_t> Current(S2.size() + 1);
    for (std::size_t J = 0; J <= S2.size(); ++J)
        Previous[J] = static_cast<std::int64_t>(J);
    for (std::size_t I = 1; I <= S1.size(); ++I) {
        Current[0] = static_cast<std::int64_t>(I);
        for (std::size_t J = 1; J <= S2.size(); ++J) {
            const std::int64_t Cost = S1[I - 1] == S2[J - 1] ? 0 : 1;
            Current[J] = Min3(Previous[J] + 1, Current[J - 1] + 1, Previous[J - 1] + Cost);
        }
        std::swap(Previous, Current);
    }
    return Previous[S2.size()];
}

}  // namespace narvo
