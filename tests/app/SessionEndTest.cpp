// The session's end on the real main window: SIGTERM and SIGHUP keep every modified
// text as a private draft and the command lines, then close the window without a
// question; the next start says so and the backup browser lists the drafts. The
// desktop's commit-data request asks as closing does, or keeps drafts when it may not
// ask, and a text settled that way is not asked about again on closing. Programs
// ending together keep every draft and every line of the list; a draft the backup
// folder cannot take goes elsewhere, one nobody takes keeps the window open; at a
// signal no box opens, and the next start says what went wrong.
#include "PanesFixture.h"

#include "app/SessionEnd.h"
#include "app/ToolHost.h"
#include "components/FolderList.h"
#include "language/CommandLines.h"
#include "support/ChildUnderLimit.h"
#include "support/ProcessesTogether.h"
#include "tools/AutoBackup.h"
#include "tools/TextToolHooks.h"

#include <QMessageBox>
#include <QPointer>
#include <QTest>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <functional>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace narvo {
namespace {

using test::InChildUnderLimit;
using test::SanitizedBuild;

class SessionEnd : public PanesFixture {
protected:
    // The drafts in the backup folder (hidden files left out), by name.
    std::vector<std::string> Drafts() const { return FilesIn(Path("BackupFiles")); }
    std::vector<std::string> DraftTexts() const
    {
        std::vector<std::string> Texts;
        for (const std::string& N : Drafts())
            Texts.push_back(Read("BackupFiles/" + N));
        std::sort(Texts.begin(), Texts.end());
        return Texts;
    }
    void ShowWithTexts()
    {
        Form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
        Write("doc.txt", "disk\n");
        Write("side.txt", "side\n");
        ASSERT_TRUE(OpenTextFile(Path("doc.txt")));
        Main().InsertText("typed ");
        Dialogs.Answers = {Path("side.txt")};
        Form->Menus->Open1Click();
        Form->Editor3->InsertText("more ");
    }
};

TEST_F(SessionEnd, TermAndHupKeepEveryModifiedTextAsAPrivateDraftThenTheWindowCloses)
{
    for (const int Signal : {SIGTERM, SIGHUP}) {
        SCOPED_TRACE(Signal);
        ShowWithTexts();
        CommandHost()->SetCmdEditorText("Sfoo");
        const mode_t Old = ::umask(022);
        ASSERT_EQ(::raise(Signal), 0);
        const bool Closed = Pump([&] { return !Form->isVisible(); }, 20000);
        ::umask(Old);
        ASSERT_TRUE(Closed);
        EXPECT_TRUE(Boxes.Asked.empty()) << Boxes.Asked[0].Text;
        EXPECT_TRUE(BreakFlag);

        // Both texts as drafts, private; the user's own files untouched.
        ASSERT_EQ(Drafts().size(), 2u);
        EXPECT_EQ(DraftTexts(), (std::vector<std::string>{"more side\n", "typed disk\n"}));
        for (const std::string& N : Drafts()) {
            EXPECT_EQ(N.rfind("NRV", 0), 0u) << N;
            struct stat St {};
            ASSERT_EQ(stat(Path("BackupFiles/" + N).c_str(), &St), 0);
            EXPECT_EQ(St.st_mode & 0777, 0600u) << N;
        }
        EXPECT_EQ(Read("doc.txt"), "disk\n");
        EXPECT_EQ(Read("side.txt"), "side\n");
        // The command lines were written before the window went.
        std::string Ini = Read("Narvo.ini");
        std::transform(Ini.begin(), Ini.end(), Ini.begin(), [](unsigned char C) { return std::tolower(C); });
        EXPECT_NE(Ini.find("53666f6f"), std::string::npos) << "Sfoo in hex";

        // The next start says so once; the backup browser lists the drafts.
        Form.reset();
        SetStatusMessage("", false);
        Form = std::make_unique<TForm1>();
        Form->FormActivate();
        EXPECT_EQ(StatusMessage(), "2 drafts kept at exit (File > Advanced File Ops > Auto-backup Files)");
        InstallTextTools();
        CreateAutoBackDlg(Form.get());
        EXPECT_EQ(AutoBackDlg()->ShellList->Count(), 2);
        FreeAutoBackDlg();
        SetToolHost(nullptr);
        Form.reset();
        SetStatusMessage("", false);
        Form = std::make_unique<TForm1>();
        Form->FormActivate();
        EXPECT_EQ(StatusMessage().find("draft"), std::string::npos) << "said once";

        std::system(("rm -rf '" + Path("BackupFiles") + "'").c_str());
        Boxes.Asked.clear();
        BreakFlag = false;
    }
}

// A draft holds the text as a save writes it, with the line ends each file was read
// with (CR LF, LF and CR mixed): nobody agreed to change them, and Save would ask.
TEST_F(SessionEnd, ADraftKeepsTheLineEndsEachFileWasReadWith)
{
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    const char* Ends[] = {"\r\n", "\n", "\r", "\n"};
    std::string Mixed;
    for (int I = 0; I < 40; ++I)
        Mixed += "line " + std::to_string(I) + Ends[I % 4];
    Write("doc.txt", Mixed);
    Write("side.txt", "side\r" + Mixed);
    ASSERT_TRUE(OpenTextFile(Path("doc.txt")));
    Main().InsertText("typed ");
    Dialogs.Answers = {Path("side.txt")};
    Form->Menus->Open1Click();
    Form->Editor3->InsertText("more ");
    ASSERT_EQ(::raise(SIGTERM), 0);
    ASSERT_TRUE(Pump([&] { return !Form->isVisible(); }, 20000));
    EXPECT_EQ(DraftTexts(), (std::vector<std::string>{"more side\r" + Mixed, "typed " + Mixed}));
    EXPECT_EQ(Read("doc.txt"), Mixed);
}

// Ctrl+C in the terminal the program was started from keeps the texts as the
// desktop's signals do.
TEST_F(SessionEnd, CtrlCKeepsEveryModifiedTextAsADraftToo)
{
    ShowWithTexts();
    ASSERT_EQ(::raise(SIGINT), 0);
    ASSERT_TRUE(Pump([&] { return !Form->isVisible(); }, 20000));
    EXPECT_EQ(DraftTexts(), (std::vector<std::string>{"more side\n", "typed disk\n"}));
    EXPECT_EQ(Read("doc.txt"), "disk\n");
}

// Large texts in both panes (one with mixed line ends, one UTF-16) while the memory
// left is far smaller than either: the drafts and a save are written from the lines
// a piece at a time, byte for byte as a save writes them.
TEST_F(SessionEnd, LargeTextsAreKeptAndSavedWhileLittleMemoryIsLeft)
{
    if (SanitizedBuild)
        GTEST_SKIP() << "the sanitizers reserve more address space than any limit leaves";
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    std::string Big;
    for (int I = 0; Big.size() < (40u << 20); ++I)
        Big += "int f" + std::to_string(I) + "(int a) { return a * 7; }" + (I % 5 == 0 ? "\n" : "\r\n");
    // A line longer than a piece, in the middle.
    Big.insert(Big.size() / 2, std::string(3 << 20, 'x'));
    std::string Side = "\xFF\xFE";
    for (int I = 0; Side.size() < (48u << 20); ++I)
        for (const char C : "caf\xE9 " + std::to_string(I) + "\r\n") {
            Side += C;
            Side += '\0';
        }
    Write("doc.txt", Big);
    Write("side.txt", Side);
    ASSERT_TRUE(OpenTextFile(Path("doc.txt")));
    Main().InsertText("typed ");
    Dialogs.Answers = {Path("side.txt")};
    Form->Menus->Open1Click();
    ASSERT_EQ(Form->Editor3->Strings->Encoding, 1);
    Form->Editor3->InsertText("more ");

    EXPECT_EQ(InChildUnderLimit(0,
                                [&] {
                                    const TKeptDrafts Kept = KeepDrafts(*Form);
                                    std::string Fault;
                                    for (const std::string& Lost : Kept.Lost)
                                        Fault += "lost " + Lost + "; ";
                                    if (!SaveTextFile(Path("copy.txt"), false))
                                        Fault += "not saved; ";
                                    if (!SavePaneToFile(*Form->Editor3, Path("side-copy.txt")))
                                        Fault += "secondary text not saved";
                                    return Fault;
                                }),
              "");
    const std::string MoreSide = std::string("\xFF\xFE") + std::string("m\0o\0r\0e\0 \0", 10) + Side.substr(2);
    EXPECT_TRUE(DraftTexts() == (std::vector<std::string>{"typed " + Big, MoreSide}))
        << "draft sizes " << Drafts().size();
    EXPECT_TRUE(Read("copy.txt") == "typed " + Big);
    EXPECT_TRUE(Read("side-copy.txt") == MoreSide);
}

// The user sends the signal again while a long save, then the drafts, are written
// (a slow disk): the program ends only once each text is safe.
TEST_F(SessionEnd, ASignalSentAgainWaitsForTheSaveAndTheDraftsBeingWritten)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto SaveThenEndOnASlowDisk = [this] {
        ShowWithTexts();
        const std::string Doc = Path("doc.txt");
        const std::string Backups = Path("BackupFiles/");
        SetFileFaultHook([&](TFileStep Step, const std::string& Target) {
            if (Step == TFileStep::Sync && (Target == Doc || Target.rfind(Backups, 0) == 0)) {
                ::raise(SIGTERM);
                ::sleep(3);
                ::raise(SIGTERM);
            }
            return 0;
        });
        const bool Saved = SaveIfModified();
        const bool Closed = Pump([&] { return !Form->isVisible(); }, 20000);
        SetFileFaultHook({});
        const bool Kept = DraftTexts() == std::vector<std::string>{"more side\n"};
        return Saved && Closed && Read("doc.txt") == "typed disk\n" && Kept;
    };
    EXPECT_EXIT(std::_Exit(SaveThenEndOnASlowDisk() ? 7 : 1), ::testing::ExitedWithCode(7), "");
}

