// Waiting for another program's lock on a shared folder: the observer hears of the
// wait while it lasts and of its end, a writer that gave up says which file it wrote
// without the lock, a holder already given up on is not waited for again, and the
// holder is named as the system names it.
#include "platform/posix/FolderLock.h"
#include "platform/posix/IniFile.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace narvo {
namespace {

using test::TTempFolder;

struct TRecorder : TFolderLockObserver {
    std::vector<TFolderLockWait> Waits;
    std::vector<bool> Ended;  // taken?
    std::vector<std::string> Written;
    std::string Holder;
    void Waiting(const TFolderLockWait& W) override
    {
        Waits.push_back(W);
        Holder = W.Holder;
    }
    void WaitEnded(const TFolderLockWait&, bool Taken) override { Ended.push_back(Taken); }
    void WrittenWithoutLock(const std::string& File, const TFolderLockWait& W) override
    {
        Written.push_back(File);
        Holder = W.Holder;
    }
};

// The lock as another program holds it: an open file description of its own.
class THolder {
public:
    explicit THolder(const std::string& Folder) : Fd(::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        EXPECT_EQ(::flock(Fd, LOCK_EX | LOCK_NB), 0);
    }
    ~THolder() { Release(); }
    void Release()
    {
        if (Fd >= 0)
            ::close(Fd);
        Fd = -1;
    }

private:
    int Fd;
};

class FolderLockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Previous = SetFolderLockObserver(&Seen);
        TFolderLock::Patience = std::chrono::milliseconds(500);
    }
    void TearDown() override
    {
        SetFolderLockObserver(Previous);
        TFolderLock::Patience = std::chrono::milliseconds(10000);
    }
    static std::int64_t MsSince(std::chrono::steady_clock::time_point T)
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - T).count();
    }
    TRecorder Seen;
    TFolderLockObserver* Previous = nullptr;
    TTempFolder Dir;
};

TEST_F(FolderLockTest, AWaitIsToldAndAWriteWithoutTheLockIsSaid)
{
    const std::string Ini = Dir / "Narvo.ini", Other = Dir / "NrvDictionary.ini";
    THolder Holder(Dir.Path());
    const std::string Me = "process " + std::to_string(::getpid());
    EXPECT_EQ(FolderLockHolder(Dir.Path()).rfind(Me, 0), 0u) << FolderLockHolder(Dir.Path());
    const auto Start = std::chrono::steady_clock::now();
    {
        TIniFile F(Ini);
        F.WriteString("Flags", "WrapFlag", "1");
        F.UpdateFile();
    }
    EXPECT_GE(MsSince(Start), 450);
    ASSERT_FALSE(Seen.Waits.empty()) << "the wait is told while it lasts";
    EXPECT_GE(Seen.Waits.front().WaitedMs, TFolderLock::Unsaid.count());
    EXPECT_EQ(Seen.Waits.front().Folder, Dir.Path());
    EXPECT_EQ(Seen.Ended, std::vector<bool>{false});
    EXPECT_EQ(Seen.Written, std::vector<std::string>{Ini});
    EXPECT_EQ(Seen.Holder.rfind(Me, 0), 0u) << Seen.Holder;
    EXPECT_EQ(TIniFile(Ini).ReadString("Flags", "WrapFlag", ""), "1") << "written all the same";

    // The second file of the same save: the holder given up on is not waited for again.
    const auto Again = std::chrono::steady_clock::now();
    {
        TIniFile F(Other);
        F.WriteString("Options", "SplitWords", "1");
        F.UpdateFile();
    }
    EXPECT_LT(MsSince(Again), 400);
    EXPECT_EQ(Seen.Written, (std::vector<std::string>{Ini, Other}));

    // Once the holder lets go the lock is taken again, and nothing is said.
    Holder.Release();
    Seen = {};
    {
        TIniFile F(Ini);
        F.WriteString("Flags", "WrapFlag", "0");
        F.UpdateFile();
    }
    EXPECT_TRUE(Seen.Waits.empty());
    EXPECT_TRUE(Seen.Written.empty());
}

TEST_F(FolderLockTest, ALockLetGoDuringTheWaitIsTakenAndNothingIsWrittenWithoutIt)
{
    TFolderLock::Patience = std::chrono::milliseconds(5000);
    auto* Holder = new THolder(Dir.Path());
    struct TLetGo : TRecorder {
        THolder** H = nullptr;
        void Waiting(const TFolderLockWait& W) override
        {
            TRecorder::Waiting(W);
            if (W.WaitedMs >= 300 && *H) {
                delete *H;
                *H = nullptr;
            }
        }
    } LetGo;
    LetGo.H = &Holder;
    SetFolderLockObserver(&LetGo);
    const auto Start = std::chrono::steady_clock::now();
    {
        const TFolderLock Lock(Dir.Path());
        EXPECT_TRUE(Lock.Held());
        EXPECT_FALSE(Lock.GaveUp());
        Lock.Written(Dir / "Narvo.ini");
    }
    EXPECT_LT(MsSince(Start), 2000);
    EXPECT_FALSE(LetGo.Waits.empty());
    EXPECT_EQ(LetGo.Ended, std::vector<bool>{true});
    EXPECT_TRUE(LetGo.Written.empty());
    delete Holder;
}

}  // namespace
}  // namespace narvo
