// The command lines kept in the settings file by two windows on one settings folder:
// each writes only the lines it changed, and neither writes a read-only file.
#include "language/CommandLines.h"
#include "language/Macros.h"
#include "platform/posix/IniFile.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace narvo {
namespace {

TEST(CommandLinesInFile, AWindowWritesOnlyTheLinesItChanged)
{
    test::TTempFolder Dir;
    const std::string Ini = Dir / "Narvo.ini";
    test::PutFile(Ini, "[CurrentMacros]\nMacro0=41\nCurrentInx=0\n");
    TCommandLineStore A, B;
    LoadCurrentMacros(A, nullptr, Ini);
    LoadCurrentMacros(B, nullptr, Ini);
    A.Lines[1] = "IfromA";
    A.Current = 1;
    SaveCurrentMacros(A, nullptr, Ini);
    const std::string AfterA = test::GetFile(Ini);
    SaveCurrentMacros(B, nullptr, Ini);  // B changed nothing
    EXPECT_EQ(test::GetFile(Ini), AfterA);
    B.Lines[5] = "B";
    SaveCurrentMacros(B, nullptr, Ini);

    TCommandLineStore C;
    LoadCurrentMacros(C, nullptr, Ini);
    EXPECT_EQ(C.Lines[0], "A");
    EXPECT_EQ(C.Lines[1], "IfromA");
    EXPECT_EQ(C.Lines[5], "B");
    EXPECT_EQ(C.Current, 1);

    // Written at exit by the program itself: a file made read-only is left alone.
    const std::string Before = test::GetFile(Ini);
    ASSERT_EQ(chmod(Ini.c_str(), 0444), 0);
    C.Lines[2] = "x";
    SaveCurrentMacros(C, nullptr, Ini);
    EXPECT_EQ(test::GetFile(Ini), Before);
}

}  // namespace
}  // namespace narvo
