// Macros and macro files (see Macros.h).
#include "language/Macros.h"

#include "language/CommandHost.h"
#include "language/CommandLines.h"
#include "platform/posix/IniFile.h"
#include "platform/posix/IniValues.h"
#include "platform/posix/SafeFile.h"
#include "shared/HexText.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <sys/stat.h>
#include <vector>

namespace narvo {

namespace {

std::string MacroKey(int K) { return "Macro" + std::to_string(K); }
std::string NameKey(int K) { return "Name" + std::to_string(K); }

[[noreturn]] void Refuse(const std::string& FileName, const std::string& Why)
{
    throw EMacroFileError("\"" + FileName + "\" is not a usable macro file: " + Why + ".");
}

// The file must be a regular file that can be read: the ini class reads anything
// else as an empty file, which would load as "nothing" without a word.
void CheckReadable(const std::string& FileName)
{
    struct stat St {};
    if (::stat(FileName.c_str(), &St) != 0)
        throw EMacroFileError(FileErrorText("Cannot open the macro file", FileName, errno));
    if (!S_ISREG(St.st_mode))
        Refuse(FileName, "it is not a regular file");
    std::ifstream In(FileName, std::ios::binary);
    if (!In)
        throw EMacroFileError(FileErrorText("Cannot read the macro file", FileName, errno ? errno : EACCES));
}

}  // namespace

// --- command lines ---------------------------------------------------------------------------

void LoadCurrentMacros(TCommandLineStore& Store, TCommandHost* Host, const std::string& IniName)
{
    const TIniFile Ini(IniName);
    for (int K = 0; K < TCommandLineStore::LineCount; ++K)
        Store.Lines[static_cast<std::size_t>(K)] = ReadIniHexString(Ini, CurrentMacrosSection, MacroKey(K), "");
    Store.Current = 0;
    const std::int32_t Inx = Ini.ReadInteger(CurrentMacrosSection, "CurrentInx", 0);
    if (Host) {
        Host->SetCmdEditorText(Store.Lines[0]);
        Store.SelectCmdLine(*Host, Inx);
    } else if (Inx >= 0 && Inx < TCommandLineStore::LineCount) {
        Store.Current = Inx;
    }
    Store.LinesInFile = Store.Lines;
    Store.CurrentInFile = Store.ShownLine();
}

void SaveCurrentMacros(TCommandLineStore& Store, TCommandHost* Host, const std::string& IniName)
{
    if (Host)
        Store.StoreCmdLine(*Host);
    TIniFile Ini(IniName);
    // Written by the program itself at exit: a file the user made read-only stays.
    if (Ini.MarkedReadOnly())
        return;
    // Only what this window changed: another window on the same settings folder
    // may have written its own lines since.
    for (std::size_t K = 0; K < Store.Lines.size(); ++K)
        if (Store.Lines[K] != Store.LinesInFile[K])
            WriteIniHexString(Ini, CurrentMacrosSection, MacroKey(static_cast<int>(K)), Store.Lines[K]);
    if (Store.ShownLine() != Store.CurrentInFile)
        Ini.WriteInteger(CurrentMacrosSection, "CurrentInx", Store.ShownLine());
    if (!Ini.Modified())
        return;
    Ini.UpdateFile();
    Store.LinesInFile = Store.Lines;
    Store.CurrentInFile = Store.ShownLine();
}

// --- macro files --------------------------------------------------------------------------------

namespace {

// The entries a Count asks for: its digits (a Count far above 30 saturates), or -1
// when it is missing, negative or no number.
std::int64_t MacroCount(const TIniFile& Ini)
{
    if (!Ini.ValueExists(MacroFileSection, "Count"))
        return -1;
    std::string Text = Ini.ReadString(MacroFileSection, "Count", "");
    while (!Text.empty() && Text.back() == ' ')
        Text.pop_back();
    const std::size_t First = Text.find_first_not_of(' ');
    Text.erase(0, First == std::string::npos ? Text.size() : First);
    if (!Text.empty() && Text[0] == '+')
        Text.erase(0, 1);
    if (Text.empty() || Text.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    std::int64_t N = 0;
    for (const char C : Text)
        N = std::min<std::int64_t>(N * 10 + (C - '0'), INT32_MAX);
    return N;
}

std::string EntryList(const std::vector<int>& Entries)
{
    std::string S = Entries.size() == 1 ? "entry " : "entries ";
    for (std::size_t I = 0; I < Entries.size(); ++I)
        S += (I ? ", " : "") + std::to_string(Entries[I]);
    return S;
}

}  // namespace

std::string TMacroLoadReport::Text() const
{
    std::string S = "Macros: " + std::to_string(Loaded) + (Loaded == 1 ? " entry" : " entries") + " loaded";
    if (NoCount)
        S += " (no Count from 0 up in [Macros])";
    if (!Missing.empty())
        S += "; " + EntryList(Missing) + " empty (no Macro key)";
    if (!NotHex.empty())
        S += "; " + EntryList(NotHex) + " empty (not hexadecimal)";
    if (Skipped)
        S += "; entries after the 30th skipped";
    return S;
}

TMacroLoadReport LoadMacroFile(const std::string& FileName, TMacroTable& Table)
{
    CheckReadable(FileName);
    const TIniFile Ini(FileName);
    TMacroLoadReport R;
    const std::int64_t Count = MacroCount(Ini);
    R.NoCount = Count < 0;
    R.Skipped = Count > MacroTableSize;
    R.Loaded = static_cast<int>(std::clamp<std::int64_t>(Count, 0, MacroTableSize));
    for (int K = 1; K <= R.Loaded; ++K) {
        TMacroEntry& E = Table[static_cast<std::size_t>(K - 1)];
        E.Name = MacroName(ReadIniLongString(Ini, MacroFileSection, NameKey(K), ""));
        const std::string Hex = ReadIniLongString(Ini, MacroFileSection, MacroKey(K), "");
        if (!Ini.ValueExists(MacroFileSection, MacroKey(K)))
            R.Missing.push_back(K);
        else if (!IsHexString(Hex))
            R.NotHex.push_back(K);
        E.Macro = IsHexString(Hex) ? HexStrToStr(Hex, "") : std::string();
    }
    return R;
}

void SaveMacroFile(const std::string& FileName, const TMacroTable& Table, int Count)
{
    Count = std::max(0, std::min(Count, MacroTableSize));
    TIniFile Ini(FileName);
    Ini.EraseSection(MacroFileSection);
    Ini.WriteInteger(MacroFileSection, "Count", Count);
    for (int K = 1; K <= Count; ++K) {
        const TMacroEntry& E = Table[static_cast<std::size_t>(K - 1)];
        Ini.WriteString(MacroFileSection, NameKey(K), MacroName(E.Name));
        WriteIniHexString(Ini, MacroFileSection, MacroKey(K), E.Macro);
    }
    Ini.UpdateFile();
}

// --- the table ------------------------------------------------------------------------------------

std::string MacroName(const std::string& Name)
{
    std::string S;
    for (char C : Name) {
        if (S.size() >= MacroNameLength)
            break;
        if (C != '\r' && C != '\n')
            S.push_back(C);
    }
    return S;
}

void InsertMacroEntry(TMacroTable& Table, const std::string& Name, const std::string& Macro, int Index)
{
    if (Index < 0 || Index >= MacroTableSize)
        return;
    for (int I = MacroTableSize - 1; I > Index; --I)
        Table[static_cast<std::size_t>(I)] = std::move(Table[static_cast<std::size_t>(I - 1)]);
    Table[static_cast<std::size_t>(Index)] = TMacroEntry{Macro, MacroName(Name)};
}

void DeleteMacroEntry(TMacroTable& Table, int Index)
{
    if (Index < 0 || Index >= MacroTableSize)
        return;
    for (int I = Index; I < MacroTableSize - 1; ++I)
        Table[static_cast<std::size_t>(I)] = std::move(Table[static_cast<std::size_t>(I + 1)]);
    Table[MacroTableSize - 1] = TMacroEntry{};
}

}  // namespace narvo
