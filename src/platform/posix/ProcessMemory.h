// How much memory the machine has and how much of it this program holds, for the
// command language's guard against a run that would grow the text until the
// machine swaps.
#pragma once

#include <cstdint>

namespace narvo {

// The machine's physical memory in bytes; 0 when it cannot be told.
std::int64_t PhysicalMemory();
// The program's resident memory in bytes; 0 when it cannot be told.
std::int64_t ResidentMemory();

}  // namespace narvo
