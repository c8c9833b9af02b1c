// Several writers of one settings file: every window of the program opens the same
// "Narvo.ini", reads it, changes its own sections and writes it back. What one
// writes must survive another's write made from an older copy of the file.
#include "platform/posix/IniFile.h"
#include "platform/posix/SafeFile.h"
#include "platform/posix/SettingsFolder.h"
#include "support/ProcessesTogether.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <vector>

namespace narvo {
namespace {

using test::GetFile;
using test::PutFile;
using test::TEnvGuard;
using test::TTempFolder;

TEST(IniMerge, WritersOfOneFileKeepEachOthersChanges)
{
    TTempFolder Dir;
    const std::string Path = Dir / "Narvo.ini";
    PutFile(Path, "; kept\n[Flags]\nWrapFlag=0\n");
    TIniFile Recent(Path), Macros(Path);
    Recent.WriteString("FileHistory", "Path0", "/a.txt");
    Macros.WriteString("CurrentMacros", "Macro0", "4142");
    // Both change one key: the later write wins, the stored spelling stays.
    Recent.WriteString("FLAGS", "wrapflag", "1");
    Macros.WriteString("flags", "WRAPFLAG", "2");
    Macros.UpdateFile();
    Recent.UpdateFile();
    EXPECT_EQ(GetFile(Path), "; kept\n[Flags]\nWrapFlag=1\n\n[CurrentMacros]\nMacro0=4142\n\n[FileHistory]\nPath0=/a.txt\n");
    // The writer now reads what the file holds.
    EXPECT_EQ(Recent.ReadString("CurrentMacros", "Macro0", ""), "4142");

    // A write of the value a writer read still counts: it is the later one.
    TIniFile Stale(Path), Other(Path);
    Other.WriteString("Flags", "WrapFlag", "0");
    Other.UpdateFile();
    Stale.WriteString("Flags", "WrapFlag", "1");
    EXPECT_TRUE(Stale.Modified());
    Stale.UpdateFile();
    EXPECT_EQ(TIniFile(Path).ReadString("Flags", "WrapFlag", ""), "1");

    // A UTF-16 file stays one, whichever writer comes last.
    const auto Wide = [](std::string_view Text) {
        std::string Bytes("\xFF\xFE");
        for (const char C : Text)
            Bytes += std::string{C, '\0'};
        return Bytes;
    };
    PutFile(Path, Wide("[Flags]\r\nWrapFlag=0\r\n"));
    TIniFile First(Path), Second(Path);
    First.WriteString("A", "K", "1");
    Second.WriteString("B", "K", "2");
    First.UpdateFile();
    Second.UpdateFile();
    EXPECT_EQ(GetFile(Path), Wide("[Flags]\r\nWrapFlag=0\r\n\r\n[A]\r\nK=1\r\n\r\n[B]\r\nK=2\r\n"));
}

TEST(IniMerge, ErasedSectionsAndDeletedKeysApplyToTheFileAsItIsNow)
{
    TTempFolder Dir;
    const std::string Path = Dir / "Narvo.ini";
    PutFile(Path, "[FileHistory]\r\nCount=2\r\nPath0=/old0\r\nPath1=/old1\r\n");
    TIniFile Saver(Path);
    {
        TIniFile Other(Path);
        Other.WriteString("FileHistory", "Path2", "/other");
        Other.WriteString("Transfer", "Count", "1");
        Other.WriteString("Transfer", "Title0", "make");
        Other.WriteString("Extra", "Gone", "1");
    }  // written by the destructor
    // The saver never saw what the other wrote; its erase and delete reach it all the same.
    Saver.EraseSection("FileHistory");
    Saver.WriteInteger("FileHistory", "Count", 1);
    Saver.WriteString("FileHistory", "Path0", "/new");
    Saver.EraseSection("Extra");
    Saver.DeleteKey("Transfer", "Title0");
    Saver.UpdateFile();
    EXPECT_EQ(GetFile(Path), "[Transfer]\r\nCount=1\r\n\r\n[FileHistory]\r\nCount=1\r\nPath0=/new\r\n");

    // Changes that change nothing in the file leave it alone, and make no settings
    // folder where none is yet.
    TEnvGuard Env("NARVO_CONFIG_DIR", Dir / "none/narvo");
    {
        TIniFile Unborn("Narvo.ini");
        Unborn.EraseSection("FileHistory");
        Unborn.DeleteKey("Flags", "WrapFlag");
        Unborn.UpdateFile();
    }
    EXPECT_FALSE(FileExists(Dir / "none"));
}

// The file changed under the writer into one that cannot be read back as it is (a
// UTF-16 file with characters that have no byte): the write is refused with the
// file's name, as for a file that could not be read when it was opened.
TEST(IniMerge, AFileTurnedUnreadableMeanwhileIsNotOverwritten)
{
    TTempFolder Dir;
    const std::string Path = Dir / "Narvo.ini";
    PutFile(Path, "[S]\nK=1\n");
    const std::string Wide("\xFF\xFE[\0S\0]\0\n\0K\0=\0\x2D\x4E\n\0", 18);
    {
        TIniFile Ini(Path);
        Ini.WriteString("S", "K", "2");
        PutFile(Path, Wide);
        try {
            Ini.UpdateFile();
            ADD_FAILURE() << "written";
        } catch (const EFileError& E) {
            EXPECT_NE(std::string(E.what()).find(Path), std::string::npos) << E.what();
        }
    }  // nor by the destructor
    EXPECT_EQ(GetFile(Path), Wide);
}

// Windows ending together (a logout) each write their sections at the same moment,
// every one from the file as it was before any of them wrote.
TEST(IniMerge, ProcessesWritingAtOnceKeepEverySection)
{
    TTempFolder Dir;
    const std::string Path = Dir / "Narvo.ini";
    std::string Start = "[Flags]\nWrapFlag=1\n";
    for (int I = 0; I < 2000; ++I)
        Start += "; padding so that reading and writing take a while " + std::to_string(I) + "\n";
    PutFile(Path, Start);
    constexpr int Writers = 8;
    // Every child has read the file before any writes.
    EXPECT_TRUE(test::RunInProcessesTogether(Writers, [&](int I, const std::function<void()>& AllReady) {
        TIniFile Ini(Path);
        Ini.WriteString("Window" + std::to_string(I), "Macro0", std::string(1000, static_cast<char>('a' + I)));
        Ini.WriteInteger("Shared", "Last", I);
        AllReady();
        Ini.UpdateFile();
        return true;
    }));
    const TIniFile Ini(Path);
    for (int I = 0; I < Writers; ++I)
        EXPECT_EQ(Ini.ReadString("Window" + std::to_string(I), "Macro0", "").size(), 1000u) << I;
    EXPECT_EQ(Ini.ReadString("Flags", "WrapFlag", ""), "1");
    const auto Last = Ini.ReadInteger("Shared", "Last", -1);
    EXPECT_TRUE(Last >= 0 && Last < Writers) << Last;
    EXPECT_EQ(Ini.ReadSections().size(), 2u + Writers);
    EXPECT_EQ(Dir.Listing(), "Narvo.ini;");
}

}  // namespace
}  // namespace narvo
