// The spelling dialog wired into the main window: the Spell entry walks the active
// pane, and the command language's word check answers from the same engine.
#include "app/Spelling.h"

#include "app/MainWindowMenus.h"
#include "app/Settings.h"
#include "app/ToolHost.h"
#include "AppWindowFixture.h"
#include "tools/SpellDialog.h"
#include "tools/TextToolHooks.h"

#include <QLineEdit>

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

}  // namespace
}  // namespace narvo
