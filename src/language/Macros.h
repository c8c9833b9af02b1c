// Macros: the 32 command lines kept in the settings file between runs (section
// CurrentMacros, read when the main window is created and written when it is
// destroyed), and the table of 30 named macros that the macro dialog keeps in
// macro files ("*.nrv", section Macros). Command texts are stored as two upper-case
// hex digits per character, so Esc, '=' and line breaks survive the ini format.
//
// A macro file that cannot be read at all (missing, unreadable, not a regular
// file) is refused with EMacroFileError and the table stays as it was. Whatever
// can be read loads: a missing Name or Macro key reads as empty, a Macro value that
// is not hex digits loads as an empty text, a Count above 30 reads the first 30,
// and a missing or negative Count loads nothing. The report says which entries
// came out empty and whether entries were skipped.
#pragma once

#include "platform/posix/SafeFile.h"

#include <array>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

namespace narvo {

class TCommandHost;
class TCommandLineStore;

struct TMacroEntry {
    std::string Macro;  // the command text, any 8-bit characters
    std::string Name;   // at most MacroNameLength characters
};

inline constexpr int MacroTableSize = 30;
inline constexpr std::size_t MacroNameLength = 20;
using TMacroTable = std::array<TMacroEntry, MacroTableSize>;

// The run's table (empty at start), the macro file last loaded or saved, and that
// file as it was then: Save asks before it replaces what another program (or
// another window) wrote there since.
inline TMacroTable MacroTable;
inline std::string CurrentMacroFile;
inline TFileStamp CurrentMacroStamp;

// The settings-file section of the command lines.
inline constexpr const char* CurrentMacrosSection = "CurrentMacros";
inline constexpr const char* MacroFileSection = "Macros";
// The file dialogs' filter.
inline constexpr const char* MacroFileFilter = "NRV Macro Files|*.nrv|All Files|*.*|";

class EMacroFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// --- command lines in the settings file ---------------------------------------------------
// Lines 0 to 31 from Macro0..Macro31, line 0 into the command editor (when Host is
// given), then the line CurrentInx (0 to 31; other numbers leave line 0) current.
void LoadCurrentMacros(TCommandLineStore& Store, TCommandHost* Host, const std::string& IniName);
// Stores the command editor's text first (when Host is given), then writes the lines
// (Macro0..Macro31) and CurrentInx that changed since they were loaded or last
// saved; nothing when none did, or when the file is marked read-only. Throws
// EFileError when the file cannot be written; the file is then left as it was.
void SaveCurrentMacros(TCommandLineStore& Store, TCommandHost* Host, const std::string& IniName);

// --- macro files -------------------------------------------------------------------------------
// What loading a macro file took and what it could not.
struct TMacroLoadReport {
    int Loaded = 0;             // entries read (the first Loaded of the table)
    bool NoCount = false;       // no Count, or one that is no number from 0 up
    bool Skipped = false;       // the Count was above 30: the rest was not read
    std::vector<int> Missing;   // entries (from 1) without a Macro key, loaded empty
    std::vector<int> NotHex;    // entries whose Macro is not hex digits, loaded empty
    // Whether saving the table over the file would lose what it could not read.
    bool Lossy() const { return Skipped || !NotHex.empty(); }
    // The status-line message.
    std::string Text() const;
};

// Entries 0..Count-1 from the file; later entries keep what they held (a file with
// fewer entries merges into the table). Throws EMacroFileError, table untouched,
// when the file cannot be read.
TMacroLoadReport LoadMacroFile(const std::string& FileName, TMacroTable& Table);
// Replaces the file's Macros section with Count (0 to 30) entries; other sections
// stay. Throws EFileError when the file cannot be written (it is then unchanged).
void SaveMacroFile(const std::string& FileName, const TMacroTable& Table, int Count);

// Entries Index..28 move down one place (entry 29 is lost); Name is cut to 20 characters.
void InsertMacroEntry(TMacroTable& Table, const std::string& Name, const std::string& Macro, int Index);
// Entries Index+1..29 move up one place; entry 29 becomes empty.
void DeleteMacroEntry(TMacroTable& Table, int Index);
// A name as the table keeps it: its first 20 characters, line breaks removed (a
// name is stored as an ini value, which holds no line break).
std::string MacroName(const std::string& Name);

}  // namespace narvo
