// The spelling dialog driven by script: walking a pane, replacing, ignoring, adding,
// double words, web addresses, a missing dictionary and the settings file.
#include "tools/SpellDialog.h"

#include "editor/ScrollEditor.h"
#include "platform/MessageBoxes.h"
#include "platform/posix/IniFile.h"
#include "platform/ProgramFolder.h"
#include "platform/posix/SafeFile.h"
#include "support/PaneToolHost.h"
#include "support/TempFolder.h"
#include "tools/SpellChecker.h"

#include <QListWidget>
#include <QStackedWidget>
#include <QLineEdit>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>
#include <memory>
#include <string>
#include <sys/stat.h>

namespace narvo {
namespace {

class SpellDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::PutFile(Dict, "cat\r\nmat\r\non\r\nsat\r\nthe\r\n");
        Dlg = std::make_unique<TSpellingDlg>();
        DictionaryFile = Dict;
        Pane = std::make_unique<TScrollEditor>();
        Host.Active = Pane.get();
        SetToolHost(&Host);
    }
    void TearDown() override
    {
        SetToolHost(nullptr);
        Dlg.reset();
        Pane.reset();
    }
    void SetText(const std::vector<std::string>& Lines)
    {
        Pane->SetStrings(Lines);
        Pane->GotoPos(TPoint{0, 0});
    }
    std::string LastMessage() const { return Boxes.Asked.empty() ? "" : Boxes.Asked.back().Text; }

    test::TTempFolder Dir;
    const std::string Folder = Dir.Path(), Dict = Dir / "words.dix";
    test::TEnvGuard Config{"NARVO_CONFIG_DIR", Folder};
    TScriptedMessageBoxes Boxes;
    std::unique_ptr<TSpellingDlg> Dlg;
    std::unique_ptr<TScrollEditor> Pane;
    TPaneToolHost Host;
};

TEST_F(SpellDialogTest, ReplacesTheUnknownWordAndFinishes)
{
    SetText({"the cat sat", "on teh mat"});
    Dlg->SpellCheckNext();
    ASSERT_TRUE(Dlg->isVisible());
    EXPECT_EQ(Dlg->Pages->currentIndex(), 0);
    EXPECT_EQ(Dlg->windowTitle().toStdString(), "Word Not Found");
    EXPECT_EQ(Dlg->NotFoundEdit->text().toStdString(), "teh");
    EXPECT_EQ(Pane->GetMarkedText(), "teh");
    EXPECT_EQ(Dlg->ReplaceEdit->text().toStdString(), "the");  // the best suggestion
    EXPECT_EQ(Dlg->SuggestList->count(), 5);
    Dlg->ReplaceBtnClick();
    EXPECT_EQ(Pane->GetText(), "the cat sat\non the mat");
    EXPECT_FALSE(Dlg->isVisible());
    EXPECT_EQ(LastMessage(), "Finished Spell Checking");
    EXPECT_EQ(Pane->Status, edAtEnd);
    // Started at the very end of the text: finishes at once.
    SetText({"teh"});
    Pane->GotoPos(TPoint{3, 0});
    Boxes.Asked.clear();
    Dlg->SpellCheckNext();
    EXPECT_FALSE(Dlg->isVisible());
    EXPECT_EQ(LastMessage(), "Finished Spell Checking");
}

TEST_F(SpellDialogTest, ReplaceTakesTheWordWhateverThePaneShowedBefore)
{
    // A search match still shown, and the column flag a lone Alt+click leaves.
    for (const bool Column : {false, true}) {
        SetText({"the cat sat", "on teh mat"});
        Pane->HighLight->Found = !Column;
        Pane->HighLight->StartPos = Pane->HighLight->EndPos = TPoint{0, 0};
        if (!Column)
            Pane->HighLight->EndPos = TPoint{3, 0};
        Pane->Cursor->ColumnBlock = Column;
        Dlg->SpellCheckNext();
        ASSERT_EQ(Dlg->NotFoundEdit->text().toStdString(), "teh");
        Dlg->ReplaceBtnClick();
        EXPECT_EQ(Pane->GetText(), "the cat sat\non the mat") << Column;
        Boxes.Asked.clear();
    }
}

