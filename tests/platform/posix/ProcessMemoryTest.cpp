// The bounds on the program's memory: the resource limits as the system reports
// them, the control group's limit read along its path in either tree, the room
// left under the tightest bound, and how that bound is named.
#include "platform/posix/ProcessMemory.h"
#include "support/ChildUnderLimit.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/resource.h>

namespace narvo {
namespace {

class GroupTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        char Pattern[] = "/tmp/narvo-cgroup-XXXXXX";
        Root = mkdtemp(Pattern);
    }
    void TearDown() override { std::system(("rm -rf '" + Root + "'").c_str()); }
    void Put(const std::string& Folder, const std::string& File, const std::string& Value)
    {
        std::system(("mkdir -p '" + Root + Folder + "'").c_str());
        std::ofstream(Root + Folder + "/" + File) << Value << "\n";
    }
    std::string Root;
};

TEST_F(GroupTree, TheLeastLimitAlongThePathCountsInEitherTree)
{
    // The unified tree: "max" is no limit; a parent's limit binds its children.
    Put("", "memory.max", "max");
    Put("/user.slice", "memory.max", "3000000000");
    Put("/user.slice/app", "memory.max", "max");
    EXPECT_EQ(GroupMemoryLimit("0::/user.slice/app\n", Root), 3000000000);
    Put("/user.slice/app", "memory.max", "2000000000");
    EXPECT_EQ(GroupMemoryLimit("0::/user.slice/app\n", Root), 2000000000);
    // Inside a container the group is the tree's root.
    Put("", "memory.max", "1000000000");
    EXPECT_EQ(GroupMemoryLimit("0::/\n", Root), 1000000000);

    // The older memory tree, where no limit is the largest page count; other
    // controllers' lines do not count.
    Put("/memory", "memory.limit_in_bytes", "9223372036854771712");
    Put("/memory/docker/abc", "memory.limit_in_bytes", "536870912");
    Put("/cpu/docker/abc", "memory.limit_in_bytes", "1000");
    EXPECT_EQ(GroupMemoryLimit("4:cpu,cpuacct:/docker/abc\n7:memory:/docker/abc\n", Root), 536870912);
    EXPECT_EQ(GroupMemoryLimit("7:cpuset:/docker/abc\n", Root), 0);
    // Both trees: the smaller limit.
    EXPECT_EQ(GroupMemoryLimit("7:memory:/docker/abc\n0::/\n", Root), 536870912);

    // Nothing there, or lines that are no group.
    EXPECT_EQ(GroupMemoryLimit("0::/nowhere\n", Root + "/none"), 0);
    EXPECT_EQ(GroupMemoryLimit("garbage\n0::relative\n\n", Root), 0);
}

TEST_F(GroupTree, WhatTheFullestGroupHasLeftCountsEveryProgramInItButTheCacheItCanDrop)
{
    // The unified tree: the parent's 3 GB hold 2.9 GB, 0.4 GB of them file cache
    // the kernel drops before it kills; the child's 2 GB hold 0.5 GB. The parent
    // has the least left, though the child's limit is the lower.
    Put("", "memory.max", "max");
    Put("", "memory.current", "20000000000");  // no limit: its use bounds nothing
    Put("/user.slice", "memory.max", "3000000000");
    Put("/user.slice", "memory.current", "2900000000");
    Put("/user.slice", "memory.stat",
        "anon 2400000000\nfile 500000000\ninactive_file 400000000\nactive_file 100000000");
    Put("/user.slice/app", "memory.max", "2000000000");
    Put("/user.slice/app", "memory.current", "500000000");
    TGroupMemory G = GroupMemory("0::/user.slice/app\n", Root);
    EXPECT_EQ(G.Least, 2000000000);
    EXPECT_EQ(G.SharedLimit, 3000000000);
    EXPECT_EQ(G.SharedUse, 2500000000);
    // The child fuller: it binds.
    Put("/user.slice/app", "memory.current", "1900000000");
    G = GroupMemory("0::/user.slice/app\n", Root);
    EXPECT_EQ(G.SharedLimit, 2000000000);
    EXPECT_EQ(G.SharedUse, 1900000000);

    // The older tree counts the whole group's cache (total_), not its own folder's.
    Put("/memory/docker/abc", "memory.limit_in_bytes", "2147483648");
    Put("/memory/docker/abc", "memory.usage_in_bytes", "1800000000");
    Put("/memory/docker/abc", "memory.stat", "cache 9\ninactive_file 5\ntotal_inactive_file 100000000");
    G = GroupMemory("7:memory:/docker/abc\n", Root);
    EXPECT_EQ(G.SharedLimit, 2147483648);
    EXPECT_EQ(G.SharedUse, 1700000000);
    // A limit whose use cannot be read still bounds as a limit.
    Put("/memory/docker/abc", "memory.usage_in_bytes", "");
    G = GroupMemory("7:memory:/docker/abc\n", Root);
    EXPECT_EQ(G.Least, 2147483648);
    EXPECT_EQ(G.SharedLimit, 0);

    EXPECT_EQ(AvailableMemory("MemTotal:       24682404 kB\nMemFree:        20588148 kB\n"
                              "MemAvailable:   21902720 kB\nBuffers:           46092 kB\n"),
              std::int64_t{21902720} * 1024);
    EXPECT_EQ(AvailableMemory("MemTotal: 1 kB\nMemAvailableX: 5 kB\n"), 0);
}