// The question of a close under way is open when the signal comes: the texts are
// kept all the same, and the close that asked goes no further.
class TSignalWhileAsking : public TMessageBoxes {
public:
    explicit TSignalWhileAsking(std::function<bool()> Done) : FDone(std::move(Done)), FPrevious(SetMessageBoxes(this)) {}
    ~TSignalWhileAsking() override { SetMessageBoxes(FPrevious); }
    TSignalWhileAsking(const TSignalWhileAsking&) = delete;
    TSignalWhileAsking& operator=(const TSignalWhileAsking&) = delete;
    TModalResult MessageDlg(const std::string& Text, TMsgDlgType, TMsgDlgButtons Buttons) override
    {
        Asked.push_back(Text);
        ::raise(SIGTERM);
        const auto End = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!FDone() && std::chrono::steady_clock::now() < End)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return EscapeResult(Buttons);
    }
    std::vector<std::string> Asked;

private:
    std::function<bool()> FDone;
    TMessageBoxes* FPrevious;
};

TEST_F(SessionEnd, ASignalWhileAQuestionIsOpenStillKeepsTheTexts)
{
    ShowWithTexts();
    TSignalWhileAsking Asking([&] { return Drafts().size() == 2; });
    EXPECT_FALSE(Form->close()) << "the close that asked was answered Cancel";
    ASSERT_EQ(Asking.Asked.size(), 1u);
    EXPECT_EQ(Asking.Asked[0], "Save Changes?\r\n" + Path("side.txt"));
    EXPECT_EQ(DraftTexts(), (std::vector<std::string>{"more side\n", "typed disk\n"}));
    EXPECT_TRUE(BreakFlag);
    EXPECT_EQ(Read("doc.txt"), "disk\n");
}

