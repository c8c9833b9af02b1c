// A file larger than 2 GiB opens with 64-bit offsets throughout: its line count,
// sizes, offsets and a search near its end. The file is written in pieces into the
// temporary folder and removed afterwards; the test is skipped where the machine has
// too little free memory or disk, and under the sanitizers (their shadow memory
// would double what it needs).
#include "engine/EditorEngine.h"
#include "engine/TextFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/statvfs.h>
#include <unistd.h>

namespace narvo::test {
namespace {

// MemAvailable of /proc/meminfo in bytes, 0 when unknown.
std::uint64_t AvailableMemory()
{
    std::ifstream F("/proc/meminfo");
    std::string Key;
    std::uint64_t Kb = 0;
    std::string Unit;
    while (F >> Key >> Kb >> Unit)
        if (Key == "MemAvailable:")
            return Kb * 1024;
    return 0;
}

bool UnderSanitizer()
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return true;
#else
    return false;
#endif
}

TEST(LargeFile, MoreThanTwoGibibytesOpenWithWideOffsets)
{
    constexpr std::int64_t Lines = 2'200'000, LineBytes = 1000;  // 999 characters and LF
    constexpr std::int64_t Bytes = Lines * LineBytes + 7 + 4;      // then "needle\n" and "last"
    static_assert(Bytes > (std::int64_t{1} << 31));
    if (UnderSanitizer())
        GTEST_SKIP() << "not under the sanitizers";
    const char* Tmp = std::getenv("TMPDIR");
    const std::string Folder = Tmp && *Tmp ? Tmp : "/tmp";
    struct statvfs Fs {};
    if (AvailableMemory() < 8ull * 1024 * 1024 * 1024 || ::statvfs(Folder.c_str(), &Fs) != 0 ||
        static_cast<std::uint64_t>(Fs.f_bavail) * Fs.f_frsize < 3ull * 1024 * 1024 * 1024)
        GTEST_SKIP() << "needs 8 GiB of free memory and 3 GiB of free disk";

    const std::string Path = Folder + "/narvo-large-file-" + std::to_string(::getpid()) + ".txt";
    struct TRemove {
        std::string P;
        ~TRemove() { std::remove(P.c_str()); }
    } Remove{Path};
    {
        std::ofstream F(Path, std::ios::binary);
        std::string Piece;
        const std::string Line = std::string(LineBytes - 1, 'x') + "\n";
        for (int I = 0; I < 1000; ++I)
            Piece += Line;
        for (std::int64_t I = 0; I < Lines / 1000; ++I)
            F.write(Piece.data(), static_cast<std::streamsize>(Piece.size()));
        F << "needle\nlast";
        ASSERT_TRUE(F.good());
    }
    TEditorEngine E;
    E.LoadFromFile(Path);
    const TEditBuffer& B = *E.Strings;
    ASSERT_EQ(B.Count(), Lines + 2);
    EXPECT_EQ(B[Lines + 1], "last");
    EXPECT_EQ(B.TextLength(1), Bytes);
    const TPoint End{4, Lines + 1};
    EXPECT_EQ(E.PosToOffset(End), Bytes + (Lines + 1));  // each LF counted as CR LF
    EXPECT_EQ(E.CharsAfterPos(TPoint{0, 0}), Bytes);
    TPoint P;
    E.OffsetToPos(Bytes - 2, P);
    EXPECT_EQ(P, (TPoint{2, Lines + 1}));
    TRect R;
    TPoint From{0, Lines - 5};
    ASSERT_TRUE(E.Searcher->SearchForward("needle", From, R));
    EXPECT_EQ(R.Top, Lines);
    TPoint Back = End;
    ASSERT_TRUE(E.Searcher->SearchBackward("needle", Back, R));
    EXPECT_EQ(R.Top, Lines);
}

}  // namespace
}  // namespace narvo::test
