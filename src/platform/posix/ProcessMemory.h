// How much memory the program may hold and how much of it it holds, for the command
// language's guard against a run that would grow the text until the memory runs
// out. Besides the machine's memory the system can bound a process more tightly:
// the address-space and data limits (an allocation past them fails), and the memory
// limit of its control group (past it the kernel kills a process of the group).
// Other programs (other windows of this one among them) share the machine's memory
// and the group's limit, so what those have left counts as well as what this
// program holds. Reading them is cheap enough to do between the commands of a run.
#pragma once

#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace narvo {

// The machine's physical memory in bytes; 0 when it cannot be told.
std::int64_t PhysicalMemory();
// The program's resident memory in bytes; 0 when it cannot be told.
std::int64_t ResidentMemory();

// The bounds on the program's memory, in bytes; 0 where there is none.
struct TMemoryLimits {
    std::int64_t Physical = 0;      // the machine's memory
    std::int64_t AddressSpace = 0;  // the soft address-space limit (ulimit -v)
    std::int64_t Data = 0;          // the soft data limit (ulimit -d)
    std::int64_t Group = 0;         // the least memory limit on the control group's path
    // What the programs sharing a bound have left of it; these change while a step
    // runs, as the others grow. The group on the path with the least left under its
    // limit: that limit and what all the programs in the group hold (0 when no group
    // has a limit); and the memory the machine has available (0 when it cannot be
    // told).
    std::int64_t SharedGroupLimit = 0;
    std::int64_t SharedGroupUse = 0;
    std::int64_t Available = 0;
};

// What the program holds, counted as each limit counts it, in bytes.
struct TMemoryUse {
    std::int64_t Resident = 0;
    std::int64_t Virtual = 0;  // the address space mapped
    std::int64_t Data = 0;     // private writable memory (data, heap, stack)
};

// The system's limits, or those a test set.
TMemoryLimits MemoryLimits();
// Puts Limits in place of the system's (nullopt gives the system's back).
void SetMemoryLimitsForTest(std::optional<TMemoryLimits> Limits);
// The program's use now; all 0 when it cannot be told.
TMemoryUse MemoryUse();

// The control groups along the path named in ProcSelfCgroup (the text of
// /proc/self/cgroup), read from the control-group tree under Root
// ("/sys/fs/cgroup"), each folder from the group up: memory.max, memory.current and
// memory.stat for the unified tree, memory.limit_in_bytes, memory.usage_in_bytes and
// memory.stat likewise for the older memory tree.
struct TGroupMemory {
    std::int64_t Least = 0;         // the least limit; 0 when none
    std::int64_t SharedLimit = 0;   // the limit of the group with the least left under it
    std::int64_t SharedUse = 0;     // what that group holds, less the file cache it can drop
};
TGroupMemory GroupMemory(std::string_view ProcSelfCgroup, const std::string& Root);
// The least memory limit along that path; 0 when none.
std::int64_t GroupMemoryLimit(std::string_view ProcSelfCgroup, const std::string& Root);
// The machine's available memory in the text of /proc/meminfo; 0 when not there.
std::int64_t AvailableMemory(std::string_view ProcMeminfo);

// The bytes the program can still grow by before the nearest bound: the resident
// memory may reach half of the machine's memory or of the group's limit (others
// need memory too, and the group's limit kills rather than fails), the virtual size
// the address-space limit and the data the data limit; and it may take three
// quarters of what the group with the least left and the machine have left to all
// their programs. INT64_MAX when nothing bounds it or nothing can be told.
std::int64_t MemoryRoom(const TMemoryLimits& Limits, const TMemoryUse& Use);
// The same for the program now.
std::int64_t MemoryRoom();

// Before a step that builds Bytes of new text in one go (a remargin that puts a
// wide margin before every word, a block padded far out, a transform that grows
// its input): throws std::bad_alloc, with nothing built, when the text and the
// copy the pane keeps of it would not fit in the room left. Past a control
// group's limit an allocation does not fail, the kernel ends the program; so a
// step that can outgrow its input asks first and ends as if the memory had run
// out. Steps below a few megabytes pass without a look. The exception says, in
// words, what the step needs and the bound it met.
void NeedRoomToBuild(std::int64_t Bytes);
// The same for a step that holds Bytes more in one go (a copy of a large part of
// the text).
void NeedRoomFor(std::int64_t Bytes);
class ENoRoom : public std::bad_alloc {
public:
    explicit ENoRoom(std::string AMessage) : FMessage(std::move(AMessage)) {}
    const char* what() const noexcept override { return FMessage.c_str(); }

private:
    std::string FMessage;
};
// Whether Bytes more fit in the room left (always for a few megabytes or less):
// a file is read into memory only when its bytes fit, as past a control group's
// limit the reading would end the program.
bool RoomFor(std::int64_t Bytes);

// The tightest of Limits for the program using Use, in words with its size ("the
// address-space limit (ulimit -v) of 3,814 MB", "the memory limit of its control
// group, 2,048 MB, of which 1,650 MB is in use"); "" when nothing bounds it.
std::string TightestMemoryLimit(const TMemoryLimits& Limits, const TMemoryUse& Use);
// What to say when the text of the file at Path, Size bytes, does not fit in the
// memory: the file, its size and the bound it met.
std::string FileTooLargeText(const std::string& Path, std::int64_t Size);

}  // namespace narvo
