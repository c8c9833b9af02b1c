// The program's main window under an address-space limit, each case in a process
// of its own (the limit would bind every test after it): a command line that
// doubles the text ends with "Text Too Large" and Ctrl+O brings the text back, and
// a file too large to open is refused by name with the text that was open kept.
#include "AppWindowFixture.h"
#include "app/CommandLanguage.h"
#include "language/CommandLines.h"
#include "support/ChildUnderLimit.h"

#include <QTest>
#include <sys/resource.h>

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

}  // namespace
}  // namespace narvo
