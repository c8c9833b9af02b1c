// Atomic replacement and whole-file reads: a failure at any step leaves the target
// byte for byte and no temporary file; mode bits and symbolic links are kept.
#include "platform/posix/SafeFile.h"
#include "support/ChildUnderLimit.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <csignal>
#include <cstdint>
#include <string_view>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace narvo {
namespace {

using test::GetFile;
using test::OpenFileModesUnder;
using test::PutFile;
using test::TTempFolder;

// Installs a fault for one step for the scope of a test.
class TFaultAt {
public:
    TFaultAt(TFileStep Step, int Errno)
    {
        Old_ = SetFileFaultHook([=](TFileStep S, const std::string&) { return S == Step ? Errno : 0; });
    }
    ~TFaultAt() { SetFileFaultHook(Old_); }

private:
    TFileFaultHook Old_;
};

mode_t ModeOf(const std::string& Path)
{
    struct stat St;
    EXPECT_EQ(::stat(Path.c_str(), &St), 0);
    return St.st_mode & 07777;
}

TEST(SafeFile, FailureAtAnyStepLeavesTargetAndNoTemp)
{
    const std::string Old("old\0content\r\n", 13);
    for (TFileStep Step : {TFileStep::CreateTemp, TFileStep::Write, TFileStep::Sync, TFileStep::Close,
                           TFileStep::Rename}) {
        TTempFolder Dir;
        const std::string Target = Dir / "target.txt";
        PutFile(Target, Old);
        const std::string Before = Dir.Listing();
        TFaultAt Fault(Step, ENOSPC);
        try {
            AtomicWriteFile(Target, std::string(100000, 'x'));
            ADD_FAILURE() << "no error at step " << static_cast<int>(Step);
        } catch (const EFileError& E) {
            EXPECT_NE(std::string(E.what()).find(Target), std::string::npos) << E.what();
            EXPECT_NE(std::string(E.what()).find("No space left"), std::string::npos) << E.what();
        }
        EXPECT_EQ(GetFile(Target), Old);
        EXPECT_EQ(Dir.Listing(), Before) << "step " << static_cast<int>(Step);
    }
}

TEST(SafeFile, WritesNewAndExistingFiles)
{
    TTempFolder Dir;
    const std::string Target = Dir / "new.txt";
    const std::string Bytes("a\0b\xFF", 4);
    AtomicWriteFile(Target, Bytes);
    EXPECT_EQ(GetFile(Target), Bytes);
    AtomicWriteFile(Target, "");
    EXPECT_EQ(GetFile(Target), "");
    EXPECT_EQ(Dir.Listing(), "new.txt;");
}

TEST(SafeFile, KeepsModeBits)
{
    TTempFolder Dir;
    const std::string Target = Dir / "script.sh";
    PutFile(Target, "#!/bin/sh\n");
    ASSERT_EQ(::chmod(Target.c_str(), 0755), 0);
    AtomicWriteFile(Target, "#!/bin/sh\necho hi\n");
    EXPECT_EQ(ModeOf(Target), 0755u);

    // A new file gets the usual mode less the umask, not the 0600 of a temp file.
    const mode_t OldMask = ::umask(022);
    AtomicWriteFile(Dir / "fresh.txt", "x");
    ::umask(OldMask);
    EXPECT_EQ(ModeOf(Dir / "fresh.txt"), 0644u);
}

// Sets the umask for the scope of a test, so that a file made open to others by it
// shows whatever the user running the tests has set.
class TUmask {
public:
    explicit TUmask(mode_t Mask) : Old_(::umask(Mask)) {}
    ~TUmask() { ::umask(Old_); }

private:
    mode_t Old_;
};

TEST(SafeFile, TheTemporaryCopyIsPrivateWhileWrittenAndTakesTheModeAfter)
{
    TUmask Mask(022);
    for (const bool RefuseUnnamed : {false, true}) {
        for (const unsigned Mode : {0600u, 0644u, 0755u, 0u}) {
            TTempFolder Dir;
            const std::string Target = Dir / "target.txt";
            if (Mode) {
                PutFile(Target, "old");
                ASSERT_EQ(::chmod(Target.c_str(), Mode), 0);
            }
            std::vector<unsigned> Seen;
            TFileFaultHook Old = SetFileFaultHook([&](TFileStep Step, const std::string&) {
                if (Step == TFileStep::Unnamed && RefuseUnnamed)
                    return EOPNOTSUPP;
                if (Step == TFileStep::Write)
                    Seen = OpenFileModesUnder(Dir.Path());
                return 0;
            });
            AtomicWriteFile(Target, std::string(100000, 'n'));
            SetFileFaultHook(Old);
            ASSERT_EQ(Seen.size(), 1u) << "the temporary file is open while it is written";
            EXPECT_EQ(Seen[0], 0600u) << std::oct << Mode << " refuse unnamed " << RefuseUnnamed;
            EXPECT_EQ(ModeOf(Target), Mode ? Mode : 0644u) << std::oct << Mode;
            EXPECT_EQ(Dir.Listing(), "target.txt;");
        }
    }
}

TEST(SafeFile, ACopyTakesTheModeOfTheFileItCopies)
{
    TUmask Mask(022);
    TTempFolder Dir;
    PutFile(Dir / "p.txt", "private");
    ASSERT_EQ(::chmod((Dir / "p.txt").c_str(), 0600), 0);
    PutFile(Dir / "p.txt.BAK", "older, open to all");
    ASSERT_EQ(::chmod((Dir / "p.txt.BAK").c_str(), 0644), 0);
    RenameIntoPlace(WriteTempFile(Dir / "p.txt.BAK", "private", 0666, Dir / "p.txt"), Dir / "p.txt.BAK");
    EXPECT_EQ(ModeOf(Dir / "p.txt.BAK"), 0600u);
    EXPECT_EQ(GetFile(Dir / "p.txt.BAK"), "private");
}

// A save killed while it writes (SIGKILL gives no chance to clean up) leaves at most
// a hidden temporary file that the next save of the same file removes; those of
// programs still running, and those of other files, stay.
TEST(SafeFile, ASaveKilledMidwayLeavesNoTemporaryBehind)
{
    for (const bool RefuseUnnamed : {false, true}) {
        TTempFolder Dir;
        const std::string Target = Dir / "target.txt";
        PutFile(Target, "old");
        const pid_t Child = ::fork();
        ASSERT_GE(Child, 0);
        if (Child == 0) {
            SetFileFaultHook([=](TFileStep Step, const std::string&) {
                if (Step == TFileStep::Unnamed && RefuseUnnamed)
                    return EOPNOTSUPP;
                if (Step == TFileStep::Sync)
                    ::raise(SIGKILL);
                return 0;
            });
            AtomicWriteFile(Target, std::string(1 << 20, 'k'));
            ::_exit(0);
        }
        int Status = 0;
        ASSERT_EQ(::waitpid(Child, &Status, 0), Child);
        ASSERT_TRUE(WIFSIGNALED(Status) && WTERMSIG(Status) == SIGKILL) << Status;
        EXPECT_EQ(GetFile(Target), "old");
        const std::string Left = Dir.Listing();
        if (RefuseUnnamed) {
            EXPECT_NE(Left.find(".target.txt." + std::to_string(Child) + "-"), std::string::npos) << Left;
        }

        // Hidden copies that are not stale: of a program that runs (process 1, this
        // one) and of another file.
        const std::string Mine = ".target.txt." + std::to_string(::getpid()) + "-7.tmp";
        std::vector<std::string> Kept = {".target.txt.1-5.tmp", Mine,
                                         ".other.txt." + std::to_string(Child) + "-1.tmp",
                                         ".target.txt." + std::to_string(Child) + "-x.tmp"};
        for (const std::string& Name : Kept)
            PutFile(Dir / Name, "kept");
        AtomicWriteFile(Target, "new");
        EXPECT_EQ(GetFile(Target), "new");
        Kept.push_back("target.txt");
        std::sort(Kept.begin(), Kept.end());
        std::string Expected;
        for (const std::string& Name : Kept)
            Expected += Name + ";";
        EXPECT_EQ(Dir.Listing(), Expected) << "refuse unnamed " << RefuseUnnamed;
    }
}

TEST(SafeFile, CutNamesNeverEndInHalfACharacter)
{
    const struct {
        const char* Name;
        std::size_t Limit;
        const char* Cut;
    } Rows[] = {
        {"abc", 5, "abc"},
        {"abcdef", 3, "abc"},
        {"ab\xC3\xA9z", 3, "ab"},               // é would lose its second byte
        {"ab\xC3\xA9z", 4, "ab\xC3\xA9"},
        {"a\xF0\x9F\x98\x80", 4, "a"},           // a four-byte character
        {"\xE9\xE9\xE9\xE9\xE9", 3, "\xE9\xE9\xE9"},  // 8-bit names are cut at the limit
        {"a\xA9\xA9\xA9\xA9\xA9", 5, "a\xA9\xA9\xA9\xA9"},
    };
    for (const auto& R : Rows)
        EXPECT_EQ(CutFileName(R.Name, R.Limit), R.Cut) << R.Name << " " << R.Limit;
}

// Every name a file may have (up to 255 bytes) is saved, with unnamed or named
// temporary files, and the hidden copy a killed save leaves of such a name is found
// and removed by the next save.
TEST(SafeFile, EveryNameUpToTheLimitIsSaved)
{
    for (const bool RefuseUnnamed : {false, true}) {
        TTempFolder Dir;
        ASSERT_EQ(::pathconf(Dir.Path().c_str(), _PC_NAME_MAX), 255) << "the test folder takes 255-byte names";
        const auto Old = SetFileFaultHook(
            [=](TFileStep Step, const std::string&) { return Step == TFileStep::Unnamed && RefuseUnnamed ? EOPNOTSUPP : 0; });
        for (const std::size_t Length : {240u, 253u, 255u}) {
            const std::string Name = std::string(Length - 4, 'n') + ".txt";
            const std::string Target = Dir / Name;
            try {
                AtomicWriteFile(Target, "first");
                AtomicWriteFile(Target, "second");
            } catch (const EFileError& E) {
                ADD_FAILURE() << Length << ": " << E.what();
            }
            EXPECT_EQ(GetFile(Target), "second") << Length;
            EXPECT_EQ(Dir.Listing(), Name + ";") << Length;
            ::unlink(Target.c_str());
        }
        SetFileFaultHook(Old);

        const std::string Long = std::string(251, 'k') + ".txt";
        const pid_t Child = ::fork();
        ASSERT_GE(Child, 0);
        if (Child == 0) {
            SetFileFaultHook([](TFileStep Step, const std::string&) {
                if (Step == TFileStep::Unnamed)
                    return EOPNOTSUPP;
                if (Step == TFileStep::Sync)
                    ::raise(SIGKILL);
                return 0;
            });
            AtomicWriteFile(Dir / Long, "killed");
            ::_exit(0);
        }
        int Status = 0;
        ASSERT_EQ(::waitpid(Child, &Status, 0), Child);
        EXPECT_NE(Dir.Listing(), "") << "the killed save left its hidden copy";
        AtomicWriteFile(Dir / Long, "whole");
        EXPECT_EQ(Dir.Listing(), Long + ";");
    }
}

// A file linked in under a hidden name and put in place later (the ".BAK" of a save):
// nothing remains of the hidden name, also when the target already is that file.
TEST(SafeFile, ALinkPutInPlaceLeavesNoSecondName)
{
    TTempFolder Dir;
    PutFile(Dir / "x", "old");
    PutFile(Dir / "x.BAK", "older");
    RenameIntoPlace(LinkTempFile(Dir / "x", Dir / "x.BAK"), Dir / "x.BAK");
    EXPECT_EQ(GetFile(Dir / "x.BAK"), "old");
    EXPECT_EQ(Dir.Listing(), "x;x.BAK;");
    // Now x.BAK is x itself: the rename between two names of one file does nothing.
    RenameIntoPlace(LinkTempFile(Dir / "x", Dir / "x.BAK"), Dir / "x.BAK");
    EXPECT_EQ(Dir.Listing(), "x;x.BAK;");
    {
        TTempFile Dropped = LinkTempFile(Dir / "x", Dir / "x.BAK");
        EXPECT_NE(Dir.Listing(), "x;x.BAK;");
    }
    EXPECT_EQ(Dir.Listing(), "x;x.BAK;");
    TFaultAt Fault(TFileStep::Link, EPERM);
    try {
        LinkTempFile(Dir / "x", Dir / "y");
        ADD_FAILURE() << "no error";
    } catch (const EFileError& E) {
        EXPECT_EQ(E.Code(), EPERM);
        EXPECT_NE(std::string(E.what()).find(Dir / "y"), std::string::npos) << E.what();
    }
    EXPECT_EQ(Dir.Listing(), "x;x.BAK;");
}

// In a sticky folder a user may link to another user's file but not remove that
// link again: the ".BAK" of such a file is never made a link there, so a save that
// fails leaves no hidden name of that user's file behind. Needs a second user: as
// root, the child takes the user "nobody".
TEST(SafeFile, NoLinkToAnotherUsersFileStaysInAStickyFolder)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to act as another user";
    TTempFolder Dir;
    ASSERT_EQ(::chmod(Dir.Path().c_str(), 01777), 0);
    PutFile(Dir / "s.txt", "theirs");
    PutFile(Dir / "s.txt.BAK", "older");
    ASSERT_EQ(::chmod((Dir / "s.txt").c_str(), 0666), 0);
    const pid_t Child = ::fork();
    ASSERT_GE(Child, 0);
    if (Child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        try {
            const TTempFile Dropped = LinkTempFile(Dir / "s.txt", Dir / "s.txt.BAK");
        } catch (const EFileError& E) {
            ::_exit(E.Code() == EPERM ? 0 : 3);
        }
        ::_exit(0);
    }
    int Status = 0;
    ASSERT_EQ(::waitpid(Child, &Status, 0), Child);
    ASSERT_TRUE(WIFEXITED(Status)) << Status;
    if (WEXITSTATUS(Status) == 2)
        GTEST_SKIP() << "cannot take another user here";
    EXPECT_EQ(WEXITSTATUS(Status), 0);
    EXPECT_EQ(Dir.Listing(), "s.txt;s.txt.BAK;");
}

