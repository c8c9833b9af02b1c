// Atomic replacement and whole-file reads: a failure at any step leaves the target
// byte for byte and no temporary file; mode bits and symbolic links are kept.
#include "platform/posix/SafeFile.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace narvo {
namespace {

using test::GetFile;
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

}  // namespace
}  // namespace narvo