TEST_F(SpellDialogTest, IgnoreSkipsOnceIgnoreAllForTheRun)
{
    SetText({"foo cat foo"});
    Dlg->SpellCheckNext();
    EXPECT_EQ(Dlg->NotFoundEdit->text().toStdString(), "foo");
    Dlg->IgnoreBtnClick();
    ASSERT_TRUE(Dlg->isVisible());  // the second foo is reported again
    EXPECT_EQ(Pane->Cursor->Pos().X, 11);
    Pane->GotoPos(TPoint{0, 0});
    Dlg->SpellCheckNext();
    Dlg->IgnoreAllBtnClick();
    EXPECT_FALSE(Dlg->isVisible());
    EXPECT_EQ(LastMessage(), "Finished Spell Checking");
}

TEST_F(SpellDialogTest, AddAndRemoveSaveTheDictionaryAndReport)
{
    SetText({"Narvo cat"});
    Dlg->SpellCheckNext();
    Dlg->AddNotFoundBtnClick();  // in lower case
    EXPECT_EQ(ReadFileBytes(Dict), "cat\r\nmat\r\nnarvo\r\non\r\nsat\r\nthe\r\n");
    EXPECT_EQ(LastMessage(), "Finished Spell Checking");
    Dlg->RemoveEdit->setText("MAT");
    Dlg->RemoveBtnClick();
    EXPECT_EQ(LastMessage(), "Word: MAT Removed");
    EXPECT_EQ(ReadFileBytes(Dict), "cat\r\nnarvo\r\non\r\nsat\r\nthe\r\n");
    Dlg->RemoveBtnClick();
    EXPECT_EQ(LastMessage(), "Word: MAT Not Found");
}

TEST_F(SpellDialogTest, EnterInAFieldPressesItsOwnButtonWithTheTypedWord)
{
    SetText({"on teh mat"});
    Dlg->SpellCheckNext();
    ASSERT_EQ(Dlg->NotFoundEdit->text().toStdString(), "teh");
    Dlg->ReplaceEdit->setText("bazooka");
    QTest::keyClick(Dlg->ReplaceEdit, Qt::Key_Return);
    EXPECT_EQ(Pane->GetText(), "on bazooka mat");
    Dlg->hide();
    // The word to remove on the options page, which stays open.
    Dlg->Pages->setCurrentIndex(1);
    Dlg->show();
    Dlg->RemoveEdit->setText("mat");
    QTest::keyClick(Dlg->RemoveEdit, Qt::Key_Enter);
    EXPECT_EQ(LastMessage(), "Word: mat Removed");
    EXPECT_TRUE(Dlg->isVisible());
    EXPECT_TRUE(Dlg->OkBtn->isDefault());
}

TEST_F(SpellDialogTest, AReadOnlyWordListIsWrittenOnlyWhenTheUserAgrees)
{
    ::chmod(Dict.c_str(), 0444);
    SetText({"Narvo cat"});
    Boxes.Answers = {mrNo};
    Dlg->SpellCheckNext();
    Dlg->AddNotFoundBtnClick();
    ASSERT_FALSE(Boxes.Asked.empty());
    EXPECT_EQ(Boxes.Asked[0].Text, ReadOnlyQuestion);
    EXPECT_EQ(ReadFileBytes(Dict), "cat\r\nmat\r\non\r\nsat\r\nthe\r\n");
    Boxes.Answers = {mrYes};
    Dlg->RemoveEdit->setText("mat");
    Dlg->RemoveBtnClick();
    EXPECT_EQ(ReadFileBytes(Dict), "cat\r\nnarvo\r\non\r\nsat\r\nthe\r\n");
}

TEST_F(SpellDialogTest, DoubleWords)
{
    struct Case {
        std::vector<std::string> Lines;
        bool Double;
    };
    const Case Cases[] = {
        {{"the the cat"}, true}, {{"the", "the cat"}, true}, {{"the, the"}, false},
        {{"the  the"}, false},   {{"1 1"}, false},
    };
    for (const Case& T : Cases) {
        SetText(T.Lines);
        Dlg->SpellCheckNext();
        EXPECT_EQ(Dlg->isVisible(), T.Double) << T.Lines[0];
        Dlg->hide();
    }
    SetText({"on the the mat"});
    Dlg->SpellCheckNext();
    EXPECT_EQ(Dlg->Pages->currentIndex(), 2);
    EXPECT_EQ(Dlg->DoubleWordEdit->text().toStdString(), "the");
    Dlg->DeleteBtnClick();
    EXPECT_EQ(Pane->GetText(), "on the  mat");  // the delimiter before it stays
}

