// Ending with the desktop's session. At logout or shutdown the desktop sends SIGTERM
// (a closed terminal sends SIGHUP), and before that it may ask through the toolkit's
// commit-data request. Nothing typed is lost either way: every modified text, the
// main pane's and the secondary pane's, is written as a private draft (0600, dated
// name) where auto-save puts untitled drafts, the command lines are saved, and only
// then does the program end. The user's own files are not touched without a word.
// The next start says in the status line that drafts were kept; the backup browser
// lists them.
#pragma once

#include <string>
#include <vector>

namespace narvo {

class TForm1;
class TScrollEditor;

// Listens for SIGTERM, SIGHUP and the commit-data request on behalf of Form from its
// creation; StopSessionEnd at its destruction.
void StartSessionEnd(TForm1& Form);
void StopSessionEnd();

// Writes each modified text not yet kept as it stands as a draft in the backup
// folder and notes the drafts for the next start. Answers the names written; a text
// that could not be written is reported on standard error (the desktop may be gone).
std::vector<std::string> KeepDrafts(TForm1& Form);
// SIGTERM or SIGHUP, run from the event loop: the drafts, the command lines, then
// the window closes without a question and the program ends.
void EndSessionNow(TForm1& Form);
// The commit-data request. With interaction allowed, "Save Changes?" for each
// modified text as on closing; false when the user cancelled (the logout should be
// cancelled too). Without, the drafts are written.
bool CommitSessionData(TForm1& Form, bool InteractionAllowed);
// True when Pane's text is unchanged since the session's end settled it (saved,
// declined or kept as a draft): closing then asks no more about it.
bool SettledForSessionEnd(const TScrollEditor& Pane);

// At the first activation: when the last run ended with drafts, the status line says
// so (once).
void ReportKeptDrafts();

}  // namespace narvo