TEST(SafeFile, FollowsSymbolicLinks)
{
    TTempFolder Dir;
    ASSERT_EQ(::mkdir((Dir / "real").c_str(), 0755), 0);
    PutFile(Dir / "real/file.txt", "old");
    // A relative link, resolved from the link's own folder.
    ASSERT_EQ(::symlink("real/file.txt", (Dir / "link.txt").c_str()), 0);
    AtomicWriteFile(Dir / "link.txt", "new");
    struct stat St;
    ASSERT_EQ(::lstat((Dir / "link.txt").c_str(), &St), 0);
    EXPECT_TRUE(S_ISLNK(St.st_mode));
    EXPECT_EQ(GetFile(Dir / "real/file.txt"), "new");
    EXPECT_EQ(ReadFileBytes(Dir / "link.txt"), "new");
    EXPECT_EQ(ResolveFileLink(Dir / "link.txt"), Dir / "real/file.txt");

    ASSERT_EQ(::symlink("loop", (Dir / "loop").c_str()), 0);
    EXPECT_THROW(AtomicWriteFile(Dir / "loop", "x"), EFileError);
}

TEST(SafeFile, RefusesWhatIsNotARegularFile)
{
    TTempFolder Dir;
    ASSERT_EQ(::mkdir((Dir / "folder").c_str(), 0755), 0);
    ASSERT_EQ(::mkfifo((Dir / "fifo").c_str(), 0644), 0);
    for (const char* Name : {"folder", "fifo"}) {
        const std::string Path = Dir / Name;
        try {
            ReadFileBytes(Path);
            ADD_FAILURE() << Name << " was read";
        } catch (const EFileError& E) {
            EXPECT_NE(std::string(E.what()).find(Path), std::string::npos) << E.what();
            EXPECT_NE(std::string(E.what()).find("not a regular file"), std::string::npos) << E.what();
        }
        EXPECT_THROW(AtomicWriteFile(Path, "x"), EFileError) << Name;
    }
    EXPECT_EQ(Dir.Listing(), "fifo;folder;");
    try {
        ReadFileBytes(Dir / "missing");
        ADD_FAILURE();
    } catch (const EFileError& E) {
        EXPECT_NE(std::string(E.what()).find("No such file"), std::string::npos) << E.what();
    }
}

