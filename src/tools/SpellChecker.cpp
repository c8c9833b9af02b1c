// The spelling engine (see SpellChecker.h).
#include "tools/SpellChecker.h"

#include "engine/EditBuffer.h"
#include "platform/posix/FolderLock.h"
#include "platform/posix/SafeFile.h"
#include "shared/CharClass.h"
#include "shared/EditDistance.h"
#include "shared/StringRoutines.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>

namespace narvo {

namespace {

// The dictionary's order: ASCII letters without case, ties by the exact bytes so
// that equal entries always sit side by side.
int CompareFolded(const std::string& A, const std::string& B)
{
    const std::size_t N = std::min(A.size(), B.size());
    for (std::size_t I = 0; I < N; ++I) {
        const unsigned char X = LowCaseChar(static_cast<unsigned char>(A[I]));
        const unsigned char Y = LowCaseChar(static_cast<unsigned char>(B[I]));
        if (X != Y)
            return X < Y ? -1 : 1;
    }
    return A.size() == B.size() ? 0 : (A.size() < B.size() ? -1 : 1);
}

bool WordBefore(const std::string& A, const std::string& B)
{
    const int C = CompareFolded(A, B);
    return C != 0 ? C < 0 : A < B;
}

int SoundDigit(unsigned char C)
{
    switch (UpCaseChar(C)) {
    case 'B': case 'F': case 'P': case 'V':
        return 1;
    case 'C': case 'G': case 'J': case 'K': case 'Q': case 'S': case 'X': case 'Z':
        return 2;
    case 'D': case 'T':
        return 3;
    case 'L':
        return 4;
    case 'M': case 'N':
        return 5;
    case 'R':
        return 6;
    case 'H': case 'W':
        return -1;
    default:
        return 0;  // vowels, Y and every other character
    }
}

std::string TrimControls(const std::string& S)
{
    std::size_t B = 0, E = S.size();
    while (B < E && static_cast<unsigned char>(S[B]) <= ' ')
        ++B;
    while (E > B && static_cast<unsigned char>(S[E - 1]) <= ' ')
        --E;
    return S.substr(B, E - B);
}

int Percent(std::int64_t I, std::int64_t Total)
{
    return Total <= 0 ? 0 : static_cast<int>(I * 100 / Total);
}

}  // namespace

std::string LowerWord(std::string_view Word)
{
    std::string S(Word);
    for (char& C : S)
        C = static_cast<char>(LowCaseChar(static_cast<unsigned char>(C)));
    return S;
}

std::string SoundexCode(std::string_view Word)
{
    if (Word.empty())
        return {};
    std::string Code(1, static_cast<char>(UpCaseChar(static_cast<unsigned char>(Word[0]))));
    int Previous = SoundDigit(static_cast<unsigned char>(Word[0]));
    for (std::size_t I = 1; I < Word.size() && Code.size() < 8; ++I) {
        const int D = SoundDigit(static_cast<unsigned char>(Word[I]));
        if (D > 0 && D != Previous)
            Code += static_cast<char>('0' + D);
        // H and W do not separate equal digits; vowels do.
        if (D != -1)
            Previous = D;
    }
    Code.resize(8, '0');
    return Code;
}

// --- checking ---------------------------------------------------------------------------

bool TSpellChecker::CheckWord(std::string_view Word) const
{
    bool HasDigit = false, HasLower = false, AllDigits = true;
    for (const char Ch : Word) {
        const auto C = static_cast<unsigned char>(Ch);
        if (C < 32 || (C >= 128 && C <= 191))
            return true;
        HasDigit = HasDigit || IsDigit(C);
        HasLower = HasLower || IsLower(C);
        AllDigits = AllDigits && IsDigit(C);
    }
    if (AllDigits)  // also the empty word
        return true;
    if (IgnoreNumbers && HasDigit)
        return true;
    if (IgnoreUppercase && !HasLower)
        return true;
    const std::string Lower = LowerWord(Word);
    return FIgnore.count(Lower) != 0 || InDictionary(Lower);
}

// --- suggestions ------------------------------------------------------------------------

void TSpellChecker::SetCasePattern(std::string_view Word) { FCasePattern = std::string(Word); }

std::string TSpellChecker::ApplyCasePattern(std::string_view Candidate) const
{
    std::string S(Candidate);
    if (FCasePattern.empty())
        return LowerWord(S);
    for (std::size_t I = 0; I < S.size(); ++I) {
        const std::size_t At = std::min(I, FCasePattern.size() - 1);
        const auto C = static_cast<unsigned char>(S[I]);
        S[I] = static_cast<char>(IsUpper(static_cast<unsigned char>(FCasePattern[At])) ? UpCaseChar(C) : LowCaseChar(C));
    }
    return S;
}

std::int32_t TSpellChecker::WordScore(std::string_view W, std::string_view C) const
{
    const std::int64_t D = EditDistance(W, C);
    // A distance far beyond 50 only needs to stay below every empty slot's -1.
    std::int32_t Score = static_cast<std::int32_t>((50 - std::min<std::int64_t>(D, 1000)) * 10);
    if (UseWordSound && Score > 450)
        Score += static_cast<std::int32_t>(2 * CommonPrefixLength(SoundexCode(W), SoundexCode(C), false));
    return Score;
}

void TSpellChecker::InsertSuggestion(const std::string& Word, std::int32_t Score)
{
    std::size_t I = 0;
    while (I < Suggestions.size() && Suggestions[I].Score >= Score)
        ++I;
    if (I == Suggestions.size())
        return;
    std::move_backward(Suggestions.begin() + static_cast<std::ptrdiff_t>(I), Suggestions.end() - 1, Suggestions.end());
    Suggestions[I].Word = Word;
    Suggestions[I].Score = Score;
}

void TSpellChecker::ClearSlots()
{
    for (TSuggestItem& S : Suggestions)
        S = TSuggestItem{};
}

void TSpellChecker::Suggest(std::string_view Word, bool WithSplits)
{
    SetCasePattern(Word);
    const std::string W = LowerWord(Word);
    ClearSlots();
    const auto Len = static_cast<std::int64_t>(W.size());
    // Every entry is scored in dictionary order and only a score above the last
    // slot's enters, so equal scores keep the dictionary's order.
    for (const std::string& C : FWords) {
        if (C.empty())
            continue;
        // The length difference is a lower bound of the distance: a candidate that
        // cannot beat the last slot even with the full sound bonus is not scored.
        const std::int64_t Least = std::llabs(Len - static_cast<std::int64_t>(C.size()));
        const std::int64_t Best = (50 - std::min<std::int64_t>(Least, 1000)) * 10 + (UseWordSound && Least <= 4 ? 16 : 0);
        const std::int32_t Last = Suggestions.back().Score;
        if (Best <= Last)
            continue;
        const std::int32_t Score = WordScore(W, C);
        if (Score > Last)
            InsertSuggestion(ApplyCasePattern(C), Score);
    }
    if (WithSplits) {
        SplitSuggestions(Word, false, false);
        SplitSuggestions(Word, false, true);
    }
}

void TSpellChecker::SplitSuggestions(std::string_view Word, bool ClearFirst, bool Hyphen)
{
    SetCasePattern(Word);
    const std::string W = LowerWord(Word);
    const char* Separator = Hyphen ? "-" : " ";
    if (ClearFirst)
        ClearSlots();
    // A part longer than the longest entry cannot be found: only splits whose two
    // parts both fit are looked up.
    const std::size_t From = W.size() > FLongest ? W.size() - FLongest : 1;
    const std::size_t To = std::min(FLongest, W.size() == 0 ? 0 : W.size() - 1);
    for (std::size_t I = std::max<std::size_t>(From, 1); I <= To; ++I) {
        const std::string Left = W.substr(0, I);
        const std::string Right = W.substr(I);
        if (!InDictionary(Left) || !InDictionary(Right))
            continue;
        const std::int32_t Score = WordScore(W, Left + Right);
        InsertSuggestion(ApplyCasePattern(Left) + Separator + ApplyCasePattern(Right), Score);
    }
}

// --- the lists ----------------------------------------------------------------------------

void TSpellChecker::SortWords() { std::sort(FWords.begin(), FWords.end(), WordBefore); }

void TSpellChecker::Reindex()
{
    FIndex.clear();
    FIndex.reserve(FWords.size());
    FLongest = 0;
    for (const std::string& S : FWords) {
        ++FIndex[LowerWord(S)];
        FLongest = std::max(FLongest, S.size());
    }
}

void TSpellChecker::SetWords(std::vector<std::string> Lines)
{
    FWords = std::move(Lines);
    SortWords();
    Reindex();
    FChanges.clear();
    FFileName.clear();
    FBytes.clear();
    FWhole = true;
}

void TSpellChecker::TakeLines(std::string_view Bytes)
{
    std::vector<std::string> Lines;
    // A final line break adds no empty word.
    ForEachTextLine(Bytes, [&](std::string_view Piece, bool Ended) {
        if (Ended || !Piece.empty())
            Lines.emplace_back(Piece);
    });
    FWords = std::move(Lines);
    SortWords();
    Reindex();
}

bool TSpellChecker::LoadFromFile(const std::string& FileName)
{
    std::string Bytes = ReadFileBytes(FileName);
    TakeLines(Bytes);
    FChanges.clear();
    FFileName = FileName;
    FBytes = std::move(Bytes);
    FWhole = false;
    Modified = false;
    Loaded = true;
    return true;
}

std::string TSpellChecker::Serialize() const
{
    std::string Bytes;
    std::size_t Size = 0;
    for (const std::string& S : FWords)
        Size += S.size() + 2;
    Bytes.reserve(Size);
    for (const std::string& S : FWords) {
        Bytes += S;
        Bytes += "\r\n";
    }
    return Bytes;
}

void TSpellChecker::Replay(TSpellChecker& Onto) const
{
    for (const TWordChange& C : FChanges) {
        switch (C.Kind) {
        case TWordChange::TKind::Add:
            Onto.AddWord(C.Word);
            break;
        case TWordChange::TKind::Remove:
            Onto.RemoveWord(C.Word);
            break;
        case TWordChange::TKind::Normalize:
            Onto.Normalize();
            break;
        }
    }
}

void TSpellChecker::SaveToFile(const std::string& FileName, unsigned NewFileMode)
{
    std::string Target = FileName;
    try {
        Target = ResolveFileLink(FileName);
    } catch (const EFileError&) {
        // A loop of links: reading the file reports it.
    }
    // Held from reading the file to replacing it, so that no other program saves
    // in between and has its words written over.
    const TFolderLock Lock(FolderOfPath(Target));
    struct stat St;
    const bool Exists = !(::stat(FileName.c_str(), &St) != 0 && errno == ENOENT);
    std::string Now;
    if (Exists && !FWhole) {
        try {
            Now = ReadFileBytes(FileName);
        } catch (const EFileError& E) {
            throw EFileError("Cannot write \"" + FileName + "\": it could not be read, and writing it would lose its content (" +
                             E.what() + ")");
        }
    }
    if (FWhole || !Exists || (FileName == FFileName && Now == FBytes)) {
        std::string Out = Serialize();
        AtomicWriteFile(FileName, Out, NewFileMode);
        Lock.Written(FileName);
        FBytes = std::move(Out);
    } else {
        TSpellChecker Merged;
        Merged.TakeLines(Now);
        Replay(Merged);
        std::string Out = Merged.Serialize();
        AtomicWriteFile(FileName, Out, NewFileMode);
        Lock.Written(FileName);
        FWords = std::move(Merged.FWords);
        FIndex = std::move(Merged.FIndex);
        FLongest = Merged.FLongest;
        FBytes = std::move(Out);
    }
    FChanges.clear();
    FFileName = FileName;
    FWhole = false;
    Modified = false;
}

void TSpellChecker::AddWord(std::string_view Word)
{
    const std::string Lower = LowerWord(Word);
    if (Lower.empty() || Lower.find_first_of("\r\n") != std::string::npos || InDictionary(Lower))
        return;
    FWords.insert(std::upper_bound(FWords.begin(), FWords.end(), Lower, WordBefore), Lower);
    ++FIndex[Lower];
    FLongest = std::max(FLongest, Lower.size());
    FChanges.push_back({TWordChange::TKind::Add, Lower});
    Modified = true;
}

void TSpellChecker::IgnoreWord(std::string_view Word)
{
    FIgnore.insert(LowerWord(Word));
    Modified = true;
}

void TSpellChecker::ClearIgnoreList()
{
    FIgnore.clear();
    Modified = true;
}

bool TSpellChecker::RemoveWord(std::string_view Word)
{
    const std::string Lower = LowerWord(Word);
    auto Entry = FIndex.find(Lower);
    if (Entry == FIndex.end())
        return false;
    // The entry may be stored in another case; the sorted list keeps every spelling
    // of it together, so the search starts at the first one.
    auto It = std::lower_bound(FWords.begin(), FWords.end(), Lower,
                               [](const std::string& A, const std::string& B) { return CompareFolded(A, B) < 0; });
    while (It != FWords.end() && LowerWord(*It) != Lower)
        ++It;
    if (It == FWords.end())
        return false;
    FWords.erase(It);
    if (--Entry->second == 0)
        FIndex.erase(Entry);
    FChanges.push_back({TWordChange::TKind::Remove, Lower});
    Modified = true;
    return true;
}

int TSpellChecker::Normalize(const std::function<void(int Percent)>& Progress)
{
    const auto N = static_cast<std::int64_t>(FWords.size());
    auto Report = [&](int P) {
        if (Progress)
            Progress(P);
    };
    for (std::int64_t I = 0; I < N; ++I) {
        std::string& S = FWords[static_cast<std::size_t>(I)];
        S = LowerWord(TrimControls(S));
        Report(Percent(I, 2 * N));
    }
    SortWords();
    int Removed = 0;
    std::vector<std::string> Kept;
    Kept.reserve(FWords.size());
    for (std::int64_t I = 0; I < N; ++I) {
        std::string& S = FWords[static_cast<std::size_t>(I)];
        // A blank line is no word: it goes without counting as a duplicate.
        if (!S.empty() && !Kept.empty() && Kept.back() == S)
            ++Removed;
        else if (!S.empty())
            Kept.push_back(std::move(S));
        Report(Percent(N + I, 2 * N));
    }
    FWords = std::move(Kept);
    Reindex();
    FChanges.push_back({TWordChange::TKind::Normalize, {}});
    Report(0);
    if (Removed > 0)
        Modified = true;
    return Removed;
}

}  // namespace narvo
