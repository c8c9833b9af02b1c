// The Levenshtein distance between two words, used by the spelling engine to rank
// suggestions.
#pragma once

#include <cstdint>
#include <string_view>

namespace narvo {

// The least number of single-character insertions, deletions and substitutions
// (each costing 1) that turn S1 into S2; characters compare exactly. Any length is
// accepted; memory is two rows of the shorter string's length.
std::int64_t EditDistance(std::string_view S1, std::string_view S2);

}  // namespace narvo
