// The session's end (see SessionEnd.h). The signals arrive through TEndSignals, so
// everything here runs in the event loop, never in a signal handler. Drafts are
// written whole (temporary file, sync) and linked in under a name no other file has,
// created 0600. The notes for the next start are hidden files in the backup folder,
// which the backup browser does not list: ".kept-at-exit" holds a draft's name a
// line, ".said-at-exit" a message a line. Programs ending together append to them
// under a lock; when the backup folder takes nothing (a full disk), they go to the
// temporary folder under a name of this user and settings folder, and when that takes
// nothing either, the list of drafts goes beside the drafts, in their own folders.
// A note that a full disk left empty is removed.
#include "app/SessionEnd.h"

#include "app/AutoSave.h"
#include "app/Documents.h"
#include "app/MacroDialog.h"
#include "app/MainWindow.h"
#include "app/SecondEditor.h"
#include "components/RecentFiles.h"
#include "language/AppState.h"
#include "language/StatusLine.h"
#include "platform/Application.h"
#include "platform/EndSignals.h"
#include "platform/MessageBoxes.h"
#include "platform/posix/SafeFile.h"
#include "platform/posix/SettingsFolder.h"
#include "shared/FileFolder.h"
#include "shared/StringRoutines.h"
#include "tools/AutoBackup.h"

#include <QGuiApplication>
#include <QPointer>
#include <QSessionManager>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <new>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace narvo {