TEST_F(SpellDialogTest, WebAddressesAreSkippedWhileAsked)
{
    // ' ' then '.' is the first part of a host name: not yet inside an address.
    const struct {
        char C, Next;
        bool Inside;
    } Cases[] = {{'/', '.', true}, {'@', ' ', true}, {' ', '@', true}, {'.', ' ', true}, {' ', '.', false}, {' ', ':', false}};
    for (const auto& K : Cases)
        EXPECT_EQ(InWebAddress(K.C, K.Next), K.Inside) << K.C << K.Next;

    SetText({"the joe@exampel.cmo cat"});
    Dlg->IgnoreURLChk->setChecked(true);
    Dlg->SpellCheckNext();
    EXPECT_FALSE(Dlg->isVisible());
    SetText({"on wwx.exampel.cmo"});
    Dlg->SpellCheckNext();
    EXPECT_EQ(Dlg->NotFoundEdit->text().toStdString(), "wwx");
    Dlg->hide();
    SetText({"the joe@exampel.cmo cat"});
    Dlg->IgnoreURLChk->setChecked(false);
    Dlg->SpellCheckNext();
    EXPECT_EQ(Dlg->NotFoundEdit->text().toStdString(), "joe");
}

TEST_F(SpellDialogTest, MissingDictionaryGivesAClearMessage)
{
    DictionaryFile = Folder + "/gone.dix";
    SetText({"teh"});
    EXPECT_FALSE(LoadDictionary());
    Dlg->SpellCheckNext();
    EXPECT_FALSE(Dlg->isVisible());
    ASSERT_EQ(Boxes.Asked.size(), 1u);
    EXPECT_EQ(Boxes.Asked[0].Text, DictionaryNotFoundMessage);
    EXPECT_EQ(Boxes.Asked[0].Type, mtWarning);
}

