// The run's module-level values that the main window shows and that the settings,
// search, margin and command-language modules set: search switches, margins, the
// wrap flag, the break flag, the document's name and the folders. One instance
// each, user-interface thread only, living for the whole run.
#pragma once

#include <cstdint>
#include <string>

namespace narvo {

// The word rule: word moves go to word ends when set, else to word starts.
inline bool NewWordStyle = false;

// Search switches.
inline bool IgnoreCaseFlag = false;
inline bool ForwardFlag = true;
inline bool WholeWordFlag = false;

// Margins and wrap while typing (columns from 0).
inline std::int32_t LeftMargin = 0;
inline std::int32_t RightMargin = 72;
inline std::int32_t ParaIndent = 0;
inline std::int32_t BellColumn = 72;
inline bool WrapFlag = false;

// Set to stop a command-line run at its next command (Ctrl+Break, closing the window).
inline bool BreakFlag = false;
// The next character typed in a pane is taken literally.
inline bool QuoteNextFlag = false;
// Whether the last key-down routed to a pane was on the numeric keypad (virtual keys
// 96 to 111).
inline bool KeypadFlag = false;
// The box-drawing style, 0 (off) to 4.
inline int BoxStyle = 0;

// Folders from the settings file; empty means "not set".
inline std::string DefaultFolder;
inline std::string MacroFolder;

// The full path of the document in the main pane; empty while untitled.
inline std::string CurrentFileName;

// The help file; FormCreate moves it into the program's folder.
inline std::string HelpFileName = "NARVO.chm";

}  // namespace narvo
