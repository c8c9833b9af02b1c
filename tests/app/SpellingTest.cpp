// The spelling dialog wired into the main window: the Spell entry walks the active
// pane, and the command language's word check answers from the same engine.
#include "app/Spelling.h"

#include "app/MainWindowMenus.h"
#include "app/Settings.h"
#include "app/ToolHost.h"
#include "AppWindowFixture.h"
#include "tools/SpellDialog.h"
#include "tools/TextToolHooks.h"

#include <QCheckBox>
#include <QLineEdit>
#include <sys/stat.h>

namespace narvo {
namespace {

class SpellingTest : public AppWindowFixture {
protected:
    void SetUp() override
    {
        AppWindowFixture::SetUp();
        InstallTextTools();
        Write("words.dix", "cat\r\nthe\r\n");
    }
    void TearDown() override
    {
        SetToolHost(nullptr);
        AppWindowFixture::TearDown();
    }
    void UseDictionary(const std::string& Name)
    {
        Write("NrvDictionary.ini", "[Files]\nDictionary=" + Path(Name) + "\n");
    }
};

TEST_F(SpellingTest, SpellEntryAndWordCheckShareTheEngine)
{
    UseDictionary("words.dix");
    Main().SetStrings({"the teh cat"});
    Main().GotoPos(TPoint{0, 0});
    SpellCheckNext();
    TSpellingDlg* Dlg = SpellingDlg();
    ASSERT_TRUE(Dlg->isVisible());
    EXPECT_EQ(Dlg->NotFoundEdit->text().toStdString(), "teh");
    Dlg->hide();

    bool NoDictionary = true;
    EXPECT_EQ(CheckSpelling("teh", NoDictionary), -1);
    EXPECT_FALSE(NoDictionary);
    EXPECT_EQ(CheckSpelling("Cat", NoDictionary), 0);
    SaveSettings();
    EXPECT_NE(Read("NrvDictionary.ini").find("IgnoreURLS=1"), std::string::npos);
}

TEST_F(SpellingTest, MissingDictionaryIsReported)
{
    UseDictionary("gone.dix");
    bool NoDictionary = false;
    EXPECT_EQ(CheckSpelling("teh", NoDictionary), 0);
    EXPECT_TRUE(NoDictionary);
    Main().SetStrings({"teh"});
    SpellCheckNext();
    EXPECT_EQ(LastAsked(), DictionaryNotFoundMessage);
}

// A spelling settings file the user made read-only is rewritten neither by Add Not
// Found (which tells it of the user's copy of the word list) nor by Save User
// Settings without the question every writer asks; No keeps it and says so.
TEST_F(SpellingTest, AReadOnlySpellingSettingsFileIsWrittenOnlyAfterYes)
{
    Write("NrvDictionary.ini", "[Options]\nIgnoreURLS=1\n");
    ASSERT_EQ(chmod(Path("NrvDictionary.ini").c_str(), 0444), 0);
    const std::string Kept = Read("NrvDictionary.ini");
    const std::string NotWritten = NotWrittenText(Path("NrvDictionary.ini")) + ".";
    Main().SetStrings({"qzxv"});
    Main().GotoPos(TPoint{0, 0});
    SpellCheckNext();
    TSpellingDlg* Dlg = SpellingDlg();
    ASSERT_TRUE(Dlg->isVisible());
    ASSERT_EQ(Dlg->NotFoundEdit->text().toStdString(), "qzxv");
    Boxes.Answers = {mrNo};
    Dlg->AddNotFoundBtnClick();
    ASSERT_GE(Boxes.Asked.size(), 2u);
    EXPECT_EQ(Boxes.Asked[0].Text, ReadOnlyQuestion);
    EXPECT_EQ(Boxes.Asked[1].Text, NotWritten);
    EXPECT_EQ(Read("NrvDictionary.ini"), Kept);
    EXPECT_NE(Read("NRVSmall.dix").find("qzxv\r\n"), std::string::npos);  // the word is kept all the same

    Dlg->IgnoreURLChk->setChecked(false);
    Boxes.Asked.clear();
    Boxes.Answers = {mrNo};
    Trigger("SaveSettingsMnu");
    ASSERT_EQ(Boxes.Asked.size(), 2u);
    EXPECT_EQ(Boxes.Asked[0].Text, ReadOnlyQuestion);
    EXPECT_EQ(Boxes.Asked[1].Text, NotWritten);
    EXPECT_EQ(Read("NrvDictionary.ini"), Kept);
    Boxes.Answers = {mrYes};
    Trigger("SaveSettingsMnu");
    EXPECT_NE(Read("NrvDictionary.ini").find("IgnoreURLS=0"), std::string::npos);
    // Nothing changed since: nothing to write, nothing asked.
    const auto Asked = Boxes.Asked.size();
    Trigger("SaveSettingsMnu");
    EXPECT_EQ(Boxes.Asked.size(), Asked);
}

}  // namespace
}  // namespace narvo
