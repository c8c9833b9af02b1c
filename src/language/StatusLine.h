// The status line's model: the one status message with its sticky error flag, the
// messages of the editor status codes, the number formats of the status fields and
// the texts of every field, computed from the panes without any widget so that the
// rules are tested without a window. The main window (MainWindowStatus.cpp) puts
// the computed texts on its status bars.
//
// The error flag makes the first failure of a command-line run the one reported: a
// later error does not replace a pending error, a plain message does.
#pragma once

#include "engine/EditTypes.h"

#include <cstdint>
#include <functional>
#include <string>

namespace narvo {

class TEditorEngine;
class TUndoControl;

// --- the message ------------------------------------------------------------------------
const std::string& StatusMessage();
bool StatusMessageIsError();
// Counts the messages set, so that a watcher can tell a message set anew (a second
// "Waiting") from one that still stands.
std::uint64_t StatusMessageSerial();
// A new error while an error is pending changes nothing; anything else replaces it.
void SetStatusMessage(const std::string& Text, bool IsError);
// SetStatusMessage, then the host's message field shows the current message (which
// may be the older pending error).
void ShowStatusMessage(const std::string& Text, bool IsError);
// ShowStatusMessage("Ok", plain).
void ShowOk();
// Said when a group of changes (a command-line run, a Replace All) ends whose old
// text did not fit in the memory: none of it can be undone.
inline constexpr const char* UndoLostMessage = "Too Large to Undo";
// The message after a group of changes on Ring ended: UndoLostMessage, replacing
// whatever the group said, when it could not be kept for undo.
void ShowGroupEnd(const TUndoControl& Ring);
// The code's message (none for edNothingChanged and unknown values) becomes the
// status message; the code is reset to edDone. Nothing is repainted: the next
// UpdateStatus shows it.
void ShowEditorStatus(TEditStatus& Code);
// Refreshes every status field of the window, through the command host (nothing
// while there is none).
void UpdateStatus();

// The message of a status code; false when the code has none (edNothingChanged).
bool EditStatusMessage(TEditStatus Code, std::string& Text, bool& IsError);

// The message as a field Room wide shows it, WidthOf giving the width of a text in
// the field's font: the whole message when it fits. Otherwise the middle of a path
// in it (a quoted name holding '/', or a word that begins with '/') gives way to
// "...", keeping the path's file name and as much of its start as there is room
// for; a message that is still too wide, or holds no path, is cut at its end and
// "..." follows (a path then keeps just its file name).
std::string FitStatusText(const std::string& Text, int Room, const std::function<int(const std::string&)>& WidthOf);

// --- number formats ------------------------------------------------------------------------
// A whole number with the thousands separator of SystemData ("12,345").
std::string FormatWhole(std::int64_t N);
// Two decimals with the decimal and thousands separators of SystemData ("1,234.50").
std::string FormatTwoDecimals(double Value);

// "$" and the code of the character left of the pane's cursor as two hexadecimal
// digits; "-" at the start of the text or for the character 0.
std::string CursorCharText(const TEditorEngine& Pane);

// --- the fields ------------------------------------------------------------------------------
// What the pane-dependent fields show. Location and size belong to the status
// polling thread and are not computed here.
struct TStatusFields {
    std::string StatusDis;     // a space and the message
    std::string CmdNumberDis;  // the current command line's number
    bool SrchCase = false;     // IgnoreCaseFlag
    bool FileType = false;     // the main text came from a UTF-16 file
    bool SrchDir = true;       // ForwardFlag
    bool WordSearch = false;   // WholeWordFlag
    bool OverWrite = false;    // the active pane's overwrite mode
    bool Wrap = false;         // WrapFlag
    std::string BoxCharDis;
    std::string LineNumDis;    // the active pane's cursor line, from 1
    std::string ColumnDis;     // its cursor's display column
    std::string HighlightDis;  // the length of its highlighted text
    std::string ZoomDis;       // its zoom scale
    std::string ModifiedDis;   // "Mod" or empty
    bool SaveEnabled = false;  // exactly when "Mod" shows
    std::string CharHexDis;    // CursorCharText of the active pane
};

// The fields for the given active pane (with its zoom scale) and main pane, from
// the current message and the module values of AppState.h.
TStatusFields ComputeStatusFields(const TEditorEngine& Active, double ActiveScale, const TEditorEngine& Main,
                                  int CommandLine, const std::string& BoxChar);

}  // namespace narvo
