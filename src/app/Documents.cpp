// The document verbs (see Documents.h). Saving runs in this order: follow a
// symbolic link; ask when another program changed the file or it is read-only;
// write the whole text to a temporary file beside the target and sync it; give the
// old file a second, hidden name (a hard link, or a copy) to become the ".BAK";
// when that fails, the temporary file becomes "nrvsave.zvt" and only then is the
// warning shown; rename the temporary file onto the target; last, the hidden name
// replaces the older ".BAK". The name holds the old file until the new one is whole
// in its place, the older ".BAK" stays until then, and every failure before leaves
// the files as they were.
#include "app/Documents.h"

#include "app/CommandLanguage.h"
#include "app/MainWindow.h"
#include "components/RecentFiles.h"
#include "engine/EditBuffer.h"
#include "engine/TextFiles.h"
#include "language/AppState.h"
#include "language/StatusLine.h"
#include "language/TextRegister.h"
#include "language/WordCommands.h"
#include "platform/EndSignals.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "platform/posix/ProcessMemory.h"
#include "shared/FileFolder.h"
#include "shared/StringRoutines.h"
#include "tools/GoToLineDialog.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <memory>
#include <new>
#include <stdexcept>
#include <sys/stat.h>
#include <thread>
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

const char* LineEndName(TLineEnd E)
{
    return E == TLineEnd::CrLf ? "CR LF" : (E == TLineEnd::Cr ? "CR" : "LF");
}

std::string ChangedLineEndsText(const TEditBuffer& B)
{
    return std::to_string(B.ChangedLineEnds) + " line end(s) of this file differ from its usual " +
           LineEndName(B.LineEnd) + ".";
}

// The file of a pane as it was when read or last saved: the name it was read under,
// the file that name led to (after links) and its stamp, so that a change by
// another program, also a link turned to another file, is noticed before it is
// overwritten.
struct TPaneDisk {
    std::string Name;
    std::string File;
    TFileStamp Stamp;
};
// The document's.
TPaneDisk GDisk;
// The stamp of a change already reported by an auto-save (reported once).
TFileStamp GReportedStamp;
// The last reason an auto-save gave for skipping a text it would have to change
// (said once, until the document is saved, opened or closed).
std::string GSkipSaid;

void RememberDiskFile(const std::string& Name, const std::string& Target)
{
    GDisk = {Name, Target, StampOf(Target)};
    GSkipSaid.clear();
}

// The same for each pane with a file of its own other than the document (the
// secondary pane), while the pane exists.
std::map<const QObject*, TPaneDisk> GPaneDisks;

void RememberPaneDisk(const TScrollEditor& Pane, const std::string& Name, const std::string& Target,
                      const TFileStamp& Stamp)
{
    const auto [It, Added] = GPaneDisks.insert_or_assign(&Pane, TPaneDisk{Name, Target, Stamp});
    if (Added)
        QObject::connect(&Pane, &QObject::destroyed, [Key = It->first] { GPaneDisks.erase(Key); });
}

// Whether Target, the file a save of Pane under Name would replace, is no longer as
// it was when read or last saved here: another program changed it meanwhile, or
// turned the link Name is to another file (whose own text a save would replace).
bool ChangedOnDisk(const TScrollEditor& Pane, bool Document, const std::string& Name, const std::string& Target,
                   const TFileStamp& Now)
{
    if (!Now.Valid)
        return false;
    const TPaneDisk* Known = &GDisk;
    if (!Document) {
        const auto It = GPaneDisks.find(&Pane);
        Known = It == GPaneDisks.end() ? nullptr : &It->second;
    }
    if (!Known || !Known->Stamp.Valid)
        return false;
    if (Target == Known->File)
        return !(Now == Known->Stamp);
    return Name == Known->Name;
}

void SayAutoSaveSkipped(const std::string& Text)
{
    if (Text == GSkipSaid)
        return;
    GSkipSaid = Text;
    ShowStatusMessage(Text, true);
}

// Set while a question about the document is open: an auto-save then would decide
// before the user did.
int GQuestionDepth = 0;

