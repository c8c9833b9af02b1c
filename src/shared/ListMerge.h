// Lists that several windows keep in one settings file (user tools, favourites):
// each window changed its copy of the list as it read it, and another window may
// have written the file meanwhile. The merge keeps both windows' changes.
#pragma once

#include <string>
#include <vector>

namespace narvo {

// Ours with the changes Theirs made to Base: what they added (and Ours did not
// add too) follows Ours' entries, and what they removed of Base leaves Ours as
// well. Entries are compared whole, and counted, so duplicates merge one by one.
// Costs a look-up per entry of the three lists.
std::vector<std::string> MergeListChanges(const std::vector<std::string>& Base, const std::vector<std::string>& Ours,
                                          const std::vector<std::string>& Theirs);

}  // namespace narvo