TEST_F(SessionEnd, TheCommitRequestAsksAsClosingDoesOrKeepsDraftsWhenItMayNot)
{
    ShowWithTexts();
    // Cancel: the logout is to be cancelled, nothing written or asked further.
    Boxes.Answers = {mrCancel};
    EXPECT_FALSE(CommitSessionData(*Form, true));
    ASSERT_EQ(Boxes.Asked.size(), 1u);
    EXPECT_EQ(Boxes.Asked[0].Text, "Save Changes?\r\n" + Path("side.txt"));
    EXPECT_TRUE(Main().Modified);
    EXPECT_TRUE(Form->Editor3->Modified);

    // No to both: settled, so closing afterwards asks nothing; an edit since asks again.
    Boxes.Asked.clear();
    Boxes.Answers = {mrNo, mrNo};
    EXPECT_TRUE(CommitSessionData(*Form, true));
    ASSERT_EQ(Boxes.Asked.size(), 2u);
    EXPECT_EQ(Boxes.Asked[1].Text, "Save Changes?");
    Main().InsertText("!");
    Boxes.Asked.clear();
    Boxes.Answers = {mrCancel};
    EXPECT_FALSE(Form->close());
    ASSERT_EQ(Boxes.Asked.size(), 1u);
    EXPECT_EQ(Boxes.Asked[0].Text, "Save Changes?") << "only the text changed since";
    EXPECT_TRUE(Drafts().empty());

    // Without interaction: a draft of each text not settled, once per state of the
    // texts (the secondary text was let go by the user's No).
    Boxes.Asked.clear();
    EXPECT_TRUE(CommitSessionData(*Form, false));
    EXPECT_TRUE(Boxes.Asked.empty());
    EXPECT_EQ(DraftTexts(), (std::vector<std::string>{"typed !disk\n"}));
    EXPECT_TRUE(CommitSessionData(*Form, false));
    EXPECT_EQ(Drafts().size(), 1u);
    EXPECT_TRUE(Form->close());
    EXPECT_TRUE(Boxes.Asked.empty());
    EXPECT_EQ(Read("doc.txt"), "disk\n");
}