namespace {

QPointer<TEndSignals> GSignals;
QMetaObject::Connection GCommitConnection;
// The change count of each pane whose text the session's end has settled.
std::map<const TScrollEditor*, std::int64_t> GSettled;
// The texts a signal could not keep and the status line and a box said so, with
// their change count then: the next signal that cannot keep one of them as it was
// ends the program all the same. A text changed or saved since is new work.
std::map<const TScrollEditor*, std::int64_t> GSaidNotKept;
// The window was told to close for the session's end, with this exit code; -1 before.
int GEndedWith = -1;
// What this run's end has said already: a message is kept for the next start once.
std::vector<std::string> GSaid;
// The box saying a text was not kept at a signal, while it shows.
QPointer<QWidget> GNotKeptBox;

constexpr const char* KeptNoteName = ".kept-at-exit";
// Why a draft was not written when the memory, not a place, was short.
constexpr std::string_view TooLittleMemory = "too little memory was left to write it";
constexpr const char* SaidNoteName = ".said-at-exit";

// Address space kept aside from the start for the box a signal has to show when the
// memory is gone (a limit on the address space taken up by the text): making a
// window needs some, and the toolkit does not survive its allocation failing. Never
// touched, it takes no memory of the machine's or of a control group's.
constexpr std::size_t BoxRoom = std::size_t{16} << 20;
void* GBoxRoom = nullptr;

void KeepRoomForABox()
{
    if (GBoxRoom)
        return;
    void* P = ::mmap(nullptr, BoxRoom, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    GBoxRoom = P == MAP_FAILED ? nullptr : P;
}

// Gives the room kept aside back for other use; false when there was none.
bool GiveUpRoomForABox()
{
    if (!GBoxRoom)
        return false;
    ::munmap(GBoxRoom, BoxRoom);
    GBoxRoom = nullptr;
    return true;
}

// Gives the room kept aside back, and answers whether a box now has as much.
bool RoomForABox()
{
    GiveUpRoomForABox();
    void* P = ::mmap(nullptr, BoxRoom, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (P == MAP_FAILED)
        return false;
    ::munmap(P, BoxRoom);
    return true;
}

std::string AbsoluteFolderFromEnv(const char* Name)
{
    const char* Value = std::getenv(Name);
    return Value && Value[0] == '/' ? std::string(Value) : std::string();
}

std::string TempFolder()
{
    const std::string Folder = AbsoluteFolderFromEnv("TMPDIR");
    return Folder.empty() ? "/tmp" : Folder;
}

// The notes' places: the backup folder, then the temporary folder under a name that
// is this user's and this settings folder's (several settings folders, several tests).
std::vector<std::string> NotePaths(const char* Name)
{
    char Key[9];
    std::snprintf(Key, sizeof Key, "%08x", static_cast<unsigned>(Fnv1a32(SettingsFolder())));
    return {BackupFolder() + Name, TempFolder() + "/.narvo-" + std::to_string(::geteuid()) + "-" + Key + Name};
}

// Opens a note of this user's for Flags (never through a link, never another user's
// file); -1 with errno set.
int OpenNote(const std::string& Path, int Flags)
{
    const int Fd = ::open(Path.c_str(), Flags | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (Fd < 0)
        return -1;
    struct stat St {};
    if (::fstat(Fd, &St) != 0 || !S_ISREG(St.st_mode) || St.st_uid != ::geteuid()) {
        ::close(Fd);
        errno = EPERM;
        return -1;
    }
    return Fd;
}

// OpenNote under the note's lock, once it is sure the name still holds the file
// opened (another start may take a note away meanwhile, and the name may hold a newer
// one by then); -1 with errno set. Where the file system has no locks the lock is
// let go: one appending write still keeps whole lines apart.
int OpenLockedNote(const std::string& Path, int Flags, struct stat& Open)
{
    for (int Attempt = 0; Attempt < 20; ++Attempt) {
        const int Fd = OpenNote(Path, Flags);
        if (Fd < 0)
            return -1;
        ::flock(Fd, LOCK_EX);
        struct stat Named {};
        if (::fstat(Fd, &Open) == 0 && ::stat(Path.c_str(), &Named) == 0 && Open.st_ino == Named.st_ino &&
            Open.st_dev == Named.st_dev)
            return Fd;
        ::close(Fd);
    }
    errno = EAGAIN;
    return -1;
}

// Appends Text to the note at Path in one go under its lock: lines of programs
// ending together never mix, and a note the next start takes away meanwhile is
// made again. 0 or the errno; a failed append leaves the note as it was, and none
// where there was none.
int AppendToNote(const std::string& Path, const std::string& Text)
{
    struct stat Open {};
    const int Fd = OpenLockedNote(Path, O_WRONLY | O_APPEND | O_CREAT, Open);
    if (Fd < 0)
        return errno;
    int Err = 0;
    for (std::size_t Done = 0; !Err && Done < Text.size();) {
        const ssize_t N = ::write(Fd, Text.data() + Done, Text.size() - Done);
        if (N > 0)
            Done += static_cast<std::size_t>(N);
        else if (N < 0 && errno != EINTR)
            Err = errno;
        else if (N == 0)
            Err = EIO;
    }
    if (!Err && ::fsync(Fd) != 0)
        Err = errno;
    if (Err && Open.st_size == 0)
        ::unlink(Path.c_str());  // made for nothing (a full disk): no empty note stays
    else if (Err)
        [[maybe_unused]] const int Ignored = ::ftruncate(Fd, Open.st_size);
    ::close(Fd);
    return Err;
}

// The lines as one text, a line each.
std::string NoteText(const std::vector<std::string>& Lines)
{
    std::string Text;
    for (const std::string& Line : Lines)
        Text += Line + "\n";
    return Text;
}

bool AppendToNotes(const char* Name, const std::vector<std::string>& Lines, std::string& Why)
{
    if (Lines.empty())
        return true;
    const std::string Text = NoteText(Lines);
    for (const std::string& Path : NotePaths(Name)) {
        if (Path.rfind(BackupFolder(), 0) == 0) {
            try {
                CreateBackupFolder();
            } catch (const EFileError& E) {
                Why += std::string(Why.empty() ? "" : "; ") + E.what();
                continue;
            }
        }
        const int Err = AppendToNote(Path, Text);
        if (Err == 0)
            return true;
        Why += (Why.empty() ? "" : "; ") + FileErrorText("Cannot write", Path, Err);
    }
    return false;
}

void SayNoteNotWritten(const std::string& Why)
{
    std::fprintf(stderr, "narvo: the note for the next start could not be written: %s\n", Why.c_str());
}

// The note in Folder that names drafts kept there when no place of the notes took
// them.
std::string FolderNotePath(const std::string& Folder)
{
    return (Folder == "/" ? "" : Folder) + "/" + KeptNoteName;
}

// The lines of a note, which is removed: each is reported once.
std::vector<std::string> TakeNote(const std::string& Path)
{
    std::vector<std::string> Lines;
    struct stat Open {};
    const int Fd = OpenLockedNote(Path, O_RDONLY, Open);
    if (Fd < 0)
        return Lines;
    std::string Text;
    char Buffer[4096];
    for (ssize_t N; (N = ::read(Fd, Buffer, sizeof Buffer)) != 0;) {
        if (N < 0 && errno == EINTR)
            continue;
        if (N < 0)
            break;
        Text.append(Buffer, static_cast<std::size_t>(N));
    }
    ::unlink(Path.c_str());
    ::close(Fd);
    for (std::size_t At = 0, End; (End = Text.find('\n', At)) != std::string::npos; At = End + 1)
        Lines.push_back(Text.substr(At, End - At));
    return Lines;
}

void Settle(const TScrollEditor& Pane) { GSettled[&Pane] = Pane.ChangeCount.load(); }

// The panes whose text is their own: the split view shares the main pane's.
std::vector<TScrollEditor*> TextPanes(TForm1& Form) { return {Form.MainEditor, Form.Editor3}; }

// While the session ends no box opens: nobody may be there to answer, and a box
// would hold the exit (each further signal stacking another). What a box or the
// exception boundary would show goes to standard error and is kept for the next
// start; a question answers as if closed without a choice.
class TNoBoxesAtEnd : public TMessageBoxes {
public:
    TNoBoxesAtEnd()
        : FPreviousBoxes(SetMessageBoxes(this)),
          FPreviousReporter(SetExceptionReporter([this](const std::string& M) { Say(M); }))
    {
    }
    ~TNoBoxesAtEnd() override
    {
        SetExceptionReporter(FPreviousReporter);
        SetMessageBoxes(FPreviousBoxes);
    }
    TNoBoxesAtEnd(const TNoBoxesAtEnd&) = delete;
    TNoBoxesAtEnd& operator=(const TNoBoxesAtEnd&) = delete;

    TModalResult MessageDlg(const std::string& Text, TMsgDlgType, TMsgDlgButtons Buttons) override
    {
        Say(Text);
        return EscapeResult(Buttons);
    }
    void Say(const std::string& Text)
    {
        const std::string Line = OneLine(Text);
        std::fprintf(stderr, "narvo: %s\n", Line.c_str());
        if (std::find(GSaid.begin(), GSaid.end(), Line) != GSaid.end())
            return;
        GSaid.push_back(Line);
        Said.push_back(Line);
    }
    std::vector<std::string> Said;

private:
    TMessageBoxes* FPreviousBoxes;
    TExceptionReporter FPreviousReporter;
};

std::string PaneTextName(TForm1& Form, const TScrollEditor& Pane)
{
    const std::string& Name = &Pane == Form.MainEditor ? CurrentFileName : Pane.FileName;
    return Name.empty() ? "the untitled text" : "\"" + Name + "\"";
}

}  // namespace

bool SettledForSessionEnd(const TScrollEditor& Pane)
{
    const auto It = GSettled.find(&Pane);
    return It != GSettled.end() && It->second == Pane.ChangeCount.load();
}

std::vector<std::string> DraftPlaces(const std::string& Document)
{
    const std::string Dated = MakeBackupFileName();
    std::vector<std::string> Places{BackupFolder() + Dated};
    // A name with a line break would break the note's one name a line.
    if (!Document.empty() && Document.find('\n') == std::string::npos) {
        // The document's name is shortened as far as the draft's name must be to fit
        // the folder's limit, also with the number a taken name gets ("-1000").
        const std::string Doc = AbsoluteFileName(Document);
        const std::size_t BaseAt = Doc.rfind('/') + 1;
        const std::size_t Tail = 1 + Dated.size() + 5;
        Places.push_back(Doc.substr(0, BaseAt) + FitFileName(FolderOfPath(Doc), Doc.substr(BaseAt), Tail) + "." + Dated);
    }
    // The temporary folder before the runtime folder: the desktop empties the latter
    // at logout, when drafts are written most.
    Places.push_back(TempFolder() + "/" + Dated);
    const std::string Runtime = AbsoluteFolderFromEnv("XDG_RUNTIME_DIR");
    if (!Runtime.empty() && Runtime != TempFolder())
        Places.push_back(Runtime + "/" + Dated);
    return Places;
}

std::string KeepTextAsDraft(const std::vector<std::string_view>& Pieces, const std::string& Document,
                            std::string& Why)
{
    return KeepTextAsDraft(
        [&](const TPutBytes& Put) {
            for (const std::string_view P : Pieces)
                Put(P);
        },
        Document, Why);
}

std::string KeepTextAsDraft(const TBytesWriter& Write, const std::string& Document, std::string& Why)
{
    Why.clear();
    bool First = true;
    for (const std::string& Place : DraftPlaces(Document)) {
        try {
            if (std::exchange(First, false))
                CreateBackupFolder();
            return WriteNewFileFrom(Place, Write, 0600);
        } catch (const std::bad_alloc&) {
            Why += (Why.empty() ? "" : "; ") + std::string(TooLittleMemory);
        } catch (const std::exception& E) {
            Why += (Why.empty() ? "" : "; ") + std::string(E.what());
        }
    }
    return {};
}

bool NoteKeptDrafts(const std::vector<std::string>& Names)
{
    std::string Why;
    if (AppendToNotes(KeptNoteName, Names, Why))
        return true;
    // Beside each draft, a note of the drafts of its folder: a draft there (beside its
    // document) is still named at the next start.
    std::map<std::string, std::vector<std::string>> ByFolder;
    for (const std::string& N : Names)
        ByFolder[FolderOfPath(N)].push_back(N);
    bool All = true;
    for (const auto& [Folder, InIt] : ByFolder)
        if (const int Err = AppendToNote(FolderNotePath(Folder), NoteText(InIt)); Err != 0) {
            Why += "; " + FileErrorText("Cannot write", FolderNotePath(Folder), Err);
            All = false;
        }
    if (!All)
        SayNoteNotWritten(Why);
    return All;
}

bool NoteExitMessages(const std::vector<std::string>& Messages)
{
    std::string Why;
    if (AppendToNotes(SaidNoteName, Messages, Why))
        return true;
    SayNoteNotWritten(Why);
    return false;
}

TKeptDrafts KeepDrafts(TForm1& Form)
{
    // A signal sent again while the drafts are written waits for them.
    const TWritingText Writing;
    TKeptDrafts Kept;
    for (TScrollEditor* Pane : TextPanes(Form)) {
        if (!Pane->Modified || SettledForSessionEnd(*Pane))
            continue;
        std::string Why;
        std::string Name;
        // Every place failed for want of memory: "no place" would send the user to
        // free a disk that has room.
        bool Memory = false;
        // The text comes before the box that would say it was lost: short of memory,
        // the room kept aside for that box is given to the draft.
        for (int Attempt = 0; Attempt < 2 && Name.empty(); ++Attempt) {
            if (Attempt == 1 && !(Memory && GiveUpRoomForABox()))
                break;
            try {
                // The bytes a save writes, with the line ends the text was read with
                // (nobody agreed to change them) and characters a UTF-16 file could
                // not hold as they are shown.
                const std::string Document = Pane == Form.MainEditor ? CurrentFileName : Pane->FileName;
                // Made from the lines a piece at a time, with no copy of the text:
                // the memory may be all but gone.
                Name = KeepTextAsDraft(
                    [Pane](const TPutBytes& Put) { Pane->PutFileBytes(TScrollEditor::TFileBytes::Draft, Put); },
                    Document, Why);
            } catch (const std::bad_alloc&) {
                Why = TooLittleMemory;
            } catch (const std::exception& E) {
                Why = E.what();
            }
            Memory = !Why.empty();
            for (std::size_t At = 0; Memory && At < Why.size(); At += TooLittleMemory.size() + 2)
                Memory = std::string_view(Why).substr(At, TooLittleMemory.size()) == TooLittleMemory;
        }
        if (Name.empty()) {
            Kept.ShortOfMemory = Kept.ShortOfMemory || Memory;
            std::fprintf(stderr, "narvo: %s could not be kept: %s\n", PaneTextName(Form, *Pane).c_str(), Why.c_str());
            Kept.Lost.push_back(PaneTextName(Form, *Pane));
            Kept.LostPanes.push_back(Pane);
            continue;
        }
        Kept.Written.push_back(Name);
        Settle(*Pane);
    }
    if (!Kept.Written.empty()) {
        NoteKeptDrafts(Kept.Written);
        RunGuarded([] { RefreshAutoBackDlg(); });
    }
    return Kept;
}

void EndSessionNow(TForm1& Form)
{
    // A further signal while the window closes: nothing more to keep or say.
    if (GEndedWith >= 0) {
        Form.CloseForSessionEnd(GEndedWith);
        return;
    }
    TNoBoxesAtEnd NoBoxes;
    TKeptDrafts Kept;
    {
        // The signal sent again meanwhile waits for the drafts and the command lines.
        const TWritingText Writing;
        RunGuarded([&] { Kept = KeepDrafts(Form); });
        RunGuarded([] { SaveCurrentMacros(); });
    }
    // A text not said to be lost, or changed or saved since it was: new work.
    const bool NewWork = std::any_of(Kept.LostPanes.begin(), Kept.LostPanes.end(), [](const TScrollEditor* Pane) {
        const auto It = GSaidNotKept.find(Pane);
        return It == GSaidNotKept.end() || It->second != Pane->ChangeCount.load();
    });
    if (NewWork) {
        // Nothing may end a text without a word: the window stays until the user
        // saves it elsewhere, or another signal insists.
        GSaidNotKept.clear();
        for (const TScrollEditor* Pane : Kept.LostPanes)
            GSaidNotKept[Pane] = Pane->ChangeCount.load();
        // The names alone first, so that the narrow status field shows them; the
        // whole paths went to standard error.
        std::string Names;
        for (const std::string& N : Kept.Lost) {
            const auto Slash = N.rfind('/');
            Names += (Names.empty() ? "" : ", ") + (Slash == std::string::npos ? N : "\"" + N.substr(Slash + 1));
        }
        const std::string Why = Kept.ShortOfMemory ? " (too little memory was left at the signal)"
                                                   : " (no place could take it at the signal)";
        const std::string Then = "Save elsewhere; another signal ends without it";
        const std::string Text = "Not kept: " + Names + Why + ". " + Then;
        std::fprintf(stderr, "narvo: %s\n", Text.c_str());
        SetStatusMessage("", false);
        ShowStatusMessage(Text, true);
        // The status field cuts it at the window's usual width: the whole of it, with
        // the whole names, in a box that holds nothing up.
        std::string Whole;
        for (const std::string& N : Kept.Lost)
            Whole += (Whole.empty() ? "" : ", ") + N;
        if (GNotKeptBox)
            GNotKeptBox->close();  // the one said before gives way to what holds now
        // A new window needs memory the toolkit cannot do without: made when the
        // memory is gone, it would end the program inside the toolkit, and the text
        // with it. The room kept aside for it is given back first; with none left the
        // status line and standard error say it alone.
        if (Kept.ShortOfMemory && !RoomForABox())
            return;
        GNotKeptBox =
            ShowNoticeBox("Not Kept", "Not kept: " + Whole + Why + ".\r\n\r\n" + Then + ".", mtWarning, &Form);
        Form.raise();
        GNotKeptBox->raise();
        return;
    }
    if (GNotKeptBox)
        GNotKeptBox->close();
    for (const std::string& N : Kept.Lost)
        NoBoxes.Said.push_back("Lost at exit: " + N + " could not be written anywhere");
    NoteExitMessages(NoBoxes.Said);
    GEndedWith = Kept.Lost.empty() ? 0 : 1;
    Form.CloseForSessionEnd(GEndedWith);
}

bool CommitSessionData(TForm1& Form, bool InteractionAllowed)
{
    if (!InteractionAllowed) {
        TNoBoxesAtEnd NoBoxes;
        TKeptDrafts Kept;
        RunGuarded([&] { Kept = KeepDrafts(Form); });
        NoteExitMessages(NoBoxes.Said);
        // A text no place took: better a cancelled logout than a lost text.
        return Kept.Lost.empty();
    }
    // As on closing, the secondary file first: answering it leaves the main text as
    // it is whatever follows.
    if (!OfferToSaveSecondary(Form) || !OfferToSaveDocument())
        return false;
    for (TScrollEditor* Pane : TextPanes(Form))
        Settle(*Pane);
    return true;
}

void ReportKeptDrafts()
{
    std::size_t Count = 0;
    std::vector<std::string> Said, Elsewhere;
    const auto Take = [&](std::string& Line) {
        ++Count;
        // A draft no backup folder took: the browser does not list it.
        if (Line.rfind(BackupFolder(), 0) != 0)
            Elsewhere.push_back(std::move(Line));
    };
    for (const std::string& Path : NotePaths(KeptNoteName))
        for (std::string& Line : TakeNote(Path))
            if (!Line.empty())
                Take(Line);
    // The notes that drafts left in their own folders when no place of the notes took
    // them: those of the documents the user worked on lately, of the one opened now,
    // and of the current folder. Each names drafts of its own folder only.
    std::vector<std::string> Folders;
    std::vector<std::string> Documents = ReopenMenu().Paths();
    Documents.push_back(CurrentFileName);
    for (const std::string& D : Documents)
        if (!D.empty() && D[0] == '/')
            Folders.push_back(FolderOfPath(D));
    Folders.push_back(GetCurrentFolder());
    std::sort(Folders.begin(), Folders.end());
    Folders.erase(std::unique(Folders.begin(), Folders.end()), Folders.end());
    for (const std::string& Folder : Folders) {
        if (Folder.empty() || Folder + "/" == BackupFolder())
            continue;
        for (std::string& Line : TakeNote(FolderNotePath(Folder)))
            if (!Line.empty() && FolderOfPath(Line) == Folder)
                Take(Line);
    }
    for (const std::string& Path : NotePaths(SaidNoteName))
        for (std::string& Line : TakeNote(Path))
            if (!Line.empty())
                Said.push_back(std::move(Line));
    if (Count == 0 && Said.empty())
        return;
    // The count first: a narrow status field still shows it.
    std::string Text;
    if (Count > 0)
        Text = std::to_string(Count) + (Count == 1 ? " draft" : " drafts") + " kept at exit" +
               (Elsewhere.size() < Count ? " (File > Advanced File Ops > Auto-backup Files)" : "");
    // The same a line each for the box below.
    std::string Whole = Text;
    for (std::size_t I = 0; I < Elsewhere.size(); ++I) {
        Text += (I == 0 ? Elsewhere.size() < Count ? "; elsewhere: " : ": " : ", ") + Elsewhere[I];
        Whole += (I == 0 ? Elsewhere.size() < Count ? ", elsewhere:" : ":" : "") + ("\r\n" + Elsewhere[I]);
    }
    for (std::size_t I = 0; I < Said.size(); ++I) {
        Text += (Text.empty() ? "At exit: " : I == 0 ? "; at exit: " : "; ") + Said[I];
        Whole += (I == 0 ? Whole.empty() ? "At exit:" : "\r\n\r\nAt exit:" : "") + ("\r\n" + Said[I]);
    }
    ShowStatusMessage(Text, !Said.empty());
    // Drafts no backup folder took are found only by their names, and what went wrong
    // is read in full: the status field cuts both at the window's usual width.
    if ((!Elsewhere.empty() || !Said.empty()) && Form1)
        ShowNoticeBox("Kept at Exit", Whole, Said.empty() ? mtInformation : mtWarning, Form1);
}

void StartSessionEnd(TForm1& Form)
{
    StopSessionEnd();
    KeepRoomForABox();
    GSettled.clear();
    GSaidNotKept.clear();
    GEndedWith = -1;
    GSaid.clear();
    QPointer<TForm1> Window(&Form);
    GSignals = new TEndSignals(
        [Window](int) {
            if (Window)
                EndSessionNow(*Window);
        },
        &Form);
    if (auto* App = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        GCommitConnection = QObject::connect(App, &QGuiApplication::commitDataRequest, &Form,
                                             [Window](QSessionManager& Manager) {
                                                 if (!Window)
                                                     return;
                                                 const bool Interaction = Manager.allowsInteraction();
                                                 bool Go = true;
                                                 RunGuarded([&] { Go = CommitSessionData(*Window, Interaction); });
                                                 if (!Go)
                                                     Manager.cancel();
                                                 if (Interaction)
                                                     Manager.release();
                                             });
}

void StopSessionEnd()
{
    QObject::disconnect(GCommitConnection);
    delete GSignals.data();
    GSignals = nullptr;
    GSettled.clear();
}

}  // namespace narvo