TEST_F(SpellDialogTest, TheShippedListIsOnlyReadAndTheUsersCopyIsKept)
{
    // The shipped list (the program's folder) is replaced by a test list there only
    // by reading its name; the bytes on disk must stay as they are.
    const std::string Shipped = DefaultDictionaryFile();
    ASSERT_EQ(Shipped, ProgramFolder() + "/NRVSmall.dix");
    const std::string Before = ReadFileBytes(Shipped);
    DictionaryFile = Shipped;
    ASSERT_TRUE(LoadDictionary());
    const std::int64_t Words = SpellChecker->WordCount();
    SetText({"zzyzxq"});
    Dlg->SpellCheckNext();
    ASSERT_EQ(Dlg->NotFoundEdit->text().toStdString(), "zzyzxq");
    Dlg->AddNotFoundBtnClick();
    EXPECT_EQ(ReadFileBytes(Shipped), Before);
    const std::string Copy = Folder + "/NRVSmall.dix";
    EXPECT_EQ(DictionaryFile, Copy);
    const std::string Saved = ReadFileBytes(Copy);
    EXPECT_NE(Saved.find("zzyzxq\r\n"), std::string::npos);
    EXPECT_EQ(static_cast<std::int64_t>(std::count(Saved.begin(), Saved.end(), '\n')), Words + 1);
    struct stat St {};
    ASSERT_EQ(::stat(Copy.c_str(), &St), 0);
    EXPECT_EQ(St.st_mode & 0777, 0600u);
    // The next run finds the copy, by the settings file and by default alike.
    EXPECT_EQ(TIniFile("NrvDictionary.ini").ReadString("Files", "Dictionary", ""), Copy);
    EXPECT_EQ(DefaultDictionaryFile(), Copy);
    // Later changes go to the copy.
    Dlg->RemoveEdit->setText("zzyzxq");
    Dlg->RemoveBtnClick();
    EXPECT_EQ(ReadFileBytes(Copy).find("zzyzxq"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(Shipped), Before);
}

// Another window made the user's copy while this one still names the shipped list:
// this one reads the copy, and its word joins the other window's.
TEST_F(SpellDialogTest, TheCopyAnotherWindowMadeIsReadAndKept)
{
    const std::string Shipped = ProgramFolder() + "/NRVSmall.dix", Copy = Folder + "/NRVSmall.dix";
    DictionaryFile = Shipped;
    ASSERT_TRUE(LoadDictionary());
    TSpellChecker Other;
    Other.LoadFromFile(Shipped);
    Other.AddWord("qqother");
    Other.SaveToFile(Copy, 0600);
    SpellChecker->AddWord("zzyzxq");
    SaveDictionary();
    EXPECT_TRUE(SpellChecker->CheckWord("qqother"));
    EXPECT_EQ(ReadFileBytes(Shipped).find("qqother"), std::string::npos);
    // A window started before the copy existed still names the shipped list.
    DictionaryFile = Shipped;
    ASSERT_TRUE(LoadDictionary());
    EXPECT_EQ(DictionaryFile, Copy);
    EXPECT_TRUE(SpellChecker->CheckWord("qqother") && SpellChecker->CheckWord("zzyzxq"));
}

// The user's copy is made whole or not at all: an empty copy left by a failed write
// would hide the shipped list at the next start.
TEST_F(SpellDialogTest, AFailedFirstSaveLeavesNoCopy)
{
    const std::string Shipped = DefaultDictionaryFile();
    DictionaryFile = Shipped;
    ASSERT_TRUE(LoadDictionary());
    SpellChecker->AddWord("zzyzxq");
    const auto Old = SetFileFaultHook([](TFileStep S, const std::string&) { return S == TFileStep::Write ? ENOSPC : 0; });
    EXPECT_THROW(SaveDictionary(), EFileError);
    SetFileFaultHook(Old);
    EXPECT_FALSE(FileExists(Folder + "/NRVSmall.dix"));
    EXPECT_EQ(DefaultDictionaryFile(), Shipped);
}

// The options accepted without an edit keep the word list's name as it was, also
// one that is not UTF-8: the words added later go to that very file.
TEST_F(SpellDialogTest, OptionsAcceptedUneditedKeepTheListsNameByteForByte)
{
    const std::string Latin1 = Dir / "d\xE9.dix";
    test::PutFile(Latin1, "cat\r\n");
    DictionaryFile = Latin1;
    QTimer::singleShot(0, Dlg.get(), [this] { Dlg->accept(); });
    Dlg->ShowSpellOptions();
    EXPECT_EQ(DictionaryFile, Latin1);
}

TEST_F(SpellDialogTest, SettingsFileRoundTrip)
{
    // Defaults with no file: the shipped dictionary and the switches.
    EXPECT_NE(DefaultDictionaryFile().find("/NRVSmall.dix"), std::string::npos);
    EXPECT_TRUE(SpellChecker->IgnoreNumbers);
    EXPECT_FALSE(SpellChecker->IgnoreUppercase);
    EXPECT_TRUE(Dlg->IgnoreURLChk->isChecked());
    EXPECT_TRUE(Dlg->SplitWordChk->isChecked());
    SpellChecker->IgnoreUppercase = true;
    Dlg->SplitWordChk->setChecked(false);
    Dlg->SaveSpellSettings();
    {
        TIniFile Ini("NrvDictionary.ini");
        EXPECT_EQ(Ini.ReadString("Files", "Dictionary", ""), Dict);
        EXPECT_EQ(Ini.ReadSection("Options"),
                  (std::vector<std::string>{"IgnoreNumbers", "IgnoreUppercase", "IgnoreURLS", "SplitWords"}));
    }
    Dlg = std::make_unique<TSpellingDlg>();
    EXPECT_EQ(DictionaryFile, Dict);
    EXPECT_TRUE(SpellChecker->IgnoreUppercase);
    EXPECT_FALSE(Dlg->SplitWordChk->isChecked());
}

// Two windows on one settings folder: each one's Save writes only the choices it
// changed, so the other's saved choice stays.
TEST_F(SpellDialogTest, SavingKeepsAnotherWindowsSavedChoices)
{
    Dlg->SaveSpellSettings();  // every key in the file
    {
        TIniFile Other("NrvDictionary.ini");  // the other window's Save
        Other.WriteBool("Options", "IgnoreUppercase", true);
    }
    Dlg->SplitWordChk->setChecked(false);
    Dlg->SaveSpellSettings();
    const TIniFile Ini("NrvDictionary.ini");
    EXPECT_TRUE(Ini.ReadBool("Options", "IgnoreUppercase", false));
    EXPECT_FALSE(Ini.ReadBool("Options", "SplitWords", true));
}

}  // namespace
}  // namespace narvo
