// The settings file: the read defaults without a file, the factory values, a round
// trip of every key, hand-written bad values, the file name without case, and a
// file that cannot be read never being replaced.
#include "AppWindowFixture.h"

#include "app/MainWindowMenus.h"
#include "components/RecentFiles.h"
#include "language/CommandLines.h"
#include "components/TextRuler.h"
#include "platform/posix/FolderLock.h"
#include "platform/posix/IniFile.h"

#include <QLabel>
#include <QTest>
#include <QTimer>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <cstdio>
#include <map>
#include <sys/stat.h>
#include <tuple>

namespace narvo {
namespace {

// Every key the settings module writes, with the defaults read from an empty file.
const char* const ReadDefaults = R"([Flags]
ScrollStyle=3
LinearHScroll=0
AppendEOF=0
IgnoreCaseFlag=0
WrapFlag=0
NewWordStyle=0
ShowToolBar=1
HighlightSearch=1
ShowCmdLine=1
ShowRuler=1
ShowStatus=1
ShowStatus2=1
[Screen]
FontColor=0
ScreenColor=16777215
HiLiteColor=8388608
ControlColor=255
ShadowColor=16445670
NonDeleteColor=0
FontSize=9
FontName=FixedSys
FontStyle=0
FontCharset=0
CursorWidth=3
SpacesPerTab=8
ShadowLine=1
[ScreenMargin]
LeftMargin=0
RightMargin=72
ParaIndent=0
BellColumn=72
[PrintMargin]
LeftWhite=0.75
RightWhite=0.75
TopWhite=0.75
BottomWhite=0.75
[Menus]
RopenLimit=8
[Margins]
M1Left=0
M1Right=72
M1Indent=0
M2Left=5
M2Right=68
M2Indent=0
M3Left=0
M3Right=72
M3Indent=5
M4Left=5
M4Right=68
M4Indent=5
[Directories]
MacroFolder=
DefaultFolder=
[Tools]
MinimumSpace=1
[AutoSave]
Interval=600000
Enabled=1
)";

// The same keys, each with a value other than its default.
const char* const AllChanged = R"([Flags]
ScrollStyle=2
LinearHScroll=1
AppendEOF=1
IgnoreCaseFlag=1
WrapFlag=1
NewWordStyle=1
ShowToolBar=0
HighlightSearch=0
ShowCmdLine=0
ShowRuler=0
ShowStatus=0
ShowStatus2=0
[Screen]
FontColor=1193046
ScreenColor=66051
HiLiteColor=658188
ControlColor=65280
ShadowColor=1118481
NonDeleteColor=2236962
FontSize=14
FontName=FixedSys
FontStyle=5
FontCharset=255
CursorWidth=7
SpacesPerTab=4
ShadowLine=0
[ScreenMargin]
LeftMargin=5
RightMargin=60
ParaIndent=-2
BellColumn=55
[PrintMargin]
LeftWhite=1.5
RightWhite=0.25
TopWhite=1
BottomWhite=2
[Menus]
RopenLimit=12
[Margins]
M1Left=1
M1Right=70
M1Indent=2
M2Left=6
M2Right=66
M2Indent=1
M3Left=3
M3Right=40
M3Indent=1
M4Left=4
M4Right=50
M4Indent=-4
[Directories]
MacroFolder=/macros
DefaultFolder=/def
[Tools]
MinimumSpace=3
[AutoSave]
Interval=120000
Enabled=0
)";

// Section/key -> value of an ini file, names in lower case.
std::map<std::string, std::string> Snapshot(const std::string& Path)
{
    std::map<std::string, std::string> M;
    const TIniFile Ini(Path);
    for (const std::string& S : Ini.ReadSections())
        for (const std::string& K : Ini.ReadSection(S))
            M[QString::fromStdString(S + "/" + K).toLower().toStdString()] = Ini.ReadString(S, K, "");
    return M;
}

class Settings : public AppWindowFixture {
protected:
    void SetUp() override
    {
        AppWindowFixture::SetUp();
        Write("defaults.ini", ReadDefaults);
        Write("changed.ini", AllChanged);
    }
    // Saves the settings in effect and compares every key with the file Expected.
    void ExpectSaved(const std::string& Expected, const char* Where)
    {
        std::remove(Path("Narvo.ini").c_str());
        SaveSettings();
        EXPECT_EQ(Snapshot(Path("Narvo.ini")), Snapshot(Path(Expected))) << Where;
    }
};

