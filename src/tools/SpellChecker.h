// TSpellChecker, the spelling engine: the dictionary word list read from a ".dix"
// file (plain 8-bit text, one word per line), the words to ignore for the rest of
// the run, the test whether a word is acceptable and a ranked list of at most 40
// suggestions for an unknown word. Lookups go through hash sets of the lower-cased
// words; only Suggest scores every dictionary word (by Levenshtein distance, with
// an optional sound-alike bonus), skipping those whose length alone rules them out.
// Several programs may share one word list: the changes made since the file was
// read are kept as made, and saving makes them again on the file as it is then.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace narvo {

struct TSuggestItem {
    std::string Word;
    std::int32_t Score = -1;  // -1: an empty slot
};

inline constexpr int SuggestionSlots = 40;

// The word with ASCII letters lower-cased (accented letters stay as they are).
std::string LowerWord(std::string_view Word);

// The sound code of Word, 8 characters: its first character upper-cased, then the
// digits of the consonant groups, padded with '0'. The empty word has the empty code.
std::string SoundexCode(std::string_view Word);

class TSpellChecker {
public:
    // Set when either list changed since the dictionary was loaded or saved.
    bool Modified = false;
    // Set once a dictionary file was loaded; never cleared.
    bool Loaded = false;
    // Accept any word that holds a digit.
    bool IgnoreNumbers = true;
    // Accept any word without a lower-case letter.
    bool IgnoreUppercase = false;
    // Add the sound-alike bonus to close candidates.
    bool UseWordSound = false;
    // Best first; filled by Suggest and SplitSuggestions.
    std::array<TSuggestItem, SuggestionSlots> Suggestions;

    // True when the word is acceptable: control characters or the upper half's
    // symbols (128 to 191) anywhere, digits only, the empty word, the options above,
    // the ignore list, or the dictionary (without regard to ASCII case).
    bool CheckWord(std::string_view Word) const;
    // The 40 best dictionary words for Word, in the case pattern of Word; with
    // WithSplits also Word split in two known words, by a space and by a hyphen.
    void Suggest(std::string_view Word, bool WithSplits);
    // Adds the two-word splits of Word (separated by "-" when Hyphen, else " ").
    void SplitSuggestions(std::string_view Word, bool ClearFirst, bool Hyphen);

    // The dictionary := the file's lines (CR, LF or CR LF). A missing or unreadable
    // file throws EFileError and leaves the dictionary as it was.
    bool LoadFromFile(const std::string& FileName);
    // Writes the dictionary, one word a line ending in CR LF, replacing the file
    // atomically; throws EFileError (the file on disk is then unchanged). A new file
    // gets NewFileMode less the umask. When the file is not the one the dictionary
    // was read from as it was read (another program saved it meanwhile, or the list
    // read was the shipped one and this is the user's copy), the words added and
    // removed here since then, and any Normalize, are made again on the file as it
    // is, under a lock on its folder, so that the other program's changes stay; the
    // dictionary then holds what was written. A file that exists but cannot be read
    // is not written.
    void SaveToFile(const std::string& FileName, unsigned NewFileMode = 0666);
    // The dictionary := Lines (as if read from a file; for tests and tools). Saving
    // then writes these words whole, whatever the file holds.
    void SetWords(std::vector<std::string> Lines);

    // Adds the lower-cased word (nothing when it is there already, empty, or holds a
    // line break, which would split it on saving).
    void AddWord(std::string_view Word);
    void IgnoreWord(std::string_view Word);
    void ClearIgnoreList();
    // Deletes the lower-cased word from the dictionary; false when it was not there.
    bool RemoveWord(std::string_view Word);
    // Trims, lower-cases, sorts and removes duplicate entries; answers the number of
    // duplicates removed. Progress, when set, gets percentages (0 at the end).
    int Normalize(const std::function<void(int Percent)>& Progress = {});

    // The dictionary in its order (sorted without regard to case).
    const std::vector<std::string>& Words() const { return FWords; }
    std::int64_t WordCount() const { return static_cast<std::int64_t>(FWords.size()); }

    // The score of candidate C for the lower-cased word W: (50 - EditDistance) x 10,
    // so a swap of two neighbouring letters costs two edits, and with UseWordSound a
    // bonus of up to 16 for a score above 450.
    std::int32_t WordScore(std::string_view W, std::string_view C) const;
    // Puts an entry at its rank, after every entry of equal score, so that equal
    // scores keep the order they were found in (the dictionary's); discarded when
    // every slot scores at least as much.
    void InsertSuggestion(const std::string& Word, std::int32_t Score);

private:
    // A change to the word list, made again on the file as it is at saving.
    struct TWordChange {
        enum class TKind : unsigned char { Add, Remove, Normalize } Kind;
        std::string Word;
    };

    void TakeLines(std::string_view Bytes);
    void Replay(TSpellChecker& Onto) const;
    std::string Serialize() const;
    void SortWords();
    void Reindex();
    void ClearSlots();
    // Candidate in the case pattern of the word last given to SetCasePattern: each
    // character takes the case of the same position, characters past the word's end
    // the case of its last character.
    void SetCasePattern(std::string_view Word);
    std::string ApplyCasePattern(std::string_view Candidate) const;
    bool InDictionary(const std::string& Lower) const { return FIndex.count(Lower) != 0; }

    std::vector<std::string> FWords;
    // Lower-cased entry -> how many entries have it (duplicates until Normalize).
    std::unordered_map<std::string, int> FIndex;
    std::unordered_set<std::string> FIgnore;
    std::size_t FLongest = 0;  // the longest entry, to skip impossible splits
    std::string FCasePattern;  // the word whose case suggestions take
    // Since the file was read or saved; cleared by saving.
    std::vector<TWordChange> FChanges;
    std::string FFileName;  // the file read or saved last ("" after SetWords)
    std::string FBytes;     // what it held then: did another program save it since?
    bool FWhole = false;    // the list was set whole: saving writes it as it is
};

}  // namespace narvo
