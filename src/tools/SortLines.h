// The order of Tools > Sort Highlighted: lines as the ANSI code page's characters,
// case-folded, in the order of the locale's collation (as QString's locale-aware
// comparison orders them), equal lines in the order they came. Each line is made
// into a key once, so that the sort compares keys, not strings through the locale:
// in the C locale a key is the line's bytes ranked as their folded characters
// rank, elsewhere the collator's sort key.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

namespace narvo {

// The indexes of Lines in sorted order.
std::vector<std::size_t> SortedLineOrder(std::span<const std::string_view> Lines);

}  // namespace narvo