TEST_F(Settings, NoFileGivesTheReadDefaults)
{
    Form->StatusBar2->hide();
    Form->resize(900, 700);
    LoadSettings();
    EXPECT_FALSE(Exists("Narvo.ini"));  // reading writes nothing
    EXPECT_EQ(Form->size(), QSize(574, 314));
    EXPECT_FALSE(Form->Editor2->CtrlZMode);
    ExpectSaved("defaults.ini", "no file");
}

TEST_F(Settings, EveryKeyRoundTripsAndReachesBothPanes)
{
    Write("Narvo.ini", AllChanged);
    LoadSettings();
    for (TScrollEditor* P : {Form->MainEditor, Form->Editor2}) {
        EXPECT_EQ(P->ScrollBars(), ssVertical);
        EXPECT_EQ(P->HighlightColor(), 658188u);
        EXPECT_EQ(P->font().pointSize(), 14);
        EXPECT_TRUE(P->font().bold() && P->font().underline() && !P->font().italic());  // style bits 5
        EXPECT_EQ(P->SpacesPerTab(), 4);
        EXPECT_TRUE(P->CtrlZMode);
    }
    EXPECT_TRUE(Form->TextRuler->isHidden());
    EXPECT_EQ(ReopenMenu().Limit, 12);
    ExpectSaved("changed.ini", "changed");
    // The window size is written on its own, and only by SaveFormSize.
    EXPECT_FALSE(TIniFile("Narvo.ini").ValueExists("Form", "FormWidth"));
    Form->resize(600, 400);
    SaveFormSize();
    SetFactoryDefaults();
    LoadSettings();
    EXPECT_EQ(Form->size(), QSize(600, 400));
}

TEST_F(Settings, FactoryValuesLeaveTheSecondStatusBarFoldersAndAutoSave)
{
    Write("Narvo.ini", AllChanged);
    LoadSettings();
    std::remove(Path("Narvo.ini").c_str());
    SetFactoryDefaults();
    EXPECT_FALSE(Exists("Narvo.ini"));
    EXPECT_TRUE(Form->MainEditor->CtrlZMode && Form->Editor2->CtrlZMode);
    EXPECT_TRUE(Form->StatusBar2->isHidden());
    EXPECT_FALSE(Form->StatusBar->isHidden());
    EXPECT_EQ(MacroFolder, "/macros");
    EXPECT_EQ(MinimumSpace, 3);
    EXPECT_EQ(AutoSaveInterval, 120000);
    EXPECT_EQ(Form->MainEditor->CursorWidth(), 3);
    EXPECT_EQ(MarginPresets[3].Indent, 5);
}

TEST_F(Settings, BadValuesLoadTheDefaults)
{
    Write("Narvo.ini",
          "[Flags]\nScrollStyle=7\nAppendEOF=yes\nShowStatus2=maybe\n"
          "[Screen]\nFontColor=-5\nScreenColor=0x1000000\nFontSize=0\nCursorWidth=31\nSpacesPerTab=0\n"
          "HiLiteColor=blue\nFontName=\nShadowLine=x\n"
          "[ScreenMargin]\nLeftMargin=-1\nRightMargin=-99999999\nParaIndent=x\nBellColumn=-3\n"
          "[PrintMargin]\nLeftWhite=1,5\nRightWhite=nan\nTopWhite=-1\nBottomWhite=1e300\n"
          "[Form]\nFormWidth=0\nFormHeight=-314\n"
          "[Menus]\nRopenLimit=0\n"
          "[Margins]\nM4Left=80\nM4Right=10\nM4Indent=5\n"
          "[Tools]\nMinimumSpace=4\n"
          "[AutoSave]\nInterval=5999\nEnabled=\n");
    LoadSettings();
    EXPECT_EQ(Form->size(), QSize(574, 314));
    ExpectSaved("defaults.ini", "bad values");
    // A right margin left of the left margin reads back as `M50,40` set it; "1.5" is
    // read whatever the locale's separator.
    Write("Narvo.ini", "[ScreenMargin]\nLeftMargin=50\nRightMargin=40\n[PrintMargin]\nLeftWhite=1.5\n");
    LoadSettings();
    EXPECT_EQ(LeftMargin, 50);
    EXPECT_EQ(RightMargin, 40);
    EXPECT_EQ(PrintMargins.Left, 1.5);
}

