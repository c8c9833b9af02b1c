// The settings file class (see IniFile.h). The file is held as sections of lines;
// lower-case indexes find the first section and the first key of each name, so
// lookups cost nothing per line of the file. Each write is also kept as it was made,
// to be made again on the file as another program may have left it.
#include "platform/posix/IniFile.h"

#include "platform/posix/FolderLock.h"
#include "platform/posix/SafeFile.h"
#include "platform/posix/SettingsFolder.h"
#include "shared/CharClass.h"
#include "shared/CodePage.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <memory>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace narvo {

namespace {

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view S)
{
    while (!S.empty() && (S.front() == ' ' || S.front() == '\t'))
        S.remove_prefix(1);
    while (!S.empty() && (S.back() == ' ' || S.back() == '\t'))
        S.remove_suffix(1);
    return S;
}

std::string Lower(std::string_view S)
{
    std::string Result(S);
    for (char& C : Result)
        C = static_cast<char>(LowCaseChar(static_cast<unsigned char>(C)));
    return Result;
}

// A plain scan: find_first_of looks each byte up in the set with a call of its own,
// which made storing long values (command lines of megabytes) slow.
std::size_t FindLineBreak(std::string_view S)
{
    for (std::size_t I = 0; I < S.size(); ++I)
        if (S[I] == '\r' || S[I] == '\n')
            return I;
    return std::string_view::npos;
}

bool HasLineBreak(std::string_view S) { return FindLineBreak(S) != std::string_view::npos; }

bool IsBlank(char C) { return C == ' ' || C == '\t'; }
bool EdgeBlank(std::string_view S) { return !S.empty() && (IsBlank(S.front()) || IsBlank(S.back())); }

// A stored value in double quotes stands for what they hold when that begins or
// ends with a blank (which the file would otherwise lose) or is itself such a
// quoted value. Any other value in quotes is read as it stands: a tool command
// stored as "/opt/my tool" keeps its quotes. Checked layer by layer, so a long run
// of quotes costs no recursion.
bool IsQuotedValue(std::string_view S)
{
    while (S.size() >= 2 && S.front() == '"' && S.back() == '"') {
        S = S.substr(1, S.size() - 2);
        if (EdgeBlank(S))
            return true;
    }
    return false;
}

std::string Unquoted(std::string_view Stored)
{
    return std::string(IsQuotedValue(Stored) ? Stored.substr(1, Stored.size() - 2) : Stored);
}

std::string StoredForm(std::string_view Value)
{
    if (EdgeBlank(Value) || IsQuotedValue(Value))
        return "\"" + std::string(Value) + "\"";
    return std::string(Value);
}

// The first line end of the text, LF when it has none.
std::string DetectLineEnd(std::string_view Text)
{
    const auto Pos = FindLineBreak(Text);
    if (Pos == std::string_view::npos || Text[Pos] == '\n')
        return "\n";
    return Pos + 1 < Text.size() && Text[Pos + 1] == '\n' ? "\r\n" : "\r";
}

// The file's bytes, none for a missing file; false with the reason when a file that
// exists cannot be read.
bool ReadIniBytes(const std::string& Path, std::string& Bytes, std::string& Error)
{
    Bytes.clear();
    struct stat St;
    if (::stat(Path.c_str(), &St) != 0 && errno == ENOENT)
        return true;
    try {
        Bytes = ReadFileBytes(Path);
        return true;
    } catch (const EFileError& E) {
        Error = E.what();
        return false;
    }
}

// True when the file holds exactly Bytes (a missing file holds none), found without
// reading it into memory: at a write it mostly still holds what was read. Any doubt
// answers false, and the file is then read in full.
bool FileHolds(const std::string& Path, std::string_view Bytes)
{
    struct stat St;
    if (::stat(Path.c_str(), &St) != 0)
        return errno == ENOENT && Bytes.empty();
    if (!S_ISREG(St.st_mode) || static_cast<std::uint64_t>(St.st_size) != Bytes.size())
        return false;
    const int Fd = ::open(Path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (Fd < 0)
        return false;
    constexpr std::size_t BlockSize = 65536;
    const auto Block = std::make_unique<char[]>(BlockSize);
    std::size_t Done = 0;
    bool Same = ::fstat(Fd, &St) == 0 && S_ISREG(St.st_mode);
    while (Same) {
        const ssize_t N = ::read(Fd, Block.get(), BlockSize);
        if (N < 0 && errno == EINTR)
            continue;
        if (N <= 0) {
            Same = N == 0 && Done == Bytes.size();
            break;
        }
        const auto Got = static_cast<std::size_t>(N);
        Same = Got <= Bytes.size() - Done && std::memcmp(Block.get(), Bytes.data() + Done, Got) == 0;
        Done += Got;
    }
    ::close(Fd);
    return Same;
}

}  // namespace