// Three programs with one settings folder get SIGTERM together (a logout): each
// keeps its draft under a name of its own, and the list for the next start takes
// every line.
TEST_F(SessionEnd, ProgramsEndingTogetherKeepEveryDraftAndEveryLineOfTheList)
{
    // All start at once, within one second: one dated name for all.
    EXPECT_TRUE(test::RunInProcessesTogether(3, [](int I, const std::function<void()>& AllReady) {
        AllReady();
        std::string Why;
        const std::string Name = KeepTextAsDraft("text " + std::to_string(I), "", Why);
        return !Name.empty() && NoteKeptDrafts({Name});
    }));
    EXPECT_EQ(DraftTexts(), (std::vector<std::string>{"text 0", "text 1", "text 2"}));
    for (const std::string& N : Drafts()) {
        struct stat St {};
        ASSERT_EQ(stat(Path("BackupFiles/" + N).c_str(), &St), 0);
        EXPECT_EQ(St.st_mode & 0777, 0600u) << N;
    }
    SetStatusMessage("", false);
    ReportKeptDrafts();
    EXPECT_EQ(StatusMessage(), "3 drafts kept at exit (File > Advanced File Ops > Auto-backup Files)");
}

// The status field cuts the report at the window's usual width: a draft outside the
// backup folder (which the browser does not list) is found only by its name there.
TEST_F(SessionEnd, WhereDraftsWentAndWhatFailedAreToldWholeAtTheNextStart)
{
    const std::string Draft = Path("doc.txt.NRV2026_1_2_3_4_5.txt");
    const std::string Failed = "Cannot write \"" + Path("Narvo.ini") + "\": No space left on device";
    ASSERT_TRUE(NoteKeptDrafts({Draft}));
    ASSERT_TRUE(NoteExitMessages({Failed}));
    Form->show();
    Form->FormActivate();
    const QList<QMessageBox*> Shown = Form->findChildren<QMessageBox*>();
    ASSERT_EQ(Shown.size(), 1);
    EXPECT_TRUE(Shown[0]->isVisible());
    EXPECT_FALSE(Shown[0]->isModal());
    const std::string Text = Shown[0]->text().remove(QChar(0x200B)).toStdString();
    EXPECT_EQ(Text, "1 draft kept at exit:\r\n" + Draft + "\r\n\r\nAt exit:\r\n" + Failed);
}

