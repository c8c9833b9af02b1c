// The spelling engine: dictionary files, the word test with each option, ranked
// suggestions, splits and cleaning the dictionary.
#include "tools/SpellChecker.h"

#include "platform/posix/SafeFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace narvo {
namespace {

class SpellCheckerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char Pattern[] = "/tmp/narvo-spell-XXXXXX";
        Folder = mkdtemp(Pattern);
    }
    void TearDown() override { std::system(("rm -rf '" + Folder + "'").c_str()); }
    std::string Write(const std::string& Name, const std::string& Bytes)
    {
        const std::string Path = Folder + "/" + Name;
        std::ofstream(Path, std::ios::binary) << Bytes;
        return Path;
    }
    std::vector<std::string> Slots() const
    {
        std::vector<std::string> R;
        for (const TSuggestItem& S : C.Suggestions)
            if (S.Score >= 0)
                R.push_back(S.Word);
        return R;
    }
    std::string Folder;
    TSpellChecker C;
};

TEST_F(SpellCheckerTest, LoadsAnyLineEndSortedAndSavesWithCrLf)
{
    const std::string Path = Write("d.dix", "zebra\r\nApple\nmango\rbanana");
    EXPECT_TRUE(C.LoadFromFile(Path));
    EXPECT_TRUE(C.Loaded);
    EXPECT_FALSE(C.Modified);
    EXPECT_EQ(C.Words(), (std::vector<std::string>{"Apple", "banana", "mango", "zebra"}));
    EXPECT_TRUE(C.CheckWord("apple"));  // entries match without regard to case
    EXPECT_TRUE(C.CheckWord("BaNaNa"));
    C.AddWord("Kiwi");
    EXPECT_TRUE(C.Modified);
    C.SaveToFile(Path);
    EXPECT_FALSE(C.Modified);
    EXPECT_EQ(ReadFileBytes(Path), "Apple\r\nbanana\r\nkiwi\r\nmango\r\nzebra\r\n");
}

TEST_F(SpellCheckerTest, MissingFileThrowsAndKeepsTheList)
{
    C.SetWords({"cat"});
    EXPECT_THROW(C.LoadFromFile(Folder + "/none.dix"), EFileError);
    EXPECT_FALSE(C.Loaded);
    EXPECT_TRUE(C.CheckWord("cat"));
}

TEST_F(SpellCheckerTest, CheckWordWithEachOption)
{
    C.SetWords({"cat", "mp3"});
    struct Case {
        const char* Word;
        bool IgnoreNumbers, IgnoreUppercase, Accepted;
    };
    const Case Cases[] = {
        {"cat", false, false, true},      {"CAT", false, false, true},     {"dog", true, true, false},
        {"1999", false, false, true},     {"", false, false, true},        {"mp4", true, false, true},
        {"mp4", false, false, false},     {"mp3", false, false, true},     {"NASA", false, false, false},
        {"NASA", false, true, true},      {"NaSA", false, true, false},    {"N4SA", false, true, true},
        {"ab\x01", false, false, true},   {"caf\xA9", false, false, true}, {"caf\xE9", false, false, false},
    };
    for (const Case& T : Cases) {
        C.IgnoreNumbers = T.IgnoreNumbers;
        C.IgnoreUppercase = T.IgnoreUppercase;
        EXPECT_EQ(C.CheckWord(T.Word), T.Accepted) << T.Word << " " << T.IgnoreNumbers << T.IgnoreUppercase;
    }
}

TEST_F(SpellCheckerTest, IgnoreListAddAndRemove)
{
    C.SetWords({"Apple", "pear", "pear"});
    EXPECT_FALSE(C.CheckWord("Quux"));
    C.IgnoreWord("QUUX");
    EXPECT_TRUE(C.CheckWord("quux"));
    C.ClearIgnoreList();
    EXPECT_FALSE(C.CheckWord("quux"));

    C.AddWord("pear");  // already there: nothing
    EXPECT_EQ(C.WordCount(), 3);
    C.AddWord("bad\nword");
    C.AddWord("");
    EXPECT_EQ(C.WordCount(), 3);

    EXPECT_TRUE(C.RemoveWord("APPLE"));  // stored in another case
    EXPECT_FALSE(C.CheckWord("apple"));
    EXPECT_FALSE(C.RemoveWord("apple"));
    EXPECT_TRUE(C.RemoveWord("pear"));  // one of two copies: still known
    EXPECT_TRUE(C.CheckWord("pear"));
    EXPECT_TRUE(C.RemoveWord("pear"));
    EXPECT_FALSE(C.CheckWord("pear"));
}