TEST(SafeFile, ReadsLargeFilesWhole)
{
    TTempFolder Dir;
    std::string Bytes;
    for (int I = 0; I < 300000; ++I)
        Bytes.push_back(static_cast<char>(I * 7));
    PutFile(Dir / "big", Bytes);
    EXPECT_EQ(ReadFileBytes(Dir / "big"), Bytes);
}

TEST(SafeFile, AFileLargerThanTheRoomLeftIsRefusedBeforeItIsRead)
{
    // Under a control group's limit, reading it would end the program: 64 MB with
    // 16 MB of room left is refused by name and with the bound it met.
    TTempFolder Dir;
    PutFile(Dir / "big", "");
    ASSERT_EQ(::truncate((Dir / "big").c_str(), 64 << 20), 0);
    const std::string Path = Dir / "big";
    EXPECT_EQ(test::InChild([&Path] {
                  SetMemoryLimitsForTest(TMemoryLimits{0, 0, 0, 2 * (MemoryUse().Resident + (16 << 20))});
                  try {
                      return "read " + std::to_string(ReadFileBlock(Path).Size) + " bytes";
                  } catch (const EFileError& E) {
                      const std::string Said = E.what();
                      return Said.find(Path) != std::string::npos &&
                                     Said.find("bounded by the memory limit of its control group") != std::string::npos
                                 ? std::string()
                                 : Said;
                  }
              }),
              "");
}