class SessionEndOnFullDisk : public SessionEnd {
protected:
    void SetUp() override
    {
        SessionEnd::SetUp();
        const char* Old = std::getenv("TMPDIR");
        OldTmp = Old ? Old : "";
        HadTmp = Old != nullptr;
        ASSERT_EQ(::mkdir(Path("tmp").c_str(), 0700), 0);
        ::setenv("TMPDIR", Path("tmp").c_str(), 1);
        ::unsetenv("XDG_RUNTIME_DIR");
    }
    void TearDown() override
    {
        if (HadTmp)
            ::setenv("TMPDIR", OldTmp.c_str(), 1);
        else
            ::unsetenv("TMPDIR");
        SessionEnd::TearDown();
    }
    // Every file made under one of Prefixes fails as on a full disk.
    void FillDisk(std::vector<std::string> Prefixes)
    {
        SetFileFaultHook([Prefixes](TFileStep Step, const std::string& P) {
            for (const std::string& Prefix : Prefixes)
                if (Step == TFileStep::CreateTemp && P.rfind(Prefix, 0) == 0)
                    return ENOSPC;
            return 0;
        });
    }
    bool Signal(int Number = SIGTERM)
    {
        const std::string Before = StatusMessage();
        EXPECT_EQ(::raise(Number), 0);
        return Pump([&] { return !Form->isVisible() || StatusMessage() != Before; }, 20000);
    }
    std::string OldTmp;
    bool HadTmp = false;
};

TEST_F(SessionEndOnFullDisk, ADraftTheBackupFolderCannotTakeGoesBesideTheDocumentElseToTheTemporaryFolder)
{
    ShowWithTexts();
    CommandLines().Lines[1] = "changed";  // so the command lines are written at exit
    // The settings folder's disk is full: beside the document.
    FillDisk({Path("BackupFiles/"), Path("Narvo.ini")});
    ASSERT_TRUE(Signal());
    ASSERT_FALSE(Form->isVisible());
    EXPECT_TRUE(Boxes.Asked.empty()) << Boxes.Asked[0].Text;
    EXPECT_TRUE(Errors.empty()) << Errors[0];
    std::vector<std::string> Beside;
    for (const std::string& N : FilesIn(Folder))
        if (N.find(".NRV") != std::string::npos)
            Beside.push_back(N);
    ASSERT_EQ(Beside.size(), 2u);
    EXPECT_EQ(Beside[0].rfind("doc.txt.NRV", 0), 0u) << Beside[0];
    EXPECT_EQ(Beside[1].rfind("side.txt.NRV", 0), 0u) << Beside[1];
    EXPECT_EQ(Read(Beside[0]), "typed disk\n");
    EXPECT_EQ(Read(Beside[1]), "more side\n");
    for (const std::string& N : Beside) {
        struct stat St {};
        ASSERT_EQ(stat(Path(N).c_str(), &St), 0);
        EXPECT_EQ(St.st_mode & 0777, 0600u) << N;
    }
    EXPECT_TRUE(Drafts().empty());

    // The next start says where they are, and what else failed.
    SetFileFaultHook({});
    Form.reset();
    SetStatusMessage("", false);
    Form = std::make_unique<TForm1>();
    Form->FormActivate();
    EXPECT_EQ(StatusMessage().rfind("2 drafts kept at exit: " + Path(Beside[0]) + ", " + Path(Beside[1]) +
                                        "; at exit: Cannot create a temporary file for \"" + Path("Narvo.ini") +
                                        "\": No space",
                                    0),
              0u)
        << StatusMessage();

    // No backup folder can be made and the document's folder is full: the drafts and
    // the list go to the temporary folder, and the next start still counts them.
    Form.reset();
    Form = std::make_unique<TForm1>();
    ShowWithTexts();
    std::system(("rm -rf '" + Path("BackupFiles") + "'").c_str());
    Write("BackupFiles", "a file where the folder should be");
    FillDisk({Path("doc.txt"), Path("side.txt")});
    ASSERT_TRUE(Signal());
    ASSERT_FALSE(Form->isVisible());
    std::vector<std::string> InTemp;
    for (const std::string& N : FilesIn(Path("tmp")))
        InTemp.push_back(Read("tmp/" + N));
    std::sort(InTemp.begin(), InTemp.end());
    EXPECT_EQ(InTemp, (std::vector<std::string>{"more side\n", "typed disk\n"}));
    SetFileFaultHook({});
    Form.reset();
    SetStatusMessage("", false);
    Form = std::make_unique<TForm1>();
    Form->FormActivate();
    EXPECT_EQ(StatusMessage().rfind("2 drafts kept at exit: " + Path("tmp/NRV"), 0), 0u) << StatusMessage();
    ::unlink(Path("BackupFiles").c_str());
}