TIniFile::TIniFile(const std::string& FileName)
    : FileName_(SettingsFilePath(FileName)), InSettingsFolder_(FileName.find('/') == std::string::npos)
{
    Sections_.emplace_back();
    if (ReadIniBytes(FileName_, Bytes_, ReadError_))
        Parse(Bytes_);
    else
        ReadFailed_ = true;
}

TIniFile::TIniFile(TNoRead, const std::string& FileName) : FileName_(FileName) { Sections_.emplace_back(); }

TIniFile::~TIniFile()
{
    if (Changes_.empty() || ReadFailed_)
        return;
    try {
        UpdateFile();
    } catch (...) {
        // A destructor cannot report; callers that care call UpdateFile themselves.
    }
}

void TIniFile::Parse(std::string_view Text)
{
    // A UTF-16 file is read through the 8-bit code page, unit by unit, and written
    // back the same way in its own byte order; one that holds a character with no
    // byte (or half a unit) would not come back as it was, so it is never written.
    std::string Decoded;
    if (Text.size() >= 2 && (Text.substr(0, 2) == "\xFF\xFE" || Text.substr(0, 2) == "\xFE\xFF")) {
        Utf16_ = Text[0] == '\xFF' ? 1 : 2;
        Text.remove_prefix(2);
        std::u16string Units(Text.size() / 2, u'\0');
        const int High = Utf16_ == 1 ? 1 : 0;
        for (std::size_t I = 0; I < Units.size(); ++I)
            Units[I] = static_cast<char16_t>(static_cast<unsigned char>(Text[2 * I + High]) << 8 |
                                             static_cast<unsigned char>(Text[2 * I + 1 - High]));
        bool Lossy = Text.size() % 2 != 0;
        Decoded = Utf16ToBytes(TCodePage::Ansi, Units, &Lossy);
        if (Lossy) {
            ReadFailed_ = true;
            ReadError_ = "it holds UTF-16 characters with no 8-bit equivalent";
        }
        Text = Decoded;
    } else if (Text.substr(0, Utf8Bom.size()) == Utf8Bom) {
        Bom_ = true;
        Text.remove_prefix(Utf8Bom.size());
    }
    LineEnd_ = DetectLineEnd(Text);
    std::size_t Pos = 0;
    while (Pos < Text.size()) {
        // A plain scan (see FindLineBreak): reading a settings file of many
        // megabytes was slow at every start.
        std::size_t End = Pos;
        while (End < Text.size() && Text[End] != '\r' && Text[End] != '\n')
            ++End;
        const std::string_view Line = Text.substr(Pos, End - Pos);
        Pos = End;
        if (Pos < Text.size())
            Pos += Text.compare(Pos, 2, "\r\n") == 0 ? 2 : 1;

        const std::string_view Body = Trim(Line);
        if (!Body.empty() && Body.front() == '[') {
            TSection S;
            S.HasHeader = true;
            const auto Close = Body.find(']');
            S.Name = Trim(Body.substr(1, Close == std::string_view::npos ? std::string_view::npos : Close - 1));
            S.HeaderRaw = Line;
            Sections_.push_back(std::move(S));
            continue;
        }
        TEntry E;
        E.Raw = Line;
        const auto Eq = Body.find('=');
        const bool Comment = !Body.empty() && (Body.front() == ';' || Body.front() == '#');
        if (Sections_.back().HasHeader && Eq != std::string_view::npos && Eq > 0 && !Comment) {
            E.IsKey = true;
            E.Key = Trim(Body.substr(0, Eq));
            E.Value = Trim(Body.substr(Eq + 1));
            E.IsKey = !E.Key.empty();
        }
        Sections_.back().Entries.push_back(std::move(E));
    }
    for (TSection& S : Sections_)
        IndexKeys(S);
    IndexSections();
}

void TIniFile::IndexKeys(TSection& S)
{
    S.KeyIndex.clear();
    for (std::size_t I = 0; I < S.Entries.size(); ++I)
        if (S.Entries[I].IsKey)
            S.KeyIndex.try_emplace(Lower(S.Entries[I].Key), I);
}

