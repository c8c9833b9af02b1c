// The three-way merge of a kept list (see ListMerge.h).
#include "shared/ListMerge.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

namespace narvo {

namespace {

using TCounts = std::unordered_map<std::string_view, std::size_t>;

TCounts Count(const std::vector<std::string>& List)
{
    TCounts C;
    for (const std::string& S : List)
        ++C[S];
    return C;
}

std::size_t CountOf(const TCounts& C, std::string_view S)
{
    const auto It = C.find(S);
    return It == C.end() ? 0 : It->second;
}

}  // namespace

std::vector<std::string> MergeListChanges(const std::vector<std::string>& Base, const std::vector<std::string>& Ours,
                                          const std::vector<std::string>& Theirs)
{
    const TCounts InBase = Count(Base), InOurs = Count(Ours), InTheirs = Count(Theirs);
    // Of each entry of Base that Ours kept, as many go as Theirs lost.
    TCounts Remove;
    for (const auto& [S, N] : InBase) {
        const std::size_t Lost = N - std::min(N, CountOf(InTheirs, S));
        if (Lost > 0)
            Remove[S] = std::min(Lost, std::min(N, CountOf(InOurs, S)));
    }
    std::vector<std::string> Result;
    Result.reserve(Ours.size() + Theirs.size());
    for (const std::string& S : Ours) {
        const auto It = Remove.find(S);
        if (It != Remove.end() && It->second > 0)
            --It->second;
        else
            Result.push_back(S);
    }
    // Theirs' additions, in their order, less those Ours made as well.
    TCounts Added;
    for (const std::string& S : Theirs) {
        const std::size_t Seen = ++Added[S];
        const std::size_t Before = CountOf(InBase, S);
        const std::size_t OursAdded = CountOf(InOurs, S) - std::min(CountOf(InOurs, S), Before);
        if (Seen > Before + OursAdded)
            Result.push_back(S);
    }
    return Result;
}

}  // namespace narvo
