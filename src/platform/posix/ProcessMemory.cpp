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
std::string ReadSmallFile(const char* Path)
{
    std::string Text;
    std::FILE* F = std::fopen(Path, "r");
    if (!F)
        return Text;
    char Buf[4096];
    for (std::size_t N; (N = std::fread(Buf, 1, sizeof Buf, F)) > 0 && Text.size() < 65536;)
        Text.append(Buf, N);
    std::fclose(F);
    return Text;
}

// The least limit named File in Folder and each folder above it up to Root.
std::int64_t LeastUpTo(const std::string& Root, std::string Path, const char* File)
{
    std::int64_t Least = 0;
    for (;;) {
        while (!Path.empty() && Path.back() == '/')
            Path.pop_back();
        const std::int64_t V = ReadLimitFile(Root + Path + "/" + File);
        if (V > 0 && (Least == 0 || V < Least))
            Least = V;
        if (Path.empty())
            return Least;
        const std::size_t Slash = Path.rfind('/');
        Path.resize(Slash == std::string::npos ? 0 : Slash);
    }
}

std::int64_t Least(std::int64_t A, std::int64_t B) { return A == 0 ? B : B == 0 ? A : std::min(A, B); }

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

std::int64_t GroupMemoryLimit(std::string_view ProcSelfCgroup, const std::string& Root)
{
    std::int64_t Result = 0;
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
        if (Controllers.empty()) {
            Result = Least(Result, LeastUpTo(Root, Path, "memory.max"));
        } else if (("," + Controllers + ",").find(",memory,") != std::string::npos) {
            Result = Least(Result, LeastUpTo(Root + "/memory", Path, "memory.limit_in_bytes"));
        }
    }
    return Result;
}

TMemoryLimits MemoryLimits()
{
    if (GTestLimits)
        return *GTestLimits;
    TMemoryLimits L;
    L.Physical = PhysicalMemory();
    L.AddressSpace = SoftLimit(RLIMIT_AS);
    L.Data = SoftLimit(RLIMIT_DATA);
    L.Group = GroupMemoryLimit(ReadSmallFile("/proc/self/cgroup"), "/sys/fs/cgroup");
    return L;
}

void SetMemoryLimitsForTest(std::optional<TMemoryLimits> Limits) { GTestLimits = Limits; }

std::int64_t MemoryRoom(const TMemoryLimits& Limits, const TMemoryUse& Use)
{
    std::int64_t Room = INT64_MAX;
    const auto Bound = [&Room](std::int64_t Limit, std::int64_t Used) {
        if (Limit > 0 && Used > 0)
            Room = std::min(Room, Limit - Used);
    };
    Bound(Least(Limits.Physical, Limits.Group) / 2, Use.Resident);
    Bound(Limits.AddressSpace, Use.Virtual);
    Bound(Limits.Data, Use.Data);
    return Room;
}

std::int64_t MemoryRoom() { return MemoryRoom(MemoryLimits(), MemoryUse()); }

bool RoomFor(std::int64_t Bytes)
{
    // Reading the limits costs a few file reads: small steps are not worth them.
    constexpr std::int64_t Small = std::int64_t{4} << 20;
    return Bytes < Small || Bytes <= MemoryRoom();
}

void NeedRoomToBuild(std::int64_t Bytes)
{
    if (!RoomFor(Bytes > INT64_MAX / 2 ? INT64_MAX : 2 * Bytes))
        throw std::bad_alloc();
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
    std::string Name;
    std::int64_t Least = INT64_MAX;
    const auto Consider = [&](std::int64_t Limit, std::int64_t Used, const char* What) {
        if (Limit > 0 && Limit - Used < Least) {
            Least = Limit - Used;
            Name = std::string(What) + Megabytes(Limit);
        }
    };
    Consider(Limits.Physical, Use.Resident, "the machine's memory of ");
    Consider(Limits.Group, Use.Resident, "the memory limit of its control group, ");
    Consider(Limits.AddressSpace, Use.Virtual, "the address-space limit (ulimit -v) of ");
    Consider(Limits.Data, Use.Data, "the data limit (ulimit -d) of ");
    return Name;
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
