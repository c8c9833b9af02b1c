// The session's end on the real main window: SIGTERM and SIGHUP keep every modified
// text as a private draft and the command lines, then close the window without a
// question; the next start says so and the backup browser lists the drafts. The
// desktop's commit-data request asks as closing does, or keeps drafts when it may not
// ask, and a text settled that way is not asked about again on closing.
#include "PanesFixture.h"

#include "app/SessionEnd.h"
#include "app/ToolHost.h"
#include "components/FolderList.h"
#include "language/CommandLines.h"
#include "tools/AutoBackup.h"
#include "tools/TextToolHooks.h"

#include <QTest>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <functional>
#include <csignal>
#include <sys/stat.h>

namespace narvo {
namespace {

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

}  // namespace
}  // namespace narvo
