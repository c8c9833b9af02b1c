// The program's main window under an address-space limit, each case in a process
// of its own (the limit would bind every test after it): a command line that
// doubles the text ends with "Text Too Large" and Ctrl+O brings the text back, and
// a file too large to open is refused by name with the text that was open kept.
// And where other windows hold most of a control group's limit, an open and a
// transform are refused by that limit's name before they build.
#include "AppWindowFixture.h"
#include "app/CommandLanguage.h"
#include "app/SessionEnd.h"
#include "language/CommandLines.h"
#include "support/ChildUnderLimit.h"

#include <QTest>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cstdlib>

namespace narvo {
namespace {

using test::SanitizedBuild;

class MemoryLimitWindowDeathTest : public AppWindowFixture {
protected:
    void SetUp() override
    {
        GTEST_FLAG_SET(death_test_style, "threadsafe");
        AppWindowFixture::SetUp();
    }
    // Lets the address space grow by Extra bytes from now.
    static void LimitAddressSpace(std::int64_t Extra)
    {
        const rlimit L{static_cast<rlim_t>(MemoryUse().Virtual + Extra), RLIM_INFINITY};
        if (setrlimit(RLIMIT_AS, &L) != 0)
            std::_Exit(5);
    }
    // Ends the child: 0 when Fault is empty, else says it.
    [[noreturn]] static void Finish(const std::string& Fault)
    {
        if (!Fault.empty())
            std::fprintf(stderr, "%s\n", Fault.c_str());
        std::fflush(stderr);
        std::_Exit(Fault.empty() ? 0 : 1);
    }
};

TEST_F(MemoryLimitWindowDeathTest, TheDoublingLineEndsTooLargeAndCtrlOBringsTheTextBack)
{
    if (SanitizedBuild)
        GTEST_SKIP() << "the sanitizers reserve more address space than any limit leaves";
    EXPECT_EXIT(
        {
            Main().SetText("ee\r\n");
            Main().setFocus();
            LimitAddressSpace(std::int64_t{512} << 20);
            // Esc in the pane, the commands, Esc Esc: as typed.
            EscToCmdLine();
            for (char C : std::string("\x12YJ\x1b\x1b"))
                Form->CmdEditor->TypeChar(C);
            CmdEditorKeyPress('\x1b');
            std::string Fault;
            if (StatusMessage() != "Text Too Large" || !StatusMessageIsError())
                Fault += "status \"" + StatusMessage() + "\"; ";
            if (!Errors.empty())
                Fault += "box \"" + Errors.front() + "\"; ";
            if (Main().Strings->TextLength(2) < 100000)
                Fault += "the text never grew; ";
            if (CommandLines().Running)
                Fault += "still running; ";
            QTest::keyClick(&Main(), Qt::Key_O, Qt::ControlModifier);
            if (Main().GetText() != "ee\r\n")
                Fault += "Ctrl+O gave " + std::to_string(Main().Strings->TextLength(2)) + " bytes";
            Finish(Fault);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(MemoryLimitWindowDeathTest, AFileTooLargeToOpenIsNamedAndTheOpenTextStays)
{
    if (SanitizedBuild)
        GTEST_SKIP() << "the sanitizers reserve more address space than any limit leaves";
    Write("kept.txt", "kept\n");
    Write("big.txt", "");
    ASSERT_EQ(::truncate(Path("big.txt").c_str(), std::int64_t{3} << 30), 0);
    Write("lines.txt", std::string(48 << 20, '\n'));
    EXPECT_EXIT(
        {
            std::string Fault;
            if (!OpenTextFile(Path("kept.txt")))
                Finish("kept.txt did not open");
            LimitAddressSpace(std::int64_t{256} << 20);
            // Too large to read, and read but too many lines to hold.
            for (const std::string Name : {"big.txt", "lines.txt"}) {
                Boxes.Asked.clear();
                if (OpenTextFile(Path(Name)))
                    Fault += Name + " opened; ";
                const std::string Said = LastAsked();
                if (Said.find("\"" + Path(Name) + "\"") == std::string::npos ||
                    Said.find("too large for the memory") == std::string::npos)
                    Fault += "said \"" + Said + "\"; ";
                if (Main().GetText() != "kept\n" || CurrentFileName != Path("kept.txt"))
                    Fault += "the open text went; ";
            }
            if (!Errors.empty())
                Fault += "box \"" + Errors.front() + "\"";
            Finish(Fault);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(MemoryLimitWindowDeathTest, ASaveNeedsNoCopyOfTheText)
{
    // Where no memory is left for a second copy of a 64 MB text (a limit shared
    // with other windows that hold the rest), Save, the automatic save and the
    // draft kept at a signal still write it whole.
    if (SanitizedBuild)
        GTEST_SKIP() << "the sanitizers reserve more address space than any limit leaves";
    EXPECT_EXIT(
        {
            std::string Text;
            for (int I = 0; I < (1 << 20); ++I)
                Text += "line of sixty-four bytes, to be saved with no copy made of it\r\n";
            Main().SetText(Text);
            Main().Modified = true;
            LimitAddressSpace(std::int64_t{32} << 20);
            std::string Fault;
            for (const TSaveKind Kind : {TSaveKind::User, TSaveKind::Automatic}) {
                const std::string Name = Path(Kind == TSaveKind::User ? "saved.txt" : "auto.txt");
                if (!SaveTextFile(Name, false, Kind))
                    Fault += Name + " not saved; ";
                struct stat St {};
                if (::stat(Name.c_str(), &St) != 0 || St.st_size != static_cast<off_t>(Text.size()))
                    Fault += Name + " is not the whole text; ";
            }
            Main().Modified = true;
            const TKeptDrafts Kept = KeepDrafts(*Form);
            struct stat St {};
            if (Kept.Written.size() != 1 || ::stat(Kept.Written[0].c_str(), &St) != 0 ||
                St.st_size != static_cast<off_t>(Text.size()))
                Fault += "no whole draft; ";
            if (!Errors.empty())
                Fault += "box \"" + Errors.front() + "\"";
            Finish(Fault);
        },
        ::testing::ExitedWithCode(0), "");
}

class SharedLimitWindowTest : public AppWindowFixture {
protected:
    void TearDown() override
    {
        SetMemoryLimitsForTest(std::nullopt);
        AppWindowFixture::TearDown();
    }
};

TEST_F(SharedLimitWindowTest, WhatOtherWindowsHoldLeavesNoRoomAndTheRefusalNamesTheLimit)
{
    // Other windows of the 2 GB group hold 1,990 MB; half the limit less this
    // window's own memory would still let it read a 64 MB file.
    const std::int64_t MB = 1 << 20;
    Write("kept.txt", "kept\n");
    Write("big.txt", "");
    ASSERT_EQ(::truncate(Path("big.txt").c_str(), 64 * MB), 0);
    ASSERT_TRUE(OpenTextFile(Path("kept.txt")));
    TMemoryLimits L;
    L.Group = L.SharedGroupLimit = 2048 * MB;
    L.SharedGroupUse = 1990 * MB;
    SetMemoryLimitsForTest(L);
    EXPECT_FALSE(OpenTextFile(Path("big.txt")));
    EXPECT_NE(LastAsked().find("\"" + Path("big.txt") + "\": its text (64 MB) is too large for the memory the "
                               "program may use, bounded by the memory limit of its control group, 2,048 MB, of "
                               "which 1,990 MB is in use."),
              std::string::npos)
        << LastAsked();
    EXPECT_TRUE(Main().GetText() == "kept\n");
    EXPECT_EQ(CurrentFileName, Path("kept.txt"));

    // A million tabs to spaces would build 16 MB with 6 MB of room left.
    const std::string Tabs(1 << 20, '\t');
    Main().SetText(Tabs);
    Main().SelectAll();
    L.SharedGroupUse = 2040 * MB;
    SetMemoryLimitsForTest(L);
    Trigger("TabsToSpacesMnu");
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0].rfind("Text Too Large: the operation needs ", 0), 0u) << Errors[0];
    EXPECT_NE(Errors[0].find(", bounded by the memory limit of its control group, 2,048 MB, of which 2,040 MB is "
                             "in use."),
              std::string::npos)
        << Errors[0];
    EXPECT_TRUE(Main().GetText() == Tabs);

    // Steps that copy the highlight before they look at it (taking marks away,
    // sorting): 8 MB of lines would be copied with 6 MB of room left.
    std::string Lines;
    for (int I = 0; I < (1 << 20); ++I)
        Lines += I % 2 ? "b line\n" : "a line\n";
    Main().SetText(Lines);
    for (const char* Step : {"RemoveMarksMnu", "SortHighlightedMnu"}) {
        Errors.clear();
        Main().SelectAll();
        Trigger(Step);
        ASSERT_EQ(Errors.size(), 1u) << Step;
        EXPECT_NE(Errors[0].find("of which 2,040 MB is in use."), std::string::npos) << Errors[0];
        EXPECT_TRUE(Main().GetText() == Lines) << Step;
    }
}

}  // namespace
}  // namespace narvo