// Beside a document whose name is near the limit, the draft's name still fits: the
// document's name is shortened to leave room for the dated name.
TEST_F(SessionEndOnFullDisk, ADraftBesideALongNamedDocumentFits)
{
    FillDisk({Path("BackupFiles/")});
    const std::string Long = std::string(236, 'd') + ".txt";
    std::string Why;
    const std::string Name = KeepTextAsDraft("long text\n", Path(Long), Why);
    SetFileFaultHook({});
    ASSERT_EQ(Name.rfind(Path(std::string(236 - 35, 'd')), 0), 0u) << Name << " " << Why;
    EXPECT_LE(Name.size() - Folder.size() - 1, 255u - 5u);
    EXPECT_EQ(ReadFileBytes(Name), "long text\n");
}

TEST_F(SessionEndOnFullDisk, ATextNoPlaceTakesKeepsTheWindowOpenUntilAFurtherSignal)
{
    ShowWithTexts();
    ASSERT_TRUE(SaveIfModified());  // only the secondary text is at stake
    FillDisk({"/"});
    ASSERT_TRUE(Signal());
    EXPECT_TRUE(Form->isVisible());
    EXPECT_EQ(StatusMessage(), "Not kept: \"side.txt\" (no place could take it at the signal). Save elsewhere; "
                               "another signal ends without it");
    EXPECT_TRUE(Boxes.Asked.empty()) << Boxes.Asked[0].Text;
    EXPECT_TRUE(Form->Editor3->Modified);

    // The user makes room: the next signal keeps it and ends.
    SetFileFaultHook({});
    ASSERT_TRUE(Signal(SIGHUP));
    EXPECT_FALSE(Form->isVisible());
    EXPECT_EQ(DraftTexts(), (std::vector<std::string>{"more side\n"}));

    // Still no room at the second signal: the program ends, saying what was lost.
    Form.reset();
    Form = std::make_unique<TForm1>();
    ShowWithTexts();
    FillDisk({"/"});
    ASSERT_TRUE(Signal());
    ASSERT_TRUE(Form->isVisible());
    ASSERT_TRUE(Signal());
    EXPECT_FALSE(Form->isVisible());
    EXPECT_TRUE(Boxes.Asked.empty());
}