struct TAsking {
    TAsking() { ++GQuestionDepth; }
    ~TAsking() { --GQuestionDepth; }
    TAsking(const TAsking&) = delete;
    TAsking& operator=(const TAsking&) = delete;
};

TModalResult AskAboutDocument(const std::string& Text, TMsgDlgType Type, TMsgDlgButtons Buttons)
{
    TAsking Asking;
    return MessageDlg(Text, Type, Buttons);
}

// The old file Target under a hidden name beside Backup, to replace the older
// ".BAK" once the new text is in place: a hard link, or a copy where the file
// system has no links. The old file keeps its name throughout. Throws EFileError
// with the reason.
TTempFile PrepareBackup(const std::string& Target, const std::string& Backup)
{
    // The step that makes the ".BAK" out of the old file, as a test may fail it.
    if (const int Err = InjectedFault(TFileStep::Rename, Backup))
        throw EFileError(FileErrorText("Cannot make the backup", Backup, Err), Err);
    // A name the save once left behind beside the ".BAK" while it made the link.
    ::unlink((Backup + ".nrv-link").c_str());
    struct stat St {};
    if (::lstat(Backup.c_str(), &St) == 0 && S_ISDIR(St.st_mode))
        throw EFileError(FileErrorText("Cannot make the backup", Backup, EISDIR), EISDIR);
    try {
        return LinkTempFile(Target, Backup);
    } catch (const EFileError&) {
        // A copy is as private as the file it keeps: its mode and owner, not a new
        // file's (nor those of the older ".BAK" it replaces).
        return WriteTempFile(Backup, ReadFileBytes(Target), 0600, Target);
    }
}

// The emergency file of Target: "nrvsave.zvt" beside it, or a numbered name when
// that holds the text of another save (another document of the folder, another
// window). This program's own earlier one for the same file is replaced only while
// its name still holds that very file: one moved away and another save's text put
// under the name meanwhile is kept, and the text goes under a new name.
std::string PlaceEmergencyFile(TTempFile Temp, const std::string& Target)
{
    struct TOwnEmergency {
        std::string Name;
        TFileStamp Stamp;
    };
    static std::map<std::string, TOwnEmergency> OwnEmergency;
    TOwnEmergency& Own = OwnEmergency[Target];
    if (!Own.Name.empty() && Own.Stamp.Valid && StampOf(Own.Name) == Own.Stamp)
        RenameIntoPlace(std::move(Temp), Own.Name);
    else
        Own.Name = PlaceAsNewFile(std::move(Temp), EmergencyFileName(Target));
    Own.Stamp = StampOf(Own.Name);
    return Own.Name;
}

void ReportCannotSave(const std::string& Name, const std::string& Reason)
{
    MessageDlg("Cannot save \"" + Name + "\".\r\n" + Reason, mtError, mbOK);
}

// The warning of a text that went to the emergency file. The old file could not be
// kept as the ".BAK"; "open by another program" is said only when the system said
// so (the file busy), else the system's own reason.
std::string EmergencyText(const EFileError& Why, const std::string& Emergency)
{
    const bool Busy = Why.Code() == EBUSY || Why.Code() == ETXTBSY;
    return std::string(Busy ? "File is open by another program." : Why.what()) + "\r\nResults saved to: " +
           Emergency.substr(Emergency.rfind('/') + 1);
}

