// Macros: macro files round-trip any byte, merge over the table, a file that cannot
// be read is refused with the table untouched and a damaged one loads what it can; the command lines survive
// the main window; the macro dialog moves command lines into the table and back.
#include "AppWindowFixture.h"

#include "app/MacroDialog.h"
#include "language/CommandLines.h"
#include "language/Macros.h"
#include "support/FileDialogDriver.h"

#include <QToolButton>
#include <sys/stat.h>

namespace narvo {
namespace {

TMacroTable Filled(const std::string& Prefix)
{
    TMacroTable T;
    for (int I = 0; I < MacroTableSize; ++I)
        T[static_cast<std::size_t>(I)] = TMacroEntry{Prefix + std::to_string(I), "N" + Prefix + std::to_string(I)};
    return T;
}

class MacroFiles : public AppWindowFixture {
protected:
    void SetUp() override
    {
        AppWindowFixture::SetUp();
        MacroTable = TMacroTable{};
        CurrentMacroFile.clear();
        CommandLines() = TCommandLineStore();
    }
};

TEST_F(MacroFiles, RoundTripKeepsControlCharactersAndEquals)
{
    TMacroTable T;
    T[0] = {"Iabc\x1b", "first"};
    T[1] = {std::string("a=b\r\n\x00\xff[x]", 10), "name = with equals"};
    T[2] = {"", "empty text"};
    SaveMacroFile(Path("m.nrv"), T, MacroTableSize);
    const std::string Bytes = Read("m.nrv");
    EXPECT_NE(Bytes.find("Count=30"), std::string::npos);
    EXPECT_NE(Bytes.find("Macro1=496162631B"), std::string::npos);
    EXPECT_NE(Bytes.find("Name30="), std::string::npos);

    TMacroTable Back = Filled("old");
    LoadMacroFile(Path("m.nrv"), Back);
    for (int I = 0; I < MacroTableSize; ++I) {
        EXPECT_EQ(Back[static_cast<std::size_t>(I)].Macro, T[static_cast<std::size_t>(I)].Macro) << I;
        EXPECT_EQ(Back[static_cast<std::size_t>(I)].Name, T[static_cast<std::size_t>(I)].Name) << I;
    }
}

TEST_F(MacroFiles, ShortFileMergesAndOtherSectionsStay)
{
    Write("m.nrv", "[Mine]\nKeep=1\n[Macros]\nCount=2\nName1=a\nMacro1=41\nName2=b\nMacro2=\n");
    TMacroTable T = Filled("x");
    LoadMacroFile(Path("m.nrv"), T);
    EXPECT_EQ(T[0].Name, "a");
    EXPECT_EQ(T[0].Macro, "A");
    EXPECT_EQ(T[1].Macro, "");
    EXPECT_EQ(T[2].Macro, "x2");  // beyond Count: kept
    SaveMacroFile(Path("m.nrv"), T, 3);
    EXPECT_NE(Read("m.nrv").find("[Mine]\nKeep=1"), std::string::npos);
}

TEST_F(MacroFiles, UnreadableFilesAreRefusedAndTheTableStays)
{
    TMacroTable T = Filled("k");
    EXPECT_THROW(LoadMacroFile(Path("missing.nrv"), T), EMacroFileError);
    EXPECT_THROW(LoadMacroFile(Folder, T), EMacroFileError);  // a folder is no macro file
    EXPECT_EQ(T[0].Macro, "k0");
    EXPECT_EQ(T[1].Name, "Nk1");
}

// Whatever a damaged file holds loads: missing keys and values that are not hex as
// empty entries, the first 30 of a longer file; the report names the rest, and the
// file itself is only read.
TEST_F(MacroFiles, DamagedFilesLoadWhatTheyCanAndSaySo)
{
    struct TCase {
        const char* What;
        const char* Text;
        int Loaded;
        std::vector<int> Missing, NotHex;
        bool NoCount, Skipped;
        const char* First;  // entry 0's text afterwards
    };
    // Entries 1 to 30 but one: those a long file lacks.
    auto AllBut = [](int N) {
        std::vector<int> V;
        for (int K = 1; K <= MacroTableSize; ++K)
            if (K != N)
                V.push_back(K);
        return V;
    };
    const TCase Cases[] = {
        {"no section", "[Other]\nCount=1\n", 0, {}, {}, true, false, "k0"},
        {"no count", "[Macros]\nName1=a\nMacro1=41\n", 0, {}, {}, true, false, "k0"},
        {"count not a number", "[Macros]\nCount=two\n", 0, {}, {}, true, false, "k0"},
        {"negative count", "[Macros]\nCount=-1\n", 0, {}, {}, true, false, "k0"},
        {"count above 30", "[Macros]\nCount=31\nMacro1=41\nMacro31=42\n", 30, AllBut(1), {}, false, true, "A"},
        {"huge count", "[Macros]\nCount=99999999999\nMacro2=42\n", 30, AllBut(2), {}, false, true, ""},
        {"missing name", "[Macros]\nCount=2\nName1=a\nMacro1=41\nMacro2=42\n", 2, {}, {}, false, false, "A"},
        {"missing macro", "[Macros]\nCount=2\nName1=a\nMacro1=41\nName2=b\n", 2, {2}, {}, false, false, "A"},
        {"not hex", "[Macros]\nCount=2\nName1=a\nMacro1=4G\nName2=b\nMacro2=42\n", 2, {}, {1}, false, false, ""},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.What);
        Write("bad.nrv", C.Text);
        TMacroTable T = Filled("k");
        const TMacroLoadReport R = LoadMacroFile(Path("bad.nrv"), T);
        EXPECT_EQ(R.Loaded, C.Loaded);
        EXPECT_EQ(R.Missing, C.Missing);
        EXPECT_EQ(R.NotHex, C.NotHex);
        EXPECT_EQ(R.NoCount, C.NoCount);
        EXPECT_EQ(R.Skipped, C.Skipped);
        EXPECT_EQ(T[0].Macro, C.First);
        // Entries the file does not reach keep what they held.
        EXPECT_EQ(T[29].Macro, C.Loaded == 30 ? "" : "k29");
        EXPECT_EQ(Read("bad.nrv"), C.Text);
    }
    Write("bad.nrv", "[Macros]\nCount=40\nMacro1=4G\nName2=b\n");
    TMacroTable T;
    EXPECT_EQ(LoadMacroFile(Path("bad.nrv"), T).Text(),
              "Macros: 30 entries loaded; entries 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, "
              "22, 23, 24, 25, 26, 27, 28, 29, 30 empty (no Macro key); entry 1 empty (not hexadecimal); entries after "
              "the 30th skipped");
}

TEST_F(MacroFiles, InsertAndDeleteShiftTheTable)
{
    TMacroTable T = Filled("e");
    InsertMacroEntry(T, "a name much longer than twenty", "new", 0);
    EXPECT_EQ(T[0].Name, "a name much longer t");
    EXPECT_EQ(T[0].Macro, "new");
    EXPECT_EQ(T[1].Macro, "e0");
    EXPECT_EQ(T[29].Macro, "e28");  // e29 pushed out
    DeleteMacroEntry(T, 0);
    EXPECT_EQ(T[0].Macro, "e0");
    EXPECT_EQ(T[29].Macro, "");
    EXPECT_EQ(T[29].Name, "");
}

TEST_F(MacroFiles, CommandLinesAreSavedOnCloseAndLoadedAtStart)
{
    TCommandHost& H = *CommandHost();
    CommandLines().Lines[2] = "two";
    CommandLines().SelectCmdLine(H, 3);
    H.SetCmdEditorText("I=\x1b\x7fx");  // typed, not yet stored
    Form.reset();
    const std::string Ini = Read("Narvo.ini");
    EXPECT_NE(Ini.find("[CurrentMacros]"), std::string::npos);
    EXPECT_NE(Ini.find("Macro2=74776F"), std::string::npos);
    EXPECT_NE(Ini.find("Macro3=493D1B7F78"), std::string::npos);
    EXPECT_NE(Ini.find("CurrentInx=3"), std::string::npos);

    CommandLines() = TCommandLineStore();
    Form = std::make_unique<TForm1>();
    EXPECT_EQ(CommandLines().Current, 3);
    EXPECT_EQ(CommandLines().Lines[2], "two");
    EXPECT_EQ(CommandLines().Lines[3], "I=\x1b\x7fx");
    EXPECT_EQ(CommandHost()->CmdEditorText(), "I=\x1b\x7fx");

    // A line number outside 0 to 31 leaves line 0 current.
    Write("Narvo.ini", "[CurrentMacros]\nMacro0=41\nCurrentInx=32\n");
    Form = std::make_unique<TForm1>();
    EXPECT_EQ(CommandLines().Current, 0);
    EXPECT_EQ(CommandHost()->CmdEditorText(), "A");
}

TEST_F(MacroFiles, DialogMovesCommandLinesIntoTheTableAndBack)
{
    for (int K = 0; K < TCommandLineStore::LineCount; ++K)
        CommandLines().Lines[static_cast<std::size_t>(K)] = "L" + std::to_string(K);
    MacroTable = Filled("t");
    TMacroDlg D;
    CommandLines().SelectCmdLine(*CommandHost(), 5);
    D.GetComLineBtnClick();  // row 1
    EXPECT_EQ(MacroTable[0].Name, "Com Line# 5");
    EXPECT_EQ(MacroTable[0].Macro, "L5");
    EXPECT_EQ(MacroTable[29].Macro, "t28");
    EXPECT_EQ(D.MacroGrid->item(0, 1)->text().toStdString(), "Com Line# 5");

    D.SelectEntry(20);
    D.GetAllComBtnClick();
    EXPECT_EQ(MacroTable[19].Macro, "t18");
    EXPECT_EQ(MacroTable[20].Name, "Com Line# 0");
    EXPECT_EQ(MacroTable[29].Macro, "L9");

    D.SelectEntry(0);
    D.MoveUpBtnClick();  // first row: nothing
    EXPECT_EQ(MacroTable[0].Macro, "L5");
    D.MoveDownBtnClick();
    EXPECT_EQ(MacroTable[1].Macro, "L5");
    EXPECT_EQ(D.SelectedEntry(), 1);
    D.SelectEntry(29);
    D.MoveDownBtnClick();  // last row: nothing
    EXPECT_EQ(MacroTable[29].Macro, "L9");

    D.SelectEntry(1);
    D.SetComLineBtnClick();
    EXPECT_EQ(CommandHost()->CmdEditorText(), "L5");
    D.SelectEntry(25);
    D.SetAllComBtnClick();
    EXPECT_EQ(CommandLines().Lines[0], "L5");   // entry 25 held line 5
    EXPECT_EQ(CommandLines().Lines[4], "L9");
    EXPECT_EQ(CommandLines().Lines[5], "L5");   // beyond the table's end: kept
    EXPECT_EQ(CommandHost()->CmdEditorText(), "L5");

    // A typed name is cut to 20 characters.
    D.MacroGrid->item(3, 1)->setText(QStringLiteral("123456789012345678901234"));
    EXPECT_EQ(MacroTable[3].Name, "12345678901234567890");
}

TEST_F(MacroFiles, DialogNeverSavesOverWhatItCouldNotRead)
{
    Write("bad.nrv", "[Macros]\nCount=1\nName1=a\nMacro1=zz\n");
    MacroTable = Filled("t");
    TMacroDlg D;
    Dialogs.Answers = {Path("missing.nrv"), Path("bad.nrv"), Path("good.nrv")};
    D.LoadMacroBtn->click();  // cannot be read: refused with its reason
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_NE(Errors[0].find("missing.nrv"), std::string::npos);
    EXPECT_EQ(MacroTable[0].Macro, "t0");
    D.LoadMacroBtn->click();  // loads with entry 1 empty, and says so
    EXPECT_EQ(Errors.size(), 1u);
    EXPECT_EQ(StatusMessage(), "Macros: 1 entry loaded; entry 1 empty (not hexadecimal); Save asks for a new name");
    EXPECT_EQ(MacroTable[0].Name, "a");
    EXPECT_EQ(MacroTable[0].Macro, "");
    EXPECT_EQ(MacroTable[1].Macro, "t1");
    EXPECT_EQ(CurrentMacroFile, "");
    D.SaveMacroBtn->click();  // no current file: asks for a name
    EXPECT_EQ(CurrentMacroFile, Path("good.nrv"));
    EXPECT_EQ(Read("bad.nrv"), "[Macros]\nCount=1\nName1=a\nMacro1=zz\n");
    TMacroTable Back;
    LoadMacroFile(Path("good.nrv"), Back);
    EXPECT_EQ(Back[29].Macro, "t29");
}

TEST_F(MacroFiles, DialogAsksBeforeWritingAReadOnlyMacroFile)
{
    SaveMacroFile(Path("kept.nrv"), Filled("k"), MacroTableSize);
    const std::string Kept = Read("kept.nrv");
    ::chmod(Path("kept.nrv").c_str(), 0444);
    TMacroDlg D;
    Dialogs.Answers = {Path("kept.nrv"), Path("kept.nrv")};
    D.LoadMacroBtn->click();
    ASSERT_EQ(CurrentMacroFile, Path("kept.nrv"));
    MacroTable[0].Macro = "changed";
    Boxes.Answers = {mrNo};
    D.SaveMacroBtn->click();
    EXPECT_EQ(LastAsked(), ReadOnlyQuestion);
    EXPECT_EQ(Read("kept.nrv"), Kept);
    Boxes.Answers = {mrNo};
    D.SaveAsBtn->click();  // the same name through Save As
    EXPECT_EQ(Boxes.Asked.size(), 2u);
    EXPECT_EQ(Read("kept.nrv"), Kept);
    Boxes.Answers = {mrYes};
    D.SaveMacroBtn->click();
    TMacroTable Back;
    LoadMacroFile(Path("kept.nrv"), Back);
    EXPECT_EQ(Back[0].Macro, "changed");
}

// Another program (or another window) writes the macro file after it was loaded:
// Save asks before it replaces that, No keeps it and says so; what this window
// saved itself is replaced unasked.
TEST_F(MacroFiles, SaveAsksBeforeReplacingAMacroFileChangedSinceItWasLoaded)
{
    SaveMacroFile(Path("shared.nrv"), Filled("s"), MacroTableSize);
    TMacroDlg D;
    Dialogs.Answers = {Path("shared.nrv")};
    D.LoadMacroBtn->click();
    ASSERT_EQ(CurrentMacroFile, Path("shared.nrv"));
    // The other window renames its second entry.
    TMacroTable Other;
    LoadMacroFile(Path("shared.nrv"), Other);
    Other[1].Name = "other";
    SaveMacroFile(Path("shared.nrv"), Other, MacroTableSize);
    const std::string Theirs = Read("shared.nrv");
    ASSERT_NE(Theirs.find("Name2=other"), std::string::npos);

    MacroTable[0].Macro = "mine";
    Boxes.Answers = {mrNo};
    D.SaveMacroBtn->click();
    ASSERT_EQ(Boxes.Asked.size(), 2u);
    EXPECT_EQ(Boxes.Asked[0].Text, ChangedFileQuestion(Path("shared.nrv"), false, "loaded"));
    EXPECT_EQ(Boxes.Asked[1].Text, NotWrittenText(Path("shared.nrv")) + ".");
    EXPECT_EQ(Read("shared.nrv"), Theirs);

    Boxes.Answers = {mrYes};
    D.SaveMacroBtn->click();
    TMacroTable Back;
    LoadMacroFile(Path("shared.nrv"), Back);
    EXPECT_EQ(Back[0].Macro, "mine");
    // Saved by this window: saving again asks nothing, also after Save As.
    MacroTable[0].Macro = "again";
    D.SaveMacroBtn->click();
    Dialogs.Answers = {Path("copy.nrv")};
    D.SaveAsBtn->click();
    MacroTable[0].Macro = "third";
    D.SaveMacroBtn->click();
    EXPECT_EQ(Boxes.Asked.size(), 3u);
    LoadMacroFile(Path("copy.nrv"), Back);
    EXPECT_EQ(Back[0].Macro, "third");
}

// A Macro Directory whose name is not UTF-8: Load opens the real dialog in that
// folder itself, and the file chosen there is the one loaded.
TEST_F(MacroFiles, LoadOpensAMacroFolderWhoseNameIsNotUtf8)
{
    const std::string Cafe = Path("caf\xE9");
    ASSERT_EQ(::mkdir(Cafe.c_str(), 0700), 0);
    SaveMacroFile(Cafe + "/m.nrv", Filled("c"), MacroTableSize);
    MacroFolder = Cafe;
    TFileDialogs* Scripted = SetFileDialogs(nullptr);
    TMacroDlg D;
    const test::TSeen Seen = test::AcceptInDialog([&] { D.LoadMacroBtn->click(); }, "m.nrv", "m.nrv");
    SetFileDialogs(Scripted);
    EXPECT_EQ(Seen.Proposed, QString());
    EXPECT_TRUE(Seen.ShowsWanted);
    EXPECT_EQ(CurrentMacroFile, Cafe + "/m.nrv");
    EXPECT_EQ(MacroTable[0].Macro, "c0");
    EXPECT_TRUE(Errors.empty());
}

}  // namespace
}  // namespace narvo
