// Documents in temporary folders: saving with ".BAK", failures injected at each
// step of the file layer, the emergency file, Save As, symbolic links, opening,
// appending and the A, O, Q and T commands with their messages.
#include "AppWindowFixture.h"

#include "app/AutoSave.h"
#include "components/AutoButton.h"
#include "components/RecentFiles.h"
#include "support/TempFolder.h"

#include <QLabel>

#include <atomic>
#include <cerrno>
#include <string>
#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace narvo {
namespace {

using Documents = AppWindowFixture;

TEST(DocumentNames, BackupAndEmergencyNames)
{
    const struct {
        const char* Name;
        const char* Backup;
    } Rows[] = {
        {"/d/b.txt", "/d/b.txt.BAK"},     {"/d/noext", "/d/noext.BAK"},     {"/d/.bashrc", "/d/.bashrc.BAK"},
        {"/d.x/file", "/d.x/file.BAK"},   {"/d/a.b.c", "/d/a.b.c.BAK"},     {"/d/x.BAK", "/d/x.BAK.BAK"},
        {"rel.txt", "rel.txt.BAK"},       {"/d/a.c", "/d/a.c.BAK"},         {"/d/a.h", "/d/a.h.BAK"},
    };
    for (const auto& R : Rows)
        EXPECT_EQ(BackupFileName(R.Name), R.Backup) << R.Name;
    EXPECT_EQ(EmergencyFileName("/d/b.txt"), "/d/nrvsave.zvt");
    EXPECT_EQ(EmergencyFileName("/b.txt"), "/nrvsave.zvt");
}

// A name too long to take ".BAK" keeps its start, then "~", a hash of the whole name
// and ".BAK", 255 bytes in all, never cutting a UTF-8 character.
TEST(DocumentNames, NamesTooLongForBak)
{
    const std::string N251(251, 'a'), N252(252, 'a');
    EXPECT_EQ(BackupFileName("/d/" + N251), "/d/" + N251 + ".BAK");
    EXPECT_EQ(BackupFileName("/d/" + N252), "/d/" + std::string(242, 'a') + "~E7066E51.BAK");
    EXPECT_EQ(BackupFileName(N252), std::string(242, 'a') + "~E7066E51.BAK");
    // Names that begin alike keep apart.
    const std::string Other = BackupFileName("/d/" + N251 + "b");
    EXPECT_EQ(Other.size(), 3u + 255u);
    EXPECT_NE(Other, BackupFileName("/d/" + N252));
    const std::string Accented = std::string(241, 'a') + "\xC3\xA9" + std::string(12, 'z');
    EXPECT_EQ(BackupFileName("/d/" + Accented).substr(3, 242), std::string(241, 'a') + "~");
}

TEST(DocumentNames, QuotedFileNames)
{
    const struct {
        const char* Line;
        std::int64_t Pos;
        bool Ok;
        const char* Name;
        std::int64_t End;
    } Rows[] = {
        {"A\"a b.txt\"X", 2, true, "a b.txt", 11},
        {"A", 2, true, "", 2},           // past the end: empty name
        {"Ax", 2, true, "", 2},          // no quote
        {"O\"open", 2, false, "open", 7},  // unterminated
        {"A\"\"", 2, true, "", 4},
    };
    for (const auto& R : Rows) {
        std::int64_t Pos = R.Pos;
        std::string Name;
        EXPECT_EQ(ParseQuotedFileName(R.Line, Pos, Name), R.Ok) << R.Line;
        EXPECT_EQ(Name, R.Name) << R.Line;
        EXPECT_EQ(Pos, R.End) << R.Line;
    }
    std::int64_t Pos = 2;
    std::string Name;
    EXPECT_FALSE(ParseQuotedFileName("A\"" + std::string(255, 'n') + "\"", Pos, Name));
    Pos = 2;
    EXPECT_TRUE(ParseQuotedFileName("A\"" + std::string(254, 'n') + "\"", Pos, Name));
}

TEST_F(Documents, SaveKeepsThePreviousTextAsBak)
{
    EXPECT_TRUE(CloseTextFile());  // nothing to ask about
    Write("b.txt", "old\n");
    ASSERT_TRUE(OpenTextFile(Path("b.txt")));
    Main().GotoTop();
    Main().InsertText("new ");
    ASSERT_TRUE(SaveIfModified());
    EXPECT_EQ(Read("b.txt"), "new old\n");
    EXPECT_EQ(Read("b.txt.BAK"), "old\n");
    EXPECT_FALSE(Main().Modified);
    EXPECT_EQ(Form->windowTitle(), "Narvo - b.txt");
    Main().InsertText("2 ");
    ASSERT_TRUE(SaveIfModified());
    EXPECT_EQ(Read("b.txt.BAK"), "new old\n");  // a second save replaces the backup
    EXPECT_EQ(Read("b.txt"), "new 2 old\n");
    EXPECT_EQ(ReopenMenu().Paths().front(), Path("b.txt"));
    EXPECT_TRUE(Boxes.Asked.empty());
}

TEST_F(Documents, TheRecentListOfAFreshStartGoesToNarvoIni)
{
    ASSERT_FALSE(Exists("Narvo.ini"));
    Write("r.txt", "r\n");
    ASSERT_TRUE(OpenTextFile(Path("r.txt")));
    EXPECT_TRUE(Exists("Narvo.ini"));
    EXPECT_FALSE(Exists("narvo.ini")) << "the settings file has one name";
    EXPECT_NE(Read("Narvo.ini").find("[FileHistory]"), std::string::npos);
}

TEST_F(Documents, BackupRulesForNewFilesDotfilesAndBakFiles)
{
    Main().InsertText("n");
    ASSERT_TRUE(SaveTextFile(Path("new.txt"), false));
    EXPECT_FALSE(Exists("new.txt.BAK"));
    Write(".bashrc", "rc\n");
    ASSERT_TRUE(SaveTextFile(Path(".bashrc"), false));
    EXPECT_EQ(Read(".bashrc.BAK"), "rc\n");
    Write("x.BAK", "bak\n");
    ASSERT_TRUE(SaveTextFile(Path("x.BAK"), false));
    EXPECT_EQ(Read("x.BAK"), "n");
    EXPECT_EQ(Read("x.BAK.BAK"), "bak\n");
    // The mode bits stay.
    chmod(Path(".bashrc").c_str(), 0750);
    ASSERT_TRUE(SaveTextFile(Path(".bashrc"), false));
    struct stat St {};
    ASSERT_EQ(stat(Path(".bashrc").c_str(), &St), 0);
    EXPECT_EQ(St.st_mode & 07777, 0750u);
}

TEST_F(Documents, FilesDifferingInTheirExtensionKeepTheirOwnBackups)
{
    Write("a.c", "c source\n");
    Write("a.h", "header\n");
    ASSERT_TRUE(OpenTextFile(Path("a.c")));
    Main().InsertText("1 ");
    ASSERT_TRUE(SaveIfModified());
    ASSERT_TRUE(OpenTextFile(Path("a.h")));
    Main().InsertText("2 ");
    ASSERT_TRUE(SaveIfModified());
    // The auto-save's turn-over of a.h goes to the same backup name as File > Save.
    Main().InsertText("3 ");
    ASSERT_TRUE(AutoSaveTimerTimer());
    EXPECT_EQ(Read("a.c.BAK"), "c source\n");
    EXPECT_EQ(Read("a.h.BAK"), "2 header\n");
    EXPECT_EQ(Read("a.h"), "2 3 header\n");
    EXPECT_FALSE(Exists("a.BAK"));
}

TEST_F(Documents, AFailedWriteLeavesFileAndBackupByteForByte)
{
    const struct {
        TFileStep Step;
        int Errno;
        bool KeepsOldBackup;
    } Rows[] = {
        {TFileStep::CreateTemp, EACCES, true},  // unwritable folder
        {TFileStep::Write, ENOSPC, true},       // full disk
        {TFileStep::Sync, EIO, true},
        {TFileStep::Close, EDQUOT, true},
        {TFileStep::Rename, EBUSY, true},       // the older backup gives way only after the new file
    };
    for (const auto& R : Rows) {
        Write("f.txt", "on disk\r\n");
        Write("f.txt.BAK", "older\n");
        ASSERT_TRUE(OpenTextFile(Path("f.txt")));
        Main().InsertText("changed ");
        const std::string Target = Path("f.txt");
        SetFileFaultHook([&](TFileStep Step, const std::string& P) { return Step == R.Step && P == Target ? R.Errno : 0; });
        Boxes.Asked.clear();
        EXPECT_FALSE(SaveIfModified()) << int(R.Step);
        SetFileFaultHook({});
        EXPECT_EQ(Read("f.txt"), "on disk\r\n") << int(R.Step);
        if (R.KeepsOldBackup) {
            EXPECT_EQ(Read("f.txt.BAK"), "older\n") << int(R.Step);
        }
        EXPECT_TRUE(Main().Modified);
        EXPECT_EQ(LastAsked().rfind("Cannot save \"" + Target + "\"", 0), 0u) << LastAsked();
        EXPECT_FALSE(Exists("nrvsave.zvt"));
        Main().SetModified(false);
    }
}

TEST_F(Documents, AFailingBackupRenameGivesTheEmergencyFile)
{
    Write("b.txt", "held\n");
    ASSERT_TRUE(OpenTextFile(Path("b.txt")));
    Main().GotoBottom();
    Main().InsertText("more");
    const std::string Backup = Path("b.txt.BAK");
    std::vector<std::string> Order;
    SetFileFaultHook([&](TFileStep Step, const std::string& P) {
        Order.push_back(P);
        return Step == TFileStep::Rename && P == Backup ? EBUSY : 0;
    });
    EXPECT_FALSE(SaveIfModified());
    SetFileFaultHook({});
    EXPECT_EQ(Read("b.txt"), "held\n");
    EXPECT_EQ(Read("nrvsave.zvt"), "held\nmore");
    EXPECT_FALSE(Exists("b.txt.BAK"));
    ASSERT_EQ(Boxes.Asked.size(), 1u);
    EXPECT_EQ(LastAsked(), "File is open by another program.\r\nResults saved to: nrvsave.zvt");
    EXPECT_TRUE(Main().Modified);
    EXPECT_EQ(CurrentFileName, Path("b.txt"));
    EXPECT_EQ(Form->windowTitle(), "Narvo - b.txt");
}

// Every name but the settings file, hidden ones too, sorted: what a save left.
std::vector<std::string> NamesIn(const std::string& Folder)
{
    std::vector<std::string> Names;
    if (DIR* D = opendir(Folder.c_str())) {
        while (const dirent* E = readdir(D)) {
            const std::string N = E->d_name;
            if (N != "." && N != ".." && N != "Narvo.ini")
                Names.push_back(N);
        }
        closedir(D);
    }
    std::sort(Names.begin(), Names.end());
    return Names;
}

std::string BaseOf(const std::string& Path) { return Path.substr(Path.rfind('/') + 1); }

// Names of 240 to 255 bytes are saved like any other, with temporary files that have
// a name or none, and keep their backup: under ".BAK" where it fits, else under the
// shortened backup name.
TEST_F(Documents, LongNamesAreSavedWithTheirBackups)
{
    for (const bool RefuseUnnamed : {false, true}) {
        SetFileFaultHook(
            [=](TFileStep Step, const std::string&) { return Step == TFileStep::Unnamed && RefuseUnnamed ? EOPNOTSUPP : 0; });
        for (const std::size_t Length : {240u, 253u, 255u}) {
            const std::string Name = std::string(Length - 4, 'l') + ".txt";
            const std::string Backup = BaseOf(BackupFileName(Path(Name)));
            EXPECT_EQ(Backup.size(), std::min<std::size_t>(Length + 4, 255));
            Write(Name, "old\n");
            ASSERT_TRUE(OpenTextFile(Path(Name)));
            Boxes.Asked.clear();
            Main().InsertText("new ");
            EXPECT_TRUE(SaveIfModified()) << Length;
            Main().InsertText("2 ");
            EXPECT_TRUE(SaveIfModified()) << Length;
            EXPECT_TRUE(Boxes.Asked.empty()) << Length << ": " << LastAsked();
            EXPECT_EQ(Read(Name), "new 2 old\n");
            EXPECT_EQ(Read(Backup), "new old\n");
            std::vector<std::string> Expected = {Name, Backup};
            std::sort(Expected.begin(), Expected.end());
            EXPECT_EQ(NamesIn(Folder), Expected) << Length;
            ASSERT_TRUE(CloseTextFile());
            unlink(Path(Name).c_str());
            unlink(Path(Backup).c_str());
        }
        SetFileFaultHook({});
    }
}

// A save that fails when the new text is written or put in place leaves the file
// and the older backup as they were, with nothing else beside them, whatever the
// name's length, and says the system's reason.
TEST_F(Documents, AFailedSaveKeepsTheOlderBackup)
{
    for (const std::size_t Length : {8u, 240u}) {
        for (const TFileStep Failing : {TFileStep::Sync, TFileStep::Rename}) {
            const std::string Name = std::string(Length - 4, 'f') + ".txt";
            const std::string Backup = BaseOf(BackupFileName(Path(Name)));
            Write(Name, "on disk\n");
            Write(Backup, "older\n");
            ASSERT_TRUE(OpenTextFile(Path(Name)));
            Main().InsertText("changed ");
            const std::string Target = Path(Name);
            SetFileFaultHook([&](TFileStep Step, const std::string& P) { return Step == Failing && P == Target ? EIO : 0; });
            EXPECT_FALSE(SaveIfModified());
            SetFileFaultHook({});
            EXPECT_EQ(Read(Name), "on disk\n");
            EXPECT_EQ(Read(Backup), "older\n") << Length << " " << int(Failing);
            EXPECT_EQ(NamesIn(Folder), (std::vector<std::string>{Name, Backup})) << Length << " " << int(Failing);
            EXPECT_NE(LastAsked().find("Input/output error"), std::string::npos) << LastAsked();
            EXPECT_TRUE(Main().Modified);
            Main().SetModified(false);
            unlink(Path(Name).c_str());
            unlink(Path(Backup).c_str());
        }
    }
}

// A ".BAK" that already is the file itself (a hard link: made by the user, or left by
// a save killed midway) is kept as the old version and nothing else stays behind,
// also when the save fails in the middle or a killed save left its hidden link.
TEST_F(Documents, ABackupLinkedToTheFileLeavesNothingBehind)
{
    Write("h.txt", "old\n");
    ASSERT_EQ(link(Path("h.txt").c_str(), Path("h.txt.BAK").c_str()), 0);
    ASSERT_TRUE(OpenTextFile(Path("h.txt")));
    Main().InsertText("new ");
    EXPECT_TRUE(SaveIfModified());
    EXPECT_EQ(Read("h.txt"), "new old\n");
    EXPECT_EQ(Read("h.txt.BAK"), "old\n");
    EXPECT_EQ(NamesIn(Folder), (std::vector<std::string>{"h.txt", "h.txt.BAK"}));

    unlink(Path("h.txt.BAK").c_str());
    ASSERT_EQ(link(Path("h.txt").c_str(), Path("h.txt.BAK").c_str()), 0);
    Main().InsertText("failed ");
    const std::string Target = Path("h.txt");
    SetFileFaultHook([&](TFileStep Step, const std::string& P) { return Step == TFileStep::Rename && P == Target ? EIO : 0; });
    EXPECT_FALSE(SaveIfModified());
    SetFileFaultHook({});
    EXPECT_EQ(Read("h.txt.BAK"), "new old\n");
    EXPECT_EQ(NamesIn(Folder), (std::vector<std::string>{"h.txt", "h.txt.BAK"}));

    // A hidden link of a save that was killed (its process no longer runs).
    const pid_t Gone = fork();
    if (Gone == 0)
        _exit(0);
    ASSERT_GT(Gone, 0);
    ASSERT_EQ(waitpid(Gone, nullptr, 0), Gone);
    const std::string Left = ".h.txt.BAK." + std::to_string(Gone) + "-1.tmp";
    ASSERT_EQ(link(Path("h.txt").c_str(), Path(Left).c_str()), 0);
    EXPECT_TRUE(SaveIfModified());
    EXPECT_EQ(Read("h.txt.BAK"), "new old\n");
    EXPECT_EQ(NamesIn(Folder), (std::vector<std::string>{"h.txt", "h.txt.BAK"}));
}

// When the old file cannot be kept as the backup, the text goes to the emergency
// file and the warning gives the system's reason: "open by another program" only
// when the file is busy. When only the older backup cannot give way at the end, the
// text is saved and the warning says the previous version was not kept.
TEST_F(Documents, BackupFailuresSayTheirCause)
{
    Write("e.txt", "held\n");
    ASSERT_TRUE(OpenTextFile(Path("e.txt")));
    Main().GotoBottom();
    Main().InsertText("more");
    const std::string Backup = Path("e.txt.BAK");
    // No links on this file system, and the copy finds the disk full.
    SetFileFaultHook([&](TFileStep Step, const std::string& P) {
        return P != Backup ? 0 : Step == TFileStep::Link ? EPERM : Step == TFileStep::Write ? ENOSPC : 0;
    });
    EXPECT_FALSE(SaveIfModified());
    SetFileFaultHook({});
    EXPECT_EQ(Read("e.txt"), "held\n");
    EXPECT_EQ(Read("nrvsave.zvt"), "held\nmore");
    EXPECT_EQ(LastAsked().find("open by another program"), std::string::npos) << LastAsked();
    EXPECT_NE(LastAsked().find("No space left on device"), std::string::npos) << LastAsked();
    EXPECT_NE(LastAsked().find(Backup), std::string::npos) << LastAsked();
    EXPECT_NE(LastAsked().find("\r\nResults saved to: nrvsave.zvt"), std::string::npos) << LastAsked();
    EXPECT_TRUE(Main().Modified);

    Write("e.txt.BAK", "older\n");
    int Renames = 0;
    SetFileFaultHook([&](TFileStep Step, const std::string& P) {
        return Step == TFileStep::Rename && P == Backup && ++Renames == 2 ? EIO : 0;
    });
    Boxes.Asked.clear();
    EXPECT_TRUE(SaveIfModified());
    SetFileFaultHook({});
    EXPECT_EQ(Read("e.txt"), "held\nmore");
    EXPECT_EQ(Read("e.txt.BAK"), "older\n");
    ASSERT_EQ(Boxes.Asked.size(), 1u);
    EXPECT_NE(LastAsked().find("previous version was not kept"), std::string::npos) << LastAsked();
    EXPECT_NE(LastAsked().find("Input/output error"), std::string::npos) << LastAsked();
    EXPECT_FALSE(Main().Modified);
    EXPECT_EQ(NamesIn(Folder), (std::vector<std::string>{"e.txt", "e.txt.BAK", "nrvsave.zvt"}));
}

// The emergency file of one document never replaces that of another document of the
// folder (or another window's): the second goes under a numbered name. A later
// emergency save of the same document replaces its own.
TEST_F(Documents, AnEmergencyFileNeverReplacesAnotherSavesText)
{
    Write("nrvsave.zvt", "another document's text");
    Write("b.txt", "held\n");
    ASSERT_TRUE(OpenTextFile(Path("b.txt")));
    Main().InsertText("one ");
    SetFileFaultHook([&](TFileStep Step, const std::string& P) {
        return Step == TFileStep::Rename && P == Path("b.txt.BAK") ? EBUSY : 0;
    });
    EXPECT_FALSE(SaveIfModified());
    EXPECT_EQ(Read("nrvsave.zvt"), "another document's text");
    EXPECT_EQ(Read("nrvsave-2.zvt"), "one held\n");
    EXPECT_EQ(LastAsked(), "File is open by another program.\r\nResults saved to: nrvsave-2.zvt");
    Main().InsertText("two ");
    EXPECT_FALSE(SaveIfModified());
    SetFileFaultHook({});
    EXPECT_EQ(Read("nrvsave-2.zvt"), "one two held\n");
    EXPECT_FALSE(Exists("nrvsave-3.zvt"));
    EXPECT_EQ(Read("nrvsave.zvt"), "another document's text");
}

// Window A's emergency file moved away and the name taken by window B's text: A's
// next save keeps B's text and goes under a new name.
TEST_F(Documents, AnEmergencyNameNoLongerHoldingItsFileIsTakenAsNew)
{
    Write("b.txt", "held\n");
    ASSERT_TRUE(OpenTextFile(Path("b.txt")));
    Main().InsertText("one ");
    SetFileFaultHook([&](TFileStep Step, const std::string& P) {
        return Step == TFileStep::Rename && P == Path("b.txt.BAK") ? EBUSY : 0;
    });
    EXPECT_FALSE(SaveIfModified());
    ASSERT_EQ(Read("nrvsave.zvt"), "one held\n");
    ASSERT_EQ(rename(Path("nrvsave.zvt").c_str(), Path("kept.zvt").c_str()), 0);
    Write("nrvsave.zvt", "window B's text");
    Main().InsertText("two ");
    EXPECT_FALSE(SaveIfModified());
    SetFileFaultHook({});
    EXPECT_EQ(Read("nrvsave.zvt"), "window B's text");
    EXPECT_EQ(Read("nrvsave-2.zvt"), "one two held\n");
    EXPECT_EQ(LastAsked(), "File is open by another program.\r\nResults saved to: nrvsave-2.zvt");
    EXPECT_EQ(Read("kept.zvt"), "one held\n");
}

TEST_F(Documents, SaveAsFailureAndCancelKeepTheOldName)
{
    Write("a.txt", "a\n");
    ASSERT_TRUE(OpenTextFile(Path("a.txt")));
    Main().InsertText("x");
    Dialogs.Answers = {std::nullopt, Path("b.txt"), Path("c.txt")};
    EXPECT_FALSE(SaveTextFileAs());
    SetFileFaultHook([](TFileStep Step, const std::string&) { return Step == TFileStep::Write ? ENOSPC : 0; });
    EXPECT_FALSE(SaveTextFileAs());
    SetFileFaultHook({});
    EXPECT_EQ(CurrentFileName, Path("a.txt"));
    EXPECT_FALSE(Exists("b.txt"));
    EXPECT_TRUE(Main().Modified);
    EXPECT_TRUE(SaveTextFileAs());
    EXPECT_EQ(CurrentFileName, Path("c.txt"));
    EXPECT_EQ(Read("c.txt"), "xa\n");
    EXPECT_EQ(Dialogs.Asked.front().Title, "Save Text As");
    EXPECT_TRUE(Dialogs.Asked.front().OverwritePrompt);
}

TEST_F(Documents, ASymbolicLinkKeepsPointingAtTheSavedFile)
{
    mkdir(Path("real").c_str(), 0700);
    Write("real/t.txt", "target\n");
    ASSERT_EQ(symlink("real/t.txt", Path("link.txt").c_str()), 0);
    ASSERT_TRUE(OpenTextFile(Path("link.txt")));
    Main().InsertText("+");
    ASSERT_TRUE(SaveIfModified());
    struct stat St {};
    ASSERT_EQ(lstat(Path("link.txt").c_str(), &St), 0);
    EXPECT_TRUE(S_ISLNK(St.st_mode));
    EXPECT_EQ(Read("real/t.txt"), "+target\n");
    EXPECT_EQ(Read("real/t.txt.BAK"), "target\n");
    EXPECT_EQ(CurrentFileName, Path("link.txt"));
}

TEST_F(Documents, OpenReadsFirstAndAsksBeforeClosing)
{
    Write("one.txt", "one\n");
    mkdir(Path("folder").c_str(), 0700);
    ASSERT_TRUE(OpenTextFile(Path("one.txt")));
    Main().InsertText("edit ");
    // A folder cannot be read: nothing is asked or closed.
    EXPECT_FALSE(OpenTextFile(Path("folder")));
    EXPECT_EQ(Main().GetText(), "edit one\n");
    EXPECT_EQ(Boxes.Asked.size(), 1u);
    EXPECT_FALSE(OpenTextFile(Path("missing.txt")));
    EXPECT_EQ(LastAsked(), "File Does Not Exist.");
    // Cancel at "Save Changes?" keeps the document.
    Write("two.txt", "two\n");
    Boxes.Answers = {mrCancel};
    EXPECT_FALSE(OpenTextFile(Path("two.txt")));
    EXPECT_EQ(LastAsked(), "Save Changes?");
    EXPECT_EQ(CurrentFileName, Path("one.txt"));
    EXPECT_TRUE(Main().Modified);
    Boxes.Answers = {mrNo};
    EXPECT_TRUE(OpenTextFile("two.txt"));  // relative to the current folder, stored in full
    EXPECT_EQ(CurrentFileName, Path("two.txt"));
    EXPECT_EQ(Main().GetText(), "two\n");
    EXPECT_FALSE(Main().Modified);
    EXPECT_EQ(Read("one.txt"), "one\n");
}

// The file named on the command line is read and cut into lines on a thread while
// the window starts. Opening that file takes the text read there (one read in all,
// line ends and their report as for any file); a file changed meanwhile is shown as
// it is now; a text read for another name is never shown.
TEST_F(Documents, TheFileNamedAtStartIsReadOnceWhileTheWindowStarts)
{
    std::atomic<int> Reads{0};
    SetFileFaultHook([&](TFileStep Step, const std::string&) {
        Reads += Step == TFileStep::Read;
        return 0;
    });
    ASSERT_EQ(chdir(Folder.c_str()), 0);
    auto Prefetch = [](std::vector<std::string> Args) {
        std::vector<char*> Argv{const_cast<char*>("narvo")};
        for (std::string& A : Args)
            Argv.push_back(A.data());
        PrefetchStartupFile(static_cast<int>(Argv.size()), Argv.data());
    };

    Write("s.txt", "one\ntwo\r\nthree\n");
    Prefetch({"/#", "2", "s.txt"});
    ASSERT_TRUE(OpenTextFile(Path("s.txt")));
    EXPECT_EQ(Reads, 1);
    EXPECT_EQ(Main().Strings->Count(), 4);
    EXPECT_EQ(Main().GetText(), "one\ntwo\nthree\n");
    EXPECT_EQ(StatusMessage(), "Mixed line ends");
    EXPECT_EQ(Form->windowTitle(), "Narvo - s.txt");

    // Changed by another program, before or after the start-up read.
    Write("c.txt", "old\n");
    Prefetch({"c.txt"});
    Write("c.txt", "newer text\n");
    ASSERT_TRUE(OpenTextFile(Path("c.txt")));
    EXPECT_EQ(Main().GetText(), "newer text\n");

    // Read for one name, another opened.
    Write("a.txt", "a\n");
    Write("b.txt", "b\n");
    Prefetch({"a.txt"});
    ASSERT_TRUE(OpenTextFile(Path("b.txt")));
    EXPECT_EQ(Main().GetText(), "b\n");
    EXPECT_EQ(CurrentFileName, Path("b.txt"));
    DropStartupFile();
}

TEST_F(Documents, ALossyUtf16TextAsksBeforeItIsSaved)
{
    Write("u.txt", std::string("\xFF\xFE" "a\0\x3A\x26", 6));  // 'a' and U+263A (no byte)
    ASSERT_TRUE(OpenTextFile(Path("u.txt")));
    Main().InsertText("b");
    Boxes.Answers = {mrNo};
    EXPECT_FALSE(SaveIfModified());
    EXPECT_NE(LastAsked().find("Save anyway?"), std::string::npos);
    EXPECT_EQ(Read("u.txt").size(), 6u);
    Boxes.Answers = {mrYes};
    EXPECT_TRUE(SaveIfModified());
    EXPECT_EQ(Read("u.txt"), std::string("\xFF\xFE" "b\0a\0?\0", 8));
}

TEST_F(Documents, MixedLineEndsAreKeptOrAskedAbout)
{
    // Stray LFs in a CR LF file stay characters: saved unchanged, nothing asked.
    Write("crlf.txt", "one\r\ntwo\nthree\r\n");
    ASSERT_TRUE(OpenTextFile(Path("crlf.txt")));
    Main().SetModified(true);
    EXPECT_TRUE(SaveIfModified());
    EXPECT_EQ(Read("crlf.txt"), "one\r\ntwo\nthree\r\n");
    EXPECT_TRUE(Boxes.Asked.empty());
    // A CR LF in an LF file cannot be kept: said on opening, asked before saving.
    Write("lf.txt", "one\ntwo\r\nthree\n");
    ASSERT_TRUE(OpenTextFile(Path("lf.txt")));
    EXPECT_EQ(StatusMessage(), "Mixed line ends");
    Main().SetModified(true);
    Boxes.Answers = {mrNo};
    EXPECT_FALSE(SaveIfModified());
    EXPECT_NE(LastAsked().find("Saving writes them as LF. Save anyway?"), std::string::npos) << LastAsked();
    EXPECT_EQ(Read("lf.txt"), "one\ntwo\r\nthree\n");
    Boxes.Answers = {mrYes};
    EXPECT_TRUE(SaveIfModified());
    EXPECT_EQ(Read("lf.txt"), "one\ntwo\nthree\n");
    const auto Asked = Boxes.Asked.size();
    Main().SetModified(true);
    EXPECT_TRUE(SaveIfModified());
    EXPECT_EQ(Boxes.Asked.size(), Asked);  // asked before the first save only
}

TEST_F(Documents, ReopeningTheModifiedDocumentShowsWhatWasSaved)
{
    Write("a.txt", "old\n");
    ASSERT_TRUE(OpenTextFile(Path("a.txt")));
    Main().GotoTop();
    Main().InsertText("edit ");
    Boxes.Answers = {mrYes};  // "Save Changes?"
    ASSERT_TRUE(OpenTextFile(Path("a.txt")));
    EXPECT_EQ(LastAsked(), "Save Changes?");
    EXPECT_EQ(Read("a.txt"), "edit old\n");
    EXPECT_EQ(Main().GetText(), "edit old\n");
    EXPECT_FALSE(Main().Modified);
    Main().GotoBottom();
    Main().InsertText("more");
    ASSERT_TRUE(SaveIfModified());
    EXPECT_EQ(Read("a.txt"), "edit old\nmore");
}

// Boxes that run an auto-save tick while a question is on the screen, as the timer
// would during the box's own event loop.
class TTickingBoxes : public TMessageBoxes {
public:
    TTickingBoxes() : FPrevious(SetMessageBoxes(this)) {}
    ~TTickingBoxes() override { SetMessageBoxes(FPrevious); }
    TModalResult MessageDlg(const std::string& Text, TMsgDlgType, TMsgDlgButtons) override
    {
        Asked.push_back(Text);
        Ticked.push_back(AutoSaveTimerTimer());
        return mrNo;
    }
    std::vector<std::string> Asked;
    std::vector<bool> Ticked;

private:
    TMessageBoxes* FPrevious;
};

TEST_F(Documents, NoAutoSaveWhileAQuestionAboutTheDocumentIsOpen)
{
    Write("q.txt", "keep\n");
    ASSERT_TRUE(OpenTextFile(Path("q.txt")));
    Main().InsertText("unwanted ");
    {
        TTickingBoxes Ticking;
        EXPECT_TRUE(CloseTextFile());  // "No": the edit is discarded
        ASSERT_EQ(Ticking.Asked, std::vector<std::string>{"Save Changes?"});
        EXPECT_FALSE(Ticking.Ticked.front());
    }
    EXPECT_EQ(Read("q.txt"), "keep\n");
    EXPECT_FALSE(Exists("q.txt.BAK"));
}

// A Save As dialog that runs an auto-save tick while it is open, then is cancelled.
class TTickingFileDialogs : public TFileDialogs {
public:
    TTickingFileDialogs() : FPrevious(SetFileDialogs(this)) {}
    ~TTickingFileDialogs() override { SetFileDialogs(FPrevious); }
    std::optional<std::string> OpenFileName(const TFileDialogOptions&) override { return std::nullopt; }
    std::optional<std::string> SaveFileName(const TFileDialogOptions&) override
    {
        Ticked.push_back(AutoSaveTimerTimer());
        return std::nullopt;
    }
    std::vector<std::string> OpenFileNames(const TFileDialogOptions&) override { return {}; }
    std::vector<bool> Ticked;

private:
    TFileDialogs* FPrevious;
};

TEST_F(Documents, NoDraftIsSavedWhileSaveAsAsksForTheName)
{
    Main().InsertText("untitled text");
    TTickingFileDialogs Ticking;
    EXPECT_FALSE(SaveTextFileAs());
    EXPECT_EQ(Ticking.Ticked, std::vector<bool>{false});
    EXPECT_TRUE(CurrentFileName.empty());
    EXPECT_FALSE(Exists("BackupFiles"));
    EXPECT_TRUE(Main().Modified);
}

TEST_F(Documents, AFileChangedByAnotherProgramIsNotOverwrittenUnasked)
{
    Write("c.txt", "mine\n");
    ASSERT_TRUE(OpenTextFile(Path("c.txt")));
    Main().InsertText("edit ");
    Write("c.txt", "theirs, longer\n");
    // An auto-save skips it and says so once.
    EXPECT_FALSE(AutoSaveTimerTimer());
    EXPECT_NE(StatusMessage().find("changed by another program"), std::string::npos) << StatusMessage();
    SetStatusMessage("", false);
    EXPECT_FALSE(AutoSaveTimerTimer());
    EXPECT_EQ(StatusMessage(), "");
    EXPECT_EQ(Read("c.txt"), "theirs, longer\n");
    EXPECT_TRUE(Boxes.Asked.empty());
    // A save asks; Cancel keeps their text, Yes writes ours.
    Boxes.Answers = {mrNo};
    EXPECT_FALSE(SaveIfModified());
    EXPECT_NE(LastAsked().find("was changed by another program"), std::string::npos) << LastAsked();
    EXPECT_EQ(Read("c.txt"), "theirs, longer\n");
    EXPECT_TRUE(Main().Modified);
    Boxes.Answers = {mrYes};
    EXPECT_TRUE(SaveIfModified());
    EXPECT_EQ(Read("c.txt"), "edit mine\n");
    EXPECT_EQ(Read("c.txt.BAK"), "theirs, longer\n");
    // Saved by us: the next save asks nothing.
    const auto Asked = Boxes.Asked.size();
    Main().InsertText("2 ");
    EXPECT_TRUE(SaveIfModified());
    EXPECT_EQ(Boxes.Asked.size(), Asked);
}

// The link the document was opened through, turned to another file meanwhile: that
// file's own text is replaced only when the user agrees, and never by an auto-save.
TEST_F(Documents, ALinkTurnedToAnotherFileIsNotOverwrittenUnasked)
{
    Write("v1.txt", "one\n");
    Write("v2.txt", "two\n");
    ASSERT_EQ(symlink("v1.txt", Path("cur.txt").c_str()), 0);
    ASSERT_TRUE(OpenTextFile(Path("cur.txt")));
    Main().InsertText("edit ");
    ASSERT_EQ(unlink(Path("cur.txt").c_str()), 0);
    ASSERT_EQ(symlink("v2.txt", Path("cur.txt").c_str()), 0);
    EXPECT_FALSE(AutoSaveTimerTimer());
    EXPECT_NE(StatusMessage().find("changed by another program"), std::string::npos) << StatusMessage();
    EXPECT_FALSE(AutoSaveTimerTimer());
    EXPECT_EQ(Read("v2.txt"), "two\n");
    EXPECT_FALSE(Exists("v2.txt.BAK"));
    Boxes.Answers = {mrNo};
    EXPECT_FALSE(SaveIfModified());
    EXPECT_NE(LastAsked().find("was changed by another program"), std::string::npos) << LastAsked();
    EXPECT_EQ(Read("v2.txt"), "two\n");
    EXPECT_EQ(Read("v1.txt"), "one\n");
    Boxes.Answers = {mrYes};
    EXPECT_TRUE(SaveIfModified());
    EXPECT_EQ(Read("v2.txt"), "edit one\n");
    EXPECT_EQ(Read("v2.txt.BAK"), "two\n");
    // Saved through the link as it is now: the next save asks nothing.
    const auto Asked = Boxes.Asked.size();
    Main().InsertText("2 ");
    EXPECT_TRUE(SaveIfModified());
    EXPECT_EQ(Boxes.Asked.size(), Asked);
}

TEST_F(Documents, AReadOnlyFileIsReplacedOnlyWhenTheUserAgrees)
{
    // The mode bits decide, so this holds for root as well.
    Write("r.txt", "locked\n");
    ASSERT_EQ(chmod(Path("r.txt").c_str(), 0444), 0);
    ASSERT_TRUE(OpenTextFile(Path("r.txt")));
    Main().InsertText("x");
    EXPECT_FALSE(AutoSaveTimerTimer());
    EXPECT_NE(StatusMessage().find("read-only"), std::string::npos) << StatusMessage();
    Boxes.Answers = {mrNo};
    EXPECT_FALSE(SaveIfModified());
    EXPECT_EQ(LastAsked(), "The file is read-only. Save anyway?");
    EXPECT_EQ(Read("r.txt"), "locked\n");
    Boxes.Answers = {};  // closing the box answers No
    EXPECT_FALSE(SaveIfModified());
    EXPECT_EQ(Read("r.txt"), "locked\n");
    Boxes.Answers = {mrYes};
    EXPECT_TRUE(SaveIfModified());
    EXPECT_EQ(Read("r.txt"), "xlocked\n");
    struct stat St {};
    ASSERT_EQ(stat(Path("r.txt").c_str(), &St), 0);
    EXPECT_EQ(St.st_mode & 0777, 0444u);
}

TEST_F(Documents, TheNameHoldsAWholeFileThroughoutASave)
{
    for (const bool LinksFail : {false, true}) {
        Write("w.txt", "first\n");
        Write("w.txt.BAK", "older\n");
        ASSERT_TRUE(OpenTextFile(Path("w.txt")));
        struct stat Old {};
        ASSERT_EQ(stat(Path("w.txt").c_str(), &Old), 0);
        Main().InsertText("second ");
        const std::string Target = Path("w.txt");
        bool Checked = false;
        SetFileFaultHook([&](TFileStep Step, const std::string& P) {
            if (Step == TFileStep::Link && LinksFail)
                return EPERM;
            if (Step == TFileStep::Rename && P == Target) {
                // Just before the new file is moved in: the name holds the old text,
                // and the older backup is still there until the new text is.
                EXPECT_EQ(Read("w.txt"), "first\n");
                EXPECT_EQ(Read("w.txt.BAK"), "older\n");
                Checked = true;
            }
            return 0;
        });
        EXPECT_TRUE(SaveIfModified());
        SetFileFaultHook({});
        EXPECT_TRUE(Checked);
        EXPECT_EQ(Read("w.txt"), "second first\n");
        EXPECT_EQ(Read("w.txt.BAK"), "first\n");
        struct stat Bak {};
        ASSERT_EQ(stat(Path("w.txt.BAK").c_str(), &Bak), 0);
        EXPECT_EQ(Bak.st_ino == Old.st_ino, !LinksFail) << "the .BAK is the old file itself unless links fail";
        EXPECT_FALSE(Exists("w.txt.BAK.nrv-link"));
    }
}

// A 0600 file is never readable by others during a save, by File > Save or by
// auto-save: not the temporary copy while it is written, not the ".BAK" made by
// copying where the old file cannot be linked.
TEST_F(Documents, APrivateFileStaysPrivateThroughoutASave)
{
    const mode_t OldMask = umask(022);
    Write("p.txt", "secret\n");
    ASSERT_EQ(chmod(Path("p.txt").c_str(), 0600), 0);
    ASSERT_TRUE(OpenTextFile(Path("p.txt")));
    for (const bool Automatic : {false, true}) {
        Write("p.txt.BAK", "an older backup\n");
        ASSERT_EQ(chmod(Path("p.txt.BAK").c_str(), 0644), 0);
        std::vector<unsigned> Seen;
        SetFileFaultHook([&](TFileStep Step, const std::string& P) {
            if (Step == TFileStep::Link)
                return EPERM;  // a file system without hard links: the backup is a copy
            if (Step == TFileStep::Write && P.rfind(Path("p.txt"), 0) == 0)
                for (const unsigned M : test::OpenFileModesUnder(Folder))
                    Seen.push_back(M);
            return 0;
        });
        Main().InsertText("more ");
        EXPECT_TRUE(Automatic ? AutoSaveTimerTimer() : SaveIfModified());
        SetFileFaultHook({});
        // The text's copy, then the backup's (beside the text's, when that is held open).
        EXPECT_GE(Seen.size(), 2u);
        EXPECT_EQ(std::count(Seen.begin(), Seen.end(), 0600u), std::ssize(Seen));
        struct stat St {};
        ASSERT_EQ(stat(Path("p.txt").c_str(), &St), 0);
        EXPECT_EQ(St.st_mode & 07777, 0600u);
        ASSERT_EQ(stat(Path("p.txt.BAK").c_str(), &St), 0);
        EXPECT_EQ(St.st_mode & 07777, 0600u);
    }
    EXPECT_EQ(Read("p.txt.BAK"), "more secret\n");
    umask(OldMask);
}

TEST_F(Documents, HugePathsAreShortenedInMessages)
{
    const std::string Huge = "/" + std::string(1 << 20, 'd') + "/file.txt";
    MessageDlg("Cannot open \"" + Huge + "\".\r\nNo such file", mtError, mbOK);
    ASSERT_EQ(Boxes.Asked.size(), 1u);
    const std::string Shown = Boxes.Asked[0].Text;
    EXPECT_LT(Shown.size(), 700u);
    EXPECT_NE(Shown.find("file.txt\""), std::string::npos);
    EXPECT_NE(Shown.find("\r\nNo such file"), std::string::npos);
}

TEST_F(Documents, ModAndSaveFollowTheTextOfTheActivePane)
{
    Write("s.txt", "split\n");
    ASSERT_TRUE(OpenTextFile(Path("s.txt")));
    Form->ActiveEditor = Form->Editor2;  // the second pane shows the same text
    Form->Editor2->InsertText("x");
    UpdateStatus();
    EXPECT_EQ(Form->ModifiedDis->text().toStdString(), "Mod");
    EXPECT_TRUE(Form->SaveBtn->isEnabled());
    ASSERT_TRUE(SaveIfModified());
    EXPECT_EQ(Read("s.txt"), "xsplit\n");
    // A text loaded into the third pane is not the document: "Mod" and the Save
    // button show its own flag while it is active, and Save writes its own file.
    Form->Editor3->SetText("other");
    Form->Editor3->FileName = Path("third.txt");
    ASSERT_TRUE(Form->Editor3->Modified);
    Form->ActiveEditor = Form->Editor3;
    UpdateStatus();
    EXPECT_EQ(Form->ModifiedDis->text().toStdString(), "Mod");
    EXPECT_TRUE(Form->SaveBtn->isEnabled());
    Form->SaveBtn->click();
    EXPECT_EQ(Read("third.txt"), "other");
    EXPECT_EQ(Read("s.txt"), "xsplit\n");
    EXPECT_FALSE(Form->Editor3->Modified);
    EXPECT_EQ(Form->ModifiedDis->text().toStdString(), "");
    EXPECT_FALSE(Form->SaveBtn->isEnabled());
    // The document's own flag does not light the button for the third pane.
    Main().InsertText("y");
    UpdateStatus();
    EXPECT_FALSE(Form->SaveBtn->isEnabled());
    Form->ActiveEditor = Form->MainEditor;
    UpdateStatus();
    EXPECT_TRUE(Form->SaveBtn->isEnabled());
}

TEST_F(Documents, NewGivesAFreshUnmodifiedText)
{
    Write("n.txt", "text\n");
    ASSERT_TRUE(OpenTextFile(Path("n.txt")));
    Main().InsertText("x");
    Boxes.Answers = {mrNo};
    Trigger("NewMnu");
    ASSERT_EQ(Boxes.Asked.size(), 1u);
    EXPECT_EQ(Main().GetText(), "");
    EXPECT_FALSE(Main().Modified);
    EXPECT_EQ(Form->ModifiedDis->text().toStdString(), "");
    EXPECT_FALSE(Form->SaveBtn->isEnabled());
    // Nothing to save: no auto-save, and New, Open and Exit ask nothing.
    EXPECT_FALSE(AutoSaveTimerTimer());
    EXPECT_TRUE(FilesIn(BackupFolder()).empty());
    EXPECT_EQ(Form->windowTitle().toStdString(), "Narvo - ");
    Trigger("NewMnu");
    ASSERT_TRUE(OpenTextFile(Path("n.txt")));
    EXPECT_EQ(Boxes.Asked.size(), 1u);
    Trigger("NewMnu");
    EXPECT_TRUE(Form->FormCloseQuery());
    EXPECT_EQ(Boxes.Asked.size(), 1u);
}

TEST_F(Documents, AppendAndOpenCommands)
{
    Write("add.txt", "x\r\ny\n");
    Main().InsertText("first");
    const TPoint OldEnd = {5, 0};
    SetStatusMessage("", false);
    EXPECT_EQ(InsertFileCmd("A\"" + Path("add.txt") + "\"", 2), static_cast<std::int64_t>(Path("add.txt").size()) + 5);
    EXPECT_EQ(Main().GetText(), "first\nx\ny");
    EXPECT_EQ(Main().Cursor->Pos(), OldEnd);
    EXPECT_TRUE(Main().Modified);
    EXPECT_EQ(StatusMessage(), "");
    EXPECT_TRUE(StatusMessageIsError());

    const struct {
        const char* Line;
        const char* Message;
        std::int64_t End;
        const char* Asked;
    } Rows[] = {{"A", "no filename", 3, ""},          {"A\"open", "no filename", 8, ""},
                {"A\"\"", "no filename", 5, ""},      {"A\"nothere\"", "disk-o?", 12, "Cannot read"},
                {"O\"o", "no \"", 4, ""},             {"Ox", "disk-o?", 2, "File Does Not Exist."}};
    for (const auto& R : Rows) {
        SetStatusMessage("", false);
        Boxes.Asked.clear();
        EXPECT_EQ((R.Line[0] == 'A' ? InsertFileCmd : OpenFileCmd)(R.Line, 2), R.End) << R.Line;
        EXPECT_EQ(StatusMessage(), R.Message) << R.Line;
        EXPECT_EQ(LastAsked().substr(0, std::string(R.Asked).size()), R.Asked) << R.Line;
    }
    Write("o.txt", "opened\n");
    SetStatusMessage("", false);
    Boxes.Answers = {mrNo};  // the appended text is not kept
    OpenFileCmd("O\"" + Path("o.txt") + "\"", 2);
    EXPECT_EQ(StatusMessage(), "");
    EXPECT_EQ(Main().GetText(), "opened\n");
    EXPECT_EQ(CurrentFileName, Path("o.txt"));
}

TEST_F(Documents, QuitAndExitCommands)
{
    Write("q.txt", "q\n");
    Form->show();
    ASSERT_TRUE(OpenTextFile(Path("q.txt")));
    Main().InsertText("Q");
    // T on a modified text asks; Cancel keeps the window open.
    Boxes.Answers = {mrCancel};
    ExitWithoutSavingCmd();
    EXPECT_EQ(LastAsked(), "Save Changes?");
    EXPECT_TRUE(Form->isVisible());
    // Q saves and closes.
    SaveAndExitCmd();
    EXPECT_FALSE(Form->isVisible());
    EXPECT_EQ(Read("q.txt"), "Qq\n");
    EXPECT_EQ(Read("q.txt.BAK"), "q\n");
    // Q whose save fails keeps the window.
    Form->show();
    Write("q2.txt", "q2\n");
    ASSERT_TRUE(OpenTextFile(Path("q2.txt")));
    Main().InsertText("!");
    SetFileFaultHook([](TFileStep Step, const std::string&) { return Step == TFileStep::Write ? ENOSPC : 0; });
    SaveAndExitCmd();
    SetFileFaultHook({});
    EXPECT_TRUE(Form->isVisible());
    EXPECT_TRUE(Main().Modified);
    Boxes.Answers = {mrNo};
    ExitWithoutSavingCmd();
    EXPECT_FALSE(Form->isVisible());
    EXPECT_EQ(Read("q2.txt"), "q2\n");
}

}  // namespace
}  // namespace narvo