TEST_F(Settings, TheFileNameHasNoCase)
{
    Write("narvo.ini", "[ScreenMargin]\nRightMargin=66\n[Other]\nKeep=1\n");
    LoadSettings();
    EXPECT_EQ(RightMargin, 66);
    SaveSettings();
    EXPECT_FALSE(Exists("Narvo.ini"));
    const std::string Text = Read("narvo.ini");
    EXPECT_NE(Text.find("Keep=1"), std::string::npos);  // other sections stay
    EXPECT_NE(Text.find("FontName=FixedSys"), std::string::npos);
}

TEST_F(Settings, AFileThatCannotBeReadIsNeverReplaced)
{
    Write("Narvo.ini", "[Favorites]\nF0=/precious\n");
    SetFileFaultHook([](TFileStep Step, const std::string&) { return Step == TFileStep::Read ? EIO : 0; });
    LoadSettings();
    EXPECT_THROW(SaveSettings(), EFileError);
    EXPECT_THROW(SaveFormSize(), EFileError);
    SetFileFaultHook({});
    EXPECT_EQ(Read("Narvo.ini"), "[Favorites]\nF0=/precious\n");
}

// Another window on the same settings folder saved its settings after this one read
// the file: this window's Save writes only what it changed itself.
TEST_F(Settings, SaveWritesOnlyTheKeysThisWindowChanged)
{
    Write("Narvo.ini", "[Screen]\nShadowLine=0\n[Flags]\nWrapFlag=0\n");
    LoadSettings();
    {
        TIniFile Other("Narvo.ini");  // the other window's Save
        Other.WriteBool("Screen", "ShadowLine", true);
    }
    WrapFlag = true;
    SaveSettings();
    const TIniFile Ini("Narvo.ini");
    EXPECT_TRUE(Ini.ReadBool("Screen", "ShadowLine", false));
    EXPECT_TRUE(Ini.ReadBool("Flags", "WrapFlag", false));
    EXPECT_EQ(Ini.ReadString("Screen", "FontName", ""), "FixedSys");  // keys the file lacked are written
}

// What `M` sets is saved and read back as it was set, not as the defaults.
TEST_F(Settings, MarginsOfAnyColumnReadBackAsSaved)
{
    LoadSettings();
    for (const auto& [L, R, I, B] : {std::tuple{40000, 50000, 3, 99999}, std::tuple{50, 20, 0, 72}}) {
        LeftMargin = L;
        RightMargin = R;
        ParaIndent = I;
        BellColumn = B;
        SaveSettings();
        SetFactoryDefaults();
        LoadSettings();
        EXPECT_EQ(std::tuple(LeftMargin, RightMargin, ParaIndent, BellColumn), std::tuple(L, R, I, B));
    }
}

// A settings file the user made read-only is written only after the question the
// document's Save asks.
TEST_F(Settings, AReadOnlyFileIsWrittenOnlyAfterYes)
{
    Write("Narvo.ini", "[Flags]\nWrapFlag=0\n");
    ASSERT_EQ(chmod(Path("Narvo.ini").c_str(), 0444), 0);
    LoadSettings();
    WrapFlag = true;
    Boxes.Answers = {mrNo};
    SaveSettings();
    EXPECT_EQ(LastAsked(), "The file is read-only. Save anyway?");
    EXPECT_EQ(Read("Narvo.ini"), "[Flags]\nWrapFlag=0\n");
    Boxes.Answers = {mrNo};
    SaveFormSize();
    EXPECT_EQ(Boxes.Asked.size(), 2u);
    EXPECT_EQ(Read("Narvo.ini"), "[Flags]\nWrapFlag=0\n");
    Boxes.Answers = {mrYes};
    SaveSettings();
    EXPECT_TRUE(TIniFile("Narvo.ini").ReadBool("Flags", "WrapFlag", false));
}

// A folder name the file cannot hold is left out, said, and the rest written whole.
TEST_F(Settings, AFolderNameWithALineBreakIsLeftOutAndTheRestIsSaved)
{
    LoadSettings();
    MacroFolder = "/a\nb";
    AutoSaveInterval = 120000;
    EXPECT_NO_THROW(SaveSettings());
    EXPECT_NE(LastAsked().find("MacroFolder: \"/a\nb\""), std::string::npos) << LastAsked();
    const TIniFile Ini("Narvo.ini");
    EXPECT_EQ(Ini.ReadInteger("AutoSave", "Interval", 0), 120000);
    EXPECT_FALSE(Ini.ValueExists("Directories", "MacroFolder"));
}

