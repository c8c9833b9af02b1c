// The spelling engine: dictionary files, the word test with each option, ranked
// suggestions, splits and cleaning the dictionary, and several programs saving one
// word list.
#include "tools/SpellChecker.h"

#include "platform/posix/FolderLock.h"
#include "platform/posix/SafeFile.h"
#include "support/ProcessesTogether.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <utility>
#include <cstdlib>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

namespace narvo {
namespace {

class SpellCheckerTest : public ::testing::Test {
protected:
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
    test::TTempFolder Dir;
    const std::string Folder = Dir.Path();
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

TEST_F(SpellCheckerTest, SuggestionsRankedByDistanceThenDictionaryOrder)
{
    C.SetWords({"zzzzzzzzzzzz", "deceive", "recipe", "receive", "relieve"});
    C.Suggest("recieve", false);
    // Two neighbours swapped are two edits: relieve (one letter replaced) goes first,
    // and receive ties with recipe, which follows it in the dictionary.
    EXPECT_EQ(Slots(), (std::vector<std::string>{"relieve", "receive", "recipe", "deceive", "zzzzzzzzzzzz"}));
    EXPECT_EQ(C.Suggestions[0].Score, 490);
    EXPECT_EQ(C.Suggestions[1].Score, 480);
    EXPECT_EQ(C.Suggestions[2].Score, 480);
    EXPECT_EQ(C.Suggestions[3].Score, 470);
    C.UseWordSound = true;
    C.Suggest("recieve", false);
    EXPECT_EQ(Slots(), (std::vector<std::string>{"receive", "recipe", "relieve", "deceive", "zzzzzzzzzzzz"}));
    EXPECT_EQ(C.Suggestions[0].Score, 496);  // equal sound codes: 2 x 8
    EXPECT_EQ(C.Suggestions[2].Score, 492);  // R4... against R2...: one character
    EXPECT_EQ(C.Suggestions[3].Score, 470);  // first letters differ: no bonus
    EXPECT_EQ(C.Suggestions[4].Score, 380);  // distance 12: no bonus

    // Equal scores keep the dictionary's order, whatever the sound.
    C.SetWords({"receive", "recaive"});
    for (const bool Sound : {false, true}) {
        C.UseWordSound = Sound;
        C.Suggest("recieve", false);
        EXPECT_EQ(Slots(), (std::vector<std::string>{"recaive", "receive"})) << Sound;
        EXPECT_EQ(C.Suggestions[0].Score, C.Suggestions[1].Score) << Sound;
    }

    // The misspelt word's case: extra characters take the case of its last one.
    C.SetWords({"hello"});
    C.Suggest("HELO", false);
    EXPECT_EQ(C.Suggestions[0].Word, "HELLO");
    C.Suggest("Helo", false);
    EXPECT_EQ(C.Suggestions[0].Word, "Hello");
}

TEST(WordScoreTest, EachLevenshteinEditCostsTen)
{
    const std::tuple<const char*, const char*, int> Cases[] = {
        {"", "", 500},       {"abc", "", 470},          {"recieve", "receive", 480}, {"thier", "their", 480},
        {"ab", "ba", 480},   {"abc", "ca", 470},        {"kitten", "sitting", 470},  {"acheive", "achieve", 480},
        {"Ab", "ab", 490},   {"becuase", "because", 480},
    };
    const TSpellChecker C;
    for (const auto& [A, B, Score] : Cases) {
        EXPECT_EQ(C.WordScore(A, B), Score) << A << " " << B;
        EXPECT_EQ(C.WordScore(B, A), Score) << B << " " << A;
    }
}

TEST_F(SpellCheckerTest, FortyOneWordsOneEditAwayGiveTheFirstFortyInDictionaryOrder)
{
    // Every word one replacement, insertion or deletion from qqqq: their sound codes
    // differ (Q0000000 for those that start with q), their scores do not.
    std::vector<std::string> Words;
    for (std::size_t At = 0; At <= 4; ++At)
        for (char L = 'a'; L <= 'z'; ++L) {
            std::string Inserted = "qqqq";
            Inserted.insert(At, 1, L);
            Words.push_back(Inserted);
            if (At < 4 && L != 'q') {
                std::string Replaced = "qqqq";
                Replaced[At] = L;
                Words.push_back(Replaced);
            }
        }
    Words.push_back("qqq");
    std::sort(Words.begin(), Words.end());
    Words.erase(std::unique(Words.begin(), Words.end()), Words.end());
    Words.resize(41);
    std::reverse(Words.begin(), Words.end());  // the list sorts them
    C.SetWords(Words);
    C.Suggest("qqqq", false);
    ASSERT_EQ(Slots().size(), 40u);
    EXPECT_EQ(Slots(), std::vector<std::string>(C.Words().begin(), C.Words().begin() + 40));
    EXPECT_EQ(C.Suggestions[0].Word, "aqqq");
    EXPECT_EQ(C.Suggestions[1].Word, "aqqqq");
    EXPECT_EQ(C.Suggestions[39].Score, 490);
}

TEST_F(SpellCheckerTest, FortyEqualScoresKeepDictionaryOrder)
{
    // Letters that add nothing to the sound code, so that all 41 sound alike too.
    const std::string Quiet = "aeiouyhw";
    std::vector<std::string> Words;
    for (int I = 0; I < 41; ++I)
        Words.push_back(std::string("ab") + Quiet[static_cast<std::size_t>(I / 8)] + Quiet[static_cast<std::size_t>(I % 8)]);
    C.SetWords(Words);
    C.Suggest("ab##", false);
    EXPECT_EQ(Slots().size(), 40u);
    for (int I = 0; I < 40; ++I) {
        EXPECT_EQ(C.Suggestions[static_cast<std::size_t>(I)].Score, 480);
        EXPECT_EQ(C.Suggestions[static_cast<std::size_t>(I)].Word, C.Words()[static_cast<std::size_t>(I)]);
    }
}

// The shipped word list holds no fragments that would split a misspelt word into
// junk, keeps the real short words, and offers the right word for common
// misspellings: among the suggestions always, and first for most of them once the
// word's sound counts too.
TEST(ShippedWordList, CommonMisspellingsGetTheRightSuggestion)
{
    const char* Source = std::getenv("NARVO_SOURCE_DIR");
    ASSERT_NE(Source, nullptr);
    TSpellChecker C;
    ASSERT_TRUE(C.LoadFromFile(std::string(Source) + "/resources/NRVSmall.dix"));
    ASSERT_GT(C.WordCount(), 90000);
    for (const char* Word : {"a", "I", "an", "of", "to", "is", "it", "ok", "I'm", "this", "sentence", "tense", "the",
                             "Receive", "spelling", "editor", "isn't"})
        EXPECT_TRUE(C.CheckWord(Word)) << Word;
    for (const char* Junk : {"b", "s", "t", "th", "iss", "sen", "ing", "ed", "un", "ca", "wi", "recieve"})
        EXPECT_FALSE(C.CheckWord(Junk)) << Junk;
    C.Suggest("recieve", true);
    EXPECT_EQ(C.Suggestions[0].Score, 490);  // relieve, one edit off

    // Twenty of the most often misspelt English words, as people misspell them.
    const std::pair<const char*, const char*> Misspelt[] = {
        {"accomodate", "accommodate"}, {"acheive", "achieve"},       {"beleive", "believe"},
        {"begining", "beginning"},     {"calender", "calendar"},     {"definately", "definitely"},
        {"embarass", "embarrass"},     {"enviroment", "environment"}, {"existance", "existence"},
        {"goverment", "government"},   {"neccessary", "necessary"},  {"occured", "occurred"},
        {"recieve", "receive"},        {"seperate", "separate"},     {"tommorow", "tomorrow"},
        {"untill", "until"},           {"wierd", "weird"},           {"wich", "which"},
        {"thier", "their"},            {"truely", "truly"},
    };
    auto Offered = [&](const std::string& Want) {
        return std::any_of(C.Suggestions.begin(), C.Suggestions.end(),
                           [&](const TSuggestItem& S) { return S.Word == Want; });
    };
    int Plain = 0, First = 0;
    for (const auto& [Wrong, Want] : Misspelt) {
        C.UseWordSound = false;
        C.Suggest(Wrong, true);
        Plain += Offered(Want);
        C.UseWordSound = true;
        C.Suggest(Wrong, true);
        EXPECT_TRUE(Offered(Want)) << Wrong << " (wanted " << Want << ")";
        First += C.Suggestions[0].Word == Want;
    }
    EXPECT_GE(Plain, 19);  // thier has 40 words one edit away
    EXPECT_GE(First, 17);

    // The two that came out as "T Hiss" and "sen tense" (with the word's sound: else
    // Hiss, as near and earlier in the dictionary, comes first).
    C.Suggest("Thiss", true);
    EXPECT_EQ(C.Suggestions[0].Word, "This");
    C.Suggest("sentense", true);
    EXPECT_EQ(C.Suggestions[0].Word, "sentence");
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

// Two windows on one word list, each saving the list it read with its own change:
// the second keeps what the first saved, and both then hold the file's words.
TEST_F(SpellCheckerTest, SavingKeepsWhatAnotherCheckerSavedMeanwhile)
{
    const std::string Path = Write("d.dix", "Apple\r\ncat\r\ndog\r\ndog\r\n");
    TSpellChecker A, B;
    A.LoadFromFile(Path);
    B.LoadFromFile(Path);
    A.AddWord("kiwi");
    A.SaveToFile(Path);
    B.AddWord("Zebra");
    B.RemoveWord("cat");
    B.RemoveWord("dog");  // one of the two, as here
    B.SaveToFile(Path);
    EXPECT_EQ(ReadFileBytes(Path), "Apple\r\ndog\r\nkiwi\r\nzebra\r\n");
    EXPECT_TRUE(B.CheckWord("kiwi"));
    // A's removal meets B's addition; a Normalize is made again on the file too.
    A.RemoveWord("kiwi");
    A.Normalize();
    A.SaveToFile(Path);
    EXPECT_EQ(A.Words(), (std::vector<std::string>{"apple", "dog", "zebra"}));
    EXPECT_EQ(ReadFileBytes(Path), "apple\r\ndog\r\nzebra\r\n");
    // A file that cannot be read now is not written over.
    B.AddWord("three");
    const auto Old = SetFileFaultHook([](TFileStep S, const std::string&) { return S == TFileStep::Read ? EACCES : 0; });
    EXPECT_THROW(B.SaveToFile(Path), EFileError);
    SetFileFaultHook(Old);
    EXPECT_EQ(ReadFileBytes(Path), "apple\r\ndog\r\nzebra\r\n");
}

// A word list saved while another program keeps its folder locked: the word is
// saved once the wait gives up, and the window hears which file went without the lock.
TEST_F(SpellCheckerTest, AWordListSavedWithoutAnotherProgramsLockIsSaid)
{
    struct TSeen : TFolderLockObserver {
        int Waits = 0;
        std::vector<std::string> Written;
        void Waiting(const TFolderLockWait&) override { ++Waits; }
        void WaitEnded(const TFolderLockWait&, bool) override {}
        void WrittenWithoutLock(const std::string& File, const TFolderLockWait&) override { Written.push_back(File); }
    } Seen;
    const std::string Path = Write("d.dix", "cat\r\n");
    C.LoadFromFile(Path);
    C.AddWord("kiwi");
    TFolderLockObserver* const Old = SetFolderLockObserver(&Seen);
    const auto Patience = std::exchange(TFolderLock::Patience, std::chrono::milliseconds(400));
    const int Fd = ::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_EQ(::flock(Fd, LOCK_EX | LOCK_NB), 0);
    C.SaveToFile(Path);
    ::close(Fd);
    TFolderLock::Patience = Patience;
    SetFolderLockObserver(Old);
    EXPECT_GT(Seen.Waits, 0);
    EXPECT_EQ(Seen.Written, std::vector<std::string>{Path});
    EXPECT_EQ(ReadFileBytes(Path), "cat\r\nkiwi\r\n");
}

// Programs saving at the same moment, each from the same list: every word stays.
TEST_F(SpellCheckerTest, ProcessesSavingAtOnceKeepEveryWord)
{
    const std::string Path = Write("d.dix", "cat\r\n");
    constexpr int Count = 8;
    // All save once every one has read the list.
    EXPECT_TRUE(test::RunInProcessesTogether(Count, [&](int I, const std::function<void()>& AllReady) {
        TSpellChecker Own;
        Own.LoadFromFile(Path);
        AllReady();
        Own.AddWord("word" + std::to_string(I));
        Own.SaveToFile(Path);
        return true;
    }));
    C.LoadFromFile(Path);
    EXPECT_EQ(C.WordCount(), Count + 1);
}

}  // namespace
}  // namespace narvo