void TIniFile::IndexSections()
{
    SectionIndex_.clear();
    for (std::size_t I = 0; I < Sections_.size(); ++I)
        if (Sections_[I].HasHeader)
            SectionIndex_.try_emplace(Lower(Sections_[I].Name), I);
}

const TIniFile::TSection* TIniFile::FindSection(std::string_view Name) const
{
    const auto It = SectionIndex_.find(Lower(Trim(Name)));
    return It == SectionIndex_.end() ? nullptr : &Sections_[It->second];
}

TIniFile::TSection* TIniFile::FindSection(std::string_view Name)
{
    return const_cast<TSection*>(static_cast<const TIniFile*>(this)->FindSection(Name));
}

const TIniFile::TEntry* TIniFile::FindEntry(std::string_view Section, std::string_view Key) const
{
    const TSection* S = FindSection(Section);
    if (!S)
        return nullptr;
    const auto It = S->KeyIndex.find(Lower(Trim(Key)));
    return It == S->KeyIndex.end() ? nullptr : &S->Entries[It->second];
}

std::string TIniFile::ReadString(std::string_view Section, std::string_view Key, std::string_view Default) const
{
    const TEntry* E = FindEntry(Section, Key);
    return E ? Unquoted(E->Value) : std::string(Default);
}

void TIniFile::WriteString(std::string_view Section, std::string_view Key, std::string_view Value)
{
    Section = Trim(Section);
    Key = Trim(Key);
    if (Section.empty() || Key.empty() || HasLineBreak(Section) || HasLineBreak(Key) || !CanStore(Value) ||
        Section.find(']') != std::string_view::npos || Key.find('=') != std::string_view::npos ||
        Key.front() == ';' || Key.front() == '#' || Key.front() == '[')
        throw EFileError("Cannot store the key \"" + std::string(Key) + "\" of section [" + std::string(Section) +
                         "] in \"" + FileName_ + "\": the name or value holds a character the file cannot keep");
    // Kept even when the value is the one read: another program may have written
    // another since, and this write is the later one.
    std::string Stored = StoredForm(Value);
    LinesChanged_ |= ApplyWrite(Section, Key, Stored);
    Changes_.push_back({TChange::TKind::Write, std::string(Section), std::string(Key), std::move(Stored)});
}

bool TIniFile::CanStore(std::string_view Value) { return !HasLineBreak(Value); }

bool TIniFile::MarkedReadOnly() const { return IsReadOnlyFile(FileName_); }

bool TIniFile::ApplyWrite(std::string_view Section, std::string_view Key, std::string_view Value)
{
    TSection* S = FindSection(Section);
    if (!S) {
        // A blank line before a new section keeps the file readable.
        TSection& Last = Sections_.back();
        const bool FileEmpty = Sections_.size() == 1 && Last.Entries.empty();
        if (!FileEmpty && (Last.Entries.empty() ? Last.HasHeader : !Trim(Last.Entries.back().Raw).empty()))
            Last.Entries.push_back(TEntry{});
        TSection New;
        New.HasHeader = true;
        New.Name = Section;
        New.HeaderRaw = "[" + std::string(Section) + "]";
        Sections_.push_back(std::move(New));
        SectionIndex_.try_emplace(Lower(Section), Sections_.size() - 1);
        S = &Sections_.back();
    }
    const std::string Raw = std::string(Key) + "=" + std::string(Value);
    const auto It = S->KeyIndex.find(Lower(Key));
    if (It != S->KeyIndex.end()) {
        TEntry& E = S->Entries[It->second];
        if (E.Value == Value)
            return false;
        // The stored spelling of the key stays.
        E.Value = Value;
        E.Raw = E.Key + "=" + E.Value;
    } else {
        // After the section's last non-blank line, so that the blank line that
        // separates it from the next section stays there.
        std::size_t At = S->Entries.size();
        while (At > 0 && Trim(S->Entries[At - 1].Raw).empty())
            --At;
        S->Entries.insert(S->Entries.begin() + static_cast<std::ptrdiff_t>(At),
                          TEntry{Raw, true, std::string(Key), std::string(Value)});
        if (At + 1 == S->Entries.size())
            S->KeyIndex.emplace(Lower(Key), At);
        else
            IndexKeys(*S);
    }
    return true;
}