// Another window holds the settings folder's lock (stopped halfway through a write):
// Save User Settings says that it waits, goes on painting without taking timers or
// keys meanwhile, and says which files it wrote without the lock once it gave up.
TEST_F(Settings, SaveUserSettingsSaysItWaitsForAnotherWindowsLockAndWhatItDidThen)
{
    struct TPaints : QObject {
        std::vector<QString> Texts;
        int Ticks = 0, TicksAtPaint = -1;
        bool eventFilter(QObject* Watched, QEvent* E) override
        {
            if (E->type() == QEvent::Paint) {
                Texts.push_back(static_cast<QLabel*>(Watched)->text());
                if (TicksAtPaint < 0 && Texts.back().contains("Working: waiting for process"))
                    TicksAtPaint = Ticks;
            }
            return false;
        }
    } Paints;
    const std::chrono::milliseconds Before = TFolderLock::Patience;
    TFolderLock::Patience = std::chrono::milliseconds(700);
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    LoadSettings();
    WrapFlag = true;
    Form->StatusDis->installEventFilter(&Paints);
    QTimer Ticker;
    QObject::connect(&Ticker, &QTimer::timeout, [&] { ++Paints.Ticks; });
    Ticker.start(1);
    const int Fd = ::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_EQ(::flock(Fd, LOCK_EX | LOCK_NB), 0);
    const int TicksBefore = Paints.Ticks;
    Form->Menus->SaveSettingsMnu->trigger();
    const int TicksAfter = Paints.Ticks;
    Ticker.stop();
    ::close(Fd);
    TFolderLock::Patience = Before;

    ASSERT_GE(Paints.TicksAtPaint, 0) << "the status line showed the wait while it lasted";
    EXPECT_EQ(TicksAfter, TicksBefore) << "no timer ran in the middle of the save";
    const auto Waiting = std::find_if(Paints.Texts.begin(), Paints.Texts.end(),
                                      [](const QString& T) { return T.contains("Working: waiting for process"); });
    EXPECT_TRUE(Waiting->contains(QString::fromStdString(Folder))) << Waiting->toStdString();
    EXPECT_TRUE(Waiting->contains("process " + QString::number(::getpid()))) << Waiting->toStdString();
    EXPECT_TRUE(Boxes.Asked.empty()) << "the box waits for the save to end";
    QCoreApplication::processEvents();
    ASSERT_EQ(Boxes.Asked.size(), 1u);
    EXPECT_NE(LastAsked().find("Written without waiting longer"), std::string::npos) << LastAsked();
    EXPECT_NE(LastAsked().find(Path("Narvo.ini")), std::string::npos) << LastAsked();
    EXPECT_TRUE(TIniFile("Narvo.ini").ReadBool("Flags", "WrapFlag", false)) << "written all the same";
    EXPECT_TRUE(StatusMessageIsError());
    EXPECT_NE(StatusMessage().find("without the lock"), std::string::npos) << StatusMessage();
}

// The command lines are written as the window closes: after the wait the user is told
// that they went without the lock, before the window is gone.
TEST_F(Settings, CommandLinesWrittenAtCloseWithoutAnotherWindowsLockAreSaid)
{
    const std::chrono::milliseconds Before = TFolderLock::Patience;
    TFolderLock::Patience = std::chrono::milliseconds(400);
    CommandLines().Lines[7] = "Iclosing";
    const int Fd = ::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_EQ(::flock(Fd, LOCK_EX | LOCK_NB), 0);
    Form.reset();
    ::close(Fd);
    TFolderLock::Patience = Before;
    ASSERT_EQ(Boxes.Asked.size(), 1u);
    EXPECT_NE(LastAsked().find("Written without waiting longer"), std::string::npos) << LastAsked();
    EXPECT_NE(LastAsked().find(Path("Narvo.ini")), std::string::npos) << LastAsked();
    EXPECT_TRUE(TIniFile("Narvo.ini").ValueExists("CurrentMacros", "Macro7"));
    CommandLines().Lines[7].clear();
}

}  // namespace
}  // namespace narvo