// "Not kept", then the user saves the text elsewhere and goes on, and that disk
// fills too: the text at the next signal is new work, said again, not ended
// without a word; a further signal with nothing new since ends as before.
TEST_F(SessionEndOnFullDisk, ATextSavedOrChangedSinceItWasNotKeptIsSaidAgain)
{
    ShowWithTexts();
    ASSERT_TRUE(SaveIfModified());  // only the secondary text is at stake
    ASSERT_EQ(::mkdir(Path("other").c_str(), 0700), 0);
    FillDisk({"/"});
    ASSERT_TRUE(Signal());
    ASSERT_TRUE(Form->isVisible());
    const std::string NotKept = "Not kept: \"side.txt\" (no place could take it at the signal). Save elsewhere; "
                                "another signal ends without it";
    EXPECT_EQ(StatusMessage(), NotKept);

    // Saved onto another disk, more typed, that disk full as well.
    SetFileFaultHook({});
    ASSERT_TRUE(SavePaneToFile(*Form->Editor3, Path("other/side.txt")));
    Form->Editor3->InsertText("new ");
    FillDisk({"/"});
    SetStatusMessage("", false);
    ASSERT_TRUE(Signal());
    ASSERT_TRUE(Form->isVisible()) << "new work ended without a word";
    // The box said before is closed at once and deleted when the loop next gets to it.
    const QList<QMessageBox*> Shown = Form->findChildren<QMessageBox*>();
    EXPECT_EQ(std::count_if(Shown.begin(), Shown.end(), [](QMessageBox* B) { return B->isVisible(); }), 1);
    EXPECT_TRUE(Boxes.Asked.empty());

    // Typed into only, not saved: new work all the same.
    Form->Editor3->InsertText("more ");
    SetStatusMessage("", false);
    ASSERT_TRUE(Signal());
    ASSERT_TRUE(Form->isVisible());
    EXPECT_NE(StatusMessage().find("Not kept: \"side.txt\""), std::string::npos) << StatusMessage();

    // Nothing new since it was said: the signal ends, as it said.
    ASSERT_TRUE(Signal());
    EXPECT_FALSE(Form->isVisible());
    EXPECT_EQ(Read("other/side.txt"), "more side\n");
}

// Neither the backup folder nor the temporary folder takes the list of drafts: the
// drafts beside their documents are still named at the next start, by a note
// beside them.
TEST_F(SessionEndOnFullDisk, DraftsBesideTheirDocumentsAreNamedAtTheNextStartWhenNoNotePlaceTakesTheList)
{
    ShowWithTexts();
    std::system(("rm -rf '" + Path("BackupFiles") + "'").c_str());
    Write("BackupFiles", "a file where the folder should be");
    ::setenv("TMPDIR", Path("gone").c_str(), 1);
    ASSERT_TRUE(Signal());
    ASSERT_FALSE(Form->isVisible());
    std::vector<std::string> Beside;
    for (const std::string& N : FilesIn(Folder))
        if (N.find(".NRV") != std::string::npos)
            Beside.push_back(Path(N));
    ASSERT_EQ(Beside.size(), 2u);

    Form.reset();
    SetStatusMessage("", false);
    Form = std::make_unique<TForm1>();
    Form->FormActivate();
    EXPECT_EQ(StatusMessage(), "2 drafts kept at exit: " + Beside[0] + ", " + Beside[1]);
    Form.reset();
    SetStatusMessage("", false);
    Form = std::make_unique<TForm1>();
    Form->FormActivate();
    EXPECT_EQ(StatusMessage().find("draft"), std::string::npos) << "said once";
    ::unlink(Path("BackupFiles").c_str());
}

// A note no disk has room for leaves nothing behind: no empty ".kept-at-exit" in
// the backup folder, the temporary folder or beside the draft.
TEST_F(SessionEndOnFullDisk, ANoteThatCannotBeWrittenLeavesNoEmptyFile)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // Run whole in the child, which has a folder of its own.
    const auto NoteOnAFullDisk = [&] {
        ::signal(SIGXFSZ, SIG_IGN);
        // Every write past its first byte fails, as on a disk that is full.
        const rlimit Limit{1, RLIM_INFINITY};
        if (::setrlimit(RLIMIT_FSIZE, &Limit) != 0)
            return 2;
        if (NoteKeptDrafts({Path("doc.txt.NRV2026_1_2_3_4_5.txt")}))
            return 3;
        struct stat St {};
        if (::lstat(Path("BackupFiles/.kept-at-exit").c_str(), &St) == 0 || ::lstat(Path(".kept-at-exit").c_str(), &St) == 0)
            return 4;
        DIR* D = ::opendir(Path("tmp").c_str());
        if (!D)
            return 5;
        int Code = 7;
        // The test runner keeps files of its own there.
        while (const dirent* E = ::readdir(D))
            if (std::string(E->d_name).find("kept-at-exit") != std::string::npos)
                Code = 6;
        ::closedir(D);
        return Code;
    };
    EXPECT_EXIT(std::_Exit(NoteOnAFullDisk()), ::testing::ExitedWithCode(7), "");
}

