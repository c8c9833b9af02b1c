// Ending with the desktop's session. At logout or shutdown the desktop sends SIGTERM
// (a closed terminal sends SIGHUP, Ctrl+C and Ctrl+\ in the terminal the program
// was started from send SIGINT and SIGQUIT), and before that it may ask through the
// toolkit's commit-data request. Nothing typed is lost either way: every modified text, the
// main pane's and the secondary pane's, is written as a private draft (0600, dated
// name, numbered when another window took it) where auto-save puts untitled drafts,
// the command lines are saved, and only then does the program end. The user's own
// files are not touched without a word. At a signal no question opens (nobody may be
// there to answer): what would have been shown goes to standard error and to the
// next start, whose status line says that drafts were kept and what went wrong; the
// backup browser lists the drafts. A text that no place takes keeps the window open,
// and a box that holds nothing up says so in full.
#pragma once

#include "platform/posix/SafeFile.h"

#include <string>
#include <string_view>
#include <vector>

namespace narvo {

class TForm1;
class TScrollEditor;

// Listens for those signals and the commit-data request on behalf of Form from its
// creation; StopSessionEnd at its destruction.
void StartSessionEnd(TForm1& Form);
void StopSessionEnd();

// The places a draft is tried in, in order: the backup folder; beside Document (when
// it has a name) under its name (as much of it as fits the name limit) followed by
// "." and the dated name; the temporary
// folder ($TMPDIR, else /tmp); the user's runtime folder ($XDG_RUNTIME_DIR).
std::vector<std::string> DraftPlaces(const std::string& Document);
// Bytes as a new private draft in the first of DraftPlaces(Document) that takes it
// (never replacing a file). Answers its name, or "" with the reasons in Why. The
// bytes may come as pieces: a large text is written from where its lines lie.
std::string KeepTextAsDraft(const std::vector<std::string_view>& Pieces, const std::string& Document,
                            std::string& Why);
inline std::string KeepTextAsDraft(std::string_view Bytes, const std::string& Document, std::string& Why)
{
    return KeepTextAsDraft(std::vector<std::string_view>{Bytes}, Document, Why);
}
// The same for bytes Write hands over a piece at a time: nothing of the text is held.
std::string KeepTextAsDraft(const TBytesWriter& Write, const std::string& Document, std::string& Why);
// Adds Names, one a line, to the list of drafts the next start reports; several
// programs may add at the same moment and every line stays. When neither the backup
// folder nor the temporary folder takes the list, each draft is named in a hidden
// note in its own folder, where the next start looks for the folders of the recent
// files, of the file it opens and the current one. False when no place took them.
bool NoteKeptDrafts(const std::vector<std::string>& Names);
// Adds Messages to what the next start says went wrong at the end of this run.
bool NoteExitMessages(const std::vector<std::string>& Messages);

// What KeepDrafts did: the drafts written, and the texts that no place took (their
// names, "the untitled text" for one without, and their panes).
struct TKeptDrafts {
    std::vector<std::string> Written;
    std::vector<std::string> Lost;
    std::vector<const TScrollEditor*> LostPanes;
    // A text was lost because too little memory was left to write it anywhere.
    bool ShortOfMemory = false;
};
// Writes each modified text not yet kept as it stands as a draft and notes the
// drafts for the next start. A text that could not be written is reported on
// standard error (the desktop may be gone) and listed in Lost.
TKeptDrafts KeepDrafts(TForm1& Form);
// One of those signals, run from the event loop: the drafts, the command lines, then
// the window closes without a question and the program ends. When a text could not
// be kept the window stays, saying so in the status line and a box; a further signal
// that still cannot keep it ends the program with exit code 1, unless the text was
// changed or saved since it was said: that is new work, said again.
void EndSessionNow(TForm1& Form);
// The commit-data request. With interaction allowed, "Save Changes?" for each
// modified text as on closing; false when the user cancelled (the logout should be
// cancelled too). Without, the drafts are written, and false when a text could not
// be kept.
bool CommitSessionData(TForm1& Form, bool InteractionAllowed);
// True when Pane's text is unchanged since the session's end settled it (saved,
// declined or kept as a draft): closing then asks no more about it.
bool SettledForSessionEnd(const TScrollEditor& Pane);

// At the first activation: when the last run ended with drafts or with messages
// that could not be shown, the status line says so (once); the names of drafts
// outside the backup folder and those messages are also shown whole, a line each,
// in a box that holds nothing up.
void ReportKeptDrafts();

}  // namespace narvo
