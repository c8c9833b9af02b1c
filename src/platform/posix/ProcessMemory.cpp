// Memory limits and use (see ProcessMemory.h), from sysconf, the resource limits,
// the kernel's per-process memory counts and the control-group files.
#include "platform/posix/ProcessMemory.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <new>
#include <sys/resource.h>
#include <unistd.h>

namespace narvo {

namespace {

std::optional<TMemoryLimits> GTestLimits;

// Values at least this large stand for "no limit" (the older tree writes the
// largest page count it can hold).
constexpr std::int64_t NoLimit = std::int64_t{1} << 62;

std::int64_t SoftLimit(int Resource)
{
    rlimit L {};
    if (getrlimit(Resource, &L) != 0 || L.rlim_cur == RLIM_INFINITY)
        return 0;
    return L.rlim_cur >= static_cast<rlim_t>(NoLimit) ? 0 : static_cast<std::int64_t>(L.rlim_cur);
}

// A limit file's value; 0 for "max", a missing file or no limit.
std::int64_t ReadLimitFile(const std::string& Path)
{
    std::FILE* F = std::fopen(Path.c_str(), "r");
    if (!F)
        return 0;
    long long V = 0;
    const int Read = std::fscanf(F, "%lld", &V);
    std::fclose(F);
    return Read == 1 && V > 0 && V < NoLimit ? V : 0;
}

// A small file of the kernel's whole ("" when it cannot be read).
std::string ReadSmallFile(const std::string& Path)
{
    std::string Text;
    std::FILE* F = std::fopen(Path.c_str(), "r");
    if (!F)
        return Text;
    char Buf[4096];
    for (std::size_t N; (N = std::fread(Buf, 1, sizeof Buf, F)) > 0 && Text.size() < 65536;)
        Text.append(Buf, N);
    std::fclose(F);
    return Text;
}

// A count file's value; -1 when it cannot be read.
std::int64_t ReadCountFile(const std::string& Path)
{
    std::FILE* F = std::fopen(Path.c_str(), "r");
    if (!F)
        return -1;
    long long V = 0;
    const int Read = std::fscanf(F, "%lld", &V);
    std::fclose(F);
    return Read == 1 && V >= 0 ? V : -1;
}

// The number after Key at the start of a line of Text ("Key 123" or "Key: 123 kB");
// -1 when no line has it.
std::int64_t KeyedValue(std::string_view Text, std::string_view Key)
{
    for (std::size_t At = 0; At < Text.size();) {
        const std::size_t End = std::min(Text.find('\n', At), Text.size());
        const std::string_view Line = Text.substr(At, End - At);
        At = End + 1;
        if (Line.size() <= Key.size() || Line.substr(0, Key.size()) != Key)
            continue;
        std::size_t I = Key.size();
        if (Line[I] != ' ' && Line[I] != ':' && Line[I] != '\t')
            continue;
        while (I < Line.size() && (Line[I] == ' ' || Line[I] == ':' || Line[I] == '\t'))
            ++I;
        std::int64_t V = 0;
        bool Digits = false;
        for (; I < Line.size() && Line[I] >= '0' && Line[I] <= '9' && V < NoLimit / 10; ++I, Digits = true)
            V = V * 10 + (Line[I] - '0');
        return Digits ? V : -1;
    }
    return -1;
}

// The names of one tree's files: the limit, the usage (the group and all below it)
// and, in the statistics, the file cache the kernel drops first when the limit is
// near, counted likewise.
struct TGroupFiles {
    const char* Limit;
    const char* Usage;
    const char* InactiveFiles;
};
constexpr TGroupFiles UnifiedFiles{"memory.max", "memory.current", "inactive_file"};
constexpr TGroupFiles OlderFiles{"memory.limit_in_bytes", "memory.usage_in_bytes", "total_inactive_file"};

// Folds the groups from Path up to Root into G.
void WalkUp(const std::string& Root, std::string Path, const TGroupFiles& Files, TGroupMemory& G)
{
    for (;;) {
        while (!Path.empty() && Path.back() == '/')
            Path.pop_back();
        const std::string Folder = Root + Path + "/";
        const std::int64_t Limit = ReadLimitFile(Folder + Files.Limit);
        if (Limit > 0) {
            if (G.Least == 0 || Limit < G.Least)
                G.Least = Limit;
            // Only a limited group's use is read: the others bound nothing.
            const std::int64_t Usage = ReadCountFile(Folder + Files.Usage);
            if (Usage >= 0) {
                const std::int64_t Cache = KeyedValue(ReadSmallFile(Folder + "memory.stat"), Files.InactiveFiles);
                const std::int64_t Use = std::max<std::int64_t>(0, Usage - std::max<std::int64_t>(0, Cache));
                if (G.SharedLimit == 0 || Limit - Use < G.SharedLimit - G.SharedUse) {
                    G.SharedLimit = Limit;
                    G.SharedUse = Use;
                }
            }
        }
        if (Path.empty())
            return;
        const std::size_t Slash = Path.rfind('/');
        Path.resize(Slash == std::string::npos ? 0 : Slash);
    }
}

}  // namespace

std::int64_t PhysicalMemory()
{
    const long Pages = sysconf(_SC_PHYS_PAGES);
    const long PageSize = sysconf(_SC_PAGESIZE);
    return Pages > 0 && PageSize > 0 ? static_cast<std::int64_t>(Pages) * PageSize : 0;
}

std::int64_t ResidentMemory() { return MemoryUse().Resident; }

TMemoryUse MemoryUse()
{
    TMemoryUse U;
    std::FILE* F = std::fopen("/proc/self/statm", "r");
    if (!F)
        return U;
    long long Size = 0, Resident = 0, Shared = 0, Text = 0, Lib = 0, Data = 0;
    const int Read = std::fscanf(F, "%lld %lld %lld %lld %lld %lld", &Size, &Resident, &Shared, &Text, &Lib, &Data);
    std::fclose(F);
    const long PageSize = sysconf(_SC_PAGESIZE);
    if (Read != 6 || PageSize <= 0)
        return U;
    U.Virtual = static_cast<std::int64_t>(Size) * PageSize;
    U.Resident = static_cast<std::int64_t>(Resident) * PageSize;
    U.Data = static_cast<std::int64_t>(Data) * PageSize;
    return U;
}

TGroupMemory GroupMemory(std::string_view ProcSelfCgroup, const std::string& Root)
{
    TGroupMemory Result;
    while (!ProcSelfCgroup.empty()) {
        const std::size_t End = ProcSelfCgroup.find('\n');
        const std::string Line(ProcSelfCgroup.substr(0, End));
        ProcSelfCgroup.remove_prefix(End == std::string_view::npos ? ProcSelfCgroup.size() : End + 1);
        // hierarchy:controllers:path; the unified tree has no controllers listed.
        const std::size_t A = Line.find(':');
        const std::size_t B = A == std::string::npos ? A : Line.find(':', A + 1);
        if (B == std::string::npos)
            continue;
        const std::string Controllers = Line.substr(A + 1, B - A - 1);
        const std::string Path = Line.substr(B + 1);
        if (Path.empty() || Path[0] != '/')
            continue;
        if (Controllers.empty())
            WalkUp(Root, Path, UnifiedFiles, Result);
        else if (("," + Controllers + ",").find(",memory,") != std::string::npos)
            WalkUp(Root + "/memory", Path, OlderFiles, Result);
    }
    return Result;
}

std::int64_t GroupMemoryLimit(std::string_view ProcSelfCgroup, const std::string& Root)
{
    return GroupMemory(ProcSelfCgroup, Root).Least;
}

std::int64_t AvailableMemory(std::string_view ProcMeminfo)
{
    const std::int64_t KB = KeyedValue(ProcMeminfo, "MemAvailable");
    return KB > 0 && KB < NoLimit / 1024 ? KB * 1024 : 0;
}

TMemoryLimits MemoryLimits()
{
    if (GTestLimits)
        return *GTestLimits;
    TMemoryLimits L;
    L.Physical = PhysicalMemory();
    L.AddressSpace = SoftLimit(RLIMIT_AS);
    L.Data = SoftLimit(RLIMIT_DATA);
    const TGroupMemory G = GroupMemory(ReadSmallFile("/proc/self/cgroup"), "/sys/fs/cgroup");
    L.Group = G.Least;
    L.SharedGroupLimit = G.SharedLimit;
    L.SharedGroupUse = G.SharedUse;
    L.Available = AvailableMemory(ReadSmallFile("/proc/meminfo"));
    return L;
}

void SetMemoryLimitsForTest(std::optional<TMemoryLimits> Limits) { GTestLimits = Limits; }

namespace {

enum class TBound { Physical, Group, AddressSpace, Data, SharedGroup, Available };

// Visits each bound that counts with the room it leaves.
template <class TVisit>
void ForEachBound(const TMemoryLimits& Limits, const TMemoryUse& Use, TVisit&& Visit)
{
    const auto Own = [&](TBound Kind, std::int64_t Limit, std::int64_t Used) {
        if (Limit > 0 && Used > 0)
            Visit(Kind, Limit - Used);
    };
    Own(TBound::Physical, Limits.Physical / 2, Use.Resident);
    Own(TBound::Group, Limits.Group / 2, Use.Resident);
    Own(TBound::AddressSpace, Limits.AddressSpace, Use.Virtual);
    Own(TBound::Data, Limits.Data, Use.Data);
    // A step holds more than the bytes it asks for (the lines' index beside a file's
    // text), and the others go on growing while it runs: it may take three quarters
    // of what is left.
    if (Limits.SharedGroupLimit > 0) {
        const std::int64_t Left = Limits.SharedGroupLimit - Limits.SharedGroupUse;
        Visit(TBound::SharedGroup, Left - Left / 4);
    }
    if (Limits.Available > 0)
        Visit(TBound::Available, Limits.Available - Limits.Available / 4);
}

}  // namespace

std::int64_t MemoryRoom(const TMemoryLimits& Limits, const TMemoryUse& Use)
{
    std::int64_t Room = INT64_MAX;
    ForEachBound(Limits, Use, [&Room](TBound, std::int64_t R) { Room = std::min(Room, R); });
    return Room;
}

std::int64_t MemoryRoom() { return MemoryRoom(MemoryLimits(), MemoryUse()); }

bool RoomFor(std::int64_t Bytes)
{
    // Reading the limits costs a few file reads: small steps are not worth them.
    constexpr std::int64_t Small = std::int64_t{4} << 20;
    return Bytes < Small || Bytes <= MemoryRoom();
}

namespace {

// Bytes as whole megabytes with thousands separated ("3,814 MB").
std::string Megabytes(std::int64_t Bytes)
{
    const std::string Digits = std::to_string((Bytes + (1 << 19)) >> 20);
    std::string Text;
    for (std::size_t I = 0; I < Digits.size(); ++I) {
        if (I > 0 && (Digits.size() - I) % 3 == 0)
            Text += ',';
        Text += Digits[I];
    }
    return Text + " MB";
}

}  // namespace

std::string TightestMemoryLimit(const TMemoryLimits& Limits, const TMemoryUse& Use)
{
    std::optional<TBound> Tightest;
    std::int64_t Least = INT64_MAX;
    ForEachBound(Limits, Use, [&](TBound Kind, std::int64_t Room) {
        if (!Tightest || Room < Least) {
            Tightest = Kind;
            Least = Room;
        }
    });
    if (!Tightest)
        return "";
    switch (*Tightest) {
    case TBound::Physical:
        return "the machine's memory of " + Megabytes(Limits.Physical);
    case TBound::Group:
        return "the memory limit of its control group, " + Megabytes(Limits.Group);
    case TBound::AddressSpace:
        return "the address-space limit (ulimit -v) of " + Megabytes(Limits.AddressSpace);
    case TBound::Data:
        return "the data limit (ulimit -d) of " + Megabytes(Limits.Data);
    case TBound::SharedGroup:
        return "the memory limit of its control group, " + Megabytes(Limits.SharedGroupLimit) + ", of which " +
               Megabytes(Limits.SharedGroupUse) + " is in use";
    case TBound::Available:
        return "the machine's available memory of " + Megabytes(Limits.Available);
    }
    return "";
}

void NeedRoomToBuild(std::int64_t Bytes) { NeedRoomFor(Bytes > INT64_MAX / 2 ? INT64_MAX : 2 * Bytes); }

void NeedRoomFor(std::int64_t Needed)
{
    if (RoomFor(Needed))
        return;
    std::string Text = "Text Too Large: the operation needs " + Megabytes(Needed) +
                       ", too much for the memory the program may use";
    const std::string Limit = TightestMemoryLimit(MemoryLimits(), MemoryUse());
    if (!Limit.empty())
        Text += ", bounded by " + Limit;
    throw ENoRoom(Text + ".");
}

std::string FileTooLargeText(const std::string& Path, std::int64_t Size)
{
    std::string Text = "Cannot open \"" + Path + "\": its text (" + Megabytes(Size) +
                       ") is too large for the memory the program may use";
    const std::string Limit = TightestMemoryLimit(MemoryLimits(), MemoryUse());
    if (!Limit.empty())
        Text += ", bounded by " + Limit;
    return Text + ".";
}

}  // namespace narvo