// The status field cuts the message at the window's usual width: a box that waits
// for nothing shows the whole of it, and goes with the window at the next signal.
TEST_F(SessionEndOnFullDisk, ATextNotKeptIsToldWholeInABoxThatHoldsNothingUp)
{
    ShowWithTexts();
    ASSERT_TRUE(SaveIfModified());
    FillDisk({"/"});
    ASSERT_TRUE(Signal());
    const QList<QMessageBox*> Shown = Form->findChildren<QMessageBox*>();
    ASSERT_EQ(Shown.size(), 1);
    QPointer<QMessageBox> Box = Shown[0];
    EXPECT_TRUE(Box->isVisible());
    EXPECT_FALSE(Box->isModal());
    const std::string Text = Box->text().remove(QChar(0x200B)).toStdString();
    EXPECT_NE(Text.find("Not kept: \"" + Path("side.txt") + "\""), std::string::npos) << Text;
    EXPECT_NE(Text.find("another signal ends without it"), std::string::npos) << Text;
    EXPECT_TRUE(Boxes.Asked.empty());

    ASSERT_TRUE(Signal());
    EXPECT_FALSE(Form->isVisible());
    EXPECT_TRUE(Pump([&] { return Box.isNull() || !Box->isVisible(); }, 5000));
}

// The command lines cannot be written at the signal (a settings file in UTF-16 with
// a character of no 8-bit equivalent, or a full disk): no box, however many signals
// come; the next start says what failed.
TEST_F(SessionEndOnFullDisk, AtASignalNoBoxOpensAndTheNextStartSaysWhatFailed)
{
    const std::string Utf16Ini("\xFF\xFE[\0a\0]\0\r\0\n\0k\0=\0\x3A\x26\r\0\n\0", 20);
    for (const bool FullDisk : {false, true}) {
        SCOPED_TRACE(FullDisk);
        Form.reset();
        if (FullDisk)
            ::unlink(Path("Narvo.ini").c_str());
        else
            Write("Narvo.ini", Utf16Ini);
        Form = std::make_unique<TForm1>();
        ShowWithTexts();
        CommandLines().Lines[1] = "changed";  // so the command lines are written at exit
        Boxes.Asked.clear();
        Errors.clear();
        if (FullDisk)
            FillDisk({Path("Narvo.ini")});
        // Signals in a row, as a desktop repeats them.
        ASSERT_EQ(::raise(SIGTERM), 0);
        ASSERT_EQ(::raise(SIGHUP), 0);
        ASSERT_TRUE(Pump([&] { return !Form->isVisible(); }, 20000));
        ASSERT_EQ(::raise(SIGTERM), 0);
        Pump([] { return false; }, 100);
        EXPECT_TRUE(Boxes.Asked.empty()) << Boxes.Asked[0].Text;
        EXPECT_TRUE(Errors.empty()) << Errors[0];
        EXPECT_EQ(Drafts().size(), 2u);

        SetFileFaultHook({});
        Form.reset();
        SetStatusMessage("", false);
        Form = std::make_unique<TForm1>();
        Form->FormActivate();
        const std::string Said = StatusMessage();
        const std::string Expected = "2 drafts kept at exit (File > Advanced File Ops > Auto-backup Files); at exit: Cannot ";
        EXPECT_EQ(Said.rfind(Expected, 0), 0u) << Said;
        EXPECT_NE(Said.find(Path("Narvo.ini") + "\": " + (FullDisk ? "No space left" : "it could not be read")),
                  std::string::npos)
            << Said;
        EXPECT_EQ(Said.find("; ", Expected.size()), std::string::npos) << "said once: " << Said;
        std::system(("rm -rf '" + Path("BackupFiles") + "'").c_str());
    }
}

}  // namespace
}  // namespace narvo