// Which bytes to write; a text that would not be written back as it was read (a
// UTF-16 text that lost characters, line ends unlike the file's usual one) is
// written only when the user agrees. An automatic save cannot ask: it skips the
// text and says why in the status line, since a question popping up under the
// typing hands over the keyboard and the next key would answer it. A draft changes
// nothing nobody agreed to: its line ends are those the text was read with. nullopt:
// do not save.
std::optional<TScrollEditor::TFileBytes> BytesToSave(TScrollEditor& Main, const std::string& Name, TSaveKind Kind)
{
    const TScrollEditor::TFileBytes How =
        Kind == TSaveKind::Draft ? TScrollEditor::TFileBytes::Draft : TScrollEditor::TFileBytes::Save;
    try {
        Main.CheckFileBytes(How);
        return How;
    } catch (const ELossyText&) {
        const bool Utf16 = Main.Strings->Encoding != 0 && Main.Strings->Lossy;
        if (Kind == TSaveKind::Automatic) {
            SayAutoSaveSkipped("Not auto-saved: " + ElideMiddle(Name) +
                               (Utf16 ? " has characters read as '?'"
                                      : " has " + std::to_string(Main.Strings->ChangedLineEnds) +
                                            " line end(s) unlike its usual " + LineEndName(Main.Strings->LineEnd)) +
                               "; Save asks first");
            return std::nullopt;
        }
        const std::string Question =
            Utf16
                ? "Some characters of this UTF-16 file had no equivalent and were read as '?'.\r\n"
                  "Saving writes the '?' characters. Save anyway?"
                : ChangedLineEndsText(*Main.Strings) + "\r\nSaving writes them as " +
                      LineEndName(Main.Strings->LineEnd) + ". Save anyway?";
        if (AskAboutDocument(Question, mtWarning, mbYes | mbNo | mbDefaultNo) != mrYes)
            return std::nullopt;
        return TScrollEditor::TFileBytes::SaveAgreed;
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
    // The whole name stays, extension and all: "a.c" and "a.h" must not share one
    // backup, or saving the one destroys the backup of the other.
    const std::string Folder = FolderOfPath(Name);
    const std::size_t Slash = Name.rfind('/');
    const std::string Base = Slash == std::string::npos ? Name : Name.substr(Slash + 1);
    const std::size_t Limit = FileNameLimit(Folder);
    if (Base.size() + 4 <= Limit)
        return Name + ".BAK";
    // Too long for ".BAK": the start of the name, then what tells it from every other
    // name that begins alike (a hash of the whole name), so that neither shares a
    // backup.
    char Tag[16];
    std::snprintf(Tag, sizeof Tag, "~%08X.BAK", static_cast<unsigned>(Fnv1a32(Base)));
    return Name.substr(0, Slash == std::string::npos ? 0 : Slash + 1) + FitFileName(Folder, Base, std::strlen(Tag)) + Tag;
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

TWorkingOn::TWorkingOn(std::int64_t Bytes) : FShown(Bytes >= LongOperationBytes)
{
    if (!FShown)
        return;
    BeginWaitCursor(Qt::WaitCursor);
    // Painted now: no event is taken until the operation ends, and the status line
    // shows the operation's own result afterwards.
    if (Form1 && Form1->StatusDis) {
        Form1->StatusDis->setText(QStringLiteral(" Working"));
        Form1->StatusDis->repaint();
    }
}

TWorkingOn::~TWorkingOn()
{
    if (!FShown)
        return;
    EndWaitCursor();
    // The status message as it stands, for a handler that refreshes no status.
    if (Form1 && Form1->StatusDis)
        Form1->ShowStatusText();
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
    Menu->INIFile = "Narvo.ini";  // the settings file, spelled as by every other writer
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

bool DocumentQuestionOpen() { return GQuestionDepth > 0; }

namespace {

// The save of SaveTextFile for any pane. Only the main pane's text is the document:
// for another pane (the secondary file) the document's name, stamp, title and
// recent list stay as they are.
bool SavePane(TScrollEditor& Main, const std::string& GivenName, bool AddToRecentList, TSaveKind Kind)
{
    const bool Automatic = Kind != TSaveKind::User;
    const bool Document = Form1 && &Main == Form1->MainEditor;
    if (GivenName.empty())
        return false;
    std::string Name = AbsoluteFileName(GivenName);
    std::string Target;
    TTempFile Temp;
    try {
        Target = ResolveFileLink(Name);
    } catch (const EFileError& E) {
        ReportCannotSave(Name, E.what());
        return false;
    }

    // Another program changed the file since it was read or saved here.
    const TFileStamp Now = StampOf(Target);
    if (ChangedOnDisk(Main, Document, Name, Target, Now)) {
        if (Automatic) {
            if (!(GReportedStamp == Now))
                ShowStatusMessage("Not auto-saved: " + ElideMiddle(Name) + " was changed by another program", true);
            GReportedStamp = Now;
            return false;
        }
        if (AskAboutDocument(ChangedFileQuestion(Name, false, "read"), mtWarning, mbYes | mbNo | mbDefaultNo) != mrYes)
            return false;
    }
    if (IsReadOnlyFile(Target)) {
        if (Automatic) {
            ShowStatusMessage("Not auto-saved: " + ElideMiddle(Name) + " is read-only", true);
            return false;
        }
        if (AskAboutDocument(ReadOnlyQuestion, mtWarning, mbYes | mbNo | mbDefaultNo) != mrYes)
            return false;
    }

    try {
        const std::optional<TScrollEditor::TFileBytes> How = BytesToSave(Main, Name, Kind);
        if (!How)
            return false;
        // Made from the lines a piece at a time, with no copy of the text: a large
        // text is saved also when little memory is left.
        Temp = WriteTempFileFrom(
            Target, [&](const TPutBytes& Put) { Main.PutFileBytes(*How, Put); }, Kind == TSaveKind::Draft ? 0600 : 0666);
    } catch (const EFileError& E) {
        ReportCannotSave(Name, E.what());
        return false;
    }

    const std::string Backup = BackupFileName(Target);
    TTempFile Previous;  // the old file, to become the ".BAK"
    if (Kind != TSaveKind::Draft && IsRegularFile(Target)) {
        try {
            Previous = PrepareBackup(Target, Backup);
        } catch (const EFileError& Why) {
            // The old file stays where it is; the text goes to the emergency file.
            std::string Emergency;
            try {
                Emergency = PlaceEmergencyFile(std::move(Temp), Target);
            } catch (const EFileError& E) {
                ReportCannotSave(Name, E.what());
                return false;
            }
            MessageDlg(EmergencyText(Why, Emergency), mtWarning, mbOK);
            return false;
        }
    }
    try {
        // The name held the old file until now and holds the new one from here. A
        // new dated name another window took meanwhile keeps that window's text.
        if (Kind == TSaveKind::Draft)
            Name = Target = PlaceAsNewFile(std::move(Temp), Target);
        else
            RenameIntoPlace(std::move(Temp), Target);
    } catch (const EFileError& E) {
        ReportCannotSave(Name, E.what());  // the older ".BAK" is untouched
        return false;
    }
    if (!Previous.Empty()) {
        try {
            RenameIntoPlace(std::move(Previous), Backup);
        } catch (const EFileError& E) {
            // The text is saved; only the older ".BAK" could not give way.
            if (Automatic)
                ShowStatusMessage("Saved " + ElideMiddle(Name) + ", but the previous version was not kept: " +
                                      std::strerror(E.Code()),
                                  true);
            else
                MessageDlg("Saved \"" + Name + "\", but the previous version was not kept.\r\n" + E.what(), mtWarning,
                           mbOK);
        }
    }

    Main.FileName = Name;
    // The file now has one line end throughout; a draft keeps those it was read with.
    if (Kind != TSaveKind::Draft)
        Main.Strings->ChangedLineEnds = 0;
    Main.SetModified(false);
    UpdateStatus();
    if (!Document) {
        RememberPaneDisk(Main, Name, Target, StampOf(Target));
        return true;
    }
    CurrentFileName = Name;
    RememberDiskFile(Name, Target);
    SetWindowTitle(Name);
    if (AddToRecentList)
        AddToRecent(Name);
    Main.setFocus();
    ChDirToFileFolder(Name);
    return true;
}

}  // namespace

bool SaveTextFile(const std::string& GivenName, bool AddToRecentList, TSaveKind Kind)
{
    // An ending signal sent again during a long save waits until the text is safe.
    const TWritingText Writing;
    return Form1 && SavePane(*Form1->MainEditor, GivenName, AddToRecentList, Kind);
}

bool SavePaneToFile(TScrollEditor& Pane, const std::string& Name)
{
    const TWritingText Writing;
    return SavePane(Pane, Name, false, TSaveKind::User);
}

void LoadPaneFromFile(TScrollEditor& Pane, const std::string& Name)
{
    const std::string Absolute = AbsoluteFileName(Name);
    const std::string Target = ResolveFileLink(Absolute);
    // The stamp before the bytes, so that a change while they are read is seen at
    // the next save.
    const TFileStamp Stamp = StampOf(Target);
    Pane.LoadFromFile(Name);
    RememberPaneDisk(Pane, Absolute, Target, Stamp);
}

bool AskToSaveText(const std::string& Question, const std::function<bool()>& Save)
{
    switch (AskAboutDocument(Question, mtWarning, mbYesNoCancel)) {
    case mrYes:
        return Save();
    case mrNo:
        return true;
    default:
        return false;
    }
}

bool OfferToSaveDocument()
{
    if (!Form1 || !Form1->MainEditor->Modified)
        return true;
    return AskToSaveText("Save Changes?", [] { return SaveIfModified(); });
}

std::optional<std::string> AskSaveFileName(const std::string& Current)
{
    TFileDialogOptions O;
    O.Title = "Save Text As";
    O.Filter = "All Files|*.*|Text Files|*.txt;*.doc|";
    O.FileName = "*.*";
    O.InitialFolder = GetCurrentFolder();
    // A named text starts the dialog at its own name in its own folder.
    const std::size_t Slash = Current.rfind('/');
    if (Slash != std::string::npos && Slash + 1 < Current.size()) {
        O.FileName = Current.substr(Slash + 1);
        O.InitialFolder = Slash == 0 ? std::string("/") : Current.substr(0, Slash);
    }
    O.OverwritePrompt = true;
    std::optional<std::string> Chosen;
    {
        // The name is a question about the document too: no draft is saved meanwhile.
        TAsking Asking;
        Chosen = FileDialogs().SaveFileName(O);
    }
    if (!Chosen || Chosen->empty())
        return std::nullopt;
    return Chosen;
}

bool SaveTextFileAs()
{
    const std::optional<std::string> Chosen = AskSaveFileName(CurrentFileName);
    return Chosen && SaveTextFile(*Chosen, true);
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
    if (!OfferToSaveDocument())
        return false;
    CurrentFileName.clear();
    GDisk = {};
    GSkipSaid.clear();
    Main.Clear();
    ResetEditState();
    return true;
}

// --- the file named at start-up -------------------------------------------------------------

namespace {

// A text read and cut into lines on a thread of its own. The thread owns Text and
// Stamp until it is joined.
struct TStartupFile {
    std::string Name;
    std::unique_ptr<TEditBuffer> Text;  // null when the file could not be read
    TFileStamp Stamp;
    std::thread Reader;
    ~TStartupFile()
    {
        if (Reader.joinable())
            Reader.join();
    }
};

std::unique_ptr<TStartupFile> GStartupFile;

// The text read at start-up when it is Name's, with the stamp the file had once
// read; the prefetch is used up either way.
// The file's bytes cut into lines, away from every pane; a text the memory cannot
// hold is refused with the file's name and the bound it met.
std::unique_ptr<TEditBuffer> PrepareText(const std::string& Name, TFileBlock&& Bytes)
{
    const auto Size = static_cast<std::int64_t>(Bytes.Size);
    try {
        auto Text = std::make_unique<TEditBuffer>();
        Text->AdoptText(std::move(Bytes.Data), Bytes.Size);
        return Text;
    } catch (const std::bad_alloc&) {
        throw EFileError(FileTooLargeText(Name, Size));
    } catch (const std::length_error&) {
        throw EFileError(FileTooLargeText(Name, Size));
    }
}

std::unique_ptr<TEditBuffer> TakeStartupFile(const std::string& Name, TFileStamp& Stamp)
{
    if (!GStartupFile)
        return nullptr;
    const std::unique_ptr<TStartupFile> F = std::move(GStartupFile);
    F->Reader.join();
    if (F->Name != Name || !F->Text)
        return nullptr;
    Stamp = F->Stamp;
    return std::move(F->Text);
}

}  // namespace

TStartupParams ParseStartupParams(const std::vector<std::string>& Params)
{
    TStartupParams Result;
    for (std::size_t I = 0; I < Params.size(); ++I) {
        if (Params[I] == "/#") {
            if (I + 1 < Params.size())
                Result.Line = Params[++I];
            continue;
        }
        if (!Result.File)
            Result.File = Params[I];
    }
    return Result;
}

void PrefetchStartupFile(int Argc, char** Argv)
{
    const std::vector<std::string> Params(Argv + std::min(Argc, 1), Argv + std::max(Argc, 1));
    if (std::any_of(Params.begin(), Params.end(), [](const std::string& P) { return !P.empty() && P[0] == '-'; }))
        return;
    // The file the first activation opens, relative to the folder the program starts in.
    std::string File = ParseStartupParams(Params).File.value_or(std::string());
    if (File.empty())
        return;
    const std::string Start = GetCurrentFolder();
    if (File[0] != '/' && !Start.empty())
        File = Start + "/" + File;
    const std::string Name = AbsoluteFileName(File);
    if (!IsRegularFile(Name))
        return;
    auto F = std::make_unique<TStartupFile>();
    F->Name = Name;
    TStartupFile* Job = F.get();
    F->Reader = std::thread([Job] {
        try {
            // The stamp before the bytes: a file rewritten while it is read then
            // differs from it when opened, and is read again.
            Job->Stamp = StampOf(ResolveFileLink(Job->Name));
            TFileBlock Bytes = ReadFileBlock(Job->Name);
            auto Text = std::make_unique<TEditBuffer>();
            Text->AdoptText(std::move(Bytes.Data), Bytes.Size);
            Job->Text = std::move(Text);
        } catch (...) {
            // OpenTextFile reads the file again and reports what fails.
            Job->Text.reset();
        }
    });
    GStartupFile = std::move(F);
}

void DropStartupFile() { GStartupFile.reset(); }

bool OpenTextFile(const std::string& GivenName)
{
    if (!Form1)
        return false;
    const std::string Name = AbsoluteFileName(GivenName);
    // A name that leads nowhere; any other failure (a loop of links, no right to
    // search a folder) is said by the read below with its reason.
    struct stat St {};
    if (Name.empty() || (::stat(Name.c_str(), &St) != 0 && errno == ENOENT)) {
        MessageDlg("File Does Not Exist.", mtWarning, mbOK);
        return false;
    }
    // The whole file is read and cut into lines before the current document is
    // closed, so a file that cannot be read or held leaves everything as it was.
    TFileStamp Stamp;
    std::unique_ptr<TEditBuffer> Prepared;
    try {
        TWaitCursor Wait(Qt::WaitCursor);
        Prepared = TakeStartupFile(Name, Stamp);
        if (!Prepared) {
            // The stamp before the bytes, so that a change while they are read is
            // seen below.
            Stamp = StampOf(ResolveFileLink(Name));
            Prepared = PrepareText(Name, ReadFileBlock(Name));
        }
    } catch (const EFileError& E) {
        MessageDlg(E.what(), mtError, mbOK);
        return false;
    }
    if (!CloseTextFile())
        return false;
    // Closing may have saved this very file ("Save Changes?" on reopening it): what
    // is shown must be what is on disk now, not what was read before.
    try {
        if (!(StampOf(ResolveFileLink(Name)) == Stamp)) {
            TWaitCursor Wait(Qt::WaitCursor);
            Prepared.reset();
            Prepared = PrepareText(Name, ReadFileBlock(Name));
        }
    } catch (const EFileError& E) {
        MessageDlg(E.what(), mtError, mbOK);
        return false;
    }
    ChDirToFileFolder(Name);
    TScrollEditor& Main = *Form1->MainEditor;
    CurrentFileName = Name;
    // The bytes read are the block the lines view: no copy of the text is made.
    Main.AdoptText(*Prepared);
    Main.FileName = Name;
    try {
        RememberDiskFile(Name, ResolveFileLink(Name));
    } catch (const EFileError&) {
        GDisk = {};
    }
    ResetEditState();
    UpdateStatus();
    SetWindowTitle(Name);
    AddToRecent(Name);
    Main.setFocus();
    // Said where it fits the status field; the question before saving says it all.
    if (Main.Strings->ChangedLineEnds > 0)
        ShowStatusMessage("Mixed line ends", false);
    ForgetLineNumber();
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


}  // namespace narvo