std::int32_t TIniFile::ReadInteger(std::string_view Section, std::string_view Key, std::int32_t Default) const
{
    const TEntry* E = FindEntry(Section, Key);
    if (!E)
        return Default;
    std::string_view Text = E->Value;
    bool Negative = false;
    if (!Text.empty() && (Text.front() == '-' || Text.front() == '+')) {
        Negative = Text.front() == '-';
        Text.remove_prefix(1);
    }
    int Base = 10;
    if (Text.size() > 2 && Text[0] == '0' && (Text[1] == 'x' || Text[1] == 'X')) {
        Base = 16;
        Text.remove_prefix(2);
    } else if (Text.size() > 1 && Text[0] == '$') {
        Base = 16;
        Text.remove_prefix(1);
    }
    std::int64_t Magnitude = 0;
    const auto [End, Err] = std::from_chars(Text.data(), Text.data() + Text.size(), Magnitude, Base);
    if (Err != std::errc() || End != Text.data() + Text.size() || Text.empty())
        return Default;
    // Hexadecimal numbers are bit patterns: $FFFFFFFF is -1.
    if (Base == 16 && !Negative && Magnitude <= 0xFFFFFFFFLL)
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(Magnitude));
    const std::int64_t Value = Negative ? -Magnitude : Magnitude;
    if (Value < INT32_MIN || Value > INT32_MAX)
        return Default;
    return static_cast<std::int32_t>(Value);
}

void TIniFile::WriteInteger(std::string_view Section, std::string_view Key, std::int32_t Value)
{
    WriteString(Section, Key, std::to_string(Value));
}

bool TIniFile::ReadBool(std::string_view Section, std::string_view Key, bool Default) const
{
    return ReadInteger(Section, Key, Default ? 1 : 0) != 0;
}

void TIniFile::WriteBool(std::string_view Section, std::string_view Key, bool Value)
{
    WriteString(Section, Key, Value ? "1" : "0");
}

std::vector<std::string> TIniFile::ReadSection(std::string_view Section) const
{
    std::vector<std::string> Result;
    if (const TSection* S = FindSection(Section))
        for (std::size_t I = 0; I < S->Entries.size(); ++I)
            if (S->Entries[I].IsKey && S->KeyIndex.at(Lower(S->Entries[I].Key)) == I)
                Result.push_back(S->Entries[I].Key);
    return Result;
}

std::vector<std::string> TIniFile::ReadSections() const
{
    std::vector<std::string> Result;
    for (std::size_t I = 0; I < Sections_.size(); ++I)
        if (Sections_[I].HasHeader && SectionIndex_.at(Lower(Sections_[I].Name)) == I)
            Result.push_back(Sections_[I].Name);
    return Result;
}

std::vector<std::string> TIniFile::ReadSectionValues(std::string_view Section) const
{
    std::vector<std::string> Result;
    if (const TSection* S = FindSection(Section))
        for (std::size_t I = 0; I < S->Entries.size(); ++I)
            if (S->Entries[I].IsKey && S->KeyIndex.at(Lower(S->Entries[I].Key)) == I)
                Result.push_back(S->Entries[I].Key + "=" + Unquoted(S->Entries[I].Value));
    return Result;
}

bool TIniFile::SectionExists(std::string_view Section) const { return FindSection(Section) != nullptr; }

bool TIniFile::ValueExists(std::string_view Section, std::string_view Key) const
{
    return FindEntry(Section, Key) != nullptr;
}

// Kept also when this copy has no such section or key: another program may have
// written one since.
void TIniFile::EraseSection(std::string_view Section)
{
    Changes_.push_back({TChange::TKind::Erase, std::string(Section), {}, {}});
    LinesChanged_ |= ApplyErase(Section);
}

void TIniFile::DeleteKey(std::string_view Section, std::string_view Key)
{
    Changes_.push_back({TChange::TKind::Delete, std::string(Section), std::string(Key), {}});
    LinesChanged_ |= ApplyDelete(Section, Key);
}

bool TIniFile::ApplyErase(std::string_view Section)
{
    const std::string Name = Lower(Trim(Section));
    const auto Before = Sections_.size();
    std::erase_if(Sections_, [&](const TSection& S) { return S.HasHeader && Lower(S.Name) == Name; });
    if (Sections_.size() == Before)
        return false;
    IndexSections();
    return true;
}

