// New files that never replace one: a name already taken, also in the very moment
// of the write by another process, gives the next numbered name; the file is whole
// or absent, and private whatever had the name before.
#include "platform/posix/SafeFile.h"
#include "support/ProcessesTogether.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <cerrno>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace narvo {
namespace {

using test::GetFile;
using test::PutFile;
using test::TTempFolder;

mode_t ModeOf(const std::string& Path)
{
    struct stat St {};
    EXPECT_EQ(::stat(Path.c_str(), &St), 0) << Path;
    return St.st_mode & 07777;
}

TEST(NewFile, NumberedNames)
{
    EXPECT_EQ(NumberedFileName("/d/NRV2024_3_7_9_5_12.txt", 1), "/d/NRV2024_3_7_9_5_12.txt");
    EXPECT_EQ(NumberedFileName("/d/NRV2024_3_7_9_5_12.txt", 2), "/d/NRV2024_3_7_9_5_12-2.txt");
    EXPECT_EQ(NumberedFileName("/d/nrvsave.zvt", 13), "/d/nrvsave-13.zvt");
    EXPECT_EQ(NumberedFileName("/d.x/Makefile", 2), "/d.x/Makefile-2");
    EXPECT_EQ(NumberedFileName("/d/.hidden", 3), "/d/.hidden-3");
    EXPECT_EQ(NumberedFileName("plain", 2), "plain-2");
}

TEST(NewFile, ATakenNameIsNeverReplacedAndTheNewFileIsPrivate)
{
    TTempFolder Dir;
    const std::string Target = Dir / "NRV1.txt";
    PutFile(Target, "older");
    ASSERT_EQ(::chmod(Target.c_str(), 0644), 0);
    const mode_t Old = ::umask(022);
    const std::string First = WriteNewFile(Target, "one");
    const std::string Second = WriteNewFile(Target, "two");
    ::umask(Old);
    EXPECT_EQ(First, Dir / "NRV1-2.txt");
    EXPECT_EQ(Second, Dir / "NRV1-3.txt");
    EXPECT_EQ(GetFile(Target), "older");
    EXPECT_EQ(GetFile(First), "one");
    EXPECT_EQ(GetFile(Second), "two");
    EXPECT_EQ(ModeOf(First), 0600u) << "not the mode of the file that had the name";
    EXPECT_EQ(Dir.Listing(), "NRV1-2.txt;NRV1-3.txt;NRV1.txt;");
}

TEST(NewFile, ANameTakenAtTheMomentOfTheWriteGoesToTheNextNumber)
{
    TTempFolder Dir;
    const std::string Target = Dir / "x.txt";
    for (const bool Unnamed : {true, false}) {
        SCOPED_TRACE(Unnamed);
        ::unlink(Target.c_str());
        ::unlink((Dir / "x-2.txt").c_str());
        const TFileFaultHook Old = SetFileFaultHook([&](TFileStep Step, const std::string& P) {
            if (Step == TFileStep::Unnamed && !Unnamed)
                return EOPNOTSUPP;
            if (Step == TFileStep::Rename && P == Target)
                PutFile(Target, "the other writer's");
            return 0;
        });
        EXPECT_EQ(WriteNewFile(Target, "mine"), Dir / "x-2.txt");
        SetFileFaultHook(Old);
        EXPECT_EQ(GetFile(Target), "the other writer's");
        EXPECT_EQ(GetFile(Dir / "x-2.txt"), "mine");
        EXPECT_EQ(Dir.Listing(), "x-2.txt;x.txt;") << "no temporary file left";
    }
}

TEST(NewFile, AFailureLeavesNoFileAndSaysWhy)
{
    TTempFolder Dir;
    const std::string Target = Dir / "d.txt";
    for (const TFileStep Step : {TFileStep::CreateTemp, TFileStep::Write, TFileStep::Sync, TFileStep::Rename}) {
        const TFileFaultHook Old = SetFileFaultHook([=](TFileStep S, const std::string&) { return S == Step ? ENOSPC : 0; });
        try {
            WriteNewFile(Target, "text");
            ADD_FAILURE() << "no error at step " << static_cast<int>(Step);
        } catch (const EFileError& E) {
            EXPECT_NE(std::string(E.what()).find("\"" + Target + "\": No space left on device"), std::string::npos)
                << E.what();
        }
        SetFileFaultHook(Old);
        EXPECT_EQ(Dir.Listing(), "");
    }
}

// Writers in several processes at once, all with one name: one file each.
TEST(NewFile, WritersInSeveralProcessesEachKeepTheirOwnFile)
{
    TTempFolder Dir;
    const std::string Target = Dir / "NRV.txt";
    constexpr int Writers = 6;
    EXPECT_TRUE(test::RunInProcessesTogether(Writers, [&](int I, const std::function<void()>& AllReady) {
        AllReady();
        WriteNewFile(Target, "writer " + std::to_string(I));
        return true;
    }));
    std::set<std::string> Texts;
    for (int N = 1; N <= Writers; ++N)
        Texts.insert(GetFile(NumberedFileName(Target, N)));
    EXPECT_EQ(Texts.size(), static_cast<std::size_t>(Writers));
    EXPECT_EQ(Texts.count("writer 0") + Texts.count("writer 5"), 2u);
}

}  // namespace
}  // namespace narvo
