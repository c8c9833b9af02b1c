// Auto-save: the dated backup name, a modified named text saved (with ".BAK" and the
// recent list), an untitled text saved in "BackupFiles" under a dated name it keeps,
// nothing for an unmodified text, a failing save that keeps the text modified and
// says so in the status line without a box, a name that is already taken (also
// when another window takes it meanwhile), a text a save would change skipped
// without a question, and the timer following the settings.
#include "PanesFixture.h"

#include "app/ToolHost.h"
#include "components/FolderList.h"
#include "components/RecentFiles.h"
#include "tools/AutoBackup.h"
#include "tools/TextToolHooks.h"

#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <fstream>

namespace narvo {
namespace {

using AutoSave = PanesFixture;

bool InRecent(const std::string& Name)
{
    const auto& P = ReopenMenu().Paths();
    return std::find(P.begin(), P.end(), Name) != P.end();
}

TEST(AutoSaveNames, DatedBackupNames)
{
    const struct {
        int Y, Mo, D, H, Mi, S;
        const char* Name;
    } Rows[] = {
        {2024, 3, 7, 9, 5, 12, "NRV2024_3_7_9_5_12.txt"},
        {1999, 12, 31, 23, 59, 59, "NRV1999_12_31_23_59_59.txt"},
        };
    for (const auto& R : Rows) {
        std::tm T{};
        T.tm_year = R.Y - 1900;
        T.tm_mon = R.Mo - 1;
        T.tm_mday = R.D;
        T.tm_hour = R.H;
        T.tm_min = R.Mi;
        T.tm_sec = R.S;
        EXPECT_EQ(MakeBackupFileName(T), R.Name);
    }
}

TEST_F(AutoSave, ANamedModifiedTextIsSavedAndAnUnmodifiedOneIsNot)
{
    Write("f.txt", "old\n");
    ASSERT_TRUE(OpenTextFile(Path("f.txt")));
    EXPECT_FALSE(AutoSaveTimerTimer()) << "unmodified: nothing written";
    EXPECT_FALSE(Exists("f.txt.BAK"));

    Main().InsertText("new ");
    Form->ActiveEditor = Form->Editor3;
    EXPECT_TRUE(AutoSaveTimerTimer());
    EXPECT_EQ(Read("f.txt"), "new old\n");
    EXPECT_EQ(Read("f.txt.BAK"), "old\n");
    EXPECT_FALSE(Main().Modified);
    EXPECT_TRUE(InRecent(Path("f.txt")));
    EXPECT_EQ(Form->ActiveEditor, Form->Editor3) << "the active pane is given back";
    EXPECT_TRUE(Boxes.Asked.empty());
    EXPECT_FALSE(AutoSaveTimerTimer());
    EXPECT_FALSE(Exists("BackupFiles"));
}

TEST_F(AutoSave, AnUntitledTextGetsADatedBackupNameNeverTakenAndKeepsIt)
{
    // The names of this second and the next few are taken by other documents.
    ASSERT_EQ(mkdir(Path("BackupFiles").c_str(), 0700), 0);
    for (std::time_t T = std::time(nullptr), I = 0; I < 4; ++I) {
        const std::time_t At = T + I;
        std::tm Local{};
        localtime_r(&At, &Local);
        Write("BackupFiles/" + MakeBackupFileName(Local), "other document");
    }
    // The backup browser lists each write into the folder at once.
    InstallTextTools();
    CreateAutoBackDlg(Form.get());
    ASSERT_EQ(AutoBackDlg()->ShellList->Count(), 4);
    Main().InsertText("draft");
    ASSERT_TRUE(AutoSaveTimerTimer());
    const std::string Name = CurrentFileName.substr(Path("BackupFiles/").size());
    EXPECT_EQ(CurrentFileName, Path("BackupFiles/" + Name));
    EXPECT_EQ(Name.rfind("NRV", 0), 0u);
    EXPECT_EQ(Name.substr(Name.size() - 6), "-2.txt") << Name;
    EXPECT_EQ(Form->windowTitle().toStdString(), "Narvo - " + Name);
    EXPECT_EQ(Read("BackupFiles/" + Name), "draft");
    EXPECT_FALSE(InRecent(CurrentFileName)) << "backups stay out of the recent list";
    EXPECT_EQ(AutoBackDlg()->ShellList->Count(), 5);
    for (const std::string& F : FilesIn(Path("BackupFiles")))
        if (F != Name) {
            EXPECT_EQ(Read("BackupFiles/" + F), "other document") << F;
        }

    // The next save goes to the same name.
    Main().InsertText(", more");
    ASSERT_TRUE(AutoSaveTimerTimer());
    EXPECT_EQ(Read("BackupFiles/" + Name), "draft, more");
    EXPECT_EQ(FilesIn(Path("BackupFiles")).size(), 6u);  // 4 others, the name and its ".BAK"
    EXPECT_EQ(AutoBackDlg()->ShellList->Count(), 6);
    FreeAutoBackDlg();
    SetToolHost(nullptr);
}

TEST_F(AutoSave, DraftsAndTheirFolderArePrivate)
{
    const mode_t Old = ::umask(022);
    Main().InsertText("secret");
    const bool Saved = AutoSaveTimerTimer();
    ::umask(Old);
    ASSERT_TRUE(Saved);
    struct stat St {};
    ASSERT_EQ(stat(Path("BackupFiles").c_str(), &St), 0);
    EXPECT_EQ(St.st_mode & 0777, 0700u);
    ASSERT_EQ(stat(CurrentFileName.c_str(), &St), 0);
    EXPECT_EQ(St.st_mode & 0777, 0600u);
    // A folder an older run left open to others is closed again.
    ASSERT_EQ(chmod(Path("BackupFiles").c_str(), 0755), 0);
    ASSERT_TRUE(CloseTextFile());  // saved: nothing to ask
    Main().InsertText("another");
    ASSERT_TRUE(AutoSaveTimerTimer());
    ASSERT_EQ(stat(Path("BackupFiles").c_str(), &St), 0);
    EXPECT_EQ(St.st_mode & 0777, 0700u);
}

// A failing automatic save opens no box (it would take the keys typed meanwhile):
// each failure is said in the status line, a key in between clearing it as usual.
// File > Save keeps its box.
TEST_F(AutoSave, AFailingSaveKeepsTheTextModifiedAndSaysSoInTheStatusLineAtEachFailure)
{
    Write("f.txt", "disk\n");
    ASSERT_TRUE(OpenTextFile(Path("f.txt")));
    Main().InsertText("edit ");
    const std::string Target = Path("f.txt");
    SetFileFaultHook([&](TFileStep Step, const std::string& P) { return Step == TFileStep::Write && P == Target ? ENOSPC : 0; });
    Boxes.Asked.clear();
    for (int Tick = 0; Tick < 3; ++Tick) {
        ShowOk();  // a key typed since
        EXPECT_FALSE(AutoSaveTimerTimer());
        EXPECT_TRUE(Main().Modified);
        EXPECT_EQ(Read("f.txt"), "disk\n");
        EXPECT_EQ(StatusMessage(), "Not auto-saved: Cannot save \"" + Target + "\". Cannot write \"" + Target +
                                       "\": No space left on device");
    }
    EXPECT_TRUE(Boxes.Asked.empty()) << Boxes.Asked[0].Text;

    // The backup cannot be made: the emergency file takes the text, said in the line too.
    SetFileFaultHook([&](TFileStep Step, const std::string& P) {
        return Step == TFileStep::Rename && P == BackupFileName(Target) ? EBUSY : 0;
    });
    ShowOk();
    EXPECT_FALSE(AutoSaveTimerTimer());
    EXPECT_EQ(StatusMessage(), "Not auto-saved: File is open by another program. Results saved to: nrvsave.zvt");
    EXPECT_EQ(Read("nrvsave.zvt"), "edit disk\n");
    EXPECT_TRUE(Boxes.Asked.empty());

    // File > Save still shows its box.
    SetFileFaultHook([&](TFileStep Step, const std::string& P) { return Step == TFileStep::Write && P == Target ? ENOSPC : 0; });
    EXPECT_FALSE(SaveIfModified());
    ASSERT_EQ(Boxes.Asked.size(), 1u);
    EXPECT_EQ(LastAsked().rfind("Cannot save \"" + Target + "\"", 0), 0u) << LastAsked();

    // Once the disk has room again the text is saved.
    SetFileFaultHook({});
    EXPECT_TRUE(AutoSaveTimerTimer());
    EXPECT_EQ(Read("f.txt"), "edit disk\n");
}

TEST_F(AutoSave, ABackupFolderThatCannotBeMadeSavesNothingAndSaysSoInTheStatusLine)
{
    Write("BackupFiles", "a file where the folder should be");
    Main().InsertText("untitled");
    Boxes.Asked.clear();
    for (int Tick = 0; Tick < 2; ++Tick) {
        ShowOk();
        EXPECT_FALSE(AutoSaveTimerTimer());
        EXPECT_EQ(StatusMessage().rfind("Not auto-saved: Unable to create directory", 0), 0u) << StatusMessage();
    }
    EXPECT_TRUE(Main().Modified);
    EXPECT_TRUE(CurrentFileName.empty());
    EXPECT_TRUE(Boxes.Asked.empty());
}

// The real timer fails again and again while the user types: no box, every key in
// the text.
TEST_F(AutoSave, KeysTypedWhileTheTimerFailsAllReachTheText)
{
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    Write("f.txt", "");
    ASSERT_TRUE(OpenTextFile(Path("f.txt")));
    const std::string Target = Path("f.txt");
    int Failed = 0;
    SetFileFaultHook([&](TFileStep Step, const std::string& P) {
        return Step == TFileStep::Write && P == Target ? (++Failed, ENOSPC) : 0;
    });
    auto* Timer = Form->findChild<QTimer*>(QStringLiteral("AutoSaveTimer"));
    ASSERT_NE(Timer, nullptr);
    Form->MainEditor->setFocus();
    Boxes.Asked.clear();
    Timer->start(1);
    std::string Typed;
    for (int I = 0; I < 300; ++I) {
        const char C = static_cast<char>('a' + I % 26);
        Typed += C;
        QTest::keyClick(Form->MainEditor, C);
        if (I % 10 == 0)
            QTest::qWait(2);
    }
    Timer->stop();
    EXPECT_GT(Failed, 1);
    EXPECT_TRUE(Boxes.Asked.empty()) << Boxes.Asked[0].Text;
    EXPECT_EQ(Main().GetText().substr(0, Typed.size()), Typed);
    SetFileFaultHook({});
}

// Two windows name their untitled texts in the same second: the one that writes
// second takes the next number instead of replacing the first one's draft.
TEST_F(AutoSave, ADatedNameTakenMeanwhileIsNeverReplaced)
{
    Main().InsertText("mine");
    std::string Taken;
    SetFileFaultHook([&](TFileStep Step, const std::string& P) {
        // Just before the draft goes in place, another window writes that very name.
        if (Step == TFileStep::Rename && Taken.empty() && P.find("/BackupFiles/NRV") != std::string::npos) {
            Taken = P;
            std::ofstream(P, std::ios::binary) << "the other window's";
        }
        return 0;
    });
    ASSERT_TRUE(AutoSaveTimerTimer());
    SetFileFaultHook({});
    ASSERT_FALSE(Taken.empty());
    EXPECT_EQ(ReadFileBytes(Taken), "the other window's");
    EXPECT_NE(CurrentFileName, Taken);
    EXPECT_EQ(CurrentFileName, NumberedFileName(Taken, 2));
    EXPECT_EQ(ReadFileBytes(CurrentFileName), "mine");
    EXPECT_FALSE(Exists("BackupFiles/" + Taken.substr(Taken.rfind('/') + 1) + ".BAK"));
}

TEST_F(AutoSave, ATextASaveWouldChangeIsSkippedWithAWordNeverAQuestion)
{
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    auto* Timer = Form->findChild<QTimer*>(QStringLiteral("AutoSaveTimer"));
    ASSERT_NE(Timer, nullptr);
    const struct {
        const char* Name;
        std::string Bytes;
        const char* Why;
    } Rows[] = {
        {"cr.txt", "one\ntwo\rthree\n", " has 1 line end(s) unlike its usual LF"},
        {"u16.txt", std::string("\xFF\xFE" "a\0\x3A\x26", 6), " has characters read as '?'"},
    };
    for (const auto& R : Rows) {
        SCOPED_TRACE(R.Name);
        Write(R.Name, R.Bytes);
        ASSERT_TRUE(OpenTextFile(Path(R.Name)));
        Form->MainEditor->setFocus();
        QTest::keyClicks(Form->MainEditor, "ab");
        Boxes.Asked.clear();
        // The real timer ticks while the user types on.
        Timer->start(10);
        ASSERT_TRUE(Pump([] { return StatusMessage().rfind("Not auto-saved", 0) == 0; }));
        EXPECT_EQ(StatusMessage(), "Not auto-saved: " + Path(R.Name) + R.Why + "; Save asks first");
        QTest::keyClicks(Form->MainEditor, "cd");
        Timer->stop();
        EXPECT_TRUE(Boxes.Asked.empty()) << "no question took the keys";
        EXPECT_EQ(Main().GetText().substr(0, 4), "abcd");
        EXPECT_EQ(Read(R.Name), R.Bytes);
        EXPECT_TRUE(Main().Modified);
        // Said once: later ticks skip without a word.
        SetStatusMessage("", false);
        EXPECT_FALSE(AutoSaveTimerTimer());
        EXPECT_EQ(StatusMessage(), "");
        // Saving by hand still asks first.
        Boxes.Answers = {mrYes};
        EXPECT_TRUE(SaveIfModified());
        EXPECT_EQ(Boxes.Asked.size(), 1u);
        EXPECT_NE(LastAsked().find("Save anyway?"), std::string::npos);
    }
}

TEST_F(AutoSave, TheTimerFollowsTheSettings)
{
    EXPECT_TRUE(AutoSaveTimerActive());
    EXPECT_EQ(AutoSaveTimerInterval(), 600000);
    struct {
        std::int32_t Interval;
        bool Enabled;
        int Expected;
    } Rows[] = {{60000, false, 60000}, {120000, true, 120000}, {0, true, MinAutoSaveInterval}};
    for (const auto& R : Rows) {
        AutoSaveInterval = R.Interval;
        AutoSaveEnabled = R.Enabled;
        ApplyAutoSaveSettings();
        EXPECT_EQ(AutoSaveTimerActive(), R.Enabled);
        EXPECT_EQ(AutoSaveTimerInterval(), R.Expected);
    }
    Form.reset();
    EXPECT_FALSE(AutoSaveTimerActive());
}

}  // namespace
}  // namespace narvo
