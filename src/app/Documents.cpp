// The document verbs (see Documents.h). Saving runs in this order: follow a
// symbolic link; write the whole text to a temporary file beside the target and
// sync it; rename the old file to its ".BAK" (which replaces an older one); when
// that rename fails, the temporary file becomes "nrvsave.zvt" and only then is
// the warning shown; rename the temporary file onto the target. Every failure
// before the last step leaves the files on disk as they were.
#include "app/Documents.h"

#include "app/AppHooks.h"
#include "app/AppState.h"
#include "app/CommandLanguage.h"
#include "app/MainWindow.h"
#include "app/StatusLine.h"
#include "app/TextRegister.h"
#include "app/WordCommands.h"
#include "components/RecentFiles.h"
#include "engine/EditBuffer.h"
#include "engine/TextFiles.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "shared/FileFolder.h"

#include <QGuiApplication>
#include <QMenu>
#include <QPointer>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace narvo {

namespace {

// The fault a test injected for Step on Path: the platform layer's hook is asked
// for the renames this module makes itself.
int InjectedFault(TFileStep Step, const std::string& Path)
{
    TFileFaultHook Hook = SetFileFaultHook({});
    SetFileFaultHook(Hook);
    return Hook ? Hook(Step, Path) : 0;
}

// rename(2) with the test hook; 0 or the errno.
int RenameFile(const std::string& From, const std::string& To)
{
    if (const int Err = InjectedFault(TFileStep::Rename, To))
        return Err;
    return ::rename(From.c_str(), To.c_str()) == 0 ? 0 : errno;
}

const char* LineEndName(TLineEnd E)
{
    return E == TLineEnd::CrLf ? "CR LF" : (E == TLineEnd::Cr ? "CR" : "LF");
}

std::string ChangedLineEndsText(const TEditBuffer& B)
{
    return std::to_string(B.ChangedLineEnds) + " line end(s) of this file differ from its usual " +
           LineEndName(B.LineEnd) + ".";
}

bool IsRegular(const std::string& Path)
{
    struct stat St {};
    return ::stat(Path.c_str(), &St) == 0 && S_ISREG(St.st_mode);
}

void ReportCannotSave(const std::string& Name, const std::string& Reason)
{
    MessageDlg("Cannot save \"" + Name + "\".\r\n" + Reason, mtError, mbOK);
}

// The bytes to write; a text that would not be written back as it was read (a
// UTF-16 text that lost characters, line ends unlike the file's usual one) is
// written only when the user agrees. nullopt: do not save.
std::optional<std::string> BytesToSave(TScrollEditor& Main)
{
    try {
        return Main.FileBytes(false);
    } catch (const ELossyText&) {
        const std::string Question =
            Main.Strings->Encoding != 0 && Main.Strings->Lossy
                ? "Some characters of this UTF-16 file had no equivalent and were read as '?'.\r\n"
                  "Saving writes the '?' characters. Save anyway?"
                : ChangedLineEndsText(*Main.Strings) + "\r\nSaving writes them as " +
                      LineEndName(Main.Strings->LineEnd) + ". Save anyway?";
        if (MessageDlg(Question, mtWarning, mbYes | mbNo) != mrYes)
            return std::nullopt;
        return Main.FileBytes(true);
    }
}

struct TWaitCursor {
    explicit TWaitCursor(Qt::CursorShape Shape) { BeginWaitCursor(Shape); }
    ~TWaitCursor() { EndWaitCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

int GWaitDepth = 0;

}  // namespace

// --- names -----------------------------------------------------------------------------------

std::string BackupFileName(const std::string& Name)
{
    const auto Slash = Name.rfind('/');
    const std::size_t BaseStart = Slash == std::string::npos ? 0 : Slash + 1;
    const auto Dot = Name.rfind('.');
    // A dot at the start of the file-name part marks a hidden file, not an extension.
    if (Dot == std::string::npos || Dot <= BaseStart)
        return Name + ".BAK";
    return Name.substr(0, Dot) + ".BAK";
}

std::string EmergencyFileName(const std::string& Name)
{
    const std::string Folder = FolderOfPath(Name);
    return (Folder == "/" ? "" : Folder) + "/" + EmergencyFileBaseName;
}

std::string AbsoluteFileName(const std::string& Name)
{
    if (Name.empty() || Name[0] == '/')
        return Name;
    const std::string Folder = GetCurrentFolder();
    return Folder.empty() ? Name : (Folder == "/" ? "" : Folder) + "/" + Name;
}

// --- wait cursor -------------------------------------------------------------------------------

void BeginWaitCursor(Qt::CursorShape Shape)
{
    ++GWaitDepth;
    QGuiApplication::setOverrideCursor(QCursor(Shape));
}

void EndWaitCursor()
{
    if (GWaitDepth <= 0)
        return;
    --GWaitDepth;
    QGuiApplication::restoreOverrideCursor();
}

// --- edit state --------------------------------------------------------------------------------

void ResetEditState()
{
    if (Form1) {
        Form1->MainEditor->ClearMark();
        Form1->MainEditor->SetModified(false);
    }
    WholeWordFlag = false;
    ForwardFlag = true;
    QuoteNextFlag = false;
    BreakFlag = false;
    BoxStyle = 0;
    ResetMarkers();
    if (TXRegister* Register = ProgramRegister())
        Register->StopCollecting();
}

// --- recent files ------------------------------------------------------------------------------

TReopenMenu& ReopenMenu()
{
    // One menu per main window; without a window (tests) one without an owner.
    static QPointer<TReopenMenu> Menu;
    if (Menu && Menu->parent() == Form1)
        return *Menu;
    Menu = new TReopenMenu(Form1);
    auto* Submenu = new QMenu(QStringLiteral("&Reopen"), Form1);
    Submenu->setObjectName(QStringLiteral("ReopenMnu"));
    if (!Form1)
        QObject::connect(Menu.data(), &QObject::destroyed, Submenu, &QObject::deleteLater);
    Menu->SetMenuItem(Submenu);
    Menu->Limit = 8;
    Menu->INIFile = "narvo.ini";
    Menu->INISection = "FileHistory";
    Menu->UpdateOnClick = true;
    Menu->OnMenuClick = [](QObject*, const std::string& Path) { OpenTextFile(Path); };
    return *Menu;
}

namespace {

void AddToRecent(const std::string& Name)
{
    TReopenMenu& R = ReopenMenu();
    R.AddFile(Name);
    R.SaveToIni();
}

}  // namespace

// --- save --------------------------------------------------------------------------------------

bool SaveTextFile(const std::string& GivenName, bool AddToRecentList)
{
    if (!Form1 || GivenName.empty())
        return false;
    TScrollEditor& Main = *Form1->MainEditor;
    const std::string Name = AbsoluteFileName(GivenName);
    std::string Target, Temp;
    try {
        Target = ResolveFileLink(Name);
        const std::optional<std::string> Bytes = BytesToSave(Main);
        if (!Bytes)
            return false;
        Temp = WriteTempFile(Target, *Bytes);
    } catch (const EFileError& E) {
        ReportCannotSave(Name, E.what());
        return false;
    }

    const std::string Backup = BackupFileName(Target);
    bool BackupMade = false;
    if (IsRegular(Target) && Backup != Target) {
        if (RenameFile(Target, Backup) == 0) {
            BackupMade = true;
        } else {
            // The old file stays where it is; the text goes to the emergency file.
            const std::string Emergency = EmergencyFileName(Target);
            if (const int Err = RenameFile(Temp, Emergency)) {
                RemoveTempFile(Temp);
                ReportCannotSave(Name, FileErrorText("Cannot write", Emergency, Err));
                return false;
            }
            MessageDlg(std::string("File is open by another program.\r\nResults saved to: ") + EmergencyFileBaseName,
                       mtWarning, mbOK);
            return false;
        }
    }
    try {
        RenameIntoPlace(Temp, Target);
    } catch (const EFileError& E) {
        // Put the old file back, so that the name still holds the last saved text.
        std::string Reason = E.what();
        if (BackupMade && ::rename(Backup.c_str(), Target.c_str()) != 0)
            Reason += "\r\nThe previous text is in \"" + Backup + "\".";
        ReportCannotSave(Name, Reason);
        return false;
    }

    CurrentFileName = Name;
    Main.FileName = Name;
    Main.Strings->ChangedLineEnds = 0;  // the file now has one line end throughout
    Main.SetModified(false);
    UpdateStatus();
    SetWindowTitle(Name);
    if (AddToRecentList)
        AddToRecent(Name);
    Main.setFocus();
    ChDirToFileFolder(Name);
    return true;
}

bool SaveTextFileAs()
{
    TFileDialogOptions O;
    O.Title = "Save Text As";
    O.Filter = "All Files|*.*|Text Files|*.txt;*.doc|";
    O.FileName = "*.*";
    O.InitialFolder = GetCurrentFolder();
    O.OverwritePrompt = true;
    const std::optional<std::string> Chosen = FileDialogs().SaveFileName(O);
    if (!Chosen || Chosen->empty())
        return false;
    return SaveTextFile(*Chosen, true);
}

bool SaveIfModified()
{
    if (!Form1 || !Form1->MainEditor->Modified)
        return true;
    if (!CurrentFileName.empty())
        return SaveTextFile(CurrentFileName, true);
    return SaveTextFileAs();
}

// --- close, open, append -----------------------------------------------------------------------

bool CloseTextFile()
{
    if (!Form1)
        return true;
    TScrollEditor& Main = *Form1->MainEditor;
    if (Main.Modified) {
        switch (MessageDlg("Save Changes?", mtWarning, mbYesNoCancel)) {
        case mrYes:
            if (!SaveIfModified())
                return false;
            break;
        case mrNo:
            break;
        default:
            return false;
        }
    }
    CurrentFileName.clear();
    Main.Clear();
    ResetEditState();
    return true;
}

bool OpenTextFile(const std::string& GivenName)
{
    if (!Form1)
        return false;
    const std::string Name = AbsoluteFileName(GivenName);
    if (Name.empty() || !FileExists(Name)) {
        MessageDlg("File Does Not Exist.", mtWarning, mbOK);
        return false;
    }
    // The whole file is read before the current document is closed, so a file that
    // cannot be read leaves everything as it was.
    std::string Bytes;
    try {
        TWaitCursor Wait(Qt::WaitCursor);
        Bytes = ReadFileBytes(Name);
    } catch (const EFileError& E) {
        MessageDlg(E.what(), mtError, mbOK);
        return false;
    }
    if (!CloseTextFile())
        return false;
    ChDirToFileFolder(Name);
    TScrollEditor& Main = *Form1->MainEditor;
    CurrentFileName = Name;
    Main.SetText(Bytes);
    std::string().swap(Bytes);
    Main.FileName = Name;
    ResetEditState();
    UpdateStatus();
    SetWindowTitle(Name);
    AddToRecent(Name);
    Main.setFocus();
    if (Main.Strings->ChangedLineEnds > 0)
        ShowStatusMessage(ChangedLineEndsText(*Main.Strings), false);
    if (DocumentOpened)
        DocumentOpened();
    return true;
}

bool AppendTextFile(const std::string& GivenName)
{
    if (!Form1)
        return false;
    const std::string Name = AbsoluteFileName(GivenName);
    TScrollEditor& Main = *Form1->MainEditor;
    std::vector<std::string> Lines;
    try {
        TWaitCursor Wait(Qt::WaitCursor);
        const std::string Bytes = ReadFileBytes(Name);
        // Plain line splitting at CR, LF or CR LF; a final line end adds no line.
        ForEachTextLine(Bytes, [&](std::string_view Piece, bool Ended) {
            if (Ended || !Piece.empty())
                Lines.emplace_back(Piece);
        });
    } catch (const EFileError& E) {
        MessageDlg(E.what(), mtError, mbOK);
        return false;
    }
    Main.GotoBottom();
    Main.Strings->InsertLines(Main.Strings->Count(), std::move(Lines));
    ResetEditState();
    Main.SetModified(true);
    Main.UpdateDisplay(true, true);
    return true;
}

// --- the command verbs -------------------------------------------------------------------------

bool ParseQuotedFileName(const std::string& Line, std::int64_t& Pos, std::string& Name)
{
    Name.clear();
    const auto Len = static_cast<std::int64_t>(Line.size());
    if (Pos < 1 || Pos > Len || Line[static_cast<std::size_t>(Pos - 1)] != '"')
        return true;
    ++Pos;
    while (Pos <= Len && Name.size() < 255) {
        const char C = Line[static_cast<std::size_t>(Pos - 1)];
        ++Pos;
        if (C == '"')
            return true;
        Name += C;
    }
    return false;
}

std::int64_t InsertFileCmd(const std::string& Line, std::int64_t Pos)
{
    std::string Name;
    if (!ParseQuotedFileName(Line, Pos, Name) || Name.empty())
        ShowStatusMessage("no filename", true);
    else if (!AppendTextFile(Name))
        ShowStatusMessage("disk-o?", true);
    else
        ShowStatusMessage("", true);
    return Pos + 1;
}

std::int64_t OpenFileCmd(const std::string& Line, std::int64_t Pos)
{
    std::string Name;
    if (!ParseQuotedFileName(Line, Pos, Name)) {
        ShowStatusMessage("no \"", true);
    } else if (OpenTextFile(Name)) {
        ResetEditState();
        if (Form1->MainEditor->Strings->ChangedLineEnds == 0)
            ShowStatusMessage("", true);
    } else {
        ShowStatusMessage("disk-o?", true);
    }
    return Pos;
}

void SaveAndExitCmd()
{
    if (!Form1 || !SaveIfModified())
        return;
    Form1->MainEditor->SetModified(false);
    Form1->close();
}

void ExitWithoutSavingCmd()
{
    if (Form1 && CloseTextFile())
        Form1->close();
}

// --- hooks -------------------------------------------------------------------------------------

void InstallDocumentHooks()
{
    TAppHooks& H = AppHooks();
    H.ResetEditState = [] { ResetEditState(); };
    H.OpenTextFile = [](const std::string& Name) { return OpenTextFile(Name); };
    H.CloseTextFile = [] { return CloseTextFile(); };
    H.LoadRecentFiles = [] { ReopenMenu().LoadFromIni(); };
    TCommandServices& C = CommandServices();
    C.InsertFileCmd = [](const std::string& Line, std::int64_t Pos) { return InsertFileCmd(Line, Pos); };
    C.OpenFileCmd = [](const std::string& Line, std::int64_t Pos) { return OpenFileCmd(Line, Pos); };
    C.SaveAndExitCmd = [] { SaveAndExitCmd(); };
    C.SaveIfModified = [] { SaveIfModified(); };
}

}  // namespace narvo
