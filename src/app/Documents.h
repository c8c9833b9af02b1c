// The document: the text file shown in the main pane, its name and the window
// title, and the verbs around it: open, save (the old file becomes ".BAK"), save
// as, save when modified, close with "Save Changes?", append another file, the
// command-language verbs A, O, Q and T, the reset of per-document editing state,
// the wait cursor, and the recent-files submenu the verbs keep up to date.
//
// Saving never loses what is on disk: the whole text is first written to a
// temporary file in the target's folder and synced; only then is the old file
// given a second name (a hard link, or a copy) and the temporary file renamed onto
// the target, so the name always holds a whole file; the second name replaces the
// older ".BAK" last, so that a failed save keeps it. A file another program changed
// since it was read, or a read-only one, is overwritten only when the user agrees.
// When the backup fails, the temporary file becomes the emergency file "nrvsave.zvt"
// in that folder (numbered when that name holds another save's text) and the
// document stays modified. The name, the modified flag, the
// title and the recent list change only after a save succeeded. Every verb that
// can fail answers false, which close, open, New, Q and T take as Cancel.
#pragma once

#include <Qt>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace narvo {

class TReopenMenu;
class TScrollEditor;

inline constexpr const char* EmergencyFileBaseName = "nrvsave.zvt";

// --- names --------------------------------------------------------------------------------
// Name with ".BAK" appended to the whole name ("a.c" -> "a.c.BAK", "Makefile" ->
// "Makefile.BAK"), so files differing only in their extension keep backups apart.
// A name too long for that (over 251 bytes where names may have 255) keeps as much
// of its start as fits with "~", eight hexadecimal digits of a hash (FNV-1a, 32
// bits) of the whole name and ".BAK", never cut inside a UTF-8 character.
std::string BackupFileName(const std::string& Name);
// "nrvsave.zvt" in the folder of Name.
std::string EmergencyFileName(const std::string& Name);
// Name made absolute against the current folder.
std::string AbsoluteFileName(const std::string& Name);

// --- the verbs ------------------------------------------------------------------------------
// Saves the main pane to Name (a symbolic link is followed; the link stays). False
// when nothing was saved under Name: the reason has been shown, and the text is
// still modified. An automatic save asks nothing: a file changed by another
// program or read-only, or a text the save would change (characters a UTF-16 file
// could not hold, line ends unlike the file's), is skipped with a word in the
// status line. A draft is an
// automatic save of an untitled text, written as a private (0600) new file: when
// another window took Name meanwhile, it goes under a numbered name instead.
enum class TSaveKind { User, Automatic, Draft };
bool SaveTextFile(const std::string& Name, bool AddToRecent, TSaveKind Kind = TSaveKind::User);
// The same safe save (temporary file, ".BAK", emergency file) for a pane that is not
// the document, such as the secondary pane: the pane's own name and modified flag
// follow a successful save; the document's name, title and recent list do not.
bool SavePaneToFile(TScrollEditor& Pane, const std::string& Name);
// Reads Name into such a pane and remembers the file as it was, so that a save of
// the pane asks, as the document's does, before it overwrites a change another
// program made meanwhile. Throws EFileError; the pane is then unchanged.
void LoadPaneFromFile(TScrollEditor& Pane, const std::string& Name);
// True while a question about the document ("Save Changes?") is open.
bool DocumentQuestionOpen();
// "Save Changes?"-style question (Yes, No, Cancel): Yes runs Save and answers what
// it answers, No answers true, Cancel false.
bool AskToSaveText(const std::string& Question, const std::function<bool()>& Save);
// "Save Changes?" when the main text is modified, Yes saving it; false when the user
// cancelled or the save failed. Nothing is closed.
bool OfferToSaveDocument();
// The "Save Text As" dialog, starting at Current's name and folder; nullopt when
// cancelled.
std::optional<std::string> AskSaveFileName(const std::string& Current);
// Asks for a name ("Save Text As"); false when cancelled or the save failed.
bool SaveTextFileAs();
// True when nothing needed saving or the save succeeded.
bool SaveIfModified();
// Asks "Save Changes?" when modified; false when the user cancelled or the save
// failed. Otherwise the document is emptied and untitled.
bool CloseTextFile();
// Reads Name, then closes the current document and shows the file; a failed read
// or a cancelled close changes nothing.
bool OpenTextFile(const std::string& Name);
// The command line's parameters after the program's name: File is the first that
// is neither "/#" nor the value after it, Line the value of the last "/#" that has one.
struct TStartupParams {
    std::optional<std::string> File;
    std::optional<std::string> Line;
};
TStartupParams ParseStartupParams(const std::vector<std::string>& Params);
// Starts reading the file the command line names (as the first activation will
// open it) and cutting it into lines on a thread of its own, so that the load runs
// while the toolkit and the window start; OpenTextFile then takes that text when it
// opens this very file and it is unchanged on disk. Nothing is started when an
// argument begins with '-' (the toolkit's own options are not taken out yet).
void PrefetchStartupFile(int Argc, char** Argv);
// Frees a text read at start-up that no OpenTextFile took.
void DropStartupFile();
// Appends the lines of Name after the last line (no undo records); false when the
// file cannot be read (the reason has been shown).
bool AppendTextFile(const std::string& Name);

// --- the command verbs (positions count from 1 on Line) ------------------------------------
// A double-quoted name at Pos; an absent quote gives an empty name and true, an
// unterminated one (or 255 characters without the closing quote) false.
bool ParseQuotedFileName(const std::string& Line, std::int64_t& Pos, std::string& Name);
// A"name": appends the file. Returns the position after its argument.
std::int64_t InsertFileCmd(const std::string& Line, std::int64_t Pos);
// O"name": opens the file. Returns the position after its argument.
std::int64_t OpenFileCmd(const std::string& Line, std::int64_t Pos);
// Q: saves when modified, then closes the window. T: closes the document (asking),
// then the window.
void SaveAndExitCmd();
void ExitWithoutSavingCmd();

// --- state ----------------------------------------------------------------------------------
// The per-document editing state back to its start: highlight and modified flag of
// the main pane, search switches, quote-next, break, box style, the position markers,
// and the text register stops collecting.
void ResetEditState();
// The screen cursor while a long operation runs; EndWaitCursor restores it.
void BeginWaitCursor(Qt::CursorShape Shape);
void EndWaitCursor();

// While an operation on a large text runs (a sort, a copy as HTML, a print preview
// of many megabytes) the window cannot paint for a second or more: the wait cursor
// and "Working" on the status line are shown before it starts, and the cursor
// comes back after it. Nothing happens for a text below LongOperationBytes.
class TWorkingOn {
public:
    static constexpr std::int64_t LongOperationBytes = std::int64_t{4} << 20;
    explicit TWorkingOn(std::int64_t Bytes);
    ~TWorkingOn();
    TWorkingOn(const TWorkingOn&) = delete;
    TWorkingOn& operator=(const TWorkingOn&) = delete;

private:
    bool FShown = false;
};

// The main window's recent-files menu (limit 8, "Narvo.ini", section
// "FileHistory"); choosing an entry opens it.
TReopenMenu& ReopenMenu();


}  // namespace narvo