// A file of many megabytes goes out in windows: pieces that straddle a window's
// end, one larger than a window and runs of more pieces than one call takes must
// all arrive in order, and the file must end where the text ends.
TEST(SafeFile, WritesLargePiecedFilesExactly)
{
    TTempFolder Dir;
    std::vector<std::string> Store;
    std::uint32_t R = 7;
    auto Piece = [&](std::size_t N) {
        std::string S(N, '\0');
        for (char& C : S)
            C = static_cast<char>((R = R * 1103515245u + 12345u) >> 24);
        Store.push_back(std::move(S));
    };
    Piece(3 << 20);
    for (int I = 0; I < 1000; ++I)
        Piece(static_cast<std::size_t>(1 + I % 37));
    Piece((17 << 20) + 13);
    Piece((5 << 20) + 1);
    for (int I = 0; I < 600; ++I)
        Piece(static_cast<std::size_t>(4096 + I));
    Piece(0);
    Piece((2 << 20) + 5);
    std::vector<std::string_view> Pieces(Store.begin(), Store.end());
    std::string Whole;
    for (const std::string& S : Store)
        Whole += S;

    const std::string Target = Dir / "big.txt";
    RenameIntoPlace(WriteTempFile(Target, Pieces), Target);
    EXPECT_TRUE(GetFile(Target) == Whole) << "the written file differs from its pieces";
    EXPECT_EQ(Dir.Listing(), "big.txt;");
}

}  // namespace
}  // namespace narvo
