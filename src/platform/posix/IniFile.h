// The settings file class: plain "[Section]" and "Key=Value" ini files with the
// private-profile rules the settings rely on. Section and key names match without
// case, the first of duplicate sections or keys wins, values are bytes without any
// length limit, and names lose their surrounding blanks; a value that begins or ends
// with a blank is stored in double quotes, so it reads back whole. Lines the class
// does not understand (comments, junk) stay where they are when the file is written
// back, in the file's own line ends and encoding (8-bit, or UTF-16 read and written
// through the Windows-1252 table). Writes are kept in memory until UpdateFile, which
// replaces the file atomically; the destructor writes what is still pending.
// Several programs may write one file, each from the copy it read: UpdateFile applies
// this object's writes, in the order they were made, to the file as it is at that
// moment (under a lock, where the file system has locks), so that what another
// program wrote meanwhile stays unless this one wrote the same key or erased its
// section. Reading takes no lock.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace narvo {

class TIniFile {
public:
    // A bare name ("Narvo.ini") is looked up in the settings folder, case-insensitively;
    // a name holding '/' is used as given. A missing file reads as empty. A file that
    // exists but cannot be read reads as empty too, and is never written back; nor is
    // a UTF-16 file holding characters that have no 8-bit equivalent (read as '?').
    explicit TIniFile(const std::string& FileName);
    // Writes pending changes; errors are swallowed here (call UpdateFile to see them).
    ~TIniFile();
    TIniFile(const TIniFile&) = delete;
    TIniFile& operator=(const TIniFile&) = delete;

    // The full path of the file.
    const std::string& FileName() const { return FileName_; }
    // The file is read-only (IsReadOnlyFile: mode 0444 counts even for root): what
    // the program writes by itself leaves it alone; the user is asked first.
    bool MarkedReadOnly() const;

    std::string ReadString(std::string_view Section, std::string_view Key, std::string_view Default) const;
    // Names hold no line break, '=' (keys) or ']' (sections), and values no line
    // break: such a write would change other entries when read back, so it throws
    // EFileError and changes nothing.
    void WriteString(std::string_view Section, std::string_view Key, std::string_view Value);
    // Whether WriteString can keep Value (it holds no line break).
    static bool CanStore(std::string_view Value);
    // Decimal, or hexadecimal with "0x" or "$"; anything else, or a number outside
    // 32 bits, gives Default.
    std::int32_t ReadInteger(std::string_view Section, std::string_view Key, std::int32_t Default) const;
    void WriteInteger(std::string_view Section, std::string_view Key, std::int32_t Value);
    // Stored as 1 and 0; any other stored number other than 0 reads as true.
    bool ReadBool(std::string_view Section, std::string_view Key, bool Default) const;
    void WriteBool(std::string_view Section, std::string_view Key, bool Value);

    // The key names of a section, in file order, each name once.
    std::vector<std::string> ReadSection(std::string_view Section) const;
    // The section names, in file order, each name once.
    std::vector<std::string> ReadSections() const;
    // "Key=Value" for each key of a section, in file order.
    std::vector<std::string> ReadSectionValues(std::string_view Section) const;
    bool SectionExists(std::string_view Section) const;
    bool ValueExists(std::string_view Section, std::string_view Key) const;
    // Removes every section of that name with all its lines.
    void EraseSection(std::string_view Section);
    // Removes the key (and any duplicates of it) from the section.
    void DeleteKey(std::string_view Section, std::string_view Key);

    // Applies the writes made since the last UpdateFile to the file as it is now and
    // writes it when that changes anything; this object then reads what the file
    // holds. Throws EFileError with the file's name and the reason; a file that could
    // not be read (when opened, or now) is refused, since writing it would lose what
    // it holds, and the writes stay pending. A file made new in the settings folder
    // is 0600.
    void UpdateFile();
    // Writes are pending, also those that gave a key the value it already had here:
    // the file may hold another one by now.
    bool Modified() const { return !Changes_.empty(); }

private:
    struct TEntry {
        std::string Raw;     // the line as read, or as last written
        bool IsKey = false;  // "Key=Value" inside a section
        std::string Key;
        std::string Value;
    };
    struct TSection {
        bool HasHeader = false;  // false only for the lines before the first header
        std::string Name;
        std::string HeaderRaw;
        std::vector<TEntry> Entries;
        std::unordered_map<std::string, std::size_t> KeyIndex;  // lower-case key -> first entry
    };

    // One write as made, to be made again on the file as it is at UpdateFile.
    struct TChange {
        enum class TKind : unsigned char { Write, Erase, Delete } Kind;
        std::string Section, Key, Value;
    };

    struct TNoRead {};
    // An empty copy of the file that reads nothing.
    TIniFile(TNoRead, const std::string& FileName);

    void Parse(std::string_view Text);
    // The changes themselves, on this object's lines; true when they changed any.
    bool ApplyWrite(std::string_view Section, std::string_view Key, std::string_view Value);
    bool ApplyErase(std::string_view Section);
    bool ApplyDelete(std::string_view Section, std::string_view Key);
    bool ApplyChanges(TIniFile& Onto) const;
    void TakeContent(TIniFile& From);
    void IndexKeys(TSection& S);
    void IndexSections();
    const TSection* FindSection(std::string_view Name) const;
    TSection* FindSection(std::string_view Name);
    const TEntry* FindEntry(std::string_view Section, std::string_view Key) const;
    std::string Serialize() const;

    std::string FileName_;
    bool InSettingsFolder_ = false;
    bool ReadFailed_ = false;
    std::string ReadError_;
    std::string Bytes_;  // the file as last read or written: did another program write it since?
    std::vector<TChange> Changes_;
    bool LinesChanged_ = false;  // the changes changed the lines read
    std::string LineEnd_ = "\n";
    bool Bom_ = false;
    int Utf16_ = 0;  // 0 8-bit, 1 UTF-16 little-endian (FF FE first), 2 big-endian
    std::vector<TSection> Sections_;                     // [0] holds the lines before any header
    std::unordered_map<std::string, std::size_t> SectionIndex_;  // lower-case name -> first section
};

}  // namespace narvo