TEST(SoundexCodeTest, Codes)
{
    const std::pair<const char*, const char*> Cases[] = {
        {"Robert", "R1630000"}, {"Ashcraft", "A2613000"}, {"Tymczak", "T5220000"},
        {"recieve", "R2100000"}, {"a", "A0000000"},        {"", ""},
    };
    for (const auto& [Word, Code] : Cases)
        EXPECT_EQ(SoundexCode(Word), Code) << Word;
}

TEST_F(SpellCheckerTest, SuggestionsRankedByDistanceThenSound)
{
    C.SetWords({"zzzzzzzzzzzz", "deceive", "recipe", "receive"});
    C.Suggest("recieve", false);
    EXPECT_EQ(C.Suggestions[0].Word, "receive");
    EXPECT_EQ(C.Suggestions[0].Score, 480);
    // Equal scores keep the dictionary's order.
    EXPECT_EQ(Slots(), (std::vector<std::string>{"receive", "recipe", "deceive", "zzzzzzzzzzzz"}));
    EXPECT_EQ(C.Suggestions[2].Score, 470);
    C.UseWordSound = true;
    C.Suggest("recieve", false);
    EXPECT_EQ(C.Suggestions[0].Score, 496);  // equal sound codes: 2 x 8
    EXPECT_EQ(C.Suggestions[2].Score, 470);  // first letters differ: no bonus
    EXPECT_EQ(C.Suggestions[3].Score, 380);  // distance 12: no bonus

    // The misspelt word's case: extra characters take the case of its last one.
    C.SetWords({"hello"});
    C.Suggest("HELO", false);
    EXPECT_EQ(C.Suggestions[0].Word, "HELLO");
    C.Suggest("Helo", false);
    EXPECT_EQ(C.Suggestions[0].Word, "Hello");
}

TEST_F(SpellCheckerTest, FortyEqualScoresKeepDictionaryOrder)
{
    std::vector<std::string> Words;
    for (int I = 0; I < 41; ++I)
        Words.push_back(std::string("ab") + static_cast<char>('a' + I / 26) + static_cast<char>('a' + I % 26));
    C.SetWords(Words);
    C.Suggest("ab##", false);
    EXPECT_EQ(Slots().size(), 40u);
    for (int I = 0; I < 40; ++I) {
        EXPECT_EQ(C.Suggestions[static_cast<std::size_t>(I)].Score, 480);
        EXPECT_EQ(C.Suggestions[static_cast<std::size_t>(I)].Word, C.Words()[static_cast<std::size_t>(I)]);
    }
}

TEST_F(SpellCheckerTest, SplitSuggestions)
{
    C.SetWords({"cat", "the"});
    C.Suggest("thecat", true);
    EXPECT_EQ(C.Suggestions[0].Word, "the cat");
    EXPECT_EQ(C.Suggestions[0].Score, 500);
    EXPECT_EQ(C.Suggestions[1].Word, "the-cat");
    C.SplitSuggestions("TheCat", true, true);
    EXPECT_EQ(Slots(), (std::vector<std::string>{"The-Cat"}));
    C.SplitSuggestions("a", true, false);
    EXPECT_TRUE(Slots().empty());
    // A word far longer than any entry is split nowhere and ranks nothing.
    C.Suggest(std::string(100000, 'x'), true);
    EXPECT_TRUE(Slots().empty());
}

TEST_F(SpellCheckerTest, NormalizeCleansAndCountsDuplicates)
{
    C.SetWords({"  Dog ", "cat", "CAT", "cat\t", "", "dog"});
    std::vector<int> Reports;
    EXPECT_EQ(C.Normalize([&](int P) { Reports.push_back(P); }), 3);
    EXPECT_EQ(C.Words(), (std::vector<std::string>{"cat", "dog"}));
    ASSERT_FALSE(Reports.empty());
    EXPECT_EQ(Reports.back(), 0);
    for (int P : Reports)
        EXPECT_TRUE(P >= 0 && P < 100) << P;

    TSpellChecker Empty;  // no division by an entry count of 0
    EXPECT_EQ(Empty.Normalize([](int) {}), 0);
}

}  // namespace
}  // namespace narvo