bool TIniFile::ApplyDelete(std::string_view Section, std::string_view Key)
{
    TSection* S = FindSection(Section);
    if (!S)
        return false;
    const std::string Name = Lower(Trim(Key));
    const auto Before = S->Entries.size();
    std::erase_if(S->Entries, [&](const TEntry& E) { return E.IsKey && Lower(E.Key) == Name; });
    if (S->Entries.size() == Before)
        return false;
    IndexKeys(*S);
    return true;
}

bool TIniFile::ApplyChanges(TIniFile& Onto) const
{
    bool Changed = false;
    for (const TChange& C : Changes_) {
        switch (C.Kind) {
        case TChange::TKind::Write:
            Changed |= Onto.ApplyWrite(C.Section, C.Key, C.Value);
            break;
        case TChange::TKind::Erase:
            Changed |= Onto.ApplyErase(C.Section);
            break;
        case TChange::TKind::Delete:
            Changed |= Onto.ApplyDelete(C.Section, C.Key);
            break;
        }
    }
    return Changed;
}

void TIniFile::TakeContent(TIniFile& From)
{
    LineEnd_ = std::move(From.LineEnd_);
    Bom_ = From.Bom_;
    Utf16_ = From.Utf16_;
    Sections_ = std::move(From.Sections_);
    SectionIndex_ = std::move(From.SectionIndex_);
    Bytes_ = std::move(From.Bytes_);
}

std::string TIniFile::Serialize() const
{
    std::string Result;
    if (Bom_)
        Result += Utf8Bom;
    for (const TSection& S : Sections_) {
        if (S.HasHeader)
            Result += S.HeaderRaw + LineEnd_;
        for (const TEntry& E : S.Entries)
            Result += E.Raw + LineEnd_;
    }
    if (Utf16_ == 0)
        return Result;
    const std::u16string Units = BytesToUtf16(TCodePage::Ansi, Result);
    std::string Encoded(Utf16_ == 1 ? "\xFF\xFE" : "\xFE\xFF");
    Encoded.reserve(2 + 2 * Units.size());
    for (const char16_t U : Units) {
        const char Low = static_cast<char>(U & 0xFF), High = static_cast<char>(U >> 8);
        Encoded += Utf16_ == 1 ? Low : High;
        Encoded += Utf16_ == 1 ? High : Low;
    }
    return Encoded;
}

void TIniFile::UpdateFile()
{
    if (ReadFailed_)
        throw EFileError("Cannot write \"" + FileName_ + "\": it could not be read, and writing it would lose its content (" +
                         ReadError_ + ")");
    if (Changes_.empty())
        return;
    if (InSettingsFolder_ && !FileExists(FolderOfPath(FileName_))) {
        // No settings yet: the folder is made only for changes that leave something.
        TIniFile None(TNoRead{}, FileName_);
        if (!ApplyChanges(None)) {
            Changes_.clear();
            LinesChanged_ = false;
            return;
        }
    }
    if (InSettingsFolder_)
        EnsureSettingsFolder();
    std::string Target = FileName_;
    try {
        Target = ResolveFileLink(FileName_);
    } catch (const EFileError&) {
        // A loop of links: reading the file again reports it.
    }
    const TFolderLock Lock(FolderOfPath(Target));
    const auto Write = [this, &Lock](TIniFile& Lines) {
        // The settings hold paths, command lines and programs to run: a new file
        // there is the user's alone, whatever the folder's mode. An existing file
        // keeps its mode, which may be the user's choice.
        const bool Private = InSettingsFolder_ || FolderOfPath(FileName_) == SettingsFolder();
        std::string Out = Lines.Serialize();
        AtomicWriteFile(FileName_, Out, Private ? 0600 : 0666);
        Lines.Bytes_ = std::move(Out);
        // Written without the lock after a long wait: the user hears of it.
        Lock.Written(FileName_);
    };
    if (FileHolds(FileName_, Bytes_)) {
        // Nobody wrote it since it was read: these lines are the file with the changes made.
        if (LinesChanged_)
            Write(*this);
    } else {
        TIniFile Now(TNoRead{}, FileName_);
        if (ReadIniBytes(FileName_, Now.Bytes_, Now.ReadError_))
            Now.Parse(Now.Bytes_);
        else
            Now.ReadFailed_ = true;
        if (Now.ReadFailed_)
            throw EFileError("Cannot write \"" + FileName_ + "\": it could not be read, and writing it would lose its content (" +
                             Now.ReadError_ + ")");
        if (ApplyChanges(Now))
            Write(Now);
        TakeContent(Now);
    }
    Changes_.clear();
    LinesChanged_ = false;
}

}  // namespace narvo
