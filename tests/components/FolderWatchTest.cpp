// The folder change notifier: which changes reach OnChange, and that a watching
// notifier stops at once when it is destroyed.
#include "components/FolderWatch.h"

#include "components/FolderTestHelpers.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace narvo {
namespace {

using testing::Pump;
using testing::Watched;
using testing::WaitFor;
using testing::WriteFile;

std::string Dir(const QTemporaryDir& T) { return T.path().toStdString(); }

TEST(FolderWatchTest, NoThreadWithoutMethodAndFlagsCombine)
{
    TFolderChangeNotifier N;
    EXPECT_FALSE(N.Watching());
    EXPECT_EQ(N.NotifyFilters(), TNotifyFilters(nfFileNameChange | nfDirNameChange));
    EXPECT_TRUE(N.WatchSubTree());
    EXPECT_EQ(FiltersToFlags(nfFileNameChange | nfSecurityChange | nfWriteChange), 0x111u);
}

struct TWatchCase {
    const char* Name;
    bool SubTree;
    TNotifyFilters Filters;
    std::function<void(const std::string&)> Act;
    bool Reported;
};

TEST(FolderWatchTest, ReportsTheChangesItsFiltersAskFor)
{
    const TNotifyFilters Names = nfFileNameChange | nfDirNameChange;
    const std::vector<TWatchCase> Cases = {
        {"file created", false, Names, [](const std::string& D) { WriteFile(D + "/new.txt", 1); }, true},
        {"file renamed", false, Names,
         [](const std::string& D) { std::rename((D + "/old.txt").c_str(), (D + "/renamed.txt").c_str()); }, true},
        {"contents only", false, Names, [](const std::string& D) { WriteFile(D + "/old.txt", 50); }, false},
        {"contents with write filter", false, nfWriteChange,
         [](const std::string& D) { WriteFile(D + "/old.txt", 50); }, true},
        {"sub-folder file, no sub-tree", false, Names, [](const std::string& D) { WriteFile(D + "/sub/f", 1); },
         false},
        {"sub-folder file, sub-tree", true, Names, [](const std::string& D) { WriteFile(D + "/sub/f", 1); }, true},
    };
    for (const TWatchCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        QTemporaryDir T;
        QDir(T.path()).mkdir("sub");
        WriteFile(Dir(T) + "/old.txt", 5);
        int Calls = 0;
        TFolderChangeNotifier N;
        N.SetRoot(Dir(T));
        N.SetWatchSubTree(C.SubTree);
        N.SetNotifyFilters(C.Filters);
        N.SetOnChange([&] { ++Calls; });
        ASSERT_TRUE(N.Watching());
        ASSERT_TRUE(WaitFor([&] { return Watched(Dir(T)) && (!C.SubTree || Watched(Dir(T) + "/sub")); }));
        C.Act(Dir(T));
        if (C.Reported)
            EXPECT_TRUE(WaitFor([&] { return Calls > 0; }));
        else {
            Pump(300);
            EXPECT_EQ(Calls, 0);
        }
    }
}

TEST(FolderWatchTest, NewRootTakesEffectOnARunningThread)
{
    QTemporaryDir A, B;
    int Calls = 0;
    TFolderChangeNotifier N;
    N.SetRoot(Dir(A));
    N.SetOnChange([&] { ++Calls; });
    ASSERT_TRUE(WaitFor([&] { return Watched(Dir(A)); }));
    N.SetRoot(Dir(B));
    ASSERT_TRUE(WaitFor([&] { return Watched(Dir(B)) && !testing::InotifyWatches(Dir(A)); }));
    WriteFile(Dir(A) + "/ignored", 1);
    Pump(300);
    EXPECT_EQ(Calls, 0);
    WriteFile(Dir(B) + "/seen", 1);
    EXPECT_TRUE(WaitFor([&] { return Calls > 0; }));
}

TEST(FolderWatchTest, DestroyingStopsAtOnceAndDropsPendingCalls)
{
    QTemporaryDir T;
    int Calls = 0;
    auto N = std::make_unique<TFolderChangeNotifier>();
    N->SetRoot(Dir(T));
    N->SetOnChange([&] { ++Calls; });
    ASSERT_TRUE(WaitFor([&] { return Watched(Dir(T)); }));
    WriteFile(Dir(T) + "/a", 1);
    QThread::msleep(100);  // the worker has posted its call, not yet served
    QElapsedTimer Timer;
    Timer.start();
    N.reset();
    // Without the wake-up the worker would wait for the next change in the folder,
    // which never comes; a busy machine may take a while to switch threads.
    EXPECT_LT(Timer.elapsed(), 10000);
    Pump(100);
    EXPECT_EQ(Calls, 0);
}

TEST(FolderWatchTest, AnUnwatchableFolderEndsTheThreadSilently)
{
    TFolderChangeNotifier N;
    N.SetRoot("/nonexistent/folder/of/narvo");
    N.SetOnChange([] {});
    EXPECT_TRUE(WaitFor([&] { return N.ThreadEnded(); }));
}

}  // namespace
}  // namespace narvo