TEST(ProcessMemory, AWindowFindsNoRoomWhereOtherWindowsHoldTheGroupsLimit)
{
    // Two windows of one 2 GB group each hold a 650 MB file (820 MB with its lines);
    // the third holds 50 MB. Half the limit less its own memory would let it read a
    // third such file, and the kernel would end one of the three.
    const std::int64_t MB = 1 << 20;
    TMemoryLimits L;
    L.Physical = 24576 * MB;
    L.Group = 2048 * MB;
    const TMemoryUse U{50 * MB, 900 * MB, 60 * MB};
    EXPECT_EQ(MemoryRoom(L, U), 974 * MB);
    L.SharedGroupLimit = 2048 * MB;
    L.SharedGroupUse = 1690 * MB;
    // Three quarters of the 358 MB left.
    EXPECT_EQ(MemoryRoom(L, U), 358 * MB - 358 * MB / 4);
    EXPECT_LT(MemoryRoom(L, U), 650 * MB);
    EXPECT_EQ(TightestMemoryLimit(L, U),
              "the memory limit of its control group, 2,048 MB, of which 1,690 MB is in use");
    // The machine's available memory counts as well, when it is the least.
    L.Available = 300 * MB;
    EXPECT_EQ(MemoryRoom(L, U), 225 * MB);
    EXPECT_EQ(TightestMemoryLimit(L, U), "the machine's available memory of 300 MB");
    // A group over its limit leaves no room at all.
    L.Available = 0;
    L.SharedGroupUse = 2100 * MB;
    EXPECT_LT(MemoryRoom(L, U), 0);
}

TEST(ProcessMemory, TheRoomIsWhatTheTightestBoundLeaves)
{
    const std::int64_t MB = 1 << 20;
    TMemoryLimits L;
    TMemoryUse U{100 * MB, 1500 * MB, 300 * MB};
    EXPECT_EQ(MemoryRoom(L, U), INT64_MAX);
    EXPECT_EQ(TightestMemoryLimit(L, U), "");
    // Half of the machine's memory for the resident memory.
    L.Physical = 16384 * MB;
    EXPECT_EQ(MemoryRoom(L, U), 8192 * MB - 100 * MB);
    // The address-space limit for the address space: 2,048 - 1,500.
    L.AddressSpace = 2048 * MB;
    EXPECT_EQ(MemoryRoom(L, U), 548 * MB);
    EXPECT_EQ(TightestMemoryLimit(L, U), "the address-space limit (ulimit -v) of 2,048 MB");
    // The data limit for the data.
    L.Data = 500 * MB;
    EXPECT_EQ(MemoryRoom(L, U), 200 * MB);
    EXPECT_EQ(TightestMemoryLimit(L, U), "the data limit (ulimit -d) of 500 MB");
    // Half of the group's limit, when it is below the machine's memory.
    L.Group = 300 * MB;
    EXPECT_EQ(MemoryRoom(L, U), 50 * MB);
    // A use that cannot be told bounds nothing.
    EXPECT_EQ(MemoryRoom(L, TMemoryUse{}), INT64_MAX);
}

TEST(ProcessMemory, TheResourceLimitsAreReadAndATestCanSetItsOwn)
{
    // The limits are set in a child, far above what it holds: the sanitizers hold
    // terabytes of address space, and a limit below that would fail their next
    // mapping here or in any test after this one.
    EXPECT_EQ(test::InChild([] {
                  const TMemoryUse Held = MemoryUse();
                  const std::int64_t Huge = std::int64_t{1} << 40;
                  const std::int64_t As = Held.Virtual + Huge, Data = Held.Data + Huge / 2;
                  rlimit L{};
                  if (getrlimit(RLIMIT_AS, &L) != 0)
                      return std::string("getrlimit failed");
                  L.rlim_cur = static_cast<rlim_t>(As);
                  if (L.rlim_max != RLIM_INFINITY && L.rlim_max < L.rlim_cur)
                      return std::string();  // hard limits too low to try
                  if (setrlimit(RLIMIT_AS, &L) != 0)
                      return std::string("setrlimit AS failed");
                  getrlimit(RLIMIT_DATA, &L);
                  L.rlim_cur = static_cast<rlim_t>(Data);
                  if (L.rlim_max != RLIM_INFINITY && L.rlim_max < L.rlim_cur)
                      return std::string();
                  if (setrlimit(RLIMIT_DATA, &L) != 0)
                      return std::string("setrlimit DATA failed");
                  const TMemoryLimits Read = MemoryLimits();
                  std::string Fault;
                  if (Read.AddressSpace != As)
                      Fault += "address space " + std::to_string(Read.AddressSpace) + "; ";
                  if (Read.Data != Data)
                      Fault += "data " + std::to_string(Read.Data) + "; ";
                  return Fault;
              }),
              "");
    const TMemoryLimits L = MemoryLimits();
    EXPECT_GT(L.Physical, 0);
    const TMemoryUse U = MemoryUse();
    EXPECT_GT(U.Resident, 0);
    EXPECT_GE(U.Virtual, U.Resident);
    EXPECT_GT(U.Data, 0);

    SetMemoryLimitsForTest(TMemoryLimits{0, 3 * U.Virtual, 0, 0});
    EXPECT_EQ(MemoryLimits().AddressSpace, 3 * U.Virtual);
    EXPECT_GT(MemoryRoom(), U.Virtual);
    EXPECT_LE(MemoryRoom(), 2 * U.Virtual);
    EXPECT_NE(FileTooLargeText("/data/big.log", std::int64_t{3} << 30)
                  .find("\"/data/big.log\": its text (3,072 MB) is too large for the memory the program may use, "
                        "bounded by the address-space limit (ulimit -v)"),
              std::string::npos);
    SetMemoryLimitsForTest(std::nullopt);
    rlimit As{};
    if (getrlimit(RLIMIT_AS, &As) == 0 && As.rlim_cur == RLIM_INFINITY)
        EXPECT_EQ(MemoryLimits().AddressSpace, 0);
}

}  // namespace
}  // namespace narvo
